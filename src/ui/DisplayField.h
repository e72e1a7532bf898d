#pragma once
// A display field of a screen: a sunken label that shows a value (a
// customer's name, an amount) and is named for screen readers by its caption.

class QLabel;
class QString;
class QWidget;

// Numbers are right-aligned; every field is wide enough for ten digits.
QLabel* displayField(const char* objectName, const QString& caption, QWidget* parent, bool number);
