// A field that records a key combination as the user presses it, held as a
// 16-bit shortcut value: the virtual-key code in the low byte, Alt 0x8000,
// Ctrl 0x4000, Shift 0x2000; 0 means none.
#pragma once

#include "platform/controls.h"

#include <cstdint>
#include <string>

using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// Modifier combinations a field does not accept, as bits.
enum THKInvalidKey {
    hcNone = 1,
    hcShift = 2,
    hcCtrl = 4,
    hcAlt = 8,
    hcShiftCtrl = 16,
    hcShiftAlt = 32,
    hcCtrlAlt = 64,
    hcShiftCtrlAlt = 128
};
// The modifiers taken in place of an invalid combination, as bits.
enum THKModifier { hkShift = 1, hkCtrl = 2, hkAlt = 4 };

class THotKey : public TWinControl {
public:
    explicit THotKey(TComponent* owner, TWinControl* parent = nullptr);
    TShortCut HotKey() const { return hotKey_; }
    void SetHotKey(TShortCut hotKey);
    // By default a key alone or with Shift alone is taken with Alt.
    void SetInvalidKeys(int invalidKeys) { invalidKeys_ = invalidKeys; }
    void SetModifiers(int modifiers) { modifiers_ = modifiers; }
    TNotifyEvent OnChange;

private:
    friend class HotKeyField;
    // A key pressed in the field, with the modifiers held: false when the
    // field does not take it (Tab, Escape, a modifier alone).
    bool KeyPressed(int qtKey, bool keypad, bool shift, bool ctrl, bool alt);
    void ModifiersHeld(bool shift, bool ctrl, bool alt);
    void ShowValue();
    TShortCut hotKey_ = 0;
    int invalidKeys_ = hcNone | hcShift;
    int modifiers_ = hkAlt;
};

// The text of a shortcut value as the field shows it: "Ctrl + Alt + A"; "None" for 0.
std::string HotKeyText(TShortCut hotKey);
