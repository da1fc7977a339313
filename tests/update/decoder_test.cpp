// What every decoder shares: the text tools, and the progress window through
// the steps of one update.
#include "mainwin/appfixture.h"
#include "support/httpserver.h"
#include "support/layoutcheck.h"
#include "update/currsourceupdate.h"
#include "update/fetchfile.h"
#include "update/updatefixture.h"
#include "update/updatewin.h"
#include "update/userauthwin.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
class TextTools : public ProgramFolderTest {};

// Records what the progress window showed while it decoded, then fails as asked.
class ProbeDecoder : public CurrSourceUpdate {
public:
    using CurrSourceUpdate::CurrSourceUpdate;
    void Decode(const std::string& page) override {
        seen = page + "|" + Form->Label3->Caption() + "|" + Form->StatusLabel->Caption() + "|" +
               (Form->Label2->Enabled() ? "decoding" : "-") + "|" + (Form->Label4->Visible() ? "marked" : "-");
        if (fail) fail();
    }
    CellList SplitCells(const std::string&) override { return {}; }
    CurrencyItem* MakeItem(CellList) override { return nullptr; }
    std::string seen;
    std::function<void()> fail;
};

class Progress : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
        Start();
        WriteAll(folder.File("page.html"), "<html>rates</html>");
    }
    // One update of the probe from the saved page.
    void Run(ProbeDecoder& decoder, std::function<void()> fail = nullptr) {
        decoder.fail = std::move(fail);
        FetchFile fetcher;
        dialogs.QueueFile(folder.File("page.html"));
        decoder.Update(&fetcher);
        EXPECT_TRUE(WaitUntil([&] { return fetcher.Finished(); }));
    }
    TUpdateForm* Window() {
        QApplication::processEvents();
        TUpdateForm* found = nullptr;
        for (TForm* f : MainForm->MDIChildren())
            if (auto* w = dynamic_cast<TUpdateForm*>(f)) found = w;
        return found;
    }
};
}  // namespace

TEST_F(TextTools, TagsRatesAndCells) {
    EXPECT_EQ(CurrSourceUpdate::StripTags("<font color=red>1.2345</font>"), "1.2345");
    EXPECT_EQ(CurrSourceUpdate::StripTags("a<b>c<i>e"), "ace");
    EXPECT_EQ(CurrSourceUpdate::StripTags("<b></b>"), "");
    EXPECT_EQ(CurrSourceUpdate::StripTags("1>2<x>3"), "1>23");
    EXPECT_EQ(CurrSourceUpdate::StripTags("1.5<font size=2"), "1.5");  // an unclosed tag takes the rest

    EXPECT_EQ(CurrSourceUpdate::ParseRate(""), 0);
    EXPECT_DOUBLE_EQ(CurrSourceUpdate::ParseRate("0.7512"), 0.7512);
    EXPECT_THROW(CurrSourceUpdate::ParseRate("1,234.50"), EConvertError);
    EXPECT_THROW(CurrSourceUpdate::ParseRate("1e400"), EConvertError);  // no double holds it
    SetSystemDecimalSeparator(',');
    EXPECT_DOUBLE_EQ(CurrSourceUpdate::ParseRate("0.7512"), 0.7512);
    try {
        CurrSourceUpdate::ParseRate("1.234.5");  // only the last point becomes a comma
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'1.234,5' is not a valid floating point value");
    }

    const CellList cells{" <b>Euro</b> ", "(1)", "<font>1.03</font>"};
    EXPECT_EQ(CurrSourceUpdate::Cell(cells, 0), " Euro ");  // trimming is the decoder's
    EXPECT_EQ(CurrSourceUpdate::Cell(cells, -3), " Euro ");
    EXPECT_EQ(CurrSourceUpdate::Cell(cells, 2), "1.03");
    EXPECT_EQ(CurrSourceUpdate::Cell(cells, 3), "");
    std::unique_ptr<char[]> copy(CurrSourceUpdate::NewCString("Euro")), empty(CurrSourceUpdate::NewCString(""));
    EXPECT_STREQ(copy.get(), "Euro");
    EXPECT_EQ(empty[0], '\0');
}

TEST_F(Progress, TheWindowShowsEachStepAndStaysOnlyAfterAFailure) {
    ProbeDecoder decoded(MainForm->CurrentSource);
    Run(decoded);
    EXPECT_EQ(decoded.seen, "<html>rates</html>\r\n|OK|Decoding...|decoding|-");
    EXPECT_EQ(Window(), nullptr);
    ProbeDecoder idle(MainForm->CurrentSource);
    idle.Update(nullptr);  // nothing could ever arrive: no window
    EXPECT_EQ(Window(), nullptr);

    ProbeDecoder failing(MainForm->CurrentSource);
    Run(failing, [] { throw std::string("No rate table on this page."); });
    TUpdateForm* w = Window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Label4->Caption(), "Error");
    EXPECT_TRUE(w->Label4->Visible());
    EXPECT_EQ(w->StatusLabel->Caption(), "No rate table on this page.");
    EXPECT_TRUE(w->BorderIcons() & biSystemMenu);
    EXPECT_FALSE(MainForm->UpdateButton->Down());
    EXPECT_EQ(LayoutProblems(w), std::vector<std::string>{});
    SaveScreenshot(MainForm, "update-decoding-failed");
    w->Close();
    EXPECT_EQ(Window(), nullptr);

    // A failure that is no text still marks the step, and goes no further.
    ProbeDecoder other(MainForm->CurrentSource);
    Run(other, [] { throw 42; });
    ASSERT_NE(Window(), nullptr);
    EXPECT_EQ(Window()->Label4->Caption() + " " + Window()->StatusLabel->Caption(), "Error Decoding...");
    EXPECT_TRUE(dialogs.Texts().empty());
}

TEST_F(Progress, TheCredentialsFormLooksRight) {
    MainForm->AppSettings->useAuth = true;
    MainForm->AppSettings->useProxy = true;  // to where nothing listens
    MainForm->AppSettings->Proxy = "127.0.0.1";
    MainForm->AppSettings->Port = ClosedPort();
    dialogs.QueueModal([&](TForm* form) {
        EXPECT_EQ(form->Caption(), "User Authentication");
        EXPECT_EQ(form->BorderIcons(), 0);
        EXPECT_EQ(LayoutProblems(form), std::vector<std::string>{});
        SaveScreenshot(form, "credentials");
        QTest::keyClick(form->Handle(), Qt::Key_Escape);  // no Cancel button: Escape does nothing
        EXPECT_TRUE(form->Visible());
        UserAuthFrm->Button1->Click();
    });
    Key(Qt::Key_U, Qt::ControlModifier);
    EXPECT_TRUE(WaitUntil([] { return !MainForm->UpdateButton->Down(); }));
    EXPECT_EQ(dialogs.ModalForms().size(), 1u);
    EXPECT_FALSE(UserAuthFrm->Visible());
}
