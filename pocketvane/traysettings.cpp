#include "pocketvane/traysettings.h"

#include "platform/inifiles.h"

namespace {
const char* const Section = "PocketvaneProgram";
}

PocketvaneSettings::PocketvaneSettings(const std::string& iniPath)
    : ProductName("Pocketvane"),
      VersionText("1.02 - November 17, 2001"),
      WebAddress("http://www.tallyvane.org/pocketvane/"),
      MailAddress("support@tallyvane.org"),
      AuthorName("Maren Holt"),
      IniPath(iniPath) {
    TIniFile ini(IniPath);
    Left = ini.ReadInteger(Section, "Left", -1);
    Top = ini.ReadInteger(Section, "Top", -1);
    LeftSelected = ini.ReadString(Section, "leftSelected", "");
    RightSelected = ini.ReadString(Section, "rightSelected", "");
    OnTop = ini.ReadBool(Section, "onTop", false);
    HotKey = static_cast<uint16_t>(ini.ReadInteger(Section, "HotKey", 0));
}

void PocketvaneSettings::Save() {
    TIniFile ini(IniPath);
    ini.WriteInteger(Section, "Left", Left);
    ini.WriteInteger(Section, "Top", Top);
    ini.WriteString(Section, "leftSelected", LeftSelected);
    ini.WriteString(Section, "rightSelected", RightSelected);
    ini.WriteBool(Section, "onTop", OnTop);
    ini.WriteInteger(Section, "HotKey", HotKey);
}
