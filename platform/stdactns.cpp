#include "platform/stdactns.h"

#include "platform/forms.h"
#include "platform/stdctrls.h"

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
