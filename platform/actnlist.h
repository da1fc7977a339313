// Actions: one command with its caption, hint, shortcut, image and state,
// shown by any number of menu items and buttons, which follow its state.
#pragma once

#include "platform/controls.h"

#include <string>
#include <vector>

class TImageList;
class TForm;
class QWidget;

// Something that shows an action: a menu item or a tool button.
class TActionClient {
public:
    virtual ~TActionClient() = default;
    virtual void ActionChanged() = 0;
};

class TActionList : public TComponent {
public:
    explicit TActionList(TComponent* owner) : TComponent(owner) {}
};

class TAction : public TComponent {
public:
    TAction(TActionList* list, const std::string& caption, const std::string& shortCut = "", int imageIndex = -1,
            const std::string& hint = "");
    ~TAction() override;

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    std::string Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    // A key sequence as text, such as "Ctrl+P", "Ctrl+Alt+W" or "F1"; "" for none.
    std::string ShortCut() const { return shortCut_; }
    void SetShortCut(const std::string& shortCut);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    std::string Category;

    // Brings the enabled state up to date (a standard action follows its
    // target), then runs the action when it is enabled; true when it ran.
    virtual bool Execute();
    // Brings the state up to date with what the action acts on; the layer
    // calls it before a menu shows the action and before its shortcut acts.
    virtual void Update() {}
    TNotifyEvent OnExecute;

    void AddClient(TActionClient* client);
    void RemoveClient(TActionClient* client);
    // The form whose action list holds the action.
    TForm* Form() const;

protected:
    // What the action does when no OnExecute handler is set; false when it
    // does nothing of its own.
    virtual bool ExecuteTarget() { return false; }

private:
    void Changed();
    TActionList* list_;
    std::string caption_, hint_, shortCut_;
    int imageIndex_;
    bool enabled_ = true, checked_ = false;
    std::vector<TActionClient*> clients_;
};

// A key press the actions may claim: in the class library a shortcut of an
// enabled action of the focused form, then of the main form, wins over the
// focused control's own handling of the key. True when an action claims it;
// with `run` the action is executed.
bool ActionShortCut(QWidget* receiver, int qtKey, int qtModifiers, bool run);
