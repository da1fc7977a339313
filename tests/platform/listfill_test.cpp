// Filling a list control with many texts at once: the same entries, in the
// same order, as adding them one by one, in one insertion, with the choice
// kept and no event fired.
#include "platform/formkit.h"
#include "support/listwatch.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

namespace {
class ListFill : public GuiTest {};

// Mixed letter case, equal texts that differ only in case, an exact repeat.
const std::vector<std::string> kTexts = {"yen", "Euro", "baht", "euro", "Austral", "EURO", "Zloty", "baht", "Dinar"};

// Two sorted controls holding "euro" and "Peso" with one chosen: one to fill a
// text at a time, the other to fill at once.
template <typename List>
std::pair<List*, List*> SortedTwins(TForm& form, int chosen) {
    auto* byAdd = new List(&form, &form);
    auto* atOnce = new List(&form, &form);
    for (List* l : {byAdd, atOnce}) {
        l->SetSorted(true);
        for (const char* s : {"Peso", "euro"}) l->Items()->Add(s);
        l->SetItemIndex(chosen);
    }
    for (const std::string& s : kTexts) byAdd->Items()->Add(s);
    return {byAdd, atOnce};
}
}  // namespace

TEST_F(ListFill, ASortedComboTakesTheTextsInOneGoInTheOrderOfOneAddEach) {
    TForm form(nullptr);
    auto [byAdd, atOnce] = SortedTwins<TComboBox>(form, 0);  // "euro" chosen
    int changes = 0;
    atOnce->OnChange = [&](TObject*) { ++changes; };
    Insertions inserted(atOnce);
    atOnce->Items()->AddStrings(kTexts);
    EXPECT_EQ(Entries(atOnce->Items()), Entries(byAdd->Items()));
    EXPECT_EQ(Entries(atOnce->Items()),
              (std::vector<std::string>{"Austral", "baht", "baht", "Dinar", "euro", "Euro", "euro", "EURO", "Peso",
                                        "yen", "Zloty"}));
    EXPECT_EQ(inserted.times, 1);
    EXPECT_EQ(atOnce->ItemIndex(), 4);  // the same "euro" as before, the first of its equals
    EXPECT_EQ(atOnce->Text(), "euro");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(atOnce->Items()->IndexOf("ZLOTY"), 10);

    // Into an empty list: nothing is chosen, as in a fresh list.
    atOnce->Items()->Clear();
    atOnce->Items()->AddStrings(kTexts);
    EXPECT_EQ(atOnce->ItemIndex(), -1);
    EXPECT_EQ(atOnce->Items()->Count(), static_cast<int>(kTexts.size()));
    atOnce->Items()->AddStrings({});
    EXPECT_EQ(atOnce->Items()->Count(), static_cast<int>(kTexts.size()));
}

TEST_F(ListFill, AnUnsortedListAppendsAndAnEditableComboKeepsItsText) {
    TForm form(nullptr);
    auto* combo = new TComboBox(&form, &form, csDropDown);
    combo->Items()->Add("first");
    combo->SetText("typed");
    combo->Items()->AddStrings({"b", "A"});
    EXPECT_EQ(Entries(combo->Items()), (std::vector<std::string>{"first", "b", "A"}));
    EXPECT_EQ(combo->Text(), "typed");

    auto* list = new TListBox(&form, &form);
    list->Items()->AddStrings({"b", "A"});
    EXPECT_EQ(Entries(list->Items()), (std::vector<std::string>{"b", "A"}));
}

TEST_F(ListFill, ASortedListBoxTakesTheTextsInOneGoAndKeepsTheChoiceQuietly) {
    TForm form(nullptr);
    auto [byAdd, atOnce] = SortedTwins<TListBox>(form, 1);  // "Peso" chosen
    int clicks = 0;
    atOnce->OnClick = [&](TObject*) { ++clicks; };
    form.Show();
    Insertions inserted(atOnce);
    atOnce->Items()->AddStrings(kTexts);
    EXPECT_EQ(Entries(atOnce->Items()), Entries(byAdd->Items()));
    EXPECT_EQ(inserted.times, 1);
    EXPECT_EQ(inserted.rows, static_cast<int>(kTexts.size()) + 2);
    EXPECT_EQ(atOnce->ItemIndex(), 8);
    EXPECT_EQ(atOnce->Items()->Get(atOnce->ItemIndex()), "Peso");
    EXPECT_EQ(clicks, 0);
}
