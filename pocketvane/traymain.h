// The tray program's main form: a hidden tool window that owns the tray icon
// and its menu, the global hot key, both settings objects and the one rate
// source.
#pragma once

#include "platform/formkit.h"

#include <cstdint>

class CurrSource;
class Settings;
class PocketvaneSettings;
class TTrayIcon;

class TTrayMainForm : public TForm {
public:
    explicit TTrayMainForm(TComponent* owner);
    ~TTrayMainForm() override;

    TTrayIcon* TrayIcon1;
    TImageList* ImageList;
    TPopupMenu* PopupMenu1;
    TMenuItem* Exit1;
    TMenuItem* N1;
    TMenuItem* Maximize1;
    TMenuItem* Minimize1;
    TImageList* PopUpList;
    TMenuItem* About1;
    TMenuItem* N2;
    TMenuItem* Tallyvane1;
    TMenuItem* Help1;
    TMenuItem* Config1;

    CurrSource* Source = nullptr;
    Settings* AppSettings = nullptr;
    PocketvaneSettings* TraySettings = nullptr;

    static constexpr int HotKeyId = 1;

    void FormCreate(TObject* sender);
    void TrayIcon1MouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void ShowConverter();
    void HideConverter();
    void ToggleConverter();
    void Dispatch(TMessage& message) override;
    static uint16_t ShortCutToModifiers(uint16_t shortCut);
    static uint16_t ShortCutToKey(uint16_t shortCut);

    void Help1Click(TObject* sender);
    void About1Click(TObject* sender);
    void Tallyvane1Click(TObject* sender);
    void Config1Click(TObject* sender);
    void Minimize1Click(TObject* sender);
    void Maximize1Click(TObject* sender);
    void Exit1Click(TObject* sender);

private:
    void RegisterConverterHotKey();
};

extern TTrayMainForm* TrayMainForm;
