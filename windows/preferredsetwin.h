// The modal editor of the named currency pairs.
#pragma once

#include "platform/vcl.h"

class TPrefSetForm : public TForm {
public:
    explicit TPrefSetForm(TComponent* owner);
};

extern TPrefSetForm* PrefSetForm;
