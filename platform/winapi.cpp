#include "platform/winapi.h"

#include "platform/forms.h"
#include "platform/shellapi.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QTimer>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <limits.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;

struct MutexHandle {
    std::vector<int> fds;  // what it holds: its lock file
};

// The session's runtime folder, spelt one way however it is given: the real
// path of a folder that is there, else the given path made plain.
std::string SessionFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime) return std::string();
    char real[PATH_MAX];
    std::string session = realpath(runtime, real) ? real : std::filesystem::path(runtime).lexically_normal().string();
    while (session.size() > 1 && session.back() == '/') session.pop_back();
    return session;
}

uint64_t Fnv1a(const std::string& text) {
    uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

std::string Hex(uint64_t value) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(value));
    return hex;
}

// A folder only this user can use: a real folder of ours (no link to one)
// that nobody else may enter, so nobody else can open, make or hold a file in it.
bool Private(const std::string& folder) {
    struct stat st;
    return !folder.empty() && lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & 077) == 0;
}

// A folder only this user can use, made where it is missing.
std::string MadePrivate(const std::string& folder) {
    if (mkdir(folder.c_str(), 0700) == 0) chmod(folder.c_str(), 0700);  // whatever the umask
    return Private(folder) ? folder : std::string();
}

// Where the lock of a name is kept: the session's runtime folder when only
// this user can use it, else a folder of this user's own, made for it, under
// the home folder or in /tmp; the file's name then tells the session.
std::string LockPath(const std::string& session, const std::string& name) {
    if (Private(session)) return session + "/tallyvane-mutex-" + Hex(Fnv1a(name)) + ".lock";
    std::string folder;
    const char* home = std::getenv("HOME");
    struct stat st;
    // Only a home folder of ours: sudo may pass on another user's.
    if (home && *home && stat(home, &st) == 0 && st.st_uid == geteuid()) {
        const std::string cache = std::string(home) + "/.cache";
        mkdir(cache.c_str(), 0700);
        folder = MadePrivate(cache + "/tallyvane");
    }
    if (folder.empty()) folder = MadePrivate("/tmp/tallyvane-" + std::to_string(geteuid()));
    if (folder.empty()) return std::string();
    return folder + "/mutex-" + Hex(Fnv1a(session + '\0' + name)) + ".lock";
}

// Locks the file of the name, which only this user can open, so nobody else
// can take or hold the name. 1: held (fd set); -1: locked by another handle;
// 0: no lock to be had.
int Lock(const std::string& session, const std::string& name, int& held) {
    const std::string path = LockPath(session, name);
    if (path.empty()) return 0;
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) return 0;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        close(fd);
        return 0;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        held = fd;
        return 1;
    }
    const int error = errno;
    close(fd);
    return error == EWOULDBLOCK ? -1 : 0;
}
}  // namespace

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD error) { lastError = error; }

HANDLE CreateMutexA(void*, bool, const char* name) {
    const std::string text = name ? name : "";
    if (text.empty()) {
        SetLastError(ERROR_INVALID_NAME);
        return nullptr;
    }
    auto* handle = new MutexHandle;
    int held = -1;
    if (Lock(SessionFolder(), text, held) > 0) {
        handle->fds.push_back(held);
        SetLastError(ERROR_SUCCESS);
    } else {
        // Held by another, or nothing could be made sure of: never taken for
        // the only copy.
        SetLastError(ERROR_ALREADY_EXISTS);
    }
    return handle;
}

bool CloseHandle(HANDLE handle) {
    auto* mutex = static_cast<MutexHandle*>(handle);
    if (!mutex) return false;
    for (int fd : mutex->fds) close(fd);  // and the lock with it
    delete mutex;
    return true;
}

// ---------------------------------------------------------------- tool-window style

namespace {
long applicationExStyle = 0;

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

// Marks a top-level window as one the task bar and the pager leave out.
void SkipTaskbar(QWidget* w) {
    if (QGuiApplication::platformName() != "xcb") return;
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) return;
    const xcb_window_t window = static_cast<xcb_window_t>(w->winId());
    if (!w->windowHandle()) return;
    xcb_connection_t* c = x11->connection();
    const xcb_atom_t state = Atom(c, "_NET_WM_STATE");
    const xcb_atom_t wanted[] = {Atom(c, "_NET_WM_STATE_SKIP_TASKBAR"), Atom(c, "_NET_WM_STATE_SKIP_PAGER")};
    if (!w->windowHandle()->isVisible()) {
        // Not mapped yet: the state is a property the window manager reads
        // when the window is mapped (the toolkit keeps what it finds there).
        std::vector<xcb_atom_t> atoms;
        xcb_get_property_reply_t* reply =
            xcb_get_property_reply(c, xcb_get_property(c, 0, window, state, XCB_ATOM_ATOM, 0, 1024), nullptr);
        if (reply && reply->format == 32) {
            auto* data = static_cast<xcb_atom_t*>(xcb_get_property_value(reply));
            atoms.assign(data, data + xcb_get_property_value_length(reply) / 4);
        }
        free(reply);
        for (xcb_atom_t a : wanted)
            if (std::find(atoms.begin(), atoms.end(), a) == atoms.end()) atoms.push_back(a);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32,
                            static_cast<uint32_t>(atoms.size()), atoms.data());
    } else {
        // Mapped: the window manager is asked.
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        xcb_client_message_event_t e{};
        e.response_type = XCB_CLIENT_MESSAGE;
        e.format = 32;
        e.window = window;
        e.type = state;
        e.data.data32[0] = 1;  // add
        e.data.data32[1] = wanted[0];
        e.data.data32[2] = wanted[1];
        e.data.data32[3] = 1;  // from an application
        xcb_send_event(c, 0, screen->root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&e));
    }
    xcb_flush(c);
}

// Sees every top-level window of the program as it is shown.
class ToolWindowFilter : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            const Qt::WindowType type = w->windowType();
            if (w->isWindow() && type != Qt::Popup && type != Qt::ToolTip) SkipTaskbar(w);
        }
        return false;
    }
};

ToolWindowFilter* toolWindowFilter = nullptr;

void WatchShownWindows() {
    if (!(applicationExStyle & WS_EX_TOOLWINDOW) || toolWindowFilter || !QCoreApplication::instance()) return;
    toolWindowFilter = new ToolWindowFilter;
    toolWindowFilter->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(toolWindowFilter);
}
}  // namespace

long GetWindowLongA(TApplication*, int index) { return index == GWL_EXSTYLE ? applicationExStyle : 0; }

long SetWindowLongA(TApplication*, int index, long value) {
    if (index != GWL_EXSTYLE) return 0;
    long previous = applicationExStyle;
    applicationExStyle = value;
    if (value & WS_EX_TOOLWINDOW) {
        if (QCoreApplication::instance()) {
            WatchShownWindows();
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible()) SkipTaskbar(w);
        } else {
            // Before the toolkit starts: it watches from its start on.
            static bool added = false;
            if (!added) qAddPreRoutine(WatchShownWindows);
            added = true;
        }
    } else if (toolWindowFilter) {
        QCoreApplication::instance()->removeEventFilter(toolWindowFilter);
        delete toolWindowFilter;
        toolWindowFilter = nullptr;
    }
    return previous;
}

// ---------------------------------------------------------------- showing

bool ShowWindow(TForm* window, int showCmd) {
    if (!window) return false;
    const bool wasVisible = window->Visible();
    switch (showCmd) {
    case SW_HIDE:
        window->Hide();
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
        window->Show();
        window->SetWindowState(wsMinimized);
        break;
    case SW_SHOWMAXIMIZED:
        window->Show();
        window->SetWindowState(wsMaximized);
        break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
        if (window->WindowState() != wsNormal) window->SetWindowState(wsNormal);
        window->Show();
        break;
    default:
        window->Show();
        break;
    }
    return wasVisible;
}

bool BringWindowToTop(TForm* window) {
    if (!window || !window->Visible()) return false;
    window->BringToFront();
    return true;
}

bool SetForegroundWindow(TForm* window) {
    if (!window || !window->Visible() || !window->Handle()) return false;
    window->BringToFront();
    window->Handle()->window()->activateWindow();
    return true;
}
