#pragma once

#include "platform/PermissionServices.h"

namespace vantorel {

class VdirEventStore;

// The privacy services with the event store's authorisation taken from the vdir folders; the
// screen-content probe and System Settings stay those of the platform underneath.
class VdirPermissionServices final : public PermissionServices {
public:
    VdirPermissionServices(PermissionServices& platform, VdirEventStore& store)
        : platform_(platform), store_(store) {}

    void getShareableContent(bool excludingDesktopWindows, bool onScreenWindowsOnly,
                             std::function<void(ShareableContentAnswer)> completion) override;
    std::int64_t authorizationStatus(EventEntityType type) override;
    void requestFullAccess(EventEntityType type,
                           std::function<void(AccessRequestAnswer)> completion) override;
    bool openURL(const Url& url) override { return platform_.openURL(url); }

private:
    PermissionServices& platform_;
    VdirEventStore& store_;
};

}  // namespace vantorel
