// Window-system calls by their Win32 names: a named mutex that tells whether
// another copy of a program runs, the last error of a call, the extended
// style of the application's window, and showing, raising and activating a
// form's window.
#pragma once

class TApplication;
class TForm;

using HANDLE = void*;
using DWORD = unsigned long;

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_NAME = 123;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;

// The error of the last call on this thread that reports one.
DWORD GetLastError();
void SetLastError(DWORD error);

// A mutex named across the processes of the user's session, held by at most
// one of them, and only a process of this user counts. Where the session's
// runtime folder ($XDG_RUNTIME_DIR, spelt any way) is a folder only this user
// can enter, it is a lock on a file there; elsewhere on a file named after
// the session and the name in a folder made for it that only this user can
// enter ($HOME/.cache/tallyvane, else /tmp/tallyvane-<uid>). It lasts
// while the handle is open and at most until the process ends; programs the
// process starts do not inherit it. When another handle holds the name, in
// this process or another, or no lock could be had at all, the call still
// returns a handle (holding nothing) and GetLastError answers
// ERROR_ALREADY_EXISTS: it never lets a second copy run. Security attributes
// and initial ownership are not modelled.
HANDLE CreateMutexA(void* securityAttributes, bool initialOwner, const char* name);
bool CloseHandle(HANDLE handle);

// The extended style of the application's own window. WS_EX_TOOLWINDOW keeps
// every window of the program out of the task bar and the pager (on X11: the
// window states skip-taskbar and skip-pager, set on each top-level window as
// it is shown).
constexpr int GWL_EXSTYLE = -20;
constexpr long WS_EX_TOOLWINDOW = 0x80;
long GetWindowLongA(TApplication* window, int index);
// Returns the previous value.
long SetWindowLongA(TApplication* window, int index, long value);

// How ShowWindow shows a form's window (the SW_* values of shellapi.h, and these).
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;
// Hides, shows, minimises, maximises or restores a form's window through the
// form, so its OnShow and OnHide run as usual. Returns whether it was visible.
bool ShowWindow(TForm* window, int showCmd);
// Raises a shown window above the program's other windows.
bool BringWindowToTop(TForm* window);
// Raises a shown window and asks the window system to give it the keyboard.
bool SetForegroundWindow(TForm* window);
