// One whole update as a user runs it: the IMF page served on 127.0.0.1, the
// update started from the main window, the new rates in the source and in an
// open World window.
#include "currency/currsource.h"
#include "mainwin/appfixture.h"
#include "support/httpserver.h"
#include "update/updatefixture.h"
#include "windows/worldwin.h"

#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

TEST_F(MainWindow, AnUpdateFromTheImfPageReachesTheSourceAndTheOpenWindows) {
    const std::string page = SamplePage("imf_rates.html");
    TestHttpServer server([&](const HttpRequest& r) {
        return r.target == "/external/np/fin/data/rms_five.aspx" ? HttpResponse::Ok(page)
                                                                 : HttpResponse::Status(404, "not here");
    });
    WriteAll(DataFile("IMF.XML"),
             Edited(ReadAll(DataFile("IMF.XML")), "<HOST>www.imf.org</HOST>", "<HOST>" + server.HostPort() + "</HOST>"));
    WriteAll(DataFile("IMF.INI"), ShippedFile("IMF.INI"));
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\nshowCurrDate=1\r\n[Currency]\r\nSource=1\r\n");
    Start();

    Key(Qt::Key_W, Qt::ControlModifier);  // a World window converting 100 dollars to euros
    ASSERT_EQ(MainForm->OpenWindows.size(), 1u);
    auto* world = dynamic_cast<TWorldForm*>(*MainForm->OpenWindows.begin());
    for (auto [list, name] : {std::pair{world->ComboBox1, "U.S. Dollar"}, std::pair{world->ComboBox2, "Euro"}}) {
        auto* box = static_cast<QComboBox*>(list->Handle());
        box->setCurrentIndex(box->findText(name));
        emit box->activated(box->currentIndex());
    }
    world->Edit1->SetFocus();
    static_cast<QLineEdit*>(world->Edit1->Handle())->selectAll();
    QTest::keyClicks(world->Edit1->Handle(), "100");
    EXPECT_EQ(world->Edit2->Text(), "97.35");  // at the stored 1.0272 dollars per euro

    Key(Qt::Key_U, Qt::ControlModifier);
    ASSERT_TRUE(WaitUntil([] { return !MainForm->UpdateButton->Down(); }));
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{});
    CurrencyItem* euro = MainForm->CurrentSource->FindCurrency("Euro");
    EXPECT_DOUBLE_EQ(euro->Value, 1.0301);
    EXPECT_STREQ(euro->GetDate(), "January 20, 2025");
    EXPECT_NE(MainForm->CurrentSource->FindCurrency("Icelandic Krona"), nullptr);
    // Refreshed, with the user's choices and amount kept.
    EXPECT_EQ(world->ComboBox1->Text() + " -> " + world->ComboBox2->Text(), "U.S. Dollar -> Euro");
    EXPECT_EQ(world->Edit2->Text(), "97.08");
    EXPECT_EQ(world->Label5->Caption(), "January 20, 2025");
}
