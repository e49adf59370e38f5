#include "settings/PermissionControl.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "platform/qt/SymbolTable.h"

namespace vantorel {
namespace {

const QColor kGreen(52, 199, 89);

}  // namespace

PermissionControl::PermissionControl(const QString& rowName, const QString& buttonText,
                                     std::function<void()> action, const SymbolTable& symbols,
                                     QWidget* parent)
    : QWidget(parent),
      granted_(new QWidget(this)),
      grantedText_(new QLabel(QString::fromUtf8(kGranted), granted_)),
      button_(new QPushButton(buttonText, this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // At the trailing edge, whatever room the row gives.
    layout->addStretch(1);
    layout->addWidget(granted_);
    layout->addWidget(button_);

    auto* grantedLayout = new QHBoxLayout(granted_);
    grantedLayout->setContentsMargins(0, 0, 0, 0);
    grantedLayout->setSpacing(4);
    auto* check = new QLabel(granted_);
    const int side = fontMetrics().height();
    check->setPixmap(symbols.pixmap(QStringLiteral("checkmark.circle.fill"), QSize(side, side),
                                    kGreen, devicePixelRatioF()));
    grantedLayout->addWidget(check);
    grantedLayout->addWidget(grantedText_);
    QPalette green = grantedText_->palette();
    green.setColor(QPalette::WindowText, kGreen);
    grantedText_->setPalette(green);

    // Four rows share the two texts: the row's name tells them apart.
    granted_->setAccessibleName(QStringLiteral("%1: %2").arg(rowName, grantedText_->text()));
    grantedText_->setAccessibleName(granted_->accessibleName());
    check->setAccessibleName(QString());
    button_->setAccessibleName(QStringLiteral("%1: %2").arg(rowName, buttonText));
    connect(button_, &QPushButton::clicked, this, [action = std::move(action)] {
        if (action) action();
    });
    setStatus(PermissionsManager::Status::notDetermined);
}

void PermissionControl::setStatus(PermissionsManager::Status status) {
    const bool granted = status == PermissionsManager::Status::granted;
    granted_->setVisible(granted);
    button_->setVisible(!granted);
}

bool PermissionControl::isGranted() const {
    return !granted_->isHidden();
}

}  // namespace vantorel
