// The link to the spreadsheet program: a conversation with its "Excel" service
// on the "System" topic, over which new sheets are made and cells filled with
// macro commands.
#pragma once

#include "platform/registry.h"

#include <string>

class TDdeClientConv;
class TObject;

class ExcelCtrl {
public:
    ExcelCtrl();
    ~ExcelCtrl();
    ExcelCtrl(const ExcelCtrl&) = delete;
    ExcelCtrl& operator=(const ExcelCtrl&) = delete;

    // Opens the link, starting the program by its name and then by the command
    // registered for spreadsheet files when no server answers.
    bool Connect();
    bool IsConnected() const { return Connected; }
    // Waits for the reply to the last command, as for any other, then
    // closes the link.
    void Disconnect();
    void LinkOpened(TObject* sender);
    std::string GetExcelCommand();
    // One string value of the registry; "" when it cannot be read.
    std::string ReadRegString(HKEY root, const std::string& key, const std::string& name);
    // Sends one command; a command the link refuses twice, or whose reply
    // does not come, is counted as dropped. Once the program is ending
    // nothing is sent or waited for.
    void ExecuteMacro(const std::string& command);
    void NewSheet();
    void SetCell(const std::string& text, int column, int row);

    bool Connected = false;
    TDdeClientConv* Conversation;
    int Dropped = 0;  // commands the sheet never got

private:
    // Serves the program's messages while the conversation waits.
    void AwaitReply();
};
