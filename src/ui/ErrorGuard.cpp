#include "ui/ErrorGuard.h"

#include "core/OperatorError.h"
#include "ui/UiService.h"

#include <QDebug>

QString errorTitle()
{
    return QStringLiteral("エラーメッセージ");
}

QString unknownErrorMessage()
{
    return QStringLiteral("予期しないエラーが発生しました。\n処理を中止しました。");
}

QString errorMessage(const std::exception& error)
{
    if (auto* e = dynamic_cast<const OperatorError*>(&error))
        return e->message();
    return QStringLiteral("処理中にエラーが発生しました。処理を中止しました。\n%1").arg(QString::fromLocal8Bit(error.what()));
}

bool runGuarded(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const std::exception& e) {
        ui().showMessage(errorMessage(e), errorTitle());
    } catch (...) {
        ui().showMessage(unknownErrorMessage(), errorTitle());
    }
    return false;
}

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    runGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
