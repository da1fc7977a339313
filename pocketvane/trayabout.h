// The tray program's about box, shown beside the converter window.
#pragma once

#include "platform/formkit.h"

class TTrayAboutForm : public TForm {
public:
    explicit TTrayAboutForm(TComponent* owner);

    TImage* Image1;
    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label4;
    TLabel* Label3;
    TButton* Button1;

    void FormShow(TObject* sender);
    void Label4Click(TObject* sender);
    void Button1Click(TObject* sender);
};

extern TTrayAboutForm* TrayAboutForm;
