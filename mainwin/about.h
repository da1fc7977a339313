// The about box: product, links, disclaimer and the notice of each source.
#pragma once

#include "platform/formkit.h"

class TAboutForm : public TForm {
public:
    explicit TAboutForm(TComponent* owner);
    TImage* Image1;
    TPanel* Panel1;
    TLabel* ProductName;
    TLabel* RightsLabel;
    TLabel* WebpageCaption;
    TLabel* URL;
    TLabel* MailCaption;
    TLabel* MailLabel;
    TMemo* Memo1;
    TButton* OKButton;

    void FormShow(TObject* sender);
    void OKButtonClick(TObject* sender);
    void URLClick(TObject* sender);
    void MailLabelClick(TObject* sender);
    void URLMouseMove(TObject* sender, TShiftState shift, int x, int y);
    void MailLabelMouseMove(TObject* sender, TShiftState shift, int x, int y);
    void FormMouseMove(TObject* sender, TShiftState shift, int x, int y);
    void Panel1MouseMove(TObject* sender, TShiftState shift, int x, int y);
};

extern TAboutForm* AboutForm;
