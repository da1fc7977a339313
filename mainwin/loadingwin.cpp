#include "mainwin/loadingwin.h"

TLoadingForm* LoadingForm = nullptr;

TLoadingForm::TLoadingForm(TComponent* owner) : TForm(owner, fsStayOnTop) {
    SetBorderStyle(bsNone);
    SetPosition(poDesktopCenter);
    SetColor(clWhite);
    SetClientSize(300, 200);
    Image1 = new TImage(this, this);
    Image1->SetBounds(0, 0, 300, 200);
    Image1->SetPicture(":/mainwin/images/splash.png");
    TImage** steps[] = {&Image2, &Image3, &Image4, &Image5, &Image6};
    const int lefts[] = {74, 114, 156, 197, 237};
    for (int i = 0; i < 5; ++i) {
        TImage* step = new TImage(this, this);
        step->SetBounds(lefts[i], 147, 32, 32);
        step->SetPicture(":/mainwin/images/step" + std::to_string(i + 1) + ".png");
        step->SetTransparent(true);
        step->Hide();
        *steps[i] = step;
    }
}
