#include "mainwin/main.h"

#include "currency/settings.h"
#include "currency/srcimf.h"
#include "currency/srcpacific.h"
#include "export/exportwin.h"
#include "mainwin/about.h"
#include "mainwin/loadingwin.h"
#include "mainwin/saving.h"
#include "mainwin/settingswin.h"
#include "platform/shellapi.h"
#include "platform/stdactns.h"
#include "platform/wininet.h"
#include "update/fetcher.h"
#include "update/fetchfile.h"
#include "update/fetchinternet.h"
#include "update/sourceupdate.h"
#include "update/userauthwin.h"
#include "windows/crosswin.h"
#include "windows/preferredwin.h"
#include "windows/rateswin.h"
#include "windows/worldwin.h"
#include "xml/xmlparser.h"

#include <algorithm>
#include <sstream>

TMainForm* MainForm = nullptr;

namespace {
const char* const SurfHint = "Surf to this url|Surf to this url.";

std::string SmallImage(int index) { return ":/mainwin/images/small/" + std::to_string(index) + ".png"; }
std::string LargeImage(int index) { return ":/mainwin/images/large/" + std::to_string(index) + ".png"; }
}  // namespace

TMainForm::TMainForm(TComponent* owner) : TForm(owner, fsMDIForm) {
    WindowSettingsFile = "\\data\\windowSettings.xml";
    SetCaption("Tallyvane 2");
    SetIcon(":/mainwin/images/app.png");
    SetMinSize(552, 128);
    SetColor(clAppWorkSpace);

    SmallImageList = new TImageList(this, 16, 16);
    for (int i : {0, 1, 2, 15, 16, 17, 18, 19, 20, 21, 22, 25, 26, 27, 28, 29, 30, 31, 32, 33})
        SmallImageList->SetImage(i, SmallImage(i));
    LargeImageList = new TImageList(this, 32, 32);
    for (int i : {1, 3, 4, 5, 6, 7, 8, 9}) LargeImageList->SetImage(i, LargeImage(i));

    BuildActions();
    BuildMenus();
    BuildToolBar();
    StatusBar = new TStatusBar(this);
    SetStatusBar(StatusBar);
    SetPopupMenu(BgPopup);

    OnShow = [this](TObject* s) { FormShow(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    SetWindowState(wsMaximized);
}

TMainForm::~TMainForm() {
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::BuildActions() {
    ActionList1 = new TActionList(this);
    auto make = [this](const char* category, const char* caption, const char* shortCut, int image, const char* hint,
                       void (TMainForm::*handler)(TObject*)) {
        TAction* a = new TAction(ActionList1, caption, shortCut, image, hint);
        a->Category = category;
        if (handler) a->OnExecute = [this, handler](TObject* s) { (this->*handler)(s); };
        return a;
    };
    DialogPreferred = make("Dialogs", "&Preferred", "Ctrl+P", 21, "Preferred|Open new preferred window",
                           &TMainForm::DialogPreferredExecute);
    DialogWorld = make("Dialogs", "&World", "Ctrl+W", 26, "World|Open new world window", &TMainForm::DialogWorldExecute);
    DialogCross = make("Dialogs", "Cr&oss Rates", "Ctrl+O", 27, "Cross|Open new cross-rates window",
                       &TMainForm::DialogCrossExecute);
    DialogRates = make("Dialogs", "&Rates", "Ctrl+R", 25, "Rates|Change rates settings", &TMainForm::DialogRatesExecute);
    DialogUpdate = make("Dialogs", "&Update", "Ctrl+U", 28, "Update|Update Currencies", &TMainForm::DialogUpdateExecute);
    DialogSettings = make("Dialogs", "&Settings", "Ctrl+S", 22, "Settings|Change program settings",
                          &TMainForm::DialogSettingsExecute);
    DialogHelp = make("Dialogs", "&Help", "F1", 19, "Help|Load help-information", &TMainForm::DialogHelpExecute);
    DialogAbout = make("Dialogs", "&About", "", 20, "About|About this program", &TMainForm::DialogAboutExecute);
    ExecuteCalculator = make("Dialogs", "C&alculator", "Ctrl+A", 30, "Calculator|Open the Windows-Calculator",
                             &TMainForm::ExecuteCalculatorExecute);
    ExecutePocketvane = make("Dialogs", "&Pocketvane", "Ctrl+Alt+W", 26, "", &TMainForm::ExecutePocketvaneExecute);
    ExportExcel1 = make("File", "Expor&t", "Ctrl+T", 33, "Export to Excel", &TMainForm::ExportExcel1Execute);
    FileExit1 = make("File", "E&xit", "", 18, "Exit|Exit application", &TMainForm::FileExit1Execute);
    // The standard actions act on the focused edit or on the child windows.
    auto standard = [](TAction* a, const char* category) {
        a->Category = category;
        return a;
    };
    EditCut1 = standard(new TEditCut(ActionList1, "Cu&t", "Ctrl+X", 0, "Cut|Cuts the selection and puts it on the Clipboard"),
                        "Edit");
    EditCopy1 = standard(
        new TEditCopy(ActionList1, "&Copy", "Ctrl+C", 1, "Copy|Copies the selection and puts it on the Clipboard"), "Edit");
    EditPaste1 = standard(new TEditPaste(ActionList1, "&Paste", "Ctrl+V", 2, "Paste|Inserts Clipboard contents"), "Edit");
    WindowTileHorizontal1 =
        standard(new TWindowTileHorizontal(ActionList1, "Tile &Horizontally", "", 15, "Tile Horizontally"), "Window");
    WindowTileVertical1 =
        standard(new TWindowTileVertical(ActionList1, "Tile &Vertically", "", 16, "Tile Vertically"), "Window");
    WindowCascade1 = standard(new TWindowCascade(ActionList1, "&Cascade", "", 17, "Cascade"), "Window");
    WindowMinimizeAll1 = standard(new TWindowMinimizeAll(ActionList1, "&Minimize All", "", -1, "Minimize All"), "Window");
    ShowToolbarAction = make("Toolbar", "&Show Toolbar", "", -1, "Show or hide the toolbar",
                             &TMainForm::ShowToolbarActionExecute);
    ShowToolbarAction->SetChecked(true);
    PicturesAndTextAction = make("Toolbar", "&Pictures and Text", "", -1, "Show both pictures and text in the toolbar.",
                                 &TMainForm::PicturesAndTextActionExecute);
    PicturesAndTextAction->SetChecked(true);
    PacificWebsiteAction = make("", "", "", -1, "", &TMainForm::PacificWebsiteActionExecute);
    PacificUpdateAction = make("", "", "", -1, "", &TMainForm::PacificUpdateActionExecute);
    IMFWebsiteAction = make("", "", "", -1, "", &TMainForm::IMFWebsiteActionExecute);
    IMFUpdateAction = make("", "", "", -1, "", &TMainForm::IMFUpdateActionExecute);
    SurfToAction = make("", "", "", -1, "", &TMainForm::SurfToActionExecute);
}

TMenuItem* TMainForm::Item(TComponent* owner, TAction* action) {
    auto* item = new TMenuItem(owner);
    if (action) item->SetAction(action);
    else item->SetCaption("-");
    return item;
}

void TMainForm::BuildMenus() {
    MainMenu1 = new TMainMenu(this);
    MainMenu1->SetImages(SmallImageList);
    auto menu = [this](const char* caption, const char* hint, std::initializer_list<TAction*> actions) {
        auto* m = new TMenuItem(MainMenu1, caption);
        m->SetHint(hint);
        for (TAction* a : actions) m->Add(Item(MainMenu1, a));
        MainMenu1->Add(m);
        return m;
    };
    File1 = menu("&File", "File commands",
                 {DialogPreferred, DialogWorld, DialogCross, nullptr, DialogRates, DialogUpdate, DialogSettings, nullptr,
                  ExportExcel1, nullptr, ExecuteCalculator, ExecutePocketvane, nullptr, FileExit1});
    Edit1 = menu("&Edit", "Edit commands", {EditCut1, EditCopy1, EditPaste1});
    Window1 = menu("&Window", "Window commands",
                   {WindowTileHorizontal1, WindowTileVertical1, WindowCascade1, WindowMinimizeAll1});
    Help1 = menu("&Help", "Help topics", {DialogHelp, DialogAbout});
    SetMenu(MainMenu1);
    SetWindowMenu(Window1);

    BgPopup = new TPopupMenu(this);
    BgPopup->SetImages(SmallImageList);
    for (TAction* a : {DialogPreferred, DialogWorld, DialogCross, static_cast<TAction*>(nullptr), DialogRates,
                       DialogUpdate, static_cast<TAction*>(nullptr), DialogSettings, DialogHelp,
                       static_cast<TAction*>(nullptr), ExecuteCalculator, static_cast<TAction*>(nullptr)})
        BgPopup->Add(Item(BgPopup, a));
    auto* toolbarMenu = new TMenuItem(BgPopup, "&Toolbar");
    toolbarMenu->SetHint("Toolbar settings");
    toolbarMenu->Add(Item(BgPopup, ShowToolbarAction));
    TMenuItem* showPictures = Item(BgPopup, PicturesAndTextAction);
    showPictures->SetCaption("&Show Pictures");
    toolbarMenu->Add(showPictures);
    BgPopup->Add(toolbarMenu);
    BgPopup->Add(Item(BgPopup, nullptr));
    BgPopup->Add(Item(BgPopup, FileExit1));

    UpdatePopup = new TPopupMenu(this);
    UpdatePopup->SetImages(SmallImageList);
    Internet1 = new TMenuItem(UpdatePopup, "&Internet");
    Internet1->SetHint("Update|Update Currencies From Internet");
    Internet1->SetImageIndex(28);
    Internet1->OnClick = [this](TObject* s) { Internet1Click(s); };
    OpenFile1 = new TMenuItem(UpdatePopup, "&File");
    OpenFile1->SetHint("Update|Update Currencies From File");
    OpenFile1->SetImageIndex(29);
    OpenFile1->OnClick = [this](TObject* s) { OpenFile1Click(s); };
    UpdatePopup->Add(Internet1);
    UpdatePopup->Add(OpenFile1);
}

void TMainForm::BuildToolBar() {
    ToolBar1 = new TToolBar(this);
    ToolBar1->SetButtonSize(70, 52);
    ToolBar1->SetImages(LargeImageList);
    ToolBar1->SetShowCaptions(true);
    ToolBar1->SetShowHint(true);
    ToolBar1->SetPopupMenu(BgPopup);
    auto button = [this](TAction* action, TToolButtonStyle style, int image) {
        auto* b = new TToolButton(this, ToolBar1, style);
        b->SetAction(action);
        b->SetImageIndex(image);
        return b;
    };
    PreferredButton = button(DialogPreferred, tbsButton, 5);
    WorldButton = button(DialogWorld, tbsButton, 4);
    CrossButton = button(DialogCross, tbsButton, 6);
    new TToolButton(this, ToolBar1, tbsSeparator, 8);
    RatesButton = button(DialogRates, tbsCheck, 3);
    UpdateButton = button(DialogUpdate, tbsDropDown, 7);
    UpdateButton->SetDropdownMenu(UpdatePopup);
    UpdateButton->SetPopupMenu(UpdatePopup);
    SettingsButton = button(DialogSettings, tbsCheck, 1);
    new TToolButton(this, ToolBar1, tbsSeparator);
    CalculatorButton = button(ExecuteCalculator, tbsButton, 9);
    AddToolBar(ToolBar1);
}

// ---------------------------------------------------------------- start-up and shutdown

void TMainForm::FormShow(TObject*) {
    // Runs once, even when a show event comes again while it is still running.
    if (started_ || CurrentSource) return;
    started_ = true;
    ProgramDir = ProgramFolder();
    AppSettings = Settings::Instance();
    const bool splash = AppSettings->ShowSplash;
    if (splash) {
        LoadingForm->Show();
        LoadingForm->Image2->Show();
        LoadingForm->Repaint();
    }
    auto* pacific = new Pacific();
    Sources.push_back(pacific);
    if (splash) {
        LoadingForm->Image3->Show();
        LoadingForm->Repaint();
    }
    Help1->Add(new TMenuItem(Help1, "-"));
    AddSourceHelp(pacific, PacificWebsiteAction, PacificUpdateAction, 0);
    auto* imf = new Imf();
    Sources.push_back(imf);
    if (splash) {
        LoadingForm->Image4->Show();
        LoadingForm->Repaint();
    }
    AddSourceHelp(imf, IMFWebsiteAction, IMFUpdateAction, 2);
    SurfUrls[4] = AppSettings->WebAddress;
    auto* page = new TMenuItem(Help1);
    page->SetAction(SurfToAction);
    page->SetCaption("&Tallyvane Page");
    page->SetImageIndex(32);
    page->SetHint(SurfHint);
    Help1->Add(page);

    // Any stored value but 0 means the IMF, so no index reaches past the list.
    CurrentSource = Sources[AppSettings->Source == 0 ? 0 : 1];
    UpdateButton->SetImageIndex(AppSettings->useInternet ? 7 : 8);
    DialogUpdate->SetImageIndex(AppSettings->useInternet ? 28 : 29);

    if (!AppSettings->ReadAbout) {
        AboutForm->OKButton->SetCaption("I Agree");
        AboutForm->ShowModal();
        AboutForm->OKButton->SetCaption("OK");
    }

    ToolBar1->SetVisible(AppSettings->showToolbar);
    ShowToolbarAction->SetChecked(AppSettings->showToolbar);
    if (AppSettings->toolSetting != 0) {
        AppSettings->toolSetting = 0;
        PicturesAndTextAction->Execute();
    }

    LoadWindowSettings();
    if (splash) {
        LoadingForm->Image5->Show();
        LoadingForm->Image6->Show();
        LoadingForm->Repaint();
        LoadingForm->Close();
    }
    if (AppSettings->useInternet && AppSettings->checkOnStart && IsOnline()) DialogUpdate->OnExecute(this);
}

void TMainForm::AddSourceHelp(CurrSource* source, TAction* website, TAction* update, int urlIndex) {
    auto* sub = new TMenuItem(Help1, source->GetName());
    sub->SetImageIndex(31);
    auto* site = new TMenuItem(Help1);
    site->SetAction(website);
    site->SetCaption("&Website");
    site->SetImageIndex(32);
    site->SetHint(SurfHint);
    auto* page = new TMenuItem(Help1);
    page->SetAction(update);
    page->SetCaption("&Update URL");
    page->SetImageIndex(32);
    page->SetHint(SurfHint);
    sub->Add(site);
    sub->Add(page);
    SurfUrls[urlIndex] = "http://" + source->GetWebsite();
    SurfUrls[urlIndex + 1] = "http://" + source->GetUpdateAddress();
    Help1->Add(sub);
}

void TMainForm::FormClose(TObject*, TCloseAction& action) {
    if (closing_) return;  // everything is saved once
    // Not from inside a fetcher's synchronised call: its worker waits for it.
    if (Fetcher::InSynchronisedCall()) {
        action = caNone;
        return;
    }
    closing_ = true;
    Fetcher* fetcher = ActiveFetcher;
    ActiveFetcher = nullptr;
    // A download still running stops at once rather than keep the user
    // waiting for a silent server; a page already downloaded still reaches
    // its decoder while the deletion waits.
    if (fetcher) fetcher->Terminate();
    delete fetcher;
    SavingForm->Show();
    SavingForm->Repaint();
    while (!Sources.empty()) {
        CurrSource* source = Sources.front();
        Sources.erase(Sources.begin());
        delete source;
    }
    CurrentSource = nullptr;
    SaveWindowSettings();
    try {
        Settings::Release();
    } catch (const std::exception& e) {
        // The program still ends; the user learns that the settings were not kept.
        MessageDlg(e.what(), mtError, {mbOK}, 0);
    }
    AppSettings = nullptr;
    SavingForm->Close();
}

bool TMainForm::IsOnline() {
    unsigned long flags = 0;
    return InternetGetConnectedState(&flags, 0) != 0;
}

// ---------------------------------------------------------------- actions

void TMainForm::DialogPreferredExecute(TObject*) { OpenPreferredWindow(-1, "0"); }
void TMainForm::DialogWorldExecute(TObject*) { OpenWorldWindow(-1, -1, "0"); }
void TMainForm::DialogCrossExecute(TObject*) { OpenCrossWindow(-1, -1, -1, -1); }

void TMainForm::DialogRatesExecute(TObject*) {
    if (RatesWindow) CloseRatesWindow();
    else OpenRatesWindow();
}

void TMainForm::DialogSettingsExecute(TObject*) {
    if (SettingsWindow) CloseSettingsWindow();
    else OpenSettingsWindow();
}

void TMainForm::DialogUpdateExecute(TObject*) {
    // Inside a fetcher's synchronised call (a box of the decoder, the file
    // dialog) that fetcher's worker waits for the call: replacing the
    // fetcher from there would wait for ever and delete the busy decoder.
    if (closing_ || Fetcher::InSynchronisedCall()) return;
    Fetcher* previous = ActiveFetcher;
    ActiveFetcher = nullptr;
    // A download still running is superseded: it stops at once, reports
    // nothing and takes its progress window away, rather than hold the
    // program until a silent server's time limit. A page it already has
    // still reaches its decoder while the deletion waits for the thread.
    if (previous) previous->Terminate();
    delete previous;
    UpdateButton->SetDown(true);
    if (AppSettings->useInternet && AppSettings->useAuth && UserAuthFrm && !UserAuthFrm->Confirmed)
        UserAuthFrm->ShowModal();
    if (AppSettings->useInternet) ActiveFetcher = new FetchInternet(CurrentSource);
    else ActiveFetcher = new FetchFile;
    UpdateSource(CurrentSource, ActiveFetcher);
}

void TMainForm::Internet1Click(TObject* sender) {
    AppSettings->useInternet = true;
    UpdateButton->SetImageIndex(7);
    DialogUpdate->SetImageIndex(28);
    DialogUpdateExecute(sender);
}

void TMainForm::OpenFile1Click(TObject* sender) {
    AppSettings->useInternet = false;
    UpdateButton->SetImageIndex(8);
    DialogUpdate->SetImageIndex(29);
    DialogUpdateExecute(sender);
}

void TMainForm::ShowToolbarActionExecute(TObject*) {
    AppSettings->showToolbar = !AppSettings->showToolbar;
    ShowToolbarAction->SetChecked(AppSettings->showToolbar);
    ToolBar1->SetVisible(AppSettings->showToolbar);
}

void TMainForm::PicturesAndTextActionExecute(TObject*) {
    if (AppSettings->toolSetting == 0) {
        AppSettings->toolSetting = 1;
        PicturesAndTextAction->SetChecked(false);
        ToolBar1->SetImages(nullptr);
    } else {
        AppSettings->toolSetting = 0;
        PicturesAndTextAction->SetChecked(true);
        ToolBar1->SetImages(LargeImageList);
    }
    ToolBar1->SetShowCaptions(true);
}

void TMainForm::FileExit1Execute(TObject*) { Close(); }

void TMainForm::ExportExcel1Execute(TObject*) { ExportForm->ShowModal(); }

void TMainForm::DialogAboutExecute(TObject*) {
    AboutForm->OKButton->SetCaption("OK");
    AboutForm->ShowModal();
}

void TMainForm::Launch(const std::string& file) { ShellExecuteA(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL); }

void TMainForm::DialogHelpExecute(TObject*) {
    const std::string manual = ProgramDir + "/manual/index.html";
    if (!FileExists(manual)) {
        ShowMessage("Can't locate help-file at: " + manual);
        return;
    }
    Launch(manual);
}

void TMainForm::ExecuteCalculatorExecute(TObject*) { Launch(AppSettings->Calc); }
void TMainForm::ExecutePocketvaneExecute(TObject*) { Launch("pocketvane.exe"); }
void TMainForm::PacificWebsiteActionExecute(TObject*) { Launch(SurfUrls[0]); }
void TMainForm::PacificUpdateActionExecute(TObject*) { Launch(SurfUrls[1]); }
void TMainForm::IMFWebsiteActionExecute(TObject*) { Launch(SurfUrls[2]); }
void TMainForm::IMFUpdateActionExecute(TObject*) { Launch(SurfUrls[3]); }
void TMainForm::SurfToActionExecute(TObject*) { Launch(SurfUrls[4]); }

// ---------------------------------------------------------------- child windows

TPreferredForm* TMainForm::OpenPreferredWindow(int prefSet, const std::string& value) {
    if (closing_) return nullptr;
    auto* window = new TPreferredForm(Application, CurrentSource);
    if (prefSet != -1) window->SetSelection(prefSet, value);
    OpenWindows.insert(window);
    return window;
}

TCrossForm* TMainForm::OpenCrossWindow(int one, int two, int three, int four) {
    if (closing_) return nullptr;
    auto* window = new TCrossForm(Application, CurrentSource);
    if (one != -1) window->SetSelection(one, two, three, four);
    OpenWindows.insert(window);
    return window;
}

TWorldForm* TMainForm::OpenWorldWindow(int leftSet, int rightSet, const std::string& value) {
    if (closing_) return nullptr;
    auto* window = new TWorldForm(Application, CurrentSource);
    if (leftSet != -1) window->SetSelection(leftSet, rightSet, value);
    OpenWindows.insert(window);
    return window;
}

TRatesForm* TMainForm::OpenRatesWindow() {
    if (closing_) return nullptr;
    // At most one rates window: a second request (a layout file naming two)
    // gets the open one.
    if (RatesWindow) return RatesWindow;
    RatesButton->SetDown(true);
    RatesWindow = new TRatesForm(this, CurrentSource);
    OpenWindows.insert(RatesWindow);
    return RatesWindow;
}

void TMainForm::OpenSettingsWindow() {
    if (closing_) return;
    SettingsButton->SetDown(true);
    SettingsWindow = new TSettingsForm(this);
    SettingsWindow->SetSource(CurrentSource);
}

void TMainForm::CloseWindow(TCurrencyWindow* window) {
    if (closing_) return;
    OpenWindows.erase(window);
    // Destroyed once its own close handling has returned.
    window->Release();
}

void TMainForm::CloseRatesWindow() {
    if (closing_ || !RatesWindow) return;
    RatesButton->SetDown(false);
    CloseWindow(RatesWindow);
    RatesWindow = nullptr;
    RefreshWindows();
}

void TMainForm::CloseSettingsWindow() {
    if (closing_ || !SettingsWindow) return;
    SettingsButton->SetDown(false);
    SettingsWindow->Release();
    SettingsWindow = nullptr;
    RefreshWindows();
}

void TMainForm::RefreshWindows() {
    if (closing_) return;
    // A window may close itself during its refresh; each window still open
    // when its turn comes is refreshed once.
    const std::set<TCurrencyWindow*> walk = OpenWindows;
    for (TCurrencyWindow* window : walk)
        if (OpenWindows.count(window)) window->UpdateCurrencies();
    if (RatesWindow) RatesWindow->FillLists();
}

void TMainForm::CloseAllWindows() {
    if (closing_) return;
    // Without the refresh of CloseRatesWindow: a window refreshed now could
    // close itself and change its memory.
    if (RatesWindow) {
        RatesButton->SetDown(false);
        CloseWindow(RatesWindow);
        RatesWindow = nullptr;
    }
    while (!OpenWindows.empty()) {
        TCurrencyWindow* window = *OpenWindows.begin();
        OpenWindows.erase(OpenWindows.begin());
        window->Release();
    }
}

void TMainForm::UpdateFinished() {
    RefreshWindows();
    UpdateButton->SetDown(false);
}

// ---------------------------------------------------------------- layout file

namespace {
// The amount texts were written with the data files' four escapes; undone in
// one pass, so a typed "&lt;" comes back as typed.
std::string UnescapeValue(std::string_view text) {
    static const std::pair<const char*, const char*> escapes[] = {
        {"&amp;", "&"}, {"&quot;", "\""}, {"&lt;", "<"}, {"&gt;", ">"}};
    std::string out;
    for (size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [from, to] : escapes) {
            if (text.compare(i, std::char_traits<char>::length(from), from) == 0) {
                out += to;
                i += std::char_traits<char>::length(from);
                replaced = true;
                break;
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

// Numbers of the layout file; a bad or missing one ends the read.
int Number(XMLNode* node, const char* name) { return StrToInt(node->GetChildValue(name)); }
int ClampPosition(int v) { return std::clamp(v, -32767, 32767); }
int ClampSize(int v) { return std::min(v, 32767); }

void ApplyPlacement(TForm* window, XMLNode* node) {
    switch (Number(node, "STATE")) {
    case 0: {
        window->SetWindowState(wsNormal);
        window->SetLeft(ClampPosition(Number(node, "LEFT")));
        window->SetTop(ClampPosition(Number(node, "TOP")));
        int width = Number(node, "WIDTH");
        if (width > 0) window->SetWidth(ClampSize(width));
        int height = Number(node, "HEIGHT");
        if (height > 0) window->SetHeight(ClampSize(height));
        break;
    }
    case 1: window->SetWindowState(wsMinimized); break;
    case 2: window->SetWindowState(wsMaximized); break;
    default: break;
    }
}
}  // namespace

void TMainForm::LoadWindowSettings() {
    const std::string path = ProgramPath(WindowSettingsFile);
    if (!FileExists(path)) return;
    XMLParser parser;
    XMLNode* windows = parser.Parse(path)->FindFirst("WINDOWS");
    if (!windows) return;
    try {
        if (XMLNode* main = windows->FindFirst("MAIN")) {
            int state = Number(main, "STATE");
            if (state == 0) {
                SetWindowState(wsNormal);
                SetLeft(ClampPosition(Number(main, "LEFT")));
                SetTop(ClampPosition(Number(main, "TOP")));
                // The main window never grows past the desktop: a hand-edited
                // size must not make it allocate a screenful of gigabytes.
                int width = Number(main, "WIDTH");
                if (width > 0) SetWidth(std::min(ClampSize(width), DesktopWidth()));
                int height = Number(main, "HEIGHT");
                if (height > 0) SetHeight(std::min(ClampSize(height), DesktopHeight()));
            } else if (state == 1) {
                Application->Minimize();
            }
        }
        for (XMLNode* node = windows->FindFirst("WINDOW"); node; node = windows->FindNext()) {
            const std::string type = node->GetChildValue("TYPE");
            XMLItem* valueItem = node->FindChildItem("VALUE");
            const std::string value = valueItem ? UnescapeValue(valueItem->Value) : std::string();
            TForm* window = nullptr;
            if (type == "Preferred") {
                int prefSet = Number(node, "PREFSET");
                window = OpenPreferredWindow(prefSet, value);
            } else if (type == "World") {
                int leftSet = Number(node, "LEFTSET");
                int rightSet = Number(node, "RIGHTSET");
                window = OpenWorldWindow(leftSet, rightSet, value);
            } else if (type == "Cross") {
                int one = Number(node, "ONE"), two = Number(node, "TWO");
                int three = Number(node, "THREE"), four = Number(node, "FOUR");
                window = OpenCrossWindow(one, two, three, four);
            } else if (type == "Rates") {
                window = OpenRatesWindow();
            } else {
                continue;
            }
            if (window) ApplyPlacement(window, node);
        }
        if (XMLNode* closed = windows->FindFirst("CLOSEDWINDOWS")) {
            CrossClosedState.One = Number(closed, "CROSSONE");
            CrossClosedState.Two = Number(closed, "CROSSTWO");
            CrossClosedState.Three = Number(closed, "CROSSTHREE");
            CrossClosedState.Four = Number(closed, "CROSSFOUR");
            CrossClosedState.Left = Number(closed, "CROSSX");
            CrossClosedState.Top = Number(closed, "CROSSY");
            PrefClosedState.PrefSet = Number(closed, "PREF");
            PrefClosedState.Left = Number(closed, "PREFX");
            PrefClosedState.Top = Number(closed, "PREFY");
            WorldClosedState.LeftSet = Number(closed, "WORLDONE");
            WorldClosedState.RightSet = Number(closed, "WORLDTWO");
            WorldClosedState.Left = Number(closed, "WORLDX");
            WorldClosedState.Top = Number(closed, "WORLDY");
            RatesClosedState.Width = Number(closed, "RATESW");
            RatesClosedState.Height = Number(closed, "RATESH");
            RatesClosedState.Left = Number(closed, "RATESX");
            RatesClosedState.Top = Number(closed, "RATESY");
        }
    } catch (const EConvertError&) {
        // A bad number ends the read; what was applied stays.
    }
}

void TMainForm::WriteClosedWindows(std::ostream& out) {
    out << "  <CLOSEDWINDOWS>\r\n";
    const std::pair<const char*, int> values[] = {
        {"CROSSONE", CrossClosedState.One},     {"CROSSTWO", CrossClosedState.Two},
        {"CROSSTHREE", CrossClosedState.Three}, {"CROSSFOUR", CrossClosedState.Four},
        {"CROSSX", CrossClosedState.Left},      {"CROSSY", CrossClosedState.Top},
        {"PREF", PrefClosedState.PrefSet},      {"PREFX", PrefClosedState.Left},
        {"PREFY", PrefClosedState.Top},         {"WORLDONE", WorldClosedState.LeftSet},
        {"WORLDTWO", WorldClosedState.RightSet}, {"WORLDX", WorldClosedState.Left},
        {"WORLDY", WorldClosedState.Top},       {"RATESX", RatesClosedState.Left},
        {"RATESY", RatesClosedState.Top},       {"RATESW", RatesClosedState.Width},
        {"RATESH", RatesClosedState.Height}};
    for (const auto& [name, value] : values) WriteElementLine(out, 4, name, IntToStr(value));
    out << "  </CLOSEDWINDOWS>\r\n\r\n";
    out << "  <MAIN>\r\n";
    WriteElementLine(out, 4, "LEFT", IntToStr(Left()));
    WriteElementLine(out, 4, "TOP", IntToStr(Top()));
    WriteElementLine(out, 4, "WIDTH", IntToStr(Width()));
    WriteElementLine(out, 4, "HEIGHT", IntToStr(Height()));
    const int state = WindowState() == wsMinimized ? 1 : WindowState() == wsMaximized ? 2 : 0;
    WriteElementLine(out, 4, "STATE", IntToStr(state));
    out << "  </MAIN>\r\n\r\n";
}

void TMainForm::SaveWindowSettings() {
    const std::string folder = ProgramDir + "/data";
    const bool canWrite = DirectoryExists(folder);
    if (!canWrite) ShowMessage("Can't find directory: " + folder);
    std::ostringstream out;
    out << "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n";
    out << "<!--  This is a generated file. Do not edit. -->\r\n";
    out << "<WINDOWS>\r\n";
    while (!OpenWindows.empty()) {
        TCurrencyWindow* window = *OpenWindows.begin();
        window->WriteWindowState(out);
        OpenWindows.erase(OpenWindows.begin());
        delete window;
    }
    WriteClosedWindows(out);
    out << "</WINDOWS>\r\n";
    if (canWrite) WriteFileAtomic(ProgramPath(WindowSettingsFile), out.str(), FileOwner::Program);
}
