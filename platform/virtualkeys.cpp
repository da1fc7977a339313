#include "platform/virtualkeys.h"

#include <Qt>

namespace {
struct NamedKey {
    int vk;
    int qtKey;
    unsigned keysym;
    const char* name;
};

// Keys other than letters, digits, function keys and the number pad.
constexpr NamedKey Keys[] = {
    {0x08, Qt::Key_Backspace, 0xff08, "Backspace"},
    {0x09, Qt::Key_Tab, 0xff09, "Tab"},
    {0x0D, Qt::Key_Return, 0xff0d, "Enter"},
    {0x13, Qt::Key_Pause, 0xff13, "Pause"},
    {0x1B, Qt::Key_Escape, 0xff1b, "Esc"},
    {0x20, Qt::Key_Space, 0x0020, "Space"},
    {0x21, Qt::Key_PageUp, 0xff55, "Page Up"},
    {0x22, Qt::Key_PageDown, 0xff56, "Page Down"},
    {0x23, Qt::Key_End, 0xff57, "End"},
    {0x24, Qt::Key_Home, 0xff50, "Home"},
    {0x25, Qt::Key_Left, 0xff51, "Left"},
    {0x26, Qt::Key_Up, 0xff52, "Up"},
    {0x27, Qt::Key_Right, 0xff53, "Right"},
    {0x28, Qt::Key_Down, 0xff54, "Down"},
    {0x2C, Qt::Key_Print, 0xff61, "Print"},
    {0x2D, Qt::Key_Insert, 0xff63, "Insert"},
    {0x2E, Qt::Key_Delete, 0xffff, "Delete"},
    {0xBA, Qt::Key_Semicolon, 0x003b, ";"},
    {0xBB, Qt::Key_Equal, 0x003d, "="},
    {0xBC, Qt::Key_Comma, 0x002c, ","},
    {0xBD, Qt::Key_Minus, 0x002d, "-"},
    {0xBE, Qt::Key_Period, 0x002e, "."},
    {0xBF, Qt::Key_Slash, 0x002f, "/"},
    {0xC0, Qt::Key_QuoteLeft, 0x0060, "`"},
    {0xDB, Qt::Key_BracketLeft, 0x005b, "["},
    {0xDC, Qt::Key_Backslash, 0x005c, "\\"},
    {0xDD, Qt::Key_BracketRight, 0x005d, "]"},
    {0xDE, Qt::Key_Apostrophe, 0x0027, "'"},
};

// Shifted symbols and the key they lie on.
constexpr int Shifted[][2] = {
    {Qt::Key_Exclam, '1'},       {Qt::Key_At, '2'},           {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},       {Qt::Key_Percent, '5'},      {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},    {Qt::Key_Asterisk, '8'},     {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},   {Qt::Key_Colon, 0xBA},       {Qt::Key_Plus, 0xBB},
    {Qt::Key_Less, 0xBC},        {Qt::Key_Underscore, 0xBD},  {Qt::Key_Greater, 0xBE},
    {Qt::Key_Question, 0xBF},    {Qt::Key_AsciiTilde, 0xC0},  {Qt::Key_BraceLeft, 0xDB},
    {Qt::Key_Bar, 0xDC},         {Qt::Key_BraceRight, 0xDD},  {Qt::Key_QuoteDbl, 0xDE},
};

// The number pad: virtual key, toolkit key, key symbol, name.
constexpr NamedKey Pad[] = {
    {0x6A, Qt::Key_Asterisk, 0xffaa, "Num *"}, {0x6B, Qt::Key_Plus, 0xffab, "Num +"},
    {0x6D, Qt::Key_Minus, 0xffad, "Num -"},    {0x6E, Qt::Key_Period, 0xffae, "Num ."},
    {0x6E, Qt::Key_Comma, 0xffae, "Num ."},    {0x6F, Qt::Key_Slash, 0xffaf, "Num /"},
    {0x0D, Qt::Key_Enter, 0xff0d, "Enter"},
};
}  // namespace

int VirtualKeyFromQtKey(int qtKey, bool keypad) {
    if (keypad) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 0x60 + (qtKey - Qt::Key_0);
        for (const NamedKey& k : Pad)
            if (k.qtKey == qtKey) return k.vk;
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return qtKey;  // the same codes
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 0x70 + (qtKey - Qt::Key_F1);
    if (qtKey == Qt::Key_Enter) return 0x0D;
    if (qtKey == Qt::Key_Backtab) return 0x09;
    for (const NamedKey& k : Keys)
        if (k.qtKey == qtKey) return k.vk;
    for (const auto& s : Shifted)
        if (s[0] == qtKey) return s[1];
    return 0;
}

unsigned KeySymOfVirtualKey(int vk) {
    if (vk >= 'A' && vk <= 'Z') return static_cast<unsigned>(vk - 'A' + 'a');
    if (vk >= '0' && vk <= '9') return static_cast<unsigned>(vk);
    if (vk >= 0x70 && vk <= 0x87) return 0xffbe + static_cast<unsigned>(vk - 0x70);
    if (vk >= 0x60 && vk <= 0x69) return 0xffb0 + static_cast<unsigned>(vk - 0x60);
    for (const NamedKey& k : Pad)
        if (k.vk == vk && vk != 0x0D) return k.keysym;
    for (const NamedKey& k : Keys)
        if (k.vk == vk) return k.keysym;
    return 0;
}

std::string VirtualKeyName(int vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, static_cast<char>(vk));
    if (vk >= 0x70 && vk <= 0x87) {
        std::string name(1, 'F');
        return name.append(std::to_string(vk - 0x70 + 1));
    }
    if (vk >= 0x60 && vk <= 0x69) return "Num " + std::to_string(vk - 0x60);
    for (const NamedKey& k : Pad)
        if (k.vk == vk && vk != 0x0D) return k.name;
    for (const NamedKey& k : Keys)
        if (k.vk == vk) return k.name;
    return vk ? "Key " + std::to_string(vk) : std::string();
}
