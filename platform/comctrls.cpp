#include "platform/comctrls.h"

#include "platform/menus.h"
#include "platform/qtbridge.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QPointer>
#include <QTimer>
#include <QHeaderView>
#include <QIcon>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QTreeView>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>

// ---------------------------------------------------------------- image lists

struct TImageList::Impl {
    std::map<int, QIcon> icons;
};

QIcon ImageListIcon(const TImageList* list, int index) {
    if (!list) return QIcon();
    auto it = list->impl_->icons.find(index);
    return it == list->impl_->icons.end() ? QIcon() : it->second;
}

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), impl_(new Impl), width_(width), height_(height) {}

TImageList::~TImageList() = default;

void TImageList::SetImage(int index, const std::string& imageFile) { impl_->icons[index] = LoadIcon(imageFile); }

void TImageList::AddImageSize(int index, const std::string& imageFile) {
    QPixmap picture = LoadPicture(imageFile);
    if (!picture.isNull()) impl_->icons[index].addPixmap(picture);
}

// ---------------------------------------------------------------- tool bar

TToolBar::TToolBar(TComponent* owner) : TWinControl(owner, new QToolBar()) {
    QToolBar* bar = QtBar();
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setContextMenuPolicy(Qt::DefaultContextMenu);
    Restyle();
}

QToolBar* TToolBar::QtBar() const { return static_cast<QToolBar*>(Handle()); }

void TToolBar::SetImages(TImageList* images) {
    images_ = images;
    Restyle();
}

void TToolBar::SetShowCaptions(bool show) {
    showCaptions_ = show;
    Restyle();
}

void TToolBar::SetButtonSize(int width, int height) {
    buttonWidth_ = width;
    buttonHeight_ = height;
    Restyle();
}

void TToolBar::Restyle() {
    QToolBar* bar = QtBar();
    if (images_) bar->setIconSize(QSize(images_->Width(), images_->Height()));
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* b = dynamic_cast<TToolButton*>(Controls(i))) b->Refresh();
}

namespace {
class ToolButtonWidget : public QToolButton {
public:
    using QToolButton::QToolButton;
};
}  // namespace

TToolButton::TToolButton(TComponent* owner, TToolBar* bar, TToolButtonStyle style, int width)
    : TControl(owner, style == tbsSeparator ? static_cast<QWidget*>(new QWidget()) : new ToolButtonWidget()),
      bar_(bar), style_(style) {
    SetParent(bar);
    QToolBar* qbar = bar->QtBar();
    if (style == tbsSeparator) {
        Handle()->setFixedWidth(width > 0 ? width : 8);
        qbar->addWidget(Handle());
        return;
    }
    auto* b = static_cast<QToolButton*>(Handle());
    b->setAutoRaise(true);
    b->setCheckable(style == tbsCheck);
    qbar->addWidget(b);
    QObject::connect(b, &QToolButton::clicked, b, [this] { Click(); });
    Refresh();
}

TToolButton::~TToolButton() {
    if (action_) action_->RemoveClient(this);
}

void TToolButton::SetAction(TAction* action) {
    if (action_) action_->RemoveClient(this);
    action_ = action;
    ownCaption_ = ownImage_ = false;
    if (action_) action_->AddClient(this);
    ActionChanged();
}

void TToolButton::ActionChanged() {
    if (!action_) return;
    if (!ownCaption_) caption_ = action_->Caption();
    if (!ownImage_) imageIndex_ = action_->ImageIndex();
    SetHint(action_->Hint());
    SetEnabled(action_->Enabled());
    Refresh();
}

void TToolButton::SetCaption(const std::string& caption) {
    if (action_) ownCaption_ = true;
    caption_ = caption;
    Refresh();
}

void TToolButton::SetImageIndex(int index) {
    if (action_) ownImage_ = true;
    imageIndex_ = index;
    Refresh();
}

void TToolButton::Refresh() {
    if (style_ == tbsSeparator) return;
    auto* b = static_cast<QToolButton*>(Handle());
    QString text = QtCaption(caption_);
    b->setText(text);
    TImageList* images = bar_->Images();
    b->setIcon(images && imageIndex_ >= 0 ? ImageListIcon(images, imageIndex_) : QIcon());
    if (images) {
        b->setIconSize(QSize(images->Width(), images->Height()));
        b->setToolButtonStyle(bar_->showCaptions_ ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
    } else {
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
    // Fixed button size with pictures; text only shrinks to the text's height.
    int w = std::max(bar_->ButtonWidth(), b->sizeHint().width());
    int h = images ? std::max(bar_->ButtonHeight(), b->sizeHint().height()) : b->sizeHint().height();
    b->setFixedSize(w + (style_ == tbsDropDown ? 14 : 0), h);
}

bool TToolButton::Down() const {
    if (style_ == tbsSeparator) return false;
    auto* b = static_cast<QToolButton*>(Handle());
    return b->isCheckable() ? b->isChecked() : b->isDown();
}

namespace {
// A button that saw the pointer go to its menu or to a modal window keeps
// its hover look when the pointer has long left it (the toolkit sends it no
// leave while a popup or a modal window has the pointer). Checked against
// where the pointer really is.
void RefreshHover(QToolButton* b) {
    QPointer<QToolButton> guard = b;
    QTimer::singleShot(0, b, [guard] {
        if (!guard || !guard->testAttribute(Qt::WA_UnderMouse)) return;
        if (guard->rect().contains(guard->mapFromGlobal(QCursor::pos()))) return;
        guard->setAttribute(Qt::WA_UnderMouse, false);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(guard, &leave);
        guard->update();
    });
}
}  // namespace

void TToolButton::SetDown(bool down) {
    if (style_ == tbsSeparator) return;
    auto* b = static_cast<QToolButton*>(Handle());
    b->setCheckable(true);
    b->setChecked(down);
    if (!down) RefreshHover(b);
}

void TToolButton::SetDropdownMenu(TPopupMenu* menu) {
    dropdown_ = menu;
    auto* b = static_cast<QToolButton*>(Handle());
    b->setMenu(menu ? menu->QtMenu() : nullptr);
    b->setPopupMode(menu ? QToolButton::MenuButtonPopup : QToolButton::DelayedPopup);
    if (menu) QObject::connect(menu->QtMenu(), &QMenu::aboutToHide, b, [b] { RefreshHover(b); });
    Refresh();
}

void TToolButton::DoPopup(int x, int y) {
    // A drop-down button offers its menu on a right click too.
    if (dropdown_) dropdown_->Popup(x, y);
    else TControl::DoPopup(x, y);
}

void TToolButton::Click() {
    if (style_ == tbsSeparator) return;
    if (action_) action_->Execute();
    else Fire(OnClick);
}

// ---------------------------------------------------------------- status bar

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner, new QStatusBar()) {
    QtStatusBar()->setSizeGripEnabled(true);
}

QStatusBar* TStatusBar::QtStatusBar() const { return static_cast<QStatusBar*>(Handle()); }

// ---------------------------------------------------------------- list view

namespace {
// Mouse clicks land on the view's viewport, not on the view itself.
class ViewportClicks : public QObject {
public:
    explicit ViewportClicks(std::function<void()> click, std::function<void()> doubleClick = {})
        : click_(std::move(click)), doubleClick_(std::move(doubleClick)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (redelivering_) return false;
        if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton)
            click_();
        if (e->type() == QEvent::MouseButtonDblClick && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton &&
            doubleClick_) {
            // The view finishes its double click first: run before it, a
            // handler that moves rows would make the view take the row now
            // under the pointer for a fresh press and choose it.
            redelivering_ = true;
            QCoreApplication::sendEvent(watched, e);
            redelivering_ = false;
            doubleClick_();
            return true;
        }
        return false;
    }

private:
    bool redelivering_ = false;
    std::function<void()> click_;
    std::function<void()> doubleClick_;
};

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// Plain ASCII captions compared as the toolkit's case-insensitive comparison
// compares them: by their lower-cased bytes, a shorter text before a longer
// one it begins.
bool AsciiLess(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = static_cast<unsigned char>(AsciiLower(a[i]));
        const unsigned char y = static_cast<unsigned char>(AsciiLower(b[i]));
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}
}  // namespace

// The rows as the toolkit's view sees them: it asks only for those it shows.
class TListView::Model : public QAbstractTableModel {
public:
    explicit Model(TListView* view) : QAbstractTableModel(view->Handle()), view_(view) {}
    struct Column {
        QString caption;
        Qt::Alignment alignment;
    };
    std::vector<Column> columns;

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(view_->shown_);
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(columns.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || static_cast<size_t>(index.row()) >= view_->shown_) return {};
        const TListItem* item = view_->items_[static_cast<size_t>(index.row())].get();
        if (role == Qt::DisplayRole)
            return QtText(index.column() == 0 ? item->caption_ : item->SubItem(index.column() - 1));
        if (role == Qt::TextAlignmentRole && index.column() > 0)
            return static_cast<int>(columns[static_cast<size_t>(index.column())].alignment);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || section < 0 || static_cast<size_t>(section) >= columns.size()) return {};
        if (role == Qt::DisplayRole) return columns[static_cast<size_t>(section)].caption;
        if (role == Qt::TextAlignmentRole) return static_cast<int>(columns[static_cast<size_t>(section)].alignment);
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
    }

    void AddColumn(const QString& caption, Qt::Alignment alignment) {
        const int n = static_cast<int>(columns.size());
        beginInsertColumns({}, n, n);
        columns.push_back({caption, alignment});
        endInsertColumns();
    }
    void Insert(size_t first, size_t last, const std::function<void()>& insert) {
        beginInsertRows({}, static_cast<int>(first), static_cast<int>(last));
        insert();
        endInsertRows();
    }
    void Remove(size_t row, const std::function<void()>& remove) {
        beginRemoveRows({}, static_cast<int>(row), static_cast<int>(row));
        remove();
        endRemoveRows();
    }
    void Reset(const std::function<void()>& reset) {
        beginResetModel();
        reset();
        endResetModel();
    }
    void Changed(int row) { emit dataChanged(index(row, 0), index(row, std::max(0, columnCount({}) - 1))); }
    // Reorders the rows; what the view keeps of them (the chosen rows, the
    // current one) moves with them.
    void Reorder(const std::function<void()>& reorder) {
        emit layoutAboutToBeChanged();
        const QModelIndexList before = persistentIndexList();
        std::vector<const TListItem*> owners;
        owners.reserve(static_cast<size_t>(before.size()));
        for (const QModelIndex& i : before) owners.push_back(view_->items_[static_cast<size_t>(i.row())].get());
        reorder();
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i)
            after.append(index(owners[static_cast<size_t>(i)]->row_, before[i].column()));
        changePersistentIndexList(before, after);
        emit layoutChanged();
    }
    QItemSelectionModel* Selection() const { return static_cast<QTreeView*>(view_->Handle())->selectionModel(); }

private:
    TListView* view_;
};

void TListItem::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (view_->sorted_ && view_->updating_ == 0) view_->Sort();
    view_->RowChanged(this);
}

std::string TListItem::SubItem(int index) const {
    return index >= 0 && index < SubItemCount() ? subItems_[static_cast<size_t>(index)] : std::string();
}

void TListItem::SetSubItem(int index, const std::string& text) {
    if (index < 0) return;
    if (index >= SubItemCount()) subItems_.resize(static_cast<size_t>(index) + 1);
    subItems_[static_cast<size_t>(index)] = text;
    view_->RowChanged(this);
}

bool TListItem::Selected() const {
    if (static_cast<size_t>(row_) >= view_->shown_) return pendingSelected_;
    return view_->model_->Selection()->isSelected(view_->model_->index(row_, 0));
}

void TListItem::SetSelected(bool selected) {
    if (static_cast<size_t>(row_) >= view_->shown_) {
        pendingSelected_ = selected;
        return;
    }
    view_->model_->Selection()->select(view_->model_->index(row_, 0), (selected ? QItemSelectionModel::Select
                                                                                : QItemSelectionModel::Deselect) |
                                                                           QItemSelectionModel::Rows);
}

TListView::TListView(TComponent* owner, TWinControl* parent) : TWinControl(owner, new QTreeView()) {
    auto* tree = static_cast<QTreeView*>(Handle());
    model_ = new Model(this);
    tree->setModel(model_);
    tree->setRootIsDecorated(false);
    tree->setItemsExpandable(false);
    tree->setUniformRowHeights(true);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setAllColumnsShowFocus(true);
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionsMovable(false);
    auto* clicks = new ViewportClicks([this] { Fire(OnClick); }, [this] { Fire(OnDblClick); });
    clicks->setParent(tree);
    tree->viewport()->installEventFilter(clicks);
    if (parent) SetParent(parent);
}

TListView::~TListView() {
    // The model belongs to the widget; one the toolkit freed took it along.
    if (!Handle()) return;
    model_->Reset([this] {
        items_.clear();
        shown_ = 0;
    });
}

void TListView::AddColumn(const std::string& caption, int width, bool rightAligned) {
    auto* tree = static_cast<QTreeView*>(Handle());
    model_->AddColumn(QtText(caption), rightAligned ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
    tree->setColumnWidth(static_cast<int>(model_->columns.size()) - 1, width);
}


void TListView::SetColumnAutoSize(int index) {
    static_cast<QTreeView*>(Handle())->header()->setSectionResizeMode(index, QHeaderView::Stretch);
}

void TListView::SetSorted(bool sorted) {
    sorted_ = sorted;
    if (sorted_ && updating_ == 0) Sort();
}

void TListView::Renumber(size_t from) {
    for (size_t i = from; i < items_.size(); ++i) items_[i]->row_ = static_cast<int>(i);
}

void TListView::SortItems() {
    // Rows are ordered by index, never moved while sorting. Plain ASCII
    // captions, the usual case, are told apart by their first eight
    // lower-cased bytes before they are compared whole.
    struct Entry {
        uint64_t prefix;
        uint32_t index;
    };
    std::vector<Entry> entries(items_.size());
    bool ascii = true;
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string& caption = items_[i]->caption_;
        uint64_t prefix = 0;
        for (size_t k = 0; k < 8; ++k)
            prefix = prefix << 8 | static_cast<unsigned char>(k < caption.size() ? AsciiLower(caption[k]) : 0);
        for (char c : caption) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        entries[i] = {prefix, static_cast<uint32_t>(i)};
    }
    if (ascii) {
        std::stable_sort(entries.begin(), entries.end(), [this](const Entry& a, const Entry& b) {
            if (a.prefix != b.prefix) return a.prefix < b.prefix;
            return AsciiLess(items_[a.index]->caption_, items_[b.index]->caption_);
        });
    } else {
        std::vector<QString> texts;
        texts.reserve(items_.size());
        for (const auto& item : items_) texts.push_back(QtText(item->caption_));
        std::stable_sort(entries.begin(), entries.end(), [&texts](const Entry& a, const Entry& b) {
            return texts[a.index].compare(texts[b.index], Qt::CaseInsensitive) < 0;
        });
    }
    std::vector<std::unique_ptr<TListItem>> sorted;
    sorted.reserve(items_.size());
    for (const Entry& e : entries) sorted.push_back(std::move(items_[e.index]));
    items_ = std::move(sorted);
    Renumber(0);
}

void TListView::Sort() {
    if (shown_ == items_.size()) model_->Reorder([this] { SortItems(); });
}

TListItem* TListView::AddItem() {
    if (spare_.empty()) {
        items_.push_back(std::unique_ptr<TListItem>(new TListItem(this)));
    } else {
        items_.push_back(std::move(spare_.back()));
        spare_.pop_back();
    }
    TListItem* item = items_.back().get();
    item->row_ = static_cast<int>(items_.size()) - 1;
    if (updating_ == 0) ShowAdded();
    return item;
}

void TListView::ShowAdded() {
    if (shown_ == items_.size()) return;
    std::vector<size_t> chosen;
    for (size_t i = shown_; i < items_.size(); ++i)
        if (items_[i]->pendingSelected_) chosen.push_back(i);
    model_->Insert(shown_, items_.size() - 1, [this] { shown_ = items_.size(); });
    for (size_t i : chosen) {
        items_[i]->pendingSelected_ = false;
        items_[i]->SetSelected(true);
    }
}

void TListView::RowChanged(const TListItem* item) {
    if (static_cast<size_t>(item->row_) < shown_) model_->Changed(item->row_);
}

void TListView::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    const size_t row = static_cast<size_t>(index);
    auto remove = [this, row] {
        Spare(std::move(items_[row]));
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(row));
        Renumber(row);
    };
    if (row < shown_) {
        model_->Remove(row, [&] {
            remove();
            --shown_;
        });
    } else {
        remove();
    }
}

void TListView::Clear() {
    model_->Reset([this] {
        for (auto& item : items_) Spare(std::move(item));
        items_.clear();
        shown_ = 0;
    });
}

void TListView::Spare(std::unique_ptr<TListItem> item) {
    item->caption_.clear();
    item->subItems_.clear();
    item->pendingSelected_ = false;
    spare_.push_back(std::move(item));
}

void TListView::SetMultiSelect(bool multi) {
    static_cast<QTreeView*>(Handle())->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection
                                                              : QAbstractItemView::SingleSelection);
}

std::vector<TListItem*> TListView::SelectedItems() const {
    // From the chosen ranges, not row by row: a long list has few of them.
    std::vector<size_t> rows;
    for (const QItemSelectionRange& range : model_->Selection()->selection())
        if (range.left() == 0)
            for (int r = range.top(); r <= range.bottom(); ++r) rows.push_back(static_cast<size_t>(r));
    for (size_t i = shown_; i < items_.size(); ++i)
        if (items_[i]->pendingSelected_) rows.push_back(i);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<TListItem*> out;
    out.reserve(rows.size());
    for (size_t r : rows) out.push_back(items_[r].get());
    return out;
}

TListItem* TListView::Selected() const {
    const std::vector<TListItem*> chosen = SelectedItems();
    return chosen.empty() ? nullptr : chosen.front();
}

int TListView::SelCount() const { return static_cast<int>(SelectedItems().size()); }

void TListView::SetRowSelect(bool rowSelect) {
    static_cast<QTreeView*>(Handle())->setSelectionBehavior(rowSelect ? QAbstractItemView::SelectRows
                                                                      : QAbstractItemView::SelectItems);
}

TListItem* TListView::FindCaption(const std::string& caption) const {
    for (const auto& item : items_)
        if (item->caption_ == caption) return item.get();
    return nullptr;
}

void TListView::BeginUpdate() {
    if (updating_++ == 0) Handle()->setUpdatesEnabled(false);
}

void TListView::EndUpdate() {
    if (updating_ == 0 || --updating_ > 0) return;
    // A list filled afresh reaches the view in its order, so the view has
    // nothing to rearrange.
    if (sorted_ && shown_ == 0) {
        SortItems();
        ShowAdded();
    } else {
        ShowAdded();
        if (sorted_) Sort();
    }
    Handle()->setUpdatesEnabled(true);
}

// ---------------------------------------------------------------- icon list view

TIconListView::TIconListView(TComponent* owner, TWinControl* parent) : TWinControl(owner, new QListWidget()) {
    auto* list = static_cast<QListWidget*>(Handle());
    list->setViewMode(QListView::IconMode);
    list->setFlow(QListView::TopToBottom);
    list->setMovement(QListView::Static);
    list->setResizeMode(QListView::Adjust);
    list->setWrapping(false);
    list->setWordWrap(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setSpacing(2);
    auto* clicks = new ViewportClicks([this] { Fire(OnClick); });
    clicks->setParent(list);
    list->viewport()->installEventFilter(clicks);
    if (parent) SetParent(parent);
}

void TIconListView::DoResize() {
    // One entry a row, as wide as the list, so no caption is cut.
    auto* list = static_cast<QListWidget*>(Handle());
    list->setGridSize(QSize(std::max(40, list->viewport()->width() - 4), list->iconSize().height() + 26));
}

void TIconListView::SetLargeImages(TImageList* images) {
    images_ = images;
    if (images) static_cast<QListWidget*>(Handle())->setIconSize(QSize(images->Width(), images->Height()));
}

void TIconListView::AddItem(const std::string& caption, int imageIndex) {
    auto* item = new QListWidgetItem(ImageListIcon(images_, imageIndex), QtText(caption));
    item->setTextAlignment(Qt::AlignHCenter);
    static_cast<QListWidget*>(Handle())->addItem(item);
}


int TIconListView::ItemIndex() const {
    auto* list = static_cast<QListWidget*>(Handle());
    QList<QListWidgetItem*> chosen = list->selectedItems();
    return chosen.isEmpty() ? -1 : list->row(chosen.first());
}

// ---------------------------------------------------------------- clipboard

std::string TClipboard::AsText() const { return StdText(QApplication::clipboard()->text()); }
void TClipboard::SetAsText(const std::string& text) { QApplication::clipboard()->setText(QtText(text)); }

TClipboard* Clipboard() {
    static TClipboard clipboard;
    return &clipboard;
}
