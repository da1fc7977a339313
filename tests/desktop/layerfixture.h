// Layer tests on the virtual desktop: the toolkit on the real X server, an
// application object with real message boxes, forms made by the test.
#pragma once

#include "desktop/xdesktop.h"
#include "platform/formkit.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

// What every desktop test does with its hands: look at the screen, click into controls.
class DesktopHands : public ::testing::Test {
protected:
    static XDesktop& x() { return XDesktop::Get(); }
    // Active for the window manager and for the toolkit alike.
    static bool Active(QWidget* w) {
        return w && x().ActiveWindow() == x().WindowOf(w) && QApplication::activeWindow() == w->window();
    }
    // Clicks into a control and waits until it has the keyboard.
    // (A second click at the same spot soon after would be a double click:
    // `at` picks another spot in the control.)
    static bool ClickInto(TControl* control, QPoint at = QPoint(-1, -1)) {
        x().Click(at.x() < 0 ? x().Centre(control->Handle()) : x().RootPos(control->Handle(), at));
        return WaitUntil([&] { return control->Focused() && Active(control->Handle()); });
    }
};

class DesktopLayer : public DesktopHands {
protected:
    void SetUp() override {
        EnsureToolkit();
        app = std::make_unique<TApplication>();
        app->Initialize();
        app->SetTitle("Tallyvane 2");
    }
    void TearDown() override {
        app.reset();
        QApplication::processEvents();
    }
    // Shows a top-level form and waits until the window manager has it on screen and active.
    static bool ShowAndWait(TForm* form) {
        form->Show();
        return WaitUntil([&] { return x().Viewable(x().WindowOf(form->Handle())) && Active(form->Handle()); });
    }
    // A main window for the dialogs of a test to belong to, as in the programs.
    TForm* ShowMainForm() {
        TForm* main = new TForm(app.get());
        app->SetMainForm(main);
        main->SetClientSize(500, 400);
        return ShowAndWait(main) ? main : nullptr;
    }

    std::unique_ptr<TApplication> app;
};
