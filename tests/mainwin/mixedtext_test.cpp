// Files and pages that are UTF-8 but for a stray Windows-1252 byte: the good
// characters must stay as they are, and only the stray byte is read as
// Windows-1252, in a rate file, a page and the settings file alike.
#include "currency/currsource.h"
#include "mainwin/appfixture.h"
#include "support/httpserver.h"
#include "update/updatefixture.h"

#include <gtest/gtest.h>

namespace {
const std::string Zloty = "Z\xC5\x82oty \xC3\x86r\xC3\xB8 \xE2\x82\xACuro";  // Złoty Ærø €uro
const std::string Yen = "\xE6\x97\xA5\xE6\x9C\xAC\xE5\x86\x86";               // 日本円
}  // namespace

TEST_F(MainWindow, MixedTextIsReadCharacterByCharacter) {
    // tallyvane2.ini: a remembered folder in UTF-8 with one Windows-1252 é.
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\nsavePath=/home/" + Zloty + "/caf\xE9\r\n");
    std::string rates = ReadAll(DataFile("Pacific.XML"));
    rates = Edited(rates, "<NAME>Polish Zloty</NAME>", "<NAME>" + Zloty + "</NAME>");
    rates = Edited(rates, "<NAME>Korean Won</NAME>", "<NAME>" + Yen + "</NAME>");
    rates = Edited(rates, "Pacific Exchange Rate Service", "Pacific Exchange Rate Service \xFF");
    WriteAll(DataFile("Pacific.XML"), rates);
    Start();
    EXPECT_TRUE(dialogs.Texts().empty()) << dialogs.Texts()[0];
    CurrSource* pacific = MainForm->CurrentSource;
    EXPECT_NE(pacific->FindCurrency(Zloty), nullptr);
    EXPECT_NE(pacific->FindCurrency(Yen), nullptr);
    EXPECT_EQ(pacific->GetCopyright().substr(0, 32), "Pacific Exchange Rate Service \xC3\xBF");
    EXPECT_EQ(Settings::Instance()->savePath, "/home/" + Zloty + "/caf\xC3\xA9");

    // A downloaded page with a stray byte in a comment.
    std::string page = SamplePage("pacific_rates.html");
    page = Edited(page, "<td>Swiss Franc</td>", "<td>" + Zloty + " 2</td>");
    page = Edited(page, "<title>", "<!-- \x80 --><title>");
    TestHttpServer server([&](const HttpRequest&) { return HttpResponse::Ok(page); });
    SourceAddress::Set(pacific, server.HostPort());
    WriteAll(DataFile("Pacific.INI"), ShippedFile("Pacific.INI"));
    MainForm->Internet1->Click();
    ASSERT_TRUE(WaitUntil([] { return !MainForm->UpdateButton->Down(); }));
    EXPECT_NE(pacific->FindCurrency(Zloty + " 2"), nullptr);

    // Written back at exit as UTF-8, each character as it was.
    MainForm->Close();
    const std::string written = ReadAll(DataFile("Pacific.XML"));
    EXPECT_TRUE(IsValidUtf8(written));
    for (const std::string& text : {Zloty, Yen, Zloty + " 2", std::string("Service \xC3\xBF")})
        EXPECT_NE(written.find(text), std::string::npos) << text;
    EXPECT_NE(ReadAll(folder.File("tallyvane2.ini")).find("savePath=/home/" + Zloty + "/caf\xC3\xA9\r\n"),
              std::string::npos);
}
