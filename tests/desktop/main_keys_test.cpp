// Keys and the Edit and Window commands of the main window, typed and chosen
// as a user does while a child window's field has the cursor.
#include "desktop/desktopfixture.h"

#include "export/exportwin.h"
#include "platform/stdctrls.h"
#include "windows/editcurrencywin.h"
#include "windows/preferredwin.h"
#include "windows/rateswin.h"
#include "windows/worldwin.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QRadioButton>

#include <algorithm>
#include <iterator>
#include <vector>

#include <functional>
#include <string>

namespace {
class MainKeys : public DesktopProgram {
protected:
    // Opens a World window with Ctrl+W and clicks into its amount field.
    TWorldForm* OpenWorldWithTheCursorInItsAmount() {
        x().Key("ctrl+w");
        TWorldForm* world = Shown<TWorldForm>();
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
    // Opens Edit, then Window, and finds every command of both enabled or not;
    // `leaveEdit` closes Edit, by a key or by choosing one of its commands.
    auto menus = [&](bool expected, const std::function<void()>& leaveEdit) {
        auto enabled = [&](TMenuItem* menu, int index) { return menu->Items(index)->QtAction()->isEnabled(); };
        Script s;
        s.Then("open Edit", [&] { ClickMenuBar(MainForm->Edit1); })
            .When("Edit shown", [&] { return MainForm->Edit1->QtMenu()->isVisible(); },
                  [&] {
                      for (int i = 0; i < 3; ++i) EXPECT_EQ(enabled(MainForm->Edit1, i), expected) << i;
                      leaveEdit();
                  })
            .When("Edit closed", [&] { return !MainForm->Edit1->QtMenu()->isVisible(); },
                  [&] { ClickMenuBar(MainForm->Window1); })
            .When("Window shown", [&] { return MainForm->Window1->QtMenu()->isVisible(); },
                  [&] {
                      for (int i = 0; i < 4; ++i) EXPECT_EQ(enabled(MainForm->Window1, i), expected) << i;
                      x().Key("Escape");
                  })
            .When("Window closed", [&] { return !MainForm->Window1->QtMenu()->isVisible(); });
        return s.Run() ? std::string() : s.Failed();
    };
    // Nothing to cut, copy or paste into, no child to arrange.
    ASSERT_EQ(menus(false, [&] { x().Key("Escape"); }), "");

    TWorldForm* world = OpenWorldWithTheCursorInItsAmount();
    ASSERT_NE(world, nullptr);
    world->Edit1->SetText("345");
    x().Key("ctrl+End");
    x().Key("shift+Left");  // "5" selected
    auto* line = static_cast<QLineEdit*>(world->Edit1->Handle());
    ASSERT_TRUE(WaitUntil([&] { return line->selectedText() == "5"; }));
    ASSERT_EQ(menus(true, [&] { ClickMenuItem(MainForm->Edit1->Items(0)); }), "");  // Cut
    EXPECT_TRUE(WaitUntil([&] { return world->Edit1->Text() == "34"; }));
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

TEST_F(MainKeys, TabReachesEveryButtonInItsRowsOrderAndTheCheckedRadioButton) {
    StartProgram();
    // Tabs from the field that has the cursor; the controls it lands on, in order.
    auto tabbing = [&](int presses) {
        std::vector<QWidget*> reached;
        for (int i = 0; i < presses; ++i) {
            QWidget* before = QApplication::focusWidget();
            x().Key("Tab");
            WaitUntil([&] { return QApplication::focusWidget() != before; });
            reached.push_back(QApplication::focusWidget());
        }
        return reached;
    };
    auto at = [](const std::vector<QWidget*>& order, TControl* c) {
        return std::find(order.begin(), order.end(), c->Handle()) - order.begin();
    };
    TWorldForm* world = OpenWorldWithTheCursorInItsAmount();
    ASSERT_NE(world, nullptr);
    const std::vector<QWidget*> order = tabbing(10);
    TControl* row[] = {world->BitBtn1, world->BitBtn2, world->SwitchButton, world->UndockButton, world->ClearButton,
                       world->BitBtn3};
    for (size_t i = 0; i < std::size(row); ++i) {
        EXPECT_LT(at(order, row[i]), static_cast<long>(order.size())) << "button " << i << " not reached";
        if (i > 0) {
            EXPECT_LT(at(order, row[i - 1]), at(order, row[i])) << "button " << i;
        }
    }

    x().Key("ctrl+p");
    TPreferredForm* preferred = Shown<TPreferredForm>();
    ASSERT_NE(preferred, nullptr);
    ASSERT_TRUE(ClickInto(preferred->Edit1));
    const std::vector<QWidget*> pairs = tabbing(12);
    EXPECT_LT(at(pairs, preferred->Button1), static_cast<long>(pairs.size())) << "the pair editor's button";

    // The currency editor's rate kind: Tab lands on the checked one.
    x().Key("ctrl+r");
    ASSERT_TRUE(WaitUntil([&] { return MainForm->RatesWindow && MainForm->RatesWindow->Handle()->isVisible(); }));
    QWidget* radio = nullptr;
    Script s;
    s.Then("Add", [&] { x().Click(x().Centre(MainForm->RatesWindow->AddButton->Handle())); })
        .When("the editor", [&] { return EditCurrencyForm->Visible() && Active(EditCurrencyForm->Handle()); },
              [&] {
                  for (int i = 0; i < 8 && !radio; ++i) {
                      QWidget* now = tabbing(1).back();
                      if (qobject_cast<QRadioButton*>(now)) radio = now;
                  }
                  x().Key("Escape");
              })
        .When("closed", [&] { return !EditCurrencyForm->Visible(); });
    ASSERT_TRUE(s.Run()) << s.Failed();
    ASSERT_NE(radio, nullptr);
    EXPECT_TRUE(static_cast<QRadioButton*>(radio)->isChecked()) << static_cast<QRadioButton*>(radio)->text().toStdString();
}
