#include "platform/inifiles.h"
#include "platform/sysutils.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

class IniFile : public ProgramFolderTest {
protected:
    std::string path = folder.File("t.ini");
};

TEST_F(IniFile, ReadsNamesIgnoringCaseAndTrimsAndUnquotesValues) {
    WriteAll(path,
             "; settings\r\n[Program]\r\n  Calc = \" my calc \" \r\nEmpty=\r\nNum= 42 \r\nBad=4x\r\n"
             "Flag=2\r\nSingle='q'\r\n[other]\nk=v\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("PROGRAM", "calc", "d"), " my calc ");
    EXPECT_EQ(ini.ReadString("Program", "Empty", "d"), "");
    EXPECT_EQ(ini.ReadString("Program", "Missing", "d"), "d");
    EXPECT_EQ(ini.ReadString("Nope", "Calc", "d"), "d");
    EXPECT_EQ(ini.ReadInteger("Program", "Num", 0), 42);
    EXPECT_EQ(ini.ReadInteger("Program", "Bad", 7), 7);
    EXPECT_EQ(ini.ReadInteger("Program", "Empty", 7), 7);
    EXPECT_TRUE(ini.ReadBool("Program", "Flag", false));
    EXPECT_EQ(ini.ReadString("Program", "Single", ""), "q");
    EXPECT_EQ(ini.ReadString("Other", "K", ""), "v");
    EXPECT_TRUE(ini.SectionExists("other"));
    EXPECT_TRUE(ini.ValueExists("program", "EMPTY"));
    TStringList keys;
    ini.ReadSection("Program", keys);
    EXPECT_EQ(keys.Count(), 6);
}

TEST_F(IniFile, WritesKeyByKeyKeepingEverythingElse) {
    WriteAll(path, "; keep me\r\n[Program]\r\nUnknown=1\r\ncalc=old\r\n\r\n[Currency]\r\n; note\r\nx=1\r\n");
    TIniFile ini(path);
    ini.WriteString("Program", "Calc", "new");
    ini.WriteString("Program", "Added", "a");
    ini.WriteInteger("Internet", "Port", 8080);
    ini.WriteBool("Currency", "useThousand", true);
    EXPECT_EQ(ReadAll(path),
              "; keep me\r\n[Program]\r\nUnknown=1\r\nCalc=new\r\nAdded=a\r\n\r\n[Currency]\r\n; note\r\nx=1\r\n"
              "useThousand=1\r\n[Internet]\r\nPort=8080\r\n");
    TIniFile again(path);
    EXPECT_EQ(again.ReadInteger("internet", "port", 0), 8080);
}

TEST_F(IniFile, ValuesWithEdgeBlanksOrQuotesSurviveARoundTrip) {
    TIniFile ini(path);
    for (const std::string value : {" ", " lead", "trail ", "\"quoted\"", "'x'", "", "plain"}) {
        ini.WriteString("S", "k", value);
        EXPECT_EQ(TIniFile(path).ReadString("S", "k", "default"), value) << "[" << value << "]";
    }
}

TEST_F(IniFile, HeldBackWritesReachTheFileInOneReplacement) {
    WriteAll(path, "; mine\r\n[A]\r\nk=1\r\n");
    TIniFile ini(path);
    ini.SetAutoFlush(false);
    ini.WriteString("A", "k", "2");
    ini.WriteString("B", "n", "3");
    EXPECT_EQ(ReadAll(path), "; mine\r\n[A]\r\nk=1\r\n");
    ini.UpdateFile();
    EXPECT_EQ(ReadAll(path), "; mine\r\n[A]\r\nk=2\r\n[B]\r\nn=3\r\n");
}

TEST_F(IniFile, AFileThatCannotBeWrittenRaisesUnableToWrite) {
    const std::string blocked = folder.File("data");  // a folder where the file should be
    TIniFile ini(blocked);
    try {
        ini.WriteString("S", "k", "v");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + blocked);
    }
    TIniFile missing(folder.File("nofolder/x.ini"));
    EXPECT_THROW(missing.WriteString("S", "k", "v"), Exception);
}
