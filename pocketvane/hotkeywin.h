// "HotKey Config": the field in which the user presses the combination that
// shows and hides the converter window.
#pragma once

#include "platform/hotkeyctrl.h"
#include "platform/formkit.h"

class THotKeyForm : public TForm {
public:
    explicit THotKeyForm(TComponent* owner);

    TLabel* Label1;
    TImage* Image1;
    TLabel* Label2;
    THotKey* HotKey1;
    TButton* Button1;

    void Button1Click(TObject* sender);
};

extern THotKeyForm* HotKeyForm;
