// Stand-ins for the global hot key, the tray icon, the shell's launches and
// the registry: they record what the program asks of them, let a test press
// a hot key or click the icon, and hold the registry entries a test puts.
// Installed while the object lives.
#pragma once

#include "platform/controls.h"
#include "platform/hotkey.h"
#include "platform/registry.h"
#include "platform/shellapi.h"
#include "platform/trayicon.h"

#include <map>
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

// Records every launch instead of starting it, and answers that it was
// launched, whether or not the file exists.
class ShellLaunchRecorder : public ShellLauncher {
public:
    struct Launched {
        std::string verb;  // null arguments are recorded as ""
        std::string file;
        std::string parameters;
        std::string directory;
    };
    ShellLaunchRecorder();
    ~ShellLaunchRecorder() override;
    ShellLaunchRecorder(const ShellLaunchRecorder&) = delete;
    ShellLaunchRecorder& operator=(const ShellLaunchRecorder&) = delete;

    const std::vector<Launched>& Launches() const { return launches_; }
    std::vector<std::string> Files() const;
    void Clear() { launches_.clear(); }

    int Launch(const std::string& verb, const std::string& file, const std::string& parameters,
               const std::string& directory) override;

private:
    ShellLauncher* previous_;
    std::vector<Launched> launches_;
};

class FakeRegistry : public RegistryStore {
public:
    FakeRegistry();
    ~FakeRegistry() override;
    FakeRegistry(const FakeRegistry&) = delete;
    FakeRegistry& operator=(const FakeRegistry&) = delete;

    // Key paths are separated by "\"; paths and names ignore letter case.
    void PutString(HKEY root, const std::string& key, const std::string& name, const std::string& value);
    void PutInteger(HKEY root, const std::string& key, const std::string& name, int value);

    bool KeyExists(HKEY root, const std::string& path) const override;
    bool ReadValue(HKEY root, const std::string& path, const std::string& name, std::string& text,
                   bool& isString) const override;

private:
    struct Value {
        bool isString;
        std::string text;
    };
    void Put(HKEY root, const std::string& key, const std::string& name, const Value& value);
    RegistryStore* previous_;
    // Keys by root and lower-case path, values by lower-case name.
    std::map<std::pair<HKEY, std::string>, std::map<std::string, Value>> keys_;
};
