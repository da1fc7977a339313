#include "update/userauthwin.h"

#include "currency/settings.h"

TUserAuthFrm* UserAuthFrm = nullptr;

TUserAuthFrm::TUserAuthFrm(TComponent* owner) : TForm(owner) {
    SetCaption("User Authentication");
    SetBorderStyle(bsDialog);
    SetBorderIcons(0);
    SetPosition(poScreenCenter);
    SetClientSize(330, 190);

    GroupBox1 = new TGroupBox(this, this, " User Authentication Required ");
    GroupBox1->SetBounds(8, 8, 314, 140);
    Image1 = new TImage(this, GroupBox1);
    Image1->SetBounds(12, 24, 32, 32);
    Image1->SetPicture(":/mainwin/images/credentials.png");
    Label3 = new TLabel(this, GroupBox1,
                        "You selected to use User Authentication. Please insert your name and password in the "
                        "fields below.");
    Label3->SetAutoSize(false);
    Label3->SetWordWrap(true);
    Label3->SetBounds(56, 22, 248, 48);
    Label1 = new TLabel(this, GroupBox1, "Username:");
    Label1->SetBounds(12, 81, 70, 16);
    Username = new TEdit(this, GroupBox1);
    Username->SetBounds(90, 78, 212, 22);
    Label2 = new TLabel(this, GroupBox1, "Password:");
    Label2->SetBounds(12, 109, 70, 16);
    Password = new TEdit(this, GroupBox1);
    Password->SetBounds(90, 106, 212, 22);
    Password->SetPasswordChar('*');

    Button1 = new TButton(this, this, "OK");
    Button1->SetBounds(247, 156, 75, 25);
    Button1->SetDefault(true);
    Button1->SetModalResult(mrOk);
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    SetActiveControl(Username);
}

TUserAuthFrm::~TUserAuthFrm() {
    if (UserAuthFrm == this) UserAuthFrm = nullptr;
}

void TUserAuthFrm::Button1Click(TObject*) {
    Settings* settings = Settings::Instance();
    settings->UserName = Username->Text();
    settings->Password = Password->Text();
    Confirmed = true;
    // A modal show ends with the button's result; otherwise the form hides.
    if (!Modal()) Close();
}

void ForgetCredentials(Settings* settings) {
    if (settings) {
        settings->UserName.clear();
        settings->Password.clear();
    }
    if (UserAuthFrm) {
        // The refused texts leave memory altogether: the form asks afresh.
        UserAuthFrm->Confirmed = false;
        UserAuthFrm->Username->SetText("");
        UserAuthFrm->Password->SetText("");
    }
}
