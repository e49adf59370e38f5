#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/Url.h"

namespace vantorel {

// The event store's entity types, numbered as the platform numbers them.
enum class EventEntityType : std::int64_t { event = 0, reminder = 1 };

// What the shareable-content query's completion carries: whether content came back, and the
// error's localized description if the query failed. The platform may send either, both or
// neither; making sense of that is the caller's.
struct ShareableContentAnswer {
    bool hasContent = false;
    std::optional<std::string> error;
};

// What an event-store access request's completion carries: the user's answer, and the error's
// localized description if the request failed.
struct AccessRequestAnswer {
    bool granted = false;
    std::optional<std::string> error;
};

// Port: the platform services behind the privacy permissions other than Accessibility — the
// screen-content query that doubles as the Screen Recording probe, the event store's
// authorisation, and opening System Settings. Completions may arrive on any thread, later or
// before the call returns, and a misbehaving platform may call one more than once.
class PermissionServices {
public:
    virtual ~PermissionServices() = default;
    // Asks for the windows and displays that may be captured; only the answer's outcome is used.
    virtual void getShareableContent(bool excludingDesktopWindows, bool onScreenWindowsOnly,
                                     std::function<void(ShareableContentAnswer)> completion) = 0;
    // The raw authorisation status of the entity type, as the platform numbers it (any value).
    virtual std::int64_t authorizationStatus(EventEntityType type) = 0;
    // Asks for full access to the entity type; the system may ask the user first.
    virtual void requestFullAccess(EventEntityType type,
                                   std::function<void(AccessRequestAnswer)> completion) = 0;
    // Opens the URL with the workspace; false when nothing could open it.
    virtual bool openURL(const Url& url) = 0;
};

}  // namespace vantorel
