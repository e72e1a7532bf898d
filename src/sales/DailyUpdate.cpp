#include "sales/DailyUpdate.h"

#include "db/Database.h"
#include "db/Dialect.h"

#include <QSqlQuery>
#include <QStringList>

namespace {

// The customer a credit line of the holding table is billed to: its own
// customer unless that customer's billing code names another one ("0"
// means itself). Both codes compare as customer codes (trailing blanks do
// not count).
const QString BilledCodeOfOwn = QStringLiteral(
    "CASE WHEN own.顧客売掛請求先コード = '0' THEN own.顧客コード ELSE own.顧客売掛請求先コード END");

// How many unpostable rows the message names before it says how many more.
constexpr std::size_t NamedRowsInMessage = 15;

QString unpostableRowsMessage(const std::vector<UnpostableRow>& rows)
{
    QStringList lines;
    lines << QStringLiteral("顧客マスターに登録されていない顧客の伝票があるため、日次更新を中止しました。")
          << QStringLiteral("データは何も変更していません。")
          << QString();
    for (std::size_t i = 0; i < rows.size() && i < NamedRowsInMessage; ++i) {
        const UnpostableRow& r = rows[i];
        QString line = QStringLiteral("伝票番号 %1　顧客コード「%2」").arg(r.slipNumber).arg(r.customerCode.trimmed());
        if (r.billingCodeMissing)
            line += QStringLiteral("の請求先コード「%1」").arg(r.billingCode.trimmed());
        lines << line;
    }
    if (rows.size() > NamedRowsInMessage)
        lines << QStringLiteral("ほか %1 件").arg(rows.size() - NamedRowsInMessage);
    lines << QString()
          << QStringLiteral("顧客を登録するか、転記前の確認でこれらの伝票を削除してから、もう一度日次更新を行ってください。");
    return lines.join(u'\n');
}

} // namespace

QString holdingSalesStatement()
{
    return QStringLiteral(
        "SELECT 売上シリアル, 売上伝票番号, 売上年月日, 顧客名前, 売上単品名, 売上単価, 売上個数"
        " FROM 売上商品マスター仮, 顧客マスター"
        " WHERE 顧客コード = 売上顧客コード"
        " ORDER BY 売上伝票番号, 売上シリアル");
}

QString holdingLedgerStatement()
{
    return QStringLiteral(
        "SELECT 経理シリアル, 経理伝票番号, 経理年月日, 経理金額,"
        " 勘定科目TBL.勘定科目名, 勘定科目TBLＣＯＰＹ.勘定科目名, 顧客名前"
        " FROM 経理マスター仮, 顧客マスター, 勘定科目TBL, 勘定科目TBLＣＯＰＹ"
        " WHERE 顧客コード = 経理貸方相手先コード"
        " AND 勘定科目TBL.科目番号 = 経理マスター仮.経理借方コード"
        " AND 勘定科目TBLＣＯＰＹ.科目番号 = 経理マスター仮.経理貸方コード"
        " ORDER BY 経理伝票番号, 経理シリアル");
}

HoldingSlipDeletion deleteHoldingSlip(Database& db, std::int32_t slipNumber)
{
    HoldingSlipDeletion done;
    Transaction tx(db);
    db.exec(QStringLiteral("DELETE FROM 売上商品マスター仮 WHERE 売上伝票番号 = ?"), {slipNumber});
    done.salesLines = db.changes();
    db.exec(QStringLiteral("DELETE FROM 経理マスター仮 WHERE 経理伝票番号 = ?"), {slipNumber});
    done.ledgerRows = db.changes();
    tx.commit();
    return done;
}

UnpostableRowsError::UnpostableRowsError(std::vector<UnpostableRow> rows)
    : OperatorError(unpostableRowsMessage(rows), "holding rows name no customer"), rows_(std::move(rows))
{
}

std::vector<UnpostableRow> unpostableRows(Database& db, const Date& cutoff)
{
    const QVariant before = dayAfter(cutoff);
    // Credit lines of an unknown customer, credit lines billed to an
    // unknown customer, payments from an unknown customer. The billing code
    // column is NULL unless it is the one missing.
    QSqlQuery q = db.exec(QStringLiteral(
                              "SELECT h.売上伝票番号, h.売上顧客コード, NULL FROM 売上商品マスター仮 h"
                              " WHERE h.売上年月日 < ? AND h.売上種別コード = 1"
                              " AND NOT EXISTS (SELECT 1 FROM 顧客マスター c WHERE c.顧客コード = h.売上顧客コード)"
                              " UNION"
                              " SELECT h.売上伝票番号, h.売上顧客コード, own.顧客売掛請求先コード"
                              " FROM 売上商品マスター仮 h JOIN 顧客マスター own ON own.顧客コード = h.売上顧客コード"
                              " WHERE h.売上年月日 < ? AND h.売上種別コード = 1 AND own.顧客売掛請求先コード <> '0'"
                              " AND NOT EXISTS (SELECT 1 FROM 顧客マスター b WHERE b.顧客コード = own.顧客売掛請求先コード)"
                              " UNION"
                              " SELECT l.経理伝票番号, l.経理貸方相手先コード, NULL FROM 経理マスター仮 l"
                              " WHERE l.経理年月日 < ? AND l.経理貸方コード = ?"
                              " AND NOT EXISTS (SELECT 1 FROM 顧客マスター c WHERE c.顧客コード = l.経理貸方相手先コード)"
                              " UNION"
                              " SELECT l.経理伝票番号, l.経理貸方相手先コード, NULL FROM 経理マスター仮 l"
                              " WHERE l.経理年月日 < ? AND l.経理借方コード = ?"
                              " AND NOT EXISTS (SELECT 1 FROM 売上商品マスター仮 s WHERE s.売上伝票番号 = l.経理伝票番号)"
                              " AND NOT EXISTS (SELECT 1 FROM 顧客マスター c WHERE c.顧客コード = l.経理貸方相手先コード)"
                              " ORDER BY 1, 2"),
                          {before, before, before, ReceivablesCreditAccount, before, ReceivablesCreditAccount});
    std::vector<UnpostableRow> rows;
    while (q.next()) {
        UnpostableRow r;
        r.slipNumber = q.value(0).toInt();
        r.customerCode = q.value(1).toString();
        if (!q.value(2).isNull()) {
            r.billingCodeMissing = true;
            r.billingCode = q.value(2).toString();
        }
        rows.push_back(r);
    }
    return rows;
}

PostingResult postHoldingRows(Database& db, const Date& cutoff)
{
    // Whole days: everything before the start of the day after the cut-off,
    // so a line entered at 23:59 of the cut-off day is posted.
    const QVariant before = dayAfter(cutoff);
    PostingResult result;

    BatchMemory memory(db);
    Transaction tx(db);
    // Another computer's slip is either in this run whole or waits for the
    // next: no held row can appear between the statements below.
    lockAgainstNewRows(db, {QStringLiteral("売上商品マスター仮"), QStringLiteral("経理マスター仮")});
    std::vector<UnpostableRow> unknown = unpostableRows(db, cutoff);
    if (!unknown.empty())
        throw UnpostableRowsError(std::move(unknown));

    // Entries debiting receivables charge the customer they name. A slip's
    // own debit row is told apart by its sales lines, still in the holding
    // table at this point (the sales stage below removes them).
    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客売掛入金額 = 顧客売掛入金額 - t.金額"
                           " FROM (SELECT l.経理貸方相手先コード AS 顧客, SUM(l.経理金額) AS 金額 FROM 経理マスター仮 l"
                           "       WHERE l.経理年月日 < ? AND l.経理借方コード = ?"
                           "       AND NOT EXISTS (SELECT 1 FROM 売上商品マスター仮 s WHERE s.売上伝票番号 = l.経理伝票番号)"
                           "       GROUP BY l.経理貸方相手先コード) AS t"
                           " WHERE 顧客マスター.顧客コード = t.顧客"),
            {before, ReceivablesCreditAccount});
    result.customersDebited = db.changes();

    // Sales stage. Each credit line raises its billed customer's credit
    // sales by the whole part (toward minus infinity) of quantity × price.
    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客売掛締後売上額 = 顧客売掛締後売上額 + t.金額"
                           " FROM (SELECT b.顧客コード AS 請求先, SUM(CUR_INT(CUR_MUL(h.売上個数, h.売上単価))) AS 金額"
                           "       FROM 売上商品マスター仮 h"
                           "       JOIN 顧客マスター own ON own.顧客コード = h.売上顧客コード"
                           "       JOIN 顧客マスター b ON b.顧客コード = ")
                + BilledCodeOfOwn
                + QStringLiteral("       WHERE h.売上年月日 < ? AND h.売上種別コード = 1"
                                 "       GROUP BY b.顧客コード) AS t"
                                 " WHERE 顧客マスター.顧客コード = t.請求先"),
            {before});
    result.customersCharged = db.changes();

    // The receivable detail: the credit lines, billed customer's code in
    // place of the customer's own.
    db.exec(QStringLiteral("INSERT INTO 売掛マスター (売上シリアル, 売上伝票番号, 売上年月日, 売上顧客コード, 売上種別コード,"
                           " 売上部門コード, 売上税区分コード, 売上単品コード, 売上単品名, 売上単価, 売上個数)"
                           " SELECT h.売上シリアル, h.売上伝票番号, h.売上年月日,"
                           " CASE WHEN own.顧客売掛請求先コード = '0' THEN h.売上顧客コード ELSE own.顧客売掛請求先コード END,"
                           " h.売上種別コード, h.売上部門コード, h.売上税区分コード, h.売上単品コード, h.売上単品名,"
                           " h.売上単価, h.売上個数"
                           " FROM 売上商品マスター仮 h JOIN 顧客マスター own ON own.顧客コード = h.売上顧客コード"
                           " WHERE h.売上年月日 < ? AND h.売上種別コード = 1"
                           " ORDER BY h.売上シリアル"),
            {before});
    result.receivableLines = db.changes();

    db.exec(QStringLiteral("INSERT INTO 売上商品マスター SELECT * FROM 売上商品マスター仮 WHERE 売上年月日 < ? ORDER BY 売上シリアル"),
            {before});
    result.salesLines = db.changes();
    db.exec(QStringLiteral("DELETE FROM 売上商品マスター仮 WHERE 売上年月日 < ?"), {before});

    // Ledger stage. A payment is credited to exactly the customer the row
    // names (no billing customer); the payment date is that of the
    // customer's last payment row of the run in table order.
    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客売掛入金額 = 顧客売掛入金額 + p.金額, 顧客売掛入金日 = p.入金日"
                           " FROM (SELECT g.顧客 AS 顧客, g.金額 AS 金額, last.経理年月日 AS 入金日"
                           "       FROM (SELECT c.顧客コード AS 顧客, SUM(l.経理金額) AS 金額, MAX(l.経理シリアル) AS 最終"
                           "             FROM 経理マスター仮 l JOIN 顧客マスター c ON c.顧客コード = l.経理貸方相手先コード"
                           "             WHERE l.経理年月日 < ? AND l.経理貸方コード = ?"
                           "             GROUP BY c.顧客コード) AS g"
                           "       JOIN 経理マスター仮 last ON last.経理シリアル = g.最終) AS p"
                           " WHERE 顧客マスター.顧客コード = p.顧客"),
            {before, ReceivablesCreditAccount});
    result.customersPaid = db.changes();

    db.exec(QStringLiteral("INSERT INTO 経理マスター SELECT * FROM 経理マスター仮 WHERE 経理年月日 < ? ORDER BY 経理シリアル"),
            {before});
    result.ledgerRows = db.changes();
    db.exec(QStringLiteral("DELETE FROM 経理マスター仮 WHERE 経理年月日 < ?"), {before});

    tx.commit();
    return result;
}
