#pragma once
// Moving a shop's data between a database file and a server database, both
// ways: every table of the shop is copied row for row into a newly created
// database of the other kind, checked there, and only then committed. The
// source is never changed, so until the operator switches over (HMWsrv.dat
// beside HMWcfg.dat) the shop goes on with what it had.

#include "core/Currency.h"
#include "db/Dialect.h"
#include "maintenance/Backup.h"

#include <QMap>
#include <QString>

class Database;
struct ServerLocation;

// The rows of every shop table, by tableKey.
QMap<QString, qint64> shopRowCounts(Database& db);

// Account 110's balance in the posted journal and the sum of the
// customers' receivable balances: the two agree in sound data.
struct ReceivablesAgreement {
    Currency account;
    Currency customers;
    bool agrees() const { return account == customers; }
};
ReceivablesAgreement receivablesAgreement(Database& db);

// What is wrong with a shop's data as a whole, or an empty text: the
// database's own integrity check and account 110 against the customers.
QString shopDataProblem(Database& db);

// Copies every shop table of `from` into `to`, which must be a new shop
// (made by Database::create, holding no more than its seed rows), in one
// transaction on `to`: the seed rows go, the rows come in batches keeping
// their serials and their order of entry, the serial counters are set past
// the largest serial, and before the commit the copy is checked (rows per
// table, integrity, account 110). Any failure throws BackupError and leaves
// `to` as it was. `from` is only read.
void copyShop(Database& from, Database& to);

// Moves the shop whose database is the file config.databasePath onto a
// server: makes the schema in the server's empty database (or uses a new
// shop already made there), copies and checks, then writes HMWsrv.dat in
// `shopFolder`, so the shop uses the server from its next start. The file
// is left as it was.
void moveShopToServer(const Configuration& config, const ServerLocation& server, const QString& shopFolder);

// Copies the server shop config.databasePath into a new database file at
// `newFilePath` and checks it: the way back from a server. A failure
// leaves no file.
void moveShopToFile(const Configuration& config, const QString& newFilePath);

// Switches a shop in `shopFolder` back to its file: HMWsrv.dat becomes
// HMWsrv.dat.off (kept, so the server location is not lost).
void useFileAgain(const QString& shopFolder);
