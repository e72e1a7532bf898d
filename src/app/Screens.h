#pragma once
// Where the main window finds the screens it opens by name. A subsystem
// registers a factory per screen; a screen not registered yet is reported to
// the operator as not available rather than opened half-built.

#include <QString>
#include <functional>

class QDialog;
class QWidget;

using ScreenFactory = std::function<QDialog*(QWidget* parent)>;

void registerScreen(const QString& screenName, ScreenFactory factory);
bool isScreenAvailable(const QString& screenName);
// Creates the screen, shows it modally through the UI service and destroys
// it when it closes, so every opening starts afresh. A screen that is not
// available shows a message naming the function instead. Returns the
// screen's result code, or -1 when it was not available.
int openScreen(const QString& screenName, const QString& functionCaption, QWidget* parent);
// The message shown for a function whose screen is not available yet.
QString notAvailableMessage(const QString& functionCaption);
