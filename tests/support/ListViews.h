#pragma once
// Reading and clicking the rows of a screen's list views, as the operator
// sees and clicks them.

#include <QAbstractItemModel>
#include <QListView>
#include <QListWidget>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

// Clicks the row showing exactly `text` with the mouse.
inline void clickListRow(QListView* view, const QString& text)
{
    ASSERT_NE(view, nullptr);
    const QModelIndexList found =
        view->model()->match(view->model()->index(0, view->modelColumn()), Qt::DisplayRole, text, 1, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    view->scrollTo(found[0]);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(found[0]).center());
}

// Clicks the one item showing exactly `text` with the mouse; no such item,
// or more than one, fails the test.
inline void clickListRow(QListWidget* list, const QString& text)
{
    ASSERT_NE(list, nullptr);
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    list->scrollToItem(found[0]);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found[0]).center());
}

// The texts the list shows, top to bottom.
inline QStringList listTexts(const QListView* view)
{
    QStringList texts;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        texts << view->model()->index(row, view->modelColumn()).data().toString();
    return texts;
}
