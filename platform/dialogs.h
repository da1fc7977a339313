// Message boxes and the requests of file dialogs and modal forms. The calls
// go to a backend: the GUI installs one that shows real boxes; tests install
// one that answers from a queue.
#pragma once

#include <initializer_list>
#include <string>

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };

class TMsgDlgButtons {
public:
    TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons) {
        for (TMsgDlgBtn b : buttons) bits_ |= 1u << b;
    }
    bool Contains(TMsgDlgBtn b) const { return (bits_ & (1u << b)) != 0; }

private:
    unsigned bits_ = 0;
};

// Modal results, shared by message boxes and modal forms.
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                    mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10 };

class TForm;

// What a file dialog asks and, when it returns true, the file chosen.
struct FileDialogRequest {
    bool save = false;
    std::string title;
    std::string filter;        // "description|pattern|description|pattern"
    int filterIndex = 1;       // 1-based
    std::string initialDir;
    std::string fileName;      // in: proposed name; out: the chosen path
    std::string defaultExt;
};

class DialogBackend {
public:
    virtual ~DialogBackend() = default;
    virtual void ShowMessage(const std::string& text) = 0;
    virtual int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) = 0;
    // A modal form that is shown: true when the backend worked it itself.
    virtual bool RunModal(TForm*) { return false; }
    virtual bool FileDialog(FileDialogRequest&) { return false; }
};

// The backend in use; never null (a console backend until another is set).
DialogBackend& Dialogs();
// Installs a backend and returns the previous one (null restores the console backend).
DialogBackend* SetDialogBackend(DialogBackend* backend);

void ShowMessage(const std::string& text);
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
