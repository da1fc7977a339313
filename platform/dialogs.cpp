#include "platform/dialogs.h"

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
