// The modal editor of one currency.
#pragma once

#include "platform/vcl.h"

class TEditCurrencyForm : public TForm {
public:
    explicit TEditCurrencyForm(TComponent* owner);
};

extern TEditCurrencyForm* EditCurrencyForm;
