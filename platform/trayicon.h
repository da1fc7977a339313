// An icon in the notification area of the desktop's panel, with a hint and a
// popup menu. A mouse button released over the icon reaches OnMouseUp (x and
// y on the screen); releasing the right button then opens the popup menu at
// the mouse. The icon leaves the notification area when it is hidden or
// destroyed.
//
// The real backend is the toolkit's system-tray icon; tests install one of
// their own.
#pragma once

#include "platform/controls.h"

#include <memory>
#include <string>

class TImageList;
class TPopupMenu;
class TTrayIcon;

// One icon as a backend shows it.
class TrayIconPeer {
public:
    virtual ~TrayIconPeer() = default;
    virtual void SetVisible(bool visible) = 0;
    virtual void SetHint(const std::string& hint) = 0;
    // The picture at an index of an image list (null or -1: none).
    virtual void SetIcon(const TImageList* images, int index) = 0;
};

class TrayIconBackend {
public:
    virtual ~TrayIconBackend() = default;
    // The peer reports mouse buttons through TTrayIcon::MouseReleased.
    virtual std::unique_ptr<TrayIconPeer> Create(TTrayIcon* icon) = 0;
};
// Installs a backend for icons made after it and returns the previous one
// (null restores the toolkit's). A backend must outlive the icons it made.
TrayIconBackend* SetTrayIconBackend(TrayIconBackend* backend);

class TTrayIcon : public TComponent {
public:
    explicit TTrayIcon(TComponent* owner);
    ~TTrayIcon() override;

    void SetVisible(bool visible);
    void SetHint(const std::string& hint);
    void SetIcons(TImageList* icons);
    void SetIconIndex(int index);
    void SetPopupMenu(TPopupMenu* menu) { popup_ = menu; }

    TMouseEvent OnMouseUp;

    // For backends: a button was released over the icon, the mouse at x, y.
    void MouseReleased(TMouseButton button, int x, int y);

private:
    std::unique_ptr<TrayIconPeer> peer_;
    bool visible_ = false;
    TImageList* icons_ = nullptr;
    int iconIndex_ = -1;
    TPopupMenu* popup_ = nullptr;
};
