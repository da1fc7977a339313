// Texts as the user reads them: message boxes and labels show exactly what
// they are given, and a box is wide enough for its whole caption.
#include "desktop/layerfixture.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>

namespace {
// The width the text takes when shown as it stands.
int PlainWidth(QWidget* w, const QString& text) { return QFontMetrics(w->font()).horizontalAdvance(text); }
}  // namespace

TEST_F(DesktopLayer, MessageBoxesShowTagsAsTextAndTheirWholeCaption) {
    const std::string text = "Can't correctly find date of currencies. (between \"<H3>\" and \"</H3>\")";
    for (bool typed : {false, true}) {
        QMessageBox* box = nullptr;
        QLabel* label = nullptr;
        Script s;
        s.Then("show the box", [&] {
             if (typed) MessageDlg(text, mtError, {mbOK}, 0);
             else ShowMessage(text);
         })
            .When("the box on screen and active",
                  [&] {
                      box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                      return box && x().Viewable(x().WindowOf(box)) && Active(box);
                  },
                  [&] {
                      label = box->findChild<QLabel*>("qt_msgbox_label");
                      ASSERT_NE(label, nullptr);
                      EXPECT_TRUE(label->text().contains("<H3>"));
                      // Read as markup, "<H3>" would vanish and the rest would be a heading.
                      EXPECT_EQ(label->textFormat(), Qt::PlainText);
                      QFont bold = box->font();
                      bold.setBold(true);
                      const int captionNeeds = QFontMetrics(bold).horizontalAdvance("Tallyvane 2");
                      EXPECT_EQ(x().Title(x().WindowOf(box)), "Tallyvane 2");
                      EXPECT_GE(x().FrameRect(x().WindowOf(box)).width(), captionNeeds + 100);
                      x().Key("Return");
                  })
            .When("the box gone", [&] { return !QApplication::activeModalWidget(); });
        ASSERT_TRUE(s.Run()) << s.Failed() << (typed ? " (typed box)" : " (plain box)");
    }
    // A narrow text makes a narrow box, still with its caption whole.
    Script n;
    QMessageBox* box = nullptr;
    n.Then("show", [&] { ShowMessage("Error"); })
        .When("shown", [&] { return (box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) && Active(box); },
              [&] {
                  EXPECT_GE(box->width(), 200);
                  x().Key("Return");
              })
        .When("gone", [&] { return !QApplication::activeModalWidget(); });
    ASSERT_TRUE(n.Run()) << n.Failed();
}

TEST_F(DesktopLayer, LabelsShowTagsAsText) {
    TForm form(nullptr);
    form.SetClientSize(300, 80);
    auto* label = new TLabel(&form, &form, "Rates <b>as of</b> today");
    ASSERT_TRUE(ShowAndWait(&form));
    auto* q = static_cast<QLabel*>(label->Handle());
    EXPECT_GE(q->width(), PlainWidth(q, "Rates <b>as of</b> today"));
}
