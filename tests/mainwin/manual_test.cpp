// The main program's manual against the running program: the keys it lists
// are the commands' own, and it names controls by the captions they show.
#include "export/exportwin.h"
#include "mainwin/appfixture.h"
#include "mainwin/settingswin.h"
#include "windows/editcurrencywin.h"
#include "windows/rateswin.h"

#include <gtest/gtest.h>

namespace {
std::string Manual() { return ReadAll(std::string(TV_SOURCE_DIR) + "/manual/index.html"); }

// A caption as the user reads it: without its accelerator mark and outer blanks.
std::string Shown(const std::string& caption) {
    std::string out;
    for (char c : caption)
        if (c != '&') out += c;
    const size_t first = out.find_first_not_of(' '), last = out.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : out.substr(first, last - first + 1);
}
}  // namespace

TEST_F(MainWindow, TheManualListsEveryCommandKeyAndNoOther) {
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
    Start();
    const std::string manual = Manual();
    int keys = 0;
    for (TMenuItem* menu : {MainForm->File1, MainForm->Edit1, MainForm->Window1, MainForm->Help1})
        for (int i = 0; i < menu->Count(); ++i) {
            TAction* action = menu->Items(i)->Action();
            if (!action || action->Caption().empty()) continue;
            const std::string name = Shown(action->Caption());
            if (action->ShortCut().empty()) {
                EXPECT_EQ(manual.find("</kbd> " + name), std::string::npos) << name << " has no key";
            } else {
                ++keys;
                EXPECT_NE(manual.find("<kbd>" + action->ShortCut() + "</kbd> " + name), std::string::npos) << name;
            }
        }
    size_t listed = 0;
    for (size_t at = manual.find("</kbd> "); at != std::string::npos; at = manual.find("</kbd> ", at + 1)) ++listed;
    EXPECT_EQ(listed, static_cast<size_t>(keys));
    EXPECT_EQ(manual.find("Every command"), std::string::npos);
}

TEST_F(MainWindow, TheManualNamesControlsByTheirOwnCaptions) {
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
    Start();
    const std::string manual = Manual();
    auto expectNamed = [&](const std::string& caption) {
        EXPECT_NE(manual.find("<b>" + Shown(caption) + "</b>"), std::string::npos) << caption;
    };
    // The rate kinds, as the currency editor words them for the shipped sources.
    EditCurrencyForm->SetCurrency(MainForm->CurrentSource, nullptr);
    expectNamed(EditCurrencyForm->RadioButton1->Caption());
    expectNamed(EditCurrencyForm->RadioButton2->Caption());
    // The export dialog's choice and its targets.
    ExportForm->Show();
    expectNamed(ExportForm->CheckBox1->Caption());
    for (int i = 0; i < ExportForm->ComboBox1->Items()->Count(); ++i) expectNamed(ExportForm->ComboBox1->Items()->Get(i));
    ExportForm->Hide();
    // The settings the manual sends the user to.
    Key(Qt::Key_S, Qt::ControlModifier);
    TSettingsForm* settings = MainForm->SettingsWindow;
    ASSERT_NE(settings, nullptr);
    for (TCheckBox* box : {settings->ProxyCheck, settings->UserAuthCheck, settings->AutoUpdateCheck,
                           settings->CheckBox2, settings->CheckBox3})
        expectNamed(box->Caption());
    // The rates window's lists.
    Key(Qt::Key_R, Qt::ControlModifier);
    ASSERT_NE(MainForm->RatesWindow, nullptr);
    for (TLabel* label : {MainForm->RatesWindow->AllCaptionLabel, MainForm->RatesWindow->SelectedCaptionLabel,
                          MainForm->RatesWindow->FilterLabel, MainForm->RatesWindow->BaseLabel})
        expectNamed(label->Caption());
}
