#include "receivables/InvoiceIssuing.h"

#include "db/Database.h"
#include "db/Dialect.h"
#include "session/CustomerRow.h"
#include "session/TaxBreakdown.h"

#include <QSqlQuery>
#include <cmath>

namespace {

const QString AccountColumns = QStringLiteral(
    "SELECT 顧客コード, 顧客名前, 顧客名前カナ, 顧客住所１, 顧客住所２, 顧客電話番号, 顧客郵便番号,"
    " 顧客売掛前回請求金額, 顧客売掛前回締め日, 顧客売掛入金額, 顧客売掛入金日, 顧客売掛締後売上額,"
    " 顧客売掛締切日, 顧客売掛集金日 FROM 顧客マスター WHERE 顧客コード = ?");

// The lines of one customer dated on or before the closing day: the same
// condition selects what is billed and what is deleted.
const QString LinesCondition = QStringLiteral(" WHERE 売上顧客コード = ? AND 売上年月日 < ?");

} // namespace

std::optional<CustomerAccount> readCustomerAccount(Database& db, const QString& code)
{
    QSqlQuery q = db.exec(AccountColumns, {code});
    if (!q.next())
        return std::nullopt;
    CustomerAccount a;
    static_cast<CustomerCard&>(a) = customerCardOf(q);
    a.previousClosingDate = dateValue(q.value(QStringLiteral("顧客売掛前回締め日")));
    a.lastPaymentDate = dateValue(q.value(QStringLiteral("顧客売掛入金日")));
    a.closingDay = q.value(QStringLiteral("顧客売掛締切日")).toInt();
    a.collectionDay = q.value(QStringLiteral("顧客売掛集金日")).toInt();
    return a;
}

void chooseCustomer(const CustomerAccount& a, ChosenCustomer& c)
{
    static_cast<CustomerCard&>(c) = a;
}

int dayOfMonthBoxValue(double typed)
{
    // Rounded as a whole-number conversion rounds: half to even.
    const double rounded = std::nearbyint(typed);
    if (!(rounded >= 0 && rounded <= 31))
        return 31;
    return int(rounded);
}

BoundStatement closingDayCustomers(int closingDay)
{
    return {QStringLiteral("SELECT 顧客コード, 顧客名前, 顧客売掛締切日 FROM 顧客マスター"
                           " WHERE 顧客売掛締切日 = ? ORDER BY rowid"),
            {closingDay}};
}

QStringList firstColumnTexts(Database& db, const BoundStatement& statement)
{
    QSqlQuery q = db.exec(statement.sql, statement.params);
    QStringList texts;
    while (q.next())
        texts << q.value(0).toString();
    return texts;
}

QStringList closingDayCustomerCodes(Database& db, int closingDay)
{
    return firstColumnTexts(db, closingDayCustomers(closingDay));
}

BoundStatement invoiceLinesStatement(const QString& code, Date closingDate)
{
    return {QStringLiteral("SELECT 売上シリアル, 売上年月日, 売上部門コード, 売上税区分コード, 売上単品コード,"
                           " 売上単品名, 売上単価, 売上個数, CUR_INT(CUR_MUL(売上単価, 売上個数)) AS 金額"
                           " FROM 売掛マスター")
                + LinesCondition + QStringLiteral(" ORDER BY 売上年月日, 売上シリアル"),
            {code, dayAfter(closingDate)}};
}

TaxBreakdown invoiceTaxByRate(Database& db, const QString& code, Date closingDate, const Configuration& config)
{
    // One row per slip and category, the slips in number order; the
    // breakdown of a slip is made when its last row has been read.
    QSqlQuery q = db.exec(QStringLiteral("SELECT 売上伝票番号, 売上税区分コード, SUM(CUR_INT(CUR_MUL(売上単価, 売上個数)))"
                                         " FROM 売掛マスター")
                              + LinesCondition
                              + QStringLiteral(" AND NOT (売上部門コード = ? AND 売上単品コード = ?)"
                                               " GROUP BY 売上伝票番号, 売上税区分コード ORDER BY 売上伝票番号"),
                          {code, dayAfter(closingDate), TaxLineDepartment, TaxLineProductCode});
    TaxBreakdown sum;
    SlipTotals slip;
    bool haveSlip = false;
    qint64 slipNumber = 0;
    while (q.next()) {
        const qint64 number = q.value(0).toLongLong();
        if (haveSlip && number != slipNumber) {
            sum.add(taxBreakdown(slip, config));
            slip = SlipTotals();
        }
        haveSlip = true;
        slipNumber = number;
        addToCategoryTotal(slip, q.value(1).toInt(), currencyValue(q.value(2)));
    }
    if (haveSlip)
        sum.add(taxBreakdown(slip, config));
    return sum;
}

std::optional<InvoiceComputation> computeInvoice(Database& db, const QString& code, Date closingDate,
                                                 const Configuration& config)
{
    std::optional<CustomerAccount> account = readCustomerAccount(db, code);
    if (!account)
        return std::nullopt;
    InvoiceComputation r;
    r.customer = *account;
    InvoiceValues& v = r.invoice;
    v.closingDate = closingDate;
    v.previousInvoiceAmount = account->lastInvoiceAmount;
    v.previousClosingDate = account->previousClosingDate;
    v.paymentsSinceClosing = account->paymentsSinceClosing;
    v.lastPaymentDate = account->lastPaymentDate;

    const BoundStatement s = invoiceLinesStatement(code, closingDate);
    QSqlQuery q = db.exec(s.sql, s.params);
    while (q.next()) {
        InvoiceLine line;
        line.salesSerial = q.value(0).toInt();
        line.saleDate = dateValue(q.value(1));
        line.departmentCode = std::int16_t(q.value(2).toInt());
        line.taxCategory = std::int16_t(q.value(3).toInt());
        line.productCode = q.value(4).toString();
        line.productName = q.value(5).toString();
        line.unitPrice = currencyValue(q.value(6));
        line.quantity = currencyValue(q.value(7));
        // The whole part toward minus infinity, computed here exactly as
        // the printed amount is.
        line.amount = (line.unitPrice * line.quantity).Int();
        v.currentSales += line.amount;
        v.lines.push_back(std::move(line));
    }
    if (!v.lines.empty())
        r.detailTotalDiffers = v.currentSales != account->creditSalesSinceClosing;
    v.totalBilled = v.previousInvoiceAmount - v.paymentsSinceClosing + v.currentSales;
    v.taxByRate = invoiceTaxByRate(db, code, closingDate, config);
    return r;
}

namespace {

const QString ClosedInvoiceColumns = QStringLiteral(
    "請求締切日, 請求今回売上金額, 請求合計請求金額, 請求税率１, 請求税率１軽減, 請求税率１対象額, 請求税率１消費税額,"
    " 請求税率２, 請求税率２軽減, 請求税率２対象額, 請求税率２消費税額, 請求非課税額");

// Keeps the invoice's figures by rate as the customer's last closing.
void keepClosedInvoice(Database& db, const QString& code, const InvoiceValues& v)
{
    // Two slots: the configuration has two rates.
    RateShare slot[2];
    for (std::size_t i = 0; i < v.taxByRate.rates.size() && i < 2; ++i)
        slot[i] = v.taxByRate.rates[i];
    db.exec(QStringLiteral("DELETE FROM 請求内訳ＴＢＬ WHERE 請求顧客コード = ?"), {code});
    db.exec(QStringLiteral("INSERT INTO 請求内訳ＴＢＬ (請求顧客コード, ") + ClosedInvoiceColumns
                + QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {code, sqlValue(v.closingDate), sqlValue(v.currentSales), sqlValue(v.totalBilled), sqlValue(slot[0].rate),
             int(slot[0].reduced), sqlValue(slot[0].total), sqlValue(slot[0].tax), sqlValue(slot[1].rate),
             int(slot[1].reduced), sqlValue(slot[1].total), sqlValue(slot[1].tax),
             sqlValue(v.taxByRate.notTaxable)});
}

} // namespace

std::optional<ClosedInvoice> readClosedInvoice(Database& db, const QString& code)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT ") + ClosedInvoiceColumns
                              + QStringLiteral(" FROM 請求内訳ＴＢＬ WHERE 請求顧客コード = ?"),
                          {code});
    if (!q.next())
        return std::nullopt;
    ClosedInvoice c;
    c.closingDate = dateValue(q.value(0));
    c.currentSales = currencyValue(q.value(1));
    c.totalBilled = currencyValue(q.value(2));
    for (int slot = 0; slot < 2; ++slot) {
        const int first = 3 + 4 * slot;
        RateShare share;
        share.rate = currencyValue(q.value(first));
        share.reduced = q.value(first + 1).toInt() != 0;
        share.total = currencyValue(q.value(first + 2));
        share.tax = currencyValue(q.value(first + 3));
        if (!share.rate.isZero() || !share.total.isZero())
            c.taxByRate.rates.push_back(share);
    }
    c.taxByRate.notTaxable = currencyValue(q.value(11));
    return c;
}

bool nothingToBill(const InvoiceValues& v)
{
    return v.previousInvoiceAmount.isZero() && v.paymentsSinceClosing.isZero() && v.lines.empty();
}

int closeBillingPeriod(Database& db, const QString& code, const InvoiceValues& v)
{
    Transaction tx(db);
    db.exec(QStringLiteral("DELETE FROM 売掛マスター") + LinesCondition, {code, dayAfter(v.closingDate)});
    const int deleted = db.changes();
    // The row stays locked until the commit, so a daily update on another
    // computer adds its sales before the read or after the write, never
    // between them (where the write would lose them).
    QSqlQuery row = db.exec(QStringLiteral("SELECT 顧客売掛締後売上額, 顧客売掛入金額, 顧客売掛入金日 FROM 顧客マスター"
                                           " WHERE 顧客コード = ?")
                                + forUpdate(db),
                            {code});
    if (!row.next())
        throw DatabaseError(QStringLiteral("顧客コード %1 の顧客が見つかりません。").arg(code),
                            QStringLiteral("UPDATE 顧客マスター"));
    // Computed in Currency, so an amount beyond the range fails instead of
    // being stored wrong.
    const Currency remaining = currencyValue(row.value(0)) - v.currentSales;
    // Payments another computer's daily update posted after the invoice was
    // computed are not on it: they stay for the next period, with their
    // date. With one computer there are none, and the payments start at 0.
    const Currency paidSince = currencyValue(row.value(1)) - v.paymentsSinceClosing;
    const QVariant paidSinceDate = paidSince.isZero() ? sqlValue(Date()) : row.value(2);
    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客売掛前回請求金額 = ?, 顧客売掛前回締め日 = ?,"
                           " 顧客売掛入金額 = ?, 顧客売掛入金日 = ?, 顧客売掛締後売上額 = ? WHERE 顧客コード = ?"),
            {sqlValue(v.totalBilled), sqlValue(v.closingDate), sqlValue(paidSince), paidSinceDate, sqlValue(remaining),
             code});
    keepClosedInvoice(db, code, v);
    tx.commit();
    return deleted;
}
