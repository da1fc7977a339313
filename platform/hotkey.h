// Global hot keys: a key combination that reaches a form of the program
// whichever program has the keyboard. A press sends the form the message
// WM_HOTKEY (WParam: the identifier; LParam: modifiers in the low word, the
// virtual key in the high word) through TForm::Dispatch.
//
// The real backend grabs the key on the X11 root window (also with Caps Lock
// and Num Lock on) and watches the key presses the toolkit receives; tests
// install a backend of their own.
#pragma once

class TForm;

constexpr unsigned MOD_ALT = 0x1;
constexpr unsigned MOD_CONTROL = 0x2;
constexpr unsigned MOD_SHIFT = 0x4;
constexpr unsigned MOD_WIN = 0x8;
constexpr unsigned WM_HOTKEY = 0x0312;

// False, registering nothing, when the key is 0, the keyboard has no such key,
// the combination is taken (by this program or another), or there is no X11.
// The registration ends with UnregisterHotKey or when the form is destroyed.
bool RegisterHotKey(TForm* window, int id, unsigned modifiers, unsigned virtualKey);
// False when the form has no hot key of that identifier.
bool UnregisterHotKey(TForm* window, int id);

// Takes and gives back key combinations for the program.
class HotKeyBackend {
public:
    virtual ~HotKeyBackend() = default;
    // False when the combination cannot be had.
    virtual bool Grab(unsigned modifiers, unsigned virtualKey) = 0;
    virtual void Ungrab(unsigned modifiers, unsigned virtualKey) = 0;
};
// Installs a backend for the registrations that follow and returns the
// previous one (null restores the X11 backend). A backend must outlive the
// registrations made through it.
HotKeyBackend* SetHotKeyBackend(HotKeyBackend* backend);
// For backends: a grabbed combination was pressed. The form that registered
// it gets WM_HOTKEY, inside the catch-all of every handler.
void HotKeyPressed(unsigned modifiers, unsigned virtualKey);
