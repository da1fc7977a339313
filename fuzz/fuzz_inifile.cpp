// INI reading on arbitrary bytes, and the settings built from them.
#include "currency/settings.h"
#include "fuzzenv.h"
#include "platform/inifiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzenv::Responder();
    const std::string path = fuzzenv::Folder() + "/t.ini";
    fuzzenv::WriteFile(path, data, size);
    TIniFile ini(path);
    TStringList keys;
    ini.ReadSection("Program", keys);
    for (int i = 0; i < keys.Count(); ++i) ini.ReadString("Program", keys[i], "");
    ini.ReadInteger("Currency", "Decimals", 2);
    ini.ReadBool("Internet", "useProxy", false);
    Settings settings(path);
    settings.Save();
    Settings again(path);  // a saved file reads back
    return 0;
}
