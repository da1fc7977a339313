// Message boxes. The calls go to a backend: the GUI installs one that shows
// real boxes; tests install a ScriptedResponder that answers from a queue.
#pragma once

#include <deque>
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

class DialogBackend {
public:
    virtual ~DialogBackend() = default;
    virtual void ShowMessage(const std::string& text) = 0;
    virtual int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) = 0;
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
    const std::vector<Shown>& Boxes() const { return boxes_; }
    std::vector<std::string> Texts() const;
    void Clear() { boxes_.clear(); }
    int PendingAnswers() const { return static_cast<int>(answers_.size()); }

    void ShowMessage(const std::string& text) override;
    int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override;

private:
    DialogBackend* previous_;
    std::deque<int> answers_;
    std::vector<Shown> boxes_;
};
