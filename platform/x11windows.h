// What our top-level windows tell an X11 window manager about themselves.
// Private to platform/; does nothing on other window systems.
#pragma once

#include <QMargins>

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

// The frame the window manager puts around this window, as it last said:
// false when it has said nothing (yet), or no window manager runs.
bool FrameExtents(QWidget* window, QMargins* extents);

// The same, for a window about to be mapped for the first time: the window
// manager is asked and its answer awaited (a second or two at most). False
// when no window manager runs or it cannot tell.
bool AskFrameExtents(QWidget* window, QMargins* extents);

// True when a window manager runs on the display.
bool WindowManagerRunning();

// Before a window is mapped: whether it comes up minimised (the window
// manager keeps any other state it asks for, such as maximised, beneath).
// The toolkit is not told: it maps a window it thinks minimised whenever it
// changes the window's geometry, and learns the state from the window manager.
void SetStartIconic(QWidget* window, bool iconic);

// The window a window belongs to, which the window manager keeps it above.
void SetOwner(QWidget* window, QWidget* owner);
