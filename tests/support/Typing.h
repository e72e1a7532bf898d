#pragma once
// Typing into a screen's boxes and reading its labels, as the operator
// types and reads them.

#include "support/Controls.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

// Clears the box and types the text character by character as a keyboard
// or an input method delivers it, so the box's validator sees every
// character, full-width ones included.
inline void typeKeyByKey(QLineEdit* box, const QString& text)
{
    box->clear();
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &release);
    }
}

// Focuses the box, selects its text and erases it with Backspace, then
// types over it: plain ASCII as key clicks, anything else committed whole,
// as an input method commits full-width text.
inline void typeOver(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii)
        QTest::keyClicks(box, text);
    else
        box->insert(text);
}

// The text of the label named `name`, or "<missing>" when there is none.
inline QString labelText(const QObject* screen, const char* name)
{
    auto* label = control<QLabel>(screen, QString::fromUtf8(name));
    return label ? label->text() : QStringLiteral("<missing>");
}
