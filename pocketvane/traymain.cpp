#include "pocketvane/traymain.h"

#include "currency/settings.h"
#include "currency/srcimf.h"
#include "currency/srcpacific.h"
#include "platform/hotkey.h"
#include "platform/hotkeyctrl.h"
#include "platform/shellapi.h"
#include "platform/trayicon.h"
#include "pocketvane/converterwin.h"
#include "pocketvane/hotkeywin.h"
#include "pocketvane/trayabout.h"
#include "pocketvane/traysettings.h"

TTrayMainForm* TrayMainForm = nullptr;

TTrayMainForm::TTrayMainForm(TComponent* owner) : TForm(owner) {
    SetCaption("Pocketvane");
    SetBorderStyle(bsToolWindow);
    SetClientSize(326, 53);

    TrayIcon1 = new TTrayIcon(this);
    ImageList = new TImageList(this, 16, 16);
    for (int i = 0; i < 4; ++i) ImageList->SetImage(i, ":/pocketvane/images/tray" + std::to_string(i) + ".png");
    ImageList->AddImageSize(3, ":/pocketvane/images/tray3_22.png");
    PopupMenu1 = new TPopupMenu(this);
    PopUpList = new TImageList(this, 16, 16);
    for (int i = 0; i < 7; ++i) PopUpList->SetImage(i, ":/pocketvane/images/menu" + std::to_string(i) + ".png");
    PopupMenu1->SetImages(PopUpList);

    struct MenuEntry {
        TMenuItem** item;
        const char* caption;
        int image;
        void (TTrayMainForm::*handler)(TObject*);
    };
    const MenuEntry items[] = {{&Help1, "H&elp", 5, &TTrayMainForm::Help1Click},
                              {&About1, "&About", 4, &TTrayMainForm::About1Click},
                              {&Tallyvane1, "&Launch Tallyvane", 3, &TTrayMainForm::Tallyvane1Click},
                              {&Config1, "&Config", 6, &TTrayMainForm::Config1Click},
                              {&N1, "-", -1, nullptr},
                              {&Minimize1, "&Hide", 0, &TTrayMainForm::Minimize1Click},
                              {&Maximize1, "&Show", 1, &TTrayMainForm::Maximize1Click},
                              {&N2, "-", -1, nullptr},
                              {&Exit1, "E&xit", 2, &TTrayMainForm::Exit1Click}};
    for (const MenuEntry& entry : items) {
        TMenuItem* item = new TMenuItem(this, entry.caption);
        if (entry.image >= 0) item->SetImageIndex(entry.image);
        if (entry.handler) item->OnClick = [this, h = entry.handler](TObject* s) { (this->*h)(s); };
        PopupMenu1->Add(item);
        *entry.item = item;
    }
    Minimize1->SetEnabled(false);

    TrayIcon1->SetHint("Pocketvane");
    TrayIcon1->SetPopupMenu(PopupMenu1);
    TrayIcon1->SetIcons(ImageList);
    TrayIcon1->SetIconIndex(3);
    TrayIcon1->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        TrayIcon1MouseUp(s, b, sh, x, y);
    };
    TrayIcon1->SetVisible(true);

    // Never seen: off the screen, and the program does not show it.
    SetTop(-Height());
    AppSettings = new Settings(ProgramPath("\\tallyvane2.ini"));
    SetNumberSettings(AppSettings);
    TraySettings = new PocketvaneSettings(ProgramPath("\\pocketvane.ini"));
    if (AppSettings->Source == 0) Source = new Pacific;
    else Source = new Imf;
    FormCreate(this);
}

TTrayMainForm::~TTrayMainForm() {
    // Nothing here writes a file in this program: the settings are written
    // only by Exit, and the source never writes its data file.
    delete Source;
    delete TraySettings;
    if (NumberSettings() == AppSettings) SetNumberSettings(nullptr);
    delete AppSettings;
    if (TrayMainForm == this) TrayMainForm = nullptr;
}

uint16_t TTrayMainForm::ShortCutToModifiers(uint16_t shortCut) {
    unsigned high = shortCut >> 8;
    uint16_t modifiers = 0;
    if (high >= 0x80) {
        modifiers |= MOD_ALT;
        high -= 0x80;
    }
    if (high >= 0x40) {
        modifiers |= MOD_CONTROL;
        high -= 0x40;
    }
    if (high >= 0x20) modifiers |= MOD_SHIFT;
    return modifiers;
}

uint16_t TTrayMainForm::ShortCutToKey(uint16_t shortCut) { return shortCut & 0xFF; }

void TTrayMainForm::RegisterConverterHotKey() {
    // A failure (no key, or one another program holds) leaves the program
    // without a hot key; the tray icon still works.
    RegisterHotKey(this, HotKeyId, ShortCutToModifiers(TraySettings->HotKey), ShortCutToKey(TraySettings->HotKey));
}

void TTrayMainForm::FormCreate(TObject*) { RegisterConverterHotKey(); }

void TTrayMainForm::Dispatch(TMessage& message) {
    if (message.Msg == WM_HOTKEY) {
        ToggleConverter();
        return;
    }
    TForm::Dispatch(message);
}

void TTrayMainForm::TrayIcon1MouseUp(TObject*, TMouseButton button, TShiftState, int, int) {
    if (button == mbLeft) ToggleConverter();
}

void TTrayMainForm::ShowConverter() {
    Maximize1->SetEnabled(false);
    Minimize1->SetEnabled(true);
    Form2->Show();
}

void TTrayMainForm::HideConverter() {
    Form2->Hide();
    Maximize1->SetEnabled(true);
    Minimize1->SetEnabled(false);
}

void TTrayMainForm::ToggleConverter() {
    if (Form2->Visible()) HideConverter();
    else ShowConverter();
}

void TTrayMainForm::Help1Click(TObject*) {
    const std::string manual = ProgramPath("\\pocketvane-manual\\index.html");
    if (!FileExists(manual)) {
        ShowMessage("Can't locate help-file at: " + manual);
        return;
    }
    ShellExecuteA(nullptr, "open", manual.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TTrayMainForm::About1Click(TObject*) { TrayAboutForm->Show(); }

void TTrayMainForm::Tallyvane1Click(TObject*) {
    ShellExecuteA(nullptr, "open", "tallyvane2.exe", nullptr, nullptr, SW_SHOWNORMAL);
}

void TTrayMainForm::Config1Click(TObject*) {
    UnregisterHotKey(this, HotKeyId);
    HotKeyForm->HotKey1->SetHotKey(TraySettings->HotKey);
    HotKeyForm->ShowModal();
    if (!TraySettings) return;  // Exit was chosen meanwhile: the program is ending
    TraySettings->HotKey = HotKeyForm->HotKey1->HotKey();
    RegisterConverterHotKey();
}

void TTrayMainForm::Minimize1Click(TObject*) { HideConverter(); }
void TTrayMainForm::Maximize1Click(TObject*) { ShowConverter(); }

void TTrayMainForm::Exit1Click(TObject*) {
    if (!TraySettings) return;  // already ending
    // A failed write throws before anything is freed: the program stays in
    // the tray with its settings, and Exit can be chosen again.
    TraySettings->Save();
    delete TraySettings;
    TraySettings = nullptr;
    SetNumberSettings(nullptr);
    delete AppSettings;
    AppSettings = nullptr;
    Close();
}
