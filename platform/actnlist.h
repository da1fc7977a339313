// Actions: one command with its caption, hint, shortcut, image and state,
// shown by any number of menu items and buttons, which follow its state.
#pragma once

#include "platform/controls.h"

#include <string>
#include <vector>

class TImageList;
class QAction;

// Something that shows an action: a menu item or a tool button.
class TActionClient {
public:
    virtual ~TActionClient() = default;
    virtual void ActionChanged() = 0;
};

class TActionList : public TComponent {
public:
    explicit TActionList(TComponent* owner) : TComponent(owner) {}
    void SetImages(TImageList* images) { images_ = images; }
    TImageList* Images() const { return images_; }

private:
    TImageList* images_ = nullptr;
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
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    std::string Category;
    TActionList* ActionList() const { return list_; }

    // Runs OnExecute when the action is enabled; true when it ran.
    bool Execute();
    TNotifyEvent OnExecute;

    void AddClient(TActionClient* client);
    void RemoveClient(TActionClient* client);
    // Makes the shortcut work anywhere in the window of `form`.
    void BindShortCut(QWidget* window);

private:
    void Changed();
    TActionList* list_;
    std::string caption_, hint_, shortCut_;
    int imageIndex_;
    bool enabled_ = true, checked_ = false, visible_ = true;
    std::vector<TActionClient*> clients_;
    QAction* shortcutAction_ = nullptr;
};
