#include "windows/currencywindow.h"

#include "currency/currsource.h"
#include "mainwin/main.h"

TPrefClosedState PrefClosedState;
TWorldClosedState WorldClosedState;
TCrossClosedState CrossClosedState;
TRatesClosedState RatesClosedState;

void ResetClosedStates() {
    PrefClosedState = TPrefClosedState();
    WorldClosedState = TWorldClosedState();
    CrossClosedState = TCrossClosedState();
    RatesClosedState = TRatesClosedState();
}

std::vector<std::string> OfferedNames(const CurrSource* source) {
    std::vector<std::string> names;
    for (CurrItr it = source->GetCurrencies(); it.HasNext();) {
        const CurrencyItem* c = it.Next();
        if (c->IsSelected()) names.push_back(c->GetName());
    }
    return names;
}

std::vector<std::string> PairNames(const CurrSource* source) {
    std::vector<std::string> names;
    for (PrefItr it = source->GetPreferreds(); it.HasNext();) names.push_back(it.Next()->GetName());
    return names;
}

void WriteElementLine(std::ostream& out, int indent, const std::string& name, const std::string& value) {
    out << std::string(static_cast<size_t>(indent), ' ') << '<' << name << '>' << value << "</" << name << ">\r\n";
}

void TCurrencyWindow::WriteWindowElement(std::ostream& out,
                                         const std::vector<std::pair<std::string, std::string>>& children,
                                         bool withSize) {
    out << "  <WINDOW>\r\n";
    for (const auto& [name, value] : children) WriteElementLine(out, 4, name, value);
    const int state = WindowState() == wsMinimized ? 1 : WindowState() == wsMaximized ? 2 : 0;
    WriteElementLine(out, 4, "LEFT", IntToStr(TForm::Left()));
    WriteElementLine(out, 4, "TOP", IntToStr(TForm::Top()));
    WriteElementLine(out, 4, "WIDTH", withSize ? IntToStr(TForm::Width()) : "-1");
    WriteElementLine(out, 4, "HEIGHT", withSize ? IntToStr(TForm::Height()) : "-1");
    WriteElementLine(out, 4, "STATE", IntToStr(state));
    out << "  </WINDOW>\r\n\r\n";
}

void TCurrencyWindow::MakeButtonRow(std::initializer_list<ButtonSpec> buttons, int top) {
    int left = 6;
    for (const ButtonSpec& b : buttons) {
        *b.button = new TButton(this, this, b.caption);
        (*b.button)->SetBounds(left, top, 72, 25);
        (*b.button)->SetHint(b.hint);
        (*b.button)->SetShowHint(*b.hint != '\0');
        left += 76;
    }
}

void TCurrencyWindow::ToggleDock(TButton* undockButton) {
    if (undockButton->Caption() == "Un&dock") {
        MainForm->Hide();
        SetFormStyle(fsNormal);
        undockButton->SetCaption("&Dock");
        SetBorderIcons(BorderIcons() & ~biMinimize);
    } else {
        MainForm->Show();
        SetFormStyle(fsMDIChild);
        undockButton->SetCaption("Un&dock");
        SetBorderIcons(BorderIcons() | biMinimize);
    }
}
