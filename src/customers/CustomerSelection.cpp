#include "customers/CustomerSelection.h"

#include "db/Database.h"
#include "session/CustomerRow.h"

#include <QSqlQuery>

namespace {

const QString Captions = QStringLiteral("あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわ");

// ｱ is U+FF71; the half-width letters up to ﾜ follow in the order of the
// buttons, as they do in the single-byte Japanese character set.
constexpr char16_t FirstHalfWidthLetter = 0xFF71;

const QString GasCondition = QStringLiteral("顧客ガスコード <> '0'");

const QString DetailColumns = QStringLiteral(
    "SELECT 顧客コード, 顧客名前, 顧客名前カナ, 顧客住所１, 顧客住所２, 顧客電話番号, 顧客郵便番号,"
    " 顧客売掛前回請求金額, 顧客売掛入金額, 顧客売掛締後売上額, 顧客ガスボンベ１ FROM 顧客マスター");

std::optional<CustomerDetails> readDetails(QSqlQuery query)
{
    if (!query.next())
        return std::nullopt;
    CustomerDetails d;
    static_cast<CustomerCard&>(d) = customerCardOf(query);
    d.gasCylinder1 = float(query.value(QStringLiteral("顧客ガスボンベ１")).toDouble());
    return d;
}

} // namespace

QString kanaInitialCaption(int index)
{
    return index >= 0 && index < KanaInitialCount ? QString(Captions.at(index)) : QString();
}

QString kanaInitialPattern(int index)
{
    if (index < 0 || index >= KanaInitialCount)
        return QString();
    return QString(QChar(char16_t(FirstHalfWidthLetter + index))) + QLatin1Char('*');
}

CustomerListStatement customerListStatement(CustomerScope scope, const QString& pattern)
{
    QStringList conditions;
    QVariantList params;
    if (!pattern.isEmpty()) {
        // The pattern is a beginning followed by "*": compared as the name's
        // first letters, which both kinds of database read alike (a server
        // has no GLOB).
        const QString beginning = pattern.endsWith(u'*') ? pattern.chopped(1) : pattern;
        conditions << QStringLiteral("substr(顧客名前カナ, 1, %1) = ?").arg(beginning.size());
        params << beginning;
    }
    if (scope == CustomerScope::Gas)
        conditions << GasCondition;
    QString sql = QStringLiteral("SELECT 顧客コード, 顧客名前カナ FROM 顧客マスター");
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    // The code breaks ties, so customers of the same kana name keep one order.
    sql += QStringLiteral(" ORDER BY 顧客名前カナ, 顧客コード");
    return {sql, params};
}

std::optional<CustomerDetails> firstCustomer(Database& db, CustomerScope scope)
{
    QString sql = DetailColumns;
    if (scope == CustomerScope::Gas)
        sql += QStringLiteral(" WHERE ") + GasCondition;
    sql += QStringLiteral(" ORDER BY rowid LIMIT 1");
    return readDetails(db.exec(sql));
}

std::optional<CustomerDetails> findCustomer(Database& db, const QString& code, CustomerScope scope)
{
    QString sql = DetailColumns + QStringLiteral(" WHERE 顧客コード = ?");
    if (scope == CustomerScope::Gas)
        sql += QStringLiteral(" AND ") + GasCondition;
    return readDetails(db.exec(sql, {code}));
}
