#include "export/exportwin.h"

#include "currency/currsource.h"
#include "export/exportcsv.h"
#include "export/exportexcel.h"
#include "export/exportuserfilter.h"
#include "export/outputfilterfactory.h"
#include "export/outputfilterinfo.h"
#include "mainwin/main.h"

#include <memory>
#include <optional>
#include <vector>

TExportForm* ExportForm = nullptr;

TExportForm::TExportForm(TComponent* owner) : TForm(owner) {
    SetCaption("Export Currencies");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientSize(269, 129);

    Image1 = new TImage(this, this);
    Image1->SetBounds(12, 12, 32, 32);
    Image1->SetPicture(":/export/images/export.png");
    Label1 = new TLabel(this, this, "Export to");
    Label1->SetBounds(56, 10, 60, 16);
    ComboBox1 = new TComboBox(this, this, csDropDownList);
    ComboBox1->SetBounds(56, 28, 201, 22);
    Button1 = new TButton(this, this, "&Export");
    Button1->SetBounds(101, 94, 75, 25);
    Button2 = new TButton(this, this, "&Cancel");
    Button2->SetBounds(182, 94, 75, 25);
    Button2->SetCancel(true);  // Escape closes the dialog
    CheckBox1 = new TCheckBox(this, this, "Only export selected currencies.");
    CheckBox1->SetBounds(12, 62, 245, 20);
    CheckBox1->SetChecked(true);

    ComboBox1->SetTabOrder(0);
    Button1->SetTabOrder(1);
    Button2->SetTabOrder(2);
    CheckBox1->SetTabOrder(3);

    OnShow = [this](TObject* s) { FormShow(s); };
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    Button2->OnClick = [this](TObject* s) { Button2Click(s); };
    // Cancel, Escape and the close box close the dialog only between runs: a
    // run serves the program's messages while it waits, and closing the
    // dialog then would hand the main window back to the user mid-run.
    OnCloseQuery = [this](TObject*, bool& canClose) {
        if (running_) canClose = false;
    };
}

void TExportForm::FormShow(TObject*) {
    const bool chosen = ComboBox1->ItemIndex() >= 0;
    const std::string previous = chosen ? ComboBox1->Text() : std::string();
    Source = MainForm->CurrentSource;
    try {
        FillTargets();
    } catch (...) {
        // The two built-in targets stay usable; the failure still reaches the user.
        SelectTarget(chosen, previous);
        throw;
    }
    SelectTarget(chosen, previous);
}

void TExportForm::SelectTarget(bool chosen, const std::string& previous) {
    int index = chosen ? ComboBox1->Items()->IndexOf(previous) : -1;
    ComboBox1->SetItemIndex(index >= 0 ? index : 0);
}

void TExportForm::FillTargets() {
    TStrings* items = ComboBox1->Items();
    items->Clear();
    items->Add("Excel");
    items->Add("CSV-file");
    OutputFilterFactory* filters = OutputFilterFactory::GetInstance();
    for (filters->First(); filters->IsValid(); filters->Next())
        if (OutputFilterInfo* filter = filters->Current()) items->Add(filter->GetName());
}

void TExportForm::Button1Click(TObject*) {
    // The spreadsheet target serves the program's messages while it waits,
    // so the button can be pressed again during a run.
    if (running_) return;
    const int index = ComboBox1->ItemIndex();
    std::unique_ptr<Exporter> exporter;
    if (index == 0) {
        exporter = std::make_unique<ExportExcel>();
    } else if (index == 1) {
        exporter = std::make_unique<ExportCSV>();
    } else if (index >= 2) {
        OutputFilterFactory* filters = OutputFilterFactory::GetInstance();
        filters->First();
        for (int i = 2; i < index; ++i) filters->Next();
        if (filters->IsValid()) exporter = std::make_unique<ExportUserFilter>(filters->Current());
    }
    if (!exporter) return;
    bool done;
    {
        running_ = true;
        struct Idle {
            bool& running;
            ~Idle() { running = false; }
        } idle{running_};
        done = RunExport(exporter.get());
    }
    exporter.reset();
    if (done) Close();
}

void TExportForm::Button2Click(TObject*) { Close(); }

bool TExportForm::RunExport(Exporter* exporter) {
    // The run works on copies: message boxes and the spreadsheet link's
    // waiting let other code run, which may change or delete currencies.
    std::optional<CurrencyItem> base;
    if (CurrencyItem* found = Source->FindCurrency(Source->GetPreferredBase())) base.emplace(*found);
    // Each step may have served the program's messages; once the program is
    // ending the run stops before the next one.
    exporter->Prepare(Source, base ? &*base : nullptr);
    if (ProgramEnding() || !exporter->Start() || ProgramEnding()) return false;
    const bool onlySelected = CheckBox1->Checked();
    std::vector<CurrencyItem> rows;
    for (CurrItr it = Source->GetCurrencies(); it.HasNext();) {
        CurrencyItem* currency = it.Next();
        if (currency->IsSelected() || !onlySelected) rows.push_back(*currency);
    }
    for (CurrencyItem& row : rows) {
        exporter->WriteCurrency(&row);
        if (ProgramEnding()) return false;
    }
    exporter->Finish();
    return true;
}
