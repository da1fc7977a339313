#include "mainwin/settingswin.h"

#include "currency/currsource.h"
#include "currency/settings.h"
#include "mainwin/main.h"

#include <algorithm>

namespace {
TGroupBox* Group(TComponent* owner, TWinControl* page, const char* caption, int left, int top, int width,
                 int height) {
    auto* g = new TGroupBox(owner, page, caption);
    g->SetBounds(left, top, width, height);
    return g;
}

TLabel* MakeLabel(TComponent* owner, TWinControl* parent, const char* text, int left, int top) {
    auto* l = new TLabel(owner, parent, text);
    l->SetBounds(left, top, 10, 16);
    return l;
}
}  // namespace

TSettingsForm::TSettingsForm(TComponent* owner) : TForm(owner, fsMDIChild) {
    SetCaption("Settings");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetPosition(poDefault);
    SetClientSize(519, 321);

    HeaderPanel = new TPanel(this, this);
    HeaderPanel->SetBevelOuter(bvNone);
    HeaderPanel->SetColor(clWhite);
    HeaderPanel->SetBounds(0, 0, 519, 56);
    TitleLabel = MakeLabel(this, HeaderPanel, "Change Your Settings", 12, 9);
    TitleLabel->SetFontStyle(true, false);
    HintLabel = MakeLabel(this, HeaderPanel, "Please make changes to the settings and press OK to save the changes.", 12,
                        31);
    HeaderImage = new TImage(this, HeaderPanel);
    HeaderImage->SetBounds(475, 12, 32, 32);
    HeaderImage->SetPicture(":/mainwin/images/settings.png");

    PageImages = new TImageList(this, 32, 32);
    PageImages->SetImage(0, ":/mainwin/images/large/3.png");
    PageImages->SetImage(1, ":/mainwin/images/large/7.png");
    PageImages->SetImage(2, ":/mainwin/images/large/1.png");
    ListView1 = new TIconListView(this, this);
    ListView1->SetBounds(6, 62, 122, 216);
    ListView1->SetLargeImages(PageImages);
    ListView1->AddItem("Currency Settings", 0);
    ListView1->AddItem("Internet Settings", 1);
    ListView1->AddItem("Miscellaneous", 2);

    CurrencyPanel = MakePage("  Currency Settings");
    auto* source = Group(this, CurrencyPanel, " Source ", 8, 28, 365, 54);
    MakeLabel(this, source, "Source:", 12, 26);
    ComboBox1 = new TComboBox(this, source);
    ComboBox1->SetBounds(80, 22, 200, 22);
    auto* decimals = Group(this, CurrencyPanel, " Decimals ", 8, 90, 365, 90);
    MakeLabel(this, decimals, "Decimals:", 12, 26);
    ComboBox2 = new TComboBox(this, decimals);
    ComboBox2->SetBounds(80, 22, 60, 22);
    for (int i = 0; i <= 9; ++i) ComboBox2->Items()->Add(IntToStr(i));
    CheckBox1 = new TCheckBox(this, decimals, "Use Thousand Separator");
    CheckBox1->SetBounds(160, 24, 200, 20);
    MakeLabel(this, decimals, "Decimal:", 12, 58);
    RadioButton1 = new TRadioButton(this, decimals, ". (point)");
    RadioButton1->SetBounds(80, 56, 90, 20);
    RadioButton1->SetChecked(true);
    RadioButton2 = new TRadioButton(this, decimals, ", (comma)");
    RadioButton2->SetBounds(180, 56, 100, 20);

    InternetPanel = MakePage("  Internet Settings");
    auto* proxy = Group(this, InternetPanel, " Proxy Settings ", 8, 28, 365, 84);
    ProxyCheck = new TCheckBox(this, proxy, "Use Proxy  ");
    ProxyCheck->SetBounds(12, 22, 120, 20);
    ProxyLabel = MakeLabel(this, proxy, "Proxy", 12, 54);
    Proxy = new TEdit(this, proxy);
    Proxy->SetBounds(52, 50, 200, 22);
    PortLabel = MakeLabel(this, proxy, "Port", 264, 54);
    Port = new TEdit(this, proxy);
    Port->SetBounds(294, 50, 66, 22);
    PortLabel->SetEnabled(false);
    Port->SetEnabled(false);
    auto* misc = Group(this, InternetPanel, " Misc. Settings ", 8, 120, 365, 80);
    UserAuthCheck = new TCheckBox(this, misc, "Use Basic User Authentication");
    UserAuthCheck->SetBounds(12, 22, 300, 20);
    AutoUpdateCheck = new TCheckBox(this, misc, "Check for Internet and update on startup");
    AutoUpdateCheck->SetBounds(12, 48, 340, 20);

    MiscPanel = MakePage("  Miscellaneous");
    auto* exportGroup = Group(this, MiscPanel, " Export ", 8, 28, 200, 54);
    MakeLabel(this, exportGroup, "CSV Export separator", 12, 26);
    Edit1 = new TEdit(this, exportGroup);
    Edit1->SetBounds(156, 22, 34, 22);
    Edit1->SetText(",");
    auto* loading = Group(this, MiscPanel, " Loading ", 216, 28, 157, 54);
    SplashCheck = new TCheckBox(this, loading, "Show splash-screen");
    SplashCheck->SetBounds(12, 24, 140, 20);
    auto* display = Group(this, MiscPanel, " Display Info ", 8, 88, 365, 54);
    CheckBox2 = new TCheckBox(this, display, "Date");
    CheckBox2->SetBounds(12, 24, 80, 20);
    CheckBox3 = new TCheckBox(this, display, "Convert-Value");
    CheckBox3->SetBounds(110, 24, 140, 20);
    auto* calculator = Group(this, MiscPanel, " Calculator ", 8, 148, 365, 58);
    MakeLabel(this, calculator, "Start :", 12, 28);
    CalcProgram = new TEdit(this, calculator);
    CalcProgram->SetBounds(56, 24, 274, 22);
    CalcProgram->SetReadOnly(true);
    SpeedButton1 = new TSpeedButton(this, calculator, "...");
    SpeedButton1->SetBounds(336, 23, 26, 24);
    SpeedButton1->SetHint("Browse");

    OKButton = new TButton(this, this, "OK");
    OKButton->SetBounds(356, 288, 75, 25);
    OKButton->SetHint("Save Changes and close window.");
    CancelButton = new TButton(this, this, "Cancel");
    CancelButton->SetBounds(437, 288, 75, 25);
    CancelButton->SetHint("Close window discarding changes.");
    for (TButton* b : {OKButton, CancelButton}) b->SetShowHint(true);

    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->Filter = "Programs|*.exe|All Files|*.*";

    OnShow = [this](TObject* s) { FormShow(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    ListView1->OnClick = [this](TObject* s) { ListView1Click(s); };
    RadioButton1->OnClick = [this](TObject* s) { RadioButton1Click(s); };
    RadioButton2->OnClick = [this](TObject* s) { RadioButton2Click(s); };
    ComboBox1->OnChange = [this](TObject* s) { ComboBox1Change(s); };
    ProxyCheck->OnClick = [this](TObject* s) { ProxyCheckClick(s); };
    SpeedButton1->OnClick = [this](TObject* s) { SpeedButton1Click(s); };
    OKButton->OnClick = [this](TObject* s) { OKButtonClick(s); };
    CancelButton->OnClick = [this](TObject* s) { CancelButtonClick(s); };
    SetActiveControl(OKButton);
    FormLoaded();
}

TPanel* TSettingsForm::MakePage(const char* title) {
    auto* page = new TPanel(this, this);
    page->SetBevelOuter(bvNone);
    page->SetBounds(132, 62, 381, 216);
    auto* strip = new TPanel(this, page);
    strip->SetBevelOuter(bvNone);
    strip->SetColor(clGray);
    strip->SetBounds(0, 0, 381, 20);
    auto* label = new TLabel(this, strip, title);
    label->SetBounds(0, 2, 10, 16);
    label->SetFontStyle(true, false);
    label->SetFontColor(clWhite);
    return page;
}

void TSettingsForm::FormShow(TObject*) {
    MiscPanel->Hide();
    InternetPanel->Hide();
    CurrencyPanel->Show();
    Settings* settings = MainForm->AppSettings;
    ComboBox1->Items()->Clear();
    for (size_t i = 0; i < MainForm->Sources.size(); ++i) {
        ComboBox1->Items()->Add(MainForm->Sources[i]->GetName());
        if (MainForm->Sources[i] == MainForm->CurrentSource) ComboBox1->SetItemIndex(static_cast<int>(i));
    }
    ComboBox2->SetItemIndex(settings->Decimals);  // outside 0..9: no entry chosen
    CheckBox1->SetChecked(settings->useThousand);
    // Any decimal separator but "." means the comma pair, set at once.
    if (settings->DecimalSeparator != '.') RadioButton2->SetChecked(true);
    ProxyCheck->SetChecked(settings->useProxy);
    Proxy->SetText(settings->Proxy);
    Port->SetText(IntToStr(settings->Port));
    ProxyCheckClick(ProxyCheck);
    UserAuthCheck->SetChecked(settings->useAuth);
    AutoUpdateCheck->SetChecked(settings->checkOnStart);
    SplashCheck->SetChecked(settings->ShowSplash);
    Edit1->SetText(settings->csvSep);
    CheckBox2->SetChecked(settings->showCurrDate);
    CheckBox3->SetChecked(settings->showCurrValue);
    CalcProgram->SetText(settings->Calc);
}

void TSettingsForm::ListView1Click(TObject*) {
    int index = ListView1->ItemIndex();
    if (index < 0) return;
    CurrencyPanel->Hide();
    InternetPanel->Hide();
    MiscPanel->Hide();
    if (index == 1) InternetPanel->Show();
    else if (index == 2) MiscPanel->Show();
    else CurrencyPanel->Show();
}

void TSettingsForm::RadioButton1Click(TObject*) {
    if (!RadioButton1->Checked()) return;
    MainForm->AppSettings->DecimalSeparator = '.';
    MainForm->AppSettings->ThousandSeparator = ',';
}

void TSettingsForm::RadioButton2Click(TObject*) {
    if (!RadioButton2->Checked()) return;
    MainForm->AppSettings->DecimalSeparator = ',';
    MainForm->AppSettings->ThousandSeparator = '.';
}

void TSettingsForm::ComboBox1Change(TObject*) {
    int index = ComboBox1->ItemIndex();
    if (index < 0 || index >= static_cast<int>(MainForm->Sources.size())) return;
    MainForm->CurrentSource = MainForm->Sources[static_cast<size_t>(index)];
    MainForm->AppSettings->Source = index;
    MainForm->CloseAllWindows();
}

void TSettingsForm::ProxyCheckClick(TObject*) {
    const bool on = ProxyCheck->Checked();
    ProxyLabel->SetEnabled(on);
    PortLabel->SetEnabled(on);
    Proxy->SetEnabled(on);
    Port->SetEnabled(on);
}

void TSettingsForm::SpeedButton1Click(TObject*) {
    const std::string text = CalcProgram->Text();
    size_t cut = text.find_last_of("\\/:");
    // Up to the last folder separator, or up to and with a drive's colon.
    OpenDialog1->InitialDir =
        cut == std::string::npos ? std::string() : text.substr(0, text[cut] == ':' ? cut + 1 : cut);
    while (OpenDialog1->InitialDir.size() > 1 &&
           (OpenDialog1->InitialDir.back() == '\\' || OpenDialog1->InitialDir.back() == '/'))
        OpenDialog1->InitialDir.pop_back();
    if (OpenDialog1->Execute()) CalcProgram->SetText(OpenDialog1->FileName);
}

void TSettingsForm::ApplySettings() {
    Settings* settings = MainForm->AppSettings;
    settings->Calc = CalcProgram->Text();
    settings->showCurrValue = CheckBox3->Checked();
    settings->showCurrDate = CheckBox2->Checked();
    settings->csvSep = Edit1->Text();
    settings->ShowSplash = SplashCheck->Checked();
    settings->checkOnStart = AutoUpdateCheck->Checked();
    settings->useAuth = UserAuthCheck->Checked();
    // A stored count outside the list's 0..9 is kept within it.
    int decimals = ComboBox2->ItemIndex();
    settings->Decimals = decimals >= 0 ? decimals : std::clamp(settings->Decimals, 0, 9);
    settings->useThousand = CheckBox1->Checked();
    settings->useProxy = ProxyCheck->Checked();
    std::string proxy = Trim(LowerCase(Proxy->Text()));
    if (int at = Pos("http://", proxy); at > 0) proxy.erase(0, static_cast<size_t>(at - 1) + 7);
    settings->Proxy = proxy;
    int port;
    if (TryStrToInt(Port->Text(), port)) settings->Port = port;
}

void TSettingsForm::OKButtonClick(TObject*) {
    ApplySettings();
    Close();
}

void TSettingsForm::CancelButtonClick(TObject*) { Close(); }

void TSettingsForm::FormClose(TObject*, TCloseAction&) { MainForm->CloseSettingsWindow(); }
