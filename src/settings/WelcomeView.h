#pragma once

#include <functional>

#include <QWidget>

#include <memory>
#include <vector>

#include "settings/WelcomeController.h"

class QLabel;
class QPushButton;
class QStackedWidget;
class QVariantAnimation;

namespace vantorel {

class Appearance;
class PermissionControl;
class SymbolTable;

// The welcome window's content: the controller's page over a dark backdrop with soft colour,
// and below it "Back", the page dots and "Next" or "Get Started" (also on Return).
class WelcomeView final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 540;
    static constexpr int kHeight = 640;

    // The controller and the appearance must outlive the view.
    WelcomeView(WelcomeController& controller, Appearance& appearance, const SymbolTable& symbols,
                QWidget* parent = nullptr);
    ~WelcomeView() override;

    // The window for the controller: this view, kept (page and all) across closes. `prepare`,
    // when given, sees each view once it is made (to bind the program's shortcuts to it).
    static WelcomeController::WindowFactory factory(Appearance& appearance,
                                                    const SymbolTable& symbols,
                                                    std::function<void(QWidget&)> prepare = {});

    QPushButton* backButton() const { return back_; }
    QPushButton* primaryButton() const { return primary_; }
    QWidget* page(int step) const;
    QLabel* titleLabel(int step) const;
    QLabel* subtitleLabel(int step) const;
    QLabel* textLabel(int step) const;
    PermissionControl* permissionControl(PermissionsManager::Permission permission) const;
    QWidget* dots() const { return dots_; }
    // Ends a page change at once, where it settles.
    void finishAnimations();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct PageWidgets {
        QWidget* page = nullptr;
        QLabel* title = nullptr;
        QLabel* subtitle = nullptr;
        QLabel* text = nullptr;
    };
    QWidget* buildPage(int step);
    QWidget* buildRows();
    void stepChanged();
    // The new page comes in from the trailing edge as the old one leaves by the leading edge,
    // fading; at once where motion is reduced.
    void animateTo(int index);
    void syncPermissions();

    WelcomeController& controller_;
    Appearance& appearance_;
    const SymbolTable& symbols_;
    PermissionsManager::ListenerId listener_ = 0;
    QStackedWidget* stack_ = nullptr;
    std::vector<PageWidgets> pages_;
    std::vector<std::pair<PermissionsManager::Permission, PermissionControl*>> controls_;
    QPushButton* back_ = nullptr;
    QPushButton* primary_ = nullptr;
    QWidget* dots_ = nullptr;
    QVariantAnimation* transition_ = nullptr;
    // The page that leaves, as it last looked.
    QLabel* leaving_ = nullptr;
};

}  // namespace vantorel
