#include "receivables/BankDebitOutput.h"

#include "core/Text.h"

#include <QSqlQuery>

using bankfile::DebitCustomer;
using bankfile::RequestFile;
using bankfile::SettlementMethod;

const QString LeftOutOfTheFile = QStringLiteral("ファイルに含めない（貸越）");

QString settlementMethodsStatement()
{
    return QStringLiteral("SELECT 決済方法コード, 決済方法 FROM 決済方法ＴＢＬ ORDER BY 決済方法コード");
}

std::optional<SettlementMethod> readSettlementMethod(Database& db, int code)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT 決済方法コード, 決済方法, 決済銀行ファイル名, 決済銀行振替種別コード,"
                                         " 決済銀行振替委託者コード, 決済銀行振替委託者名カナ, 決済銀行名カナ, 決済銀行支店番号,"
                                         " 決済銀行支店名カナ, 決済銀行口座番号 FROM 決済方法ＴＢＬ WHERE 決済方法コード = ?"),
                          {code});
    if (!q.next())
        return std::nullopt;
    SettlementMethod m;
    m.code = q.value(0).toInt();
    m.name = q.value(1).toString();
    m.fileName = q.value(2).toString();
    m.typeCode = q.value(3).toString();
    m.contractorCode = q.value(4).toString();
    m.contractorKana = q.value(5).toString();
    m.bankKana = q.value(6).toString();
    m.branchNumber = q.value(7).toString();
    m.branchKana = q.value(8).toString();
    m.accountNumber = q.value(9).toString();
    return m;
}

QString debitCustomersStatement()
{
    // rowid: the order in which the customers were entered, the table's own.
    return QStringLiteral("SELECT 顧客コード, 顧客名前カナ, 顧客売掛前回請求金額, 顧客引落銀行コード, 顧客引落銀行支店コード,"
                          " 顧客引落口座種別, 顧客引落口座番号,"
                          " CASE WHEN 顧客売掛前回請求金額 < 0 THEN '%1' ELSE '' END AS 備考 FROM 顧客マスター"
                          " WHERE 顧客売掛決済コード = ? AND 顧客売掛前回請求金額 <> 0 ORDER BY rowid")
        .arg(LeftOutOfTheFile);
}

std::vector<DebitCustomer> readDebitCustomers(Database& db, int methodCode)
{
    QSqlQuery q = db.exec(
        QStringLiteral("SELECT c.顧客コード, c.顧客名前カナ, c.顧客売掛前回請求金額, c.顧客引落銀行コード, c.顧客引落銀行支店コード,"
                       " c.顧客引落口座種別, c.顧客引落口座番号, b.引落銀行名カナ, b.引落銀行コード IS NOT NULL"
                       " FROM 顧客マスター AS c LEFT JOIN 引落銀行ＴＢＬ AS b ON b.引落銀行コード = c.顧客引落銀行コード"
                       " WHERE c.顧客売掛決済コード = ? AND c.顧客売掛前回請求金額 <> 0 ORDER BY c.rowid"),
        {methodCode});
    std::vector<DebitCustomer> customers;
    while (q.next()) {
        DebitCustomer c;
        c.code = q.value(0).toString();
        c.kanaName = q.value(1).toString();
        c.amount = currencyValue(q.value(2));
        c.bankCode = q.value(3).toLongLong();
        c.branchCode = q.value(4).toString();
        c.accountType = q.value(5).toLongLong();
        c.accountNumber = q.value(6).toString();
        if (q.value(8).toBool())
            c.bankKana = q.value(7).toString();
        customers.push_back(c);
    }
    return customers;
}

namespace {

QString yen(Currency amount)
{
    return text::format(amount, QStringLiteral("#,##0"));
}

QString customerName(const QString& code, const QString& kana)
{
    return QStringLiteral("顧客 %1 %2").arg(code, kana).trimmed();
}

} // namespace

QString requestProblemsMessage(const RequestFile& file)
{
    QStringList lines;
    bool bankMissing = false;
    for (const bankfile::RequestProblem& p : file.problems)
        bankMissing = bankMissing || p.bankMissing;
    if (bankMissing)
        lines << QStringLiteral("銀行が登録されていません。");
    lines << QStringLiteral("次の内容を直してから、もう一度ＦＤ出力して下さい。ファイルは書き込んでいません。");
    for (const bankfile::RequestProblem& p : file.problems)
        lines << (p.customerCode.isEmpty() ? p.text : customerName(p.customerCode, p.kanaName) + QStringLiteral("：") + p.text);
    return lines.join(u'\n');
}

QString creditBalanceLines(const RequestFile& file)
{
    if (file.creditBalances.empty())
        return QString();
    QStringList lines;
    lines << QStringLiteral("次の顧客は請求金額がマイナス（貸越）のため、ファイルに含めません。");
    for (const DebitCustomer& c : file.creditBalances)
        lines << QStringLiteral("　%1　%2 円").arg(customerName(c.code, c.kanaName), yen(c.amount));
    return lines.join(u'\n');
}
