// Standard actions: commands that act on a target of their own (the focused
// edit control, the MDI frame's children) and are enabled only while they
// have one. An OnExecute handler, when set, replaces what they do.
#pragma once

#include "platform/actnlist.h"

// Cut, copy and paste on the focused edit control.
class TEditCut : public TAction {
public:
    using TAction::TAction;
    void Update() override;

protected:
    bool ExecuteTarget() override;
};

class TEditCopy : public TAction {
public:
    using TAction::TAction;
    void Update() override;

protected:
    bool ExecuteTarget() override;
};

class TEditPaste : public TAction {
public:
    using TAction::TAction;
    void Update() override;

protected:
    bool ExecuteTarget() override;
};

// Arranging the children of the MDI frame that owns the action list.
class TWindowAction : public TAction {
public:
    using TAction::TAction;
    void Update() override;
};

class TWindowCascade : public TWindowAction {
public:
    using TWindowAction::TWindowAction;

protected:
    bool ExecuteTarget() override;
};

class TWindowTileHorizontal : public TWindowAction {
public:
    using TWindowAction::TWindowAction;

protected:
    bool ExecuteTarget() override;
};

class TWindowTileVertical : public TWindowAction {
public:
    using TWindowAction::TWindowAction;

protected:
    bool ExecuteTarget() override;
};

class TWindowMinimizeAll : public TWindowAction {
public:
    using TWindowAction::TWindowAction;

protected:
    bool ExecuteTarget() override;
};
