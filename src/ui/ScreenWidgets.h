#pragma once
// Small widgets every screen builds alike: command buttons and captions.

#include <QSize>

class QLabel;
class QPushButton;
class QString;
class QWidget;

// A command button, found by its object name: at least `minimum` in size and wide enough for
// its caption with room to spare. It is not an auto-default button: Enter
// belongs to the boxes (it moves to the next one), so a button is pressed
// with a click or, when it has the focus, with the space bar.
QPushButton* commandButton(QWidget* parent, const QString& objectName, const QString& caption,
                           QSize minimum = QSize(120, 36));

// The caption of a box: a label named "cap" + its text, whose buddy is the
// box (its access key and screen readers lead there).
QLabel* captionFor(QWidget* buddy, const QString& text, QWidget* parent);
