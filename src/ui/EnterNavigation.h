#pragma once
// Enter moves to the next box, as shop operators expect from a form: in a
// text, number or date box of the screen, Return and Enter act like Tab.
// On a button they still press it.

class QWidget;

void enableEnterNavigation(QWidget* screen);
