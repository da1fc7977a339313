#include "platform/trayicon.h"

#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/menus.h"
#include "platform/qtbridge.h"

#include <QCoreApplication>
#include <QCursor>
#include <QIcon>
#include <QPointer>
#include <QSystemTrayIcon>

namespace {
class QtTrayIconPeer : public TrayIconPeer {
public:
    explicit QtTrayIconPeer(TTrayIcon* icon) {
        EnsureToolkit();
        // Owned by us; a child of the application object only so that it can be found.
        tray_ = new QSystemTrayIcon(QCoreApplication::instance());
        QPointer<QSystemTrayIcon> guard = tray_;
        QObject::connect(tray_, &QSystemTrayIcon::activated, tray_, [icon, guard](QSystemTrayIcon::ActivationReason why) {
            const QPoint at = QCursor::pos();
            switch (why) {
            case QSystemTrayIcon::Trigger:
            case QSystemTrayIcon::DoubleClick:  // the second click of a pair
                icon->MouseReleased(mbLeft, at.x(), at.y());
                break;
            case QSystemTrayIcon::Context:
                icon->MouseReleased(mbRight, at.x(), at.y());
                break;
            case QSystemTrayIcon::MiddleClick:
                icon->MouseReleased(mbMiddle, at.x(), at.y());
                break;
            default:
                break;
            }
        });
    }
    ~QtTrayIconPeer() override { delete tray_; }
    void SetVisible(bool visible) override { tray_->setVisible(visible); }
    void SetHint(const std::string& hint) override { tray_->setToolTip(QtText(hint)); }
    void SetIcon(const TImageList* images, int index) override {
        tray_->setIcon(images && index >= 0 ? ImageListIcon(images, index) : QIcon());
    }

private:
    QSystemTrayIcon* tray_;
};

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

void TTrayIcon::SetHint(const std::string& hint) {
    hint_ = hint;
    peer_->SetHint(hint);
}

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
