#include "platform/controls.h"

#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/menus.h"
#include "platform/qtbridge.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QContextMenuEvent>
#include <QEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include <algorithm>

// ---------------------------------------------------------------- components

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
    DestroyOwned();
    destroying_ = true;
    if (owner_ && !owner_->destroying_) {
        auto& list = owner_->components_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void TComponent::DestroyOwned() {
    // Newest first: a form's controls were made parent before child.
    while (!components_.empty()) {
        TComponent* c = components_.back();
        components_.pop_back();
        c->owner_ = nullptr;
        delete c;
    }
}

TControl* ControlOf(QWidget* widget) {
    if (!widget) return nullptr;
    return static_cast<TControl*>(widget->property("tvControl").value<void*>());
}

// ---------------------------------------------------------------- handlers

void SafeCall(const std::function<void()>& call) {
    try {
        call();
    } catch (const std::exception& e) {
        if (Application) Application->ShowException(e.what());
        else ShowMessage(e.what());
    } catch (...) {
        if (Application) Application->ShowException("Unknown exception");
        else ShowMessage("Unknown exception");
    }
}

// ---------------------------------------------------------------- event filter

class ControlEventFilter : public QObject {
public:
    explicit ControlEventFilter(TControl* control) : control_(control) {}
    bool clicksFromMouse = true;

protected:
    // A mouse event passed on from a child control belongs to that child alone.
    bool FromChildControl(QObject* watched, QEvent* event) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w) return false;
        QWidget* under = w->childAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        for (; under && under != w; under = under->parentWidget())
            if (ControlOf(under) && ControlOf(under) != control_) return true;
        return false;
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        TControl* c = control_;
        if (redelivering_) return false;
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            if (FromChildControl(watched, event)) return false;
            break;
        default:
            break;
        }
        switch (event->type()) {
        case QEvent::MouseMove: {
            if (c->OnMouseMove) {
                auto* me = static_cast<QMouseEvent*>(event);
                QPoint p = me->position().toPoint();
                SafeCall([&] { c->OnMouseMove(c, ShiftOf(me->modifiers(), me->buttons()), p.x(), p.y()); });
            }
            break;
        }
        case QEvent::MouseButtonRelease: {
            auto* me = static_cast<QMouseEvent*>(event);
            QPoint p = me->position().toPoint();
            if (c->OnMouseUp)
                SafeCall([&] {
                    c->OnMouseUp(c, ButtonOf(me->button()), ShiftOf(me->modifiers(), me->buttons()), p.x(), p.y());
                });
            auto* w = qobject_cast<QWidget*>(watched);
            if (clicksFromMouse && me->button() == Qt::LeftButton && w && w->rect().contains(p)) c->DoClick();
            break;
        }
        case QEvent::MouseButtonDblClick:
            if (c->OnDblClick && !redelivering_) {
                // The control handles its double click first, then the handler runs.
                redelivering_ = true;
                QCoreApplication::sendEvent(watched, event);
                redelivering_ = false;
                c->Fire(c->OnDblClick);
                return true;
            }
            break;
        case QEvent::Resize:
            c->DoResize();
            break;
        case QEvent::ContextMenu: {
            if (c->PopupMenu()) {
                auto* ce = static_cast<QContextMenuEvent*>(event);
                c->DoPopup(ce->globalPos().x(), ce->globalPos().y());
                return true;
            }
            break;
        }
        case QEvent::FocusIn:
            if (c->OnEnter) c->Fire(c->OnEnter);
            break;
        default:
            break;
        }
        return false;
    }

private:
    TControl* control_;
    bool redelivering_ = false;
};

// ---------------------------------------------------------------- controls

struct TControl::Impl {
    QPointer<QWidget> widget;
    ControlEventFilter* filter = nullptr;
};

TControl::TControl(TComponent* owner, QWidget* widget) : TComponent(owner), impl_(new Impl) {
    impl_->widget = widget;
    impl_->filter = new ControlEventFilter(this);
    impl_->filter->setParent(widget);
    widget->installEventFilter(impl_->filter);
    widget->setMouseTracking(true);
    if (qobject_cast<QAbstractButton*>(widget)) impl_->filter->clicksFromMouse = false;
    widget->setProperty("tvControl", QVariant::fromValue(static_cast<void*>(this)));
}

TControl::~TControl() {
    if (parent_) {
        auto& list = parent_->controls_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    if (QWidget* w = impl_->widget.data()) {
        w->removeEventFilter(impl_->filter);
        w->setProperty("tvControl", QVariant());
        delete w;
    }
}

QWidget* TControl::Handle() const { return impl_->widget.data(); }
QWidget* TControl::Frame() const { return Handle(); }

void TControl::SetParent(TWinControl* parent) {
    if (parent_ == parent) return;
    if (parent_) {
        auto& list = parent_->controls_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    parent_ = parent;
    QWidget* w = Frame();
    if (!w) return;
    bool shown = !w->isHidden();
    if (parent_) {
        parent_->controls_.push_back(this);
        w->setParent(parent_->ClientWidget());
        if (shown) w->show();
        parent_->AlignControls();
    } else {
        w->setParent(nullptr);
    }
}

TForm* TControl::ParentForm() const {
    const TControl* c = this;
    while (c) {
        if (auto* f = dynamic_cast<const TForm*>(c)) return const_cast<TForm*>(f);
        c = c->Parent();
    }
    return nullptr;
}

int TControl::Left() const { return Frame() ? Frame()->x() : 0; }
int TControl::Top() const { return Frame() ? Frame()->y() : 0; }
int TControl::Width() const { return Frame() ? Frame()->width() : 0; }
int TControl::Height() const { return Frame() ? Frame()->height() : 0; }
int TControl::ClientWidth() const { return Handle() ? Handle()->width() : 0; }
int TControl::ClientHeight() const { return Handle() ? Handle()->height() : 0; }

void TControl::SetBounds(int left, int top, int width, int height) {
    QWidget* w = Frame();
    if (!w) return;
    w->setGeometry(left, top, std::max(0, width), std::max(0, height));
    if (parent_ && align_ != alNone) parent_->AlignControls();
}

bool TControl::Visible() const { return Frame() && !Frame()->isHidden(); }

void TControl::SetVisible(bool visible) {
    if (QWidget* w = Frame()) w->setVisible(visible);
    if (parent_ && align_ != alNone) parent_->AlignControls();
}

bool TControl::Enabled() const { return Handle() && Handle()->isEnabled(); }
void TControl::SetEnabled(bool enabled) {
    if (Handle()) Handle()->setEnabled(enabled);
}

void TControl::SetAlign(TAlign align) {
    align_ = align;
    if (parent_) parent_->AlignControls();
}

void TControl::SetHint(const std::string& hint) {
    hint_ = hint;
    if (!Handle()) return;
    Handle()->setToolTip(QtText(ShortHint(hint)));
    Handle()->setStatusTip(QtText(LongHint(hint)));
}

void TControl::SetShowHint(bool show) {
    if (Handle()) Handle()->setToolTip(show ? QtText(ShortHint(hint_)) : QString());
}

void TControl::SetColor(TColor color) { ApplyColor(color); }

void TControl::ApplyColor(TColor color) {
    if (!Handle()) return;
    QPalette p = Handle()->palette();
    p.setColor(Handle()->backgroundRole(), QtColor(color, Handle()->backgroundRole()));
    Handle()->setPalette(p);
    Handle()->setAutoFillBackground(true);
}

void TControl::SetFontColor(TColor color) {
    fontColor_ = color;
    if (!Handle()) return;
    QPalette p = Handle()->palette();
    p.setColor(QPalette::WindowText, QtColor(color, QPalette::WindowText));
    p.setColor(QPalette::Text, QtColor(color, QPalette::Text));
    Handle()->setPalette(p);
}

void TControl::SetFontStyle(bool bold, bool underline, bool italic) {
    if (!Handle()) return;
    QFont f = Handle()->font();
    f.setBold(bold);
    f.setUnderline(underline);
    f.setItalic(italic);
    Handle()->setFont(f);
    FontChanged();
}

void TControl::SetFontSize(int points) {
    if (!Handle()) return;
    QFont f = Handle()->font();
    f.setPointSize(points);
    Handle()->setFont(f);
    FontChanged();
}

void TControl::SetCursor(TCursor cursor) {
    if (!Handle()) return;
    switch (cursor) {
    case crHandPoint: Handle()->setCursor(Qt::PointingHandCursor); break;
    case crHourGlass: Handle()->setCursor(Qt::WaitCursor); break;
    case crIBeam: Handle()->setCursor(Qt::IBeamCursor); break;
    default: Handle()->unsetCursor(); break;
    }
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    popup_ = menu;
    if (Handle()) Handle()->setContextMenuPolicy(menu ? Qt::DefaultContextMenu : Qt::DefaultContextMenu);
}

void TControl::DoPopup(int x, int y) {
    if (popup_) popup_->Popup(x, y);
}

void TControl::SetTabStop(bool tabStop) {
    if (Handle()) Handle()->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void TControl::SetTabOrder(int) {}

bool TControl::CanFocus() const {
    QWidget* w = Handle();
    return w && w->isEnabled() && w->isVisible() && w->focusPolicy() != Qt::NoFocus;
}

void TControl::SetFocus() {
    if (Handle()) Handle()->setFocus(Qt::OtherFocusReason);
}

bool TControl::Focused() const { return Handle() && Handle()->hasFocus(); }

void TControl::Repaint() {
    if (QWidget* w = Frame()) RepaintNow(w);
}

void TControl::BringToFront() {
    if (QWidget* w = Frame()) w->raise();
}

void TControl::Fire(const TNotifyEvent& event) {
    if (!event) return;
    FormBusy busy(ParentForm());
    SafeCall([&] { event(this); });
}

// ---------------------------------------------------------------- containers

TWinControl::TWinControl(TComponent* owner, QWidget* widget) : TControl(owner, widget) {}

QWidget* TWinControl::ClientWidget() const { return Handle(); }

void TWinControl::AlignControls() {
    QWidget* client = ClientWidget();
    if (!client) return;
    QRect r = client->contentsRect();
    for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : controls_) {
            if (c->Align() != pass || !c->Visible()) continue;
            QWidget* w = c->Frame();
            switch (pass) {
            case alTop:
                w->setGeometry(r.left(), r.top(), r.width(), w->height());
                r.setTop(r.top() + w->height());
                break;
            case alBottom:
                w->setGeometry(r.left(), r.bottom() + 1 - w->height(), r.width(), w->height());
                r.setBottom(r.bottom() - w->height());
                break;
            case alLeft:
                w->setGeometry(r.left(), r.top(), w->width(), r.height());
                r.setLeft(r.left() + w->width());
                break;
            case alRight:
                w->setGeometry(r.right() + 1 - w->width(), r.top(), w->width(), r.height());
                r.setRight(r.right() - w->width());
                break;
            case alClient:
                w->setGeometry(r);
                break;
            default:
                break;
            }
        }
    }
}
