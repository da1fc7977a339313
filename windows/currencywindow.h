// The base of the conversion windows and the rates editor, and the memory of
// the last closed window of each class, which the next window of that class
// takes over once.
#pragma once

#include "platform/formkit.h"

#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

class CurrSource;

class TCurrencyWindow : public TForm {
public:
    explicit TCurrencyWindow(TComponent* owner) : TForm(owner, fsMDIChild) {}
    virtual void SetSource(CurrSource* source) = 0;
    // Rebuilds the window after a change of the source's currencies.
    virtual void UpdateCurrencies() = 0;
    // Writes the window's WINDOW element of the layout file.
    virtual void WriteWindowState(std::ostream& out) = 0;

protected:
    struct ButtonSpec {
        TButton** button;
        const char* caption;
        const char* hint;
    };
    // The row of buttons under a converter, left to right, at the given top.
    void MakeButtonRow(std::initializer_list<ButtonSpec> buttons, int top);
    // Un&dock / &Dock: a window that stands alone on the desktop hides the main window.
    void ToggleDock(TButton* undockButton);
    // A WINDOW block: the window's own elements in order ("name", "value"),
    // then its placement: LEFT, TOP, WIDTH, HEIGHT (-1: the designed size
    // is kept) and STATE (0 normal, 1 minimised, 2 maximised).
    void WriteWindowElement(std::ostream& out, const std::vector<std::pair<std::string, std::string>>& children,
                            bool withSize = false);
};

// The names of the source's selected currencies, and of its named pairs, in
// the source's order: what the windows' lists offer, filled in one go.
std::vector<std::string> OfferedNames(const CurrSource* source);
std::vector<std::string> PairNames(const CurrSource* source);

// One line of the layout file: indent, element, value, CR LF.
void WriteElementLine(std::ostream& out, int indent, const std::string& name, const std::string& value);

struct TPrefClosedState {
    int PrefSet = -1, Left = 0, Top = 0;
    std::string Value = "0";
};
struct TWorldClosedState {
    int LeftSet = -1, RightSet = -1, Left = 0, Top = 0;
    std::string Value = "0";
};
struct TCrossClosedState {
    int Left = 0, Top = 0, One = -1, Two = -1, Three = -1, Four = -1;
};
struct TRatesClosedState {
    int Left = 0, Top = 0, Width = -1, Height = -1;
};

extern TPrefClosedState PrefClosedState;
extern TWorldClosedState WorldClosedState;
extern TCrossClosedState CrossClosedState;
extern TRatesClosedState RatesClosedState;
// Back to the values of a program start.
void ResetClosedStates();
