#include "platform/actnlist.h"

#include "platform/forms.h"
#include "platform/qtbridge.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace {
std::vector<TAction*>& LiveActions() {
    static std::vector<TAction*> actions;
    return actions;
}

// Key presses reach the actions before the focused control.
class ShortCutFilter : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        // The override only asks whether the key is wanted; the press runs it.
        const bool run = event->type() == QEvent::KeyPress;
        if (!ActionShortCut(widget, key->key(), static_cast<int>(key->modifiers()), run)) return false;
        event->accept();
        return true;
    }
};

void InstallShortCutFilter() {
    static QPointer<QObject> filter;
    if (filter || !QCoreApplication::instance()) return;
    filter = new ShortCutFilter;
    filter->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(filter);
}

// The form a key went to: the one whose window holds the receiver, or null
// when that window is none of ours (a message box, a file dialog, a menu).
TForm* FormOfWidget(QWidget* w) {
    for (; w; w = w->parentWidget()) {
        if (auto* form = dynamic_cast<TForm*>(ControlOf(w))) return form;
        if (w->isWindow()) return nullptr;
    }
    return nullptr;
}

bool Matches(const std::string& shortCut, int qtKey, int qtModifiers) {
    if (shortCut.empty()) return false;
    QKeySequence seq(QtText(shortCut));
    if (seq.count() != 1) return false;
    const auto modifiers = Qt::KeyboardModifiers(qtModifiers) & ~Qt::KeypadModifier;
    return seq[0] == QKeyCombination(modifiers, static_cast<Qt::Key>(qtKey));
}

bool FormShortCut(TForm* form, int qtKey, int qtModifiers, bool run) {
    // A copy: an action may free actions (a form closing itself).
    const std::vector<TAction*> actions = LiveActions();
    for (TAction* a : actions) {
        if (std::find(LiveActions().begin(), LiveActions().end(), a) == LiveActions().end()) continue;
        if (a->Form() != form || !Matches(a->ShortCut(), qtKey, qtModifiers)) continue;
        // The first action with the key decides; a disabled one lets the key through.
        if (run) return a->Execute();
        a->Update();
        return a->Enabled();
    }
    return false;
}
}  // namespace

bool ActionShortCut(QWidget* receiver, int qtKey, int qtModifiers, bool run) {
    if (QApplication::activePopupWidget()) return false;  // a menu or a drop-down list has the keys
    TForm* form = FormOfWidget(receiver);
    if (!form) return false;  // a message box, a file dialog
    // Under a modal window only that window's own keys count.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != receiver->window()) return false;
    if (FormShortCut(form, qtKey, qtModifiers, run)) return true;
    // The main form's commands work from every form while no modal window blocks it.
    TForm* main = Application ? Application->MainForm() : nullptr;
    if (!main || main == form || QApplication::activeModalWidget()) return false;
    return FormShortCut(main, qtKey, qtModifiers, run);
}

TAction::TAction(TActionList* list, const std::string& caption, const std::string& shortCut, int imageIndex,
                 const std::string& hint)
    : TComponent(list), list_(list), caption_(caption), hint_(hint), shortCut_(shortCut), imageIndex_(imageIndex) {
    LiveActions().push_back(this);
    InstallShortCutFilter();
}

TAction::~TAction() {
    auto& live = LiveActions();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

TForm* TAction::Form() const {
    auto* owner = list_ ? dynamic_cast<TControl*>(list_->Owner()) : nullptr;
    return owner ? owner->ParentForm() : nullptr;
}

void TAction::Changed() {
    std::vector<TActionClient*> clients = clients_;
    for (TActionClient* c : clients) c->ActionChanged();
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
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Changed();
}

void TAction::SetChecked(bool checked) {
    checked_ = checked;
    Changed();
}

void TAction::SetShortCut(const std::string& shortCut) {
    shortCut_ = shortCut;
    Changed();
}

bool TAction::Execute() {
    Update();
    if (!enabled_) return false;
    FormBusy busy(Form());
    if (OnExecute) {
        SafeCall([&] { OnExecute(this); });
        return true;
    }
    bool done = false;
    SafeCall([&] { done = ExecuteTarget(); });
    return done;
}

void TAction::AddClient(TActionClient* client) {
    if (std::find(clients_.begin(), clients_.end(), client) == clients_.end()) clients_.push_back(client);
}

void TAction::RemoveClient(TActionClient* client) {
    clients_.erase(std::remove(clients_.begin(), clients_.end(), client), clients_.end());
}
