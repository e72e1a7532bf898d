#pragma once
// Where the main window finds the screens it opens by name. A subsystem
// registers a factory per screen; a screen not registered yet is reported to
// the operator as not available rather than opened half-built.

#include <QString>
#include <functional>

class QDialog;
class QWidget;
struct SessionState;

// Creates the screen, running its opening steps. A factory may return
// nullptr when the screen's own opening ends it before it is shown (the
// sales slip whose customer picker was closed without a choice). The screen
// gets the session state of the run it belongs to.
using ScreenFactory = std::function<QDialog*(SessionState& state, QWidget* parent)>;
// What the opener asks of the screen after it is loaded and before it is
// shown, such as hiding a button that belongs to another flow.
using ScreenRequest = std::function<void(QDialog& screen)>;

void registerScreen(const QString& screenName, ScreenFactory factory);
bool isScreenAvailable(const QString& screenName);
// Creates the screen, applies the request, shows it modally through the UI
// service and destroys it when it closes, so every opening starts afresh.
// A screen that is not available shows a message naming the function
// instead. Returns the screen's result code (QDialog::Accepted when it was
// confirmed), or -1 when it was not available or ended while opening.
// Errors that escape the screen's opening or its handlers are shown to the
// operator as a message; the caller and the main window stay up.
int openScreen(SessionState& state, const QString& screenName, const QString& functionCaption, QWidget* parent,
               const ScreenRequest& request = {});
// Runs a screen as openScreen does, for a screen opened by its own opener
// because it needs more than the session state: `create` makes it (nullptr
// when it ends while opening) and it is shown modally behind the guard and
// destroyed when it closes. Returns its result code, or -1.
int runScreen(const std::function<QDialog*()>& create, const ScreenRequest& request = {});
// The message shown for a function whose screen is not available yet.
QString notAvailableMessage(const QString& functionCaption);
