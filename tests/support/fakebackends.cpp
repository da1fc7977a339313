#include "support/fakebackends.h"

#include "platform/sysutils.h"

FakeHotKeys::FakeHotKeys() : previous_(SetHotKeyBackend(this)) {}
FakeHotKeys::~FakeHotKeys() { SetHotKeyBackend(previous_); }

bool FakeHotKeys::Grab(unsigned modifiers, unsigned virtualKey) {
    if (taken.count({modifiers, virtualKey})) return false;
    grabbed_.insert({modifiers, virtualKey});
    return true;
}

void FakeHotKeys::Ungrab(unsigned modifiers, unsigned virtualKey) { grabbed_.erase({modifiers, virtualKey}); }

void FakeHotKeys::Press(unsigned modifiers, unsigned virtualKey) {
    if (Grabbed(modifiers, virtualKey)) HotKeyPressed(modifiers, virtualKey);
}

FakeTrayIcons::FakeTrayIcons() : previous_(SetTrayIconBackend(this)) {}
FakeTrayIcons::~FakeTrayIcons() { SetTrayIconBackend(previous_); }

std::unique_ptr<TrayIconPeer> FakeTrayIcons::Create(TTrayIcon* icon) {
    auto peer = std::make_unique<FakeTrayIcon>(icon);
    icons.push_back(peer.get());
    return peer;
}

ShellLaunchRecorder::ShellLaunchRecorder() : previous_(SetShellLauncher(this)) {}

ShellLaunchRecorder::~ShellLaunchRecorder() { SetShellLauncher(previous_); }

std::vector<std::string> ShellLaunchRecorder::Files() const {
    std::vector<std::string> files;
    for (const Launched& l : launches_) files.push_back(l.file);
    return files;
}

int ShellLaunchRecorder::Launch(const std::string& verb, const std::string& file, const std::string& parameters,
                                const std::string& directory) {
    launches_.push_back({verb, file, parameters, directory});
    return SHELL_LAUNCHED;
}

FakeRegistry::FakeRegistry() : previous_(SetRegistryStore(this)) {}
FakeRegistry::~FakeRegistry() { SetRegistryStore(previous_); }

void FakeRegistry::Put(HKEY root, const std::string& key, const std::string& name, const Value& value) {
    keys_[{root, RegistryKeyPath(key)}][LowerCase(name)] = value;
}

void FakeRegistry::PutString(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
    Put(root, key, name, {true, value});
}

void FakeRegistry::PutInteger(HKEY root, const std::string& key, const std::string& name, int) {
    Put(root, key, name, {false, std::string()});
}

bool FakeRegistry::KeyExists(HKEY root, const std::string& path) const {
    const std::string above = path + "\\";
    for (const auto& [k, values] : keys_)
        if (k.first == root && (k.second == path || k.second.compare(0, above.size(), above) == 0)) return true;
    return false;
}

bool FakeRegistry::ReadValue(HKEY root, const std::string& path, const std::string& name, std::string& text,
                             bool& isString) const {
    auto key = keys_.find({root, path});
    if (key == keys_.end()) return false;
    auto value = key->second.find(name);
    if (value == key->second.end()) return false;
    isString = value->second.isString;
    text = value->second.text;
    return true;
}
