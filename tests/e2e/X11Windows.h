#pragma once

// Windows of our own on a real X server, with the properties that applications and a window
// manager would leave on them. One connection; usable from any one thread.

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tavrin {

class X11Windows {
public:
    X11Windows() {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_) == 0) {
            root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        }
    }
    ~X11Windows() { xcb_disconnect(connection_); }
    X11Windows(const X11Windows&) = delete;
    X11Windows& operator=(const X11Windows&) = delete;

    bool ok() const { return root_ != XCB_NONE; }

    xcb_window_t make(xcb_window_t parent, int x, int y, int w, int h) {
        const xcb_window_t window = xcb_generate_id(connection_);
        const std::uint32_t values[] = {1};  // override-redirect: no window manager may move it
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, parent ? parent : root_,
                          static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                          static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h), 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                          XCB_CW_OVERRIDE_REDIRECT, values);
        xcb_map_window(connection_, window);
        return window;
    }
    void setClass(xcb_window_t window, const char* instance, const char* windowClass) {
        std::string value = std::string(instance) + '\0' + windowClass + '\0';
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS,
                            XCB_ATOM_STRING, 8, static_cast<std::uint32_t>(value.size()),
                            value.data());
    }
    // What a window manager puts on the client window it frames.
    void setWmState(xcb_window_t window) {
        const xcb_atom_t wmState = atom("WM_STATE");
        const std::uint32_t normalState[] = {1, XCB_NONE};
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, wmState, wmState, 32, 2,
                            normalState);
    }
    // The process that owns the window, as toolkits set it.
    void setPid(xcb_window_t window, std::uint32_t pid) {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_PID"),
                            XCB_ATOM_CARDINAL, 32, 1, &pid);
    }
    // What a window manager announces on the root window when `window` gets the focus; none is
    // the desktop.
    void setActive(xcb_window_t window) {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, root_, atom("_NET_ACTIVE_WINDOW"),
                            XCB_ATOM_WINDOW, 32, 1, &window);
        xcb_flush(connection_);
    }
    // Everything above has reached the server.
    void sync() {
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }
    void destroy(xcb_window_t window) {
        xcb_destroy_window(connection_, window);
        sync();
    }

private:
    xcb_atom_t atom(const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection_,
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t value = reply ? reply->atom : XCB_NONE;
        std::free(reply);
        return value;
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
};

}  // namespace tavrin
