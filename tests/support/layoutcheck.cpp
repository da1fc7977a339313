#include "support/layoutcheck.h"

#include "platform/forms.h"
#include "platform/stdctrls.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QPushButton>
#include "platform/qtbridge.h"
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

#include <typeinfo>

namespace {
std::string Describe(TControl* c) {
    std::string name = typeid(*c).name();
    if (auto* l = dynamic_cast<TLabel*>(c)) name += " '" + l->Caption() + "'";
    if (auto* b = dynamic_cast<TButton*>(c)) name += " '" + b->Caption() + "'";
    return name;
}

QRect BoundsOf(TControl* c) { return QRect(c->Left(), c->Top(), c->Width(), c->Height()); }

// A control may lie across a group box's top edge, within its width, where
// the box's caption would be; it must still keep clear of what the box holds.
bool OnCaptionEdge(TControl* box, TControl* c, std::vector<std::string>& problems) {
    auto* group = dynamic_cast<TGroupBox*>(box);
    if (!group) return false;
    const QRect b = BoundsOf(box), r = BoundsOf(c);
    if (r.top() >= b.top() || r.bottom() <= b.top() || r.left() < b.left() || r.right() > b.right()) return false;
    const QPoint origin = group->ClientWidget()->mapTo(group->Handle()->parentWidget(), QPoint(0, 0));
    for (int i = 0; i < group->ControlCount(); ++i) {
        TControl* inside = group->Controls(i);
        if (inside->Visible() && BoundsOf(inside).translated(origin).intersects(r))
            problems.push_back(Describe(c) + " overlaps " + Describe(inside));
    }
    return true;
}

void Check(TWinControl* parent, std::vector<std::string>& problems) {
    QWidget* client = parent->ClientWidget();
    QRect area = client->rect();
    std::vector<TControl*> shown;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (!c->Visible() || !c->Handle()) continue;
        shown.push_back(c);
        if (!area.contains(BoundsOf(c)))
            problems.push_back(Describe(c) + " lies outside its parent " + Describe(parent));
        QWidget* w = c->Handle();
        bool text = qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w);
        bool picture = qobject_cast<QLabel*>(w) && !static_cast<QLabel*>(w)->pixmap().isNull();
        if (text && !picture) {
            QSize hint = w->sizeHint();
            bool wraps = qobject_cast<QLabel*>(w) && static_cast<QLabel*>(w)->wordWrap();
            int need = hint.width();
            auto* button = qobject_cast<QAbstractButton*>(w);
            if (button && !qobject_cast<QCheckBox*>(w) && !qobject_cast<QRadioButton*>(w))
                need = TextWidthNeeded(w, button->text(), button->icon().isNull() ? 0 : button->iconSize().width());
            if ((!wraps && need > w->width()) || hint.height() > w->height() + 2)
                problems.push_back(Describe(c) + " cuts its caption");
        }
        if (auto* box = qobject_cast<QComboBox*>(w); box && box->currentIndex() >= 0) {
            // The chosen entry shows whole.
            int need = box->fontMetrics().horizontalAdvance(box->currentText()) + 30;
            if (need > w->width()) problems.push_back(Describe(c) + " cuts its chosen entry");
        }
        if (auto* wc = dynamic_cast<TWinControl*>(c)) Check(wc, problems);
    }
    for (size_t i = 0; i < shown.size(); ++i)
        for (size_t j = i + 1; j < shown.size(); ++j) {
            QRect a = BoundsOf(shown[i]), b = BoundsOf(shown[j]);
            // A picture may lie under controls, as a background under its icons.
            bool pictureI = dynamic_cast<TImage*>(shown[i]), pictureJ = dynamic_cast<TImage*>(shown[j]);
            if ((pictureI && a.contains(b)) || (pictureJ && b.contains(a)) || pictureI != pictureJ) continue;
            if (OnCaptionEdge(shown[i], shown[j], problems) || OnCaptionEdge(shown[j], shown[i], problems)) continue;
            if (a.intersects(b))
                problems.push_back(Describe(shown[i]) + " overlaps " + Describe(shown[j]));
        }
}
}  // namespace

std::vector<std::string> LayoutProblems(TWinControl* root) {
    std::vector<std::string> problems;
    Check(root, problems);
    return problems;
}

std::string SaveScreenshot(TForm* form, const std::string& name) {
    QDir().mkpath("screenshots");
    std::string path = "screenshots/" + name + ".png";
    QWidget* w = form->Handle()->window();
    w->grab().save(QString::fromStdString(path));
    return path;
}
