// Layer tests on the virtual desktop: the toolkit on the real X server, an
// application object with real message boxes, forms made by the test.
#pragma once

#include "desktop/xdesktop.h"
#include "platform/vcl.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

class DesktopLayer : public ::testing::Test {
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
    static XDesktop& x() { return XDesktop::Get(); }
    static bool Active(QWidget* w) { return w && x().ActiveWindow() == x().WindowOf(w); }
    // Shows a top-level form and waits until the window manager has it on screen and active.
    static bool ShowAndWait(TForm* form) {
        form->Show();
        return WaitUntil([&] { return x().Viewable(x().WindowOf(form->Handle())) && Active(form->Handle()); });
    }
    static bool ClickInto(TControl* control) {
        x().Click(x().Centre(control->Handle()));
        return WaitUntil([&] { return control->Focused() && Active(control->Handle()); });
    }

    std::unique_ptr<TApplication> app;
};
