// The GUI half of message boxes and file dialogs, and the small conversions
// the layer shares.
#include "platform/dialogs.h"
#include "platform/filedialogs.h"
#include "platform/forms.h"
#include "platform/qtbridge.h"
#include "platform/sysutils.h"
#include "platform/x11windows.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QIcon>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QSpacerItem>
#include <QTimer>
#include <QWidget>
#include <QWindow>

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

int VirtualKeyOf(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_F1: return VK_F1;
    default: break;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return VK_F1 + (qtKey - Qt::Key_F1);
    if (qtKey >= 0x20 && qtKey < 0x7F) return qtKey;
    return qtKey & 0xFFFF;
}

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

namespace {
QString Caption() { return QtText(Application ? Application->Title() : std::string()); }

QString QtFilter(const std::string& filter) {
    // "desc|*.a;*.b|desc2|*.c" becomes "desc (*.a *.b);;desc2 (*.c)".
    QStringList parts = QtText(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString masks = parts[i + 1];
        masks.replace(';', ' ');
        out << QString("%1 (%2)").arg(parts[i], masks);
    }
    return out.join(";;");
}

// A message box shows its text exactly as given (never as markup), and is
// wide enough for the window manager to show its whole caption.
void Prepare(QMessageBox& box) {
    PrepareModal(&box);
    box.setTextFormat(Qt::PlainText);
    QFont title = box.font();
    title.setBold(true);
    // The caption beside the title bar's icon and buttons.
    const int bar = QFontMetrics(title).height() + 8;
    const int width = QFontMetrics(title).horizontalAdvance(box.windowTitle()) + 4 * bar + 32;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
    // A box has a close button and nothing else.
    FrameHints hints;
    hints.kind = FrameHints::Dialog;
    hints.minimizeBox = hints.maximizeBox = hints.sizeable = false;
    SetFrameHints(&box, hints);
}

class GuiDialogs : public DialogBackend {
public:
    void ShowMessage(const std::string& text) override {
        QMessageBox box(QMessageBox::NoIcon, Caption(), QtText(text), QMessageBox::Ok, QApplication::activeWindow());
        Prepare(box);
        box.exec();
    }

    int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override {
        QMessageBox::Icon icon = type == mtError         ? QMessageBox::Critical
                                 : type == mtWarning     ? QMessageBox::Warning
                                 : type == mtInformation ? QMessageBox::Information
                                 : type == mtConfirmation ? QMessageBox::Question
                                                          : QMessageBox::NoIcon;
        QMessageBox box(icon, Caption(), QtText(text), QMessageBox::NoButton, QApplication::activeWindow());
        struct Map {
            TMsgDlgBtn button;
            QMessageBox::StandardButton qt;
            int result;
        };
        static const Map map[] = {{mbYes, QMessageBox::Yes, mrYes},       {mbNo, QMessageBox::No, mrNo},
                                  {mbOK, QMessageBox::Ok, mrOk},          {mbCancel, QMessageBox::Cancel, mrCancel},
                                  {mbAbort, QMessageBox::Abort, mrAbort}, {mbRetry, QMessageBox::Retry, mrRetry},
                                  {mbIgnore, QMessageBox::Ignore, mrIgnore}};
        for (const Map& m : map)
            if (buttons.Contains(m.button)) box.addButton(m.qt);
        Prepare(box);
        int chosen = box.exec();
        for (const Map& m : map)
            if (chosen == m.qt) return m.result;
        return buttons.Contains(mbCancel) ? mrCancel : buttons.Contains(mbNo) ? mrNo : mrOk;
    }

    bool FileDialog(FileDialogRequest& r) override {
        QFileDialog dialog(QApplication::activeWindow(), QtText(r.title), QtText(r.initialDir), QtFilter(r.filter));
        dialog.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(r.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);  // the program asks itself
        QStringList filters = QtFilter(r.filter).split(";;");
        if (r.filterIndex >= 1 && r.filterIndex <= filters.size()) dialog.selectNameFilter(filters[r.filterIndex - 1]);
        if (!r.defaultExt.empty()) dialog.setDefaultSuffix(QtText(r.defaultExt));
        if (!r.fileName.empty()) dialog.selectFile(QtText(r.fileName));
        dialog.setWindowModality(Qt::ApplicationModal);
        PrepareModal(&dialog);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
        r.fileName = StdText(dialog.selectedFiles().first());
        r.filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
        return true;
    }
};
}  // namespace

void InstallGuiDialogs() {
    static GuiDialogs gui;
    // A responder installed by a test stays in charge.
    if (dynamic_cast<ScriptedResponder*>(&Dialogs())) return;
    SetDialogBackend(&gui);
}

bool TOpenDialog::Execute() {
    FileDialogRequest r;
    r.save = save_;
    r.title = Title;
    r.filter = Filter;
    r.filterIndex = FilterIndex;
    r.initialDir = InitialDir;
    r.fileName = FileName;
    r.defaultExt = DefaultExt;
    if (!Dialogs().FileDialog(r)) return false;
    FileName = r.fileName;
    FilterIndex = r.filterIndex;
    return true;
}

QPixmap LoadPicture(const std::string& file) {
    const char* format = LowerCase(ExtractFileExt(file)) == ".png" ? "PNG" : nullptr;
    return QPixmap(QtText(file), format);
}

QIcon LoadIcon(const std::string& file) {
    QPixmap picture = LoadPicture(file);
    return picture.isNull() ? QIcon() : QIcon(picture);
}
