#include "platform/dialogs.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

TEST(Dialogs, ScriptedResponderRecordsBoxesAndAnswersInOrder) {
    ScriptedResponder outer;
    {
        ScriptedResponder inner;
        inner.QueueAnswer(mrYes);
        ShowMessage("plain");
        EXPECT_EQ(MessageDlg("first?", mtConfirmation, {mbYes, mbCancel}, 0), mrYes);
        // Nothing queued: the box answers with its safest button.
        EXPECT_EQ(MessageDlg("second?", mtConfirmation, {mbYes, mbCancel}, 0), mrCancel);
        EXPECT_EQ(MessageDlg("third?", mtConfirmation, {mbYes, mbNo}, 0), mrNo);
        EXPECT_EQ(MessageDlg("note", mtError, {mbOK}, 0), mrOk);
        ASSERT_EQ(inner.Boxes().size(), 5u);
        EXPECT_FALSE(inner.Boxes()[0].typed);
        EXPECT_EQ(inner.Boxes()[4].type, mtError);
    }
    // The inner responder gave the boxes back to the outer one.
    ShowMessage("after");
    EXPECT_EQ(outer.Texts(), std::vector<std::string>{"after"});
}
