#include "update/updatewin.h"

TUpdateForm::TUpdateForm(TComponent* owner) : TForm(owner, fsMDIChild) {
    SetCaption("Rates Update");
    SetBorderStyle(bsSingle);
    SetBorderIcons(0);
    SetIcon(":/mainwin/images/update.png");
    SetClientSize(280, 108);

    GroupBox1 = new TGroupBox(this, this, " Rates Update ");
    GroupBox1->SetBounds(0, 0, 280, 108);
    GroupBox1->SetAlign(alClient);
    Image1 = new TImage(this, GroupBox1);
    Image1->SetBounds(12, 24, 32, 32);
    Image1->SetPicture(":/mainwin/images/update.png");
    Label1 = new TLabel(this, GroupBox1, "Reading");
    Label1->SetBounds(60, 24, 60, 16);
    Label3 = new TLabel(this, GroupBox1);
    Label3->SetAutoSize(false);
    Label3->SetBounds(150, 24, 60, 16);
    Label2 = new TLabel(this, GroupBox1, "Decoding");
    Label2->SetBounds(60, 44, 60, 16);
    Label4 = new TLabel(this, GroupBox1);
    Label4->SetAutoSize(false);
    Label4->SetBounds(150, 44, 60, 16);
    Panel1 = new TPanel(this, GroupBox1);
    Panel1->SetBevelOuter(bvLowered);
    Panel1->SetBounds(8, 70, 264, 2);
    StatusLabel = new TLabel(this, GroupBox1, "Waiting...");
    StatusLabel->SetAutoSize(false);
    StatusLabel->SetBounds(12, 80, 256, 18);

    OnShow = [this](TObject* s) { FormShow(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    FormLoaded();  // shown now, at the top left of the main window
    ResetSteps();
}

void TUpdateForm::ResetSteps() {
    Label1->SetEnabled(false);
    Label2->SetEnabled(false);
    Label3->Hide();
    Label4->Hide();
    Repaint();
}

void TUpdateForm::SetStatus(const std::string& text) {
    StatusLabel->SetCaption(text);
    Repaint();
}

void TUpdateForm::BeginReading() {
    Label1->SetEnabled(true);
    SetStatus("Reading...");
}

void TUpdateForm::EndReading(bool ok) { EndStep(Label3, ok); }

void TUpdateForm::BeginDecoding() {
    Label2->SetEnabled(true);
    SetStatus("Decoding...");
}

void TUpdateForm::EndDecoding(bool ok) { EndStep(Label4, ok); }

void TUpdateForm::EndStep(TLabel* mark, bool ok) {
    mark->SetCaption(ok ? "OK" : "Error");
    if (!ok) SetBorderIcons(biSystemMenu);  // now the user may close it
    mark->SetEnabled(true);
    mark->Show();
    Repaint();
}

void TUpdateForm::FormShow(TObject*) {
    SetLeft(0);
    SetTop(0);
}

void TUpdateForm::FormClose(TObject*, TCloseAction& action) { action = caFree; }
