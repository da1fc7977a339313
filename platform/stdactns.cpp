#include "platform/stdactns.h"

#include "platform/forms.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {
// What the focused control offers the edit commands.
struct EditState {
    bool edit = false;           // an edit control has the focus
    bool selection = false;      // with text selected
    bool readOnly = false;
    bool clipboardText = false;  // the clipboard holds text to paste
};

template <typename LineOp, typename TextOp>
void OnFocused(LineOp lineOp, TextOp textOp) {
    QWidget* w = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(w)) lineOp(line);
    else if (auto* text = qobject_cast<QPlainTextEdit*>(w)) textOp(text);
    else if (auto* box = qobject_cast<QComboBox*>(w); box && box->lineEdit()) lineOp(box->lineEdit());
}

EditState FocusedEditState() {
    EditState state;
    OnFocused(
        [&](QLineEdit* e) {
            state.edit = true;
            state.selection = e->hasSelectedText();
            state.readOnly = e->isReadOnly();
        },
        [&](QPlainTextEdit* e) {
            state.edit = true;
            state.selection = e->textCursor().hasSelection();
            state.readOnly = e->isReadOnly();
        });
    if (state.edit) state.clipboardText = !QApplication::clipboard()->text().isEmpty();
    return state;
}

void CutFocusedControl() {
    OnFocused([](QLineEdit* e) { e->cut(); }, [](QPlainTextEdit* e) { e->cut(); });
}
void CopyFocusedControl() {
    OnFocused([](QLineEdit* e) { e->copy(); }, [](QPlainTextEdit* e) { e->copy(); });
}
void PasteFocusedControl() {
    OnFocused([](QLineEdit* e) { e->paste(); }, [](QPlainTextEdit* e) { e->paste(); });
}
}  // namespace

void TEditCut::Update() { SetEnabled(FocusedEditState().selection && !FocusedEditState().readOnly); }
bool TEditCut::ExecuteTarget() {
    CutFocusedControl();
    return true;
}

void TEditCopy::Update() { SetEnabled(FocusedEditState().selection); }
bool TEditCopy::ExecuteTarget() {
    CopyFocusedControl();
    return true;
}

void TEditPaste::Update() {
    const EditState state = FocusedEditState();
    SetEnabled(state.edit && !state.readOnly && state.clipboardText);
}
bool TEditPaste::ExecuteTarget() {
    PasteFocusedControl();
    return true;
}

void TWindowAction::Update() {
    TForm* frame = Form();
    SetEnabled(frame && frame->FormStyle() == fsMDIForm && !frame->MDIChildren().empty());
}

bool TWindowCascade::ExecuteTarget() {
    Form()->Cascade();
    return true;
}

bool TWindowTileHorizontal::ExecuteTarget() {
    Form()->TileHorizontal();
    return true;
}

bool TWindowTileVertical::ExecuteTarget() {
    Form()->TileVertical();
    return true;
}

bool TWindowMinimizeAll::ExecuteTarget() {
    Form()->MinimizeAllChildren();
    return true;
}
