#include "mainwin/about.h"

#include "currency/currsource.h"
#include "currency/settings.h"
#include "mainwin/main.h"
#include "platform/shellapi.h"

TAboutForm* AboutForm = nullptr;

TAboutForm::TAboutForm(TComponent* owner) : TForm(owner) {
    SetCaption("About Tallyvane");
    SetBorderStyle(bsDialog);
    SetClientSize(522, 330);
    SetPosition(poScreenCenter);

    Image1 = new TImage(this, this);
    Image1->SetBounds(8, 8, 164, 313);
    Image1->SetPicture(":/mainwin/images/about.png");

    Panel1 = new TPanel(this, this);
    Panel1->SetBevelOuter(bvNone);
    Panel1->SetBounds(182, 8, 332, 92);
    ProductName = new TLabel(this, Panel1);
    ProductName->SetBounds(0, 0, 300, 20);
    ProductName->SetFontStyle(true, false);
    ProductName->SetFontSize(11);
    RightsLabel = new TLabel(this, Panel1);
    RightsLabel->SetBounds(0, 26, 300, 16);
    WebpageCaption = new TLabel(this, Panel1, "Webpage:");
    WebpageCaption->SetBounds(0, 50, 60, 16);
    URL = new TLabel(this, Panel1);
    URL->SetBounds(70, 50, 200, 16);
    MailCaption = new TLabel(this, Panel1, "E-mail:");
    MailCaption->SetBounds(0, 70, 60, 16);
    MailLabel = new TLabel(this, Panel1);
    MailLabel->SetBounds(70, 70, 200, 16);
    for (TLabel* link : {URL, MailLabel}) {
        link->SetFontColor(clBlue);
        link->SetFontStyle(false, true);
        link->SetCursor(crHandPoint);
    }

    Memo1 = new TMemo(this, this);
    Memo1->SetBounds(182, 104, 332, 182);
    Memo1->SetReadOnly(true);
    Memo1->SetScrollBars(true, false);
    Memo1->SetTabStop(false);

    OKButton = new TButton(this, this, "OK");
    OKButton->SetBounds(439, 297, 75, 25);
    OKButton->SetDefault(true);
    OKButton->SetModalResult(mrOk);
    SetActiveControl(OKButton);

    OnShow = [this](TObject* s) { FormShow(s); };
    OKButton->OnClick = [this](TObject* s) { OKButtonClick(s); };
    URL->OnClick = [this](TObject* s) { URLClick(s); };
    MailLabel->OnClick = [this](TObject* s) { MailLabelClick(s); };
    URL->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { URLMouseMove(s, sh, x, y); };
    MailLabel->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { MailLabelMouseMove(s, sh, x, y); };
    OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { FormMouseMove(s, sh, x, y); };
    Panel1->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { Panel1MouseMove(s, sh, x, y); };
}

void TAboutForm::FormShow(TObject*) {
    Settings* settings = Settings::Instance();
    ProductName->SetCaption(settings->ProductName + " " + settings->VersionText);
    RightsLabel->SetCaption("Copyright (c) 2001-2003 " + settings->AuthorName);
    URL->SetCaption(settings->WebAddress);
    MailLabel->SetCaption(settings->MailAddress);
    TStrings* lines = Memo1->Lines();
    lines->Clear();
    lines->Add("Neither " + settings->ProductName + " nor " + settings->AuthorName +
               " can confirm the reliability of the exchange rates shown, and no warranty, express or implied, "
               "is given for the accuracy of the data or for its performance or merchantability.");
    lines->Add("");
    lines->Add("Check the rates with your bank before you rely on them.");
    lines->Add("");
    if (MainForm) {
        for (CurrSource* source : MainForm->Sources) {
            lines->Add("Currency-source: " + source->GetName());
            lines->Add("  http://" + source->GetWebsite());
            lines->Add("  " + source->GetCopyright());
            lines->Add("");
        }
    }
}

void TAboutForm::OKButtonClick(TObject*) {
    Settings::Instance()->ReadAbout = true;
    Close();
}

void TAboutForm::URLClick(TObject*) {
    ShellExecuteA(nullptr, "open", Settings::Instance()->WebAddress.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TAboutForm::MailLabelClick(TObject*) {
    const std::string mail = "mailto:" + Settings::Instance()->MailAddress;
    ShellExecuteA(nullptr, "open", mail.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TAboutForm::URLMouseMove(TObject*, TShiftState, int, int) {
    URL->SetFontColor(clNavy);
    MailLabel->SetFontColor(clBlue);
}

void TAboutForm::MailLabelMouseMove(TObject*, TShiftState, int, int) {
    MailLabel->SetFontColor(clNavy);
    URL->SetFontColor(clBlue);
}

void TAboutForm::FormMouseMove(TObject*, TShiftState, int, int) {
    URL->SetFontColor(clBlue);
    MailLabel->SetFontColor(clBlue);
}

void TAboutForm::Panel1MouseMove(TObject*, TShiftState, int, int) {
    URL->SetFontColor(clBlue);
    MailLabel->SetFontColor(clBlue);
}
