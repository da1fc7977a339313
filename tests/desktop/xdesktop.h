// A real desktop for tests: a virtual X server with a window manager (and a
// tray when asked), real input through XTest, and the window system's own
// view of windows: state, geometry, focus, stacking, decorations and pixels.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

class XDesktop {
public:
    // Starts Xvfb and openbox (and trayer with `tray`) and points the toolkit
    // at them. False when one of them cannot start.
    static bool Start(bool tray = false, bool windowManager = true);
    static bool HasWindowManager();
    static void Stop();
    // Ends the display and the programs on it at once (a run that hangs).
    static void Kill();
    static XDesktop& Get();
    // A connection of its own, for a thread that looks while the GUI thread is busy.
    static std::unique_ptr<XDesktop> Connect();
    ~XDesktop();

    // ---- the window system's view
    unsigned long WindowOf(QWidget* topLevel) const;
    // The window manager's frame around a client window (the client itself when unmanaged).
    unsigned long FrameOf(unsigned long window) const;
    // Client area in root coordinates.
    QRect ClientRect(unsigned long window) const;
    QRect FrameRect(unsigned long window) const;
    std::vector<std::string> States(unsigned long window) const;   // _NET_WM_STATE, short names
    bool HasState(unsigned long window, const std::string& name) const;
    // _NET_WM_ALLOWED_ACTIONS as the window manager keeps it, short names ("MINIMIZE", "CLOSE").
    std::vector<std::string> AllowedActions(unsigned long window) const;
    // _NET_WM_WINDOW_TYPE, short names, in the window's order of preference.
    std::vector<std::string> WindowTypes(unsigned long window) const;
    bool Viewable(unsigned long window) const;
    // WM_STATE: 1 normal, 3 iconic, 0 withdrawn or none.
    int WmState(unsigned long window) const;
    unsigned long ActiveWindow() const;
    // The window that has the keyboard, as the X server has it.
    unsigned long KeyboardWindow() const;
    unsigned long TransientFor(unsigned long window) const;
    // True when the window asked for a place of its own (user or program position hint).
    bool AsksForPosition(unsigned long window) const;
    // Position in the window manager's stacking, bottom 0; -1 when not managed.
    int StackPosition(unsigned long window) const;
    // Managed windows, bottom to top.
    std::vector<unsigned long> Stacking() const;
    // Managed windows with this exact title.
    std::vector<unsigned long> WindowsTitled(const std::string& title) const;
    std::string Title(unsigned long window) const;
    // Viewable top-level windows of a process (by _NET_WM_PID): managed ones,
    // and with `popups` unmanaged ones (menus).
    std::vector<unsigned long> WindowsOf(long pid, bool popups) const;
    // Viewable windows anywhere in the tree (embedded ones too) with this WM_NAME.
    std::vector<unsigned long> ViewableNamed(const std::string& name) const;
    // 0xRRGGBB at a root position.
    unsigned Pixel(int x, int y) const;
    // What the screen shows in a rectangle of the root window.
    QImage Image(QRect area) const;
    // Saves the screen as a PNG (for looking at a failure).
    void Screenshot(const std::string& path) const;
    // The screen saved under the running test's name, for looking at its failure.
    void ScreenshotOfFailure() const;

    // ---- input, as a user gives it
    void MoveTo(int x, int y);
    void Press(int button);
    void Release(int button);
    void Click(int x, int y, int button = 1);
    void Click(QPoint p, int button = 1) { Click(p.x(), p.y(), button); }
    void MoveTo(QPoint p) { MoveTo(p.x(), p.y()); }
    void DoubleClick(QPoint p) { DoubleClick(p.x(), p.y()); }
    void DoubleClick(int x, int y);
    // "ctrl+u", "Return", "alt+f", "shift+Tab".
    void Key(const std::string& combo);
    void KeyDown(const std::string& combo);
    void KeyUp(const std::string& combo);
    void Type(const std::string& text);
    // Returns once the toolkit has taken in every input sent before (a key
    // nobody acts on goes the same way); needs a window of ours with the keyboard.
    void RoundTrip();
    // Asks the window manager to close a window, as its close box does.
    void RequestClose(unsigned long window);
    // True when a program holds a global grab of this key combination.
    bool KeyGrabbed(const std::string& combo);
    // Asks the window manager to bring a window up, as a task bar does.
    void RequestActivate(unsigned long window);
    // Returns once the window manager has handled every request about this
    // window sent before; false when it did not answer.
    bool WindowManagerRoundTrip(unsigned long window);
    // Asks the window manager to iconify a window, as its minimise button does.
    void RequestMinimize(unsigned long window);

    // A point of a widget in root coordinates, found through the window system.
    QPoint RootPos(QWidget* widget, QPoint local) const;
    QPoint Centre(QWidget* widget) const;

private:
    XDesktop() = default;
    void Sync() const;
    unsigned long AtomOf(const char* name) const;
    std::vector<unsigned long> Atoms(unsigned long window, const char* property) const;
    std::vector<std::string> Names(unsigned long window, const char* property, const char* prefix) const;
    void* display_ = nullptr;
    friend struct DesktopProcesses;
};

// Steps of a user's work that may open nested loops (menus, modal boxes):
// each step waits for its condition without blocking, from a timer, so the
// script goes on inside whatever loop is running.
class Script {
public:
    Script& When(std::string what, std::function<bool()> ready, std::function<void()> act = {});
    Script& Then(std::string what, std::function<void()> act) { return When(std::move(what), {}, std::move(act)); }
    // Runs the steps; true when all ran within `ms`. Failed() names the step that did not.
    bool Run(int ms = 30000);
    std::string Failed() const;

private:
    struct Step {
        std::string what;
        std::function<bool()> ready;
        std::function<void()> act;
    };
    std::vector<Step> steps_;
    size_t next_ = 0;
    std::shared_ptr<int> running_ = std::make_shared<int>(0);  // actions started and not yet returned
};

// Runs the toolkit's events until `done` holds or `ms` passed; true when it held.
bool WaitUntil(const std::function<bool()>& done, int ms = 10000);
