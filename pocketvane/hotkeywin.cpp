#include "pocketvane/hotkeywin.h"

THotKeyForm* HotKeyForm = nullptr;

THotKeyForm::THotKeyForm(TComponent* owner) : TForm(owner) {
    SetCaption("HotKey Config");
    SetBorderStyle(bsDialog);
    SetBorderIcons(biSystemMenu);
    SetClientSize(252, 112);
    SetPosition(poScreenCenter);

    Label1 = new TLabel(this, this, "Select a keyboard-combination to show and hide the converter-window");
    Label1->SetAutoSize(false);
    Label1->SetWordWrap(true);
    Label1->SetBounds(8, 6, 236, 32);
    Image1 = new TImage(this, this);
    Image1->SetBounds(8, 44, 32, 32);
    Image1->SetPicture(":/pocketvane/images/hotkey.png");
    Label2 = new TLabel(this, this, "Hotkey:");
    Label2->SetBounds(48, 40, 60, 16);
    HotKey1 = new THotKey(this, this);
    HotKey1->SetBounds(48, 57, 196, 22);
    HotKey1->SetInvalidKeys(hcNone | hcShift);
    HotKey1->SetModifiers(hkAlt);
    Button1 = new TButton(this, this, "&OK");
    Button1->SetBounds(169, 84, 75, 25);

    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    SetActiveControl(HotKey1);
}

void THotKeyForm::Button1Click(TObject*) { Close(); }
