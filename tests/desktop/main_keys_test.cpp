// Keys and the Edit and Window commands of the main window, typed and chosen
// as a user does while a child window's field has the cursor.
#include "desktop/desktopfixture.h"

#include "export/exportwin.h"
#include "platform/stdctrls.h"
#include "windows/worldwin.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>

namespace {
class MainKeys : public DesktopProgram {
protected:
    // Opens a World window with Ctrl+W and clicks into its amount field.
    TWorldForm* OpenWorldWithTheCursorInItsAmount() {
        x().Key("ctrl+w");
        TWorldForm* world = nullptr;
        WaitUntil([&] {
            for (TCurrencyWindow* w : MainForm->OpenWindows)
                if (auto* found = dynamic_cast<TWorldForm*>(w)) world = found;
            return world && world->Edit1->Handle()->isVisible();
        });
        if (!world || !ClickInto(world->Edit1)) return nullptr;
        return world;
    }
};
}  // namespace

TEST_F(MainKeys, ActionShortcutsWinOverTheFocusedFieldWhichKeepsItsOtherKeys) {
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n[Internet]\r\nuseInternet=0\r\n");
    StartProgram();
    TWorldForm* world = OpenWorldWithTheCursorInItsAmount();
    ASSERT_NE(world, nullptr);
    ASSERT_TRUE(world->Edit1->Focused());
    world->Edit1->SetText("");
    x().Type("125");
    ASSERT_TRUE(WaitUntil([&] { return world->Edit1->Text() == "125"; }));

    x().Key("ctrl+a");  // the calculator, not "select all"
    ASSERT_TRUE(WaitUntil([&] { return !launches.Files().empty(); }));
    EXPECT_EQ(launches.Files().back(), "calc.exe");
    EXPECT_FALSE(static_cast<QLineEdit*>(world->Edit1->Handle())->hasSelectedText());

    // The update, not "erase the line": reading from a file opens its dialog.
    QFileDialog* dialog = nullptr;
    Script s;
    s.Then("Ctrl+U", [&] { x().Key("ctrl+u"); })
        .When("the file dialog",
              [&] { return (dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) && Active(dialog); },
              [&] { x().Key("Escape"); })
        .When("the update over", [&] { return !MainForm->UpdateButton->Down(); });
    ASSERT_TRUE(s.Run()) << s.Failed();
    EXPECT_EQ(world->Edit1->Text(), "125");

    // Keys no action claims stay with the field.
    ASSERT_TRUE(ClickInto(world->Edit1));
    x().Key("End");
    x().Key("BackSpace");
    EXPECT_TRUE(WaitUntil([&] { return world->Edit1->Text() == "12"; }));
}

TEST_F(MainKeys, EditAndWindowCommandsAreEnabledOnlyWithATarget) {
    StartProgram();
    QApplication::clipboard()->setText("7");
    auto enabled = [&](TMenuItem* menu, int index) { return menu->Items(index)->QtAction()->isEnabled(); };
    // Nothing to cut, copy or paste into, no child to arrange.
    Script s;
    s.Then("open Edit", [&] { ClickMenuBar(MainForm->Edit1); })
        .When("Edit shown", [&] { return MainForm->Edit1->QtMenu()->isVisible(); },
              [&] {
                  EXPECT_FALSE(enabled(MainForm->Edit1, 0));
                  EXPECT_FALSE(enabled(MainForm->Edit1, 1));
                  EXPECT_FALSE(enabled(MainForm->Edit1, 2));
                  x().Key("Escape");
              })
        .When("Edit closed", [&] { return !MainForm->Edit1->QtMenu()->isVisible(); },
              [&] { ClickMenuBar(MainForm->Window1); })
        .When("Window shown", [&] { return MainForm->Window1->QtMenu()->isVisible(); },
              [&] {
                  for (int i = 0; i < 4; ++i) EXPECT_FALSE(enabled(MainForm->Window1, i)) << i;
                  x().Key("Escape");
              })
        .When("Window closed", [&] { return !MainForm->Window1->QtMenu()->isVisible(); });
    ASSERT_TRUE(s.Run()) << s.Failed();

    TWorldForm* world = OpenWorldWithTheCursorInItsAmount();
    ASSERT_NE(world, nullptr);
    world->Edit1->SetText("345");
    x().Key("ctrl+End");
    x().Key("shift+Left");  // "5" selected
    auto* line = static_cast<QLineEdit*>(world->Edit1->Handle());
    ASSERT_TRUE(WaitUntil([&] { return line->selectedText() == "5"; }))
        << line->text().toStdString() << " pos " << line->cursorPosition() << " sel " << line->selectedText().toStdString()
        << " focus " << world->Edit1->Focused() << " active " << Active(line) << " " << QApplication::focusWidget();
    Script t;
    t.Then("open Edit", [&] { ClickMenuBar(MainForm->Edit1); })
        .When("Edit shown", [&] { return MainForm->Edit1->QtMenu()->isVisible(); },
              [&] {
                  EXPECT_TRUE(enabled(MainForm->Edit1, 0));
                  EXPECT_TRUE(enabled(MainForm->Edit1, 1));
                  EXPECT_TRUE(enabled(MainForm->Edit1, 2));
                  ClickMenuItem(MainForm->Edit1->Items(0));  // Cut
              })
        .When("cut", [&] { return world->Edit1->Text() == "34"; }, [&] { ClickMenuBar(MainForm->Window1); })
        .When("Window shown", [&] { return MainForm->Window1->QtMenu()->isVisible(); },
              [&] {
                  for (int i = 0; i < 4; ++i) EXPECT_TRUE(enabled(MainForm->Window1, i)) << i;
                  x().Key("Escape");
              })
        .When("Window closed", [&] { return !MainForm->Window1->QtMenu()->isVisible(); });
    ASSERT_TRUE(t.Run()) << t.Failed();
    EXPECT_EQ(QApplication::clipboard()->text(), "5");
    // Back in the field, Ctrl+V pastes through the action.
    ASSERT_TRUE(ClickInto(world->Edit1));
    x().Key("End");
    x().Key("ctrl+v");
    EXPECT_TRUE(WaitUntil([&] { return world->Edit1->Text() == "345"; }));
}

TEST_F(MainKeys, TheExportDialogAnswersEscapeAndEnterOnItsFocusedCancel) {
    StartProgram();
    for (const char* key : {"Escape", "Return"}) {
        Script s;
        s.Then("Ctrl+T", [&] { x().Key("ctrl+t"); })
            .When("the export dialog", [&] { return ExportForm->Visible() && Active(ExportForm->Handle()); },
                  [&] {
                      if (std::string(key) == "Return") {
                          ExportForm->Button2->SetFocus();  // Cancel, reached by Tab
                          WaitUntil([&] { return ExportForm->Button2->Focused(); });
                      }
                      x().Key(key);
                  })
            .When("closed", [&] { return !ExportForm->Visible(); });
        ASSERT_TRUE(s.Run()) << s.Failed() << " with " << key;
        EXPECT_TRUE(launches.Files().empty());
    }
}
