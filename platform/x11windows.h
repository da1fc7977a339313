// What our top-level windows tell an X11 window manager about themselves.
// Private to platform/; does nothing on other window systems.
#pragma once

class QWidget;

// The frame a window allows: which buttons its title bar has, whether it can
// be resized, and what kind of window it is.
struct FrameHints {
    enum Kind { Normal, Dialog, Tool };
    Kind kind = Normal;
    bool closeBox = true;
    bool minimizeBox = true;
    bool maximizeBox = true;
    bool sizeable = true;
};

// Sets the window type and the Motif decorations and functions, so that the
// window manager draws and allows only what the frame allows. The toolkit
// sets its own whenever it (re)creates the native window: call this after
// the window exists and before it is mapped.
void SetFrameHints(QWidget* window, const FrameHints& hints);
