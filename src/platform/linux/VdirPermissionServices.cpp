#include "platform/linux/VdirPermissionServices.h"

#include <utility>

#include "platform/linux/VdirEventStore.h"

namespace vantorel {

void VdirPermissionServices::getShareableContent(
    bool excludingDesktopWindows, bool onScreenWindowsOnly,
    std::function<void(ShareableContentAnswer)> completion) {
    platform_.getShareableContent(excludingDesktopWindows, onScreenWindowsOnly,
                                  std::move(completion));
}

std::int64_t VdirPermissionServices::authorizationStatus(EventEntityType type) {
    return store_.authorizationStatus(type);
}

void VdirPermissionServices::requestFullAccess(
    EventEntityType type, std::function<void(AccessRequestAnswer)> completion) {
    store_.requestFullAccess(type, completion);
}

}  // namespace vantorel
