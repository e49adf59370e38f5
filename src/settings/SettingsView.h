#pragma once

#include <QWidget>

#include <map>

#include "app/PermissionsManager.h"
#include "settings/BundleInfo.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QScrollArea;
class QSlider;
class QSpinBox;

namespace vantorel {

class Appearance;
class LaunchAtLogin;
class PermissionControl;
class Preferences;
class SymbolTable;

// The settings window: one form of nine sections through which every setting, launch at login
// and the four permissions are changed, and the version is read. Every control writes straight
// through to its model; there is no apply step. Each time it is shown it re-reads the login
// item and the Calendars and Reminders access, and comes to the front.
class SettingsView final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 440;
    static constexpr int kHeight = 520;
    static constexpr int kDelayStepMS = 10;
    static constexpr int kMaxShowDelayMS = 500;
    static constexpr int kMaxHideDelayMS = 700;
    static constexpr int kMinCompactThreshold = 2;
    static constexpr int kMaxCompactThreshold = 20;

    // The models must outlive the view.
    SettingsView(Preferences& preferences, PermissionsManager& permissions, LaunchAtLogin& launch,
                 BundleInfo bundle, Appearance& appearance, const SymbolTable& symbols,
                 QWidget* parent = nullptr);
    ~SettingsView() override;

    // Shows the window, or, shown already, reads the system again and brings it to the front.
    void present();

    QScrollArea* scrollArea() const { return scroll_; }
    QCheckBox* toggle(const QString& text) const;
    QSlider* showDelaySlider() const { return showDelay_; }
    QSlider* hideDelaySlider() const { return hideDelay_; }
    QLabel* showDelayText() const { return showDelayText_; }
    QLabel* hideDelayText() const { return hideDelayText_; }
    QComboBox* layoutPicker() const { return layout_; }
    QComboBox* sizePicker() const { return size_; }
    QComboBox* sortPicker() const { return sort_; }
    QSpinBox* compactStepper() const { return compact_; }
    PermissionControl* permissionControl(PermissionsManager::Permission permission) const;
    QLabel* versionText() const { return version_; }

    // "N ms" for a delay, whatever number the store holds.
    static QString delayText(double milliseconds);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    void appeared();
    // Every control from its model, without writing anything back.
    void sync();
    void syncPermissions();
    void styleButtons();

    Preferences& preferences_;
    PermissionsManager& permissions_;
    LaunchAtLogin& launch_;
    BundleInfo bundle_;
    Appearance& appearance_;
    const SymbolTable& symbols_;
    PermissionsManager::ListenerId listener_ = 0;

    QScrollArea* scroll_ = nullptr;
    std::map<QString, QCheckBox*> toggles_;
    QCheckBox* login_ = nullptr;
    QSlider* showDelay_ = nullptr;
    QSlider* hideDelay_ = nullptr;
    QLabel* showDelayText_ = nullptr;
    QLabel* hideDelayText_ = nullptr;
    QComboBox* layout_ = nullptr;
    QComboBox* size_ = nullptr;
    QComboBox* sort_ = nullptr;
    QSpinBox* compact_ = nullptr;
    std::map<PermissionsManager::Permission, PermissionControl*> controls_;
    QLabel* version_ = nullptr;
};

}  // namespace vantorel
