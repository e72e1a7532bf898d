#pragma once
// Where the shop's database lives: a file on this computer (the default), or
// a database on a PostgreSQL server that several computers share.
//
// The configuration's database path is either a file path or the text of a
// server location, "postgresql: host=… port=… dbname=… user=… [schema=…]".
// The server location comes from HMWsrv.dat beside HMWcfg.dat, one
// key=value per line (kind, host, port, dbname, user, schema); a password
// is never written there: libpq reads it from ~/.pgpass or a service file.

#include <QString>
#include <optional>

struct ServerLocation {
    QString host;          // a name, an address or a socket folder
    int port = 5432;
    QString databaseName;
    QString user;
    QString schema;        // empty: the database's own (public)
};

inline const QString ServerFileName = QStringLiteral("HMWsrv.dat");

// True when a database path names a server rather than a file.
bool isServerLocation(const QString& databasePath);

// The server a database path names, or nothing for a file path. A server
// location that cannot be read is a std::invalid_argument with the reason.
std::optional<ServerLocation> serverLocation(const QString& databasePath);

// The database path text of a server location.
QString serverLocationText(const ServerLocation& location);

// Reads a server file's key=value lines ('#' starts a comment). Throws
// std::invalid_argument naming what is wrong (unknown kind, missing dbname).
ServerLocation parseServerFile(const QByteArray& bytes);
QByteArray serverFileBytes(const ServerLocation& location);

// What an operator reads about the database: the file's path, or the
// server's database and host.
QString shownLocation(const QString& databasePath);
