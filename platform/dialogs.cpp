#include "platform/dialogs.h"

#include "platform/forms.h"

#include <iostream>

namespace {
int SafeAnswer(TMsgDlgButtons buttons) {
    if (buttons.Contains(mbCancel)) return mrCancel;
    if (buttons.Contains(mbNo)) return mrNo;
    return mrOk;
}

// Used before the GUI exists (and by programs without one): the text goes to stderr.
class ConsoleBackend : public DialogBackend {
public:
    void ShowMessage(const std::string& text) override { std::cerr << text << std::endl; }
    int MessageDlg(const std::string& text, TMsgDlgType, TMsgDlgButtons buttons) override {
        std::cerr << text << std::endl;
        return SafeAnswer(buttons);
    }
};

ConsoleBackend console;
DialogBackend* current = &console;
}  // namespace

DialogBackend& Dialogs() { return *current; }

DialogBackend* SetDialogBackend(DialogBackend* backend) {
    DialogBackend* previous = current;
    current = backend ? backend : &console;
    return previous;
}

void ShowMessage(const std::string& text) { Dialogs().ShowMessage(text); }

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int) {
    return Dialogs().MessageDlg(text, type, buttons);
}

ScriptedResponder::ScriptedResponder() : previous_(SetDialogBackend(this)) {}

ScriptedResponder::~ScriptedResponder() { SetDialogBackend(previous_); }

std::vector<std::string> ScriptedResponder::Texts() const {
    std::vector<std::string> texts;
    for (const Shown& s : boxes_) texts.push_back(s.text);
    return texts;
}

void ScriptedResponder::ShowMessage(const std::string& text) { boxes_.push_back({text, false, mtCustom}); }

int ScriptedResponder::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
    boxes_.push_back({text, true, type});
    if (answers_.empty()) return SafeAnswer(buttons);
    int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

bool ScriptedResponder::RunModal(TForm* form) {
    modalForms_.push_back(form ? form->Caption() : std::string());
    if (!modals_.empty()) {
        auto work = std::move(modals_.front());
        modals_.pop_front();
        work(form);
    }
    return true;
}

bool ScriptedResponder::FileDialog(FileDialogRequest& request) {
    fileDialogs_.push_back(request);
    if (files_.empty()) return false;
    std::string path = files_.front();
    files_.pop_front();
    if (path.empty()) return false;
    request.fileName = path;
    return true;
}
