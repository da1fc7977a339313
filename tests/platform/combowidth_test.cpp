// A combo box's width for its longest entry, as forms use it to fit long names.
#include "platform/vcl.h"

#include <QApplication>
#include <QComboBox>

#include <gtest/gtest.h>

#include <memory>

TEST(ComboBoxWidth, ShowsTheLongestEntryWhole) {
    EnsureToolkit();
    auto app = std::make_unique<TApplication>();
    {
        TForm form(nullptr);
        auto* combo = new TComboBox(&form, &form);
        auto* box = static_cast<QComboBox*>(combo->Handle());
        const int empty = combo->ItemsWidth();
        EXPECT_GT(empty, 0);  // the drop-down button alone
        combo->Items()->Add("Euro");
        combo->Items()->Add("A rather long currency name");
        combo->Items()->Add("Yen");
        const int needed = combo->ItemsWidth();
        const int text = box->fontMetrics().horizontalAdvance("A rather long currency name");
        EXPECT_GE(needed, text + 20);
        EXPECT_LT(needed, text + 80);
        combo->SetItemIndex(1);
        combo->SetBounds(0, 0, needed, 22);
        // Qt's own measure of what the chosen entry needs fits in that width.
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        EXPECT_LE(box->sizeHint().width(), needed + 4);
        combo->Items()->Clear();
        EXPECT_EQ(combo->ItemsWidth(), empty);
    }
    app.reset();
    QApplication::processEvents();
}
