// Message boxes. The calls go to a backend: the GUI installs one that shows
// real boxes; tests install a ScriptedResponder that answers from a queue.
#pragma once

#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };

class TMsgDlgButtons {
public:
    TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons) {
        for (TMsgDlgBtn b : buttons) bits_ |= 1u << b;
    }
    bool Contains(TMsgDlgBtn b) const { return (bits_ & (1u << b)) != 0; }
    unsigned Bits() const { return bits_; }

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

// Test seam: records every box and answers typed boxes from a queue. With no
// answer queued, a typed box answers with the first of Cancel, No, OK it offers.
class ScriptedResponder : public DialogBackend {
public:
    struct Shown {
        std::string text;
        bool typed;
        TMsgDlgType type;
    };
    ScriptedResponder();
    ~ScriptedResponder() override;
    void QueueAnswer(int modalResult) { answers_.push_back(modalResult); }
    // Work for the next modal form: it runs while the form is shown (after its
    // OnShow) and should set the form's result, e.g. by clicking a button.
    // A form with no work queued closes with Cancel.
    void QueueModal(std::function<void(TForm*)> work) { modals_.push_back(std::move(work)); }
    // The file the next open or save dialog returns; "" cancels it.
    void QueueFile(const std::string& path) { files_.push_back(path); }
    const std::vector<FileDialogRequest>& FileDialogs() const { return fileDialogs_; }
    std::vector<std::string> ModalForms() const { return modalForms_; }
    const std::vector<Shown>& Boxes() const { return boxes_; }
    std::vector<std::string> Texts() const;
    void Clear() { boxes_.clear(); }
    int PendingAnswers() const { return static_cast<int>(answers_.size()); }

    void ShowMessage(const std::string& text) override;
    int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override;
    bool RunModal(TForm* form) override;
    bool FileDialog(FileDialogRequest& request) override;

private:
    DialogBackend* previous_;
    std::deque<std::function<void(TForm*)>> modals_;
    std::deque<std::string> files_;
    std::vector<FileDialogRequest> fileDialogs_;
    std::vector<std::string> modalForms_;
    std::deque<int> answers_;
    std::vector<Shown> boxes_;
};
