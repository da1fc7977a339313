#include "export/excelctrl.h"

#include "export/exporter.h"
#include "platform/ddeman.h"
#include "platform/formkit.h"

namespace {
// A server that has not answered a waited command by then is taken as hung.
constexpr int ReplyLimit = 10000;
}

ExcelCtrl::ExcelCtrl() : Conversation(new TDdeClientConv(Application)) {
    Conversation->SetReplyTimeout(ReplyLimit);
}

ExcelCtrl::~ExcelCtrl() { delete Conversation; }

bool ExcelCtrl::Connect() {
    Conversation->OnOpen = [this](TObject* sender) { LinkOpened(sender); };
    Conversation->SetConnectMode(ddeManual);
    Conversation->SetLink("Excel", "System");
    Conversation->ServiceApplication = "Excel";
    Connected = false;
    if (Conversation->OpenLink()) return true;
    Conversation->ServiceApplication = GetExcelCommand();
    Connected = false;
    return Conversation->OpenLink();
}

void ExcelCtrl::Disconnect() {
    // The last command may have gone out without waiting: the sheet is
    // whole only once it is answered too.
    if (!ProgramEnding() && Conversation->WaitForReplies()) AwaitReply();
    Conversation->CloseLink();
    Connected = false;
}

void ExcelCtrl::LinkOpened(TObject*) { Connected = true; }

std::string ExcelCtrl::GetExcelCommand() {
    std::string fileType = ReadRegString(HKEY_CLASSES_ROOT, ".xls", "");
    return ReadRegString(HKEY_CLASSES_ROOT, fileType + "\\shell\\Open\\Command", "");
}

std::string ExcelCtrl::ReadRegString(HKEY root, const std::string& key, const std::string& name) {
    std::string result;
    try {
        TRegistry registry;
        registry.SetRootKey(root);
        if (registry.OpenKey(key, false)) {
            result = registry.ReadString(name);
            registry.CloseKey();
        }
    } catch (const ERegistryException& e) {
        ShowMessage(e.Message());
        result.clear();
    }
    return result;
}

void ExcelCtrl::ExecuteMacro(const std::string& command) {
    if (ProgramEnding()) return;
    if (Conversation->ExecuteMacro(command, false)) {
        Application->ProcessMessages();
        return;
    }
    if (Conversation->ExecuteMacro(command, true)) AwaitReply();
    else ++Dropped;
}

void ExcelCtrl::AwaitReply() {
    // The conversation clears the mark on the reply, on a lost link, or
    // when the server stays silent too long; each wakes this loop.
    while (Conversation->WaitStat() && !ProgramEnding()) Application->HandleMessage();
    // Without its reply nobody can tell whether the sheet got the command.
    if (!Conversation->WaitAnswered()) ++Dropped;
}

void ExcelCtrl::NewSheet() { ExecuteMacro("[NEW(1)]"); }

void ExcelCtrl::SetCell(const std::string& text, int column, int row) {
    // A quote would end the text early and let the rest run as macro code.
    std::string quoted;
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    ExecuteMacro("[FORMULA(\"" + quoted + "\",\"R" + IntToStr(row) + "C" + IntToStr(column) + "\")]");
}
