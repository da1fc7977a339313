// The tray program's own settings, kept in pocketvane.ini beside the program:
// read when the object is made, written only by Save, which the tray menu's
// Exit runs. The fields are read and changed directly.
#pragma once

#include <cstdint>
#include <string>

class PocketvaneSettings {
public:
    explicit PocketvaneSettings(const std::string& iniPath);
    PocketvaneSettings(const PocketvaneSettings&) = delete;
    PocketvaneSettings& operator=(const PocketvaneSettings&) = delete;

    // Writes the six keys of section PocketvaneProgram, other lines of the
    // file staying as they are; throws Exception "Unable to write to <path>"
    // at the first key that cannot be written, the object unchanged.
    void Save();

    std::string ProductName;
    std::string VersionText;
    std::string WebAddress;
    std::string MailAddress;
    std::string AuthorName;
    int Left = -1;  // the converter window's place; -1: none stored
    int Top = -1;
    std::string LeftSelected;
    std::string RightSelected;
    bool OnTop = false;  // kept, not used: the converter window always stays on top
    uint16_t HotKey = 0;  // a shortcut value; 0: none
    std::string IniPath;
};
