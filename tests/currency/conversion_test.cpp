#include "currency/settings.h"
#include "currency/srcpacific.h"
#include "platform/sysutils.h"
#include "support/datafile.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <memory>

class Conversion : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        WriteAll(DataFile("Pacific.XML"),
                 DataFileText({{"Dollar", "USD", "", "1", true, true},
                               {"Two", "", "", "2", true, true},
                               {"Four", "", "", "4", false, true},
                               {"OneHalf", "", "", "1.5", false, true},
                               {"Three", "", "", "3", true, true},
                               {"ZeroPer", "", "", "0", true, true},
                               {"ZeroUnits", "", "", "0", false, true}},
                              {}));
        source = std::make_unique<Pacific>();
        settings = Settings::Instance();
        settings->Decimals = 2;
        settings->DecimalSeparator = '.';
        settings->ThousandSeparator = ',';
        settings->useThousand = true;
    }
    void TearDown() override {
        source.reset();
        Settings::Release();
        ProgramFolderTest::TearDown();
    }
    CurrencyItem* C(const char* name) { return source->FindCurrency(name); }
    // The text of `amount` dollars, as a conversion window shows it.
    std::string Dollars(const std::string& amount) { return source->ConvertText(amount, C("Dollar"), C("Dollar")); }

    std::unique_ptr<Pacific> source;
    Settings* settings = nullptr;
};

TEST_F(Conversion, GoesThroughTheReferenceUnitHonouringBothKinds) {
    EXPECT_DOUBLE_EQ(static_cast<double>(source->Convert(C("Two"), 1, C("Four"))), 0.125);
    EXPECT_DOUBLE_EQ(static_cast<double>(source->Convert(C("OneHalf"), 1, C("Three"))), 4.5);
    EXPECT_EQ(source->Convert(C("ZeroPer"), 1, C("Two")), 0);
    EXPECT_EQ(source->Convert(C("Two"), 1, C("ZeroPer")), 0);
    EXPECT_EQ(source->Convert(C("Two"), 1, C("ZeroUnits")), 0);
    EXPECT_EQ(source->Convert(nullptr, 1, C("Two")), 0);
    EXPECT_EQ(source->Convert(C("Two"), 0, C("Four")), 0);
    C("Two")->SetValue(1e300);
    EXPECT_EQ(source->Convert(C("OneHalf"), 1e4900L, C("Two")), 0);  // an overflow yields 0
}

TEST_F(Conversion, AmountTextsThatAreEmptyBadOrZeroGiveZero) {
    EXPECT_EQ(source->ConvertText("1", nullptr, C("Two")), "");
    EXPECT_EQ(source->ConvertText("1", C("Two"), nullptr), "");
    for (const char* text : {"", "abc", "0", "0.00", "1.2.3"})
        EXPECT_EQ(source->ConvertText(text, C("Two"), C("Four")), "0") << text;
    // A zero result of a real amount is formatted like any result.
    EXPECT_EQ(source->ConvertText("5", C("Two"), C("ZeroPer")), "0.00");
    EXPECT_EQ(source->ConvertText("1", C("Two"), C("Four")), "0.13");
}

TEST_F(Conversion, GroupsDigitsAndRoundsHalfAwayFromZero) {
    EXPECT_EQ(Dollars("12345.678"), "12,345.68");
    EXPECT_EQ(Dollars("1234567.891"), "1,234,567.89");
    EXPECT_EQ(Dollars("123.4"), "123.40");
    EXPECT_EQ(Dollars("-1234.5"), "-1,234.50");
    EXPECT_EQ(Dollars("-123.45"), "-123.45");
    EXPECT_EQ(Dollars("0.125"), "0.13");
    EXPECT_EQ(Dollars("-0.125"), "-0.13");
    settings->Decimals = 0;
    EXPECT_EQ(Dollars("12345"), "12,345");
    EXPECT_EQ(Dollars("1234"), "1,234");
    EXPECT_EQ(Dollars("999"), "999");
    EXPECT_EQ(Dollars("2.5"), "3");
    settings->useThousand = false;
    EXPECT_EQ(Dollars("1234567"), "1234567");
    // Grouping never touches an exponent form.
    settings->useThousand = true;
    EXPECT_EQ(Dollars("1e20"), "1E20");
}

TEST_F(Conversion, ThousandsSeparatorsAreDroppedWhereverTheyStand) {
    EXPECT_DOUBLE_EQ(static_cast<double>(source->ParseNumber("1,2,3")), 123);
    settings->useThousand = false;
    EXPECT_DOUBLE_EQ(static_cast<double>(source->ParseNumber("1,234.5")), 1234.5);
}

TEST_F(Conversion, UserSeparatorsDifferentFromTheSystems) {
    settings->DecimalSeparator = ',';
    settings->ThousandSeparator = '.';
    EXPECT_DOUBLE_EQ(static_cast<double>(source->ParseNumber("1.234,5")), 1234.5);
    EXPECT_EQ(Dollars("1.234,5"), "1.234,50");
    EXPECT_EQ(Dollars("-1234,5"), "-1.234,50");

    // A system that writes "," for decimals, with the user keeping ".".
    SetSystemDecimalSeparator(',');
    SetSystemThousandSeparator('.');
    settings->DecimalSeparator = '.';
    settings->ThousandSeparator = ',';
    EXPECT_EQ(Dollars("1,234.5"), "1,234.50");
}

TEST_F(Conversion, EqualSeparatorsReadAsDecimal) {
    settings->DecimalSeparator = ',';
    settings->ThousandSeparator = ',';
    settings->useThousand = false;
    EXPECT_DOUBLE_EQ(static_cast<double>(source->ParseNumber("2,5")), 2.5);
}

TEST_F(Conversion, DecimalsOutsideTheRangeAreClamped) {
    settings->useThousand = false;
    settings->Decimals = -3;
    EXPECT_EQ(Dollars("2.5"), "3");
    settings->Decimals = 40;
    EXPECT_EQ(Dollars("1"), "1." + std::string(18, '0'));
}

TEST_F(Conversion, ChangedSettingsApplyToTheNextConversion) {
    EXPECT_EQ(Dollars("1000"), "1,000.00");
    settings->Decimals = 3;
    settings->useThousand = false;
    EXPECT_EQ(Dollars("1000"), "1000.000");
}
