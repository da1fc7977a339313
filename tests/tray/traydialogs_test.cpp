// The about box and the hot-key dialog as the user sees them.
#include "support/layoutcheck.h"
#include "tray/trayfixture.h"

TEST_F(TrayProgram, TheAboutBoxLooksRight) {
    Start();
    TrayMainForm->About1->Click();
    QApplication::processEvents();
    EXPECT_EQ(TrayAboutForm->Caption(), "About");
    EXPECT_EQ(TrayAboutForm->Label3->Caption(), "(Part of the Tallyvane 2 package)");
    EXPECT_EQ(LayoutProblems(TrayAboutForm), std::vector<std::string>{});
    EXPECT_EQ(TrayAboutForm->ClientWidth(), 296);
    EXPECT_EQ(TrayAboutForm->ClientHeight(), 111);
    SaveScreenshot(TrayAboutForm, "pocketvane-about");
}

TEST_F(TrayProgram, TheHotKeyDialogLooksRightAndRecordsACombination) {
    Ini("pocketvane.ini", "[PocketvaneProgram]\r\nHotKey=24692\r\n");
    Start();
    dialogs.QueueModal([](TForm* form) {
        QApplication::processEvents();
        EXPECT_EQ(form->Caption(), "HotKey Config");
        EXPECT_EQ(static_cast<QLineEdit*>(HotKeyForm->HotKey1->Handle())->text(), "Ctrl + Shift + F5");
        EXPECT_EQ(LayoutProblems(form), std::vector<std::string>{});
        EXPECT_EQ(form->ClientWidth(), 252);
        EXPECT_EQ(form->ClientHeight(), 112);
        SaveScreenshot(form, "pocketvane-hotkey");
        // Alt with the OK button's letter is a combination here, not a press of OK.
        QTest::keyClick(HotKeyForm->HotKey1->Handle(), Qt::Key_O, Qt::AltModifier);
        EXPECT_TRUE(form->Visible());
        form->Close();
    });
    TrayMainForm->Config1->Click();
    EXPECT_EQ(TrayMainForm->TraySettings->HotKey, scAlt | 'O');
    EXPECT_TRUE(hotKeys.Grabbed(MOD_ALT, 'O'));
}

TEST_F(TrayProgram, TheManualNamesTheMenuAndTheHotKeyDialogByTheirCaptions) {
    Start();
    const std::string manual = ReadAll(std::string(TV_SOURCE_DIR) + "/pocketvane-manual/index.html");
    std::vector<std::string> captions{HotKeyForm->Caption()};
    for (int i = 0; i < TrayMainForm->PopupMenu1->Items()->Count(); ++i) {
        std::string shown;
        for (char c : TrayMainForm->PopupMenu1->Items()->Items(i)->Caption())
            if (c != '&') shown += c;
        if (shown != "-") captions.push_back(shown);
    }
    EXPECT_EQ(captions.size(), 8u);
    for (const std::string& caption : captions)
        EXPECT_NE(manual.find("<b>" + caption + "</b>"), std::string::npos) << caption;
}
