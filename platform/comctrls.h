// Image lists, tool bars, status bars and list views.
#pragma once

#include "platform/actnlist.h"
#include "platform/controls.h"

#include <memory>
#include <string>
#include <vector>

class QIcon;
class QToolBar;
class QStatusBar;
class TPopupMenu;

class TImageList : public TComponent {
public:
    TImageList(TComponent* owner, int width, int height);
    ~TImageList() override;
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Puts a picture (a file, or ":/..." for one built into the program) at an
    // index; indexes in between stay empty.
    void SetImage(int index, const std::string& imageFile);
    // The same picture drawn at another size, for places that show it larger.
    void AddImageSize(int index, const std::string& imageFile);

private:
    friend QIcon ImageListIcon(const TImageList* list, int index);
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int width_, height_;
};

// The picture at an index (none for a null list or an empty index); for the
// layer's own use.
QIcon ImageListIcon(const TImageList* list, int index);

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator };

class TToolBar : public TWinControl {
public:
    explicit TToolBar(TComponent* owner);
    // Null shows the buttons' captions alone.
    void SetImages(TImageList* images);
    TImageList* Images() const { return images_; }
    void SetShowCaptions(bool show);
    void SetButtonSize(int width, int height);
    int ButtonWidth() const { return buttonWidth_; }
    int ButtonHeight() const { return buttonHeight_; }
    QToolBar* QtBar() const;

private:
    friend class TToolButton;
    void Restyle();
    TImageList* images_ = nullptr;
    bool showCaptions_ = true;
    int buttonWidth_ = 23, buttonHeight_ = 22;
};

class TToolButton : public TControl, public TActionClient {
public:
    TToolButton(TComponent* owner, TToolBar* bar, TToolButtonStyle style = tbsButton, int width = 0);
    ~TToolButton() override;
    void SetAction(TAction* action);
    void SetCaption(const std::string& caption);
    void SetImageIndex(int index);
    int ImageIndex() const { return imageIndex_; }
    bool Down() const;
    void SetDown(bool down);
    void SetDropdownMenu(TPopupMenu* menu);
    // As a press of the button.
    void Click();
    void ActionChanged() override;

protected:
    void DoClick() override {}
    void DoPopup(int x, int y) override;

private:
    friend class TToolBar;
    void Refresh();
    TToolBar* bar_;
    TToolButtonStyle style_;
    TAction* action_ = nullptr;
    TPopupMenu* dropdown_ = nullptr;
    std::string caption_;
    int imageIndex_ = -1;
    bool ownCaption_ = false, ownImage_ = false;
};

class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* owner);
    QStatusBar* QtStatusBar() const;
};

class TListView;

// A row of a list view. It keeps its own texts, so filling and sorting many
// rows costs no more than the texts; the view asks for the rows it shows.
class TListItem {
public:
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // The texts of the columns after the first.
    std::string SubItem(int index) const;
    void SetSubItem(int index, const std::string& text);
    int SubItemCount() const { return static_cast<int>(subItems_.size()); }
    void AddSubItem(const std::string& text) { SetSubItem(SubItemCount(), text); }
    bool Selected() const;
    void SetSelected(bool selected);
    int Index() const { return row_; }

private:
    friend class TListView;
    explicit TListItem(TListView* view) : view_(view) {}
    TListView* view_;
    std::string caption_;
    std::vector<std::string> subItems_;
    int row_ = 0;
    bool pendingSelected_ = false;  // chosen before the view was told of the row
};

class TListView : public TWinControl {
public:
    explicit TListView(TComponent* owner, TWinControl* parent = nullptr);
    ~TListView() override;
    void AddColumn(const std::string& caption, int width, bool rightAligned = false);
    // The column shares, with the other such columns, the width the rest leave.
    void SetColumnAutoSize(int index);
    // Keeps the rows in the order of their captions, ignoring letter case;
    // rows with equal captions keep the order they came in. Between
    // BeginUpdate and EndUpdate the order is restored once, at the end.
    void SetSorted(bool sorted);
    TListItem* AddItem();
    int Count() const { return static_cast<int>(items_.size()); }
    TListItem* Item(int index) const { return items_[static_cast<size_t>(index)].get(); }
    void Delete(int index);
    void Clear();
    void SetMultiSelect(bool multi);
    // The first selected item, or null.
    TListItem* Selected() const;
    int SelCount() const;
    std::vector<TListItem*> SelectedItems() const;
    void SetRowSelect(bool rowSelect);
    TListItem* FindCaption(const std::string& caption) const;
    // Rows added meanwhile reach the view together when the update ends.
    void BeginUpdate();
    void EndUpdate();

private:
    friend class TListItem;
    class Model;
    // Rows the view does not know of yet are sorted with the others when it hears of them.
    void Sort();
    void SortItems();
    void Renumber(size_t from);
    // Tells the view of the rows added since it last heard.
    void ShowAdded();
    void RowChanged(const TListItem* item);
    // Keeps a row taken out for the next one added: refilling a long list
    // (a filter keystroke) then reuses rows and their storage.
    void Spare(std::unique_ptr<TListItem> item);
    std::vector<std::unique_ptr<TListItem>> items_;
    std::vector<std::unique_ptr<TListItem>> spare_;
    Model* model_;
    size_t shown_ = 0;  // the first rows, which the view knows of; the rest are new in this update
    bool sorted_ = false;
    int updating_ = 0;
};

// A list view in large-icon style: entries with a caption under a picture.
class TIconListView : public TWinControl {
public:
    explicit TIconListView(TComponent* owner, TWinControl* parent = nullptr);
    void SetLargeImages(TImageList* images);
    void AddItem(const std::string& caption, int imageIndex);
    // The selected entry, or -1.
    int ItemIndex() const;

protected:
    void DoResize() override;

private:
    TImageList* images_ = nullptr;
};

// The text on the clipboard.
class TClipboard {
public:
    std::string AsText() const;
    void SetAsText(const std::string& text);
};
TClipboard* Clipboard();
