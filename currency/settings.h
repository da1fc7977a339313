// The main program's settings, kept in tallyvane2.ini in the program folder.
// Read when the object is created; written key by key only by Save, which the
// release at shutdown runs. Fields are read and changed directly.
#pragma once

#include <string>

class Settings {
public:
    explicit Settings(const std::string& iniPath);
    ~Settings() = default;
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

#ifndef TV_POCKETVANE
    // The one object, created (and read) on first use from the program folder.
    static Settings* Instance();
    // Saves and frees the object; it is freed even when saving throws
    // "Unable to write to <path>", which then reaches the caller.
    static void Release();
#endif
    // Writes every key; throws Exception "Unable to write to <path>". Does
    // nothing in the tray program, which never writes this file.
    void Save();

    int Source = 0;
    int Decimals = 2;
    char DecimalSeparator;
    char ThousandSeparator;
    bool useThousand = false;
    bool useProxy = false;
    bool useInternet = true;
    std::string Proxy;
    int Port = 0;
    bool useAuth = false;
    std::string UserName;  // memory only
    std::string Password;  // memory only
    bool checkOnStart = false;
    std::string ProductName;
    std::string VersionText;
    std::string WebAddress;
    std::string MailAddress;
    std::string AuthorName;
    bool ReadAbout = false;
    std::string HTMLPath;
    std::string savePath;
    bool ShowSplash = true;
    bool useExcel = true;
    bool exportSelected = true;
    bool showToolbar = true;
    int toolSetting = 0;
    bool exportAll = false;
    bool exportExcel = true;
    std::string csvSep = ",";
    bool showCurrDate = false;
    bool showCurrValue = false;
    std::string Calc = "calc.exe";
    std::string IniPath;
};

// The settings that amount texts follow: the one object of the main program,
// or in the tray program the object its main form created and registered.
Settings* NumberSettings();
#ifdef TV_POCKETVANE
void SetNumberSettings(Settings* settings);
#endif
