#include "db/ExclusiveRun.h"

#include "db/Database.h"

#include <QSqlQuery>
#include <QStringList>

#include <tuple>
#include <utility>

namespace {

// The server's advisory lock of the runs: the number "HMWR" and the shop's
// schema (one database may hold several shops, each in its own schema).
constexpr int RunLockKey = 0x484D5752;
const QString LockArguments = QStringLiteral("?, hashtext(current_schema())");

// While a computer holds the lock its connection's application name, which
// every other connection may read, says who it is and what it runs. A
// server keeps only printable ASCII there (other bytes become "?") and 63
// bytes at most, so the two names go as Base64 behind a mark:
// "HMW:<computer>.<run>", each of UTF-8 ("u…") or of UTF-16 ("w…"),
// whichever is shorter (Japanese takes a third less room in UTF-16), the
// computer's name shortened to fit.
const QString RunMark = QStringLiteral("HMW:");
constexpr qsizetype ApplicationNameBytes = 63;
constexpr auto Base64Options = QByteArray::Base64Encoding | QByteArray::OmitTrailingEquals;

QByteArray utf16(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text)
        bytes.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xff));
    return bytes;
}

QString encodedName(const QString& text)
{
    const QString narrow = QLatin1Char('u') + QString::fromLatin1(text.toUtf8().toBase64(Base64Options));
    const QString wide = QLatin1Char('w') + QString::fromLatin1(utf16(text).toBase64(Base64Options));
    return wide.size() < narrow.size() ? wide : narrow;
}

QString decodedName(const QString& part)
{
    if (part.isEmpty())
        return QString();
    const auto decoded = QByteArray::fromBase64Encoding(part.mid(1).toLatin1(),
                                                        Base64Options | QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return QString();
    const QByteArray& bytes = *decoded;
    if (part.front() == u'u')
        return QString::fromUtf8(bytes);
    if (part.front() != u'w' || bytes.size() % 2 != 0)
        return QString();
    QString text;
    for (qsizetype i = 0; i < bytes.size(); i += 2)
        text.append(QChar(char16_t((uchar(bytes.at(i)) << 8) | uchar(bytes.at(i + 1)))));
    return text;
}

QString runApplicationName(const QString& computer, const QString& run)
{
    const QString runPart = QLatin1Char('.') + encodedName(run.left(8));
    QString shortened = computer;
    QString name = RunMark + encodedName(shortened) + runPart;
    while (name.size() > ApplicationNameBytes && !shortened.isEmpty()) {
        shortened.chop(1);
        name = RunMark + encodedName(shortened) + runPart;
    }
    return name;
}

// The computer's and the run's names from an application name, or empty
// ones when the holder has not named its run yet.
std::pair<QString, QString> namesOfRun(const QString& applicationName)
{
    if (!applicationName.startsWith(RunMark))
        return {};
    const QStringList parts = applicationName.mid(RunMark.size()).split(QLatin1Char('.'));
    if (parts.size() != 2)
        return {};
    return {decodedName(parts[0]), decodedName(parts[1])};
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
    if (!db_.scalar(QStringLiteral("SELECT pg_try_advisory_lock(%1)").arg(LockArguments), {RunLockKey}).toBool()) {
        // A key of two numbers shows in pg_locks as classid and objid.
        QSqlQuery holder = db_.exec(QStringLiteral("SELECT a.application_name FROM pg_locks l"
                                                   " JOIN pg_stat_activity a ON a.pid = l.pid"
                                                   " WHERE l.locktype = 'advisory' AND l.granted"
                                                   " AND l.classid = ?::bigint::oid AND l.objid = hashtext(current_schema())::oid"
                                                   " AND l.objsubid = 2"
                                                   " AND l.database = (SELECT oid FROM pg_database WHERE datname = current_database())"),
                                    {RunLockKey});
        QString computer, run;
        if (holder.next())
            std::tie(computer, run) = namesOfRun(holder.value(0).toString());
        throw RunHeldElsewhere(computer.isEmpty() ? QStringLiteral("不明") : computer, run);
    }
    held_ = true;
    try {
        db_.setApplicationName(runApplicationName(Database::computerName(), runName));
    } catch (...) {
        db_.exec(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(LockArguments), {RunLockKey});
        throw;
    }
}

ExclusiveRun::~ExclusiveRun()
{
    if (!held_)
        return;
    try {
        db_.setApplicationName(Database::computerName());
        db_.exec(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(LockArguments), {RunLockKey});
    } catch (...) {
        // The lock ends with the connection at the latest.
    }
}
