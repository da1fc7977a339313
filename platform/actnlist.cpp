#include "platform/actnlist.h"

#include "platform/qtbridge.h"

#include <QAction>
#include <QWidget>

#include <algorithm>

TAction::TAction(TActionList* list, const std::string& caption, const std::string& shortCut, int imageIndex,
                 const std::string& hint)
    : TComponent(list), list_(list), caption_(caption), hint_(hint), imageIndex_(imageIndex) {
    SetShortCut(shortCut);
}

TAction::~TAction() {
    for (TActionClient* c : clients_) (void)c;
    delete shortcutAction_;
}

void TAction::Changed() {
    std::vector<TActionClient*> clients = clients_;
    for (TActionClient* c : clients) c->ActionChanged();
    if (shortcutAction_) shortcutAction_->setEnabled(enabled_);
}

void TAction::SetCaption(const std::string& caption) {
    caption_ = caption;
    Changed();
}

void TAction::SetHint(const std::string& hint) {
    hint_ = hint;
    Changed();
}

void TAction::SetImageIndex(int index) {
    imageIndex_ = index;
    Changed();
}

void TAction::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Changed();
}

void TAction::SetChecked(bool checked) {
    checked_ = checked;
    Changed();
}

void TAction::SetVisible(bool visible) {
    visible_ = visible;
    Changed();
}

void TAction::SetShortCut(const std::string& shortCut) {
    shortCut_ = shortCut;
    // The shortcut works anywhere in the window of the form that owns the list.
    auto* owner = list_ ? dynamic_cast<TControl*>(list_->Owner()) : nullptr;
    if (owner && owner->Handle()) BindShortCut(owner->Handle());
    Changed();
}

void TAction::BindShortCut(QWidget* window) {
    delete shortcutAction_;
    shortcutAction_ = nullptr;
    if (shortCut_.empty() || !window) return;
    shortcutAction_ = new QAction(window);
    shortcutAction_->setShortcut(QKeySequence(QtText(shortCut_)));
    shortcutAction_->setShortcutContext(Qt::WindowShortcut);
    shortcutAction_->setEnabled(enabled_);
    window->addAction(shortcutAction_);
    QObject::connect(shortcutAction_, &QAction::triggered, shortcutAction_, [this] { Execute(); });
}

bool TAction::Execute() {
    if (!enabled_ || !OnExecute) return false;
    TForm* form = list_ ? dynamic_cast<TControl*>(list_->Owner()) ? dynamic_cast<TControl*>(list_->Owner())->ParentForm()
                                                                   : nullptr
                        : nullptr;
    FormBusy busy(form);
    SafeCall([&] { OnExecute(this); });
    return true;
}

void TAction::AddClient(TActionClient* client) {
    if (std::find(clients_.begin(), clients_.end(), client) == clients_.end()) clients_.push_back(client);
}

void TAction::RemoveClient(TActionClient* client) {
    clients_.erase(std::remove(clients_.begin(), clients_.end(), client), clients_.end());
}
