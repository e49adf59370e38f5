#pragma once

#include <QWidget>

#include <functional>

#include "app/PermissionsManager.h"

class QLabel;
class QPushButton;

namespace vantorel {

class SymbolTable;

// What a permission row shows on its trailing side: "Granted" with a check mark in green, or a
// button that runs the row's action. Screen readers hear the row's name with either.
class PermissionControl final : public QWidget {
    Q_OBJECT

public:
    static constexpr const char* kGranted = "Granted";

    PermissionControl(const QString& rowName, const QString& buttonText,
                      std::function<void()> action, const SymbolTable& symbols,
                      QWidget* parent = nullptr);

    void setStatus(PermissionsManager::Status status);
    bool isGranted() const;
    QPushButton* button() const { return button_; }
    QWidget* grantedLabel() const { return granted_; }
    QLabel* grantedText() const { return grantedText_; }

private:
    QWidget* granted_;
    QLabel* grantedText_;
    QPushButton* button_;
};

}  // namespace vantorel
