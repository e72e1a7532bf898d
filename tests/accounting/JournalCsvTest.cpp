// The journal for the tax accountant: the posted rows of a date range with
// both accounts' codes and names and the counterparty, as the CSV file's
// exact bytes.
#include "AccountingData.h"

#include "accounting/JournalCsv.h"
#include "core/CsvFile.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

using namespace accounting;

TEST(JournalCsv, TwoEntriesOfTheRangeWithAccountsAndCounterparties)
{
    TestInstallation install;
    Database db = install.database();
    db.exec(QStringLiteral("INSERT INTO 経理借方相手先ＴＢＬ VALUES (5, '米問屋, \"本店\"')"));
    db.exec(QStringLiteral("INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客名前カナ) VALUES ('77', '試験商店', 'ｼｹﾝ')"));
    // Names of code 0 must not be taken for a row without a counterparty.
    db.exec(QStringLiteral("INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客名前カナ) VALUES ('0', '顧客なし', 'ﾅｼ')"));

    const Date d = day(2024, 3, 10);
    // A sale to customer 77 late on the last day, entered before a purchase
    // from supplier 5 early on the first; the same slip number twice keeps
    // the serials' order; rows the day before and the day after are out.
    addJournal(db, 501, at(day(2024, 3, 11), 0.99), 3300, 110, 5000, 0, QStringLiteral("77"));
    addJournal(db, 502, at(d, 0.01), -1200, 5500, 10, 5, QStringLiteral("0"));
    addJournal(db, 400, at(day(2024, 3, 9), 0.99), 1, 10, 5000);
    addJournal(db, 600, at(day(2024, 3, 12)), 2, 10, 5000);

    const QByteArray expected = QByteArray("\xEF\xBB\xBF")
                                + QStringLiteral("日付,伝票番号,借方科目コード,借方科目名,貸方科目コード,貸方科目名,相手先,金額\r\n"
                                                 "2024/03/10,502,5500,米仕入,10,現金,\"米問屋, \"\"本店\"\"\",-1200\r\n"
                                                 "2024/03/11,501,110,売掛金,5000,外税売上１,試験商店,3300\r\n")
                                      .toUtf8();
    EXPECT_EQ(csv::bytes(journalCsvRows(db, d, day(2024, 3, 11))), expected);

    // An account missing from the chart keeps its row with an empty name;
    // a fraction of a yen is cut toward minus infinity; a row with no
    // counterparty at all has an empty one.
    insertLedgerRow(db, QStringLiteral("経理マスター"),
                    {.slip = 700, .date = day(2024, 3, 20), .amount = Currency::fromTicks(-12345), .debit = 4321,
                     .credit = 10});
    const QList<QStringList> rows = journalCsvRows(db, day(2024, 3, 20), day(2024, 3, 20));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1], (QStringList{"2024/03/20", "700", "4321", "", "10", "現金", "", "-2"}));
}
