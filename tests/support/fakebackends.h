// Stand-ins for the global hot key and the tray icon: they record what the
// program asks of them and let a test press a hot key or click the icon.
// Installed while the object lives.
#pragma once

#include "platform/controls.h"
#include "platform/hotkey.h"
#include "platform/trayicon.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

class FakeHotKeys : public HotKeyBackend {
public:
    FakeHotKeys();
    ~FakeHotKeys() override;
    FakeHotKeys(const FakeHotKeys&) = delete;
    FakeHotKeys& operator=(const FakeHotKeys&) = delete;

    bool Grab(unsigned modifiers, unsigned virtualKey) override;
    void Ungrab(unsigned modifiers, unsigned virtualKey) override;
    // As the user presses the combination: only a grabbed one reaches the program.
    void Press(unsigned modifiers, unsigned virtualKey);
    bool Grabbed(unsigned modifiers, unsigned virtualKey) const { return grabbed_.count({modifiers, virtualKey}) > 0; }
    size_t GrabCount() const { return grabbed_.size(); }
    // Combinations another program holds.
    std::set<std::pair<unsigned, unsigned>> taken;

private:
    HotKeyBackend* previous_;
    std::set<std::pair<unsigned, unsigned>> grabbed_;
};

class FakeTrayIcon : public TrayIconPeer {
public:
    explicit FakeTrayIcon(TTrayIcon* icon) : icon_(icon) {}
    void SetVisible(bool visible) override { this->visible = visible; }
    void SetHint(const std::string& hint) override { this->hint = hint; }
    void SetIcon(const TImageList* images, int index) override {
        this->images = images;
        this->index = index;
    }
    // As the user releases a mouse button over the icon.
    void Click(TMouseButton button, int x = 5, int y = 5) { icon_->MouseReleased(button, x, y); }
    bool visible = false;
    std::string hint;
    const TImageList* images = nullptr;
    int index = -1;

private:
    TTrayIcon* icon_;
};

class FakeTrayIcons : public TrayIconBackend {
public:
    FakeTrayIcons();
    ~FakeTrayIcons() override;
    FakeTrayIcons(const FakeTrayIcons&) = delete;
    FakeTrayIcons& operator=(const FakeTrayIcons&) = delete;

    std::unique_ptr<TrayIconPeer> Create(TTrayIcon* icon) override;
    // The icons made so far, newest last (valid while their TTrayIcon lives).
    std::vector<FakeTrayIcon*> icons;

private:
    TrayIconBackend* previous_;
};
