// The main window: an MDI frame with the menus, actions and toolbar of the
// program, the owner of the rate sources and of the child windows.
#pragma once

#include "platform/formkit.h"

#include <ostream>
#include <set>
#include <string>
#include <vector>

class CurrSource;
class Settings;
class Fetcher;
class TCurrencyWindow;
class TWorldForm;
class TPreferredForm;
class TCrossForm;
class TRatesForm;
class TSettingsForm;

class TMainForm : public TForm {
public:
    explicit TMainForm(TComponent* owner);
    ~TMainForm() override;

    // Components.
    TImageList* SmallImageList;
    TImageList* LargeImageList;
    TActionList* ActionList1;
    TAction* DialogPreferred;
    TAction* DialogWorld;
    TAction* DialogCross;
    TAction* DialogRates;
    TAction* DialogUpdate;
    TAction* DialogSettings;
    TAction* DialogHelp;
    TAction* DialogAbout;
    TAction* ExecuteCalculator;
    TAction* ExecutePocketvane;
    TAction* ExportExcel1;
    TAction* FileExit1;
    TAction* EditCut1;
    TAction* EditCopy1;
    TAction* EditPaste1;
    TAction* WindowTileHorizontal1;
    TAction* WindowTileVertical1;
    TAction* WindowCascade1;
    TAction* WindowMinimizeAll1;
    TAction* ShowToolbarAction;
    TAction* PicturesAndTextAction;
    TAction* PacificWebsiteAction;
    TAction* PacificUpdateAction;
    TAction* IMFWebsiteAction;
    TAction* IMFUpdateAction;
    TAction* SurfToAction;
    TMainMenu* MainMenu1;
    TMenuItem* File1;
    TMenuItem* Edit1;
    TMenuItem* Window1;
    TMenuItem* Help1;
    TPopupMenu* BgPopup;
    TPopupMenu* UpdatePopup;
    TMenuItem* Internet1;
    TMenuItem* OpenFile1;
    TToolBar* ToolBar1;
    TToolButton* PreferredButton;
    TToolButton* WorldButton;
    TToolButton* CrossButton;
    TToolButton* RatesButton;
    TToolButton* UpdateButton;
    TToolButton* SettingsButton;
    TToolButton* CalculatorButton;
    TStatusBar* StatusBar;

    // Members.
    std::string WindowSettingsFile;
    std::set<TCurrencyWindow*> OpenWindows;
    std::string SurfUrls[5];
    TRatesForm* RatesWindow = nullptr;
    TSettingsForm* SettingsWindow = nullptr;
    std::vector<CurrSource*> Sources;
    CurrSource* CurrentSource = nullptr;
    Settings* AppSettings = nullptr;
    std::string ProgramDir;
    Fetcher* ActiveFetcher = nullptr;

    void FormShow(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    bool IsOnline();

    void DialogPreferredExecute(TObject* sender);
    void DialogWorldExecute(TObject* sender);
    void DialogCrossExecute(TObject* sender);
    void DialogRatesExecute(TObject* sender);
    void DialogUpdateExecute(TObject* sender);
    void DialogSettingsExecute(TObject* sender);
    void DialogHelpExecute(TObject* sender);
    void DialogAboutExecute(TObject* sender);
    void ExecuteCalculatorExecute(TObject* sender);
    void ExecutePocketvaneExecute(TObject* sender);
    void ExportExcel1Execute(TObject* sender);
    void FileExit1Execute(TObject* sender);
    void Internet1Click(TObject* sender);
    void OpenFile1Click(TObject* sender);
    void ShowToolbarActionExecute(TObject* sender);
    void PicturesAndTextActionExecute(TObject* sender);
    void PacificWebsiteActionExecute(TObject* sender);
    void PacificUpdateActionExecute(TObject* sender);
    void IMFWebsiteActionExecute(TObject* sender);
    void IMFUpdateActionExecute(TObject* sender);
    void SurfToActionExecute(TObject* sender);

    // The child windows and the layout file.
    TPreferredForm* OpenPreferredWindow(int prefSet, const std::string& value);
    TWorldForm* OpenWorldWindow(int leftSet, int rightSet, const std::string& value);
    TCrossForm* OpenCrossWindow(int one, int two, int three, int four);
    TRatesForm* OpenRatesWindow();
    void OpenSettingsWindow();
    void CloseWindow(TCurrencyWindow* window);
    void CloseRatesWindow();
    void CloseSettingsWindow();
    void RefreshWindows();
    void CloseAllWindows();
    void UpdateFinished();
    void LoadWindowSettings();
    void SaveWindowSettings();
    void WriteClosedWindows(std::ostream& out);

private:
    void BuildActions();
    void BuildMenus();
    void BuildToolBar();
    void AddSourceHelp(CurrSource* source, TAction* website, TAction* update, int urlIndex);
    TMenuItem* Item(TComponent* owner, TAction* action);
    void Launch(const std::string& file);
    bool started_ = false;
    bool closing_ = false;  // the shutdown has begun: window operations do nothing
};

extern TMainForm* MainForm;
