// The settings window, worked through its controls.
#include "currency/currsource.h"
#include "mainwin/appfixture.h"
#include "mainwin/settingswin.h"
#include "support/layoutcheck.h"
#include "windows/worldwin.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace {
class SettingsWindow : public MainWindow {
protected:
    void Open(const std::string& ini = "") {
        Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n" + ini);
        Start();
        Key(Qt::Key_S, Qt::ControlModifier);
        ASSERT_NE(MainForm->SettingsWindow, nullptr);
        w = MainForm->SettingsWindow;
    }
    void Click(TControl* c) { QTest::mouseClick(c->Handle(), Qt::LeftButton, {}, QPoint(5, 5)); }
    void Type(TEdit* edit, const std::string& text) {
        static_cast<QLineEdit*>(edit->Handle())->selectAll();
        QTest::keyClick(edit->Handle(), Qt::Key_Delete);
        QTest::keyClicks(edit->Handle(), QString::fromStdString(text));
    }
    void Pick(TComboBox* list, int index) {
        auto* box = static_cast<QComboBox*>(list->Handle());
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    void Page(int index) {
        auto* list = static_cast<QListWidget*>(w->ListView1->Handle());
        QRect r = list->visualItemRect(list->item(index));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    }
    Settings* S() { return MainForm->AppSettings; }
    TSettingsForm* w = nullptr;
};
}  // namespace

TEST_F(SettingsWindow, TheToggleOpensAndClosesWithoutApplying) {
    Open();
    EXPECT_TRUE(MainForm->SettingsButton->Down());
    EXPECT_EQ(w->Caption(), "Settings");
    EXPECT_TRUE(w->CurrencyPanel->Visible());
    EXPECT_FALSE(w->InternetPanel->Visible());
    Click(w->CheckBox3);
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(MainForm->SettingsWindow, nullptr);
    EXPECT_FALSE(MainForm->SettingsButton->Down());
    EXPECT_FALSE(S()->showCurrValue);
}

TEST_F(SettingsWindow, OkAppliesEveryControl) {
    Open("Calc=calc.exe\r\n[Internet]\r\nPort=3128\r\n");
    Page(1);
    EXPECT_TRUE(w->InternetPanel->Visible());
    EXPECT_FALSE(w->Proxy->Enabled());
    Click(w->ProxyCheck);
    Type(w->Proxy, "  HTTP://Proxy.Example.ORG  ");
    Type(w->Port, "8a");
    Click(w->ProxyCheck);  // disabled again, but the texts are still applied
    EXPECT_FALSE(w->Port->Enabled());
    Click(w->UserAuthCheck);
    Click(w->AutoUpdateCheck);
    Page(2);
    Type(w->Edit1, "");
    Click(w->CheckBox2);
    Click(w->SplashCheck);
    Page(0);
    Pick(w->ComboBox2, 4);
    Click(w->CheckBox1);
    Click(w->OKButton);
    EXPECT_EQ(MainForm->SettingsWindow, nullptr);
    EXPECT_EQ(S()->Proxy, "proxy.example.org");
    EXPECT_EQ(S()->Port, 3128);  // not a number: kept
    EXPECT_FALSE(S()->useProxy);
    EXPECT_TRUE(S()->useAuth);
    EXPECT_TRUE(S()->checkOnStart);
    EXPECT_EQ(S()->csvSep, "");
    EXPECT_TRUE(S()->showCurrDate);
    EXPECT_TRUE(S()->ShowSplash);  // stored off, clicked on
    EXPECT_EQ(S()->Decimals, 4);
    EXPECT_TRUE(S()->useThousand);
}

TEST_F(SettingsWindow, ProxyAndPortTexts) {
    struct Case {
        const char* proxy;
        const char* port;
        const char* storedProxy;
        int storedPort;
    };
    const Case cases[] = {{"Cache.Local", "80", "cache.local", 80},
                          {"socks://Host", "-5", "socks://host", -5},
                          {"x http://y http://z", "", "y http://z", -5}};
    Open();
    for (const Case& c : cases) {
        if (!MainForm->SettingsWindow) Key(Qt::Key_S, Qt::ControlModifier);
        w = MainForm->SettingsWindow;
        Page(1);
        if (!w->ProxyCheck->Checked()) Click(w->ProxyCheck);
        EXPECT_TRUE(w->Proxy->Enabled());
        Type(w->Proxy, c.proxy);
        Type(w->Port, c.port);
        Click(w->OKButton);
        EXPECT_EQ(S()->Proxy, c.storedProxy);
        EXPECT_EQ(S()->Port, c.storedPort);
    }
}

TEST_F(SettingsWindow, SeparatorsAndTheSourceSwitchSurviveCancel) {
    Open();
    MainForm->OpenWorldWindow(-1, -1, "0");
    MainForm->OpenWorldWindow(-1, -1, "0");
    WorldClosedState.LeftSet = 3;
    Click(w->RadioButton2);
    EXPECT_EQ(S()->DecimalSeparator, ',');
    EXPECT_EQ(S()->ThousandSeparator, '.');
    Pick(w->ComboBox1, 1);
    EXPECT_EQ(MainForm->CurrentSource, MainForm->Sources[1]);
    EXPECT_EQ(S()->Source, 1);
    EXPECT_TRUE(MainForm->OpenWindows.empty());
    EXPECT_EQ(WorldClosedState.LeftSet, 3);  // closing all touches no memory
    EXPECT_NE(MainForm->SettingsWindow, nullptr);
    Click(w->CancelButton);
    EXPECT_EQ(S()->DecimalSeparator, ',');
    EXPECT_EQ(S()->Source, 1);
    QApplication::processEvents();
    EXPECT_TRUE(MainForm->MDIChildren().empty());
}

TEST_F(SettingsWindow, OpeningWithACommaTakesTheCommaPair) {
    Open("[Currency]\r\nDecimalSeparator=,\r\nThousandSeparator=\" \"\r\nDecimals=14\r\n");
    EXPECT_EQ(S()->ThousandSeparator, '.');
    EXPECT_TRUE(w->RadioButton2->Checked());
    EXPECT_EQ(w->ComboBox2->ItemIndex(), -1);
    Click(w->OKButton);
    EXPECT_EQ(S()->Decimals, 9);
}

TEST_F(SettingsWindow, TheCalculatorChooserStartsInTheProgramsFolder) {
    Open("Calc=/opt/tools/calc.exe\r\n");
    Page(2);
    dialogs.QueueFile("/usr/bin/gnome-calculator");
    Click(w->SpeedButton1);
    ASSERT_EQ(dialogs.FileDialogs().size(), 1u);
    EXPECT_EQ(dialogs.FileDialogs()[0].initialDir, "/opt/tools");
    EXPECT_EQ(dialogs.FileDialogs()[0].filter, "Programs|*.exe|All Files|*.*");
    EXPECT_EQ(w->CalcProgram->Text(), "/usr/bin/gnome-calculator");
    EXPECT_EQ(S()->Calc, "/opt/tools/calc.exe");  // only OK stores it
    dialogs.QueueFile("");
    w->CalcProgram->SetText("calc.exe");
    Click(w->SpeedButton1);
    EXPECT_EQ(dialogs.FileDialogs()[1].initialDir, "");
    EXPECT_EQ(w->CalcProgram->Text(), "calc.exe");  // cancelled: unchanged
    dialogs.QueueFile("");
    w->CalcProgram->SetText("C:calc.exe");
    Click(w->SpeedButton1);
    EXPECT_EQ(dialogs.FileDialogs()[2].initialDir, "C:");
    w->CalcProgram->SetText("calc.exe");
    Click(w->OKButton);
    EXPECT_EQ(S()->Calc, "calc.exe");
}

TEST_F(SettingsWindow, EveryPageLooksRight) {
    Open();
    for (int page = 0; page < 3; ++page) {
        Page(page);
        QApplication::processEvents();
        EXPECT_EQ(LayoutProblems(w), std::vector<std::string>{}) << page;
        SaveScreenshot(MainForm, "settings-" + std::to_string(page));
    }
    EXPECT_EQ(w->ClientWidth(), 519);
    EXPECT_EQ(w->ClientHeight(), 321);
}

TEST_F(SettingsWindow, BothManualsShipAndHelpOpensTheMainOne) {
    for (const char* manual : {"/manual/index.html", "/pocketvane-manual/index.html"}) {
        std::string text = ReadAll(std::string(TV_SOURCE_DIR) + manual);
        EXPECT_NE(text.find("<html"), std::string::npos) << manual;
        EXPECT_GT(text.size(), 2000u) << manual;
    }
    std::filesystem::create_directory(folder.File("manual"));
    WriteAll(folder.File("manual/index.html"), ReadAll(std::string(TV_SOURCE_DIR) + "/manual/index.html"));
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
    Start();
    Key(Qt::Key_F1);
    EXPECT_EQ(launches.Files(), std::vector<std::string>{folder.File("manual/index.html")});
}
