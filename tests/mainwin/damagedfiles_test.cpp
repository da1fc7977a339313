// Damaged data files on disk when the program starts, as a user with a cut
// download, a bad disk or a hand edit has them: a damaged rate file is kept
// whole before the end of the run writes over it and the user is told once,
// and no file brings one message box per bad tag.
#include "currency/currsource.h"
#include "export/exportfixture.h"
#include "mainwin/appfixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
class DamagedFiles : public MainWindow {
protected:
    // Ends the running program, if any, as the user does, and makes the
    // forms of the next run without showing them yet.
    void EndRun() {
        if (MainForm && MainForm->CurrentSource) MainForm->Close();
        app.reset();
        QApplication::processEvents();
        ResetClosedStates();
        app = std::make_unique<TApplication>();
        CreateApplicationForms();
    }
    std::string Told(const std::string& file) const {
        const std::string path = DataFile(file);
        return "The rate file " + path + " was damaged; it was kept as " + path + ".bak.";
    }
    size_t CountOf(const std::string& text) const {
        const std::vector<std::string> texts = dialogs.Texts();
        return static_cast<size_t>(std::count(texts.begin(), texts.end(), text));
    }
    // No text was shown twice.
    bool EachTextOnce() const {
        std::vector<std::string> texts = dialogs.Texts();
        std::sort(texts.begin(), texts.end());
        return std::adjacent_find(texts.begin(), texts.end()) == texts.end();
    }
};

std::string ReplacedEverywhere(std::string text, const std::string& what, const std::string& with) {
    for (size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += with.size()) text.replace(at, what.size(), with);
    return text;
}
}  // namespace

TEST_F(DamagedFiles, ADamagedRateFileIsKeptAsBackupAndToldOnceAtStart) {
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
    const std::string pacific = ReadAll(DataFile("Pacific.XML")), imf = ReadAll(DataFile("IMF.XML"));
    auto cut = [&](double share) { return pacific.substr(0, static_cast<size_t>(pacific.size() * share)); };
    std::string nuls = pacific;
    nuls.insert(pacific.size() / 2, std::string(16, '\0'));
    const size_t mistype = pacific.find("</CURRENCY>", pacific.size() / 2);
    std::string mistyped = pacific;
    mistyped.replace(mistype, 11, "</CURRENCX>");
    struct Case {
        const char* kind;
        const char* file;
        std::string text;
    };
    const Case cases[] = {
        {"only the root's closing tag missing", "IMF.XML", imf.substr(0, imf.size() - 15)},
        {"cut at 3%", "Pacific.XML", cut(0.03)},
        {"cut at 50%", "Pacific.XML", cut(0.50)},
        {"cut at 97%", "Pacific.XML", cut(0.97)},
        {"cut right after a complete tag", "Pacific.XML", pacific.substr(0, mistype + 11)},
        {"16 NUL bytes in the middle", "Pacific.XML", nuls},
        {"every </CURRENCY> removed", "Pacific.XML", ReplacedEverywhere(pacific, "</CURRENCY>", "")},
        {"one </CURRENCY> mistyped", "Pacific.XML", mistyped},
        {"a lower-case root", "Pacific.XML",
         ReplacedEverywhere(ReplacedEverywhere(pacific, "<CURRSOURCE>", "<currsource>"), "</CURRSOURCE>",
                            "</currsource>")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        EndRun();
        WriteAll(DataFile("Pacific.XML"), pacific);
        WriteAll(DataFile("IMF.XML"), imf);
        WriteAll(DataFile(c.file), c.text);
        for (const char* name : {"Pacific.XML.bak", "IMF.XML.bak"}) fs::remove(DataFile(name));
        dialogs.Clear();
        Start();
        const std::string path = DataFile(c.file);
        EXPECT_EQ(CountOf(Told(c.file)), 1u);
        EXPECT_EQ(dialogs.Texts().size(), CountOf("Error in XML!") + 1);  // nothing else, the other file is clean
        EXPECT_TRUE(EachTextOnce());
        EXPECT_EQ(ReadAll(path + ".bak"), c.text);  // kept whole, NUL bytes and all

        // Exit writes what was read; the copy stays as it was, and the new
        // file reads cleanly at the next start.
        const size_t shown = dialogs.Texts().size();
        EndRun();
        EXPECT_EQ(dialogs.Texts().size(), shown);
        EXPECT_EQ(ReadAll(path + ".bak"), c.text);
        const std::string written = ReadAll(path);
        EXPECT_EQ(written.rfind("<?xml version=\"1.0\" standalone=\"yes\"?>\r\n", 0), 0u);
        EXPECT_EQ(written.substr(written.size() - 15), "</CURRSOURCE>\r\n");
        dialogs.Clear();
        Start();
        EXPECT_TRUE(dialogs.Texts().empty()) << dialogs.Texts()[0];
        EXPECT_EQ(ReadAll(path + ".bak"), c.text);
    }

    // A clean file keeps no copy and tells nothing.
    EndRun();
    WriteAll(DataFile("Pacific.XML"), pacific);
    for (const char* name : {"Pacific.XML.bak", "IMF.XML.bak"}) fs::remove(DataFile(name));
    dialogs.Clear();
    Start();
    EndRun();
    EXPECT_TRUE(dialogs.Texts().empty());
    EXPECT_FALSE(fs::exists(DataFile("Pacific.XML.bak")));
    EXPECT_FALSE(fs::exists(DataFile("IMF.XML.bak")));
    EXPECT_EQ(ReadAll(DataFile("Pacific.XML")), pacific);
}

TEST_F(DamagedFiles, NoFileBuriesTheStartUnderMessageBoxes) {
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
    // A layout file with 5,000 stray closing tags and 5,000 different
    // unknown ones still opens its window.
    std::string layout = "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<WINDOWS>\r\n";
    for (int i = 0; i < 5000; ++i) layout += "</WINDOW><[x" + std::to_string(i) + "]>";
    layout += "<WINDOW><TYPE>World</TYPE><LEFTSET>-1</LEFTSET><RIGHTSET>-1</RIGHTSET><VALUE>1</VALUE>"
              "<STATE>1</STATE></WINDOW></WINDOWS>\r\n";
    WriteAll(DataFile("windowSettings.xml"), layout);
    // A rate file with 10,000 pairs each opened inside the one before: the
    // first closing tag closes the outermost, and all the others close nothing.
    std::string pairs = ReadAll(DataFile("Pacific.XML"));
    std::string nested;
    for (int i = 0; i < 10000; ++i) nested += "<PREFERRED><NAME>P</NAME><FIRST>Euro</FIRST><SECOND>Euro</SECOND>";
    for (int i = 0; i < 10000; ++i) nested += "</PREFERRED>";
    pairs.insert(pairs.find("<CURRENCY>"), nested);
    WriteAll(DataFile("Pacific.XML"), pairs);
    Start();
    EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{"Error in XML!", Told("Pacific.XML"), "Error in XML!",
                                                         "Unknown tag-use: [x0]"}));
    EXPECT_EQ(MainForm->OpenWindows.size(), 1u);
}

TEST_F(ExportDialog, StrayTagsInTheFilterFileBringOneBox) {
    std::string filters = "<ExportFilters><ExportFilter><name>Mine</name><body>x</body></ExportFilter>";
    for (int i = 0; i < 300; ++i) filters += "</ExportFilter>";
    Filters(filters + "</ExportFilters>");
    dialogs.Clear();
    std::vector<std::string> targets;
    WithDialog([&] { targets = Targets(); });
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Error in XML!"});
    EXPECT_EQ(targets.back(), "Mine");
}
