// The tray program's main form: tray icon, menu, hot key, settings file and
// the main program's files, driven through the fake icon and hot key.
#include "currency/settings.h"
#include "currency/srcimf.h"
#include "currency/srcpacific.h"
#include "platform/hotkey.h"
#include "tray/trayfixture.h"

#include <QMenu>
#include <QTimer>

#include <filesystem>

namespace {
std::vector<std::string> Captions(TPopupMenu* menu) {
    std::vector<std::string> out;
    for (int i = 0; i < menu->Items()->Count(); ++i) out.push_back(menu->Items()->Items(i)->Caption());
    return out;
}

// Closes the popup menu the next time the event loop runs and tells whether one was open.
void CloseMenuSoon(bool& opened) {
    QTimer::singleShot(0, [&opened] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            opened = qobject_cast<QMenu*>(popup) != nullptr;
            popup->close();
        }
    });
}
}  // namespace

TEST_F(TrayProgram, ShortcutValuesBecomeModifiersAndKey) {
    struct Case {
        uint16_t value, modifiers, key;
    };
    for (Case c : {Case{32833, MOD_ALT, 0x41}, Case{0x6074, MOD_CONTROL | MOD_SHIFT, 0x74},
                   Case{0xE041, MOD_ALT | MOD_CONTROL | MOD_SHIFT, 0x41}, Case{0, 0, 0}}) {
        EXPECT_EQ(TTrayMainForm::ShortCutToModifiers(c.value), c.modifiers) << c.value;
        EXPECT_EQ(TTrayMainForm::ShortCutToKey(c.value), c.key) << c.value;
    }
    // The stored value, its low 16 bits, is registered at start; 0 registers nothing.
    Ini("pocketvane.ini", "[PocketvaneProgram]\r\nHotKey=98369\r\n");
    Start();
    EXPECT_TRUE(hotKeys.Grabbed(MOD_ALT, 'A'));
    Quit();
    EXPECT_EQ(hotKeys.GrabCount(), 0u);  // gone with the main form
    Ini("pocketvane.ini", "[PocketvaneProgram]\r\nHotKey=0\r\n");
    Start();
    EXPECT_EQ(hotKeys.GrabCount(), 0u);
    Quit();
    // Taken by another program: silently no hot key, and the icon still works.
    hotKeys.taken.insert({MOD_ALT, 'A'});
    Ini("pocketvane.ini", "[PocketvaneProgram]\r\nHotKey=32833\r\n");
    Start();
    EXPECT_EQ(hotKeys.GrabCount(), 0u);
    EXPECT_TRUE(dialogs.Boxes().empty());
    Icon()->Click(mbLeft);
    EXPECT_TRUE(Form2->Visible());
}

TEST_F(TrayProgram, TheIconAndMenuAreThereAtStartWithNothingShown) {
    Start();
    EXPECT_EQ(Application->Title(), "Pocketvane");
    EXPECT_FALSE(TrayMainForm->Visible());
    EXPECT_LT(TrayMainForm->Top(), 0);
    EXPECT_FALSE(Form2->Visible());
    EXPECT_TRUE(Icon()->visible);
    EXPECT_EQ(Icon()->hint, "Pocketvane");
    EXPECT_EQ(Icon()->index, 3);
    EXPECT_EQ(Captions(TrayMainForm->PopupMenu1), (std::vector<std::string>{"H&elp", "&About", "&Launch Tallyvane",
                                                                          "&Config", "-", "&Hide", "&Show", "-",
                                                                          "E&xit"}));
    EXPECT_FALSE(TrayMainForm->Minimize1->Enabled());
    EXPECT_TRUE(TrayMainForm->Maximize1->Enabled());
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(TrayProgram, LeftClickAndHotKeyToggleTheConverterRightClickOpensTheMenu) {
    Ini("pocketvane.ini", "[PocketvaneProgram]\r\nHotKey=24692\r\n");  // Ctrl+Shift+F5
    Start();
    Icon()->Click(mbLeft);
    EXPECT_TRUE(Form2->Visible());
    EXPECT_FALSE(TrayMainForm->Maximize1->Enabled());
    EXPECT_TRUE(TrayMainForm->Minimize1->Enabled());
    Icon()->Click(mbLeft);
    EXPECT_FALSE(Form2->Visible());
    EXPECT_TRUE(TrayMainForm->Maximize1->Enabled());

    bool opened = false;
    CloseMenuSoon(opened);
    Icon()->Click(mbRight);
    EXPECT_TRUE(opened);
    EXPECT_FALSE(Form2->Visible());
    Icon()->Click(mbMiddle);
    EXPECT_FALSE(Form2->Visible());

    hotKeys.Press(MOD_CONTROL | MOD_SHIFT, 0x74);
    EXPECT_TRUE(Form2->Visible());
    // Closed with its close box, the window is hidden and the menu still says
    // "Hide"; icon and hot key go by what is really shown.
    Form2->Close();
    EXPECT_FALSE(Form2->Visible());
    EXPECT_TRUE(TrayMainForm->Minimize1->Enabled());
    hotKeys.Press(MOD_CONTROL | MOD_SHIFT, 0x74);
    EXPECT_TRUE(Form2->Visible());
    TrayMainForm->Minimize1->Click();
    EXPECT_FALSE(Form2->Visible());
    TrayMainForm->Maximize1->Click();
    EXPECT_TRUE(Form2->Visible());
}

TEST_F(TrayProgram, ConfigTakesTheNewHotKeyAtOnceAndKeepsItInMemory) {
    Ini("pocketvane.ini", "[PocketvaneProgram]\r\nHotKey=32833\r\n");
    Start();
    dialogs.QueueModal([this](TForm* form) {
        ASSERT_EQ(form, HotKeyForm);
        EXPECT_EQ(HotKeyForm->HotKey1->HotKey(), 32833);
        EXPECT_EQ(hotKeys.GrabCount(), 0u);  // no hot key while the dialog is open
        QTest::keyClick(HotKeyForm->HotKey1->Handle(), Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::mouseClick(HotKeyForm->Button1->Handle(), Qt::LeftButton);
    });
    TrayMainForm->Config1->Click();
    EXPECT_EQ(TrayMainForm->TraySettings->HotKey, 0x6074);
    EXPECT_FALSE(hotKeys.Grabbed(MOD_ALT, 'A'));
    hotKeys.Press(MOD_CONTROL | MOD_SHIFT, 0x74);
    EXPECT_TRUE(Form2->Visible());
    EXPECT_EQ(ReadAll(folder.File("pocketvane.ini")), "[PocketvaneProgram]\r\nHotKey=32833\r\n");

    // Closed with the close box, the dialog still gives what its field shows.
    dialogs.QueueModal([](TForm*) { QTest::keyClick(HotKeyForm->HotKey1->Handle(), Qt::Key_Backspace); });
    TrayMainForm->Config1->Click();
    EXPECT_EQ(TrayMainForm->TraySettings->HotKey, 0);
    EXPECT_EQ(hotKeys.GrabCount(), 0u);
}

TEST_F(TrayProgram, ExitWritesTheSettingsInOrderKeepingOtherLines) {
    Ini("pocketvane.ini", "; mine\r\n[Other]\r\nx=1\r\n[PocketvaneProgram]\r\nonTop=7\r\nextra=kept\r\n");
    Start();
    EXPECT_TRUE(TrayMainForm->TraySettings->OnTop);
    TrayMainForm->TraySettings->HotKey = 0xE041;
    Icon()->Click(mbLeft);
    TrayMainForm->Exit1->Click();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(TrayMainForm->TraySettings, nullptr);
    EXPECT_EQ(TrayMainForm->AppSettings, nullptr);
    const std::string written =
        "; mine\r\n[Other]\r\nx=1\r\n[PocketvaneProgram]\r\nonTop=1\r\nextra=kept\r\nLeft=-1\r\nTop=-1\r\n"
        "leftSelected=\r\nrightSelected=\r\nHotKey=57409\r\n";
    EXPECT_EQ(ReadAll(folder.File("pocketvane.ini")), written);
    // What the converter would store from now on is not kept.
    Form2->Close();
    Quit();
    EXPECT_EQ(ReadAll(folder.File("pocketvane.ini")), written);

    // Read back as written; a first start with no file writes every key.
    Start();
    EXPECT_EQ(TrayMainForm->TraySettings->HotKey, 0xE041);
    EXPECT_TRUE(TrayMainForm->TraySettings->OnTop);
    EXPECT_EQ(TrayMainForm->TraySettings->Left, -1);
    Quit();
    std::filesystem::remove(folder.File("pocketvane.ini"));
    Start();
    TrayMainForm->Exit1->Click();
    EXPECT_EQ(ReadAll(folder.File("pocketvane.ini")),
              "[PocketvaneProgram]\r\nLeft=-1\r\nTop=-1\r\nleftSelected=\r\nrightSelected=\r\nonTop=0\r\nHotKey=0\r\n");
}

TEST_F(TrayProgram, AFailedExitKeepsTheProgramAndALaterExitSucceeds) {
    std::filesystem::create_directory(folder.File("pocketvane.ini"));  // no file can be written there
    Start();
    TrayMainForm->TraySettings->HotKey = 32833;
    TrayMainForm->Exit1->Click();
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Unable to write to " + folder.File("pocketvane.ini")});
    EXPECT_FALSE(Application->Terminated());
    ASSERT_NE(TrayMainForm->TraySettings, nullptr);
    ASSERT_NE(TrayMainForm->AppSettings, nullptr);
    Icon()->Click(mbLeft);  // the converter still works on the settings
    Form2->Edit1->SetText("5");
    EXPECT_EQ(Form2->Edit2->Text(), "5.00");

    std::filesystem::remove(folder.File("pocketvane.ini"));
    TrayMainForm->Exit1->Click();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_NE(ReadAll(folder.File("pocketvane.ini")).find("HotKey=32833\r\n"), std::string::npos);
}

TEST_F(TrayProgram, EndingOtherwiseWritesNothingAndTheMainProgramsFilesStayAsTheyWere) {
    const std::string ini = "[Currency]\r\nSource=1\r\nDecimals=3\r\n";
    Ini("tallyvane2.ini", ini);
    Ini("pocketvane.ini", "[PocketvaneProgram]\r\nLeft=10\r\n");
    const std::string imf = ReadAll(DataFile("IMF.XML")), pacific = ReadAll(DataFile("Pacific.XML"));
    Start();
    Icon()->Click(mbLeft);
    Type(Form2->Edit1, "12");
    Form2->Close();
    Quit();
    EXPECT_EQ(ReadAll(folder.File("pocketvane.ini")), "[PocketvaneProgram]\r\nLeft=10\r\n");
    Start();
    TrayMainForm->Exit1->Click();
    Quit();
    EXPECT_EQ(ReadAll(folder.File("tallyvane2.ini")), ini);
    EXPECT_EQ(ReadAll(DataFile("IMF.XML")), imf);
    EXPECT_EQ(ReadAll(DataFile("Pacific.XML")), pacific);
    EXPECT_FALSE(std::filesystem::exists(DataFile("IMF.XML.bak")));
}

TEST_F(TrayProgram, TheSourceSettingPicksTheRateFile) {
    for (int source : {0, 1, 2, -1}) {
        Ini("tallyvane2.ini", "[Currency]\r\nSource=" + std::to_string(source) + "\r\n");
        Start();
        EXPECT_EQ(dynamic_cast<Pacific*>(TrayMainForm->Source) != nullptr, source == 0) << source;
        EXPECT_EQ(dynamic_cast<Imf*>(TrayMainForm->Source) != nullptr, source != 0) << source;
        Quit();
    }
    // A missing rate file: the message, and empty lists.
    std::filesystem::remove(DataFile("Pacific.XML"));
    Ini("tallyvane2.ini", "");
    Start();
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Can't find file: " + DataFile("Pacific.XML")});
    Icon()->Click(mbLeft);
    EXPECT_EQ(Form2->ComboBox1->Items()->Count(), 0);
    EXPECT_EQ(Form2->Edit1->Text(), "Error");
    EXPECT_EQ(Form2->Edit2->Text(), "Error");
    EXPECT_EQ(Form2->Caption(), "Pocketvane");
}

TEST_F(TrayProgram, HelpAboutAndLaunchTallyvane) {
    Start();
    TrayMainForm->Help1->Click();
    const std::string manual = folder.File("pocketvane-manual/index.html");
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Can't locate help-file at: " + manual});
    EXPECT_TRUE(launches.Launches().empty());
    std::filesystem::create_directory(folder.File("pocketvane-manual"));
    WriteAll(manual, "<html></html>");
    TrayMainForm->Help1->Click();
    TrayMainForm->Tallyvane1->Click();
    EXPECT_EQ(launches.Files(), (std::vector<std::string>{manual, "tallyvane2.exe"}));
    EXPECT_EQ(launches.Launches()[1].verb, "open");

    TrayMainForm->About1->Click();
    EXPECT_TRUE(TrayAboutForm->Visible());
    EXPECT_FALSE(TrayAboutForm->Modal());
    EXPECT_EQ(TrayAboutForm->Label1->Caption(), "Pocketvane 1.02 - November 17, 2001");
    QTest::mouseClick(TrayAboutForm->Label4->Handle(), Qt::LeftButton);
    EXPECT_EQ(launches.Files().back(), TrayMainForm->TraySettings->WebAddress);
    Icon()->Click(mbLeft);  // the about box may stay open beside the converter
    EXPECT_TRUE(TrayAboutForm->Visible());
    QTest::mouseClick(TrayAboutForm->Button1->Handle(), Qt::LeftButton);
    EXPECT_FALSE(TrayAboutForm->Visible());
}

TEST_F(TrayProgram, AValueWithALineBreakIsWrittenUpToIt) {
    Ini("pocketvane.ini", "[Other]\r\nx=1\r\n");
    Start();
    // Names come from the rate file, which can hold a line break in one.
    TrayMainForm->TraySettings->LeftSelected = "Euro\r\n[Other]\r\nx=2";
    TrayMainForm->TraySettings->RightSelected = "Yen\nonTop=1";
    TrayMainForm->Exit1->Click();
    EXPECT_EQ(ReadAll(folder.File("pocketvane.ini")),
              "[Other]\r\nx=1\r\n[PocketvaneProgram]\r\nLeft=-1\r\nTop=-1\r\nleftSelected=Euro\r\n"
              "rightSelected=Yen\r\nonTop=0\r\nHotKey=0\r\n");
}
