// Forms and the application object. A form is an MDI frame, an MDI child, or
// a top-level window (normal, stay-on-top, modal dialog, borderless); a child
// can be undocked to a top-level window and back while it lives.
#pragma once

#include "platform/controls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
// Border icons, as bits.
enum TBorderIcon { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };

using TCloseEvent = std::function<void(TObject*, TCloseAction&)>;
using TCloseQueryEvent = std::function<void(TObject*, bool&)>;

// A message of the window system to a form, such as a global hot key's.
struct TMessage {
    unsigned Msg = 0;
    long long WParam = 0;
    long long LParam = 0;
    long long Result = 0;
};

class TMainMenu;
class TMenuItem;
class TToolBar;
class TStatusBar;
class TButton;
class FormWidget;
class QSize;
class QMargins;
class QRect;
class MainFrameWidget;

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner, TFormStyle style = fsNormal);
    ~TForm() override;

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    TFormStyle FormStyle() const { return style_; }
    // Switches at run time between an MDI child and a top-level window.
    void SetFormStyle(TFormStyle style);
    void SetBorderStyle(TFormBorderStyle style);
    int BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(int icons);
    void SetPosition(TPosition position) { position_ = position; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState state);
    void SetClientWidth(int width);
    void SetClientSize(int width, int height);
    void SetMinSize(int width, int height);
    void SetIcon(const std::string& imageFile);

    int Left() const override;
    int Top() const override;
    int Width() const override;
    int Height() const override;
    void SetBounds(int left, int top, int width, int height) override;

    bool Visible() const override;
    void SetVisible(bool visible) override;
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Asks the form to close: OnCloseQuery, then OnClose with the default
    // action (hide a normal form, free an MDI child later).
    void Close();
    // Hides at once and frees the form once no handler of it is running.
    void Release();
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result);
    bool Modal() const { return modal_; }
    TControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TControl* control);
    // Window-system messages sent to the form; a form handles those it knows
    // and passes the rest on here, which ignores them.
    virtual void Dispatch(TMessage& message);

    // MDI frame operations.
    std::vector<TForm*> MDIChildren() const;
    TForm* ActiveMDIChild() const;
    void Cascade();
    void TileHorizontal();  // one above the other
    void TileVertical();    // side by side
    void MinimizeAllChildren();
    void SetMenu(TMainMenu* menu);
    // The item under which the list of open child windows is shown.
    void SetWindowMenu(TMenuItem* item);
    void AddToolBar(TToolBar* bar);
    void SetStatusBar(TStatusBar* bar);

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    QWidget* ClientWidget() const override;

protected:
    // A form's constructor calls this once its controls exist: a visible MDI
    // child is shown now, running OnShow before the constructor goes on.
    void FormLoaded();
    QWidget* Frame() const override;
    // An MDI frame's colour is that of its client area alone; its bars and
    // children keep their own.
    void ApplyColor(TColor color) override;

private:
    friend class FormWidget;
    friend class MainFrameWidget;
    friend class FormBusy;
    friend class TApplication;
    void Dock();
    void Undock();
    void ApplyFlags();
    void PlaceAtFirstShow();
    void HandleShow();
    // An MDI frame: makes one child the active one.
    void ActivateNewestChild();
    // The MDI frame became the active window.
    void FrameActivated();
    void HandleHide();
    // The close request from the toolkit or Close(); false keeps the window.
    bool HandleClose();
    bool HandleKey(int qtKey, int modifiers);
    TButton* FindButton(bool cancel) const;
    void DestroyWhenIdle();
    bool FixedSize() const;
    // The window moved or changed size: bounds kept for a frame not yet drawn now apply.
    void FrameChanged();
    // Fits the window to the bounds kept for it, with the frame around it.
    void PlaceFrame(QMargins frame);
    // Left, top, width and height together.
    QRect Bounds() const;
    // The window became maximised, minimised or normal.
    void StateChanged();
    // The window manager has mapped the window, or told its state: from now
    // on the toolkit's state is the window's.
    void NativeStateKnown();
    bool HasCloseBox() const;
    bool CanMinimize() const;
    // Tells the window manager which frame buttons and functions the form allows.
    void ApplyFrameHints();
    // Maps the form's window with the hints its frame needs.
    void ShowWindowNow();
    // Gives the keyboard back to the control that had it, else to the active control.
    void FocusAgain(QWidget* last);
    void ShowCaption();
    void FixSize();
    void ResizeFrame(QWidget* w, QSize size);

    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string caption_;
    TFormStyle style_;
    TFormBorderStyle borderStyle_ = bsSizeable;
    int borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TPosition position_ = poDesigned;
    int modalResult_ = 0;
    bool modal_ = false;
    bool releasing_ = false;
    bool placed_ = false;
    bool closing_ = false;
    int busy_ = 0;
    TControl* activeControl_ = nullptr;
};

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Makes the toolkit's application object (once) and the GUI's message boxes.
    void Initialize();
    std::string Title() const { return title_; }
    void SetTitle(const std::string& title);
    // Creates a form owned by the application; the first becomes the main form.
    template <typename T>
    void CreateForm(T*& ref) {
        ref = new T(this);
        if (!mainForm_) mainForm_ = ref;
    }
    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* form) { mainForm_ = form; }
    // Shows the main form and runs the message loop until it has closed.
    void Run();
    // Off: Run does not show the main form (a program that lives in the tray).
    void SetShowMainForm(bool show) { showMainForm_ = show; }
    void Terminate();
    bool Terminated() const { return terminated_; }
    void ProcessMessages();
    // Handles the pending messages; when there are none, waits for the next.
    void HandleMessage();
    void Minimize();
    void ShowException(const std::string& message);

private:
    std::string title_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool running_ = false;
    bool showMainForm_ = true;
};

extern TApplication* Application;

// Marks a form as running one of its handlers, so a release waits for it;
// for the layer's own use.
class FormBusy {
public:
    explicit FormBusy(TForm* form);
    ~FormBusy();
    FormBusy(const FormBusy&) = delete;
    FormBusy& operator=(const FormBusy&) = delete;

private:
    TForm* form_;
};

// The size of the whole desktop, in pixels.
int DesktopWidth();
int DesktopHeight();

// Installs the toolkit's application object if none exists yet (tests, tools).
void EnsureToolkit();
