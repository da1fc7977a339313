// The "Export Currencies" dialog.
#pragma once

#include "platform/vcl.h"

class TExportForm : public TForm {
public:
    explicit TExportForm(TComponent* owner);
};

extern TExportForm* ExportForm;
