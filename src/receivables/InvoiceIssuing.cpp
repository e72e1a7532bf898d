#include "receivables/InvoiceIssuing.h"

#include "db/Database.h"
#include "session/CustomerRow.h"

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

std::optional<InvoiceComputation> computeInvoice(Database& db, const QString& code, Date closingDate)
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
    return r;
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
    const QVariant sales = db.scalar(QStringLiteral("SELECT 顧客売掛締後売上額 FROM 顧客マスター WHERE 顧客コード = ?"),
                                     {code});
    if (!sales.isValid())
        throw DatabaseError(QStringLiteral("顧客コード %1 の顧客が見つかりません。").arg(code),
                            QStringLiteral("UPDATE 顧客マスター"));
    // Computed in Currency, so an amount beyond the range fails instead of
    // being stored wrong.
    const Currency remaining = currencyValue(sales) - v.currentSales;
    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客売掛前回請求金額 = ?, 顧客売掛前回締め日 = ?,"
                           " 顧客売掛入金額 = ?, 顧客売掛入金日 = ?, 顧客売掛締後売上額 = ? WHERE 顧客コード = ?"),
            {sqlValue(v.totalBilled), sqlValue(v.closingDate), sqlValue(Currency()), sqlValue(Date()),
             sqlValue(remaining), code});
    tx.commit();
    return deleted;
}
