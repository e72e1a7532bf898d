#include "accounting/JournalCsv.h"

#include "core/Currency.h"
#include "db/Database.h"

#include <QSqlQuery>

namespace accounting {

QString journalStatement()
{
    // 勘定科目TBL joined twice under two names: SQLite needs no second copy
    // of the chart for the credit account's name.
    return QStringLiteral(
        "SELECT 経.経理年月日, 経.経理伝票番号, 経.経理借方コード, COALESCE(借.勘定科目名, ''),"
        " 経.経理貸方コード, COALESCE(貸.勘定科目名, ''),"
        " COALESCE(相.経理仕入経費先名, 顧.顧客名前, ''), 経.経理金額"
        " FROM 経理マスター AS 経"
        " LEFT JOIN 勘定科目TBL AS 借 ON 借.科目番号 = 経.経理借方コード"
        " LEFT JOIN 勘定科目TBL AS 貸 ON 貸.科目番号 = 経.経理貸方コード"
        " LEFT JOIN 経理借方相手先ＴＢＬ AS 相"
        "   ON 経.経理借方相手先コード <> 0 AND 相.経理仕入経費先コード = 経.経理借方相手先コード"
        " LEFT JOIN 顧客マスター AS 顧 ON 経.経理貸方相手先コード <> '0' AND 顧.顧客コード = 経.経理貸方相手先コード"
        " WHERE 経.経理年月日 >= ? AND 経.経理年月日 < ?"
        " ORDER BY DAYNUM(経.経理年月日), 経.経理伝票番号, 経.経理シリアル");
}

QList<QStringList> journalCsvRows(Database& db, const Date& start, const Date& end)
{
    QList<QStringList> rows;
    rows << QStringList{QStringLiteral("日付"),     QStringLiteral("伝票番号"),
                        QStringLiteral("借方科目コード"), QStringLiteral("借方科目名"),
                        QStringLiteral("貸方科目コード"), QStringLiteral("貸方科目名"),
                        QStringLiteral("相手先"),   QStringLiteral("金額")};
    QSqlQuery q = db.exec(journalStatement(), {dayStart(start), dayAfter(end)});
    while (q.next()) {
        rows << QStringList{dateValue(q.value(0)).toShortString(),
                            QString::number(q.value(1).toLongLong()),
                            QString::number(q.value(2).toLongLong()),
                            q.value(3).toString(),
                            QString::number(q.value(4).toLongLong()),
                            q.value(5).toString(),
                            q.value(6).toString(),
                            QString::number(currencyValue(q.value(7)).wholeUnits())};
    }
    return rows;
}

} // namespace accounting
