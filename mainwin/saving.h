// The closing notice shown while the program saves its files.
#pragma once

#include "platform/formkit.h"

class TSavingForm : public TForm {
public:
    explicit TSavingForm(TComponent* owner);
    TPanel* Panel1;
    TPanel* Panel2;
    TImage* Image1;
    TLabel* Label1;
};

extern TSavingForm* SavingForm;
