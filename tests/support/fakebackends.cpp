#include "support/fakebackends.h"

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
