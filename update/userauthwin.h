// "User Authentication": asks for the user name and password that a download
// sends when user authentication is chosen. They stay in memory only.
#pragma once

#include "platform/formkit.h"

class Settings;

class TUserAuthFrm : public TForm {
public:
    explicit TUserAuthFrm(TComponent* owner);
    ~TUserAuthFrm() override;

    TGroupBox* GroupBox1;
    TImage* Image1;
    TLabel* Label3;
    TLabel* Label1;
    TEdit* Username;
    TLabel* Label2;
    TEdit* Password;
    TButton* Button1;

    // The user confirmed the form in this run and no refused page has made
    // the program forget the texts since.
    bool Confirmed = false;

    void Button1Click(TObject* sender);
};

extern TUserAuthFrm* UserAuthFrm;

// A page was refused: the texts are forgotten, and the form asks again
// before the next download.
void ForgetCredentials(Settings* settings);
