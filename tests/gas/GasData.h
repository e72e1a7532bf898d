#pragma once
// Gas customers, gas rows and table snapshots the gas tests start from.

#include "session/Routines.h"
#include "core/Text.h"
#include "support/ShopData.h"
#include "support/TestInstallation.h"

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace gastest {

// Gas customer 501 北村　一郎 (billed 5000, paid 1000, sales since 2000),
// gas customer 502 南　花子, and customer 600 東　商店 who takes no gas.
inline void addGasCustomers(Database& db)
{
    insertCustomer(db, {.code = QStringLiteral("501"),
                        .name = QStringLiteral("北村　一郎"),
                        .kana = QStringLiteral("ｷﾀﾑﾗ ｲﾁﾛｳ"),
                        .gasCode = QStringLiteral("1"),
                        .telephone = QStringLiteral("0263-11-2222"),
                        .postalCode = QStringLiteral("390-0001"),
                        .address1 = QStringLiteral("長野県試験村３－４"),
                        .address2 = QStringLiteral("北村荘"),
                        .lastInvoice = yen("5000"),
                        .payments = yen("1000"),
                        .sales = yen("2000"),
                        .cylinder1 = 20.0});
    const auto withoutAddress = [&](const char* code, const char* gasCode, const char* name, const char* kana,
                                    double cylinder) {
        insertCustomer(db, {.code = QString::fromUtf8(code),
                            .name = QString::fromUtf8(name),
                            .kana = QString::fromUtf8(kana),
                            .gasCode = QString::fromUtf8(gasCode),
                            .telephone = QStringLiteral(""),
                            .postalCode = QStringLiteral(""),
                            .address1 = QStringLiteral(""),
                            .address2 = QStringLiteral(""),
                            .lastInvoice = yen("0"),
                            .payments = yen("0"),
                            .sales = yen("0"),
                            .cylinder1 = cylinder});
    };
    withoutAddress("502", "2", "南　花子", "ﾐﾅﾐ ﾊﾅｺ", 50.0);
    withoutAddress("600", "0", "東　商店", "ﾋｶﾞｼ ｼｮｳﾃﾝ", 0.0);
}

// One gas row as the screen would store it.
inline void addGasRow(Database& db, const Date& date, int kind, const QString& customer, const char* meter,
                      const char* usage = "0", double delivered = 0, double remaining = 0, const char* amount = "0",
                      int account = 0)
{
    insertGasRow(db, {.date = date,
                      .kind = kind,
                      .customer = customer,
                      .meter = yen(meter),
                      .usage = yen(usage),
                      .delivered = delivered,
                      .remaining = remaining,
                      .amount = yen(amount),
                      .account = account});
}

// Gives a kind the name an operator chose for it in the kind table.
inline void renameKind(Database& db, int kind, const char* name)
{
    db.exec(QStringLiteral("UPDATE ガスデータ種別コードＴＢＬ SET ガスデータ種別 = ? WHERE ガスデータ種別コード = ?"),
            {QString::fromUtf8(name), kind});
}

// The stored gas rows as "date|kind|customer|meter|usage|delivered|remaining|amount|account",
// amounts in yen.
inline QStringList gasRows(Database& db)
{
    QStringList rows;
    QSqlQuery q = db.exec(QStringLiteral("SELECT * FROM ガスデータ ORDER BY rowid"));
    while (q.next()) {
        rows << QStringList{dateValue(q.value(0)).toShortString(), q.value(1).toString(), q.value(2).toString(),
                            currencyValue(q.value(3)).toString(), currencyValue(q.value(4)).toString(),
                            QString::number(q.value(5).toDouble()), QString::number(q.value(6).toDouble()),
                            currencyValue(q.value(7)).toString(), q.value(8).toString()}
                    .join(u'|');
    }
    return rows;
}

// The gas rows of the totals tests: four events in May 2024 that the list
// shows, two outside May, and two in May that the totals count but the list
// leaves out.
inline void addTotalsRows(Database& db)
{
    // In the range of May 2024, on its first and its last day.
    addGasRow(db, day(2024, 5, 1), 8, "501", "1234.5");
    addGasRow(db, Date::fromSerial(day(2024, 5, 31).serial() + 0.999), 1, "501", "1250", "15.5", 0, 0, "3240", 110);
    addGasRow(db, day(2024, 5, 20), 6, "502", "88", "0", 20, 0);
    addGasRow(db, day(2024, 5, 20), 9, "502", "0", "0", 20, 2.5, "9800", 10);
    // Outside it.
    addGasRow(db, day(2024, 4, 30), 1, "501", "1200", "10", 0, 0, "1000", 10);
    addGasRow(db, day(2024, 6, 1), 1, "501", "1300", "50", 0, 0, "5000", 10);
    // In it, but of a customer no longer in the master and of a kind no
    // longer in the kind table: counted, not listed.
    addGasRow(db, day(2024, 5, 10), 1, "999", "10", "4", 0, 0, "700", 10);
    addGasRow(db, day(2024, 5, 11), 3, "502", "20", "2", 1, 1, "300", 10);
}

// An installation holding the gas customers and the rows of the totals
// tests, for the queries and for the screen over them.
class GasTotalsFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        addGasCustomers(db);
        addTotalsRows(db);
    }

    TestInstallation inst;
    Database db = inst.database();
};

// Rewrites the installation's configuration with the given slip numbering
// and reads it into the session.
inline void setSlipNumbering(TestInstallation& inst, int prefix, int counter)
{
    Configuration c = inst.defaultConfiguration();
    c.prefixText() = text::Str(std::int64_t(prefix));
    c.counterText() = text::Str(std::int64_t(counter));
    inst.writeConfigurationFile(configurationBytes(c, inst.configurationPath()));
    testSession().config = readConfiguration(inst.configurationPath());
}

} // namespace gastest
