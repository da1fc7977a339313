#include "platform/classes.h"
#include "platform/sysutils.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

class NumberText : public ProgramFolderTest {};

TEST(Text, PositionsCopyAndTrim) {
    EXPECT_EQ(Pos("b", "abcb"), 2);
    EXPECT_EQ(Pos("x", "abc"), 0);
    EXPECT_EQ(Pos("", "abc"), 0);
    EXPECT_EQ(PosEx("b", "abcb", 3), 4);
    EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Copy("abc", 3, 10), "c");
    EXPECT_EQ(Copy("abc", 4, 1), "");
    EXPECT_EQ(Copy("abc", 0, 2), "ab");
    EXPECT_EQ(Trim(" \t\r\n x y \x01"), "x y");
    EXPECT_TRUE(SameText("Euro", "EURO"));
    EXPECT_LT(CompareText("abc", "ABD"), 0);
}

TEST(Text, StrictIntegers) {
    EXPECT_EQ(StrToInt(" -42 "), -42);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToIntDef("12abc", 5), 5);
    EXPECT_EQ(StrToIntDef("", 5), 5);
    EXPECT_EQ(StrToIntDef("-", 5), 5);
    EXPECT_EQ(StrToIntDef("99999999999", 5), 5);
    EXPECT_EQ(StrToIntDef("2147483647", 0), 2147483647);
    EXPECT_EQ(StrToIntDef("-2147483648", 0), -2147483647 - 1);
    EXPECT_THROW(StrToInt("1.5"), EConvertError);
    EXPECT_EQ(IntToStr(-1234), "-1234");
}

TEST_F(NumberText, StrictFloatsFollowTheSystemDecimalCharacter) {
    EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat("1.5")), 1.5);
    EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat(" -2.5e3 ")), -2500);
    EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat(".5")), 0.5);
    EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat("5.")), 5);
    long double v;
    for (const char* bad : {"", "abc", "1,5", "1.2.3", "1e", "--1", "inf", "nan", "0x10", "1 2"})
        EXPECT_FALSE(TryStrToFloat(bad, v)) << bad;
    EXPECT_FALSE(TryStrToFloat("1e999999", v));
    ASSERT_TRUE(TryStrToFloat("1e-999999", v));
    EXPECT_EQ(v, 0);

    SetSystemDecimalSeparator(',');
    EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat("1,5")), 1.5);
    EXPECT_FALSE(TryStrToFloat("1.5", v));
    EXPECT_EQ(FloatToStr(2.25L), "2,25");
}

TEST_F(NumberText, FixedFormatRoundsHalvesAwayFromZero) {
    EXPECT_EQ(FloatToStrFixed(0.125L, 18, 2), "0.13");
    EXPECT_EQ(FloatToStrFixed(-0.125L, 18, 2), "-0.13");
    EXPECT_EQ(FloatToStrFixed(2.5L, 18, 0), "3");
    EXPECT_EQ(FloatToStrFixed(0.005L, 18, 2), "0.01");
    EXPECT_EQ(FloatToStrFixed(0.004L, 18, 2), "0.00");
    EXPECT_EQ(FloatToStrFixed(-0.001L, 18, 2), "0.00");
    EXPECT_EQ(FloatToStrFixed(9.999L, 18, 2), "10.00");
    EXPECT_EQ(FloatToStrFixed(999.5L, 18, 0), "1000");
    EXPECT_EQ(FloatToStrFixed(0, 18, 3), "0.000");
    EXPECT_EQ(FloatToStrFixed(1234567.891L, 18, 2), "1234567.89");
    EXPECT_EQ(FloatToStrFixed(0.000123L, 18, 5), "0.00012");
    EXPECT_EQ(FloatToStrFixed(1e20L, 18, 2), "1E20");
}

TEST_F(NumberText, GeneralAndStreamForms) {
    EXPECT_EQ(FloatToStr(0), "0");
    EXPECT_EQ(FloatToStr(1.5L), "1.5");
    EXPECT_EQ(FloatToStr(100), "100");
    EXPECT_EQ(FloatToStr(0.001L), "0.001");
    EXPECT_EQ(FloatToStr(1.5e-10L), "1.5E-10");
    EXPECT_EQ(FloatToStr(1e20L), "1E20");
    EXPECT_EQ(DoubleToStreamText(0.787564), "0.787564");
    EXPECT_EQ(DoubleToStreamText(1936.27), "1936.27");
    EXPECT_EQ(DoubleToStreamText(1234567.8), "1.23457e+06");
    EXPECT_EQ(DoubleToStreamText(9e-05), "9e-05");
    EXPECT_EQ(DoubleToStreamText(0), "0");
    EXPECT_EQ(DoubleToStreamText(100000), "100000");
}

TEST(Text, Utf8FieldsAndWindows1252) {
    EXPECT_TRUE(IsValidUtf8("Złoty €"));
    EXPECT_FALSE(IsValidUtf8("caf\xE9"));
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));   // overlong
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));   // cut short
    EXPECT_EQ(Cp1252ToUtf8("caf\xE9 \x80"), "café €");
    // Mixed: each well-formed character stays, each other byte is one character.
    EXPECT_EQ(Cp1252ToUtf8("Złoty \xFF 日本円 \xE2\x82 \xC0\x80 \xED\xA0\x80"),
              "Złoty ÿ 日本円 â‚ À€ í\xC2\xA0€");
    // Limits count characters, and a field holds four bytes for each.
    EXPECT_EQ(CutCharacters("ab€c", 3), "ab€");
    EXPECT_EQ(CutCharacters("a\x80\x80\x80\x80\x80", 1), "a\x80\x80\x80");
    char field[FieldSize(4)];
    CopyToField(field, sizeof field, "ab€de");
    EXPECT_STREQ(field, "ab€d");
    CopyToField(field, sizeof field, nullptr);
    EXPECT_STREQ(field, "");
}

TEST(StringList, SplitsLinesAndIgnoresCase) {
    TStringList list;
    list.SetText("a\r\nb\rc\nd\r\n\r\ne\0ignored");
    ASSERT_EQ(list.Count(), 6);
    EXPECT_EQ(list[3], "d");
    EXPECT_EQ(list[4], "");
    EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n\r\ne\r\n");
    EXPECT_EQ(list.IndexOf("C"), 2);
    EXPECT_EQ(list.IndexOf("zz"), -1);

    TStringList sorted;
    sorted.SetSorted(true);
    sorted.Add("banana");
    sorted.Add("Apple");
    sorted.Add("cherry");
    EXPECT_EQ(sorted[0], "Apple");
    EXPECT_EQ(sorted[2], "cherry");
    EXPECT_THROW(sorted.Delete(3), Exception);
}

class Files : public ProgramFolderTest {};

TEST_F(Files, AtomicWriteReplacesWholeAndRefusesWhatItCannotWrite) {
    const std::string path = folder.File("a.txt");
    ASSERT_TRUE(WriteFileAtomic(path, "one"));
    ASSERT_TRUE(WriteFileAtomic(path, "two"));
    EXPECT_EQ(ReadAll(path), "two");
    EXPECT_FALSE(WriteFileAtomic(folder.File("missing/a.txt"), "x"));
    EXPECT_FALSE(WriteFileAtomic(folder.File("data"), "x"));  // a folder in the file's place
    EXPECT_TRUE(DirectoryExists(folder.File("data")));
}

TEST_F(Files, ReadsWindows1252FilesAsUtf8AndMapsProgramPaths) {
    WriteAll(folder.File("old.txt"), "Z\xB3oty");
    std::string text;
    ASSERT_TRUE(ReadTextFile(folder.File("old.txt"), text));
    EXPECT_EQ(text, "Z\xC2\xB3oty");
    EXPECT_FALSE(ReadTextFile(folder.File("none.txt"), text));
    EXPECT_EQ(ProgramPath("\\data\\IMF.XML"), folder.Path() + "/data/IMF.XML");
    EXPECT_EQ(ExtractFileName("/x/y.XML"), "y.XML");
    EXPECT_EQ(ExtractFileExt("/x/y.tar.gz"), ".gz");
    EXPECT_EQ(ExtractFilePath("/x/y"), "/x/");
}
