#include "platform/qt/X11SelectionWatch.h"

#include <QSocketNotifier>

#if defined(VANTOREL_HAVE_XCB_XFIXES)
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>
#endif

namespace vantorel {

#if defined(VANTOREL_HAVE_XCB_XFIXES)

struct X11SelectionWatch::Connection {
    xcb_connection_t* c = nullptr;
    xcb_atom_t selection = XCB_ATOM_NONE;
    std::uint8_t firstEvent = 0;
    ~Connection() {
        if (c) xcb_disconnect(c);
    }
};

namespace {

template <typename T>
struct Freed {
    T* p;
    ~Freed() { std::free(p); }
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

}  // namespace

X11SelectionWatch::X11SelectionWatch(const std::string& prefix, const std::string& display,
                                     QObject* parent)
    : QObject(parent), x_(std::make_unique<Connection>()) {
    int screen = 0;
    x_->c = xcb_connect(display.empty() ? nullptr : display.c_str(), &screen);
    if (xcb_connection_has_error(x_->c)) return;
    xcb_connection_t* c = x_->c;

    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(c, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present) return;
    x_->firstEvent = xfixes->first_event;
    // Selection notices need version 1 or later; the server answers with what it has.
    Freed<xcb_xfixes_query_version_reply_t> version{xcb_xfixes_query_version_reply(
        c, xcb_xfixes_query_version(c, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
        nullptr)};
    if (!version || version->major_version < 1) return;

    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = screen; it.rem && i > 0; --i)
        xcb_screen_next(&it);
    if (!it.rem) return;
    const std::string name = prefix + std::to_string(screen);
    Freed<xcb_intern_atom_reply_t> atom{xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.c_str()), nullptr)};
    if (!atom) return;
    x_->selection = atom->atom;

    // Asked for before the owner is read, so no change falls between the two.
    xcb_xfixes_select_selection_input(c, it.data->root, x_->selection,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    Freed<xcb_get_selection_owner_reply_t> owner{
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, x_->selection), nullptr)};
    if (!owner) return;
    owner_ = owner->owner;

    notifier_ = new QSocketNotifier(xcb_get_file_descriptor(c), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { readNotices(); });
    // Notices that arrived with the replies wait in the connection's queue, not on the socket.
    readNotices();
}

X11SelectionWatch::~X11SelectionWatch() = default;

void X11SelectionWatch::readNotices() {
    xcb_connection_t* c = x_->c;
    std::uint32_t latest = owner_;
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
        Freed<xcb_generic_event_t> held{event};
        if ((event->response_type & 0x7f) != x_->firstEvent + XCB_XFIXES_SELECTION_NOTIFY) continue;
        const auto* notice = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
        if (notice->selection != x_->selection) continue;
        // A destroyed owner window or a closed client leaves the selection to nobody.
        latest =
            notice->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER ? notice->owner : 0;
    }
    if (xcb_connection_has_error(c)) {
        stop();
        return;
    }
    if (latest == owner_) return;
    owner_ = latest;
    emit ownerChanged(owner_);
}

void X11SelectionWatch::stop() {
    // The server went away: nothing more will come, and the socket would stay readable.
    delete notifier_;
    notifier_ = nullptr;
    if (owner_ != 0) {
        owner_ = 0;
        emit ownerChanged(0);
    }
}

#else

struct X11SelectionWatch::Connection {};

X11SelectionWatch::X11SelectionWatch(const std::string&, const std::string&, QObject* parent)
    : QObject(parent) {}
X11SelectionWatch::~X11SelectionWatch() = default;
void X11SelectionWatch::readNotices() {}
void X11SelectionWatch::stop() {}

#endif

}  // namespace vantorel
