// A tiny X client for the tests: one top-level window of a given class, named in UTF-8 and/or
// Latin-1, filled with one colour, that goes when the window manager asks it to close.
// Usage: x11_test_client CLASS UTF8NAME|- LATIN1NAME|- 0xRRGGBB [FLAG,...]
// Flags: drawn (no background: the client paints on exposure, repaints in the colour a
// _VANTOREL_COLOR message carries and counts its paints in _VANTOREL_PAINTS), nopid (no
// _NET_WM_PID), icon (a 16 and a 32 pixel _NET_WM_ICON), badicon (one whose sizes overrun its
// data), placed (at the top left corner, as the user asked).
#include <xcb/xcb.h>

#include <unistd.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    auto* reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : 0;
    std::free(reply);
    return a;
}
void set(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type, int format,
         std::size_t count, const void* data) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, format,
                        static_cast<std::uint32_t>(count), data);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6) return 2;
    const std::string flags = argc == 6 ? argv[5] : "";
    const auto has = [&](const char* flag) { return flags.find(flag) != std::string::npos; };
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    std::uint32_t color = static_cast<std::uint32_t>(std::strtoul(argv[4], nullptr, 16));
    const bool drawn = has("drawn");
    const std::uint32_t values[] = {drawn ? std::uint32_t{XCB_BACK_PIXMAP_NONE} : color,
                                    XCB_EVENT_MASK_EXPOSURE};
    const xcb_window_t w = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 0, 0, 320, 200, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      (drawn ? XCB_CW_BACK_PIXMAP : XCB_CW_BACK_PIXEL) | XCB_CW_EVENT_MASK, values);
    const std::string wmClass = std::string(argv[1]) + '\0' + argv[1] + '\0';
    set(c, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, wmClass.size(), wmClass.data());
    if (std::strcmp(argv[2], "-") != 0)
        set(c, w, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"), 8, std::strlen(argv[2]),
            argv[2]);
    if (std::strcmp(argv[3], "-") != 0) {
        // The name arrives in UTF-8; the legacy property holds it in Latin-1.
        std::string latin1;
        for (const char* p = argv[3]; *p; ++p) {
            const auto b = static_cast<unsigned char>(*p);
            if ((b & 0xE0) == 0xC0 && p[1]) {
                latin1 += static_cast<char>(((b & 0x1F) << 6) | (p[1] & 0x3F));
                ++p;
            } else {
                latin1 += *p;
            }
        }
        set(c, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, latin1.size(), latin1.data());
    }
    const std::uint32_t userPosition[18] = {has("placed") ? 1u : 0u};
    set(c, w, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18, userPosition);
    if (!has("nopid")) {
        const std::uint32_t pid = static_cast<std::uint32_t>(getpid());
        set(c, w, atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
    }
    if (has("icon") || has("badicon")) {
        // The 16-pixel one in the colour, the 32-pixel one (or its overrun) in the inverse.
        std::vector<std::uint32_t> icon{16, 16};
        icon.insert(icon.end(), 16 * 16, 0xFF000000u | color);
        icon.insert(icon.end(), {32, has("badicon") ? 4096u : 32u});
        icon.insert(icon.end(), 32 * 32, 0xFF000000u | (~color & 0xFFFFFF));
        set(c, w, atom(c, "_NET_WM_ICON"), XCB_ATOM_CARDINAL, 32, icon.size(), icon.data());
    }
    const xcb_atom_t protocols = atom(c, "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = atom(c, "WM_DELETE_WINDOW");
    const xcb_atom_t colorAtom = atom(c, "_VANTOREL_COLOR");
    const xcb_atom_t paintsAtom = atom(c, "_VANTOREL_PAINTS");
    set(c, w, protocols, XCB_ATOM_ATOM, 32, 1, &deleteWindow);
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, w, XCB_GC_FOREGROUND, &color);
    std::uint32_t paints = 0;
    const auto paint = [&] {
        xcb_change_gc(c, gc, XCB_GC_FOREGROUND, &color);
        const xcb_rectangle_t all{0, 0, 320, 200};
        xcb_poly_fill_rectangle(c, w, gc, 1, &all);
        ++paints;
        set(c, w, paintsAtom, XCB_ATOM_CARDINAL, 32, 1, &paints);
        xcb_flush(c);
    };
    xcb_map_window(c, w);
    xcb_flush(c);
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        const std::uint8_t type = event->response_type & 0x7f;
        const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
        const bool closing = type == XCB_CLIENT_MESSAGE && message->type == protocols &&
                             message->data.data32[0] == deleteWindow;
        if (drawn && type == XCB_EXPOSE && reinterpret_cast<xcb_expose_event_t*>(event)->count == 0)
            paint();
        if (drawn && type == XCB_CLIENT_MESSAGE && message->type == colorAtom) {
            color = message->data.data32[0];
            paint();
        }
        std::free(event);
        if (closing) break;
    }
    xcb_disconnect(c);
    return 0;
}
