#include "platform/x11/X11Desktop.h"

#include <xcb/xcb_ewmh.h>
#include <xcb/xcb_icccm.h>

#include <unistd.h>

#include <algorithm>
#include <set>

#include "platform/x11/XcbConnection.h"

namespace vantorel {
namespace {

// What an accessibility element stands for here.
struct X11ElementRef final : AXElementRef {
    enum class Kind { application, window, closeButton };
    X11ElementRef(Kind k, ProcessId p, xcb_window_t w) : kind(k), pid(p), window(w) {}
    Kind kind;
    ProcessId pid;
    xcb_window_t window;
};

const X11ElementRef* refOf(const AXElement& element) {
    return dynamic_cast<const X11ElementRef*>(element.get());
}

// Layer 0 holds the user's windows; every other window the manager lists sits above.
constexpr std::int64_t kOtherLayer = 8;

}  // namespace

class X11Desktop::Token final : public NotificationToken {};

X11Desktop::X11Desktop(XcbConnection& connection, Scheduler& scheduler, Logger& logger)
    : x_(connection),
      scheduler_(scheduler),
      log_(logger, "windows"),
      ownPid_(static_cast<ProcessId>(::getpid())),
      identities_(connection, DesktopEntries(DesktopEntries::applicationDirectories(),
                                             DesktopEntries::messagesLocale())),
      self_(std::make_shared<X11Desktop*>(this)) {
    x_.addListener([weak = std::weak_ptr<X11Desktop*>(self_)](const xcb_generic_event_t& event) {
        if (const auto self = weak.lock()) (*self)->handle(event);
    });
    lastActive_ = X11WindowList::activeWindow(x_);
    refresh();
}

X11Desktop::~X11Desktop() = default;

void X11Desktop::refresh() {
    windows_ = X11WindowList::read(x_);
    stale_ = false;
    index_.clear();
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    std::unordered_set<xcb_window_t> present;
    std::set<ProcessId> owners;
    for (std::size_t i = 0; i < windows_.size(); ++i) {
        const xcb_window_t id = windows_[i].id;
        // Names and icons now, so that opening the switcher finds them ready.
        if (windows_[i].pid > 0 && windows_[i].listed && owners.insert(windows_[i].pid).second)
            identities_.of(windows_[i]);
        index_.emplace(id, i);
        present.insert(id);
        // Renames and moves of the clients themselves do not reach the root.
        if (watched_.insert(id).second)
            xcb_change_window_attributes(x_.get(), id, XCB_CW_EVENT_MASK, &mask);
    }
    std::erase_if(watched_, [&](xcb_window_t id) { return !present.contains(id); });
    identities_.keepOnly(owners);
    std::erase_if(elements_, [&](const auto& entry) { return !present.contains(entry.first); });
    std::erase_if(closeButtons_, [&](const auto& entry) { return !present.contains(entry.first); });
    xcb_flush(x_.get());
}

const std::vector<X11Window>& X11Desktop::windows() {
    if (stale_) refresh();
    return windows_;
}

void X11Desktop::markChanged() {
    stale_ = true;
    if (refreshPosted_) return;
    refreshPosted_ = true;
    // Read once the burst of notifications is over, before anyone asks.
    scheduler_.post([weak = std::weak_ptr<X11Desktop*>(self_)] {
        const auto self = weak.lock();
        if (!self) return;
        (*self)->refreshPosted_ = false;
        if ((*self)->stale_) (*self)->refresh();
    });
}

void X11Desktop::handle(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7f) {
        case XCB_PROPERTY_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            if (e.window == x_.root() && e.atom == x_.ewmh()._NET_ACTIVE_WINDOW) {
                const xcb_window_t active = X11WindowList::activeWindow(x_);
                // Some managers clear the property between two activations: not a change of
                // application. The property is read when the notification is handled, so two
                // quick activations may both read the later window: each is still told.
                if (active == XCB_NONE) return;
                lastActive_ = active;
                // A window the list has not met yet may be new: one more look for it.
                if (!stale_ && !index_.contains(active)) stale_ = true;
                const X11Window* window = find(active);
                const auto app = window ? applicationOf(*window) : std::nullopt;
                if (!app) return;
                for (auto& [token, handler] : std::map(observers_))
                    if (observers_.contains(token)) handler(app);
                return;
            }
            if (e.window != x_.root() || e.atom == x_.ewmh()._NET_CLIENT_LIST_STACKING ||
                e.atom == x_.ewmh()._NET_CLIENT_LIST || e.atom == x_.ewmh()._NET_CURRENT_DESKTOP)
                markChanged();
            return;
        }
        // Windows that bypass the manager (menus, tooltips, our own panels) are never listed:
        // re-reading the list as one opens would only slow its first frame down.
        case XCB_CONFIGURE_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
            if (!bypassed(e.window, e.override_redirect)) markChanged();
            return;
        }
        case XCB_MAP_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_map_notify_event_t&>(event);
            if (!bypassed(e.window, e.override_redirect)) markChanged();
            return;
        }
        case XCB_UNMAP_NOTIFY:
            if (!bypassing_.contains(
                    reinterpret_cast<const xcb_unmap_notify_event_t&>(event).window))
                markChanged();
            return;
        case XCB_DESTROY_NOTIFY:
            if (bypassing_.erase(
                    reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window) == 0)
                markChanged();
            return;
        default:
            return;
    }
}

bool X11Desktop::bypassed(xcb_window_t window, bool overrideRedirect) {
    if (overrideRedirect) {
        bypassing_.insert(window);
    } else {
        bypassing_.erase(window);
    }
    return overrideRedirect;
}

const X11Window* X11Desktop::find(xcb_window_t window) {
    if (stale_) refresh();
    const auto it = index_.find(window);
    return it == index_.end() ? nullptr : &windows_[it->second];
}

std::optional<RunningApplication> X11Desktop::applicationOf(const X11Window& window) const {
    if (window.pid <= 0) return std::nullopt;
    RunningApplication app;
    app.processIdentifier = window.pid;
    if (!window.className.empty()) app.bundleIdentifier = window.className;
    if (const auto* identity = identities_.known(window.pid)) {
        app.localizedName = identity->name;
        app.icon = identity->icon;
    } else if (const std::string& name =
                   window.className.empty() ? window.instance : window.className;
               !name.empty()) {
        app.localizedName = name;
    }
    // Our own panels and windows are not among the user's to switch to.
    if (window.pid == ownPid_) app.activationPolicy = RunningApplication::kPolicyAccessory;
    return app;
}

std::optional<WindowServerArray> X11Desktop::copyWindowInfo(Options options, WindowNumber) {
    WindowServerArray result;
    for (const X11Window& w : windows()) {
        if ((options & kOptionOnScreenOnly) && (!w.viewable || w.minimized || !w.onCurrentDesktop))
            continue;
        WindowServerDictionary entry{
            {std::string(kNumber), WindowServerValue(std::int64_t{w.id})},
            {std::string(kLayer), WindowServerValue(w.listed ? std::int64_t{0} : kOtherLayer)},
            {std::string(kName), WindowServerValue(w.name)},
            {std::string(kAlpha), WindowServerValue(1.0)},
            {std::string(kBounds),
             WindowServerValue(WindowServerDictionary{
                 {std::string(kX), WindowServerValue(w.frame.minX())},
                 {std::string(kY), WindowServerValue(w.frame.minY())},
                 {std::string(kWidth), WindowServerValue(w.frame.width())},
                 {std::string(kHeight), WindowServerValue(w.frame.height())}})}};
        if (w.pid > 0)
            entry.emplace(std::string(kOwnerPID), WindowServerValue(std::int64_t{w.pid}));
        if (const auto app = applicationOf(w); app && app->localizedName)
            entry.emplace(std::string(kOwnerName), WindowServerValue(*app->localizedName));
        result.emplace_back(std::move(entry));
    }
    return result;
}

bool X11Desktop::isProcessTrusted(bool) {
    // X11 asks no permission of a client that reads other clients' windows.
    return true;
}

AXElement X11Desktop::createApplication(ProcessId pid) {
    auto& element = applications_[pid];
    if (!element)
        element = AXElement(
            std::make_shared<X11ElementRef>(X11ElementRef::Kind::application, pid, XCB_NONE));
    return element;
}

AXElement X11Desktop::windowElement(xcb_window_t window) {
    auto& element = elements_[window];
    if (!element)
        element =
            AXElement(std::make_shared<X11ElementRef>(X11ElementRef::Kind::window, 0, window));
    return element;
}

AXResult X11Desktop::copyAttributeValue(const AXElement& element, std::string_view attribute) {
    const X11ElementRef* ref = refOf(element);
    if (!ref) return AXResult::failed(AXError::illegalArgument);
    if (ref->kind == X11ElementRef::Kind::application) {
        if (attribute == "AXRole") return AXResult::of({std::string("AXApplication")});
        if (attribute != "AXWindows") return AXResult::failed(AXError::attributeUnsupported);
        AXArray list;
        for (const X11Window& w : windows()) {
            if (w.pid == ref->pid && w.listed && (w.onCurrentDesktop || w.minimized))
                list.push_back({windowElement(w.id)});
        }
        return AXResult::of({std::move(list)});
    }
    const X11Window* w = find(ref->window);
    if (!w) return AXResult::failed(AXError::invalidUIElement);
    if (ref->kind == X11ElementRef::Kind::closeButton) {
        if (attribute == "AXRole") return AXResult::of({std::string("AXButton")});
        return AXResult::failed(AXError::attributeUnsupported);
    }
    if (attribute == "AXRole") return AXResult::of({std::string("AXWindow")});
    if (attribute == "AXSubrole")
        return AXResult::of({std::string(w->dialog ? "AXDialog" : "AXStandardWindow")});
    if (attribute == "AXTitle") return AXResult::of({w->name});
    if (attribute == "AXPosition") return AXResult::of({w->frame.origin});
    if (attribute == "AXSize") return AXResult::of({w->frame.size});
    if (attribute == "AXMinimized") return AXResult::of({w->minimized});
    if (attribute == "AXCloseButton") {
        auto& button = closeButtons_[w->id];
        if (!button)
            button = AXElement(
                std::make_shared<X11ElementRef>(X11ElementRef::Kind::closeButton, w->pid, w->id));
        return AXResult::of({button});
    }
    return AXResult::failed(AXError::attributeUnsupported);
}

AXNamesResult X11Desktop::copyAttributeNames(const AXElement& element) {
    const X11ElementRef* ref = refOf(element);
    if (!ref) return {AXError::illegalArgument, {}};
    switch (ref->kind) {
        case X11ElementRef::Kind::application:
            return {AXError::success, {"AXRole", "AXWindows"}};
        case X11ElementRef::Kind::closeButton:
            return {AXError::success, {"AXRole"}};
        case X11ElementRef::Kind::window:
            break;
    }
    return {
        AXError::success,
        {"AXRole", "AXSubrole", "AXTitle", "AXPosition", "AXSize", "AXMinimized", "AXCloseButton"}};
}

AXError X11Desktop::setAttributeValue(const AXElement& element, std::string_view attribute,
                                      const AXValue& value) {
    const X11ElementRef* ref = refOf(element);
    if (!ref) return AXError::illegalArgument;
    if (ref->kind != X11ElementRef::Kind::window || attribute != "AXMinimized")
        return AXError::attributeUnsupported;
    const bool* minimized = value.as<bool>();
    if (!minimized) return AXError::illegalArgument;
    if (!find(ref->window)) return AXError::invalidUIElement;
    if (*minimized) {
        minimizeWindow(ref->window);
    } else {
        activateWindow(ref->window);
    }
    return AXError::success;
}

AXError X11Desktop::performAction(const AXElement& element, std::string_view action) {
    const X11ElementRef* ref = refOf(element);
    if (!ref) return AXError::illegalArgument;
    if (ref->kind == X11ElementRef::Kind::application) return AXError::actionUnsupported;
    if (!find(ref->window)) return AXError::invalidUIElement;
    if (ref->kind == X11ElementRef::Kind::window && action == "AXRaise") {
        activateWindow(ref->window);
        return AXError::success;
    }
    if (ref->kind == X11ElementRef::Kind::closeButton && action == "AXPress") {
        closeWindow(ref->window);
        return AXError::success;
    }
    return AXError::actionUnsupported;
}

std::uint64_t X11Desktop::hash(const AXElement& element) {
    const X11ElementRef* ref = refOf(element);
    if (!ref) return 0;
    return ref->kind == X11ElementRef::Kind::application ? static_cast<std::uint64_t>(ref->pid)
                                                         : ref->window;
}

std::vector<RunningApplication> X11Desktop::runningApplications() {
    std::vector<RunningApplication> apps;
    std::unordered_set<ProcessId> seen;
    for (const X11Window& w : windows()) {
        if (!w.listed || !seen.insert(w.pid).second) continue;
        if (auto app = applicationOf(w)) apps.push_back(std::move(*app));
    }
    return apps;
}

std::vector<RunningApplication> X11Desktop::runningApplications(std::string_view bundleIdentifier) {
    auto apps = runningApplications();
    std::erase_if(apps, [&](const RunningApplication& a) {
        return a.bundleIdentifier != std::optional<std::string>(bundleIdentifier);
    });
    return apps;
}

std::optional<RunningApplication> X11Desktop::application(ProcessId pid) {
    for (const X11Window& w : windows())
        if (w.pid == pid && pid > 0) return applicationOf(w);
    return std::nullopt;
}

std::optional<RunningApplication> X11Desktop::frontmostApplication() {
    const X11Window* active = lastActive_ == XCB_NONE ? nullptr : find(lastActive_);
    return active ? applicationOf(*active) : std::nullopt;
}

bool X11Desktop::activate(ProcessId pid) {
    if (const auto front = frontmostApplication(); front && front->processIdentifier == pid)
        return true;
    // X11 has no applications, only windows: the application's front window stands for it.
    for (const X11Window& w : windows()) {
        if (w.pid == pid && pid > 0 && w.listed) {
            activateWindow(w.id);
            return true;
        }
    }
    return false;
}

ImageRef X11Desktop::iconForFile(std::string_view) {
    return {};
}

std::unique_ptr<NotificationToken> X11Desktop::addActivationObserver(ActivationHandler handler) {
    auto token = std::make_unique<Token>();
    observers_.emplace(token.get(), std::move(handler));
    return token;
}

void X11Desktop::removeObserver(NotificationToken& token) {
    observers_.erase(static_cast<Token*>(&token));
}

bool X11Desktop::openURL(const Url& url) {
    return opener && opener(url);
}

void X11Desktop::activateWindow(xcb_window_t window) {
    // As a pager (source 2) with the user's own key time, which focus-stealing prevention honours.
    xcb_ewmh_request_change_active_window(&x_.ewmh(), x_.screenNumber(), window,
                                          XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, x_.lastUserTime(),
                                          lastActive_);
    xcb_flush(x_.get());
    log_.debug("Asked the window manager to activate window " + std::to_string(window));
}

void X11Desktop::closeWindow(xcb_window_t window) {
    xcb_ewmh_request_close_window(&x_.ewmh(), x_.screenNumber(), window, x_.lastUserTime(),
                                  XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    xcb_flush(x_.get());
}

void X11Desktop::minimizeWindow(xcb_window_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = x_.atom("WM_CHANGE_STATE");
    message.data.data32[0] = XCB_ICCCM_WM_STATE_ICONIC;
    xcb_send_event(x_.get(), 0, x_.root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(x_.get());
}

}  // namespace vantorel
