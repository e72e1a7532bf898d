#include "session/ErrorGuard.h"

#include "session/Routines.h"
#include "core/Currency.h"
#include "db/Database.h"
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
    if (auto* e = dynamic_cast<const ConfigurationError*>(&error))
        return e->message();
    if (auto* e = dynamic_cast<const DatabaseError*>(&error))
        return QStringLiteral("データベースの処理に失敗しました。処理を中止しました。\n%1").arg(e->databaseText());
    if (dynamic_cast<const CurrencyOverflow*>(&error))
        return QStringLiteral("金額または数量が大きすぎて計算できません。\n入力した値を確かめてください。");
    if (dynamic_cast<const SlipBufferFull*>(&error))
        return QStringLiteral("伝票の明細がいっぱいです。これ以上明細を追加できません。");
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
