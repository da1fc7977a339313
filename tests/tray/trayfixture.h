// A test run of the tray program in a temporary program folder with the
// shipped rate files: its forms made as the program makes them, the hot key
// and tray icon faked, every message box and shell launch recorded.
#pragma once

#include "currency/currsource.h"
#include "platform/shellapi.h"
#include "pocketvane/converterwin.h"
#include "pocketvane/hotkeywin.h"
#include "pocketvane/trayabout.h"
#include "pocketvane/traymain.h"
#include "pocketvane/traysettings.h"
#include "pocketvane/traystartup.h"
#include "support/fakebackends.h"
#include "support/testenv.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <string>

class TrayProgram : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        CopyShippedData(folder.Path());
        EnsureToolkit();
    }
    void TearDown() override {
        Quit();
        ProgramFolderTest::TearDown();
    }
    // Starts the program as its entry does, after the lock.
    void Start() {
        app = std::make_unique<TApplication>();
        CreateTrayForms();
    }
    // Ends the process's part of the program without Exit: nothing is written.
    void Quit() {
        app.reset();
        QApplication::processEvents();
    }
    void Ini(const std::string& name, const std::string& text) { WriteAll(folder.File(name), text); }
    FakeTrayIcon* Icon() { return icons.icons.back(); }
    // As the user picks an entry from the drop-down list.
    void Pick(TComboBox* list, const std::string& name) {
        auto* box = static_cast<QComboBox*>(list->Handle());
        int i = box->findText(QString::fromStdString(name));
        ASSERT_GE(i, 0) << name;
        box->setCurrentIndex(i);
        emit box->activated(i);
    }
    void Type(TEdit* edit, const std::string& text) {
        edit->SetFocus();
        static_cast<QLineEdit*>(edit->Handle())->selectAll();
        QTest::keyClicks(edit->Handle(), QString::fromStdString(text));
    }
    void Click(TButton* b) { QTest::mouseClick(b->Handle(), Qt::LeftButton); }
    std::string Amount(const std::string& text, const char* from, const char* to) {
        CurrSource* s = TrayMainForm->Source;
        return s->ConvertText(text, s->FindCurrency(from), s->FindCurrency(to));
    }

    FakeHotKeys hotKeys;
    FakeTrayIcons icons;
    ShellLaunchRecorder launches;
    std::unique_ptr<TApplication> app;
};
