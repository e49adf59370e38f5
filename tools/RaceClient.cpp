// The race's windows: COUNT top-level windows of one class in one process, named NAME 1 …
// NAME COUNT in UTF-8 and Latin-1, filled with one colour, each gone when the window manager
// asks it to close; the process ends with its last window.
// Usage: race_client CLASS NAME 0xRRGGBB COUNT
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

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
// UTF-8 of code points below 256 to Latin-1; anything else passes as it is.
std::string latin1(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if ((b & 0xFE) == 0xC2 && i + 1 < utf8.size()) {
            out += static_cast<char>(((b & 0x1F) << 6) | (utf8[++i] & 0x3F));
        } else {
            out += utf8[i];
        }
    }
    return out;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) return 2;
    const int count = std::atoi(argv[4]);
    if (count < 1) return 2;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const std::uint32_t values[] = {static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 16)),
                                    XCB_EVENT_MASK_EXPOSURE};
    const std::string wmClass = std::string(argv[1]) + '\0' + argv[1] + '\0';
    const xcb_atom_t utf8Name = atom(c, "_NET_WM_NAME"), utf8 = atom(c, "UTF8_STRING");
    const xcb_atom_t pidAtom = atom(c, "_NET_WM_PID"), protocols = atom(c, "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = atom(c, "WM_DELETE_WINDOW");
    const std::uint32_t pid = static_cast<std::uint32_t>(getpid());
    for (int i = 1; i <= count; ++i) {
        const xcb_window_t w = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 0, 0, 320, 200, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
        const std::string name = std::string(argv[2]) + " " + std::to_string(i);
        const std::string legacy = latin1(name);
        set(c, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, wmClass.size(), wmClass.data());
        set(c, w, utf8Name, utf8, 8, name.size(), name.data());
        set(c, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, legacy.size(), legacy.data());
        set(c, w, pidAtom, XCB_ATOM_CARDINAL, 32, 1, &pid);
        set(c, w, protocols, XCB_ATOM_ATOM, 32, 1, &deleteWindow);
        xcb_map_window(c, w);
    }
    xcb_flush(c);
    for (int open = count; open > 0;) {
        xcb_generic_event_t* event = xcb_wait_for_event(c);
        if (!event) break;
        const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
        if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE && message->type == protocols &&
            message->data.data32[0] == deleteWindow) {
            xcb_destroy_window(c, message->window);
            xcb_flush(c);
            --open;
        }
        std::free(event);
    }
    xcb_disconnect(c);
    return 0;
}
