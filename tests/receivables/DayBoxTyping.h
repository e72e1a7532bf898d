#pragma once
// Typing into the day box of the invoice and receipt issuing screens as an
// operator does: the box's text selected, then digits, and no Enter.

#include "support/ListViews.h"

#include <QListView>
#include <QSpinBox>
#include <QTest>

namespace closing {

// The list's texts, joined by ",", after each digit of `digits` typed into
// `box` over its selected text.
inline QStringList listAfterEachDigit(QSpinBox* box, QListView* list, const QString& digits)
{
    box->setFocus();
    box->selectAll();
    QStringList seen;
    for (QChar digit : digits) {
        QTest::keyClicks(box, QString(digit));
        seen << listTexts(list).join(u',');
    }
    return seen;
}

} // namespace closing
