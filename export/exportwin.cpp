#include "export/exportwin.h"

TExportForm* ExportForm = nullptr;

TExportForm::TExportForm(TComponent* owner) : TForm(owner) {
    SetCaption("Export Currencies");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientSize(313, 166);
}
