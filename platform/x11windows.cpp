#include "platform/x11windows.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

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
