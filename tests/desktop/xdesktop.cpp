#include "desktop/xdesktop.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
// X's event names would hide the toolkit's.
#undef KeyPress
#undef KeyRelease

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
Display* Dpy(void* d) { return static_cast<Display*>(d); }

pid_t Spawn(const std::vector<std::string>& args, int keepFd = -1) {
    const pid_t parent = getpid();
    pid_t pid = fork();
    if (pid != 0) return pid;
    // The child: quiet, in its own process group so it is stopped whole, and
    // gone with the tests when they are killed (a time limit) before they stop it.
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    for (int fd = 3; fd < 256; ++fd)
        if (fd != keepFd) close(fd);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

void Stop(pid_t& pid) {
    if (pid <= 0) return;
    kill(-pid, SIGTERM);
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = 0;
            return;
        }
        usleep(10000);
    }
    kill(-pid, SIGKILL);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = 0;
}

bool Poll(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        usleep(5000);
    }
    return true;
}

std::string ShortName(const std::string& atom, const std::string& prefix) {
    return atom.rfind(prefix, 0) == 0 ? atom.substr(prefix.size()) : atom;
}
}  // namespace

struct DesktopProcesses {
    pid_t server = 0, wm = 0, tray = 0;
};
static DesktopProcesses processes;
static XDesktop* instance = nullptr;

XDesktop& XDesktop::Get() { return *instance; }

std::unique_ptr<XDesktop> XDesktop::Connect() {
    std::unique_ptr<XDesktop> other(new XDesktop);
    other->display_ = XOpenDisplay(nullptr);
    return other->display_ ? std::move(other) : nullptr;
}

XDesktop::~XDesktop() {
    if (display_) XCloseDisplay(Dpy(display_));
}

static bool withWindowManager = true;

bool XDesktop::HasWindowManager() { return withWindowManager; }

bool XDesktop::Start(bool tray, bool windowManager) {
    withWindowManager = windowManager;
    int fds[2];
    if (pipe(fds) != 0) return false;
    processes.server = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x1024x24",
                              "-nolisten", "tcp", "-noreset"},
                             fds[1]);
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) return false;
    const std::string display = ":" + number;
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    // Every test binary starts its own desktop: nothing of the user's session leaks in.
    unsetenv("WAYLAND_DISPLAY");
    instance = new XDesktop;
    instance->display_ = XOpenDisplay(display.c_str());
    if (!instance->display_) return false;
    // Windows come and go while the tests look at them: a window gone by the
    // time it is asked about is no failure.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    Display* d = Dpy(instance->display_);
    if (!windowManager) return true;
    processes.wm = Spawn({"openbox", "--sm-disable"});
    auto wmReady = [&] { return instance->Atoms(DefaultRootWindow(d), "_NET_SUPPORTING_WM_CHECK").size() == 1; };
    if (!Poll(wmReady, 10000)) return false;
    // The manager names itself before it takes windows in: a probe window
    // shows when it really manages them.
    // A map request that comes while it is still starting is lost, so the
    // probe asks again until it is taken in.
    ::Window probe = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 10, 10, 0, 0, 0);
    auto managed = [&] {
        for (unsigned long w : instance->Atoms(DefaultRootWindow(d), "_NET_CLIENT_LIST"))
            if (w == probe) return true;
        return false;
    };
    bool managing = false;
    for (int attempt = 0; attempt < 40 && !managing; ++attempt) {
        XMapWindow(d, probe);
        XSync(d, False);
        managing = Poll(managed, 250);
    }
    XDestroyWindow(d, probe);
    XSync(d, False);
    if (!managing || !Poll([&] { return !managed(); }, 10000)) return false;
    if (tray) {
        processes.tray = Spawn({"trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height",
                                "24", "--SetDockType", "true", "--expand", "true", "--transparent", "false"});
        const Atom selection = XInternAtom(d, "_NET_SYSTEM_TRAY_S0", False);
        if (!Poll([&] { return XGetSelectionOwner(d, selection) != None; }, 10000)) return false;
    }
    return true;
}

void XDesktop::Kill() {
    for (pid_t pid : {processes.tray, processes.wm, processes.server})
        if (pid > 0) {
            kill(-pid, SIGKILL);
            kill(pid, SIGKILL);
        }
}

void XDesktop::Stop() {
    XDesktop* gone = instance;
    instance = nullptr;
    delete gone;
    ::Stop(processes.tray);
    ::Stop(processes.wm);
    ::Stop(processes.server);
}

void XDesktop::Sync() const { XSync(Dpy(display_), False); }

unsigned long XDesktop::AtomOf(const char* name) const { return XInternAtom(Dpy(display_), name, False); }

std::vector<unsigned long> XDesktop::Atoms(unsigned long window, const char* property) const {
    std::vector<unsigned long> out;
    ::Atom type;
    int format;
    unsigned long n = 0, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(Dpy(display_), window, AtomOf(property), 0, 1024, False, AnyPropertyType, &type, &format, &n,
                           &after, &data) == Success &&
        data && format == 32) {
        auto* values = reinterpret_cast<unsigned long*>(data);
        out.assign(values, values + n);
    }
    if (data) XFree(data);
    return out;
}

unsigned long XDesktop::WindowOf(QWidget* topLevel) const { return topLevel ? topLevel->window()->winId() : 0; }

unsigned long XDesktop::FrameOf(unsigned long window) const {
    Display* d = Dpy(display_);
    ::Window w = window, root, parent, *children = nullptr;
    unsigned n;
    while (XQueryTree(d, w, &root, &parent, &children, &n)) {
        if (children) XFree(children);
        if (parent == root || parent == 0) return w;
        w = parent;
    }
    return window;
}

QRect XDesktop::ClientRect(unsigned long window) const {
    Display* d = Dpy(display_);
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, window, &a)) return {};
    int x = 0, y = 0;
    ::Window child;
    XTranslateCoordinates(d, window, DefaultRootWindow(d), 0, 0, &x, &y, &child);
    return QRect(x, y, a.width, a.height);
}

QRect XDesktop::FrameRect(unsigned long window) const { return ClientRect(FrameOf(window)); }

std::vector<std::string> XDesktop::Names(unsigned long window, const char* property, const char* prefix) const {
    std::vector<std::string> out;
    for (unsigned long a : Atoms(window, property)) {
        char* name = XGetAtomName(Dpy(display_), a);
        if (name) {
            out.push_back(ShortName(name, prefix));
            XFree(name);
        }
    }
    return out;
}

std::vector<std::string> XDesktop::States(unsigned long window) const {
    return Names(window, "_NET_WM_STATE", "_NET_WM_STATE_");
}

std::vector<std::string> XDesktop::AllowedActions(unsigned long window) const {
    return Names(window, "_NET_WM_ALLOWED_ACTIONS", "_NET_WM_ACTION_");
}

bool XDesktop::HasState(unsigned long window, const std::string& name) const {
    for (const std::string& s : States(window))
        if (s == name) return true;
    return false;
}

std::vector<std::string> XDesktop::WindowTypes(unsigned long window) const {
    return Names(window, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_");
}

bool XDesktop::Viewable(unsigned long window) const {
    XWindowAttributes a;
    return XGetWindowAttributes(Dpy(display_), window, &a) && a.map_state == IsViewable;
}

int XDesktop::WmState(unsigned long window) const {
    std::vector<unsigned long> state = Atoms(window, "WM_STATE");
    return state.empty() ? 0 : static_cast<int>(state.front());
}

unsigned long XDesktop::ActiveWindow() const {
    std::vector<unsigned long> w = Atoms(DefaultRootWindow(Dpy(display_)), "_NET_ACTIVE_WINDOW");
    return w.empty() ? 0 : w.front();
}

unsigned long XDesktop::KeyboardWindow() const {
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(Dpy(display_), &focus, &revert);
    return focus;
}

unsigned long XDesktop::TransientFor(unsigned long window) const {
    ::Window parent = 0;
    return XGetTransientForHint(Dpy(display_), window, &parent) ? parent : 0;
}

bool XDesktop::AsksForPosition(unsigned long window) const {
    XSizeHints hints{};
    long supplied = 0;
    if (!XGetWMNormalHints(Dpy(display_), window, &hints, &supplied)) return false;
    return (hints.flags & (USPosition | PPosition)) != 0;
}

int XDesktop::StackPosition(unsigned long window) const {
    std::vector<unsigned long> stack = Stacking();
    for (size_t i = 0; i < stack.size(); ++i)
        if (stack[i] == window) return static_cast<int>(i);
    return -1;
}

std::vector<unsigned long> XDesktop::Stacking() const {
    return Atoms(DefaultRootWindow(Dpy(display_)), "_NET_CLIENT_LIST_STACKING");
}

std::string XDesktop::Title(unsigned long window) const {
    Display* d = Dpy(display_);
    ::Atom type;
    int format;
    unsigned long n = 0, after;
    unsigned char* data = nullptr;
    std::string out;
    if (XGetWindowProperty(d, window, AtomOf("_NET_WM_NAME"), 0, 1024, False, AtomOf("UTF8_STRING"), &type, &format, &n,
                           &after, &data) == Success &&
        data)
        out.assign(reinterpret_cast<char*>(data), n);
    if (data) XFree(data);
    return out;
}

std::vector<unsigned long> XDesktop::WindowsTitled(const std::string& title) const {
    std::vector<unsigned long> out;
    for (unsigned long w : Atoms(DefaultRootWindow(Dpy(display_)), "_NET_CLIENT_LIST"))
        if (Title(w) == title) out.push_back(w);
    return out;
}

std::vector<unsigned long> XDesktop::WindowsOf(long pid, bool popups) const {
    Display* d = Dpy(display_);
    std::vector<unsigned long> found;
    ::Window root, parent, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n)) return found;
    for (unsigned i = 0; i < n; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(d, children[i], &a) || a.map_state != IsViewable) continue;
        // A managed window sits in its frame: look at the client inside.
        std::vector<::Window> candidates{children[i]};
        ::Window r, p, *inner = nullptr;
        unsigned m = 0;
        if (!a.override_redirect && XQueryTree(d, children[i], &r, &p, &inner, &m)) {
            for (unsigned j = 0; j < m; ++j) candidates.push_back(inner[j]);
            if (inner) XFree(inner);
        }
        for (::Window w : candidates) {
            std::vector<unsigned long> owner = Atoms(w, "_NET_WM_PID");
            if (owner.empty() || static_cast<long>(owner.front()) != pid) continue;
            if (a.override_redirect ? popups : !popups) found.push_back(w);
        }
    }
    if (children) XFree(children);
    return found;
}

std::vector<unsigned long> XDesktop::ViewableNamed(const std::string& name) const {
    Display* d = Dpy(display_);
    std::vector<unsigned long> found;
    std::vector<::Window> pending{DefaultRootWindow(d)};
    while (!pending.empty()) {
        ::Window w = pending.back();
        pending.pop_back();
        std::string title = Title(w);
        if (title.empty()) {
            // WM_NAME, whatever its encoding type.
            ::Atom type;
            int format;
            unsigned long n = 0, after;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(d, w, XA_WM_NAME, 0, 1024, False, AnyPropertyType, &type, &format, &n, &after,
                                   &data) == Success &&
                data)
                title.assign(reinterpret_cast<char*>(data), n);
            if (data) XFree(data);
        }
        if (title == name && Viewable(w)) found.push_back(w);
        ::Window root, parent, *children = nullptr;
        unsigned n = 0;
        if (XQueryTree(d, w, &root, &parent, &children, &n)) {
            for (unsigned i = 0; i < n; ++i) pending.push_back(children[i]);
            if (children) XFree(children);
        }
    }
    return found;
}

unsigned XDesktop::Pixel(int x, int y) const {
    Display* d = Dpy(display_);
    XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return 0;
    unsigned value = static_cast<unsigned>(XGetPixel(image, 0, 0)) & 0xFFFFFF;
    XDestroyImage(image);
    return value;
}

QImage XDesktop::Image(QRect area) const {
    Display* d = Dpy(display_);
    XImage* image = XGetImage(d, DefaultRootWindow(d), area.x(), area.y(), static_cast<unsigned>(area.width()),
                              static_cast<unsigned>(area.height()), AllPlanes, ZPixmap);
    if (!image) return {};
    QImage out(area.size(), QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            out.setPixel(x, y, static_cast<QRgb>(XGetPixel(image, x, y)) | 0xFF000000u);
    XDestroyImage(image);
    return out;
}

void XDesktop::Screenshot(const std::string& path) const {
    Display* d = Dpy(display_);
    Image(QRect(0, 0, DisplayWidth(d, DefaultScreen(d)), DisplayHeight(d, DefaultScreen(d))))
        .save(QString::fromStdString(path), "PNG");
}

void XDesktop::ScreenshotOfFailure() const {
    const std::string shot =
        (std::filesystem::temp_directory_path() /
         (std::string("tallyvane-") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png"))
            .string();
    Screenshot(shot);
    std::printf("Screen at the failure: %s\n", shot.c_str());
}

// ---------------------------------------------------------------- input

namespace {
// Counts the button and key releases the toolkit has taken in, so input is
// sent only once the toolkit has dealt with what came before it.
class ReleaseCounter : public QObject {
public:
    long seen = 0;
    long moves = 0;  // pointer motions, which widgets read their hover state from

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (!watched->isWindowType()) return false;
        if (e->type() == QEvent::MouseButtonRelease || e->type() == QEvent::KeyRelease) ++seen;
        if (e->type() == QEvent::MouseMove) ++moves;
        return false;
    }
};

ReleaseCounter* Counter() {
    static QPointer<ReleaseCounter> counter;
    if (!counter && QCoreApplication::instance()) {
        counter = new ReleaseCounter;
        counter->setParent(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(counter);
    }
    return counter;
}

// Waits (a little at most) until the toolkit has taken in `releases` more
// releases; only for input that goes to a window of this process: to the
// window under the pointer, or with the keyboard.
class ReleasesTaken {
public:
    ReleasesTaken(long releases, bool keys)
        : counter_(Ours(keys) ? Counter() : nullptr), until_(counter_ ? counter_->seen + releases : 0) {}
    ~ReleasesTaken() {
        if (counter_) WaitUntil([&] { return !counter_ || counter_->seen >= until_; }, 10000);
    }

private:
    static bool Ours(bool keys) {
        if (!QCoreApplication::instance()) return false;
        if (keys) return QGuiApplication::focusWindow() != nullptr;
        return QGuiApplication::topLevelAt(QCursor::pos()) != nullptr || QApplication::activePopupWidget();
    }
    QPointer<ReleaseCounter> counter_;
    long until_;
};
}  // namespace

void XDesktop::MoveTo(int x, int y) {
    // Over a window of ours, the toolkit takes the motion in before the next
    // input: a title bar that has not seen the pointer arrive ignores a click.
    QPointer<ReleaseCounter> counter =
        QCoreApplication::instance() && QCursor::pos() != QPoint(x, y) && QGuiApplication::topLevelAt(QPoint(x, y))
            ? Counter()
            : nullptr;
    const long until = counter ? counter->moves + 1 : 0;
    XTestFakeMotionEvent(Dpy(display_), -1, x, y, CurrentTime);
    Sync();
    if (counter) WaitUntil([&] { return !counter || counter->moves >= until; }, 10000);
}

void XDesktop::Press(int button) {
    XTestFakeButtonEvent(Dpy(display_), static_cast<unsigned>(button), True, CurrentTime);
    Sync();
}

void XDesktop::Release(int button) {
    ReleasesTaken taken(1, false);
    XTestFakeButtonEvent(Dpy(display_), static_cast<unsigned>(button), False, CurrentTime);
    Sync();
}

void XDesktop::Click(int x, int y, int button) {
    MoveTo(x, y);
    Press(button);
    Release(button);
}

void XDesktop::DoubleClick(int x, int y) {
    MoveTo(x, y);
    // Both clicks at once: waiting for the first to be taken in could leave
    // more than a double click's time between them on a loaded machine.
    ReleasesTaken taken(2, false);
    for (int i = 0; i < 2; ++i) {
        XTestFakeButtonEvent(Dpy(display_), 1, True, CurrentTime);
        XTestFakeButtonEvent(Dpy(display_), 1, False, CurrentTime);
    }
    Sync();
}

namespace {
std::vector<std::string> Split(const std::string& combo) {
    std::vector<std::string> parts;
    std::stringstream in(combo);
    std::string part;
    while (std::getline(in, part, '+')) parts.push_back(part);
    return parts;
}

KeySym SymOf(const std::string& name) {
    if (name == "ctrl") return XK_Control_L;
    if (name == "alt") return XK_Alt_L;
    if (name == "shift") return XK_Shift_L;
    if (name == "super") return XK_Super_L;
    return XStringToKeysym(name.c_str());
}
}  // namespace

void XDesktop::KeyDown(const std::string& combo) {
    Display* d = Dpy(display_);
    for (const std::string& part : Split(combo))
        XTestFakeKeyEvent(d, XKeysymToKeycode(d, SymOf(part)), True, CurrentTime);
    Sync();
}

void XDesktop::KeyUp(const std::string& combo) {
    Display* d = Dpy(display_);
    std::vector<std::string> parts = Split(combo);
    ReleasesTaken taken(static_cast<long>(parts.size()), true);
    for (auto it = parts.rbegin(); it != parts.rend(); ++it)
        XTestFakeKeyEvent(d, XKeysymToKeycode(d, SymOf(*it)), False, CurrentTime);
    Sync();
}

void XDesktop::Key(const std::string& combo) {
    KeyDown(combo);
    KeyUp(combo);
}

void XDesktop::Type(const std::string& text) {
    Display* d = Dpy(display_);
    for (unsigned char ch : text) {
        KeySym sym = ch == ' ' ? XK_space : ch == '\n' ? XK_Return : static_cast<KeySym>(ch);
        KeyCode code = XKeysymToKeycode(d, sym);
        const bool shift = XkbKeycodeToKeysym(d, code, 0, 0) != sym;
        ReleasesTaken taken(shift ? 2 : 1, true);
        KeyCode shiftCode = XKeysymToKeycode(d, XK_Shift_L);
        if (shift) XTestFakeKeyEvent(d, shiftCode, True, CurrentTime);
        XTestFakeKeyEvent(d, code, True, CurrentTime);
        XTestFakeKeyEvent(d, code, False, CurrentTime);
        if (shift) XTestFakeKeyEvent(d, shiftCode, False, CurrentTime);
        Sync();
    }
}

void XDesktop::RoundTrip() { Key("Shift_R"); }

namespace {
bool grabRefused = false;
int NoteRefusal(Display*, XErrorEvent* e) {
    if (e->error_code == BadAccess) grabRefused = true;
    return 0;
}
}  // namespace

bool XDesktop::KeyGrabbed(const std::string& combo) {
    Display* d = Dpy(display_);
    unsigned modifiers = 0;
    KeyCode code = 0;
    for (const std::string& part : Split(combo)) {
        if (part == "ctrl") modifiers |= ControlMask;
        else if (part == "alt") modifiers |= Mod1Mask;
        else if (part == "shift") modifiers |= ShiftMask;
        else code = XKeysymToKeycode(d, SymOf(part));
    }
    XSync(d, False);
    grabRefused = false;
    auto* previous = XSetErrorHandler(NoteRefusal);
    XGrabKey(d, code, modifiers, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync);
    XSync(d, False);
    const bool taken = grabRefused;
    if (!taken) XUngrabKey(d, code, modifiers, DefaultRootWindow(d));
    XSync(d, False);
    XSetErrorHandler(previous);
    return taken;
}

namespace {
// A client message as a window manager or a pager sends it: to the window itself, or to the root
// where the window manager listens.
void SendClientMessage(Display* d, unsigned long window, Atom type, long first, long second, bool toRoot) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = type;
    e.xclient.format = 32;
    e.xclient.data.l[0] = first;
    e.xclient.data.l[1] = second;
    if (toRoot)
        XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    else
        XSendEvent(d, window, False, NoEventMask, &e);
}
}  // namespace

void XDesktop::RequestClose(unsigned long window) {
    SendClientMessage(Dpy(display_), window, AtomOf("WM_PROTOCOLS"), static_cast<long>(AtomOf("WM_DELETE_WINDOW")),
                      CurrentTime, false);
    Sync();
}

void XDesktop::RequestActivate(unsigned long window) {
    // 2: the request comes from a pager or task bar
    SendClientMessage(Dpy(display_), window, AtomOf("_NET_ACTIVE_WINDOW"), 2, CurrentTime, true);
    Sync();
}

bool XDesktop::WindowManagerRoundTrip(unsigned long window) {
    // A state change that the window manager always answers by writing the
    // window's state, after every request sent before it.
    Display* d = Dpy(display_);
    const Atom state = AtomOf("_NET_WM_STATE"), attention = AtomOf("_NET_WM_STATE_DEMANDS_ATTENTION");
    XSelectInput(d, window, PropertyChangeMask);
    auto answered = [&] {
        QDeadlineTimer deadline(5000);
        XEvent e;
        for (;;) {
            while (XCheckTypedWindowEvent(d, window, PropertyNotify, &e))
                if (e.xproperty.atom == state) return true;
            if (deadline.hasExpired()) return false;
            pollfd p{ConnectionNumber(d), POLLIN, 0};
            poll(&p, 1, static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
            XPending(d);
        }
    };
    SendClientMessage(d, window, state, 1, static_cast<long>(attention), true);  // add
    XFlush(d);
    bool ok = answered();
    if (ok && HasState(window, "DEMANDS_ATTENTION")) {
        SendClientMessage(d, window, state, 0, static_cast<long>(attention), true);  // remove
        XFlush(d);
        ok = answered();
    }
    XSelectInput(d, window, NoEventMask);
    return ok;
}

void XDesktop::RequestMinimize(unsigned long window) {
    SendClientMessage(Dpy(display_), window, AtomOf("WM_CHANGE_STATE"), IconicState, 0, true);
    Sync();
}

QPoint XDesktop::RootPos(QWidget* widget, QPoint local) const {
    QWidget* top = widget->window();
    QRect client = ClientRect(WindowOf(top));
    return client.topLeft() + widget->mapTo(top, local);
}

QPoint XDesktop::Centre(QWidget* widget) const { return RootPos(widget, widget->rect().center()); }

// ---------------------------------------------------------------- waiting

bool WaitUntil(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    while (true) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (done()) return true;
        if (deadline.hasExpired()) return false;
        QThread::usleep(2000);
    }
}

Script& Script::When(std::string what, std::function<bool()> ready, std::function<void()> act) {
    steps_.push_back({std::move(what), std::move(ready), std::move(act)});
    return *this;
}

bool Script::Run(int ms) {
    QTimer timer;
    timer.setInterval(5);
    QDeadlineTimer deadline(ms);
    QObject::connect(&timer, &QTimer::timeout, [this, &deadline] {
        if (deadline.hasExpired()) {
            // Give up: close what holds a nested loop open, so Run can return.
            if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
            else if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
            return;
        }
        // One step a tick at most. The action runs from a timer of its own:
        // it may open a nested loop (a menu, a modal box), and a timer does
        // not fire again while its own handler runs, so the ticks must not
        // wait for it.
        if (next_ >= steps_.size()) return;
        Step& step = steps_[next_];
        if (step.ready && !step.ready()) return;
        ++next_;
        if (!step.act) return;
        ++*running_;
        // The count outlives a script that gave up while an action still ran.
        QTimer::singleShot(0, qApp, [running = running_, act = step.act] {
            act();
            --*running;
        });
    });
    timer.start();
    auto finished = [&] { return next_ >= steps_.size() && *running_ == 0; };
    const bool done = WaitUntil([&] { return finished() || deadline.hasExpired(); }, ms + 60000) && finished();
    timer.stop();
    return done;
}

std::string Script::Failed() const { return next_ < steps_.size() ? steps_[next_].what : std::string(); }
