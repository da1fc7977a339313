// The "Export Currencies" dialog: picks a target for the current source's
// table and runs one exporter of it.
#pragma once

#include "platform/formkit.h"

class CurrSource;
class Exporter;

class TExportForm : public TForm {
public:
    explicit TExportForm(TComponent* owner);

    TImage* Image1;
    TLabel* Label1;
    TComboBox* ComboBox1;
    TButton* Button1;
    TButton* Button2;
    TCheckBox* CheckBox1;

    CurrSource* Source = nullptr;

    void FormShow(TObject* sender);
    void Button1Click(TObject* sender);
    void Button2Click(TObject* sender);
    // One run; false when the target refused to start.
    bool RunExport(Exporter* exporter);

private:
    void FillTargets();
    // The entry whose text matches the previous choice, or the first.
    void SelectTarget(bool chosen, const std::string& previous);
    bool running_ = false;
};

extern TExportForm* ExportForm;
