// The core's headers before Qt's: Qt's keyword macros would rewrite names in them.
#include "app/LaunchAtLogin.h"
#include "app/Preferences.h"

#include "settings/SettingsView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

#include "platform/qt/Appearance.h"
#include "platform/qt/GlassPainter.h"
#include "settings/PermissionControl.h"

namespace vantorel {
namespace {

using Permission = PermissionsManager::Permission;
using BoolGetter = bool (Preferences::*)() const;
using BoolSetter = void (Preferences::*)(bool);

constexpr int kDelayTextWidth = 56;

// The help texts and the description, whole, so each can be found as it reads.
// clang-format off
constexpr const char* kLoginHelp = "Start Vantorel automatically when you log in. Manage it anytime in System Settings → General → Login Items.";
constexpr const char* kLiveThumbnailsHelp = "Update previews a few times a second while the panel is open. This uses continuous screen capture, so macOS shows the screen-recording indicator in the menu bar while a preview is open. Turn off to use a single snapshot per window — lower CPU and no indicator.";
constexpr const char* kCompactHelp = "In Automatic layout, switch to the compact list when an app has more than this many open windows.";
constexpr const char* kFolderPopHelp = "Hover a folder or stack in the Dock to see its contents in a glass panel; click an item to open it.";
constexpr const char* kCalendarHelp = "Hover the Calendar icon in the Dock to see a glass widget with today's events. Your events never leave your Mac.";
constexpr const char* kRemindersHelp = "Hover the Reminders icon in the Dock to see a glass widget with your due and overdue reminders. Your reminders never leave your Mac.";
constexpr const char* kMediaHelp = "Hover the Music or Spotify icon in the Dock for a glass widget with the current track and play/pause/next/previous. macOS will ask once to allow controlling each app. Stays on your Mac.";
constexpr const char* kLayoutHelp = "How the preview panel arranges a hovered app's windows. Automatic uses a row, switching to a compact list past the threshold.";
constexpr const char* kDescription = "Liquid Glass window previews for your Dock — hover a Dock icon to peek at its open windows, then click to switch, or close and minimize from the card. Press ⌥Tab for a cross-app window switcher.";
// clang-format on

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString label(PreviewLayout layout) {
    switch (layout) {
        case PreviewLayout::automatic:
            return text("Automatic");
        case PreviewLayout::grid:
            return text("Grid");
        case PreviewLayout::list:
            return text("Compact list");
        case PreviewLayout::large:
            return text("Large preview");
    }
    return {};
}

QString label(PreviewSize size) {
    switch (size) {
        case PreviewSize::small:
            return text("Small");
        case PreviewSize::medium:
            return text("Medium");
        case PreviewSize::large:
            return text("Large");
    }
    return {};
}

QString label(FolderSort sort) {
    switch (sort) {
        case FolderSort::name:
            return text("Name");
        case FolderSort::dateModified:
            return text("Date modified");
        case FolderSort::kind:
            return text("Kind");
    }
    return {};
}

// A picker of every case in declaration order; choosing one writes it.
template <typename Enum, std::size_t N>
QComboBox* picker(const std::array<Enum, N>& cases, const QString& name,
                  std::function<void(Enum)> write, QWidget* parent) {
    auto* box = new QComboBox(parent);
    for (std::size_t i = 0; i < N; ++i)
        box->addItem(label(cases[i]), static_cast<int>(i));
    box->setAccessibleName(name);
    QObject::connect(box, &QComboBox::currentIndexChanged, box, [cases, write](int index) {
        if (index >= 0 && static_cast<std::size_t>(index) < N) write(cases[index]);
    });
    return box;
}

template <typename Enum, std::size_t N>
void select(QComboBox* box, const std::array<Enum, N>& cases, Enum value) {
    const QSignalBlocker quiet(box);
    for (std::size_t i = 0; i < N; ++i) {
        if (cases[i] == value) box->setCurrentIndex(static_cast<int>(i));
    }
}

void setHelp(QWidget* widget, const char* help) {
    widget->setToolTip(text(help));
    widget->setAccessibleDescription(text(help));
}

}  // namespace

SettingsView::SettingsView(Preferences& preferences, PermissionsManager& permissions,
                           LaunchAtLogin& launch, BundleInfo bundle, Appearance& appearance,
                           const SymbolTable& symbols, QWidget* parent)
    : QWidget(parent, Qt::Window),
      preferences_(preferences),
      permissions_(permissions),
      launch_(launch),
      bundle_(std::move(bundle)),
      appearance_(appearance),
      symbols_(symbols) {
    setWindowTitle(QStringLiteral("Vantorel Settings"));
    setAccessibleName(windowTitle());
    setFixedSize(kWidth, kHeight);
    build();
    listener_ = permissions_.addListener([this](Permission) { syncPermissions(); });
    launch_.onChange = [this] {
        const QSignalBlocker quiet(login_);
        login_->setChecked(launch_.isEnabled());
    };
    connect(&appearance_, &Appearance::changed, this, &SettingsView::styleButtons);
    sync();
}

SettingsView::~SettingsView() {
    permissions_.removeListener(listener_);
    launch_.onChange = nullptr;
}

QString SettingsView::delayText(double milliseconds) {
    // Whatever the store holds: a number out of range reads as the nearest one that fits.
    double whole = std::isnan(milliseconds) ? 0 : std::trunc(milliseconds);
    whole = std::clamp(whole, -9.2e18, 9.2e18);
    return QLocale().toString(static_cast<qlonglong>(whole)) + QStringLiteral(" ms");
}

void SettingsView::build() {
    scroll_ = new QScrollArea(this);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab goes from control to control; the area follows the focus by itself.
    scroll_->setFocusPolicy(Qt::NoFocus);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll_);

    auto* form = new QWidget;
    auto* sections = new QVBoxLayout(form);
    sections->setContentsMargins(16, 16, 16, 16);
    sections->setSpacing(14);
    const auto section = [&](const char* title) {
        auto* box = new QGroupBox(text(title), form);
        box->setAccessibleName(box->title());
        auto* rows = new QFormLayout(box);
        rows->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
        rows->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        sections->addWidget(box);
        return rows;
    };
    const auto toggle = [&](QFormLayout* rows, const char* title, const char* help,
                            BoolSetter set) {
        auto* box = new QCheckBox(text(title));
        if (help) setHelp(box, help);
        connect(box, &QCheckBox::toggled, this, [this, set](bool on) { (preferences_.*set)(on); });
        rows->addRow(box);
        toggles_[box->text()] = box;
        return box;
    };
    const auto labelled = [&](QFormLayout* rows, const char* title, QWidget* field) {
        auto* name = new QLabel(text(title));
        name->setBuddy(field);
        // A text reads as itself, labelled by the row's name; a control takes the name.
        if (field->accessibleName().isEmpty() && !qobject_cast<QLabel*>(field)) {
            field->setAccessibleName(name->text());
        }
        rows->addRow(name, field);
    };
    const auto delayRow = [&](QFormLayout* rows, const char* title, int maximum,
                              void (Preferences::*set)(double), QSlider*& slider, QLabel*& value) {
        auto* row = new QWidget;
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 0, 0);
        slider = new QSlider(Qt::Horizontal, row);
        slider->setRange(0, maximum);
        slider->setSingleStep(kDelayStepMS);
        slider->setPageStep(5 * kDelayStepMS);
        slider->setAccessibleName(text(title));
        value = new QLabel(row);
        value->setFixedWidth(kDelayTextWidth);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // Digits of one width, so the text does not shift as the slider moves.
        QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        digits.setPointSizeF(font().pointSizeF());
        value->setFont(digits);
        line->addWidget(slider, 1);
        line->addWidget(value);
        QSlider* s = slider;
        QLabel* v = value;
        connect(slider, &QSlider::valueChanged, this, [this, s, v, set](int position) {
            // A drag lands anywhere; the setting moves in whole steps.
            const int stepped =
                static_cast<int>(std::lround(position / double(kDelayStepMS))) * kDelayStepMS;
            if (stepped != position) {
                s->setValue(stepped);
                return;
            }
            (preferences_.*set)(stepped);
            v->setText(delayText(stepped));
        });
        labelled(rows, title, row);
    };

    QFormLayout* general = section("General");
    login_ = new QCheckBox(text("Open Vantorel at login"));
    setHelp(login_, kLoginHelp);
    connect(login_, &QCheckBox::toggled, this, [this](bool on) {
        launch_.setEnabled(on);
        // A change the system refused flips back to what is true.
        const QSignalBlocker quiet(login_);
        login_->setChecked(launch_.isEnabled());
    });
    general->addRow(login_);
    toggles_[login_->text()] = login_;

    QFormLayout* behavior = section("Behavior");
    toggle(behavior, "⌥Tab window switcher", nullptr, &Preferences::setAltTabEnabled);
    toggle(behavior, "Live thumbnails", kLiveThumbnailsHelp, &Preferences::setLiveThumbnails);
    delayRow(behavior, "Show delay", kMaxShowDelayMS, &Preferences::setShowDelayMS, showDelay_,
             showDelayText_);
    delayRow(behavior, "Hide delay", kMaxHideDelayMS, &Preferences::setHideDelayMS, hideDelay_,
             hideDelayText_);

    QFormLayout* appearance = section("Appearance");
    layout_ = picker<PreviewLayout>(
        kAllPreviewLayouts, text("Layout"),
        [this](PreviewLayout v) { preferences_.setPreviewLayout(v); }, this);
    setHelp(layout_, kLayoutHelp);
    labelled(appearance, "Layout", layout_);
    size_ = picker<PreviewSize>(
        kAllPreviewSizes, text("Preview size"),
        [this](PreviewSize v) { preferences_.setPreviewSize(v); }, this);
    labelled(appearance, "Preview size", size_);
    compact_ = new QSpinBox;
    compact_->setRange(kMinCompactThreshold, kMaxCompactThreshold);
    compact_->setSingleStep(1);
    compact_->setSuffix(QStringLiteral(" windows"));
    setHelp(compact_, kCompactHelp);
    connect(compact_, &QSpinBox::valueChanged, this,
            [this](int value) { preferences_.setCompactThreshold(value); });
    labelled(appearance, "Compact list above", compact_);

    QFormLayout* folders = section("Folder Pop");
    toggle(folders, "Preview Dock folders on hover", kFolderPopHelp,
           &Preferences::setFolderPopEnabled);
    sort_ = picker<FolderSort>(
        kAllFolderSorts, text("Sort by"), [this](FolderSort v) { preferences_.setFolderSort(v); },
        this);
    labelled(folders, "Sort by", sort_);

    const auto permissionRow = [&](QFormLayout* rows, const char* title, Permission permission,
                                   std::function<void()> action) {
        auto* control =
            new PermissionControl(text(title), text("Enable…"), std::move(action), symbols_);
        // Return presses it as Space does.
        control->button()->setAutoDefault(true);
        controls_[permission] = control;
        labelled(rows, title, control);
    };
    // The system asks while undetermined; refused, the user is sent where it can be changed.
    const auto request = [this](void (PermissionsManager::*ask)(std::function<void()>),
                                Permission permission) {
        return [this, ask, permission] {
            PermissionsManager* permissions = &permissions_;
            (permissions_.*ask)([permissions, permission] {
                if (permissions->status(permission) != PermissionsManager::Status::granted) {
                    permissions->openSettings(permission);
                }
            });
        };
    };

    QFormLayout* calendar = section("Calendar");
    toggle(calendar, "Show today's events on Calendar hover", kCalendarHelp,
           &Preferences::setCalendarWidgetEnabled);
    permissionRow(calendar, "Calendar access", Permission::calendar,
                  request(&PermissionsManager::requestCalendarAccess, Permission::calendar));

    QFormLayout* reminders = section("Reminders");
    toggle(reminders, "Show due reminders on Reminders hover", kRemindersHelp,
           &Preferences::setRemindersWidgetEnabled);
    permissionRow(reminders, "Reminders access", Permission::reminders,
                  request(&PermissionsManager::requestRemindersAccess, Permission::reminders));

    QFormLayout* media = section("Media");
    toggle(media, "Show now-playing on Music/Spotify hover", kMediaHelp,
           &Preferences::setMediaControlsEnabled);

    QFormLayout* privacy = section("Permissions");
    for (const auto& [title, permission] :
         {std::pair{"Accessibility", Permission::accessibility},
          std::pair{"Screen Recording", Permission::screenRecording}}) {
        permissionRow(privacy, title, permission,
                      [this, permission] { permissions_.openSettings(permission); });
    }

    QFormLayout* about = section("About");
    version_ = new QLabel(QString::fromStdString(bundle_.versionText()));
    version_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    labelled(about, "Version", version_);
    auto* description = new QLabel(text(kDescription));
    description->setWordWrap(true);
    QFont caption = description->font();
    caption.setPointSizeF(caption.pointSizeF() * 0.85);
    description->setFont(caption);
    description->setForegroundRole(QPalette::PlaceholderText);
    about->addRow(description);

    sections->addStretch(1);
    scroll_->setWidget(form);
    styleButtons();
}

void SettingsView::styleButtons() {
    // The "Enable…" buttons: glass over the form, or opaque with a border where transparency is
    // reduced.
    const bool opaque = appearance_.reduceTransparency();
    const QPalette& p = palette();
    const QColor ink = p.color(QPalette::ButtonText);
    QColor fill = GlassPainter::isDark(p) ? QColor(255, 255, 255, 36) : QColor(0, 0, 0, 20);
    if (opaque) fill = p.color(QPalette::Button);
    const QColor border = opaque ? GlassPainter::separatorColor(p) : QColor(255, 255, 255, 60);
    const QString sheet =
        QStringLiteral(
            "QPushButton { color: %1; background: %2; border: 1px solid %3; border-radius: 11px; "
            "padding: 3px 12px; } QPushButton:focus { border: 2px solid %4; }")
            .arg(ink.name(QColor::HexArgb), fill.name(QColor::HexArgb),
                 border.name(QColor::HexArgb), GlassPainter::accentColor(p).name(QColor::HexArgb));
    for (const auto& [permission, control] : controls_)
        control->button()->setStyleSheet(sheet);
}

void SettingsView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) styleButtons();
    QWidget::changeEvent(event);
}

void SettingsView::keyPressEvent(QKeyEvent* event) {
    // Reaches here only when the focused control has no use for the key (an open picker keeps
    // its Escape).
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

QCheckBox* SettingsView::toggle(const QString& title) const {
    const auto found = toggles_.find(title);
    return found == toggles_.end() ? nullptr : found->second;
}

PermissionControl* SettingsView::permissionControl(Permission permission) const {
    const auto found = controls_.find(permission);
    return found == controls_.end() ? nullptr : found->second;
}

void SettingsView::present() {
    if (isVisible()) {
        appeared();
        return;
    }
    show();
}

void SettingsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    appeared();
}

void SettingsView::appeared() {
    launch_.refresh();
    permissions_.refreshCalendarStatus();
    permissions_.refreshRemindersStatus();
    sync();
    if (!focusWidget()) login_->setFocus();
    // After the show has gone through, or the window manager may keep it behind.
    QTimer::singleShot(0, this, [this] {
        raise();
        activateWindow();
    });
}

void SettingsView::sync() {
    const auto check = [](QCheckBox* box, bool on) {
        const QSignalBlocker quiet(box);
        box->setChecked(on);
    };
    check(login_, launch_.isEnabled());
    const std::pair<const char*, BoolGetter> toggles[] = {
        {"⌥Tab window switcher", &Preferences::altTabEnabled},
        {"Live thumbnails", &Preferences::liveThumbnails},
        {"Preview Dock folders on hover", &Preferences::folderPopEnabled},
        {"Show today's events on Calendar hover", &Preferences::calendarWidgetEnabled},
        {"Show due reminders on Reminders hover", &Preferences::remindersWidgetEnabled},
        {"Show now-playing on Music/Spotify hover", &Preferences::mediaControlsEnabled},
    };
    for (const auto& [title, get] : toggles) {
        if (QCheckBox* box = toggle(text(title))) check(box, (preferences_.*get)());
    }
    const auto slide = [](QSlider* slider, QLabel* value, double ms) {
        const QSignalBlocker quiet(slider);
        const double bounded = std::isnan(ms) ? 0 : std::clamp(ms, 0.0, double(slider->maximum()));
        slider->setValue(static_cast<int>(bounded));
        value->setText(delayText(ms));
    };
    slide(showDelay_, showDelayText_, preferences_.showDelayMS());
    slide(hideDelay_, hideDelayText_, preferences_.hideDelayMS());
    select(layout_, kAllPreviewLayouts, preferences_.previewLayout());
    select(size_, kAllPreviewSizes, preferences_.previewSize());
    select(sort_, kAllFolderSorts, preferences_.folderSort());
    {
        const QSignalBlocker quiet(compact_);
        const std::int64_t threshold = preferences_.compactThreshold();
        compact_->setValue(static_cast<int>(
            std::clamp<std::int64_t>(threshold, kMinCompactThreshold, kMaxCompactThreshold)));
    }
    syncPermissions();
}

void SettingsView::syncPermissions() {
    for (const auto& [permission, control] : controls_)
        control->setStatus(permissions_.status(permission));
}

}  // namespace vantorel
