// The main window driven as a user would: start-up, its commands and shutdown.
#include "currency/settings.h"
#include "currency/currsource.h"
#include "mainwin/about.h"
#include "mainwin/loadingwin.h"
#include "mainwin/main.h"
#include "mainwin/saving.h"
#include "mainwin/startup.h"
#include "platform/shellapi.h"
#include "platform/wininet.h"
#include "mainwin/appfixture.h"
#include "support/httpserver.h"
#include "support/layoutcheck.h"
#include "support/testenv.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

TEST_F(MainWindow, StartUpBuildsTheHelpLinksAndPicksTheSource) {
    Ini("[Program]\r\nReadAbout=1\r\n[Currency]\r\nSource=1\r\n");
    Start();
    ASSERT_EQ(MainForm->Sources.size(), 2u);
    EXPECT_EQ(MainForm->Sources[0]->GetName(), "Pacific");
    EXPECT_EQ(MainForm->CurrentSource, MainForm->Sources[1]);
    EXPECT_EQ(MainForm->Caption(), "Tallyvane 2");
    EXPECT_EQ(Captions(MainForm->Help1),
              (std::vector<std::string>{"&Help", "&About", "-", "Pacific", "IMF", "&Tallyvane Page"}));
    EXPECT_EQ(Captions(MainForm->Help1->Items(3)), (std::vector<std::string>{"&Website", "&Update URL"}));
    EXPECT_EQ(Captions(MainForm->Help1->Items(4)), (std::vector<std::string>{"&Website", "&Update URL"}));
    EXPECT_EQ(MainForm->Help1->Items(3)->ImageIndex(), 31);
    EXPECT_EQ(MainForm->Help1->Items(4)->Items(0)->Hint(), "Surf to this url|Surf to this url.");
    EXPECT_EQ(MainForm->SurfUrls[0], "http://fx.sauder.ubc.ca");
    EXPECT_EQ(MainForm->SurfUrls[1], "http://fx.sauder.ubc.ca/today.html");
    EXPECT_EQ(MainForm->SurfUrls[2], "http://www.imf.org");
    EXPECT_EQ(MainForm->SurfUrls[3], "http://www.imf.org/external/np/fin/data/rms_five.aspx");
    EXPECT_EQ(MainForm->SurfUrls[4], "http://www.tallyvane.org/");

    // Each link item opens its address; a second show runs nothing again.
    MainForm->Help1->Items(4)->Items(1)->Click();
    MainForm->Help1->Items(5)->Click();
    EXPECT_EQ(launches.Files(), (std::vector<std::string>{MainForm->SurfUrls[3], MainForm->SurfUrls[4]}));
    MainForm->Hide();
    MainForm->Show();
    EXPECT_EQ(MainForm->Help1->Count(), 6);
}

TEST_F(MainWindow, ASourceSettingOutOfRangeTakesTheImf) {
    Ini("[Program]\r\nReadAbout=1\r\n[Currency]\r\nSource=7\r\n");
    Start();
    EXPECT_EQ(MainForm->CurrentSource, MainForm->Sources[1]);
    MainForm->Close();
    EXPECT_NE(ReadAll(folder.File("tallyvane2.ini")).find("Source=7\r\n"), std::string::npos);
}

TEST_F(MainWindow, TheSplashShowsItsStepsOnlyWhenAsked) {
    int splashShows = 0;
    LoadingForm->OnShow = [&](TObject*) { ++splashShows; };
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
    Start();
    EXPECT_EQ(splashShows, 0);
    EXPECT_FALSE(LoadingForm->Image2->Visible());
}

TEST_F(MainWindow, TheSplashRevealsEveryStepAndCloses) {
    Ini("[Program]\r\nReadAbout=1\r\n");
    std::vector<int> revealed;  // the window shows with no step yet
    LoadingForm->OnShow = [&](TObject*) { revealed.push_back(LoadingForm->Image2->Visible()); };
    Start();
    EXPECT_EQ(revealed, std::vector<int>{0});
    for (TImage* step : {LoadingForm->Image2, LoadingForm->Image3, LoadingForm->Image4, LoadingForm->Image5,
                         LoadingForm->Image6})
        EXPECT_TRUE(step->Visible());
    EXPECT_FALSE(LoadingForm->Visible());
}

TEST_F(MainWindow, TheAboutBoxComesUntilTheUserAgrees) {
    Ini("[Program]\r\nShowSplash=0\r\n");
    std::string captionShown;
    dialogs.QueueModal([&](TForm* form) {
        EXPECT_EQ(form, AboutForm);
        captionShown = AboutForm->OKButton->Caption();
        AboutForm->Close();  // the close box
    });
    Start();
    EXPECT_EQ(captionShown, "I Agree");
    EXPECT_EQ(AboutForm->OKButton->Caption(), "OK");
    EXPECT_FALSE(Settings::Instance()->ReadAbout);
    MainForm->Close();
    EXPECT_NE(ReadAll(folder.File("tallyvane2.ini")).find("ReadAbout=0"), std::string::npos);

    // Next start: the box again, and this time the user agrees.
    app.reset();
    app = std::make_unique<TApplication>();
    CreateApplicationForms();
    dialogs.QueueModal([&](TForm*) { QTest::mouseClick(AboutForm->OKButton->Handle(), Qt::LeftButton); });
    Start();
    EXPECT_TRUE(Settings::Instance()->ReadAbout);
    EXPECT_EQ(dialogs.ModalForms().size(), 2u);
    MainForm->Close();
    app.reset();
    app = std::make_unique<TApplication>();
    CreateApplicationForms();
    Start();
    EXPECT_EQ(dialogs.ModalForms().size(), 2u);  // not shown any more
}

TEST_F(MainWindow, TheAboutBoxListsEachSourceOncePerShowing) {
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
    Start();
    dialogs.QueueModal([](TForm*) {});
    MainForm->DialogAbout->Execute();
    dialogs.QueueModal([](TForm*) {});
    MainForm->DialogAbout->Execute();
    TStrings* lines = AboutForm->Memo1->Lines();
    ASSERT_EQ(lines->Count(), 12);
    EXPECT_EQ(lines->Get(4), "Currency-source: Pacific");
    EXPECT_EQ(lines->Get(5), "  http://fx.sauder.ubc.ca");
    EXPECT_EQ(lines->Get(8), "Currency-source: IMF");
    EXPECT_EQ(AboutForm->ProductName->Caption(), "Tallyvane 2.3 - April 5, 2003");
    EXPECT_EQ(AboutForm->OKButton->Caption(), "OK");

    AboutForm->Show();
    auto move = [](TControl* c, QPoint p) {
        QMouseEvent e(QEvent::MouseMove, p, c->Handle()->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(c->Handle(), &e);
    };
    move(AboutForm->URL, QPoint(3, 3));
    EXPECT_EQ(AboutForm->URL->FontColor(), clNavy);
    move(AboutForm->MailLabel, QPoint(3, 3));
    EXPECT_EQ(AboutForm->MailLabel->FontColor(), clNavy);
    EXPECT_EQ(AboutForm->URL->FontColor(), clBlue);
    move(AboutForm->Panel1, QPoint(300, 2));
    EXPECT_EQ(AboutForm->MailLabel->FontColor(), clBlue);
    QTest::mouseClick(AboutForm->MailLabel->Handle(), Qt::LeftButton);
    EXPECT_EQ(launches.Files(), std::vector<std::string>{"mailto:support@tallyvane.org"});
    AboutForm->Hide();
}

TEST_F(MainWindow, StoredToolbarSettingsApplyAtStartAndAreKept) {
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\ntoolSetting=5\r\nshowToolbar=0\r\n");
    Start();
    EXPECT_EQ(Settings::Instance()->toolSetting, 1);
    EXPECT_EQ(MainForm->ToolBar1->Images(), nullptr);
    EXPECT_FALSE(MainForm->PicturesAndTextAction->Checked());
    EXPECT_FALSE(MainForm->ToolBar1->Visible());
    EXPECT_FALSE(MainForm->ShowToolbarAction->Checked());
    // Pictures and text come back with the command; the toolbar too.
    MainForm->PicturesAndTextAction->Execute();
    EXPECT_EQ(MainForm->ToolBar1->Images(), MainForm->LargeImageList);
    EXPECT_TRUE(MainForm->PicturesAndTextAction->Checked());
    MainForm->PicturesAndTextAction->Execute();
    MainForm->ShowToolbarAction->Execute();
    EXPECT_TRUE(MainForm->ToolBar1->Visible());
    MainForm->ShowToolbarAction->Execute();
    MainForm->Close();
    const std::string ini = ReadAll(folder.File("tallyvane2.ini"));
    EXPECT_NE(ini.find("toolSetting=1\r\n"), std::string::npos);
    EXPECT_NE(ini.find("showToolbar=0\r\n"), std::string::npos);
}

TEST_F(MainWindow, AnUpdateStartsOnStartOnlyWhenOnline) {
    // The update's download goes to a port on this machine where nothing listens.
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n[Internet]\r\ncheckOnStart=1\r\nuseProxy=1\r\n"
        "Proxy=127.0.0.1\r\nPort=" + std::to_string(ClosedPort()) + "\r\n");
    int updates = 0;
    TNotifyEvent update = MainForm->DialogUpdate->OnExecute;
    MainForm->DialogUpdate->OnExecute = [&](TObject* s) {
        ++updates;
        update(s);
    };
    Start();
    EXPECT_EQ(updates, 0);
    MainForm->Close();
    app.reset();
    app = std::make_unique<TApplication>();
    CreateApplicationForms();
    SetOnlineStateOverride(1);
    update = MainForm->DialogUpdate->OnExecute;
    bool layoutRestoredFirst = false;
    MainForm->DialogUpdate->OnExecute = [&](TObject* s) {
        ++updates;
        layoutRestoredFirst = !LoadingForm->Visible();
        update(s);
    };
    Start();
    EXPECT_EQ(updates, 1);
    EXPECT_TRUE(layoutRestoredFirst);
}

TEST_F(MainWindow, TheUpdateDropDownSwitchesTheModeAndItsPictures) {
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n[Internet]\r\nuseInternet=0\r\nuseProxy=1\r\n"
        "Proxy=127.0.0.1\r\nPort=" + std::to_string(ClosedPort()) + "\r\n");
    Start();
    EXPECT_EQ(MainForm->UpdateButton->ImageIndex(), 8);
    EXPECT_EQ(MainForm->DialogUpdate->ImageIndex(), 29);
    MainForm->Internet1->Click();
    EXPECT_TRUE(Settings::Instance()->useInternet);
    EXPECT_EQ(MainForm->UpdateButton->ImageIndex(), 7);
    EXPECT_EQ(MainForm->DialogUpdate->ImageIndex(), 28);
    MainForm->OpenFile1->Click();
    EXPECT_FALSE(Settings::Instance()->useInternet);
    EXPECT_EQ(MainForm->UpdateButton->ImageIndex(), 8);
    for (int i = 0; i < 2000 && MainForm->UpdateButton->Down(); ++i) QTest::qWait(5);
    EXPECT_FALSE(MainForm->UpdateButton->Down());  // released once the update finished
}

TEST_F(MainWindow, ShortcutsReachTheirLaunches) {
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\nCalc=gnome-calculator\r\n");
    Start();
    Key(Qt::Key_W, Qt::ControlModifier | Qt::AltModifier);
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(launches.Files(), (std::vector<std::string>{"pocketvane.exe", "gnome-calculator"}));

    launches.Clear();
    Key(Qt::Key_F1);
    const std::string manual = folder.File("manual/index.html");
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Can't locate help-file at: " + manual});
    EXPECT_TRUE(launches.Files().empty());
    fs::create_directory(folder.File("manual"));
    WriteAll(manual, "<html></html>");
    Key(Qt::Key_F1);
    EXPECT_EQ(launches.Files(), std::vector<std::string>{manual});
}

TEST_F(MainWindow, ShutdownSavesRatesThenSettingsAndShowsTheNotice) {
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
    Start();
    std::vector<std::string> notice;
    SavingForm->OnShow = [&](TObject*) {
        notice.push_back("shown");
        // Nothing is saved before the notice shows.
        EXPECT_EQ(ReadAll(DataFile("Pacific.XML")).find("<PREFERREDBASE>Euro"), std::string::npos);
    };
    SavingForm->OnHide = [&](TObject*) { notice.push_back("hidden"); };
    MainForm->CurrentSource->SetPreferredBase("Euro");
    MainForm->Close();
    EXPECT_EQ(notice, (std::vector<std::string>{"shown", "hidden"}));
    EXPECT_TRUE(app->Terminated());
    EXPECT_NE(ReadAll(DataFile("Pacific.XML")).find("<PREFERREDBASE>Euro</PREFERREDBASE>"), std::string::npos);
    auto pacific = fs::last_write_time(DataFile("Pacific.XML"));
    auto imf = fs::last_write_time(DataFile("IMF.XML"));
    auto ini = fs::last_write_time(folder.File("tallyvane2.ini"));
    EXPECT_LE(pacific, imf);
    EXPECT_LE(imf, ini);
    EXPECT_NE(ReadAll(folder.File("tallyvane2.ini")).find("[Internet]"), std::string::npos);
}

TEST_F(MainWindow, ARememberedFolderWithALineBreakIsKeptUpToIt) {
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
    Start();
    // Linux allows a line break in a folder's name.
    Settings::Instance()->HTMLPath = "/tmp/a\n[Currency]\nDecimals=9";
    Settings::Instance()->savePath = "/tmp/b\r\nShowSplash=1";
    Restart();
    EXPECT_EQ(Settings::Instance()->HTMLPath, "/tmp/a");
    EXPECT_EQ(Settings::Instance()->savePath, "/tmp/b");
    EXPECT_EQ(Settings::Instance()->Decimals, 2);
    EXPECT_FALSE(Settings::Instance()->ShowSplash);  // the keys after it stayed in their section
    EXPECT_TRUE(dialogs.ModalForms().empty());       // and so did ReadAbout
    const std::string ini = ReadAll(folder.File("tallyvane2.ini"));
    EXPECT_EQ(ini.find("[Currency]"), ini.rfind("[Currency]"));
    EXPECT_EQ(ini.find("Decimals=9"), std::string::npos);
}

TEST_F(MainWindow, ASettingsFileThatCannotBeWrittenIsReportedAndTheProgramStillEnds) {
    Start();  // no INI yet: the about box comes and is cancelled
    fs::create_directory(folder.File("tallyvane2.ini"));
    MainForm->Close();
    EXPECT_TRUE(app->Terminated());
    ASSERT_FALSE(dialogs.Boxes().empty());
    EXPECT_EQ(dialogs.Boxes().back().text, "Unable to write to " + folder.File("tallyvane2.ini"));
    EXPECT_EQ(dialogs.Boxes().back().type, mtError);
    EXPECT_NE(ReadAll(DataFile("IMF.XML")).find("<CURRSOURCE>"), std::string::npos);
}

TEST_F(MainWindow, EveryFormLooksRight) {
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
    Start();
    MainForm->SetBounds(0, 0, 900, 600);
    struct Shot {
        TForm* form;
        const char* name;
    };
    AboutForm->Show();
    AboutForm->FormShow(AboutForm);
    LoadingForm->Show();
    for (TImage* step : {LoadingForm->Image2, LoadingForm->Image3, LoadingForm->Image4, LoadingForm->Image5,
                         LoadingForm->Image6})
        step->Show();
    SavingForm->Show();
    for (Shot s : {Shot{MainForm, "main"}, Shot{AboutForm, "about"}, Shot{LoadingForm, "splash"},
                   Shot{SavingForm, "saving"}}) {
        QApplication::processEvents();
        EXPECT_EQ(LayoutProblems(s.form), std::vector<std::string>{}) << s.name;
        EXPECT_TRUE(fs::exists(SaveScreenshot(s.form, s.name)));
    }
    EXPECT_TRUE(AboutForm->Image1->HasPicture());
    EXPECT_TRUE(LoadingForm->Image1->HasPicture());
    EXPECT_TRUE(LoadingForm->Image6->HasPicture());
    EXPECT_TRUE(SavingForm->Image1->HasPicture());
    AboutForm->Hide();
    LoadingForm->Hide();
    SavingForm->Hide();
}
