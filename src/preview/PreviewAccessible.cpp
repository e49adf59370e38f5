#include "preview/PreviewAccessible.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>

#include <algorithm>
#include <array>

#include "preview/CardCollectionView.h"
#include "preview/HoverControlButton.h"
#include "preview/LargeLayoutView.h"
#include "preview/PreviewPanelView.h"
#include "preview/StripButton.h"
#include "preview/WindowItemView.h"

namespace vantorel {
namespace {

// Shown in its window, inside a panel that is up (or outside any panel view, e.g. alone).
bool isLive(const QWidget* widget) {
    if (!widget->isVisible()) return false;
    for (const QWidget* up = widget; up; up = up->parentWidget()) {
        if (const auto* panel = qobject_cast<const PreviewPanelView*>(up)) {
            return panel->state().isShown();
        }
    }
    return true;
}

void hideState(QAccessible::State& state) {
    state.invisible = true;
    state.offscreen = true;
}

// A container of preview views: its shown children in reading order, none while it is not live,
// so that spare and leaving views are never reachable.
class ContainerAccessible final : public QAccessibleWidget {
public:
    ContainerAccessible(QWidget* widget, QAccessible::Role role)
        : QAccessibleWidget(widget, role) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        if (!isLive(widget())) hideState(state);
        return state;
    }
    int childCount() const override { return static_cast<int>(children().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> shown = children();
        if (index < 0 || index >= shown.size()) return nullptr;
        return QAccessible::queryAccessibleInterface(shown[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child) return -1;
        return static_cast<int>(children().indexOf(qobject_cast<QWidget*>(child->object())));
    }

private:
    QList<QWidget*> children() const {
        QList<QWidget*> shown;
        if (!isLive(widget())) return shown;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child && !child->isWindow() && !child->isHidden()) shown.push_back(child);
        }
        std::stable_sort(shown.begin(), shown.end(), [](const QWidget* a, const QWidget* b) {
            return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
        });
        return shown;
    }
};

// A window's card or row: a button that activates the window, selected while the window is the
// active one, with its hover controls as children and as named actions. Gone, it offers nothing.
class WindowItemAccessible final : public QAccessibleWidget {
public:
    explicit WindowItemAccessible(WindowItemView* view)
        : QAccessibleWidget(view, QAccessible::Button) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        if (!view()->isLive()) {
            hideState(state);
            return state;
        }
        state.selectable = true;
        state.selected = view()->card().isActive;
        return state;
    }

    int childCount() const override { return view()->isLive() ? 2 : 0; }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        return QAccessible::queryAccessibleInterface(controls()[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child || childCount() == 0) return -1;
        const auto all = controls();
        const auto it = std::find(all.begin(), all.end(), child->object());
        return it == all.end() ? -1 : static_cast<int>(it - all.begin());
    }

    QStringList actionNames() const override {
        if (!view()->isLive()) return {};
        return {pressAction(), closeName(), view()->minimizeActionName()};
    }
    QString localizedActionDescription(const QString& name) const override {
        if (name == pressAction()) return view()->accessibleDescription();
        if (name == closeName()) return QStringLiteral("Closes this window");
        if (name == view()->minimizeActionName()) return view()->minimizeActionDescription();
        return {};
    }
    void doAction(const QString& name) override {
        if (!view()->isLive()) return;
        if (name == pressAction()) {
            view()->activate();
        } else if (name == closeName()) {
            view()->requestClose();
        } else if (name == view()->minimizeActionName()) {
            view()->requestMinimizeToggle();
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    WindowItemView* view() const { return static_cast<WindowItemView*>(widget()); }
    std::array<QObject*, 2> controls() const {
        return {view()->closeControl(), view()->minimizeControl()};
    }
    QString closeName() const { return view()->closeControl()->accessibleName(); }
};

// One tab of the strip: selected while its card is shown large; pressing it selects.
class StripTabAccessible final : public QAccessibleWidget {
public:
    explicit StripTabAccessible(QAbstractButton* button)
        : QAccessibleWidget(button, QAccessible::PageTab) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        if (!isLive(widget())) {
            hideState(state);
            return state;
        }
        state.selectable = true;
        state.selected = button()->isChecked();
        return state;
    }
    QStringList actionNames() const override {
        return isLive(widget()) ? QStringList{pressAction()} : QStringList{};
    }
    QString localizedActionDescription(const QString& name) const override {
        return name == pressAction() ? QStringLiteral("Shows this window large") : QString();
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && isLive(widget())) button()->click();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* accessibleFactory(const QString&, QObject* object) {
    if (auto* item = qobject_cast<WindowItemView*>(object)) return new WindowItemAccessible(item);
    if (auto* tab = qobject_cast<StripButton*>(object)) return new StripTabAccessible(tab);
    if (auto* panel = qobject_cast<PreviewPanelView*>(object)) {
        return new ContainerAccessible(panel, QAccessible::Grouping);
    }
    if (auto* collection = qobject_cast<CardCollectionView*>(object)) {
        return new ContainerAccessible(collection, QAccessible::Grouping);
    }
    if (auto* large = qobject_cast<LargeLayoutView*>(object)) {
        return new ContainerAccessible(large, QAccessible::Grouping);
    }
    if (auto* large = qobject_cast<LargeLayoutView*>(object->parent());
        large && large->strip() == object) {
        return new ContainerAccessible(large->strip(), QAccessible::PageTabList);
    }
    return nullptr;
}

}  // namespace

void PreviewAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(&accessibleFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace vantorel
