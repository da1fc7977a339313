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
#include <QTreeWidget>

#include <algorithm>
#include <map>
#include <unordered_map>

// ---------------------------------------------------------------- image lists

struct TImageList::Impl {
    std::map<int, QIcon> icons;
};

struct ImageListAccess {
    static QIcon Icon(const TImageList* list, int index) {
        auto it = list->impl_->icons.find(index);
        return it == list->impl_->icons.end() ? QIcon() : it->second;
    }
};

QIcon ImageListIcon(const TImageList* list, int index) {
    return list ? ImageListAccess::Icon(list, index) : QIcon();
}

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), impl_(new Impl), width_(width), height_(height) {}

TImageList::~TImageList() = default;

void TImageList::SetImage(int index, const std::string& imageFile) { impl_->icons[index] = LoadIcon(imageFile); }

void TImageList::AddImageSize(int index, const std::string& imageFile) {
    QPixmap picture = LoadPicture(imageFile);
    if (!picture.isNull()) impl_->icons[index].addPixmap(picture);
}

int TImageList::Count() const { return impl_->icons.empty() ? 0 : impl_->icons.rbegin()->first + 1; }

bool TImageList::HasImage(int index) const {
    auto it = impl_->icons.find(index);
    return it != impl_->icons.end() && !it->second.isNull();
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
void TStatusBar::SetSimpleText(const std::string& text) { QtStatusBar()->showMessage(QtText(text)); }
std::string TStatusBar::SimpleText() const { return StdText(QtStatusBar()->currentMessage()); }

// ---------------------------------------------------------------- list view

namespace {
QTreeWidgetItem* Row(void* row) { return static_cast<QTreeWidgetItem*>(row); }

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

// A list-view row; sorted views order rows by caption, ignoring letter case.
// The row keeps its caption at hand, so a sort of many rows compares texts
// rather than fetching them from the model on every comparison.
class CaptionRow : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    void setData(int column, int role, const QVariant& value) override {
        QTreeWidgetItem::setData(column, role, value);
        if (column == 0 && (role == Qt::DisplayRole || role == Qt::EditRole)) caption_ = text(0);
    }
    bool operator<(const QTreeWidgetItem& other) const override {
        const auto* row = dynamic_cast<const CaptionRow*>(&other);
        return caption_.compare(row ? row->caption_ : other.text(0), Qt::CaseInsensitive) < 0;
    }

private:
    QString caption_;
};
}  // namespace

std::string TListItem::Caption() const { return StdText(Row(row_)->text(0)); }
void TListItem::SetCaption(const std::string& caption) {
    Row(row_)->setText(0, QtText(caption));
    if (view_->sorted_ && view_->updating_ == 0) view_->Sort();
}

std::string TListItem::SubItem(int index) const {
    return index + 1 < Row(row_)->columnCount() ? StdText(Row(row_)->text(index + 1)) : std::string();
}

void TListItem::SetSubItem(int index, const std::string& text) {
    Row(row_)->setText(index + 1, QtText(text));
    auto* tree = static_cast<QTreeWidget*>(view_->Handle());
    if (QTreeWidgetItem* header = tree->headerItem())
        Row(row_)->setTextAlignment(index + 1, Qt::Alignment(header->textAlignment(index + 1)));
}

int TListItem::SubItemCount() const { return std::max(0, Row(row_)->columnCount() - 1); }
bool TListItem::Selected() const { return Row(row_)->isSelected(); }
void TListItem::SetSelected(bool selected) { Row(row_)->setSelected(selected); }
int TListItem::Index() const { return view_->IndexOfRow(row_); }

TListView::TListView(TComponent* owner, TWinControl* parent) : TWinControl(owner, new QTreeWidget()) {
    auto* tree = static_cast<QTreeWidget*>(Handle());
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    tree->setColumnCount(0);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setAllColumnsShowFocus(true);
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionsMovable(false);
    auto* clicks = new ViewportClicks([this] { Fire(OnClick); }, [this] { Fire(OnDblClick); });
    clicks->setParent(tree);
    tree->viewport()->installEventFilter(clicks);
    QObject::connect(tree, &QTreeWidget::itemSelectionChanged, tree, [this] { Fire(OnSelectItem); });
    if (parent) SetParent(parent);
}

TListView::~TListView() { items_.clear(); }

void TListView::AddColumn(const std::string& caption, int width, bool rightAligned) {
    auto* tree = static_cast<QTreeWidget*>(Handle());
    int n = tree->columnCount();
    tree->setColumnCount(n + 1);
    QTreeWidgetItem* header = tree->headerItem();
    header->setText(n, QtText(caption));
    header->setTextAlignment(n, rightAligned ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
    tree->setColumnWidth(n, width);
}

int TListView::ColumnCount() const { return static_cast<QTreeWidget*>(Handle())->columnCount(); }
void TListView::SetColumnWidth(int index, int width) { static_cast<QTreeWidget*>(Handle())->setColumnWidth(index, width); }

void TListView::SetColumnAutoSize(int index) {
    static_cast<QTreeWidget*>(Handle())->header()->setSectionResizeMode(index, QHeaderView::Stretch);
}

void TListView::SetSorted(bool sorted) {
    sorted_ = sorted;
    if (sorted_ && updating_ == 0) Sort();
}

void TListView::Sort() {
    auto* tree = static_cast<QTreeWidget*>(Handle());
    tree->sortItems(0, Qt::AscendingOrder);  // a stable sort, which keeps the selection
    // Item(i) follows the rows as shown: put in their place in linear time.
    std::unordered_map<void*, std::unique_ptr<TListItem>> byRow;
    byRow.reserve(items_.size());
    for (auto& item : items_) byRow.emplace(item->row_, std::move(item));
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        items_[static_cast<size_t>(i)] = std::move(byRow[tree->topLevelItem(i)]);
}

TListItem* TListView::AddItem() {
    auto* tree = static_cast<QTreeWidget*>(Handle());
    auto* row = new CaptionRow(tree);
    items_.push_back(std::unique_ptr<TListItem>(new TListItem(this, row)));
    return items_.back().get();
}

int TListView::IndexOfRow(void* row) const {
    return static_cast<QTreeWidget*>(Handle())->indexOfTopLevelItem(Row(row));
}

void TListView::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    auto* tree = static_cast<QTreeWidget*>(Handle());
    delete tree->takeTopLevelItem(index);
    items_.erase(items_.begin() + index);
}

void TListView::Clear() {
    static_cast<QTreeWidget*>(Handle())->clear();
    items_.clear();
}

void TListView::SetMultiSelect(bool multi) {
    static_cast<QTreeWidget*>(Handle())->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection
                                                                : QAbstractItemView::SingleSelection);
}

TListItem* TListView::Selected() const {
    for (const auto& item : items_)
        if (item->Selected()) return item.get();
    return nullptr;
}

int TListView::SelCount() const { return static_cast<int>(SelectedItems().size()); }

std::vector<TListItem*> TListView::SelectedItems() const {
    std::vector<TListItem*> out;
    for (const auto& item : items_)
        if (item->Selected()) out.push_back(item.get());
    return out;
}

void TListView::ClearSelection() { static_cast<QTreeWidget*>(Handle())->clearSelection(); }

void TListView::SetHideSelection(bool) {}
void TListView::SetRowSelect(bool rowSelect) {
    static_cast<QTreeWidget*>(Handle())->setSelectionBehavior(rowSelect ? QAbstractItemView::SelectRows
                                                                        : QAbstractItemView::SelectItems);
}

TListItem* TListView::FindCaption(const std::string& caption) const {
    for (const auto& item : items_)
        if (item->Caption() == caption) return item.get();
    return nullptr;
}

void TListView::BeginUpdate() {
    if (updating_++ == 0) Handle()->setUpdatesEnabled(false);
}

void TListView::EndUpdate() {
    if (updating_ == 0 || --updating_ > 0) return;
    if (sorted_) Sort();
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

int TIconListView::Count() const { return static_cast<QListWidget*>(Handle())->count(); }

int TIconListView::ItemIndex() const {
    auto* list = static_cast<QListWidget*>(Handle());
    QList<QListWidgetItem*> chosen = list->selectedItems();
    return chosen.isEmpty() ? -1 : list->row(chosen.first());
}

void TIconListView::SetItemIndex(int index) {
    auto* list = static_cast<QListWidget*>(Handle());
    list->clearSelection();
    if (index >= 0 && index < list->count()) list->item(index)->setSelected(true);
}

// ---------------------------------------------------------------- clipboard

std::string TClipboard::AsText() const { return StdText(QApplication::clipboard()->text()); }
void TClipboard::SetAsText(const std::string& text) { QApplication::clipboard()->setText(QtText(text)); }

TClipboard* Clipboard() {
    static TClipboard clipboard;
    return &clipboard;
}
