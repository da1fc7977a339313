// The base of every window and control: components with an owner that frees
// them, and controls over one toolkit widget each. Positions and sizes are
// pixels relative to the parent's client area; events are assignable members.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QWidget;
class QObject;

class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject*)>;

// Detaches an event handler for the life of the object: the handler member is
// cleared at once and its handler put back when the object goes, however the
// scope is left.
template <class Event>
class THandlerPause {
public:
    explicit THandlerPause(Event& handler) : handler_(handler), saved_(std::move(handler)) { handler = nullptr; }
    ~THandlerPause() { handler_ = std::move(saved_); }
    THandlerPause(const THandlerPause&) = delete;
    THandlerPause& operator=(const THandlerPause&) = delete;

private:
    Event& handler_;
    Event saved_;
};

// Shift state of mouse and key events, as bits.
enum TShiftFlag { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };
using TShiftState = int;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
using TMouseEvent = std::function<void(TObject*, TMouseButton, TShiftState, int, int)>;
using TMouseMoveEvent = std::function<void(TObject*, TShiftState, int, int)>;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TCursor { crDefault, crHandPoint, crHourGlass, crIBeam };

// Colours are 0x00BBGGRR; system colours have the high bit set.
using TColor = int;
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clNavy = 0x800000,
                 clBlue = 0xFF0000, clRed = 0x0000FF, clWhite = 0xFFFFFF, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clYellow = 0x00FFFF;
constexpr TColor clBtnFace = static_cast<int>(0x8000000F), clWindow = static_cast<int>(0x80000005),
                 clWindowText = static_cast<int>(0x80000008), clAppWorkSpace = static_cast<int>(0x8000000C),
                 clDefault = 0x20000000;

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }

    std::string Name;

protected:
    // Frees the owned components now, newest first.
    void DestroyOwned();

private:
    TComponent* owner_;
    std::vector<TComponent*> components_;
    bool destroying_ = false;
};

class TWinControl;
class TForm;
class TPopupMenu;
class ControlEventFilter;

class TControl : public TComponent {
public:
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    // The form this control lies on (itself for a form).
    TForm* ParentForm() const;

    virtual int Left() const;
    virtual int Top() const;
    virtual int Width() const;
    virtual int Height() const;
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    virtual void SetBounds(int left, int top, int width, int height);
    int ClientWidth() const;
    int ClientHeight() const;

    virtual bool Visible() const;
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const;
    virtual void SetEnabled(bool enabled);
    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);

    // "tooltip|status text"; the part after "|" shows in the status bar.
    void SetHint(const std::string& hint);
    void SetShowHint(bool show);
    void SetColor(TColor color);
    void SetFontColor(TColor color);
    TColor FontColor() const { return fontColor_; }
    void SetFontStyle(bool bold, bool underline, bool italic = false);
    void SetFontSize(int points);
    void SetCursor(TCursor cursor);
    void SetPopupMenu(TPopupMenu* menu);
    TPopupMenu* PopupMenu() const { return popup_; }
    void SetTabStop(bool tabStop);
    void SetTabOrder(int order);

    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool Focused() const;
    void Repaint();
    void BringToFront();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnEnter;

    // The toolkit widget; for the layer's own use and for tests that drive
    // controls through real input.
    QWidget* Handle() const;

protected:
    TControl(TComponent* owner, QWidget* widget);
    // Runs an event handler inside the catch-all of the application.
    void Fire(const TNotifyEvent& event);
    friend class ControlEventFilter;
    friend class TWinControl;
    // Toolkit events reach the control through these.
    virtual void DoClick() { Fire(OnClick); }
    virtual void DoResize() {}
    virtual void DoPopup(int x, int y);
    // The font changed: a control that sizes itself to its text does so again.
    virtual void FontChanged() {}
    // Paints the control's background in its colour.
    virtual void ApplyColor(TColor color);
    // The widget whose geometry is the control's bounds (a form's frame).
    virtual QWidget* Frame() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    TWinControl* parent_ = nullptr;
    TAlign align_ = alNone;
    std::string hint_;
    TColor fontColor_ = clDefault;
    TPopupMenu* popup_ = nullptr;
};

class TWinControl : public TControl {
public:
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_[static_cast<size_t>(index)]; }
    // Places the aligned children: top, bottom, left and right ones along the
    // edges in their order, then the client-aligned one in what is left.
    void AlignControls();
    // The widget that children are placed on.
    virtual QWidget* ClientWidget() const;

protected:
    TWinControl(TComponent* owner, QWidget* widget);
    void DoResize() override { AlignControls(); }

private:
    friend class TControl;
    std::vector<TControl*> controls_;
};

// The control a toolkit widget stands for, or null; for the layer's own use.
TControl* ControlOf(QWidget* widget);

// Calls a handler with the catch-all every handler runs in: an exception is
// shown as the application shows exceptions and the program goes on.
void SafeCall(const std::function<void()>& call);
