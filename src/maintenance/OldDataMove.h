#pragma once
// Moving a shop's old data in: the old program's tables brought into a new
// database beside the live one, checked there, and only on the operator's
// word put in place of the live database the way a restore does (the live
// database kept first). Nothing here touches the live files before that.

#include "core/Currency.h"
#include "oldfile/OldDataImport.h"
#include "session/Values.h"

#include <QString>
#include <QStringList>
#include <cstdint>

class OldDataSource;

// The old data in its new file, with what the checks found.
struct OldDataStaging {
    QString stagedPath; // the new database beside the live one
    ImportSummary summary;
    // Reasons the new file may not replace the live database: an integrity
    // failure, a table whose row count differs from the old file's.
    QStringList problems;
    // The books' receivables (account 110: posted debits − credits) and the
    // customers' balances (前回請求金額 − 入金額 + 締後売上額), side by side:
    // a difference is shown, not refused (balances set on the balance
    // screen move no journal row).
    Currency receivablesAccount;
    Currency customerBalances;
    // The highest slip number of the configuration's prefix in the old data,
    // and the number HMWcfg.dat would give next.
    std::int64_t highestSlipNumber = 0;
    std::int64_t nextSlipNumber = 0;
    bool canReplace() const { return problems.isEmpty(); }
    // The notes the summary shows under the tables.
    QStringList notes() const;
};

// Where the new file goes: beside the live database.
QString stagedOldDataPath(const Configuration& config);

// The refusal a shop whose database is on a server gets: old data comes in
// only by a database file taking the place of another, and a server's
// database is no file. Such a shop imports into a file shop and moves it.
inline const QString OldDataOnServerMessage =
    QStringLiteral("サーバーのデータベースには旧データを取り込めません。\n"
                   "旧データはデータベースファイルの店に取り込んで確かめてから、店ごとサーバーに移してください。");

// Imports the old data into a new file beside the live database (an earlier
// one left behind is removed first) and checks it. A value the import
// cannot keep throws OldDataImportError, a file problem OperatorError; the
// new file is then gone and the live database untouched. A shop on a
// server is refused (OperatorError, OldDataOnServerMessage) before anything
// is read or written.
OldDataStaging stageOldData(const OldDataSource& source, const Configuration& config);

// Puts the checked file in place of the live database: the live one is
// kept beside it first (returned, empty when there was none), and HMWcfg.dat
// beside itself (".before-import-<time>"), then the live database takes
// the new pages; the slip counter of HMWcfg.dat is moved past the old
// data's numbers when it must be. The staged file is removed afterwards.
// Throws BackupError or OperatorError; the live database is then as it was.
// A shop on a server is refused (BackupError, OldDataOnServerMessage) with
// nothing changed and the staged file left to discard.
QString replaceWithOldData(const OldDataStaging& staging, Configuration& config, const QString& configPath);

// Removes the staged file (the operator did not take it).
void discardStagedOldData(const OldDataStaging& staging);
