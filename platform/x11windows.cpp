#include "platform/x11windows.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <QDeadlineTimer>

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
xcb_connection_t* Connection() {
    if (QGuiApplication::platformName() != "xcb") return nullptr;
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// A property of 32-bit values; empty when the window has none.
std::vector<uint32_t> Property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type) {
    std::vector<uint32_t> values;
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 64), nullptr);
    if (reply && reply->format == 32) {
        const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

xcb_window_t Root(xcb_connection_t* c) { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }

bool ReadExtents(xcb_connection_t* c, xcb_window_t window, QMargins* extents) {
    const std::vector<uint32_t> v = Property(c, window, Atom(c, "_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL);
    if (v.size() < 4) return false;
    // left, right, top, bottom
    *extents = QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]), static_cast<int>(v[3]));
    return true;
}

bool Supports(xcb_connection_t* c, const char* name) {
    const std::vector<uint32_t> supported = Property(c, Root(c), Atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM);
    return std::find(supported.begin(), supported.end(), Atom(c, name)) != supported.end();
}

// A connection of our own, for waiting on the window manager's answers
// without taking events from the toolkit's.
xcb_connection_t* OwnConnection() {
    static xcb_connection_t* own = nullptr;
    static bool tried = false;
    if (!tried) {
        tried = true;
        own = xcb_connect(nullptr, nullptr);
        if (own && xcb_connection_has_error(own)) {
            xcb_disconnect(own);
            own = nullptr;
        }
    }
    return own;
}

// The Motif hints' bits.
enum : uint32_t {
    MwmFunctions = 1, MwmDecorations = 2,
    FuncResize = 2, FuncMove = 4, FuncMinimize = 8, FuncMaximize = 16, FuncClose = 32,
    DecorBorder = 2, DecorResize = 4, DecorTitle = 8, DecorMenu = 16, DecorMinimize = 32, DecorMaximize = 64,
};
}  // namespace

void SetFrameHints(QWidget* window, const FrameHints& hints) {
    xcb_connection_t* c = Connection();
    if (!c || !window || !window->isWindow()) return;
    const xcb_window_t id = static_cast<xcb_window_t>(window->winId());

    // Window managers that draw every button of a normal window or dialog
    // (openbox among them) leave out minimise and maximise only for a
    // toolbar: a window that cannot be minimised says it is one first, and
    // what it really is next, for those that go by the first type they know.
    std::vector<xcb_atom_t> types;
    if (!hints.minimizeBox) types.push_back(Atom(c, "_NET_WM_WINDOW_TYPE_TOOLBAR"));
    types.push_back(Atom(c, hints.kind == FrameHints::Dialog ? "_NET_WM_WINDOW_TYPE_DIALOG"
                            : hints.kind == FrameHints::Tool ? "_NET_WM_WINDOW_TYPE_UTILITY"
                                                             : "_NET_WM_WINDOW_TYPE_NORMAL"));
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, Atom(c, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(types.size()), types.data());

    // Motif hints, which most window managers honour: exactly the functions
    // and buttons allowed (the toolkit allows every function to a window
    // without a close box).
    uint32_t functions = FuncMove, decorations = DecorBorder | DecorTitle;
    if (hints.sizeable) {
        functions |= FuncResize;
        decorations |= DecorResize;
    }
    if (hints.closeBox) {
        functions |= FuncClose;
        decorations |= DecorMenu;
    }
    if (hints.minimizeBox) {
        functions |= FuncMinimize;
        decorations |= DecorMinimize;
    }
    if (hints.maximizeBox) {
        functions |= FuncMaximize;
        decorations |= DecorMaximize;
    }
    const uint32_t motif[5] = {MwmFunctions | MwmDecorations, functions, decorations, 0, 0};
    const xcb_atom_t motifAtom = Atom(c, "_MOTIF_WM_HINTS");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, motifAtom, motifAtom, 32, 5, motif);
    xcb_flush(c);
}

bool WindowManagerRunning() {
    xcb_connection_t* c = Connection();
    if (!c) return false;
    const xcb_atom_t check = Atom(c, "_NET_SUPPORTING_WM_CHECK");
    const std::vector<uint32_t> root = Property(c, Root(c), check, XCB_ATOM_WINDOW);
    if (root.empty()) return false;
    // A window manager that has gone leaves the property behind it.
    const std::vector<uint32_t> self = Property(c, root[0], check, XCB_ATOM_WINDOW);
    return !self.empty() && self[0] == root[0];
}

bool FrameExtents(QWidget* window, QMargins* extents) {
    xcb_connection_t* c = Connection();
    if (!c || !window || !window->internalWinId()) return false;
    return ReadExtents(c, static_cast<xcb_window_t>(window->internalWinId()), extents);
}

bool AskFrameExtents(QWidget* window, QMargins* extents) {
    xcb_connection_t* qt = Connection();
    xcb_connection_t* c = OwnConnection();
    if (!qt || !c || !window) return false;
    const xcb_window_t id = static_cast<xcb_window_t>(window->winId());
    xcb_flush(qt);  // the window exists for the other connection too
    if (ReadExtents(c, id, extents)) return true;
    if (!WindowManagerRunning() || !Supports(c, "_NET_REQUEST_FRAME_EXTENTS")) return false;
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, id, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t property = Atom(c, "_NET_FRAME_EXTENTS");
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = id;
    e.type = Atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    xcb_send_event(c, 0, Root(c), XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&e));
    xcb_flush(c);
    bool answered = ReadExtents(c, id, extents);
    const QDeadlineTimer deadline(2000);
    while (!answered && !deadline.hasExpired()) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
            if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && notify->window == id && notify->atom == property)
                answered = ReadExtents(c, id, extents);
            std::free(event);
        }
        if (answered || xcb_connection_has_error(c)) break;
        pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
        poll(&p, 1, static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
    }
    const uint32_t none = 0;
    xcb_change_window_attributes(c, id, XCB_CW_EVENT_MASK, &none);
    xcb_flush(c);
    return answered;
}

void SetStartIconic(QWidget* window, bool iconic) {
    xcb_connection_t* c = Connection();
    if (!c || !window) return;
    const xcb_window_t id = static_cast<xcb_window_t>(window->winId());
    // WM_HINTS: flags, input, initial state, ...; the toolkit's other fields stay.
    std::vector<uint32_t> hints = Property(c, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS);
    hints.resize(9, 0);
    hints[0] |= 2;  // StateHint
    hints[2] = iconic ? 3 : 1;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, 9, hints.data());
    // And hidden among its states, which the toolkit adds its own to.
    const xcb_atom_t state = Atom(c, "_NET_WM_STATE"), hidden = Atom(c, "_NET_WM_STATE_HIDDEN");
    std::vector<uint32_t> states = Property(c, id, state, XCB_ATOM_ATOM);
    states.erase(std::remove(states.begin(), states.end(), hidden), states.end());
    if (iconic) states.push_back(hidden);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32, static_cast<uint32_t>(states.size()),
                        states.data());
    xcb_flush(c);
}

void SetOwner(QWidget* window, QWidget* owner) {
    xcb_connection_t* c = Connection();
    if (!c || !window || !owner || !owner->internalWinId()) return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const auto parent = static_cast<xcb_window_t>(owner->internalWinId());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1, &parent);
    xcb_flush(c);
}
