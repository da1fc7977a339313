// The splash window: a picture with five step icons that start-up reveals.
#pragma once

#include "platform/formkit.h"

class TLoadingForm : public TForm {
public:
    explicit TLoadingForm(TComponent* owner);
    TImage* Image1;
    TImage* Image2;
    TImage* Image3;
    TImage* Image4;
    TImage* Image5;
    TImage* Image6;
};

extern TLoadingForm* LoadingForm;
