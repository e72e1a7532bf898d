#pragma once
// Customers, products, posted sales and gas history that the forecast tests
// put into a fresh installation's database. Days are given as day numbers
// (the date serial), so each test reads as the day arithmetic it checks.

#include "forecasts/DeliverySchedule.h"
#include "support/ShopData.h"

#include <QString>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>

// A day number as a Date; day 45000 is 2023/03/15.
inline Date day(std::int64_t n)
{
    return Date::fromSerial(double(n));
}

struct TestCustomer {
    QString code;
    QString name;
    QString phone = QStringLiteral("0120-000-000");
    double tank = 0;            // 顧客灯油タンク容量
    QString gasCode = QStringLiteral("0");
    int gasType = 0;            // 顧客ガスタイプ
    double cylinder1 = 0;       // 顧客ガスボンベ１
    double cylinder2 = 0;       // 顧客ガスボンベ２
};

inline void addCustomer(Database& db, const TestCustomer& c)
{
    insertCustomer(db, {.code = c.code,
                        .name = c.name,
                        .gasCode = c.gasCode,
                        .telephone = c.phone,
                        .tank = c.tank,
                        .gasType = c.gasType,
                        .cylinder1 = c.cylinder1,
                        .cylinder2 = c.cylinder2});
}

inline void addProduct(Database& db, const QString& code, const QString& name, double riceKg, double keroseneL)
{
    db.exec(QStringLiteral("INSERT INTO 商品マスター (単品コード, 部門コード, 単品名称, 単品米キロ, 単品灯油Ｌ)"
                           " VALUES (?, 1, ?, ?, ?)"),
            {code, name, riceKg, keroseneL});
}

// The products the tests buy: rice of 10 and 5 kg a bag, kerosene by the
// litre and in 18-litre cans, and a sundry that is neither.
inline void addForecastProducts(Database& db)
{
    addProduct(db, QStringLiteral("R10"), QStringLiteral("こしひかり１０ｋｇ"), 10, 0);
    addProduct(db, QStringLiteral("R5"), QStringLiteral("無洗米５ｋｇ"), 5, 0);
    addProduct(db, QStringLiteral("K1"), QStringLiteral("灯油配達（１Ｌ）"), 0, 1);
    addProduct(db, QStringLiteral("K18"), QStringLiteral("灯油１８Ｌ缶"), 0, 18);
    addProduct(db, QStringLiteral("S1"), QStringLiteral("洗剤"), 0, 0);
}

// A posted sales line. The product code is stored blank-padded to 13
// characters, as slips store it.
inline void addSale(Database& db, const QString& customer, const Date& date, const QString& product,
                    const QString& quantity)
{
    static int slip = 1;
    insertSalesLine(db, QStringLiteral("売上商品マスター"),
                    {.slip = slip++,
                     .date = date,
                     .customer = customer,
                     .productCode = product.leftJustified(13, QLatin1Char(' ')),
                     .productName = QStringLiteral(""),
                     .price = yen(0),
                     .quantity = *Currency::parse(quantity)});
}

struct TestGasEvent {
    Date date;
    int kind = 1;
    QString reading = QStringLiteral("0"); // ガス検針値 (CURRENCY)
    double delivered = 0;
    double leftover = 0;
};

inline void addGasEvent(Database& db, const QString& customer, const TestGasEvent& e)
{
    insertGasRow(db, {.date = e.date,
                      .kind = e.kind,
                      .customer = customer,
                      .meter = *Currency::parse(e.reading),
                      .delivered = e.delivered,
                      .remaining = e.leftover});
}

inline DeliveryRow row(const Date& date, const QString& name, const QString& phone, const QString& product,
                       const QString& quantity)
{
    return {date, name, phone, product, *Currency::parse(quantity)};
}

// Runs a walk that must end: a walk still running after `seconds` fails the
// test and ends the program, so a hang shows as a failure instead of a
// blocked run. Only for work without a database connection (connections
// belong to the thread that opened them).
template <class F>
auto endsWithin(double seconds, F&& work)
{
    auto future = std::async(std::launch::async, std::forward<F>(work));
    if (future.wait_for(std::chrono::duration<double>(seconds)) != std::future_status::ready) {
        ADD_FAILURE() << "the walk did not end within " << seconds << " s";
        std::fprintf(stderr, "walk still running after %.1f s: giving up\n", seconds);
        std::fflush(nullptr);
        std::_Exit(1);
    }
    return future.get();
}

// Gives a readable failure for rows of 配達予定.
inline void PrintTo(const DeliveryRow& r, std::ostream* os)
{
    *os << "{" << r.date.toShortString().toStdString() << ", \"" << r.name.toStdString() << "\", \""
        << r.phone.toStdString() << "\", \"" << r.productName.toStdString() << "\", "
        << r.quantity.toString().toStdString() << "}";
}
