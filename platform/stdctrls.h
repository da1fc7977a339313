// Standard controls: labels, edits, memos, lists, boxes, buttons, panels and
// images. Change events follow fixed rules: an edit's OnChange fires on every
// real change of its text, also by code; a combo box's only when the user
// picks another entry; a list box's OnClick when the user changes the choice;
// check boxes and radio buttons fire OnClick on a change by code too.
#pragma once

#include "platform/actnlist.h"
#include "platform/controls.h"

#include <string>
#include <vector>

class TStringList;

// A list of texts shown by a control.
class TStrings {
public:
    virtual ~TStrings() = default;
    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s) = 0;
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    // Appends (or, in a sorted list, inserts in order); returns the index.
    virtual int Add(const std::string& s);
    // As Add for each text in turn, but a list control takes them all at
    // once: a sorted one sorts them in n log n rather than inserting each
    // in order. The entry chosen in the control stays chosen (none stays none).
    virtual void AddStrings(const std::vector<std::string>& texts);
    // -1 when absent; letter case is ignored.
    int IndexOf(const std::string& s) const;
    void SetText(const std::string& text);
};

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TLabel : public TControl {
public:
    explicit TLabel(TComponent* owner, TWinControl* parent = nullptr, const std::string& caption = "");
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // On by default: the label grows and shrinks with its text.
    void SetAutoSize(bool autoSize);
    void SetWordWrap(bool wrap);
    void SetAlignment(TAlignment alignment);
    void SetBounds(int left, int top, int width, int height) override;

protected:
    void FontChanged() override { Fit(); }

private:
    void Fit();
    std::string caption_;
    bool autoSize_ = true;
    bool wordWrap_ = false;
};

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner, TWinControl* parent = nullptr);
    std::string Text() const;
    void SetText(const std::string& text);
    void SetReadOnly(bool readOnly);
    void SetMaxLength(int length);
    void SetPasswordChar(char c);
    void SelectAll();
    int SelLength() const;
    TNotifyEvent OnChange;

protected:
    TEdit(TComponent* owner, TWinControl* parent, QWidget* widget);

private:
    void Connect();
    std::string last_;
};

class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* owner, TWinControl* parent = nullptr);
    ~TMemo() override;
    TStrings* Lines() const { return lines_; }
    void SetText(const std::string& text);
    void SetReadOnly(bool readOnly);
    void SetScrollBars(bool vertical, bool horizontal);
    TNotifyEvent OnChange;

private:
    TStrings* lines_;
};

enum TComboBoxStyle { csDropDown, csDropDownList };

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner, TWinControl* parent = nullptr, TComboBoxStyle style = csDropDownList);
    ~TComboBox() override;
    TStrings* Items() const { return items_; }
    int ItemIndex() const;
    void SetItemIndex(int index);
    std::string Text() const;
    void SetText(const std::string& text);
    void SetSorted(bool sorted);
    // From now on this list shows the entries of other, and changes to
    // either's entries are changes to both; each keeps its own chosen entry.
    void ShareItems(TComboBox* other);
    void SetStyle(TComboBoxStyle style);
    TNotifyEvent OnChange;

private:
    friend class ComboItems;
    TStrings* items_;
    bool sorted_ = false;
    int lastIndex_ = -1;
};

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner, TWinControl* parent = nullptr);
    ~TListBox() override;
    TStrings* Items() const { return items_; }
    int ItemIndex() const;
    void SetItemIndex(int index);
    void SetSorted(bool sorted);

protected:
    void DoClick() override {}

private:
    friend class ListBoxItems;
    TStrings* items_;
    bool sorted_ = false;
    bool quiet_ = false;
};

// A check box or a radio button: a caption beside a mark that code and user
// can set.
class TCheckControl : public TControl {
public:
    bool Checked() const;
    void SetChecked(bool checked);
    void SetCaption(const std::string& caption);
    std::string Caption() const { return caption_; }
    // The control grows rather than cut its caption.
    void SetBounds(int left, int top, int width, int height) override;

protected:
    TCheckControl(TComponent* owner, TWinControl* parent, const std::string& caption, QWidget* widget);
    void DoClick() override {}

private:
    std::string caption_;
};

// OnClick fires whenever Checked changes, by code too.
class TCheckBox : public TCheckControl {
public:
    explicit TCheckBox(TComponent* owner, TWinControl* parent = nullptr, const std::string& caption = "");
};

// OnClick fires when the button becomes checked, by code too.
class TRadioButton : public TCheckControl {
public:
    explicit TRadioButton(TComponent* owner, TWinControl* parent = nullptr, const std::string& caption = "");
};

class TButton : public TWinControl, public TActionClient {
public:
    explicit TButton(TComponent* owner, TWinControl* parent = nullptr, const std::string& caption = "");
    ~TButton() override;
    // A bound button shows the action's caption, hint and enabled state, and
    // a press executes the action.
    void SetAction(TAction* action);
    void ActionChanged() override;
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool isCancel) { cancel_ = isCancel; }
    void SetModalResult(int result) { modalResult_ = result; }
    // As a press of the button: OnClick, then the form takes the button's result.
    void Click();
    // Images beside the caption (buttons with a glyph).
    void SetGlyph(const std::string& imageFile);
    void SetBounds(int left, int top, int width, int height) override;

protected:
    void DoClick() override {}

private:
    void Grow();
    std::string caption_;
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
    TAction* action_ = nullptr;
};


class TSpeedButton : public TControl {
public:
    explicit TSpeedButton(TComponent* owner, TWinControl* parent = nullptr, const std::string& caption = "");
    void SetCaption(const std::string& caption);
    void SetGlyph(const std::string& imageFile);

protected:
    void DoClick() override {}
};

class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* owner, TWinControl* parent = nullptr, const std::string& caption = "");
    void SetCaption(const std::string& caption);
};

enum TBevelCut { bvNone, bvLowered, bvRaised };

class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* owner, TWinControl* parent = nullptr);
    void SetCaption(const std::string& caption);
    void SetBevelOuter(TBevelCut bevel);
    // After the panel's size changed and its aligned children were placed.
    TNotifyEvent OnResize;

protected:
    void DoResize() override;

private:
    QWidget* captionLabel_ = nullptr;
};

class TImage : public TControl {
public:
    explicit TImage(TComponent* owner, TWinControl* parent = nullptr);
    // A picture file, or ":/..." for one built into the program.
    void SetPicture(const std::string& imageFile);
    void SetTransparent(bool transparent);
    bool HasPicture() const;
};
