// "Rates Update": the progress window of one update, with the two steps
// Reading and Decoding and a status line. It gets its close box only when a
// step ends in an error.
#pragma once

#include "platform/formkit.h"

class TUpdateForm : public TForm {
public:
    explicit TUpdateForm(TComponent* owner);

    TGroupBox* GroupBox1;
    TImage* Image1;
    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label4;
    TPanel* Panel1;
    TLabel* StatusLabel;

    // Each of these repaints at once: the message loop does not run while the
    // GUI thread decodes.
    void ResetSteps();
    void SetStatus(const std::string& text);
    void BeginReading();
    void EndReading(bool ok);
    void BeginDecoding();
    void EndDecoding(bool ok);

    void FormShow(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);

private:
    void EndStep(TLabel* mark, bool ok);
};
