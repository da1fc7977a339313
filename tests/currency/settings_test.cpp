#include "currency/settings.h"
#include "platform/inifiles.h"
#include "platform/sysutils.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>

class SettingsFile : public ProgramFolderTest {
protected:
    void TearDown() override {
        try {
            Settings::Release();
        } catch (...) {
        }
        ProgramFolderTest::TearDown();
    }
    std::string ini() const { return folder.File("tallyvane2.ini"); }
};

TEST_F(SettingsFile, FirstStartUsesDefaultsAndWritesAllKeysInOrder) {
    SetSystemDecimalSeparator(',');
    SetSystemThousandSeparator('.');
    Settings* s = Settings::Instance();
    EXPECT_EQ(Settings::Instance(), s);
    EXPECT_EQ(s->Decimals, 2);
    EXPECT_EQ(s->DecimalSeparator, ',');
    EXPECT_EQ(s->ThousandSeparator, '.');
    EXPECT_TRUE(s->ShowSplash);
    EXPECT_TRUE(s->showToolbar);
    EXPECT_TRUE(s->useInternet);
    EXPECT_EQ(s->Calc, "calc.exe");
    EXPECT_EQ(s->csvSep, ",");
    EXPECT_EQ(s->ProductName, "Tallyvane");
    EXPECT_EQ(s->VersionText, "2.3 - April 5, 2003");
    EXPECT_EQ(s->IniPath, ini());
    EXPECT_FALSE(std::filesystem::exists(ini()));  // nothing written before the release
    Settings::Release();
    EXPECT_EQ(ReadAll(ini()),
              "[Program]\r\nReadAbout=0\r\nHTMLPath=\r\nShowSplash=1\r\nuseExcel=1\r\nexportSelected=1\r\n"
              "showToolbar=1\r\ntoolSetting=0\r\nsavePath=\r\nexportAll=0\r\nexportExcel=1\r\ncsvSep=,\r\n"
              "showCurrDate=0\r\nshowCurrValue=0\r\nCalc=calc.exe\r\n"
              "[Currency]\r\nSource=0\r\nDecimals=2\r\nDecimalSeparator=,\r\nThousandSeparator=.\r\nuseThousand=0\r\n"
              "[Internet]\r\nuseProxy=0\r\nProxy=\r\nPort=0\r\nuseAuth=0\r\nuseInternet=1\r\ncheckOnStart=0\r\n");
}

TEST_F(SettingsFile, StoredValuesAreReadWithTheirQuirks) {
    WriteAll(ini(),
             "; mine\r\n[Currency]\r\nDecimalSeparator=,;\r\nThousandSeparator=\r\nDecimals=abc\r\nSource=1\r\n"
             "[Internet]\r\nuseProxy=2\r\nProxy=proxy.example\r\nPort=3128\r\n"
             "[Program]\r\ncsvSep=\" \"\r\nCalc=gnome-calculator\r\nFuture=keep\r\n");
    Settings* s = Settings::Instance();
    EXPECT_EQ(s->DecimalSeparator, ',');
    EXPECT_EQ(s->ThousandSeparator, ',');  // empty: the system's
    EXPECT_EQ(s->Decimals, 2);
    EXPECT_EQ(s->Source, 1);
    EXPECT_TRUE(s->useProxy);
    EXPECT_EQ(s->Port, 3128);
    EXPECT_EQ(s->csvSep, " ");
    s->UserName = "user";
    s->Password = "secret";
    Settings::Release();
    const std::string text = ReadAll(ini());
    EXPECT_NE(text.find("; mine\r\n"), std::string::npos);
    EXPECT_NE(text.find("Future=keep\r\n"), std::string::npos);
    EXPECT_NE(text.find("useProxy=1\r\n"), std::string::npos);
    EXPECT_NE(text.find("csvSep=\" \"\r\n"), std::string::npos);
    EXPECT_EQ(text.find("secret"), std::string::npos);
    EXPECT_EQ(text.find("user"), std::string::npos);
    Settings* again = Settings::Instance();
    EXPECT_EQ(again->UserName, "");
    EXPECT_EQ(again->csvSep, " ");
    EXPECT_EQ(again->Calc, "gnome-calculator");
}

TEST_F(SettingsFile, AFailedSaveStillFreesTheObjectAndReportsThePath) {
    Settings::Instance()->Decimals = 4;
    std::filesystem::create_directory(ini());  // a folder in the file's place
    try {
        Settings::Release();
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + ini());
    }
    std::filesystem::remove(ini());
    EXPECT_EQ(Settings::Instance()->Decimals, 2);  // a fresh object, read anew
}
