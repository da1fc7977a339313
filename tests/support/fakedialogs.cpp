#include "support/fakedialogs.h"

#include "platform/forms.h"

namespace {
// What a typed box answers when no answer is queued, as the console's does.
int SafeAnswer(TMsgDlgButtons buttons) {
    if (buttons.Contains(mbCancel)) return mrCancel;
    if (buttons.Contains(mbNo)) return mrNo;
    return mrOk;
}
}  // namespace

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
