#include "windows/editcurrencywin.h"

TEditCurrencyForm* EditCurrencyForm = nullptr;

TEditCurrencyForm::TEditCurrencyForm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
}
