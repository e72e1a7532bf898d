#pragma once
// One guard at the edge of every screen: an error that escapes a screen's
// opening, a button handler or any event becomes a Japanese message box, and
// the program and the main window stay up. Logic reports failures by
// exception; nothing ever reaches Qt's event loop.

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>

// The operator's words for an error: what failed and, where it helps, the
// database's or the file's own text.
QString errorMessage(const std::exception& error);
QString unknownErrorMessage();
// The title of the message box the guard shows.
QString errorTitle();

// Runs the action; an escaped exception is shown as a message. Returns true
// when the action ended normally.
bool runGuarded(const std::function<void()>& action);

// The application object of the program (and of the test programs): every
// event is delivered behind the guard, so an exception thrown in any handler
// is shown to the operator instead of ending the program.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
