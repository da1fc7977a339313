#include "platform/hotkeyctrl.h"

#include "platform/qtbridge.h"
#include "platform/virtualkeys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace {
bool IsModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr || key == Qt::Key_Super_L || key == Qt::Key_Super_R;
}

// The modifier a modifier key sets; window systems differ in whether its own
// press and release already count it.
Qt::KeyboardModifiers OwnModifier(int key) {
    switch (key) {
    case Qt::Key_Shift: return Qt::ShiftModifier;
    case Qt::Key_Control: return Qt::ControlModifier;
    case Qt::Key_Alt: return Qt::AltModifier;
    default: return Qt::NoModifier;
    }
}

std::string ModifierText(bool shift, bool ctrl, bool alt) {
    std::string text;
    if (ctrl) text += "Ctrl + ";
    if (shift) text += "Shift + ";
    if (alt) text += "Alt + ";
    return text;
}
}  // namespace

// The toolkit's field: every key goes to the control, also those that would
// otherwise be a button's accelerator.
class HotKeyField : public QLineEdit {
public:
    explicit HotKeyField(THotKey* control) : control_(control) {
        setReadOnly(true);
        setContextMenuPolicy(Qt::NoContextMenu);
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::ShortcutOverride) {
            auto* ke = static_cast<QKeyEvent*>(e);
            if (Takes(ke)) {
                e->accept();
                return true;
            }
        }
        return QLineEdit::event(e);
    }
    void keyPressEvent(QKeyEvent* e) override {
        const Qt::KeyboardModifiers m = e->modifiers();
        const bool shift = m & Qt::ShiftModifier, ctrl = m & Qt::ControlModifier, alt = m & Qt::AltModifier;
        if (IsModifierKey(e->key())) {
            Held(m | OwnModifier(e->key()));
            return;
        }
        if (!Takes(e) || !control_->KeyPressed(e->key(), m & Qt::KeypadModifier, shift, ctrl, alt))
            QWidget::keyPressEvent(e);  // on to the form: Tab moves on, Escape may close it
    }
    void keyReleaseEvent(QKeyEvent* e) override {
        if (IsModifierKey(e->key())) Held(e->modifiers() & ~OwnModifier(e->key()));
    }
    void focusOutEvent(QFocusEvent* e) override {
        control_->ShowValue();
        QLineEdit::focusOutEvent(e);
    }

private:
    void Held(Qt::KeyboardModifiers m) {
        control_->ModifiersHeld(m & Qt::ShiftModifier, m & Qt::ControlModifier, m & Qt::AltModifier);
    }
    // Tab and Escape alone belong to the form.
    static bool Takes(QKeyEvent* e) {
        const bool plain = !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        return !(plain && (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab || e->key() == Qt::Key_Escape));
    }
    THotKey* control_;
};

THotKey::THotKey(TComponent* owner, TWinControl* parent) : TWinControl(owner, new HotKeyField(this)) {
    ShowValue();
    if (parent) SetParent(parent);
}

std::string HotKeyText(TShortCut hotKey) {
    const int vk = hotKey & 0xFF;
    if (vk == 0) return "None";
    return ModifierText(hotKey & scShift, hotKey & scCtrl, hotKey & scAlt) + VirtualKeyName(vk);
}

void THotKey::SetHotKey(TShortCut hotKey) {
    const bool changed = hotKey != hotKey_;
    hotKey_ = hotKey;
    ShowValue();
    if (changed) Fire(OnChange);
}

void THotKey::ShowValue() {
    auto* field = static_cast<QLineEdit*>(Handle());
    field->setText(QtText(HotKeyText(hotKey_)));
    field->end(false);
}

void THotKey::ModifiersHeld(bool shift, bool ctrl, bool alt) {
    if (!shift && !ctrl && !alt) {
        ShowValue();
        return;
    }
    auto* field = static_cast<QLineEdit*>(Handle());
    field->setText(QtText(ModifierText(shift, ctrl, alt)));
    field->end(false);
}

bool THotKey::KeyPressed(int qtKey, bool keypad, bool shift, bool ctrl, bool alt) {
    if (!shift && !ctrl && !alt && (qtKey == Qt::Key_Backspace || qtKey == Qt::Key_Delete)) {
        SetHotKey(0);
        return true;
    }
    const int vk = VirtualKeyFromQtKey(qtKey, keypad);
    if (vk == 0) return false;
    // The combinations in order: none, Shift, Ctrl, Alt, Shift+Ctrl, Shift+Alt, Ctrl+Alt, all three.
    int combination;
    if (shift && ctrl && alt) combination = hcShiftCtrlAlt;
    else if (ctrl && alt) combination = hcCtrlAlt;
    else if (shift && alt) combination = hcShiftAlt;
    else if (shift && ctrl) combination = hcShiftCtrl;
    else if (alt) combination = hcAlt;
    else if (ctrl) combination = hcCtrl;
    else if (shift) combination = hcShift;
    else combination = hcNone;
    if (invalidKeys_ & combination) {
        shift = modifiers_ & hkShift;
        ctrl = modifiers_ & hkCtrl;
        alt = modifiers_ & hkAlt;
    }
    SetHotKey(static_cast<TShortCut>(vk | (shift ? scShift : 0) | (ctrl ? scCtrl : 0) | (alt ? scAlt : 0)));
    return true;
}
