// The form that asks for the user name and password of a download.
#pragma once

#include "platform/vcl.h"

class TUserAuthFrm : public TForm {
public:
    explicit TUserAuthFrm(TComponent* owner);
};

extern TUserAuthFrm* UserAuthFrm;
