#include "platform/guidialogs.h"

#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/qtbridge.h"
#include "platform/x11windows.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

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
    // Only the console backend makes way: a backend a test installed stays
    // in charge. (Null installs the console backend, so the second call
    // answers which one that is.)
    DialogBackend* current = SetDialogBackend(nullptr);
    DialogBackend* console = SetDialogBackend(current);
    if (current == console) SetDialogBackend(&gui);
}
