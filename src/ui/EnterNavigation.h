#pragma once
// Enter moves to the next box, as shop operators expect from a form: in a
// text, number or date box of the screen, Return and Enter act like Tab.
// On a button they still press it.

#include <QList>

class QWidget;

void enableEnterNavigation(QWidget* screen);

// The order Tab, and so Enter, follows through the given widgets.
void setTabOrderChain(const QList<QWidget*>& widgets);
