#include "mainwin/saving.h"

TSavingForm* SavingForm = nullptr;

TSavingForm::TSavingForm(TComponent* owner) : TForm(owner) {
    SetCaption("Saving...");
    SetBorderStyle(bsNone);
    SetPosition(poScreenCenter);
    SetClientSize(202, 45);
    Panel1 = new TPanel(this, this);
    Panel1->SetBounds(0, 0, 202, 45);
    Panel1->SetAlign(alClient);
    Panel2 = new TPanel(this, Panel1);
    Panel2->SetBevelOuter(bvNone);
    Panel2->SetBounds(2, 2, 41, 41);
    Image1 = new TImage(this, Panel2);
    Image1->SetBounds(5, 5, 32, 32);
    Image1->SetPicture(":/mainwin/images/saving.png");
    Label1 = new TLabel(this, Panel1, "Closing. Please wait...");
    Label1->SetBounds(52, 15, 140, 16);
}
