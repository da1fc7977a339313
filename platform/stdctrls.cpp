#include "platform/stdctrls.h"

#include "platform/classes.h"
#include "platform/forms.h"
#include "platform/qtbridge.h"
#include "platform/sysutils.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolButton>
#include <QValidator>

// ---------------------------------------------------------------- strings

int TStrings::Add(const std::string& s) {
    Insert(Count(), s);
    return Count() - 1;
}

void TStrings::AddStrings(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) Add(text);
}

int TStrings::IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(Get(i), s)) return i;
    return -1;
}

void TStrings::SetText(const std::string& text) {
    TStringList list;
    list.SetText(text);
    Clear();
    for (int i = 0; i < list.Count(); ++i) Add(list[i]);
}

namespace {
// Where a text goes in a list sorted without regard to letter case.
template <typename Get>
int SortedPosition(int count, Get get, const std::string& s) {
    int at = count;
    while (at > 0 && CompareText(get(at - 1), s) > 0) --at;
    return at;
}

// The texts of a list control after AddStrings: its own, then the new ones,
// sorted when the list is (stably, so equal texts keep the order that one Add
// after another gives them). chosen, the position of the chosen entry or -1,
// becomes its position in the result.
template <typename Get>
QStringList MergedTexts(int count, Get get, const std::vector<std::string>& texts, bool sorted, int& chosen) {
    struct Entry {
        std::string text;
        int old;  // position before, or -1 for a new text
    };
    std::vector<Entry> all;
    all.reserve(static_cast<size_t>(count) + texts.size());
    for (int i = 0; i < count; ++i) all.push_back({get(i), i});
    for (const std::string& text : texts) all.push_back({text, -1});
    if (sorted)
        std::stable_sort(all.begin(), all.end(),
                         [](const Entry& a, const Entry& b) { return CompareText(a.text, b.text) < 0; });
    QStringList out;
    out.reserve(static_cast<qsizetype>(all.size()));
    const int was = chosen;
    chosen = -1;
    for (size_t i = 0; i < all.size(); ++i) {
        out.append(QtText(all[i].text));
        if (was >= 0 && all[i].old == was) chosen = static_cast<int>(i);
    }
    return out;
}

// A label's text: "&&" is an ampersand, a single "&" marks the accelerator.
QString LabelText(const std::string& caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return QtText(out);
}
}  // namespace

// ---------------------------------------------------------------- label

TLabel::TLabel(TComponent* owner, TWinControl* parent, const std::string& caption) : TControl(owner, new QLabel()) {
    // Texts show as given: a currency name or page title holding a tag is no markup.
    static_cast<QLabel*>(Handle())->setTextFormat(Qt::PlainText);
    if (parent) SetParent(parent);
    SetCaption(caption);
}

void TLabel::SetCaption(const std::string& caption) {
    caption_ = caption;
    static_cast<QLabel*>(Handle())->setText(LabelText(caption));
    Fit();
}

void TLabel::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    Fit();
}

void TLabel::SetWordWrap(bool wrap) {
    wordWrap_ = wrap;
    static_cast<QLabel*>(Handle())->setWordWrap(wrap);
    Fit();
}

void TLabel::SetAlignment(TAlignment alignment) {
    Qt::Alignment a = alignment == taCenter ? Qt::AlignHCenter : alignment == taRightJustify ? Qt::AlignRight
                                                                                               : Qt::AlignLeft;
    static_cast<QLabel*>(Handle())->setAlignment(a | Qt::AlignTop);
}

void TLabel::SetBounds(int left, int top, int width, int height) {
    TControl::SetBounds(left, top, width, height);
    Fit();
}

void TLabel::Fit() {
    QLabel* l = static_cast<QLabel*>(Handle());
    QSize hint = l->sizeHint();
    if (autoSize_ && !wordWrap_) {
        l->resize(hint);
    } else if (wordWrap_) {
        int h = l->heightForWidth(l->width());
        if (autoSize_ || h > l->height()) l->resize(l->width(), std::max(h, hint.height()));
    } else if (hint.width() > l->width() || hint.height() > l->height()) {
        // Never cut a caption: the label grows.
        l->resize(std::max(hint.width(), l->width()), std::max(hint.height(), l->height()));
    }
}

// ---------------------------------------------------------------- edit

TEdit::TEdit(TComponent* owner, TWinControl* parent) : TEdit(owner, parent, new QLineEdit()) {}

TEdit::TEdit(TComponent* owner, TWinControl* parent, QWidget* widget) : TWinControl(owner, widget) {
    if (parent) SetParent(parent);
    Connect();
}

void TEdit::Connect() {
    auto* e = static_cast<QLineEdit*>(Handle());
    QObject::connect(e, &QLineEdit::textChanged, e, [this](const QString& text) {
        std::string now = StdText(text);
        if (now == last_) return;  // only a real change counts
        last_ = now;
        Fire(OnChange);
    });
}

std::string TEdit::Text() const { return StdText(static_cast<QLineEdit*>(Handle())->text()); }
void TEdit::SetText(const std::string& text) { static_cast<QLineEdit*>(Handle())->setText(QtText(text)); }
void TEdit::SetReadOnly(bool readOnly) { static_cast<QLineEdit*>(Handle())->setReadOnly(readOnly); }
namespace {
// The toolkit's own limit counts UTF-16 units; this one counts characters.
// What goes beyond it is dropped from what was just typed or pasted (the
// characters before the cursor), as a Windows edit cuts an insertion.
class CharacterLimit : public QValidator {
public:
    CharacterLimit(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}
    State validate(QString& text, int& pos) const override {
        auto excess = text.toUcs4().size() - limit_;
        auto unitsBefore = [&](int at) {
            return at >= 2 && text.at(at - 1).isLowSurrogate() && text.at(at - 2).isHighSurrogate() ? 2 : 1;
        };
        for (; excess > 0 && pos > 0; --excess) {
            const int units = unitsBefore(pos);
            text.remove(pos - units, units);
            pos -= units;
        }
        for (; excess > 0; --excess) text.chop(unitsBefore(static_cast<int>(text.size())));
        return Acceptable;
    }

private:
    qsizetype limit_;
};
}  // namespace

void TEdit::SetMaxLength(int length) {
    auto* edit = static_cast<QLineEdit*>(Handle());
    delete dynamic_cast<const CharacterLimit*>(edit->validator());
    edit->setValidator(length > 0 ? new CharacterLimit(length, edit) : nullptr);
}

void TEdit::SetPasswordChar(char c) {
    auto* edit = static_cast<QLineEdit*>(Handle());
    edit->setEchoMode(c ? QLineEdit::Password : QLineEdit::Normal);
    // Each typed character shows as c itself, not as the style's own dot.
    edit->setStyleSheet(c ? QString("QLineEdit { lineedit-password-character: %1; }").arg(static_cast<unsigned char>(c))
                          : QString());
}

void TEdit::SelectAll() { static_cast<QLineEdit*>(Handle())->selectAll(); }
int TEdit::SelLength() const { return static_cast<int>(static_cast<QLineEdit*>(Handle())->selectedText().size()); }

// ---------------------------------------------------------------- memo

namespace {
class MemoLines : public TStrings {
public:
    explicit MemoLines(QPlainTextEdit* edit) : edit_(edit) {}
    int Count() const override { return static_cast<int>(Lines().size()); }
    std::string Get(int index) const override { return StdText(Lines().at(index)); }
    void Put(int index, const std::string& s) override {
        QStringList l = Lines();
        l[index] = QtText(s);
        Set(l);
    }
    void Insert(int index, const std::string& s) override {
        QStringList l = Lines();
        l.insert(index, QtText(s));
        Set(l);
    }
    void Delete(int index) override {
        QStringList l = Lines();
        l.removeAt(index);
        Set(l);
    }
    void Clear() override { edit_->clear(); }

private:
    QStringList Lines() const {
        QString t = edit_->toPlainText();
        if (t.isEmpty() && edit_->document()->blockCount() <= 1) return {};
        return t.split('\n');
    }
    void Set(const QStringList& l) { edit_->setPlainText(l.join('\n')); }
    QPlainTextEdit* edit_;
};
}  // namespace

TMemo::TMemo(TComponent* owner, TWinControl* parent) : TWinControl(owner, new QPlainTextEdit()) {
    auto* e = static_cast<QPlainTextEdit*>(Handle());
    lines_ = new MemoLines(e);
    if (parent) SetParent(parent);
    QObject::connect(e, &QPlainTextEdit::textChanged, e, [this] { Fire(OnChange); });
}

TMemo::~TMemo() { delete lines_; }

void TMemo::SetText(const std::string& text) { lines_->SetText(text); }
void TMemo::SetReadOnly(bool readOnly) { static_cast<QPlainTextEdit*>(Handle())->setReadOnly(readOnly); }
void TMemo::SetScrollBars(bool vertical, bool horizontal) {
    auto* e = static_cast<QPlainTextEdit*>(Handle());
    e->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    e->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
}

// ---------------------------------------------------------------- combo box

class ComboItems : public TStrings {
public:
    explicit ComboItems(TComboBox* owner) : owner_(owner) {}
    QComboBox* Box() const { return static_cast<QComboBox*>(owner_->Handle()); }
    int Count() const override { return Box()->count(); }
    std::string Get(int index) const override { return StdText(Box()->itemText(index)); }
    void Put(int index, const std::string& s) override { Box()->setItemText(index, QtText(s)); }
    void Insert(int index, const std::string& s) override {
        QString keep = Box()->isEditable() ? Box()->currentText() : QString();
        Box()->insertItem(index, QtText(s));
        if (Box()->isEditable()) Box()->setEditText(keep);
        owner_->lastIndex_ = Box()->currentIndex();
    }
    int Add(const std::string& s) override {
        int at = owner_->sorted_ ? SortedPosition(Count(), [this](int i) { return Get(i); }, s) : Count();
        Insert(at, s);
        return at;
    }
    void AddStrings(const std::vector<std::string>& texts) override {
        QComboBox* box = Box();
        int chosen = box->currentIndex();
        const QStringList all = MergedTexts(Count(), [this](int i) { return Get(i); }, texts, owner_->sorted_, chosen);
        const QString keep = box->isEditable() ? box->currentText() : QString();
        box->clear();
        box->addItems(all);  // one insertion into the model
        box->setCurrentIndex(chosen);
        if (box->isEditable()) box->setEditText(keep);
        owner_->lastIndex_ = box->currentIndex();
    }
    void Delete(int index) override {
        Box()->removeItem(index);
        owner_->lastIndex_ = Box()->currentIndex();
    }
    void Clear() override {
        Box()->clear();
        owner_->lastIndex_ = -1;
    }

private:
    TComboBox* owner_;
};

TComboBox::TComboBox(TComponent* owner, TWinControl* parent, TComboBoxStyle style)
    : TWinControl(owner, new QComboBox()), items_(new ComboItems(this)) {
    auto* box = static_cast<QComboBox*>(Handle());
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(8);
    SetStyle(style);
    if (parent) SetParent(parent);
    QObject::connect(box, &QComboBox::activated, box, [this](int index) {
        if (index == lastIndex_) return;  // the same entry again is no change
        lastIndex_ = index;
        Fire(OnChange);
    });
}

TComboBox::~TComboBox() { delete items_; }

void TComboBox::SetStyle(TComboBoxStyle style) {
    auto* box = static_cast<QComboBox*>(Handle());
    box->setEditable(style == csDropDown);
    if (style == csDropDown)
        QObject::connect(box->lineEdit(), &QLineEdit::textEdited, box, [this](const QString&) { Fire(OnChange); });
}

int TComboBox::ItemIndex() const { return static_cast<QComboBox*>(Handle())->currentIndex(); }

void TComboBox::SetItemIndex(int index) {
    auto* box = static_cast<QComboBox*>(Handle());
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
    lastIndex_ = box->currentIndex();
}

std::string TComboBox::Text() const { return StdText(static_cast<QComboBox*>(Handle())->currentText()); }

void TComboBox::SetText(const std::string& text) {
    auto* box = static_cast<QComboBox*>(Handle());
    if (box->isEditable()) {
        box->setEditText(QtText(text));
        return;
    }
    SetItemIndex(items_->IndexOf(text));
}

void TComboBox::SetSorted(bool sorted) {
    sorted_ = sorted;
    if (!sorted) return;
    auto* box = static_cast<QComboBox*>(Handle());
    QString current = box->currentText();
    std::vector<std::string> all;
    for (int i = 0; i < box->count(); ++i) all.push_back(items_->Get(i));
    std::stable_sort(all.begin(), all.end(), [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    box->clear();
    for (const std::string& s : all) box->addItem(QtText(s));
    box->setCurrentIndex(box->findText(current));
    lastIndex_ = box->currentIndex();
}

void TComboBox::ShareItems(TComboBox* other) {
    auto* box = static_cast<QComboBox*>(Handle());
    box->setModel(static_cast<QComboBox*>(other->Handle())->model());
    box->setCurrentIndex(-1);
    lastIndex_ = -1;
}

// ---------------------------------------------------------------- list box

class ListBoxItems : public TStrings {
public:
    explicit ListBoxItems(TListBox* owner) : owner_(owner) {}
    QListWidget* List() const { return static_cast<QListWidget*>(owner_->Handle()); }
    int Count() const override { return List()->count(); }
    std::string Get(int index) const override { return StdText(List()->item(index)->text()); }
    void Put(int index, const std::string& s) override { List()->item(index)->setText(QtText(s)); }
    void Insert(int index, const std::string& s) override {
        Quiet q(owner_);
        List()->insertItem(index, QtText(s));
    }
    int Add(const std::string& s) override {
        int at = owner_->sorted_ ? SortedPosition(Count(), [this](int i) { return Get(i); }, s) : Count();
        Insert(at, s);
        return at;
    }
    void AddStrings(const std::vector<std::string>& texts) override {
        Quiet q(owner_);
        QListWidget* list = List();
        int chosen = list->currentRow();
        const QStringList all = MergedTexts(Count(), [this](int i) { return Get(i); }, texts, owner_->sorted_, chosen);
        list->clear();
        list->addItems(all);  // one insertion into the model
        list->setCurrentRow(chosen);
        if (chosen < 0) list->clearSelection();
    }
    void Delete(int index) override {
        Quiet q(owner_);
        delete List()->takeItem(index);
    }
    void Clear() override {
        Quiet q(owner_);
        List()->clear();
    }

private:
    struct Quiet {
        explicit Quiet(TListBox* b) : box(b), was(b->quiet_) { b->quiet_ = true; }
        ~Quiet() { box->quiet_ = was; }
        TListBox* box;
        bool was;
    };
    TListBox* owner_;
};

TListBox::TListBox(TComponent* owner, TWinControl* parent)
    : TWinControl(owner, new QListWidget()), items_(new ListBoxItems(this)) {
    auto* list = static_cast<QListWidget*>(Handle());
    if (parent) SetParent(parent);
    QObject::connect(list, &QListWidget::currentRowChanged, list, [this](int) {
        if (!quiet_) Fire(OnClick);
    });
}

TListBox::~TListBox() { delete items_; }

int TListBox::ItemIndex() const { return static_cast<QListWidget*>(Handle())->currentRow(); }

void TListBox::SetItemIndex(int index) {
    auto* list = static_cast<QListWidget*>(Handle());
    bool was = quiet_;
    quiet_ = true;
    list->setCurrentRow(index >= 0 && index < list->count() ? index : -1);
    if (index < 0) list->clearSelection();
    quiet_ = was;
}

void TListBox::SetSorted(bool sorted) {
    sorted_ = sorted;
    if (!sorted) return;
    std::vector<std::string> all;
    for (int i = 0; i < items_->Count(); ++i) all.push_back(items_->Get(i));
    std::stable_sort(all.begin(), all.end(), [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    items_->Clear();
    for (const std::string& s : all) items_->Insert(items_->Count(), s);
}

// ---------------------------------------------------------------- check box and radio button

namespace {
void GrowToText(QWidget* w) {
    QSize hint = w->sizeHint();
    if (hint.width() > w->width() || hint.height() > w->height())
        w->resize(std::max(hint.width(), w->width()), std::max(hint.height(), w->height()));
}
}  // namespace

TCheckControl::TCheckControl(TComponent* owner, TWinControl* parent, const std::string& caption, QWidget* widget)
    : TControl(owner, widget) {
    if (parent) SetParent(parent);
    SetCaption(caption);
}

bool TCheckControl::Checked() const { return static_cast<QAbstractButton*>(Handle())->isChecked(); }
void TCheckControl::SetChecked(bool checked) { static_cast<QAbstractButton*>(Handle())->setChecked(checked); }

void TCheckControl::SetCaption(const std::string& caption) {
    caption_ = caption;
    static_cast<QAbstractButton*>(Handle())->setText(QtCaption(caption));
    GrowToText(Handle());
}

void TCheckControl::SetBounds(int left, int top, int width, int height) {
    TControl::SetBounds(left, top, width, height);
    GrowToText(Handle());
}

TCheckBox::TCheckBox(TComponent* owner, TWinControl* parent, const std::string& caption)
    : TCheckControl(owner, parent, caption, new QCheckBox()) {
    auto* box = static_cast<QCheckBox*>(Handle());
    QObject::connect(box, &QCheckBox::toggled, box, [this](bool) { Fire(OnClick); });
}

TRadioButton::TRadioButton(TComponent* owner, TWinControl* parent, const std::string& caption)
    : TCheckControl(owner, parent, caption, new QRadioButton()) {
    auto* button = static_cast<QRadioButton*>(Handle());
    QObject::connect(button, &QRadioButton::toggled, button, [this, button](bool on) {
        if (!on) return;
        // The checked button of a group is its one tab stop, so the Tab key
        // lands on it and arrows move among the others.
        if (QWidget* group = button->parentWidget())
            for (QRadioButton* other : group->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
                if (other->autoExclusive()) other->setFocusPolicy(other == button ? Qt::StrongFocus : Qt::ClickFocus);
        Fire(OnClick);
    });
}

// ---------------------------------------------------------------- buttons

TButton::TButton(TComponent* owner, TWinControl* parent, const std::string& caption)
    : TWinControl(owner, new QPushButton()) {
    auto* b = static_cast<QPushButton*>(Handle());
    b->setAutoDefault(false);
    if (parent) SetParent(parent);
    SetCaption(caption);
    QObject::connect(b, &QPushButton::clicked, b, [this] { Click(); });
}

TButton::~TButton() {
    if (action_) action_->RemoveClient(this);
}

void TButton::SetAction(TAction* action) {
    if (action_) action_->RemoveClient(this);
    action_ = action;
    if (action_) action_->AddClient(this);
    ActionChanged();
}

void TButton::ActionChanged() {
    if (!action_) return;
    SetCaption(action_->Caption());
    SetHint(action_->Hint());
    SetEnabled(action_->Enabled());
}

void TButton::SetCaption(const std::string& caption) {
    caption_ = caption;
    static_cast<QPushButton*>(Handle())->setText(QtCaption(caption));
    Grow();
}

void TButton::SetDefault(bool isDefault) {
    default_ = isDefault;
    static_cast<QPushButton*>(Handle())->setDefault(isDefault);
}

void TButton::SetGlyph(const std::string& imageFile) {
    static_cast<QPushButton*>(Handle())->setIcon(LoadIcon(imageFile));
    Grow();
}

void TButton::SetBounds(int left, int top, int width, int height) {
    TControl::SetBounds(left, top, width, height);
    Grow();
}

void TButton::Grow() {
    // Only a caption that does not fit makes the button wider.
    auto* b = static_cast<QPushButton*>(Handle());
    int need = TextWidthNeeded(b, b->text(), b->icon().isNull() ? 0 : b->iconSize().width());
    if (need > b->width()) b->resize(need, b->height());
}

void TButton::Click() {
    TForm* form = ParentForm();
    if (action_) action_->Execute();
    else Fire(OnClick);
    if (modalResult_ != 0 && form) form->SetModalResult(modalResult_);
}

TSpeedButton::TSpeedButton(TComponent* owner, TWinControl* parent, const std::string& caption)
    : TControl(owner, new QToolButton()) {
    auto* b = static_cast<QToolButton*>(Handle());
    b->setAutoRaise(true);
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    if (parent) SetParent(parent);
    SetCaption(caption);
    QObject::connect(b, &QToolButton::clicked, b, [this] { Fire(OnClick); });
}

void TSpeedButton::SetCaption(const std::string& caption) {
    auto* b = static_cast<QToolButton*>(Handle());
    b->setText(QtCaption(caption));
    int need = TextWidthNeeded(b, b->text(), b->icon().isNull() ? 0 : b->iconSize().width());
    if (need > b->width()) b->resize(need, b->height());
}

void TSpeedButton::SetGlyph(const std::string& imageFile) {
    static_cast<QToolButton*>(Handle())->setIcon(LoadIcon(imageFile));
}

// ---------------------------------------------------------------- containers and pictures

TGroupBox::TGroupBox(TComponent* owner, TWinControl* parent, const std::string& caption)
    : TWinControl(owner, new QGroupBox()) {
    if (parent) SetParent(parent);
    SetCaption(caption);
}

void TGroupBox::SetCaption(const std::string& caption) {
    static_cast<QGroupBox*>(Handle())->setTitle(QtCaption(caption));
}

TPanel::TPanel(TComponent* owner, TWinControl* parent) : TWinControl(owner, new QFrame()) {
    SetBevelOuter(bvRaised);
    if (parent) SetParent(parent);
}

void TPanel::SetCaption(const std::string& caption) {
    if (!captionLabel_) {
        auto* label = new QLabel(Handle());
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignCenter);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        captionLabel_ = label;
    }
    static_cast<QLabel*>(captionLabel_)->setText(LabelText(caption));
    captionLabel_->setGeometry(Handle()->rect());
    captionLabel_->lower();
    captionLabel_->show();
}

void TPanel::SetBevelOuter(TBevelCut bevel) {
    auto* f = static_cast<QFrame*>(Handle());
    if (bevel == bvNone) {
        f->setFrameShape(QFrame::NoFrame);
    } else {
        f->setFrameShape(QFrame::Panel);
        f->setFrameShadow(bevel == bvRaised ? QFrame::Raised : QFrame::Sunken);
        f->setLineWidth(1);
    }
}

void TPanel::DoResize() {
    AlignControls();
    Fire(OnResize);
}

TImage::TImage(TComponent* owner, TWinControl* parent) : TControl(owner, new QLabel()) {
    static_cast<QLabel*>(Handle())->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (parent) SetParent(parent);
}

void TImage::SetPicture(const std::string& imageFile) { static_cast<QLabel*>(Handle())->setPixmap(LoadPicture(imageFile)); }
void TImage::SetTransparent(bool transparent) { Handle()->setAutoFillBackground(!transparent); }
bool TImage::HasPicture() const { return !static_cast<QLabel*>(Handle())->pixmap().isNull(); }
