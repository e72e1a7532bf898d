#pragma once
// Small building blocks the accounting screens share: buttons that do not
// take Return for themselves, caption labels that name their box, read-only
// grids and lists over value models.

#include "ui/ScreenWidgets.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTableView>

namespace accounting::parts {

// As wide as the caption needs, however short.
inline QPushButton* button(const char* objectName, const QString& caption, QWidget* parent)
{
    return commandButton(parent, QString::fromUtf8(objectName), caption, QSize(0, 36));
}

inline QLabel* captionLabel(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("lbl") + text);
    label->setBuddy(buddy);
    return label;
}

inline QTableView* grid(const char* objectName, const QString& accessibleName, QWidget* parent)
{
    auto* view = new QTableView(parent);
    view->setObjectName(QString::fromUtf8(objectName));
    view->setAccessibleName(accessibleName);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->verticalHeader()->setVisible(false);
    return view;
}

inline QListView* list(const char* objectName, QWidget* parent)
{
    auto* view = new QListView(parent);
    view->setObjectName(QString::fromUtf8(objectName));
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setMinimumSize(240, 180);
    return view;
}

} // namespace accounting::parts
