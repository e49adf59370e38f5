#pragma once

#include <QObject>

#include <cstdint>
#include <memory>
#include <string>

class QSocketNotifier;

namespace vantorel {

// Follows who owns an X selection of the display's default screen (`prefix` + the screen number,
// e.g. "_NET_SYSTEM_TRAY_S") by the X server's own notices, so nothing is asked again and again.
// It keeps a connection of its own, so Qt's event handling never sees or swallows these
// notices. Without an X server or its XFixes extension it watches nothing and the owner stays 0.
class X11SelectionWatch final : public QObject {
    Q_OBJECT

public:
    // `display` as DISPLAY spells it; empty for DISPLAY itself.
    explicit X11SelectionWatch(const std::string& prefix, const std::string& display = {},
                               QObject* parent = nullptr);
    ~X11SelectionWatch() override;

    bool isWatching() const { return notifier_ != nullptr; }
    // The owning window, 0 for none.
    std::uint32_t owner() const { return owner_; }

signals:
    void ownerChanged(std::uint32_t owner);

private:
    void readNotices();
    void stop();

    struct Connection;
    std::unique_ptr<Connection> x_;
    QSocketNotifier* notifier_ = nullptr;
    std::uint32_t owner_ = 0;
};

}  // namespace vantorel
