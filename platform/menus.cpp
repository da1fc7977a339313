#include "platform/menus.h"

#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/qtbridge.h"

#include <QAction>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPoint>
#include <QTimer>
#include <QWindow>

TMenuItem::TMenuItem(TComponent* owner, const std::string& caption) : TComponent(owner), qaction_(new QAction()) {
    QObject::connect(qaction_, &QAction::triggered, qaction_, [this] { Click(); });
    SetCaption(caption);
}

TMenuItem::~TMenuItem() {
    if (action_) action_->RemoveClient(this);
    for (TMenuItem* item : items_) item->parent_ = nullptr;
    if (parent_) parent_->Remove(this);
    delete menu_;
    delete qaction_;
}

TImageList* TMenuItem::Images() const {
    for (const TMenuItem* m = this; m; m = m->parent_)
        if (m->images_) return m->images_;
    return nullptr;
}

void TMenuItem::SetImages(TImageList* images) {
    images_ = images;
    Refresh();
    for (TMenuItem* item : items_) item->Refresh();
}

void TMenuItem::SetCaption(const std::string& caption) {
    if (action_) ownCaption_ = true;
    caption_ = caption;
    Refresh();
}

void TMenuItem::SetHint(const std::string& hint) {
    if (action_) ownHint_ = true;
    hint_ = hint;
    Refresh();
}

void TMenuItem::SetImageIndex(int index) {
    if (action_) ownImage_ = true;
    imageIndex_ = index;
    Refresh();
}

bool TMenuItem::Checked() const { return qaction_->isChecked(); }
void TMenuItem::SetEnabled(bool enabled) { qaction_->setEnabled(enabled); }
bool TMenuItem::Enabled() const { return qaction_->isEnabled(); }

void TMenuItem::SetShortCut(const std::string& shortCut) {
    shortCut_ = shortCut;
    Refresh();
}

void TMenuItem::SetAction(TAction* action) {
    if (action_) action_->RemoveClient(this);
    action_ = action;
    ownCaption_ = ownImage_ = ownHint_ = false;
    if (action_) action_->AddClient(this);
    ActionChanged();
}

void TMenuItem::ActionChanged() {
    if (!action_) return;
    if (!ownCaption_) caption_ = action_->Caption();
    if (!ownImage_) imageIndex_ = action_->ImageIndex();
    if (!ownHint_) hint_ = action_->Hint();
    shortCut_ = action_->ShortCut();
    qaction_->setEnabled(action_->Enabled());
    qaction_->setCheckable(action_->Checked() || qaction_->isCheckable());
    qaction_->setChecked(action_->Checked());
    Refresh();
}

void TMenuItem::Refresh() {
    qaction_->setSeparator(IsSeparator());
    QString text = QtCaption(caption_);
    // The shortcut is shown beside the caption; the action handles the key.
    if (!shortCut_.empty()) text += "\t" + QKeySequence(QtText(shortCut_)).toString(QKeySequence::NativeText);
    // A separator's "-" would show as a heading beside the line.
    qaction_->setText(IsSeparator() ? QString() : text);
    qaction_->setStatusTip(QtText(LongHint(hint_)));
    qaction_->setToolTip(QtText(ShortHint(hint_)));
    TImageList* images = Images();
    qaction_->setIcon(images && imageIndex_ >= 0 ? ImageListIcon(images, imageIndex_) : QIcon());
    if (menu_) menu_->setTitle(QtCaption(caption_));
    if (menu_) menu_->setIcon(qaction_->icon());
}

QMenu* TMenuItem::QtMenu() {
    if (!menu_) {
        menu_ = new QMenu();
        menu_->setTitle(QtCaption(caption_));
        menu_->setToolTipsVisible(true);
        qaction_->setMenu(menu_);
        for (TMenuItem* item : items_) menu_->addAction(item->qaction_);
        // The items show their actions' state as it is when the menu opens.
        QObject::connect(menu_, &QMenu::aboutToShow, menu_, [this] {
            for (TMenuItem* item : items_)
                if (item->action_) item->action_->Update();
        });
    }
    return menu_;
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (item->parent_) item->parent_->Remove(item);
    item->parent_ = this;
    if (index < 0 || index > Count()) index = Count();
    QAction* before = index < Count() ? items_[static_cast<size_t>(index)]->qaction_ : nullptr;
    // An item with items opens them as its submenu, wherever it sits and
    // whenever it got them.
    QMenu* menu = QtMenu();
    items_.insert(items_.begin() + index, item);
    menu->insertAction(before, item->qaction_);
    item->Refresh();
    for (TMenuItem* sub : item->items_) sub->Refresh();
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
    if (menu_) menu_->removeAction(item->qaction_);
}

void TMenuItem::Click() {
    if (action_) {
        action_->Execute();
        return;
    }
    if (OnClick) {
        FormBusy busy(nullptr);
        SafeCall([&] { OnClick(this); });
    }
}

TMainMenu::TMainMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(this)), bar_(new QMenuBar()) {}

TMainMenu::~TMainMenu() {
    if (bar_ && !bar_->parent()) delete bar_;
}

void TMainMenu::Add(TMenuItem* item) {
    items_->Add(item);
    bar_->addMenu(item->QtMenu());
    item->inMenuBar_ = true;
}

QMenuBar* TMainMenu::MenuBar() const { return bar_; }

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(this)) {}

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) SafeCall([&] { OnPopup(this); });
    // A window closed a moment ago can still hold the toolkit's focus, which
    // lets it go a little later, taking any menu open by then with it (a
    // tray menu right after the About box's OK). That moment is waited for
    // where the window system lets focus go so.
    QWindow* stale = QGuiApplication::focusWindow();
    if (stale && !stale->isVisible() && QGuiApplication::platformName() == "xcb") {
        QEventLoop wait;
        QObject::connect(qApp, &QGuiApplication::focusWindowChanged, &wait, &QEventLoop::quit);
        QTimer::singleShot(2000, &wait, &QEventLoop::quit);  // for a toolkit that never lets it go
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    items_->QtMenu()->exec(QPoint(x, y));
}
