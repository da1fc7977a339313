// The running main program with the user's hands on its child windows: picking
// list entries, typing, clicking buttons and list rows.
#pragma once

#include "currency/currsource.h"
#include "mainwin/appfixture.h"
#include "support/listwatch.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

class ChildWindow : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
        Start();
    }
    // As the user picks an entry from a drop-down list.
    static void Pick(TComboBox* list, const std::string& name) {
        auto* box = static_cast<QComboBox*>(list->Handle());
        int i = box->findText(QString::fromStdString(name));
        ASSERT_GE(i, 0) << name;
        box->setCurrentIndex(i);
        emit box->activated(i);
    }
    // Types over the whole text of a field.
    static void Type(TEdit* edit, const std::string& text) {
        edit->SetFocus();
        static_cast<QLineEdit*>(edit->Handle())->selectAll();
        QTest::keyClicks(edit->Handle(), QString::fromStdString(text));
    }
    static void Click(TButton* b) { QTest::mouseClick(b->Handle(), Qt::LeftButton); }
    static void ClickRow(TListBox* list, int row) {
        auto* widget = static_cast<QListWidget*>(list->Handle());
        ASSERT_LT(row, widget->count());
        QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, widget->visualItemRect(widget->item(row)).center());
    }
    CurrSource* Source() { return MainForm->CurrentSource; }
    CurrencyItem* Currency(const char* name) { return Source()->FindCurrency(name); }
    std::string Convert(const std::string& amount, const char* from, const char* to) {
        return Source()->ConvertText(amount, Currency(from), Currency(to));
    }
    std::vector<std::string> PairNames() {
        std::vector<std::string> out;
        for (PrefItr it = Source()->GetPreferreds(); it.HasNext();) out.push_back(it.Next()->GetName());
        return out;
    }
};
