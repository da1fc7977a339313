#include "currency/settings.h"
#include "currency/srcimf.h"
#include "currency/srcpacific.h"
#include "support/datafile.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <memory>

class TrayData : public ProgramFolderTest {};

TEST_F(TrayData, KeepsOnlySelectedCurrenciesAndTheirPairs) {
    WriteAll(DataFile("Pacific.XML"),
             DataFileText({{"Kept", "K", "a date much longer than nineteen", "2", true, true},
                           {"Other", "", "", "3", true, false},
                           {"Lower", "", "", "4", true, false}},
                          {{"Both", "Kept", "Kept"}, {"Half", "Kept", "Other"}}));
    Pacific source;
    int count = 0;
    for (CurrItr it = source.GetCurrencies(); it.HasNext(); it.Next()) ++count;
    EXPECT_EQ(count, 1);
    EXPECT_STREQ(source.FindCurrency("Kept")->GetDate(), "a date much longer ");
    EXPECT_NE(source.FindPreferred("Both"), nullptr);
    EXPECT_EQ(source.FindPreferred("Half"), nullptr);
}

TEST_F(TrayData, NeverWritesTheMainProgramsFiles) {
    const std::string rates = DataFileText({{"Euro", "EUR", "d", "0.9", true, true}, {"Yen", "", "", "1", true, false}}, {},
                                           "IMF");
    const std::string ini = "[Currency]\r\nDecimals=3\r\nSource=1\r\n";
    WriteAll(DataFile("IMF.XML"), rates);
    WriteAll(folder.File("tallyvane2.ini"), ini);
    {
        auto settings = std::make_unique<Settings>(folder.File("tallyvane2.ini"));
        SetNumberSettings(settings.get());
        EXPECT_EQ(settings->Decimals, 3);
        Imf imf;
        // Linked currencies come in unselected, derived from the selected euro.
        ASSERT_NE(imf.FindCurrency("German Mark"), nullptr);
        EXPECT_FALSE(imf.FindCurrency("German Mark")->IsSelected());
        EXPECT_EQ(imf.FindCurrency("Yen"), nullptr);
        EXPECT_EQ(imf.ConvertText("1", imf.FindCurrency("Euro"), imf.FindCurrency("Euro")), "1.000");
        imf.FindCurrency("Euro")->SetValue(5);
        settings->Decimals = 7;
        settings->Save();
        SetNumberSettings(nullptr);
    }
    EXPECT_EQ(ReadAll(DataFile("IMF.XML")), rates);
    EXPECT_EQ(ReadAll(folder.File("tallyvane2.ini")), ini);
}

TEST_F(TrayData, OnlyAnExactYesSelects) {
    std::string rates = DataFileText({{"Euro", "EUR", "d", "0.9", true, true},
                                      {"Lower", "", "", "2", true, true},
                                      {"Missing", "", "", "3", true, true},
                                      {"No", "", "", "4", true, false}},
                                     {}, "IMF");
    // "yes" in lower case, and a currency without the element at all.
    const std::string yes = "<NAME>Lower</NAME>";
    size_t at = rates.find("<SELECTED>YES</SELECTED>", rates.find(yes));
    rates.replace(at, 24, "<SELECTED>yes</SELECTED>");
    at = rates.find("    <SELECTED>YES</SELECTED>\r\n", rates.find("<NAME>Missing</NAME>"));
    rates.erase(at, 30);
    WriteAll(DataFile("IMF.XML"), rates);
    Imf imf;
    int count = 0, selected = 0;
    for (CurrItr it = imf.GetCurrencies(); it.HasNext();) {
        ++count;
        selected += it.Next()->IsSelected();
    }
    EXPECT_EQ(count, 12);  // the euro and its eleven linked currencies, which are not offered
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(imf.FindCurrency("Lower"), nullptr);
    EXPECT_EQ(imf.FindCurrency("Missing"), nullptr);
}
