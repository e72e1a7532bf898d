#include "forecasts/DeliverySchedule.h"

#include "core/Text.h"
#include "db/Database.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace forecast {

QString productNameField(const QString& name)
{
    return text::fixed(name, 24);
}

Civil civil(const Date& date)
{
    // One conversion from the day number; Date's own accessors convert
    // once per part.
    const QDate d = date.toQDate();
    if (d.isValid())
        return {d.year(), d.month(), d.day()};
    return {date.year(), date.month(), date.day()};
}

QSqlQuery prepareQuery(Database& db, const QString& sql)
{
    QSqlQuery query(db.connection());
    query.setForwardOnly(!db.onServer());
    if (!query.prepare(sql))
        throw DatabaseError(query.lastError().text(), sql);
    return query;
}

void runQuery(QSqlQuery& query, const QVariantList& params)
{
    for (int i = 0; i < params.size(); ++i)
        query.bindValue(i, params[i]);
    if (!query.exec()) {
        const QSqlError e = query.lastError();
        throw DatabaseError(e.databaseText().isEmpty() ? e.text() : e.databaseText(), query.lastQuery());
    }
}

std::vector<QVariantList> readAll(Database& db, const QString& sql)
{
    std::vector<QVariantList> rows;
    QSqlQuery q = db.exec(sql);
    const int columns = q.record().count();
    while (q.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row.append(q.value(i));
        rows.push_back(std::move(row));
    }
    return rows;
}

void MonthProfile::addInterval(const Date& from, const Date& to, float intervalRate)
{
    const auto length = float(to.dayNumber() - from.dayNumber());
    days[0] += length;
    amount[0] += intervalRate * length;

    const Civil start = civil(from);
    const Civil end = civil(to);
    int y = start.year;
    int m = start.month;
    int d = start.day;
    for (;;) {
        // The history is in date order, so the walk reaches the month of
        // `to`; the first test only keeps a reversed pair from walking on.
        if (y > end.year || (y >= end.year && m > end.month))
            break;
        if (y == end.year && m == end.month) {
            const auto share = float(end.day - d);
            days[m] += share;
            amount[m] += share * intervalRate;
            break;
        }
        const auto share = float(MonthLength[m] - d);
        days[m] += share;
        amount[m] += share * intervalRate;
        d = 0;
        if (++m > 12) {
            m = 1;
            ++y;
        }
    }
}

void MonthProfile::finish()
{
    for (int m = 0; m <= 12; ++m)
        rate[m] = days[m] != 0 ? amount[m] / days[m] : 0.0f;
    for (int m = 1; m <= 12; ++m)
        if (rate[m] == 0)
            rate[m] = rate[0];
}

} // namespace forecast

void replaceDeliverySchedule(Database& db, const std::vector<DeliveryRow>& rows)
{
    Transaction transaction(db);
    db.exec(QStringLiteral("DELETE FROM 配達予定"));
    QSqlQuery insert = forecast::prepareQuery(
        db, QStringLiteral("INSERT INTO 配達予定 (配達年月日, 配達顧客名, 配達顧客電話, 配達商品名, 配達商品個数)"
                           " VALUES (?, ?, ?, ?, ?)"));
    for (const DeliveryRow& row : rows)
        forecast::runQuery(insert, {sqlValue(row.date), row.name, row.phone, row.productName, sqlValue(row.quantity)});
    insert.finish();
    transaction.commit();
}

void clearDeliverySchedule(Database& db)
{
    db.exec(QStringLiteral("DELETE FROM 配達予定"));
}

std::vector<DeliveryRow> readDeliverySchedule(Database& db)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT 配達年月日, 配達顧客名, 配達顧客電話, 配達商品名, 配達商品個数"
                                         " FROM 配達予定 ORDER BY 配達年月日, rowid"));
    std::vector<DeliveryRow> rows;
    while (q.next())
        rows.push_back({dateValue(q.value(0)), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
                        currencyValue(q.value(4))});
    return rows;
}
