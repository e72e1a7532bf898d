#include "gas/GasTotals.h"

#include "core/Text.h"
#include "db/Database.h"

#include <QSqlQuery>

namespace gas {

QString eventListStatement()
{
    return QStringLiteral(
        "SELECT ガス年月日, 顧客名前, ガスデータ種別, ガス検針値, ガス使用量, ガス配送量, ガス残ガス量, ガス金額"
        " FROM ガスデータ, 顧客マスター, ガスデータ種別コードＴＢＬ"
        " WHERE ガス相手先コード = 顧客コード"
        " AND ガスデータ.ガスデータ種別コード = ガスデータ種別コードＴＢＬ.ガスデータ種別コード"
        " AND ガス年月日 >= ? AND ガス年月日 < ?"
        " ORDER BY ガス年月日, ガスデータ種別, ガスデータ.rowid");
}

QString totalsStatement()
{
    return QStringLiteral("SELECT SUM(ガス使用量) AS 使用量合計, SUM(ガス配送量) AS 配送量合計,"
                          " SUM(ガス残ガス量) AS 残ガス量合計, SUM(ガス金額) AS 金額合計"
                          " FROM ガスデータ WHERE ガス年月日 >= ? AND ガス年月日 < ?");
}

QVariantList rangeParams(const Date& start, const Date& end)
{
    return {dayStart(start), dayAfter(end)};
}

std::vector<Event> loadEvents(Database& db, const Date& start, const Date& end)
{
    std::vector<Event> events;
    QSqlQuery q = db.exec(eventListStatement(), rangeParams(start, end));
    while (q.next()) {
        Event e;
        e.date = dateValue(q.value(0));
        e.customerName = q.value(1).toString();
        e.kindName = q.value(2).toString();
        e.meter = currencyValue(q.value(3));
        e.usage = currencyValue(q.value(4));
        e.delivered = q.value(5).toDouble();
        e.remaining = q.value(6).toDouble();
        e.amount = currencyValue(q.value(7));
        events.push_back(e);
    }
    return events;
}

Totals loadTotals(Database& db, const Date& start, const Date& end)
{
    Totals t;
    QSqlQuery q = db.exec(totalsStatement(), rangeParams(start, end));
    if (!q.next())
        return t;
    if (!q.value(0).isNull())
        t.usage = currencyValue(q.value(0));
    if (!q.value(1).isNull())
        t.delivered = q.value(1).toDouble();
    if (!q.value(2).isNull())
        t.remaining = q.value(2).toDouble();
    if (!q.value(3).isNull())
        t.amount = currencyValue(q.value(3));
    return t;
}

} // namespace gas
