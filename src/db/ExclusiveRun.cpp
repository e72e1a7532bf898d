#include "db/ExclusiveRun.h"

#include "db/Database.h"

#include <QSqlQuery>

namespace {

// The server's advisory lock number of the runs ("HMWR").
constexpr qlonglong RunLockKey = 0x484D5752;

// While a computer holds the lock its connection's application name is
// "<computer>／<run>", which every other connection may read.
const QString NameSeparator = QStringLiteral("／");

void setApplicationName(Database& db, const QString& name)
{
    QByteArray bytes = name.toUtf8();
    QString shortened = name;
    while (bytes.size() > 63) {
        shortened.chop(1);
        bytes = shortened.toUtf8();
    }
    db.exec(QStringLiteral("SELECT set_config('application_name', ?, false)"), {shortened});
}

} // namespace

RunHeldElsewhere::RunHeldElsewhere(const QString& computer, const QString& run)
    : OperatorError(QStringLiteral("別のコンピューター（%1）で%2を実行中です。\n終わってから、もう一度実行してください。")
                        .arg(computer, run.isEmpty() ? QStringLiteral("締め処理") : run)),
      computer_(computer)
{
}

ExclusiveRun::ExclusiveRun(Database& db, const QString& runName) : db_(db)
{
    if (!db_.onServer())
        return;
    if (!db_.scalar(QStringLiteral("SELECT pg_try_advisory_lock(?)"), {RunLockKey}).toBool()) {
        // A 64-bit key shows in pg_locks as its two halves.
        QSqlQuery holder = db_.exec(QStringLiteral("SELECT a.application_name FROM pg_locks l"
                                                   " JOIN pg_stat_activity a ON a.pid = l.pid"
                                                   " WHERE l.locktype = 'advisory' AND l.granted"
                                                   " AND l.classid = 0 AND l.objid = ? AND l.objsubid = 1"
                                                   " AND l.database = (SELECT oid FROM pg_database WHERE datname = current_database())"),
                                    {RunLockKey});
        QString computer, run;
        if (holder.next()) {
            const QString name = holder.value(0).toString();
            const qsizetype at = name.lastIndexOf(NameSeparator);
            computer = at < 0 ? name : name.left(at);
            run = at < 0 ? QString() : name.mid(at + NameSeparator.size());
        }
        throw RunHeldElsewhere(computer.isEmpty() ? QStringLiteral("不明") : computer, run);
    }
    held_ = true;
    try {
        setApplicationName(db_, Database::computerName() + NameSeparator + runName);
    } catch (...) {
        db_.exec(QStringLiteral("SELECT pg_advisory_unlock(?)"), {RunLockKey});
        throw;
    }
}

ExclusiveRun::~ExclusiveRun()
{
    if (!held_)
        return;
    try {
        setApplicationName(db_, Database::computerName());
        db_.exec(QStringLiteral("SELECT pg_advisory_unlock(?)"), {RunLockKey});
    } catch (...) {
        // The lock ends with the connection at the latest.
    }
}
