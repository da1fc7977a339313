#include "platform/qtbridge.h"

#include "platform/forms.h"
#include "platform/sysutils.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QIcon>
#include <QPixmap>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>
#include <QWindow>

// ---------------------------------------------------------------- texts, colours, input

std::string ShortHint(const std::string& hint) {
    size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(0, bar);
}

std::string LongHint(const std::string& hint) {
    size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

QString QtCaption(const std::string& caption) { return QtText(caption); }

QColor QtColor(TColor color, QPalette::ColorRole role) {
    if (color == clDefault) return QApplication::palette().color(role);
    if (color & 0x80000000) {
        switch (color & 0xFF) {
        case 0x05: return QApplication::palette().color(QPalette::Base);
        case 0x08: return QApplication::palette().color(QPalette::Text);
        case 0x0C: return QApplication::palette().color(QPalette::Dark);
        default: return QApplication::palette().color(QPalette::Window);
        }
    }
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    TShiftState s = 0;
    if (modifiers & Qt::ShiftModifier) s |= ssShift;
    if (modifiers & Qt::AltModifier) s |= ssAlt;
    if (modifiers & Qt::ControlModifier) s |= ssCtrl;
    if (buttons & Qt::LeftButton) s |= ssLeft;
    if (buttons & Qt::RightButton) s |= ssRight;
    if (buttons & Qt::MiddleButton) s |= ssMiddle;
    return s;
}

TMouseButton ButtonOf(Qt::MouseButton button) {
    if (button == Qt::RightButton) return mbRight;
    if (button == Qt::MiddleButton) return mbMiddle;
    return mbLeft;
}

// ---------------------------------------------------------------- pictures and text widths

QPixmap LoadPicture(const std::string& file) {
    const char* format = LowerCase(ExtractFileExt(file)) == ".png" ? "PNG" : nullptr;
    return QPixmap(QtText(file), format);
}

QIcon LoadIcon(const std::string& file) {
    QPixmap picture = LoadPicture(file);
    return picture.isNull() ? QIcon() : QIcon(picture);
}

int TextWidthNeeded(QWidget* w, const QString& text, int iconWidth) {
    QString plain = text;
    plain.remove(QRegularExpression("&(?!&)"));
    return w->fontMetrics().horizontalAdvance(plain) + 12 + (iconWidth ? iconWidth + 4 : 0);
}

// ---------------------------------------------------------------- windows

namespace {
// Ends a wait once the window it watches is on screen.
class ExposeQuit : public QObject {
public:
    ExposeQuit(QWindow* window, QEventLoop* loop) : window_(window), loop_(loop) { window_->installEventFilter(this); }
    ~ExposeQuit() override {
        if (window_) window_->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Expose && window_ && window_->isExposed()) loop_->quit();
        // Shown minimised (with a minimised owner, say): nothing to wait for.
        if (e->type() == QEvent::WindowStateChange && window_ && (window_->windowStates() & Qt::WindowMinimized))
            loop_->quit();
        return false;
    }

private:
    QPointer<QWindow> window_;
    QEventLoop* loop_;
};
}  // namespace

void RepaintNow(QWidget* widget) {
    if (!widget) return;
    // A window shown just now can be drawn only once the window system has
    // put it on screen; until then a repaint draws nothing anybody sees.
    // Waited for once, the first time: a window minimised or otherwise out
    // of sight later would keep it waiting every time.
    QWidget* top = widget->window();
    if (top->isVisible() && top->windowHandle() && !(top->windowState() & Qt::WindowMinimized) &&
        !top->windowHandle()->property("tvShownOnce").toBool()) {
        if (!top->windowHandle()->isExposed()) {
            // The window system's word that it shows the window (or keeps it
            // minimised); the bound is only for one that never answers.
            QEventLoop wait;
            ExposeQuit watch(top->windowHandle(), &wait);
            QTimer::singleShot(5000, &wait, &QEventLoop::quit);
            wait.exec(QEventLoop::ExcludeUserInputEvents);
        }
        top->windowHandle()->setProperty("tvShownOnce", true);
    }
    widget->repaint();
    // Let the window system map and draw it while the GUI thread stays busy.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    widget->repaint();
}

void RefuseMinimise(QWidget* w) {
    QPointer<QWidget> guard = w;
    QTimer::singleShot(0, w, [guard] {
        if (!guard || !guard->isVisible() || !(guard->windowState() & Qt::WindowMinimized)) return;
        guard->setWindowState(guard->windowState() & ~Qt::WindowMinimized);
        guard->show();
        guard->raise();
        guard->activateWindow();
    });
}

namespace {
// Puts a modal window back on screen when the window manager minimised it.
class ModalKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && event->type() == QEvent::WindowStateChange && (w->windowState() & Qt::WindowMinimized) &&
            w->isModal())
            RefuseMinimise(w);
        return false;
    }
};
}  // namespace

void PrepareModal(QWidget* window) {
    if (!window || !window->isWindow()) return;
    QWidget* onTop = nullptr;
    for (QWidget* other : QApplication::topLevelWidgets())
        if (other != window && other->isVisible() && (other->windowFlags() & Qt::WindowStaysOnTopHint)) onTop = other;
    if (onTop && !(window->windowFlags() & Qt::WindowStaysOnTopHint))
        window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    // A window of the program, not a stand-alone one: the window manager keeps
    // it above the window it belongs to, the main window or, while one is up,
    // the window that stays on top.
    QWidget* main = Application && Application->MainForm() ? Application->MainForm()->Handle()->window() : nullptr;
    // A box opened from a modal dialog belongs to that dialog.
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* owner = modal && modal != window                  ? modal
                     : onTop                                    ? onTop
                     : main && main != window && main->isVisible() ? main
                                                                   : nullptr;
    if (owner) {
        window->winId();
        if (window->windowHandle() && owner->windowHandle())
            window->windowHandle()->setTransientParent(owner->windowHandle());
    }
    if (!window->property("tvModalKeeper").toBool()) {
        window->setProperty("tvModalKeeper", true);
        window->installEventFilter(new ModalKeeper(window));
    }
}
