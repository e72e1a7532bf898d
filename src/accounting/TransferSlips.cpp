#include "accounting/TransferSlips.h"

#include "session/Routines.h"
#include "db/Database.h"

#include <QSqlQuery>

namespace accounting {

QString transferSlipStatement()
{
    // Left joins: a sale (debit counterparty 0) or a purchase (credit
    // counterparty 0) is listed with a blank name rather than left out.
    return QStringLiteral(
        "SELECT 経.経理伝票番号 AS 経理伝票番号, 経.経理年月日 AS 経理年月日, 借.勘定科目名 AS 借方科目,"
        " 経.経理金額 AS 経理金額, 貸.勘定科目名 AS 貸方科目, 相.経理仕入経費先名 AS 借方相手先,"
        " 顧.顧客名前 AS 顧客名前"
        " FROM 経理マスター AS 経"
        " LEFT JOIN 勘定科目TBL AS 借 ON 借.科目番号 = 経.経理借方コード"
        " LEFT JOIN 勘定科目TBLＣＯＰＹ AS 貸 ON 貸.科目番号 = 経.経理貸方コード"
        " LEFT JOIN 経理借方相手先ＴＢＬ AS 相 ON 相.経理仕入経費先コード = 経.経理借方相手先コード"
        " LEFT JOIN 顧客マスター AS 顧 ON 顧.顧客コード = 経.経理貸方相手先コード"
        " WHERE 経.経理年月日 >= ? AND 経.経理年月日 < ?"
        " ORDER BY DAYNUM(経.経理年月日), 経.経理伝票番号, 経.経理シリアル");
}

QVariantList transferSlipParams(const Date& start, const Date& end)
{
    return {dayStart(start), dayAfter(end)};
}

std::vector<TransferSlipRow> loadTransferSlips(Database& db, const Date& start, const Date& end)
{
    refreshAccountCopy(db);
    std::vector<TransferSlipRow> rows;
    QSqlQuery q = db.exec(transferSlipStatement(), transferSlipParams(start, end));
    while (q.next()) {
        TransferSlipRow r;
        r.slipNumber = q.value(0).toInt();
        r.date = dateValue(q.value(1));
        r.debitAccountName = q.value(2).toString();
        r.amount = currencyValue(q.value(3));
        r.creditAccountName = q.value(4).toString();
        r.counterpartyName = q.value(5).toString();
        r.customerName = q.value(6).toString();
        rows.push_back(r);
    }
    return rows;
}

} // namespace accounting
