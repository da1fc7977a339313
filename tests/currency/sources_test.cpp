#include "currency/settings.h"
#include "currency/srcimf.h"
#include "currency/srcpacific.h"
#include "support/datafile.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <memory>

class Sources : public ProgramFolderTest {
protected:
    std::unique_ptr<Imf> LoadImf(const std::vector<FileCurrency>& currencies) {
        WriteAll(DataFile("IMF.XML"), DataFileText(currencies, {}, "IMF"));
        return std::make_unique<Imf>();
    }
};

TEST_F(Sources, EachSourceReadsItsOwnFile) {
    WriteAll(DataFile("Pacific.XML"), DataFileText({{"P", "", "", "1", true, true}}, {}, "Pac"));
    WriteAll(DataFile("IMF.XML"), DataFileText({{"I", "", "", "1", true, true}}, {}, "IMF"));
    Pacific pacific;
    Imf imf;
    EXPECT_EQ(pacific.GetName(), "Pac");
    EXPECT_EQ(imf.GetName(), "IMF");
    EXPECT_NE(pacific.FindCurrency("P"), nullptr);
    EXPECT_EQ(pacific.GetFilePath(), folder.File("data/Pacific.XML"));
    EXPECT_EQ(imf.GetFilePath(), folder.File("data/IMF.XML"));
}

TEST_F(Sources, EuroLinkedCurrenciesFollowAPerUnitEuro) {
    auto imf = LoadImf({{"Euro", "EUR", "d", "0.9", true, true}});
    CurrencyItem* mark = imf->FindCurrency("German Mark");
    ASSERT_NE(mark, nullptr);
    EXPECT_NEAR(mark->Value, 1.760247, 1e-12);
    EXPECT_TRUE(mark->IsPerUnit());
    EXPECT_STREQ(mark->GetDate(), "Euro Linked");
    EXPECT_STREQ(mark->GetIso(), "");
    EXPECT_FALSE(mark->IsSelected());
    // All eleven, appended in table order after the euro.
    std::vector<std::string> names;
    for (CurrItr it = imf->GetCurrencies(); it.HasNext();) names.push_back(it.Next()->GetName());
    ASSERT_EQ(names.size(), 12u);
    EXPECT_EQ(names[1], "Austrian Schilling");
    EXPECT_EQ(names[11], "Portuguese Escudo");
}

TEST_F(Sources, EuroLinkedCurrenciesFollowAUnitsPerEuro) {
    auto imf = LoadImf({{"Euro", "EUR", "d", "1.25", false, true}});
    EXPECT_NEAR(imf->FindCurrency("French Franc")->Value, 5.247656, 1e-12);
}

TEST_F(Sources, RefreshKeepsSelectionAndIsoAndBringsDeletedOnesBack) {
    auto imf = LoadImf({{"Euro", "EUR", "d", "0.9", true, true},
                        {"Italian Lira", "ITL", "old", "1", false, true}});
    CurrencyItem* lira = imf->FindCurrency("Italian Lira");
    EXPECT_TRUE(lira->IsSelected());
    EXPECT_STREQ(lira->GetIso(), "ITL");
    EXPECT_TRUE(lira->IsPerUnit());
    imf->RemoveCurrency(imf->FindCurrency("Dutch Guilder"));
    imf->FindCurrency("Euro")->SetValue(1.0);
    imf->AddLinkedCurrencies();
    EXPECT_EQ(imf->FindCurrency("Italian Lira"), lira);
    EXPECT_NEAR(lira->Value, 1936.27, 1e-9);
    ASSERT_NE(imf->FindCurrency("Dutch Guilder"), nullptr);
    EXPECT_FALSE(imf->FindCurrency("Dutch Guilder")->IsSelected());
}

TEST_F(Sources, NoUsableEuroLeavesLinkedCurrenciesAlone) {
    auto none = LoadImf({{"German Mark", "DEM", "old", "7", true, true}});
    EXPECT_DOUBLE_EQ(none->FindCurrency("German Mark")->Value, 7);
    EXPECT_EQ(none->FindCurrency("French Franc"), nullptr);
    none.reset();

    auto zero = LoadImf({{"Euro", "EUR", "d", "0", false, true}, {"German Mark", "DEM", "old", "7", true, true}});
    EXPECT_DOUBLE_EQ(zero->FindCurrency("German Mark")->Value, 7);
    EXPECT_EQ(zero->FindCurrency("French Franc"), nullptr);
}

TEST_F(Sources, ShippedRateFilesLoadWholeAndAgree) {
    CopyShippedData(folder.Path());
    const std::string shippedPacific = ReadAll(DataFile("Pacific.XML"));
    {
        auto pacific = std::make_unique<Pacific>();
        auto imf = std::make_unique<Imf>();
        EXPECT_TRUE(dialogs.Boxes().empty());
        int pacificCount = 0, imfCount = 0;
        for (CurrItr it = pacific->GetCurrencies(); it.HasNext(); it.Next()) ++pacificCount;
        for (CurrItr it = imf->GetCurrencies(); it.HasNext(); it.Next()) ++imfCount;
        EXPECT_EQ(pacificCount, 32);
        EXPECT_EQ(imfCount, 32 + 11);
        EXPECT_TRUE(pacific->GetPreferreds().HasNext());
        EXPECT_TRUE(imf->GetPreferreds().HasNext());
        EXPECT_EQ(imf->GetHost(), "www.imf.org");
        EXPECT_EQ(imf->GetUpdateUrl(), "/external/np/fin/data/rms_five.aspx");
        // Both tables value one euro alike in dollars, whatever their rate kinds.
        for (CurrSource* s : {static_cast<CurrSource*>(pacific.get()), static_cast<CurrSource*>(imf.get())}) {
            long double dollars = s->Convert(s->FindCurrency("Euro"), 1, s->FindCurrency("U.S. Dollar"));
            EXPECT_NEAR(static_cast<double>(dollars), 0.791673 / 0.77071, 1e-5) << s->GetName();
        }
        Settings::Release();
    }
    EXPECT_EQ(ReadAll(DataFile("Pacific.XML")), shippedPacific);
}
