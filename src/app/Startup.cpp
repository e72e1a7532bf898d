#include "app/Startup.h"

#include "session/Routines.h"
#include "db/Database.h"
#include "db/DatabaseLocation.h"
#include "db/Dialect.h"
#include "ui/Screens.h"
#include "ui/UiService.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString startupTitle = QStringLiteral("起動エラー");

QString shownPath(const QString& path)
{
    if (isServerLocation(path))
        return shownLocation(path);
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// A server database the shop has not used yet is filled with the tables of
// a new shop only when the operator says so. One that cannot be reached
// stops the start with the server's own words.
bool ensureServerDatabase(const QString& path, bool& created)
{
    const QString shown = shownPath(path);
    try {
        bool empty = false;
        {
            Database db(path);
            empty = !holdsTables(db);
        }
        if (!empty)
            return true;
        const bool create = ui().ask(QStringLiteral("サーバーのデータベースに表がありません。\n%1\n\n"
                                                    "ここに新しい店の表を作成しますか？\n"
                                                    "（キャンセルするとプログラムを終了します）")
                                         .arg(shown),
                                     QStringLiteral("データベース"));
        if (!create)
            return false;
        Database::create(path);
        created = true;
        return true;
    } catch (const DatabaseError& e) {
        ui().showMessage(QStringLiteral("データベースを開けません。\n%1\n%2\n\nプログラムを終了します。").arg(shown, e.databaseText()),
                         startupTitle);
        return false;
    }
}

// A missing database file is created only when the operator says so;
// `created` tells the caller it was.
bool ensureDatabase(const QString& path, bool& created)
{
    created = false;
    if (isServerLocation(path))
        return ensureServerDatabase(path, created);
    const QString shown = shownPath(path);
    if (!QFileInfo::exists(path)) {
        const bool create = ui().ask(
            QStringLiteral("データベースファイルが見つかりません。\n%1\n\n"
                           "ここに新しい空のデータベースを作成しますか？\n"
                           "（キャンセルするとプログラムを終了します）").arg(shown),
            QStringLiteral("データベース"));
        if (!create)
            return false;
        try {
            QDir().mkpath(QFileInfo(path).absolutePath());
            Database::create(path);
            created = true;
        } catch (const DatabaseError& e) {
            ui().showMessage(QStringLiteral("データベースを作成できませんでした。\n%1\n%2\n\nプログラムを終了します。")
                                 .arg(shown, e.databaseText()),
                             startupTitle);
            return false;
        }
    }
    return true;
}

} // namespace

bool startUp(SessionState& state, const QString& programDirectory)
{
    QDir::setCurrent(programDirectory);
    try {
        state.config = readConfiguration();
    } catch (const ConfigurationError& e) {
        ui().showMessage(e.message() + QStringLiteral("\n\nプログラムを終了します。"), startupTitle);
        return false;
    }
    fillDaysPerMonth(state);

    const QString path = state.config.databasePath;
    bool created = false;
    if (!ensureDatabase(path, created))
        return false;

    const QString shown = shownPath(path);
    try {
        Database db(path);
        const int version = db.schemaVersion();
        if (version == 0 || version > SchemaVersion) {
            ui().showMessage(
                (version == 0 ? QStringLiteral("このファイルはひまわり帳のデータベースではありません。\n%1")
                              : QStringLiteral("このデータベースは新しい版のプログラムで作られています。\n%1"))
                        .arg(shown)
                    + QStringLiteral("\n\nプログラムを終了します。"),
                startupTitle);
            return false;
        }
        // A database of an earlier version gains what this one adds.
        upgradeSchema(db);
        const std::int32_t before = state.config.slipCounter;
        try {
            if (recoverSlipCounter(db, state.config, configurationFilePath()))
                ui().showMessage(
                    QStringLiteral("前回の終了時に伝票番号が設定ファイルに書き込まれていませんでした。\n"
                                   "伝票番号を %1 から %2 に進めました。")
                        .arg(before)
                        .arg(state.config.slipCounter),
                    QStringLiteral("伝票番号の修復"));
        } catch (const ConfigurationError& e) {
            // The counter in memory is past the used numbers, so this run is
            // safe; the file is repaired at the next stored slip.
            ui().showMessage(e.message(), QStringLiteral("伝票番号の修復"));
        }
    } catch (const DatabaseError& e) {
        ui().showMessage(QStringLiteral("データベースを開けません。\n%1\n%2\n\nプログラムを終了します。")
                             .arg(shown, e.databaseText()),
                         startupTitle);
        return false;
    }
    // A shop moving in from the old program brings its data into the new,
    // empty database before the first slip; old data goes into a file shop
    // only (which then moves to a server whole), so a new server database
    // is not offered it.
    if (created && !isServerLocation(path) && ui().askYesNo(oldDataOffer(), QStringLiteral("データベース")))
        openScreen(state, QStringLiteral("frm旧データ取り込み"), QStringLiteral("旧データの取り込み"), nullptr);
    return true;
}

QString oldDataOffer()
{
    return QStringLiteral("新しい空のデータベースを作成しました。\n"
                          "以前のプログラムのデータ（.mdb ファイル）があれば、いま取り込めます。取り込みますか？\n"
                          "（後からでも「更新・データ削除」の「旧データの取り込み」で取り込めます）");
}
