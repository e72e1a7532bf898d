#pragma once
// Backup and restore of the shop's two data files: the database and
// HMWcfg.dat, copied into one of the two configured backup directories under
// their own names, and copied back.
//
// The database is a live SQLite file, so a plain file copy could miss rows
// that are committed but still in the write-ahead log, and a plain copy back
// could be undone by a stale log. Both directions therefore go through
// SQLite's backup API, every copy is checked before it replaces anything,
// and files are put in place by renaming complete ones.
//
// A shop whose database is on a server is backed up with the server's own
// tools: pg_dump writes the shop's schema into one archive beside
// HMWcfg.dat, and a restore loads it into a schema of its own, checks it
// and only then puts it in place of the live one in one step.

#include "core/OperatorError.h"
#include "session/Routines.h"

#include <QString>
#include <QStringList>

// A backup or restore that could not be done. The message is Japanese,
// names the file or directory concerned and says what is wrong.
class BackupError : public OperatorError {
public:
    using OperatorError::OperatorError;
};

// Where one backup or restore reads and writes.
struct BackupLocation {
    int number = 1;            // backup directory 1 or 2
    QString directory;         // as configured, with or without its final separator
    QString databasePath;      // the live database: directory + file name
    QString databaseFileName;  // the name the copy carries as well
    QString configurationPath; // the live HMWcfg.dat

    // The copies in the directory: a folder typed without its final "/" is
    // the same folder, never its parent with the folder's name as a prefix.
    QString backupDatabasePath() const { return inDirectory(databaseFileName); }
    QString backupConfigurationPath() const { return inDirectory(ConfigurationFileName); }
    // The archive of a server database: the database file's name with
    // ".dump" in place of its extension.
    QString backupDumpPath() const;
    QString inDirectory(const QString& fileName) const;
};

// Backup directory `number` (1 or 2) of a configuration.
BackupLocation backupLocation(const Configuration& config, int number,
                              const QString& configurationPath = configurationFilePath());

// Refuses a backup directory that is not set, does not exist, or is the
// directory of the database or of HMWcfg.dat (nothing is copied onto
// itself). Returns the absolute path of the folder the copies go to.
QString checkBackupDirectory(const BackupLocation& where);

// The names a restore keeps the pair it replaces under, beside the database
// (on a server, HMWcfg.dat's copy stays beside HMWcfg.dat).
QString savedDatabasePath(const BackupLocation& where);
QString savedConfigurationPath(const BackupLocation& where);

// Writes a consistent copy of the database (through SQLite, so committed
// rows still in the write-ahead log are included), checks it (integrity,
// schema version, every table, the same row counts as the live database),
// copies HMWcfg.dat beside it, and only then renames both into place. A
// failure throws BackupError and leaves the earlier backup as it was.
// On a server: pg_dump --format=custom of the shop's schema, checked by
// reading the whole archive back (every shop table's rows in it), then
// HMWcfg.dat as for a file.
void backUpData(const BackupLocation& where);

struct RestoreResult {
    QString savedDatabase;      // the database as it was before the restore
    QString savedConfiguration; // HMWcfg.dat as it was before the restore
};

// Restores the pair from the backup directory. First checks the backup
// (both files present, the database readable, intact, of this program and
// not of a newer schema, the configuration readable); then keeps a copy of
// the current pair beside the database; then replaces the live database
// through SQLite (open connections see the restored data at once), writes
// HMWcfg.dat atomically, reads it into `config` (the running program's
// configuration) and checks the restored database. A backup that is refused
// leaves both live files byte-identical and `config` as it was.
//
// On a server (holding the run lock "復元", so no other computer's run is
// in the middle): the archive is loaded into the schema "<schema>_restore"
// in one transaction, checked there (this version's schema, every table's
// rows as many as the archive holds, integrity, account 110 against the
// customers), and then one transaction renames the live schema to
// "<schema>_before_restore_<time>" (savedDatabase names it) and the
// restored one to the live name. Any failure before that leaves the live
// schema as it was and no restore schema behind.
RestoreResult restoreData(const BackupLocation& where, Configuration& config);

// Puts a database that has passed its checks in place of the live one, as
// a restore does: the live database (when there is one) is kept first under
// `keptAs`, then takes the checked database's pages through SQLite, so open
// connections see the new data; without a live database the checked copy
// becomes it. HMWcfg.dat is not touched. Throws BackupError; the live
// database is then as it was.
void replaceLiveDatabase(const QString& checkedDatabase, const QString& liveDatabase, const QString& keptAs);

// Why a database does not qualify as this program's data, or an empty text
// when it does: integrity check, schema version, every table of the schema.
// `path` is only used to name the file in the text.
QString databaseProblem(const QString& path);

// The tables a database of this program's schema holds.
const QStringList& schemaTables();
