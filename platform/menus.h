// Main and popup menus. An item bound to an action takes the action's text,
// image, hint and state; an item may then carry its own caption and image.
#pragma once

#include "platform/actnlist.h"
#include "platform/controls.h"

#include <string>
#include <vector>

class QMenu;
class QMenuBar;
class QAction;

class TMenuItem : public TComponent, public TActionClient {
public:
    explicit TMenuItem(TComponent* owner, const std::string& caption = "");
    ~TMenuItem() override;

    std::string Caption() const { return caption_; }
    // "-" makes a separator.
    void SetCaption(const std::string& caption);
    void SetHint(const std::string& hint);
    std::string Hint() const { return hint_; }
    void SetImageIndex(int index);
    int ImageIndex() const { return imageIndex_; }
    bool Checked() const;
    void SetEnabled(bool enabled);
    bool Enabled() const;
    void SetShortCut(const std::string& shortCut);
    void SetAction(TAction* action);
    TAction* Action() const { return action_; }
    bool IsSeparator() const { return caption_ == "-"; }

    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_[static_cast<size_t>(index)]; }
    TMenuItem* Parent() const { return parent_; }

    // What choosing the item does: the action's Execute, else OnClick.
    void Click();
    TNotifyEvent OnClick;

    void ActionChanged() override;
    QAction* QtAction() const { return qaction_; }
    // The item's submenu, made on first use.
    QMenu* QtMenu();
    void SetImages(TImageList* images);

private:
    void Refresh();
    TImageList* Images() const;
    std::string caption_, hint_, shortCut_;
    int imageIndex_ = -1;
    bool ownCaption_ = false, ownImage_ = false, ownHint_ = false;
    TAction* action_ = nullptr;
    TMenuItem* parent_ = nullptr;
    std::vector<TMenuItem*> items_;
    QAction* qaction_;
    QMenu* menu_ = nullptr;
    TImageList* images_ = nullptr;
    bool inMenuBar_ = false;
    friend class TMainMenu;
};

class TMainMenu : public TComponent {
public:
    explicit TMainMenu(TComponent* owner);
    ~TMainMenu() override;
    void SetImages(TImageList* images) { items_->SetImages(images); }
    // Adds a top-level menu.
    void Add(TMenuItem* item);
    QMenuBar* MenuBar() const;

private:
    TMenuItem* items_;
    QMenuBar* bar_;
};

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner);
    TMenuItem* Items() const { return items_; }
    void SetImages(TImageList* images) { items_->SetImages(images); }
    void Add(TMenuItem* item) { items_->Add(item); }
    // Opens the menu at a screen position and returns when it has closed.
    void Popup(int x, int y);
    QMenu* QtMenu() const { return items_->QtMenu(); }
    TNotifyEvent OnPopup;

private:
    TMenuItem* items_;
};
