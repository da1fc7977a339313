#include "platform/trayicon.h"

#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/menus.h"
#include "platform/qtbridge.h"

#include <QApplication>
#include <QGuiApplication>
#include <QCoreApplication>
#include <QAbstractNativeEventFilter>
#include <QTimer>
#include <QWidget>
#include <QCursor>
#include <QIcon>
#include <QPointer>
#include <QSystemTrayIcon>

#include <xcb/xcb.h>

#include <cstdlib>
#include <algorithm>
#include <memory>
#include <vector>

namespace {
// The toolkit's X11 tray icon acts when a button goes down, and not at all
// while a modal window blocks the program's windows. The program's icons
// act when a button goes up over them, whatever is shown, as icons of the
// notification area do: the button events of the toolkit's tray windows are
// taken from the window system before the toolkit sees them, and go to the
// icon they were released over.
class QtTrayIconPeer;
std::vector<QtTrayIconPeer*>& LivePeers() {
    static std::vector<QtTrayIconPeer*> peers;
    return peers;
}

class TrayClicks : public QAbstractNativeEventFilter {
public:
    // Once for each application object, and gone with it.
    static void Install() {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app || app->property("tvTrayClicks").toBool()) return;
        app->setProperty("tvTrayClicks", true);
        auto* filter = new TrayClicks;
        app->installNativeEventFilter(filter);
        QObject::connect(app, &QObject::destroyed, [filter] { delete filter; });
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override;

private:
    TrayClicks() {
        if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>()) {
            xcb_connection_t* c = x11->connection();
            const char name[] = "XInputExtension";
            if (xcb_query_extension_reply_t* reply =
                    xcb_query_extension_reply(c, xcb_query_extension(c, sizeof name - 1, name), nullptr)) {
                if (reply->present) inputOpcode_ = reply->major_opcode;
                free(reply);
            }
        }
    }
    // A button event of the input extension as the X client library hands it
    // over: the protocol's fields, with the full sequence number after the
    // first 32 bytes.
    struct InputButton {
        uint8_t response_type;
        uint8_t extension;
        uint16_t sequence;
        uint32_t length;
        uint16_t event_type;  // 4 press, 5 release
        uint16_t deviceid;
        uint32_t time;
        uint32_t detail;  // the button
        uint32_t root;
        uint32_t event;
        uint32_t child;
        uint32_t full_sequence;
        int32_t root_x, root_y, event_x, event_y;  // 16.16 fixed point
    };
    static QWidget* TrayWindow(uint32_t window) {
        QWidget* w = QWidget::find(static_cast<WId>(window));
        return w && qstrcmp(w->metaObject()->className(), "QSystemTrayIconSys") == 0 ? w : nullptr;
    }
    // Where the pointer was, in the window and on the screen, in the window system's pixels.
    void Button(QWidget* window, bool released, uint32_t time, unsigned button, int x, int y, int rootX, int rootY);

    uint8_t inputOpcode_ = 0;
    uint32_t lastTime_ = 0;
    unsigned lastButton_ = 0;
};

class QtTrayIconPeer : public TrayIconPeer {
public:
    explicit QtTrayIconPeer(TTrayIcon* icon) : icon_(icon) {
        EnsureToolkit();
        // Owned by us; a child of the application object only so that it can be found.
        tray_ = new QSystemTrayIcon(QCoreApplication::instance());
        QObject::connect(tray_, &QSystemTrayIcon::activated, tray_, [this](QSystemTrayIcon::ActivationReason why) {
            // Without an X11 tray window (another desktop's tray) the
            // toolkit reports the clicks itself.
            if (QGuiApplication::platformName() == "xcb" && !tray_->geometry().isEmpty()) return;
            const QPoint at = QCursor::pos();
            switch (why) {
            case QSystemTrayIcon::Trigger:
            case QSystemTrayIcon::DoubleClick:  // the second click of a pair
                icon_->MouseReleased(mbLeft, at.x(), at.y());
                break;
            case QSystemTrayIcon::Context:
                icon_->MouseReleased(mbRight, at.x(), at.y());
                break;
            case QSystemTrayIcon::MiddleClick:
                icon_->MouseReleased(mbMiddle, at.x(), at.y());
                break;
            default:
                break;
            }
        });
        if (QGuiApplication::platformName() == "xcb") TrayClicks::Install();
        LivePeers().push_back(this);
    }
    ~QtTrayIconPeer() override {
        auto& peers = LivePeers();
        peers.erase(std::remove(peers.begin(), peers.end(), this), peers.end());
        delete tray_;
    }
    void SetVisible(bool visible) override { tray_->setVisible(visible); }
    void SetHint(const std::string& hint) override { tray_->setToolTip(QtText(hint)); }
    void SetIcon(const TImageList* images, int index) override {
        tray_->setIcon(images && index >= 0 ? ImageListIcon(images, index) : QIcon());
    }
    // The icon whose place on the screen holds a point (the only one shown,
    // whatever the point), or null.
    static QtTrayIconPeer* At(int x, int y) {
        QtTrayIconPeer* shown = nullptr;
        int count = 0;
        for (QtTrayIconPeer* peer : LivePeers()) {
            if (!peer->tray_->isVisible()) continue;
            if (peer->tray_->geometry().contains(x, y)) return peer;
            shown = peer;
            ++count;
        }
        return count == 1 ? shown : nullptr;
    }
    TTrayIcon* Icon() const { return icon_; }

private:
    TTrayIcon* icon_;
    QSystemTrayIcon* tray_;
};

bool TrayClicks::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (type != "xcb_generic_event_t") return false;
    auto* e = static_cast<xcb_generic_event_t*>(message);
    const uint8_t kind = e->response_type & 0x7f;
    if (kind == XCB_BUTTON_PRESS || kind == XCB_BUTTON_RELEASE) {
        auto* b = reinterpret_cast<xcb_button_press_event_t*>(e);
        QWidget* window = TrayWindow(b->event);
        if (!window) return false;
        Button(window, kind == XCB_BUTTON_RELEASE, b->time, b->detail, b->event_x, b->event_y, b->root_x, b->root_y);
        return true;
    }
    // The toolkit takes the pointer through the input extension, whose button
    // events come as generic events.
    if (kind == XCB_GE_GENERIC && inputOpcode_ && reinterpret_cast<InputButton*>(e)->extension == inputOpcode_) {
        auto* b = reinterpret_cast<InputButton*>(e);
        QWidget* window = b->event_type == 4 || b->event_type == 5 ? TrayWindow(b->event) : nullptr;
        if (!window) return false;
        Button(window, b->event_type == 5, b->time, b->detail, b->event_x >> 16, b->event_y >> 16, b->root_x >> 16,
               b->root_y >> 16);
        return true;
    }
    return false;
}

void TrayClicks::Button(QWidget* window, bool released, uint32_t time, unsigned button, int x, int y, int rootX,
                        int rootY) {
    if (!released || button > 3) return;  // wheel and extra buttons do nothing
    // One release can come twice, as a core event and as the input extension's.
    if (time == lastTime_ && button == lastButton_) return;
    lastTime_ = time;
    lastButton_ = button;
    // The window system counts device pixels, the toolkit scaled ones.
    const qreal scale = window->devicePixelRatioF();
    if (!window->rect().contains(QPoint(qRound(x / scale), qRound(y / scale)))) return;  // released away from it
    const QPoint at(qRound(rootX / scale), qRound(rootY / scale));
    const TMouseButton which = button == 3 ? mbRight : button == 2 ? mbMiddle : mbLeft;
    // Not from inside the window system's event: a menu opened now runs a loop of its own.
    QTimer::singleShot(0, window, [which, at] {
        if (QtTrayIconPeer* p = QtTrayIconPeer::At(at.x(), at.y())) p->Icon()->MouseReleased(which, at.x(), at.y());
    });
}

class QtTrayIcons : public TrayIconBackend {
public:
    std::unique_ptr<TrayIconPeer> Create(TTrayIcon* icon) override { return std::make_unique<QtTrayIconPeer>(icon); }
};

TrayIconBackend* current = nullptr;
}  // namespace

TrayIconBackend* SetTrayIconBackend(TrayIconBackend* backend) {
    TrayIconBackend* previous = current;
    current = backend;
    return previous;
}

TTrayIcon::TTrayIcon(TComponent* owner) : TComponent(owner) {
    static QtTrayIcons toolkit;
    peer_ = (current ? *current : static_cast<TrayIconBackend&>(toolkit)).Create(this);
}

TTrayIcon::~TTrayIcon() {
    if (visible_) peer_->SetVisible(false);
}

void TTrayIcon::SetVisible(bool visible) {
    visible_ = visible;
    peer_->SetVisible(visible);
}

void TTrayIcon::SetHint(const std::string& hint) { peer_->SetHint(hint); }

void TTrayIcon::SetIcons(TImageList* icons) {
    icons_ = icons;
    peer_->SetIcon(icons_, iconIndex_);
}

void TTrayIcon::SetIconIndex(int index) {
    iconIndex_ = index;
    peer_->SetIcon(icons_, iconIndex_);
}

void TTrayIcon::MouseReleased(TMouseButton button, int x, int y) {
    FormBusy busy(dynamic_cast<TForm*>(Owner()));
    if (OnMouseUp) SafeCall([&] { OnMouseUp(this, button, 0, x, y); });
    if (button == mbRight && popup_) popup_->Popup(x, y);
}
