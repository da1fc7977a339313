#include "support/listwatch.h"

#include "platform/sysutils.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QListWidget>

#include <gtest/gtest.h>

#include <algorithm>

std::vector<std::string> Entries(TStrings* items) {
    std::vector<std::string> out;
    for (int i = 0; i < items->Count(); ++i) out.push_back(items->Get(i));
    return out;
}

namespace {
TStrings* ItemsOf(TWinControl* list) {
    if (auto* combo = dynamic_cast<TComboBox*>(list)) return combo->Items();
    return static_cast<TListBox*>(list)->Items();
}
}  // namespace

Insertions::Insertions(TWinControl* watched) : list(watched) {
    auto* combo = qobject_cast<QComboBox*>(list->Handle());
    QAbstractItemModel* model = combo ? combo->model() : static_cast<QListWidget*>(list->Handle())->model();
    QObject::connect(model, &QAbstractItemModel::rowsInserted, model, [this](const QModelIndex&, int first, int last) {
        ++times;
        rows += last - first + 1;
    });
}

void ExpectFilledOnce(const Insertions& watched, const std::vector<std::string>& names, const std::string& what) {
    std::vector<std::string> entries = Entries(ItemsOf(watched.list));
    EXPECT_EQ(watched.times, 1) << what;
    EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end(),
                               [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; }))
        << what;
    std::vector<std::string> expected = names;
    std::sort(entries.begin(), entries.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entries, expected) << what;
}
