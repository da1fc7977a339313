#include "platform/forms.h"

#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/guidialogs.h"
#include "platform/menus.h"
#include "platform/qtbridge.h"
#include "platform/stdctrls.h"
#include "platform/x11windows.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QLayout>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

#include <algorithm>
#include <set>

TApplication* Application = nullptr;

namespace {
std::set<const TForm*>& LiveForms() {
    static std::set<const TForm*> forms;
    return forms;
}
}  // namespace

// ---------------------------------------------------------------- toolkit widgets

// The window (or, inside an MDI frame, the client area) of a form.
class FormWidget : public QWidget {
public:
    explicit FormWidget(TForm* form) : form_(form) {}
    void Detach() { form_ = nullptr; }

protected:
    void closeEvent(QCloseEvent* e) override {
        e->ignore();  // the form decides what closing means
        // A window without a close box cannot be closed from outside (a
        // window manager may offer a close button all the same).
        if (form_ && e->spontaneous() && !form_->HasCloseBox()) return;
        if (form_) form_->HandleClose();
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (form_ && form_->HandleKey(e->key(), static_cast<int>(e->modifiers()))) return;
        QWidget::keyPressEvent(e);
    }
    bool event(QEvent* e) override {
        const bool done = QWidget::event(e);
        if (form_ && (e->type() == QEvent::Move || e->type() == QEvent::Resize)) form_->FrameChanged();
        if (form_ && e->type() == QEvent::WindowStateChange && isWindow()) {
            form_->NativeStateKnown();
            // A window manager may minimise what the frame does not allow.
            if ((windowState() & Qt::WindowMinimized) && (!form_->CanMinimize() || form_->Modal())) RefuseMinimise(this);
            form_->StateChanged();
        }
        return done;
    }

private:
    TForm* form_;
};

class MainFrameWidget : public QMainWindow {
public:
    explicit MainFrameWidget(TForm* form) : form_(form) {
        mdi = new QMdiArea(this);
        mdi->setBackground(QApplication::palette().brush(QPalette::Dark));
        mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        // A child activated while another is maximised stays as it is (the
        // toolkit would maximise every child, also one without a maximise
        // box, and place it after).
        mdi->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
        setCentralWidget(mdi);
    }
    void Detach() { form_ = nullptr; }
    QMdiArea* mdi;

protected:
    void closeEvent(QCloseEvent* e) override {
        e->ignore();
        if (form_) form_->HandleClose();
    }
    bool event(QEvent* e) override {
        const bool done = QMainWindow::event(e);
        if (form_ && (e->type() == QEvent::Move || e->type() == QEvent::Resize)) form_->FrameChanged();
        if (form_ && e->type() == QEvent::WindowStateChange) form_->NativeStateKnown();
        if (form_ && e->type() == QEvent::WindowActivate) form_->FrameActivated();
        return done;
    }
private:
    TForm* form_;
};

namespace {
// Tells a form when its window changed state (the toolkit maximises a new
// child of the MDI frame while the active one is maximised): once the child
// window has dealt with the change itself, since a child resized while it
// still counts itself maximised takes the maximised state straight back.
class StateWatch : public QObject {
public:
    StateWatch(QObject* parent, std::function<void()> changed) : QObject(parent), changed_(std::move(changed)) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::WindowStateChange) QTimer::singleShot(0, this, [this] { changed_(); });
        return false;
    }

private:
    std::function<void()> changed_;
};

// Tells a form when its window is on screen, frame and all.
class ExposeWatch : public QObject {
public:
    ExposeWatch(QObject* parent, std::function<void()> exposed) : QObject(parent), exposed_(std::move(exposed)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) exposed_();
        return false;
    }

private:
    std::function<void()> exposed_;
};
}  // namespace

struct TForm::Impl {
    QPointer<QWidget> content;         // the form's own widget (Handle)
    QPointer<QMdiSubWindow> sub;       // its frame while it is an MDI child
    MainFrameWidget* main = nullptr;   // the frame of an MDI form
    QPointer<QEventLoop> modalLoop;
    bool visible = false;
    TMenuItem* windowMenu = nullptr;
    QList<QAction*> windowListActions;
    std::string iconFile;
    // Bounds set on a window whose frame the window manager has not yet
    // drawn: applied to the frame once its size is known, and what the
    // form reports until then. A move alone keeps the size the window has.
    QPoint pendingPos;
    QSize pendingSize;
    bool hasPendingPos = false;
    bool hasPendingSize = false;
    // The window's OnShow runs before the window appears; meanwhile state
    // and bounds only record what the window will show with.
    bool showing = false;
    // A window to be mapped minimised; the toolkit learns it from the window
    // manager once the window is mapped.
    bool startIconic = false;
    // An MDI frame that showed its children at once: which one is active is
    // settled when the frame first becomes the active window (the toolkit
    // then activates the newest, minimised or not).
    bool activateChildPending = false;
    QSize normalSize;  // of a fixed-size form, for when it is normal again
    bool titleWaits = false;  // a child whose frame is not on screen yet
    QPoint dockedAt;   // the child's place before it was undocked
    bool hasDockedAt = false;
};

namespace {
QWidget* MakeFormWidget(TForm* form, TFormStyle style) {
    if (style == fsMDIForm) return new MainFrameWidget(form);
    return new FormWidget(form);
}

QMdiArea* MainMdiArea() {
    if (!Application || !Application->MainForm()) return nullptr;
    auto* main = dynamic_cast<QMainWindow*>(Application->MainForm()->Handle());
    return main ? qobject_cast<QMdiArea*>(main->centralWidget()) : nullptr;
}
}  // namespace

TForm::TForm(TComponent* owner, TFormStyle style)
    : TWinControl(owner, MakeFormWidget(this, style)), impl_(new Impl), style_(style) {
    impl_->content = TControl::Handle();
    impl_->main = dynamic_cast<MainFrameWidget*>(TControl::Handle());
    LiveForms().insert(this);
    QWidget* w = impl_->content;
    w->hide();
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    if (style_ != fsMDIForm) w->setAutoFillBackground(true);
    if (style_ == fsMDIChild && MainMdiArea()) Dock();
    else ApplyFlags();
}

TForm::~TForm() {
    LiveForms().erase(this);
    if (impl_->modalLoop) impl_->modalLoop->quit();
    DestroyOwned();
    if (auto* fw = dynamic_cast<FormWidget*>(impl_->content.data())) fw->Detach();
    if (impl_->main) impl_->main->Detach();
    if (impl_->sub) {
        QMdiSubWindow* sub = impl_->sub;
        impl_->sub = nullptr;
        delete sub;  // and the form's widget inside it
    }
}

QWidget* TForm::Frame() const {
    if (impl_->sub) return impl_->sub;
    return impl_->content;
}

QWidget* TForm::ClientWidget() const {
    if (impl_->main) return impl_->main->mdi;
    return impl_->content;
}

void TForm::ApplyColor(TColor color) {
    if (impl_->main) impl_->main->mdi->setBackground(QtColor(color, QPalette::Dark));
    else TWinControl::ApplyColor(color);
}

namespace {
// A child of a frame that is not on screen yet gets its title when the frame
// shows: showing the frame lays out the title of every child for each child
// it shows, which costs time that grows with the square of their number.
bool TitleWaits(QMdiSubWindow* sub) { return sub && sub->mdiArea() && !sub->mdiArea()->isVisible(); }
}  // namespace

void TForm::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (TitleWaits(impl_->sub)) {
        impl_->titleWaits = true;
        return;
    }
    ShowCaption();
}

void TForm::ShowCaption() {
    impl_->titleWaits = false;
    if (Frame()) Frame()->setWindowTitle(QtText(caption_));
    if (impl_->content) impl_->content->setWindowTitle(QtText(caption_));
}

void TForm::SetIcon(const std::string& imageFile) {
    impl_->iconFile = imageFile;
    if (Frame()) Frame()->setWindowIcon(LoadIcon(imageFile));
}

void TForm::ApplyFlags() {
    QWidget* w = Frame();
    if (!w) return;
    if (impl_->sub) {
        Qt::WindowFlags f = Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (borderIcons_ & biSystemMenu) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (borderIcons_ & biMinimize) f |= Qt::WindowMinimizeButtonHint;
        if (borderIcons_ & biMaximize) f |= Qt::WindowMaximizeButtonHint;
        impl_->sub->setWindowFlags(f);
        impl_->sub->update();  // its title bar shows the new buttons now
        return;
    }
    if (style_ == fsMDIForm) return;
    bool shown = impl_->visible && !w->isHidden();
    Qt::WindowFlags f = Qt::Window;
    switch (borderStyle_) {
    case bsNone: f = Qt::Window | Qt::FramelessWindowHint; break;
    case bsDialog: f = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint; break;
    case bsToolWindow:
    case bsSizeToolWin: f = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint; break;
    default: f = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint; break;
    }
    if (borderStyle_ != bsNone) {
        if (borderIcons_ & biSystemMenu) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (borderStyle_ != bsDialog && (borderIcons_ & biMinimize)) f |= Qt::WindowMinimizeButtonHint;
        if (borderStyle_ != bsDialog && (borderIcons_ & biMaximize)) f |= Qt::WindowMaximizeButtonHint;
    }
    if (style_ == fsStayOnTop) f |= Qt::WindowStaysOnTopHint;
    // Moving a window marks it as placed by the user, which a window manager
    // honours: a window not placed yet is left to the window manager.
    const bool moved = w->testAttribute(Qt::WA_Moved);
    QPoint pos = w->pos();
    w->setWindowFlags(f);
    if (moved) w->move(pos);
    if (shown) ShowWindowNow();
}

void TForm::ShowWindowNow() {
    QWidget* w = Frame();
    w->winId();
    ApplyFrameHints();
    w->show();
}

void TForm::FocusAgain(QWidget* last) {
    if (!impl_->visible) return;
    if (last && impl_->content && impl_->content->isAncestorOf(last) && last->isEnabled() && last->isVisible())
        last->setFocus(Qt::OtherFocusReason);
    else if (activeControl_ && activeControl_->CanFocus())
        activeControl_->SetFocus();
}

bool TForm::CanMinimize() const {
    return (borderStyle_ == bsSingle || borderStyle_ == bsSizeable) && (borderIcons_ & biMinimize);
}

void TForm::ApplyFrameHints() {
    QWidget* w = Frame();
    if (!w || !w->isWindow() || borderStyle_ == bsNone) return;
    FrameHints hints;
    hints.kind = borderStyle_ == bsDialog                                     ? FrameHints::Dialog
                 : borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin ? FrameHints::Tool
                                                                              : FrameHints::Normal;
    const bool buttons = borderStyle_ == bsSingle || borderStyle_ == bsSizeable;
    hints.closeBox = borderIcons_ & biSystemMenu;
    hints.minimizeBox = buttons && (borderIcons_ & biMinimize);
    hints.maximizeBox = buttons && (borderIcons_ & biMaximize);
    hints.sizeable = !FixedSize();
    SetFrameHints(w, hints);
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
    borderStyle_ = style;
    ApplyFlags();
    FixSize();
}

bool TForm::HasCloseBox() const { return borderStyle_ != bsNone && (borderIcons_ & biSystemMenu); }

bool TForm::FixedSize() const {
    return borderStyle_ == bsSingle || borderStyle_ == bsDialog || borderStyle_ == bsToolWindow;
}

namespace {
// A maximised or minimised window takes the size its state gives it; a
// fixed size holds only in the normal state.
bool Sized(QWidget* w) {
    return !(w->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
}
void Unfix(QWidget* w) {
    w->setMinimumSize(0, 0);
    w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}
}  // namespace

void TForm::FixSize() {
    QWidget* w = Frame();
    if (!w || style_ == fsMDIForm) return;
    if (FixedSize() && Sized(w)) {
        impl_->normalSize = w->size();
        w->setFixedSize(w->size());
    } else {
        Unfix(w);
    }
}

void TForm::ResizeFrame(QWidget* w, QSize size) {
    if (FixedSize()) Unfix(w);
    if (FixedSize() && !Sized(w)) {
        impl_->normalSize = size;  // the size it comes back to
        return;
    }
    w->resize(size);
    if (FixedSize()) {
        impl_->normalSize = w->size();
        w->setFixedSize(w->size());
    }
}

void TForm::StateChanged() {
    QWidget* w = Frame();
    if (!w || style_ == fsMDIForm) return;
    // One child maximised at a time: the one maximised now takes the place
    // of any other (once the toolkit is done with this change).
    if (impl_->sub && impl_->sub->mdiArea() && impl_->sub->isMaximized()) {
        QPointer<QMdiSubWindow> now = impl_->sub;
        QTimer::singleShot(0, now, [now] {
            if (!now || !now->isMaximized() || !now->mdiArea()) return;
            for (QMdiSubWindow* other : now->mdiArea()->subWindowList())
                if (other != now && other->isMaximized()) other->showNormal();
        });
    }
    if (!FixedSize()) return;
    if (!Sized(w)) {
        Unfix(w);
        // A maximised child fills the client area, whatever its designed size.
        if (impl_->sub && impl_->sub->mdiArea() && (w->windowState() & Qt::WindowMaximized))
            impl_->sub->resize(impl_->sub->mdiArea()->viewport()->size());
    } else if (impl_->normalSize.isValid()) {
        w->resize(impl_->normalSize);
        w->setFixedSize(impl_->normalSize);
    }
}

void TForm::SetBorderIcons(int icons) {
    borderIcons_ = icons;
    ApplyFlags();
}

void TForm::SetFormStyle(TFormStyle style) {
    if (style == style_ || style_ == fsMDIForm || style == fsMDIForm) return;
    bool wasChild = style_ == fsMDIChild;
    style_ = style;
    if (wasChild && style_ != fsMDIChild) Undock();
    else if (!wasChild && style_ == fsMDIChild) Dock();
    else ApplyFlags();
}

void TForm::Dock() {
    QMdiArea* area = MainMdiArea();
    QWidget* content = impl_->content;
    if (!area || !content || impl_->sub) return;
    QSize size = content->size();
    QPointer<QWidget> last = content->focusWidget();  // keeps the keyboard where it was
    content->setParent(nullptr);
    QMdiSubWindow* sub = area->addSubWindow(content);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    // The child's own close shortcut (Ctrl+W on this desktop) would shadow
    // the main window's commands; the close box stays.
    if (QMenu* menu = sub->systemMenu())
        for (QAction* a : menu->actions()) a->setShortcuts({});
    if (TitleWaits(sub)) impl_->titleWaits = true;
    else sub->setWindowTitle(QtText(caption_));
    if (!impl_->iconFile.empty()) sub->setWindowIcon(LoadIcon(impl_->iconFile));
    impl_->sub = sub;
    if (!sub->property("tvStateWatch").toBool()) {
        sub->setProperty("tvStateWatch", true);
        sub->installEventFilter(new StateWatch(sub, [this] { StateChanged(); }));
    }
    ApplyFlags();
    // Shown with the form, not before: showing the content shows and
    // activates its frame.
    if (impl_->visible) content->show();
    SetClientSize(size.width(), size.height());
    FixSize();
    if (impl_->hasDockedAt) {
        // Back where it was before it was undocked, within the client area
        // (when the frame shows; a hidden one has not laid it out).
        const QSize room = area->viewport()->size();
        if (area->isVisible())
            sub->move(std::clamp(impl_->dockedAt.x(), 0, std::max(0, room.width() - sub->width())),
                      std::clamp(impl_->dockedAt.y(), 0, std::max(0, room.height() - sub->height())));
        else
            sub->move(impl_->dockedAt);
    }
    if (impl_->visible) {
        sub->show();
        area->setActiveSubWindow(sub);
        FocusAgain(last);
    } else {
        sub->hide();
    }
}

void TForm::Undock() {
    QMdiSubWindow* sub = impl_->sub;
    QWidget* content = impl_->content;
    if (!sub || !content) return;
    QPoint global = sub->mapToGlobal(QPoint(0, 0));
    impl_->dockedAt = sub->pos();
    impl_->hasDockedAt = true;
    QSize size = content->size();
    QPointer<QWidget> last = content->focusWidget();
    sub->setWidget(nullptr);
    impl_->sub = nullptr;
    content->setParent(nullptr);
    QMdiArea* area = sub->mdiArea();
    if (area) area->removeSubWindow(sub);
    sub->deleteLater();
    ApplyFlags();
    ResizeFrame(content, size);
    content->move(global);
    if (impl_->visible) {
        // Mapped once the handler that undocks it has set the rest of the
        // window (its border icons): every change after the first map would
        // map it again, which races the window manager.
        QPointer<QWidget> guard = content;
        QTimer::singleShot(0, content, [this, guard, last] {
            if (!guard || impl_->sub || !impl_->visible || !guard->isHidden()) return;
            ShowWindowNow();
            guard->activateWindow();
            FocusAgain(last);
        });
    }
}

namespace {
// The frame around a top-level window as the window manager has told it
// (none without a window manager); false while it has not told it yet.
bool FrameMargins(QWidget* w, QMargins* m) {
    if (!w->internalWinId()) return false;
    if (FrameExtents(w, m)) return true;
    if (!w->isVisible() || WindowManagerRunning()) return false;
    *m = QMargins();
    return true;
}

// True when the window is on screen in the frame the window manager gave it.
bool Framed(QWidget* w, QMargins* m) {
    return w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed() && FrameMargins(w, m);
}
}  // namespace

// A top-level window's bounds are its frame's: the client's place and size
// with the frame the window manager reports around it.
QRect TForm::Bounds() const {
    QWidget* w = Frame();
    if (!w) return {};
    if (!w->isWindow()) return w->geometry();
    QMargins m;
    QRect r = FrameMargins(w, &m) ? w->geometry().marginsAdded(m) : w->frameGeometry();
    if (impl_->hasPendingPos) r.moveTopLeft(impl_->pendingPos);
    if (impl_->hasPendingSize) r.setSize(impl_->pendingSize);
    return r;
}

int TForm::Left() const { return Bounds().x(); }
int TForm::Top() const { return Bounds().y(); }
int TForm::Width() const { return Bounds().width(); }
int TForm::Height() const { return Bounds().height(); }

void TForm::PlaceFrame(QMargins m) {
    QWidget* w = Frame();
    if (w->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) return;
    QRect want = w->geometry();
    if (impl_->hasPendingSize)
        want.setSize(QSize(std::max(0, impl_->pendingSize.width() - m.left() - m.right()),
                           std::max(0, impl_->pendingSize.height() - m.top() - m.bottom())));
    if (impl_->hasPendingPos) want.moveTopLeft(impl_->pendingPos + QPoint(m.left(), m.top()));
    if (want.size() != w->size()) ResizeFrame(w, want.size());
    // The client's place, which leaves the frame where it was asked for.
    if (want.topLeft() != w->geometry().topLeft()) w->setGeometry(QRect(want.topLeft(), w->size()));
}

void TForm::FrameChanged() {
    QWidget* w = Frame();
    QMargins m;
    if (!(impl_->hasPendingPos || impl_->hasPendingSize) || !w || !w->isWindow() || !Framed(w, &m)) return;
    PlaceFrame(m);
    impl_->hasPendingPos = impl_->hasPendingSize = false;
}

void TForm::SetBounds(int left, int top, int width, int height) {
    QWidget* w = Frame();
    if (!w) return;
    placed_ = true;
    if (w->isWindow()) {
        // Only a new size resizes: a window moved before it is framed keeps
        // its client size, whatever frame the window manager gives it.
        const bool resize = width != Width() || height != Height();
        impl_->hasPendingPos = true;
        impl_->pendingPos = QPoint(left, top);
        if (resize) {
            impl_->hasPendingSize = true;
            impl_->pendingSize = QSize(width, height);
        }
        QMargins m;
        if (FrameMargins(w, &m)) {
            PlaceFrame(m);
            // On screen, the bounds hold now; before the window manager has
            // framed the window they are kept and the frame fitted later.
            if (Framed(w, &m)) impl_->hasPendingPos = impl_->hasPendingSize = false;
        } else {
            // The frame the toolkit knows from an earlier showing, if any.
            const QSize extra = w->frameGeometry().size() - w->size();
            w->move(left, top);
            if (resize) ResizeFrame(w, QSize(std::max(0, width - extra.width()), std::max(0, height - extra.height())));
        }
    } else {
        w->move(left, top);
        ResizeFrame(w, QSize(std::max(0, width), std::max(0, height)));
    }
}

void TForm::SetClientSize(int width, int height) {
    QWidget* content = impl_->main ? static_cast<QWidget*>(impl_->main->mdi) : impl_->content.data();
    QWidget* frame = impl_->main ? static_cast<QWidget*>(impl_->main) : Frame();
    if (!content || !frame) return;
    if (frame == content) {
        impl_->hasPendingSize = false;  // the client size is what counts now
        ResizeFrame(content, QSize(width, height));
        return;
    }
    QSize extra = frame->size() - content->size();
    if (impl_->sub) {
        // The child's frame (title and borders) is known from the start,
        // even while the frame has not laid out its content.
        const QMargins m = impl_->sub->contentsMargins();
        extra = QSize(m.left() + m.right(), m.top() + m.bottom());
    }
    ResizeFrame(frame, QSize(width + extra.width(), height + extra.height()));
    // A hidden MDI child's frame lays out its content only when shown; until
    // then the content takes the size here.
    if (impl_->sub) content->resize(width, height);
}

void TForm::SetClientWidth(int width) { SetClientSize(width, ClientHeight()); }

void TForm::SetMinSize(int width, int height) {
    if (Frame()) Frame()->setMinimumSize(width, height);
}

void TForm::NativeStateKnown() { impl_->startIconic = false; }

TWindowState TForm::WindowState() const {
    QWidget* w = Frame();
    if (!w) return wsNormal;
    if (impl_->startIconic) return wsMinimized;
    if (w->windowState() & Qt::WindowMinimized) return wsMinimized;
    if (w->windowState() & Qt::WindowMaximized) return wsMaximized;
    return wsNormal;
}

void TForm::SetWindowState(TWindowState state) {
    QWidget* w = Frame();
    if (!w) return;
    impl_->startIconic = state == wsMinimized && w->isWindow() && !w->isVisible();
    if (impl_->startIconic) return;  // mapped so (a maximised one stays so beneath)
    Qt::WindowStates s = w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    // A maximised window minimised comes back maximised.
    if (state == wsMinimized) s |= Qt::WindowMinimized | (w->windowState() & Qt::WindowMaximized);
    if (state == wsMaximized) s |= Qt::WindowMaximized;
    if (state != wsNormal && FixedSize()) Unfix(w);
    w->setWindowState(s);
    StateChanged();
    if (impl_->visible && !impl_->showing) w->show();
}

namespace {
// Each new child one title bar further down and right than the one before,
// starting again at the top left when it would leave the visible client area.
void CascadeChild(QMdiArea* area, QMdiSubWindow* sub) {
    const int step = std::max(8, sub->contentsMargins().top());
    const QSize room = area->viewport()->size();
    int next = area->property("tvCascade").toInt();
    QPoint at(next * step, next * step);
    // (A hidden frame has not laid out its client area: a few steps down is
    // all it gets then.)
    const bool tooFar = area->isVisible() ? at.x() + sub->width() > room.width() || at.y() + sub->height() > room.height()
                                          : next >= 8;
    if (next > 0 && tooFar) {
        next = 0;
        at = QPoint(0, 0);
    }
    sub->move(at);
    area->setProperty("tvCascade", next + 1);
}
}  // namespace

namespace {
// The toolkit resizes a window's native window only as it shows it (after
// its layout has set the window's smallest size), and that resize drops a
// maximised or minimised state the window asked for: the native window takes
// its size now, in the normal state, and the state again after.
void ReadyToShow(QWidget* w) {
    QWindow* native = w->windowHandle();
    if (!native || !w->internalWinId()) return;
    w->ensurePolished();
    if (QLayout* layout = w->layout()) layout->activate();
    if (native->geometry() == w->geometry()) return;
    const Qt::WindowStates states = native->windowStates();
    if (states != Qt::WindowNoState) native->setWindowStates(Qt::WindowNoState);
    native->setGeometry(w->geometry());
    if (states != Qt::WindowNoState) native->setWindowStates(states);
}

// Shows a window that is to start minimised, so that it stays minimised.
void ShowIconic(QWidget* w) {
    // Mapped as if the user had just asked for it, a window is brought up
    // by the window manager: it asks to come up minimised instead.
    const bool quiet = w->testAttribute(Qt::WA_ShowWithoutActivating);
    w->setAttribute(Qt::WA_ShowWithoutActivating, true);
    SetStartIconic(w, true);
    w->show();
    w->setAttribute(Qt::WA_ShowWithoutActivating, quiet);
}
}  // namespace

void TForm::PlaceAtFirstShow() {
    if (placed_) return;
    placed_ = true;
    QWidget* w = Frame();
    if (!w) return;
    QRect area;
    if (impl_->sub && impl_->sub->mdiArea()) {
        area = impl_->sub->mdiArea()->viewport()->rect();
    } else if ((position_ == poMainFormCenter || position_ == poOwnerFormCenter) && Application &&
               Application->MainForm() && Application->MainForm() != this) {
        area = Application->MainForm()->Frame()->frameGeometry();
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
    case poMainFormCenter:
    case poOwnerFormCenter:
        if (area.isValid()) w->move(area.center() - QPoint(Width() / 2, Height() / 2));
        break;
    case poDefault:
    case poDefaultPosOnly:
        // A child placed by the system cascades down the client area; a
        // top-level window is left to the window manager.
        if (impl_->sub && impl_->sub->mdiArea()) CascadeChild(impl_->sub->mdiArea(), impl_->sub);
        break;
    default:
        break;
    }
}

bool TForm::Visible() const { return impl_->visible; }

void TForm::SetVisible(bool visible) {
    if (visible == impl_->visible) {
        if (visible && Frame()) Frame()->raise();
        return;
    }
    impl_->visible = visible;
    QWidget* frame = Frame();
    if (visible) {
        PlaceAtFirstShow();
        const bool window = frame && frame->isWindow();
        if (window) {
            // As in the class library, a window's OnShow runs before the
            // window appears, so the state and bounds it sets are the ones
            // the window manager first sees (a window mapped maximised and
            // then set back is not reliably set back).
            impl_->showing = true;
            HandleShow();
            if (!LiveForms().count(this)) return;
            impl_->showing = false;
            if (!impl_->visible) return;  // OnShow hid it again
            frame = Frame();
        }
        if (impl_->sub) impl_->content->show();
        if (frame) {
            if (frame->isWindow()) {
                frame->winId();
                ApplyFrameHints();
                // One watch for each native window (undocking makes a new one).
                QWindow* handle = frame->windowHandle();
                if (handle && !handle->property("tvExposeWatch").toBool()) {
                    handle->setProperty("tvExposeWatch", true);
                    handle->installEventFilter(new ExposeWatch(handle, [this] {
                        NativeStateKnown();  // the window manager mapped it all the same
                        FrameChanged();
                    }));
                }
            }
            const bool minimised = impl_->startIconic || (frame->windowState() & Qt::WindowMinimized);
            // While an MDI frame first shows its children, each child would
            // activate itself in turn, and the toolkit walk every other child
            // each time: they are shown disabled, which they cannot activate,
            // and the frame activates one afterwards.
            QList<QMdiSubWindow*> quiet;
            if (impl_->main && frame->isHidden())
                for (QMdiSubWindow* sub : impl_->main->mdi->subWindowList())
                    if (sub->isEnabled()) {
                        sub->setEnabled(false);
                        quiet << sub;
                    }
            // The frame the window manager will give it, asked before it is
            // mapped, so that it comes up in the place and size it was given.
            QMargins extents;
            if (frame->isWindow() && frame->isHidden() && (impl_->hasPendingPos || impl_->hasPendingSize) &&
                AskFrameExtents(frame, &extents))
                PlaceFrame(extents);
            if (frame->isWindow() && frame->isHidden()) {
                const bool iconic = impl_->startIconic;
                ReadyToShow(frame);
                impl_->startIconic = iconic;
            }
            if (frame->isWindow() && minimised && frame->isHidden()) {
                ShowIconic(frame);
            } else {
                if (frame->isWindow()) SetStartIconic(frame, false);  // a window that started minimised once
                frame->show();
            }
            for (QMdiSubWindow* sub : quiet) sub->setEnabled(true);
            // A window of the program while its main window is up: kept above
            // it, as a window the main window owns (a box that brings the main
            // window up must not bury the closing notice). The toolkit says
            // so only of dialogs and tools, and clears it as it maps others.
            TForm* mainForm = Application ? Application->MainForm() : nullptr;
            if (frame->isWindow() && !modal_ && mainForm && mainForm != this && style_ != fsStayOnTop &&
                mainForm->Handle()->window()->isVisible())
                SetOwner(frame, mainForm->Handle()->window());
            if (!quiet.isEmpty()) impl_->activateChildPending = true;
            // A window that starts minimised stays so.
            if (!minimised) {
                frame->raise();
                // A child becomes the active one at once only in a frame on
                // screen (activating each child of a hidden frame costs time
                // that grows with their number); the frame activates its
                // newest child when it appears.
                if (impl_->sub && impl_->sub->mdiArea()) {
                    if (impl_->sub->mdiArea()->isVisible()) impl_->sub->mdiArea()->setActiveSubWindow(impl_->sub);
                } else if (frame->isWindow()) {
                    frame->activateWindow();
                }
            }
            if (impl_->main) {
                // The children's titles, now that the frame shows, and one child active.
                for (QMdiSubWindow* sub : impl_->main->mdi->subWindowList())
                    if (auto* child = dynamic_cast<TForm*>(ControlOf(sub->widget())))
                        if (child->impl_->titleWaits) child->ShowCaption();
                if (!impl_->main->mdi->activeSubWindow()) ActivateNewestChild();
            }
        }
        if (activeControl_ && activeControl_->CanFocus()) activeControl_->SetFocus();
        if (!window) HandleShow();
    } else {
        if (frame) frame->hide();
        HandleHide();
    }
}

void TForm::FrameActivated() {
    if (!impl_->activateChildPending) return;
    impl_->activateChildPending = false;
    ActivateNewestChild();
}

void TForm::ActivateNewestChild() {
    // The newest child in sight, else the newest: keys typed go to a window
    // the user sees.
    QMdiArea* area = impl_->main->mdi;
    QMdiSubWindow* chosen = nullptr;
    const QList<QMdiSubWindow*> children = area->subWindowList(QMdiArea::CreationOrder);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (!(*it)->isVisible()) continue;
        if (!chosen) chosen = *it;
        if (!(*it)->isMinimized()) {
            chosen = *it;
            break;
        }
    }
    if (chosen && chosen != area->activeSubWindow()) area->setActiveSubWindow(chosen);
}

void TForm::HandleShow() {
    if (!OnShow) return;
    FormBusy busy(this);
    SafeCall([&] { OnShow(this); });
}

void TForm::HandleHide() {
    if (!OnHide) return;
    FormBusy busy(this);
    SafeCall([&] { OnHide(this); });
}

void TForm::FormLoaded() {
    if (style_ == fsMDIChild) SetVisible(true);
}

void TForm::SetActiveControl(TControl* control) {
    activeControl_ = control;
    if (control && impl_->visible && control->CanFocus()) control->SetFocus();
}

void TForm::Close() { HandleClose(); }

void TForm::Dispatch(TMessage&) {}

bool TForm::HandleClose() {
    if (closing_ || releasing_) return false;
    closing_ = true;
    FormBusy busy(this);
    bool canClose = true;
    if (OnCloseQuery) SafeCall([&] { OnCloseQuery(this, canClose); });
    if (!canClose) {
        closing_ = false;
        return false;
    }
    const bool isMain = Application && Application->MainForm() == this;
    TCloseAction action = style_ == fsMDIChild ? caFree : caHide;
    if (OnClose) SafeCall([&] { OnClose(this, action); });
    closing_ = false;
    if (action == caNone) return false;
    if (isMain) {
        SetVisible(false);
        Application->Terminate();
        return true;
    }
    switch (action) {
    case caHide:
        if (modal_ && modalResult_ == 0) modalResult_ = mrCancel;
        SetVisible(false);
        break;
    case caFree:
        if (modal_ && modalResult_ == 0) modalResult_ = mrCancel;
        Release();
        break;
    case caMinimize:
        SetWindowState(wsMinimized);
        break;
    default:
        break;
    }
    if (impl_->modalLoop) impl_->modalLoop->quit();
    return true;
}

void TForm::Release() {
    if (releasing_) return;
    SetVisible(false);
    releasing_ = true;
    DestroyWhenIdle();
}

void TForm::DestroyWhenIdle() {
    QPointer<QWidget> guard = impl_->content;
    QTimer::singleShot(0, [this, guard] {
        if (!guard || !LiveForms().count(this)) return;
        if (busy_ > 0 || modal_) {
            DestroyWhenIdle();  // a handler of this form is still running
            return;
        }
        delete this;
    });
}

void TForm::SetModalResult(int result) {
    modalResult_ = result;
    if (result != 0 && impl_->modalLoop) impl_->modalLoop->quit();
}

int TForm::ShowModal() {
    if (modal_) return mrCancel;
    if (impl_->sub) return mrCancel;  // an MDI child cannot be modal
    modal_ = true;
    modalResult_ = 0;
    QWidget* w = Frame();
    w->setWindowModality(Qt::ApplicationModal);
    PrepareModal(w);
    SetVisible(true);
    QPointer<QWidget> guard = impl_->content;
    const bool scripted = Dialogs().RunModal(this);
    while (guard && LiveForms().count(this)) {
        if (!scripted && modalResult_ == 0 && impl_->visible) {
            QEventLoop loop;
            impl_->modalLoop = &loop;
            loop.exec();
            impl_->modalLoop = nullptr;
            if (!guard || !LiveForms().count(this)) break;
            // The program is ending: the dialog ends with it.
            if (Application && Application->Terminated()) {
                if (modalResult_ == 0) modalResult_ = mrCancel;
                break;
            }
        }
        if (modalResult_ == 0) modalResult_ = mrCancel;
        if (!impl_->visible) break;
        // A result ends the dialog through the usual close handling, which
        // may keep it open.
        bool canClose = true;
        if (OnCloseQuery) SafeCall([&] { OnCloseQuery(this, canClose); });
        TCloseAction action = caHide;
        if (canClose && OnClose) SafeCall([&] { OnClose(this, action); });
        if (!canClose || action == caNone) {
            if (scripted) break;
            modalResult_ = 0;
            continue;
        }
        break;
    }
    int result = modalResult_;
    if (guard && LiveForms().count(this)) {
        modal_ = false;
        SetVisible(false);
        w->setWindowModality(Qt::NonModal);
        ApplyFlags();  // back to the form's own flags once it is no dialog on top
    }
    return result;
}

TButton* TForm::FindButton(bool cancel) const {
    std::vector<const TWinControl*> pending{this};
    while (!pending.empty()) {
        const TWinControl* c = pending.back();
        pending.pop_back();
        for (int i = 0; i < c->ControlCount(); ++i) {
            TControl* child = c->Controls(i);
            if (auto* b = dynamic_cast<TButton*>(child)) {
                if (cancel ? b->Cancel() : b->Default()) return b;
            } else if (auto* wc = dynamic_cast<TWinControl*>(child)) {
                pending.push_back(wc);
            }
        }
    }
    return nullptr;
}

bool TForm::HandleKey(int qtKey, int modifiers) {
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier)) return false;
    if (qtKey == Qt::Key_Escape) {
        TButton* cancel = FindButton(true);
        if (cancel && cancel->Enabled() && cancel->Visible()) cancel->Click();
        return true;  // a form without a Cancel button ignores Escape
    }
    if (qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter) {
        // Enter presses the focused button, whatever button is the default.
        auto* focused = dynamic_cast<TButton*>(ControlOf(QApplication::focusWidget()));
        if (focused && focused->ParentForm() == this) {
            if (focused->Enabled() && focused->Visible()) focused->Click();
            return true;
        }
        TButton* def = FindButton(false);
        if (def && def->Enabled() && def->Visible()) {
            def->Click();
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- MDI frame

std::vector<TForm*> TForm::MDIChildren() const {
    std::vector<TForm*> children;
    if (!impl_->main) return children;
    for (QMdiSubWindow* sub : impl_->main->mdi->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->widget()) continue;
        if (auto* form = dynamic_cast<TForm*>(ControlOf(sub->widget())))
            if (form->Visible()) children.push_back(form);
    }
    return children;
}

TForm* TForm::ActiveMDIChild() const {
    if (!impl_->main) return nullptr;
    QMdiSubWindow* sub = impl_->main->mdi->activeSubWindow();
    return sub && sub->widget() ? dynamic_cast<TForm*>(ControlOf(sub->widget())) : nullptr;
}

void TForm::Cascade() {
    if (impl_->main) impl_->main->mdi->cascadeSubWindows();
}

namespace {
void Tile(QMdiArea* area, bool stacked) {
    QList<QMdiSubWindow*> subs;
    for (QMdiSubWindow* s : area->subWindowList(QMdiArea::CreationOrder))
        if (s->isVisible() && !(s->windowState() & Qt::WindowMinimized)) subs << s;
    if (subs.isEmpty()) return;
    QRect r = area->viewport()->rect();
    const int n = static_cast<int>(subs.size());
    for (int i = 0; i < n; ++i) {
        subs[i]->showNormal();
        if (stacked) {
            int h = r.height() / n;
            subs[i]->setGeometry(0, i * h, r.width(), h);
        } else {
            int w = r.width() / n;
            subs[i]->setGeometry(i * w, 0, w, r.height());
        }
    }
}
}  // namespace

void TForm::TileHorizontal() {
    if (impl_->main) Tile(impl_->main->mdi, true);
}

void TForm::TileVertical() {
    if (impl_->main) Tile(impl_->main->mdi, false);
}

void TForm::MinimizeAllChildren() {
    if (!impl_->main) return;
    for (QMdiSubWindow* sub : impl_->main->mdi->subWindowList()) sub->showMinimized();
}

void TForm::SetMenu(TMainMenu* menu) {
    if (impl_->main && menu) impl_->main->setMenuBar(menu->MenuBar());
}

void TForm::SetWindowMenu(TMenuItem* item) {
    impl_->windowMenu = item;
    if (!item || !impl_->main) return;
    QMenu* menu = item->QtMenu();
    QObject::connect(menu, &QMenu::aboutToShow, menu, [this, menu] {
        for (QAction* a : impl_->windowListActions) {
            menu->removeAction(a);
            delete a;
        }
        impl_->windowListActions.clear();
        std::vector<TForm*> children = MDIChildren();
        if (children.empty()) return;
        impl_->windowListActions << menu->addSeparator();
        TForm* active = ActiveMDIChild();
        int n = 1;
        for (TForm* child : children) {
            QAction* a = menu->addAction(QString("&%1 %2").arg(n++).arg(QtText(child->Caption())));
            a->setCheckable(true);
            a->setChecked(child == active);
            QPointer<QWidget> guard = child->impl_->content;
            QObject::connect(a, &QAction::triggered, a, [child, guard] {
                if (guard && LiveForms().count(child)) {
                    child->SetWindowState(child->WindowState() == wsMinimized ? wsNormal : child->WindowState());
                    child->SetVisible(true);
                }
            });
            impl_->windowListActions << a;
        }
    });
}

void TForm::AddToolBar(TToolBar* bar) {
    if (impl_->main && bar) impl_->main->addToolBar(Qt::TopToolBarArea, bar->QtBar());
}

void TForm::SetStatusBar(TStatusBar* bar) {
    if (impl_->main && bar) impl_->main->setStatusBar(bar->QtStatusBar());
}

// ---------------------------------------------------------------- busy marks

FormBusy::FormBusy(TForm* form) : form_(form) {
    if (form_) ++form_->busy_;
}

FormBusy::~FormBusy() {
    if (form_ && LiveForms().count(form_)) --form_->busy_;
}

// ---------------------------------------------------------------- application

void EnsureToolkit() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "tallyvane";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QFont font("Sans Serif", 9);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
    QApplication::setQuitOnLastWindowClosed(false);
}

TApplication::TApplication() : TComponent(nullptr) { Application = this; }

TApplication::~TApplication() {
    DestroyOwned();
    if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
    EnsureToolkit();
    InstallGuiDialogs();
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(QtText(title));
}

void TApplication::Run() {
    if (!mainForm_) return;
    if (showMainForm_) mainForm_->Show();
    if (terminated_) return;
    running_ = true;
    QApplication::exec();
    running_ = false;
}

void TApplication::Terminate() {
    terminated_ = true;
    // Not the toolkit's quit, which first asks every window to close and
    // gives up when one does not (every form decides its own closing here):
    // the message loop and every nested loop end at once. (Without a running
    // message loop there is nothing to end; asking would make every later
    // loop of the process end at once.)
    if (running_) QCoreApplication::exit(0);
}

void TApplication::ProcessMessages() { QApplication::processEvents(); }

void TApplication::HandleMessage() { QApplication::processEvents(QEventLoop::WaitForMoreEvents); }

void TApplication::Minimize() {
    if (mainForm_) mainForm_->SetWindowState(wsMinimized);
}

void TApplication::ShowException(const std::string& message) { MessageDlg(message, mtError, {mbOK}, 0); }

int DesktopWidth() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualGeometry().width() : 32767;
}

int DesktopHeight() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualGeometry().height() : 32767;
}
