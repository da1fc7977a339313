#include "pocketvane/trayabout.h"

#include "platform/shellapi.h"
#include "pocketvane/traymain.h"
#include "pocketvane/traysettings.h"

TTrayAboutForm* TrayAboutForm = nullptr;

TTrayAboutForm::TTrayAboutForm(TComponent* owner) : TForm(owner) {
    SetCaption("About");
    SetBorderStyle(bsDialog);
    SetClientSize(296, 111);
    SetPosition(poScreenCenter);

    Image1 = new TImage(this, this);
    Image1->SetBounds(12, 10, 32, 32);
    Image1->SetPicture(":/pocketvane/images/about.png");
    Label1 = new TLabel(this, this);
    Label1->SetBounds(56, 8, 200, 16);
    Label2 = new TLabel(this, this, "Copyright (c) 2001 Maren Holt");
    Label2->SetBounds(56, 28, 200, 16);
    Label4 = new TLabel(this, this);
    Label4->SetBounds(56, 46, 200, 16);
    Label4->SetFontColor(clBlue);
    Label4->SetFontStyle(false, true);
    Label4->SetCursor(crHandPoint);
    Label3 = new TLabel(this, this, "(Part of the Tallyvane 2 package)");
    Label3->SetBounds(56, 64, 200, 16);
    Button1 = new TButton(this, this, "&OK");
    Button1->SetBounds(213, 80, 75, 25);

    OnShow = [this](TObject* s) { FormShow(s); };
    Label4->OnClick = [this](TObject* s) { Label4Click(s); };
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    if (TrayMainForm && TrayMainForm->TraySettings) Label4->SetCaption(TrayMainForm->TraySettings->WebAddress);
    SetActiveControl(Button1);
}

void TTrayAboutForm::FormShow(TObject*) {
    if (PocketvaneSettings* settings = TrayMainForm ? TrayMainForm->TraySettings : nullptr)
        Label1->SetCaption(settings->ProductName + " " + settings->VersionText);
}

void TTrayAboutForm::Label4Click(TObject*) {
    ShellExecuteA(nullptr, "open", Label4->Caption().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TTrayAboutForm::Button1Click(TObject*) { Hide(); }
