#include "platform/hotkey.h"

#include "platform/forms.h"
#include "platform/qtbridge.h"
#include "platform/virtualkeys.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

namespace {
// The modifiers a registration may name.
constexpr unsigned AllModifiers = MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN;

// ---------------------------------------------------------------- X11 backend

class X11HotKeys : public HotKeyBackend, public QAbstractNativeEventFilter {
public:
    bool Grab(unsigned modifiers, unsigned virtualKey) override {
        xcb_connection_t* c = Connection();
        if (!c) return false;
        const xcb_keycode_t code = KeyCode(c, KeySymOfVirtualKey(static_cast<int>(virtualKey)));
        if (code == 0) return false;  // no such key here: a grab of key 0 would take every key
        const uint16_t mask = MaskOf(modifiers);
        std::vector<xcb_void_cookie_t> cookies;
        for (xcb_window_t root : Roots(c))
            for (uint16_t lock : LockVariants(c))
                cookies.push_back(xcb_grab_key_checked(c, 0, root, mask | lock, code, XCB_GRAB_MODE_ASYNC,
                                                       XCB_GRAB_MODE_ASYNC));
        bool taken = false;
        for (xcb_void_cookie_t cookie : cookies) {
            if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
                taken = true;
                free(error);
            }
        }
        if (taken) {
            // Another program holds it, with or without the locks: none of it is ours.
            Release(c, code, mask);
            return false;
        }
        if (filtered_ != QCoreApplication::instance()) {
            QCoreApplication::instance()->installNativeEventFilter(this);
            filtered_ = QCoreApplication::instance();
        }
        grabs_[{code, mask}] = {modifiers, virtualKey};
        return true;
    }

    void Ungrab(unsigned modifiers, unsigned virtualKey) override {
        for (auto it = grabs_.begin(); it != grabs_.end(); ++it) {
            if (it->second != std::make_pair(modifiers, virtualKey)) continue;
            if (xcb_connection_t* c = Connection()) Release(c, it->first.first, it->first.second);
            grabs_.erase(it);
            return;
        }
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t" || grabs_.empty()) return false;
        auto* event = static_cast<xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_KEY_PRESS) return false;
        auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
        const uint16_t mods = key->state & (XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4);
        auto it = grabs_.find({key->detail, mods});
        if (it == grabs_.end()) return false;
        const auto [modifiers, virtualKey] = it->second;
        HotKeyPressed(modifiers, virtualKey);
        return true;
    }

private:
    // The toolkit's own X11 connection, whose events it hands to the filter;
    // none on other window systems (nor offscreen, even beside an X server).
    static xcb_connection_t* Connection() {
        auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
        if (!app || QGuiApplication::platformName() != "xcb") return nullptr;
        auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
        return x11 ? x11->connection() : nullptr;
    }

    static std::vector<xcb_window_t> Roots(xcb_connection_t* c) {
        std::vector<xcb_window_t> roots;
        for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem; xcb_screen_next(&it))
            roots.push_back(it.data->root);
        return roots;
    }

    static uint16_t MaskOf(unsigned modifiers) {
        uint16_t mask = 0;
        if (modifiers & MOD_ALT) mask |= XCB_MOD_MASK_1;
        if (modifiers & MOD_CONTROL) mask |= XCB_MOD_MASK_CONTROL;
        if (modifiers & MOD_SHIFT) mask |= XCB_MOD_MASK_SHIFT;
        if (modifiers & MOD_WIN) mask |= XCB_MOD_MASK_4;
        return mask;
    }

    // The first key code that gives the symbol, in any shift level; 0 for none.
    static xcb_keycode_t KeyCode(xcb_connection_t* c, unsigned keysym) {
        if (keysym == 0) return 0;
        const xcb_setup_t* setup = xcb_get_setup(c);
        const int first = setup->min_keycode, count = setup->max_keycode - setup->min_keycode + 1;
        xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
            c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<uint8_t>(count)), nullptr);
        if (!map) return 0;
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
        const int perCode = map->keysyms_per_keycode;
        const int total = xcb_get_keyboard_mapping_keysyms_length(map);
        xcb_keycode_t found = 0;
        for (int i = 0; i < total && !found; ++i)
            if (syms[i] == keysym) found = static_cast<xcb_keycode_t>(first + i / perCode);
        free(map);
        return found;
    }

    // The modifier bit that Num Lock sets, found from the keyboard's modifier map.
    static uint16_t NumLockMask(xcb_connection_t* c) {
        const xcb_keycode_t numLock = KeyCode(c, 0xff7f);
        if (!numLock) return 0;
        xcb_get_modifier_mapping_reply_t* map =
            xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr);
        if (!map) return 0;
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(map);
        const int perModifier = map->keycodes_per_modifier;
        uint16_t mask = 0;
        for (int m = 0; m < 8 && !mask; ++m)
            for (int k = 0; k < perModifier; ++k)
                if (codes[m * perModifier + k] == numLock) mask = static_cast<uint16_t>(1u << m);
        free(map);
        return mask;
    }

    // A hot key works whether Caps Lock and Num Lock are on or not.
    static std::vector<uint16_t> LockVariants(xcb_connection_t* c) {
        const uint16_t numLock = NumLockMask(c);
        std::vector<uint16_t> variants{0, XCB_MOD_MASK_LOCK};
        if (numLock) {
            variants.push_back(numLock);
            variants.push_back(static_cast<uint16_t>(numLock | XCB_MOD_MASK_LOCK));
        }
        return variants;
    }

    static void Release(xcb_connection_t* c, xcb_keycode_t code, uint16_t mask) {
        for (xcb_window_t root : Roots(c))
            for (uint16_t lock : LockVariants(c)) xcb_ungrab_key(c, code, root, mask | lock);
        xcb_flush(c);
    }

    QPointer<QCoreApplication> filtered_;  // the application that hands us its events
    std::map<std::pair<xcb_keycode_t, uint16_t>, std::pair<unsigned, unsigned>> grabs_;
};

X11HotKeys& X11Backend() {
    static X11HotKeys* backend = new X11HotKeys;  // lives as long as the toolkit's filters may call it
    return *backend;
}

HotKeyBackend* current = nullptr;
HotKeyBackend& Backend() { return current ? *current : X11Backend(); }

// ---------------------------------------------------------------- registrations

struct Registration {
    TForm* form;
    const QWidget* widget;  // compared only: it may be gone
    QPointer<QWidget> window;
    int id;
    unsigned modifiers;
    unsigned virtualKey;
    HotKeyBackend* backend;
};

std::vector<Registration>& Registrations() {
    static std::vector<Registration> list;
    return list;
}

// Drops the registrations of a window that is going.
void ForgetWindow(const QObject* window) {
    auto& list = Registrations();
    for (auto it = list.begin(); it != list.end();) {
        if (it->widget == window || it->window.isNull()) {
            it->backend->Ungrab(it->modifiers, it->virtualKey);
            it = list.erase(it);
        } else {
            ++it;
        }
    }
}
}  // namespace

HotKeyBackend* SetHotKeyBackend(HotKeyBackend* backend) {
    HotKeyBackend* previous = current;
    current = backend;
    return previous;
}

bool RegisterHotKey(TForm* window, int id, unsigned modifiers, unsigned virtualKey) {
    modifiers &= AllModifiers;
    if (!window || !window->Handle() || virtualKey == 0 || virtualKey > 0xFF) return false;
    for (const Registration& r : Registrations())
        if (r.modifiers == modifiers && r.virtualKey == virtualKey) return false;
    HotKeyBackend& backend = Backend();
    if (!backend.Grab(modifiers, virtualKey)) return false;
    QWidget* widget = window->Handle();
    Registrations().push_back({window, widget, widget, id, modifiers, virtualKey, &backend});
    // The hot key goes with the form's window.
    if (!widget->property("tvHotKeys").toBool()) {
        widget->setProperty("tvHotKeys", true);
        QObject::connect(widget, &QObject::destroyed, [widget] { ForgetWindow(widget); });
    }
    return true;
}

bool UnregisterHotKey(TForm* window, int id) {
    auto& list = Registrations();
    bool found = false;
    for (auto it = list.begin(); it != list.end();) {
        if (it->form == window && it->id == id) {
            it->backend->Ungrab(it->modifiers, it->virtualKey);
            it = list.erase(it);
            found = true;
        } else {
            ++it;
        }
    }
    return found;
}

void HotKeyPressed(unsigned modifiers, unsigned virtualKey) {
    for (const Registration& r : Registrations()) {
        if (r.modifiers != (modifiers & AllModifiers) || r.virtualKey != virtualKey || r.window.isNull()) continue;
        TForm* form = r.form;
        TMessage message;
        message.Msg = WM_HOTKEY;
        message.WParam = r.id;
        message.LParam = static_cast<long long>((virtualKey << 16) | (modifiers & 0xFFFF));
        FormBusy busy(form);
        SafeCall([&] { form->Dispatch(message); });
        return;
    }
}
