// The export dialog in the running main program: opened with its shortcut and
// worked through its widgets while it is shown.
#pragma once

#include "currency/currsource.h"
#include "export/exportwin.h"
#include "export/outputfilterfactory.h"
#include "mainwin/appfixture.h"
#include "platform/classes.h"

#include <QComboBox>

#include <functional>
#include <string>
#include <vector>

class ExportDialog : public MainWindow {
protected:
    void SetUp() override {
        OutputFilterFactory::Unload();  // every test is a new run of the program
        MainWindow::SetUp();
        Filters(ReadAll(std::string(TV_SOURCE_DIR) + "/data/exportFilters.xml"));
        Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
        Start();
    }
    void TearDown() override {
        MainWindow::TearDown();
        OutputFilterFactory::Unload();
    }
    CurrSource* Source() { return MainForm->CurrentSource; }
    // Only our own currencies are offered, against a base worth one reference unit.
    void OwnTable() {
        for (CurrItr it = Source()->GetCurrencies(); it.HasNext();) it.Next()->SetSelected(false);
        Source()->AddCurrency("Unit", "UNT", 1, "5 April, 2003", false, true);
        Source()->SetPreferredBase("Unit");
    }
    void Add(const std::string& name, const std::string& iso, long double value, const std::string& date = "d") {
        Source()->AddCurrency(name, iso, value, date, true, true);
    }
    // Opens the dialog as the user does and runs work while it is shown.
    void WithDialog(std::function<void()> work) {
        dialogs.QueueModal([work](TForm*) { work(); });
        Key(Qt::Key_T, Qt::ControlModifier);
    }
    void Pick(const std::string& target) {
        auto* box = static_cast<QComboBox*>(ExportForm->ComboBox1->Handle());
        int i = box->findText(QString::fromStdString(target));
        ASSERT_GE(i, 0) << target;
        box->setCurrentIndex(i);
        emit box->activated(i);
    }
    void Click(TControl* c) { QTest::mouseClick(c->Handle(), Qt::LeftButton); }
    // One export to target into path; true when the dialog closed.
    bool ExportTo(const std::string& target, const std::string& path) {
        bool closed = false;
        dialogs.QueueFile(path);
        WithDialog([&] {
            Pick(target);
            Click(ExportForm->Button1);
            closed = !ExportForm->Visible();
        });
        return closed;
    }
    std::vector<std::string> Targets() {
        std::vector<std::string> out;
        for (int i = 0; i < ExportForm->ComboBox1->Items()->Count(); ++i)
            out.push_back(ExportForm->ComboBox1->Items()->Get(i));
        return out;
    }
    void Filters(const std::string& xml) { WriteAll(DataFile("exportFilters.xml"), xml); }
};
