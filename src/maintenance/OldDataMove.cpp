#include "maintenance/OldDataMove.h"

#include "db/Database.h"
#include "db/DatabaseLocation.h"
#include "maintenance/Backup.h"
#include "maintenance/ShopMove.h"
#include "session/Routines.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

namespace {

void removeDatabaseFiles(const QString& path)
{
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

QString yen(const Currency& amount)
{
    return amount.toString() + QStringLiteral("円");
}

} // namespace

QString stagedOldDataPath(const Configuration& config)
{
    return config.databasePath + QStringLiteral(".import");
}

OldDataStaging stageOldData(const OldDataSource& source, const Configuration& config)
{
    if (isServerLocation(config.databasePath))
        throw OperatorError(OldDataOnServerMessage);
    OldDataStaging s;
    s.stagedPath = stagedOldDataPath(config);
    removeDatabaseFiles(s.stagedPath);
    s.summary = importOldData(source, s.stagedPath);

    if (s.summary.tables.isEmpty())
        s.problems << QStringLiteral("このファイルには取り込める表がありません（ひまわり帳の表が一つもありません）。");
    const QString problem = databaseProblem(s.stagedPath);
    if (!problem.isEmpty())
        s.problems << problem;
    Database db(s.stagedPath);
    for (const ImportedTable& t : s.summary.tables) {
        const int stored = db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(t.table)).toInt();
        if (t.rowsRead != t.rowsWritten || stored != t.rowsRead)
            s.problems << QStringLiteral("%1：旧ファイル %2 件、取り込み %3 件で一致しません。")
                              .arg(t.table)
                              .arg(t.rowsRead)
                              .arg(stored);
    }
    const ReceivablesAgreement receivables = receivablesAgreement(db);
    s.receivablesAccount = receivables.account;
    s.customerBalances = receivables.customers;
    const std::int64_t low = std::int64_t(config.slipPrefix) * 100000000;
    s.highestSlipNumber = db.scalar(QStringLiteral(
                                        "SELECT COALESCE(MAX(n), 0) FROM ("
                                        " SELECT MAX(売上伝票番号) AS n FROM 売上商品マスター WHERE 売上伝票番号 BETWEEN ? AND ?"
                                        " UNION ALL SELECT MAX(売上伝票番号) FROM 売上商品マスター仮 WHERE 売上伝票番号 BETWEEN ? AND ?"
                                        " UNION ALL SELECT MAX(経理伝票番号) FROM 経理マスター WHERE 経理伝票番号 BETWEEN ? AND ?"
                                        " UNION ALL SELECT MAX(経理伝票番号) FROM 経理マスター仮 WHERE 経理伝票番号 BETWEEN ? AND ?)"),
                                    {qlonglong(low), qlonglong(low + 99999999), qlonglong(low), qlonglong(low + 99999999),
                                     qlonglong(low), qlonglong(low + 99999999), qlonglong(low), qlonglong(low + 99999999)})
                              .toLongLong();
    s.nextSlipNumber = low + config.slipCounter;
    return s;
}

QStringList OldDataStaging::notes() const
{
    QStringList n;
    if (receivablesAccount == customerBalances)
        n << QStringLiteral("売掛金（110）の残高 %1 と顧客の売掛残高の合計は一致しています。").arg(yen(receivablesAccount));
    else
        n << QStringLiteral("売掛金（110）の残高 %1、顧客の売掛残高の合計 %2：差額 %3 があります。")
                 .arg(yen(receivablesAccount), yen(customerBalances), yen(receivablesAccount - customerBalances));
    if (highestSlipNumber >= nextSlipNumber)
        n << QStringLiteral("旧データの伝票番号 %1 が設定ファイルの次の番号 %2 に届いています。置き換えると次の番号を %3 に進めます。")
                 .arg(highestSlipNumber)
                 .arg(nextSlipNumber)
                 .arg(highestSlipNumber + 1);
    else
        n << QStringLiteral("伝票番号：旧データの最大 %1、次の番号 %2。").arg(highestSlipNumber).arg(nextSlipNumber);
    if (!summary.oldTablesNotKept.isEmpty())
        n << QStringLiteral("このプログラムにない旧ファイルの表（取り込みません）：") + summary.oldTablesNotKept.join(QStringLiteral("、"));
    if (!summary.tablesNotInOldData.isEmpty())
        n << QStringLiteral("旧ファイルにない表（新しいお店のまま）：") + summary.tablesNotInOldData.join(QStringLiteral("、"));
    return n;
}

QString replaceWithOldData(const OldDataStaging& staging, Configuration& config, const QString& configPath)
{
    if (isServerLocation(config.databasePath))
        throw BackupError(OldDataOnServerMessage);
    if (!staging.canReplace())
        throw BackupError(QStringLiteral("取り込んだデータに問題があるため、置き換えません。\n") + staging.problems.join(u'\n'));
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString kept =
        QFileInfo(config.databasePath).isFile() ? config.databasePath + QStringLiteral(".before-import-") + stamp : QString();
    // HMWcfg.dat is kept as well: its counter may be moved below.
    if (QFileInfo(configPath).isFile()) {
        const QString keptConfig = configPath + QStringLiteral(".before-import-") + stamp;
        QFile::remove(keptConfig);
        if (!QFile::copy(configPath, keptConfig))
            throw BackupError(QStringLiteral("設定ファイルの控え %1 を作れませんでした。\n何も置き換えていません。")
                                  .arg(QDir::toNativeSeparators(keptConfig)));
    }
    replaceLiveDatabase(staging.stagedPath, config.databasePath, kept);
    discardStagedOldData(staging);
    Database live(config.databasePath);
    recoverSlipCounter(live, config, configPath);
    return kept;
}

void discardStagedOldData(const OldDataStaging& staging)
{
    removeDatabaseFiles(staging.stagedPath);
}
