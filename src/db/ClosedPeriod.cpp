#include "db/ClosedPeriod.h"

#include "db/Database.h"

ClosedPeriodError::ClosedPeriodError(const Date& closedThrough, const Date& refusedDay)
    // What the operator is told: the closed date and the first open day.
    : OperatorError(QStringLiteral("%1 までの期間は年次更新で締めてあります。\n"
                                   "%2 の日付では記録できません。%3 以降の日付にしてください。")
                        .arg(closedThrough.toShortString(), refusedDay.toShortString(),
                             closedThrough.addDays(1).toShortString()),
                    "date in a closed accounting period"),
      closedThrough_(closedThrough), refusedDay_(refusedDay)
{
}

std::optional<Date> closedThrough(Database& db)
{
    const QVariant last = db.scalar(QStringLiteral("SELECT MAX(年次更新期末日) FROM 年次更新ＴＢＬ"));
    if (!last.isValid() || last.isNull())
        return std::nullopt;
    return Date::fromSerial(double(Date::fromSerial(last.toDouble()).dayNumber()));
}

void requireOpenPeriod(Database& db, const Date& day)
{
    const std::optional<Date> closed = closedThrough(db);
    if (closed && day.dayNumber() <= closed->dayNumber())
        throw ClosedPeriodError(*closed, day);
}

void recordYearEnd(Database& db, const Date& periodEnd, const Date& runOn)
{
    db.exec(QStringLiteral("INSERT INTO 年次更新ＴＢＬ (年次更新期末日, 年次更新実行日) VALUES (?, ?)"),
            {sqlValue(periodEnd), sqlValue(runOn)});
}
