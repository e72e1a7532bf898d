#pragma once
// Operators at a counter finish with Enter, so on every screen:
// - in a text, number, date or combo box Enter moves to the next box, as
//   Tab does, but never onto a button that closes the screen;
// - in a list Enter chooses the row the cursor stands on and moves on (or
//   presses the screen's confirming button where the list is the last
//   choice);
// - in a grid that is only read Enter moves on;
// - on a focused button Enter (main or keypad) presses it, and the focused
//   button is the one drawn as the default.

#include <QList>

class QAbstractButton;
class QListView;
class QWidget;

// Installs the rules on every box, list and button the screen holds now.
void enableEnterNavigation(QWidget* screen);

// The order Tab, and so Enter, follows through the given widgets.
void setTabOrderChain(const QList<QWidget*>& widgets);

// Whether a button closes its screen without storing ("キャンセル",
// "終了・中止", …): Enter from a box never moves onto one. Known by its
// caption unless marked otherwise.
bool closesScreen(const QAbstractButton* button);
void markClosingButton(QAbstractButton* button, bool closes = true);

// A widget with Enter handling of its own, left out by enableEnterNavigation.
void keepOwnEnter(QWidget* widget);

// A list whose choice may stay empty: Enter moves on without choosing.
void markOptionalChoice(QListView* list);
// Enter in `list` chooses its row and presses `button` (when shown).
void confirmWithEnter(QListView* list, QAbstractButton* button);
