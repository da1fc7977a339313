#include "windows/preferredsetwin.h"

TPrefSetForm* PrefSetForm = nullptr;

TPrefSetForm::TPrefSetForm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
}
