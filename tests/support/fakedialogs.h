// A dialog backend for tests: message boxes, file dialogs and modal forms
// answered from queues the test fills, and everything shown recorded.
#pragma once

#include "platform/dialogs.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

// Records every box and answers typed boxes from a queue. With no answer
// queued, a typed box answers with the first of Cancel, No, OK it offers.
// Installed while the object lives.
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
