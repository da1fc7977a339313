#include "currency/settings.h"

#include "platform/inifiles.h"
#include "platform/sysutils.h"

#include <memory>

namespace {
// A separator is one character; an empty or non-ASCII text keeps the default.
char SeparatorFrom(const std::string& text, char def) {
    if (text.empty() || static_cast<unsigned char>(text[0]) >= 0x80) return def;
    return text[0];
}
}  // namespace

Settings::Settings(const std::string& iniPath)
    : DecimalSeparator(SystemDecimalSeparator()), ThousandSeparator(SystemThousandSeparator()), IniPath(iniPath) {
    TIniFile ini(IniPath);
    ProductName = "Tallyvane";
    VersionText = "2.3 - April 5, 2003";
    WebAddress = "http://www.tallyvane.org/";
    MailAddress = "support@tallyvane.org";
    AuthorName = "Maren Holt";

    ReadAbout = ini.ReadBool("Program", "ReadAbout", false);
    HTMLPath = ini.ReadString("Program", "HTMLPath", "");
    ShowSplash = ini.ReadBool("Program", "ShowSplash", true);
    useExcel = ini.ReadBool("Program", "useExcel", true);
    exportSelected = ini.ReadBool("Program", "exportSelected", true);
    showToolbar = ini.ReadBool("Program", "showToolbar", true);
    toolSetting = ini.ReadInteger("Program", "toolSetting", 0);
    savePath = ini.ReadString("Program", "savePath", "");
    exportAll = ini.ReadBool("Program", "exportAll", false);
    exportExcel = ini.ReadBool("Program", "exportExcel", true);
    csvSep = ini.ReadString("Program", "csvSep", ",");
    showCurrDate = ini.ReadBool("Program", "showCurrDate", false);
    showCurrValue = ini.ReadBool("Program", "showCurrValue", false);
    Calc = ini.ReadString("Program", "Calc", "calc.exe");

    Source = ini.ReadInteger("Currency", "Source", 0);
    Decimals = ini.ReadInteger("Currency", "Decimals", 2);
    const char sysDecimal = SystemDecimalSeparator();
    const char sysThousand = SystemThousandSeparator();
    DecimalSeparator =
        SeparatorFrom(ini.ReadString("Currency", "DecimalSeparator", std::string(1, sysDecimal)), sysDecimal);
    ThousandSeparator =
        SeparatorFrom(ini.ReadString("Currency", "ThousandSeparator", std::string(1, sysThousand)), sysThousand);
    useThousand = ini.ReadBool("Currency", "useThousand", false);

    useProxy = ini.ReadBool("Internet", "useProxy", false);
    Proxy = ini.ReadString("Internet", "Proxy", "");
    Port = ini.ReadInteger("Internet", "Port", 0);
    useAuth = ini.ReadBool("Internet", "useAuth", false);
    UserName.clear();
    Password.clear();
    useInternet = ini.ReadBool("Internet", "useInternet", true);
    checkOnStart = ini.ReadBool("Internet", "checkOnStart", false);
}

void Settings::Save() {
#ifndef TV_POCKETVANE
    // Every key in one replacement of the file: a crash while saving leaves
    // the old settings or the new ones, never a mix.
    TIniFile ini(IniPath);
    ini.SetAutoFlush(false);
    ini.WriteBool("Program", "ReadAbout", ReadAbout);
    ini.WriteString("Program", "HTMLPath", HTMLPath);
    ini.WriteBool("Program", "ShowSplash", ShowSplash);
    ini.WriteBool("Program", "useExcel", useExcel);
    ini.WriteBool("Program", "exportSelected", exportSelected);
    ini.WriteBool("Program", "showToolbar", showToolbar);
    ini.WriteInteger("Program", "toolSetting", toolSetting);
    ini.WriteString("Program", "savePath", savePath);
    ini.WriteBool("Program", "exportAll", exportAll);
    ini.WriteBool("Program", "exportExcel", exportExcel);
    ini.WriteString("Program", "csvSep", csvSep);
    ini.WriteBool("Program", "showCurrDate", showCurrDate);
    ini.WriteBool("Program", "showCurrValue", showCurrValue);
    ini.WriteString("Program", "Calc", Calc);

    ini.WriteInteger("Currency", "Source", Source);
    ini.WriteInteger("Currency", "Decimals", Decimals);
    ini.WriteString("Currency", "DecimalSeparator", std::string(1, DecimalSeparator));
    ini.WriteString("Currency", "ThousandSeparator", std::string(1, ThousandSeparator));
    ini.WriteBool("Currency", "useThousand", useThousand);

    ini.WriteBool("Internet", "useProxy", useProxy);
    ini.WriteString("Internet", "Proxy", Proxy);
    ini.WriteInteger("Internet", "Port", Port);
    ini.WriteBool("Internet", "useAuth", useAuth);
    ini.WriteBool("Internet", "useInternet", useInternet);
    ini.WriteBool("Internet", "checkOnStart", checkOnStart);
    ini.UpdateFile();
#endif
}

#ifndef TV_POCKETVANE
namespace {
Settings* instance = nullptr;
}

Settings* Settings::Instance() {
    if (!instance) instance = new Settings(ProgramPath("\\tallyvane2.ini"));
    return instance;
}

void Settings::Release() {
    std::unique_ptr<Settings> owned(instance);
    instance = nullptr;
    if (owned) owned->Save();
}

Settings* NumberSettings() { return Settings::Instance(); }
#else
namespace {
Settings* numberSettings = nullptr;
}

Settings* NumberSettings() { return numberSettings; }
void SetNumberSettings(Settings* settings) { numberSettings = settings; }
#endif
