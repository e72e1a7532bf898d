#include "db/DatabaseLocation.h"

#include <QStringList>
#include <stdexcept>

namespace {

const QString Prefix = QStringLiteral("postgresql:");

// A value with a blank or a quote is written in single quotes with
// backslash escapes, as libpq writes its own connection strings.
QString quoted(const QString& value)
{
    if (!value.isEmpty() && !value.contains(u' ') && !value.contains(u'\'') && !value.contains(u'\\'))
        return value;
    QString out = QStringLiteral("'");
    for (QChar c : value) {
        if (c == u'\'' || c == u'\\')
            out += u'\\';
        out += c;
    }
    return out + u'\'';
}

// Splits "k=v k='v w'" into pairs.
QList<QPair<QString, QString>> pairs(const QString& text)
{
    QList<QPair<QString, QString>> out;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && text[i].isSpace())
            ++i;
        if (i >= n)
            break;
        const qsizetype eq = text.indexOf(u'=', i);
        if (eq < 0)
            throw std::invalid_argument("a setting without '='");
        const QString key = text.mid(i, eq - i).trimmed();
        i = eq + 1;
        QString value;
        if (i < n && text[i] == u'\'') {
            ++i;
            while (i < n && text[i] != u'\'') {
                if (text[i] == u'\\' && i + 1 < n)
                    ++i;
                value += text[i++];
            }
            if (i >= n)
                throw std::invalid_argument("an unterminated quote");
            ++i;
        } else {
            while (i < n && !text[i].isSpace())
                value += text[i++];
        }
        out.append({key, value});
    }
    return out;
}

void setValue(ServerLocation& location, const QString& key, const QString& value)
{
    if (key == u"host") {
        location.host = value;
    } else if (key == u"port") {
        bool ok = false;
        location.port = value.toInt(&ok);
        if (!ok || location.port <= 0 || location.port > 65535)
            throw std::invalid_argument(("the port is not a number: " + value).toStdString());
    } else if (key == u"dbname") {
        location.databaseName = value;
    } else if (key == u"user") {
        location.user = value;
    } else if (key == u"schema") {
        location.schema = value;
    } else {
        throw std::invalid_argument(("an unknown setting: " + key).toStdString());
    }
}

} // namespace

bool isServerLocation(const QString& databasePath)
{
    return databasePath.startsWith(Prefix);
}

std::optional<ServerLocation> serverLocation(const QString& databasePath)
{
    if (!isServerLocation(databasePath))
        return std::nullopt;
    ServerLocation location;
    for (const auto& [key, value] : pairs(databasePath.mid(Prefix.size())))
        setValue(location, key, value);
    if (location.databaseName.isEmpty())
        throw std::invalid_argument("no database name (dbname)");
    return location;
}

QString serverLocationText(const ServerLocation& location)
{
    QStringList parts;
    if (!location.host.isEmpty())
        parts << QStringLiteral("host=") + quoted(location.host);
    parts << QStringLiteral("port=%1").arg(location.port);
    parts << QStringLiteral("dbname=") + quoted(location.databaseName);
    if (!location.user.isEmpty())
        parts << QStringLiteral("user=") + quoted(location.user);
    if (!location.schema.isEmpty())
        parts << QStringLiteral("schema=") + quoted(location.schema);
    return Prefix + u' ' + parts.join(u' ');
}

ServerLocation parseServerFile(const QByteArray& bytes)
{
    ServerLocation location;
    bool server = false;
    for (QString line : QString::fromUtf8(bytes).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            throw std::invalid_argument(("a line without '=': " + line).toStdString());
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == u"kind") {
            if (value != u"postgresql")
                throw std::invalid_argument(("an unknown kind of database: " + value).toStdString());
            server = true;
        } else {
            setValue(location, key, value);
        }
    }
    if (!server)
        throw std::invalid_argument("no kind=postgresql line");
    if (location.databaseName.isEmpty())
        throw std::invalid_argument("no database name (dbname)");
    return location;
}

QByteArray serverFileBytes(const ServerLocation& location)
{
    QString text = QStringLiteral("kind=postgresql\n");
    if (!location.host.isEmpty())
        text += QStringLiteral("host=%1\n").arg(location.host);
    text += QStringLiteral("port=%1\n").arg(location.port);
    text += QStringLiteral("dbname=%1\n").arg(location.databaseName);
    if (!location.user.isEmpty())
        text += QStringLiteral("user=%1\n").arg(location.user);
    if (!location.schema.isEmpty())
        text += QStringLiteral("schema=%1\n").arg(location.schema);
    return text.toUtf8();
}

QString shownLocation(const QString& databasePath)
{
    try {
        if (const auto server = serverLocation(databasePath)) {
            QString shown = QStringLiteral("サーバー %1 のデータベース %2").arg(server->host.isEmpty() ? QStringLiteral("localhost") : server->host,
                                                                    server->databaseName);
            if (!server->schema.isEmpty())
                shown += QStringLiteral("（%1）").arg(server->schema);
            return shown;
        }
    } catch (const std::invalid_argument&) {
    }
    return databasePath;
}
