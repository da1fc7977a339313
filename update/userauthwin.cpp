#include "update/userauthwin.h"

TUserAuthFrm* UserAuthFrm = nullptr;

TUserAuthFrm::TUserAuthFrm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
}
