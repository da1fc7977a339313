// The settings window: number format, source, internet, export, display and
// calculator settings. The separators and the source switch take effect at
// once; everything else when OK is pressed.
#pragma once

#include "platform/formkit.h"

class CurrSource;

class TSettingsForm : public TForm {
public:
    explicit TSettingsForm(TComponent* owner);

    TPanel* HeaderPanel;
    TLabel* TitleLabel;
    TLabel* HintLabel;
    TImage* HeaderImage;
    TImageList* PageImages;
    TIconListView* ListView1;
    TPanel* CurrencyPanel;
    TPanel* InternetPanel;
    TPanel* MiscPanel;
    TComboBox* ComboBox1;
    TComboBox* ComboBox2;
    TCheckBox* CheckBox1;
    TRadioButton* RadioButton1;
    TRadioButton* RadioButton2;
    TCheckBox* ProxyCheck;
    TLabel* ProxyLabel;
    TEdit* Proxy;
    TLabel* PortLabel;
    TEdit* Port;
    TCheckBox* UserAuthCheck;
    TCheckBox* AutoUpdateCheck;
    TEdit* Edit1;
    TCheckBox* SplashCheck;
    TCheckBox* CheckBox2;
    TCheckBox* CheckBox3;
    TEdit* CalcProgram;
    TSpeedButton* SpeedButton1;
    TButton* CancelButton;
    TButton* OKButton;
    TOpenDialog* OpenDialog1;

    CurrSource* Source = nullptr;

    void SetSource(CurrSource* source) { Source = source; }
    void ApplySettings();

    void FormShow(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    void ListView1Click(TObject* sender);
    void RadioButton1Click(TObject* sender);
    void RadioButton2Click(TObject* sender);
    void ComboBox1Change(TObject* sender);
    void ProxyCheckClick(TObject* sender);
    void SpeedButton1Click(TObject* sender);
    void OKButtonClick(TObject* sender);
    void CancelButtonClick(TObject* sender);

private:
    TPanel* MakePage(const char* title);
};
