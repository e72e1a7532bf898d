// The five listing reports. Each reads the tables its screen leaves behind
// (or, for the product sales report, the posted sales themselves) and
// prints them as a paginated list; positions are twips on A4 portrait,
// between reportLayout::Left (700) and reportLayout::Right (11200).
#include "print/ReportEngine.h"

namespace {

using F = ReportFormat;

ReportDefinition trialBalance()
{
    ReportDefinition d;
    d.name = QStringLiteral("残高試算表.rpt");
    d.title = QStringLiteral("残高試算表");
    d.source = QStringLiteral("勘定科目TBL");
    d.statement = QStringLiteral("SELECT 科目番号, 勘定科目名, 期首残高, 借方金額, 貸方金額, 現在残高"
                                 " FROM 勘定科目TBL ORDER BY 科目番号");
    d.columns = {
        {QStringLiteral("科目番号"), QStringLiteral("科目番号"), F::Code, 700, 800},
        {QStringLiteral("勘定科目名"), QStringLiteral("勘定科目名"), F::Text, 1700, 2300},
        {QStringLiteral("期首残高"), QStringLiteral("期首残高"), F::Amount, 4100, 1700},
        {QStringLiteral("借方金額"), QStringLiteral("借方金額"), F::Amount, 5900, 1700, true},
        {QStringLiteral("貸方金額"), QStringLiteral("貸方金額"), F::Amount, 7700, 1700, true},
        {QStringLiteral("現在残高"), QStringLiteral("現在残高"), F::Amount, 9500, 1700},
    };
    // The same two totals the trial balance screen shows.
    d.figures = {
        {QStringLiteral("売上合計"), QStringLiteral("SELECT SUM(現在残高) FROM 勘定科目TBL"
                                                    " WHERE 科目番号 >= 5000 AND 科目番号 < 5500")},
        {QStringLiteral("経費合計"), QStringLiteral("SELECT SUM(現在残高) FROM 勘定科目TBL"
                                                    " WHERE 科目番号 >= 6000 AND 科目番号 < 8000")},
    };
    return d;
}

ReportDefinition accountLedger()
{
    ReportDefinition d;
    d.name = QStringLiteral("各勘定帳.rpt");
    d.title = QStringLiteral("各勘定帳");
    d.source = QStringLiteral("各勘定帳");
    // Lines in the order the ledger screen wrote them (date order, each
    // line's running balance from the opening balance); each account named
    // beside its number.
    d.statement = QStringLiteral(
        "SELECT 帳.年月日 AS 年月日,"
        " CASE WHEN 帳.借方科目 = 0 THEN '' ELSE 帳.借方科目 || ' ' || COALESCE(借.勘定科目名, '') END AS 借方,"
        " CASE WHEN 帳.貸方科目 = 0 THEN '' ELSE 帳.貸方科目 || ' ' || COALESCE(貸.勘定科目名, '') END AS 貸方,"
        " 帳.借方金額 AS 借方金額, 帳.貸方金額 AS 貸方金額, 帳.残高 AS 残高"
        " FROM 各勘定帳 AS 帳"
        " LEFT JOIN 勘定科目TBL AS 借 ON 借.科目番号 = 帳.借方科目"
        " LEFT JOIN 勘定科目TBL AS 貸 ON 貸.科目番号 = 帳.貸方科目"
        " ORDER BY 帳.rowid");
    d.columns = {
        {QStringLiteral("年月日"), QStringLiteral("年月日"), F::Date, 700, 1200},
        {QStringLiteral("借方科目"), QStringLiteral("借方"), F::Text, 2000, 2300},
        {QStringLiteral("貸方科目"), QStringLiteral("貸方"), F::Text, 4400, 2300},
        {QStringLiteral("借方金額"), QStringLiteral("借方金額"), F::Amount, 6800, 1400, true},
        {QStringLiteral("貸方金額"), QStringLiteral("貸方金額"), F::Amount, 8300, 1400, true},
        {QStringLiteral("残高"), QStringLiteral("残高"), F::Amount, 9800, 1400},
    };
    return d;
}

ReportDefinition receivableBalances()
{
    ReportDefinition d;
    d.name = QStringLiteral("売掛残高.rpt");
    d.title = QStringLiteral("売掛残高一覧");
    d.source = QStringLiteral("顧客マスター");
    // Every customer whose balance is not zero, largest first; credit
    // balances after the positive ones; ties in the table's order.
    d.statement = QStringLiteral(
        "SELECT 顧客コード, 顧客名前, 顧客売掛前回請求金額, 顧客売掛入金額, 顧客売掛締後売上額,"
        " 顧客売掛前回請求金額 - 顧客売掛入金額 + 顧客売掛締後売上額 AS 売掛残高"
        " FROM 顧客マスター"
        " WHERE 顧客売掛前回請求金額 - 顧客売掛入金額 + 顧客売掛締後売上額 <> 0"
        " ORDER BY 売掛残高 DESC, rowid");
    d.columns = {
        {QStringLiteral("顧客コード"), QStringLiteral("顧客コード"), F::Text, 700, 1100},
        {QStringLiteral("顧客名前"), QStringLiteral("顧客名前"), F::Text, 1900, 2700},
        {QStringLiteral("前回請求金額"), QStringLiteral("顧客売掛前回請求金額"), F::Amount, 4700, 1500, true},
        {QStringLiteral("入金額"), QStringLiteral("顧客売掛入金額"), F::Amount, 6300, 1500, true},
        {QStringLiteral("締後売上額"), QStringLiteral("顧客売掛締後売上額"), F::Amount, 7900, 1600, true},
        {QStringLiteral("売掛残高"), QStringLiteral("売掛残高"), F::Amount, 9600, 1600, true},
    };
    return d;
}

ReportDefinition deliverySchedule()
{
    ReportDefinition d;
    d.name = QStringLiteral("配達予定.rpt");
    d.title = QStringLiteral("配達予定表");
    d.source = QStringLiteral("配達予定");
    d.statement = QStringLiteral("SELECT 配達年月日, 配達顧客名, 配達顧客電話, 配達商品名, 配達商品個数"
                                 " FROM 配達予定 ORDER BY 配達年月日, rowid");
    d.columns = {
        {QStringLiteral("配達予定日"), QStringLiteral("配達年月日"), F::Date, 700, 1200},
        {QStringLiteral("顧客名"), QStringLiteral("配達顧客名"), F::Text, 2000, 2800},
        {QStringLiteral("電話番号"), QStringLiteral("配達顧客電話"), F::Text, 4900, 1700},
        {QStringLiteral("商品名"), QStringLiteral("配達商品名"), F::Text, 6700, 3000},
        {QStringLiteral("個数"), QStringLiteral("配達商品個数"), F::Amount, 9800, 1400},
    };
    return d;
}

ReportDefinition productSales()
{
    ReportDefinition d;
    d.name = QStringLiteral("ガス集計.rpt");
    d.title = QStringLiteral("販売商品集計");
    d.source = QStringLiteral("売上商品マスター");
    // The posted sales of one product in a range of whole days. The amount
    // is quantity × unit price, not cut to whole yen, as the screen's total.
    d.statement = QStringLiteral(
        "SELECT 売上年月日, 売上単品名, 売上単価, 売上個数, CUR_MUL(売上個数, 売上単価) AS 金額"
        " FROM 売上商品マスター"
        " WHERE 売上単品コード = ? AND 売上年月日 >= ? AND 売上年月日 < ?"
        " ORDER BY 売上年月日, 売上シリアル");
    d.parameterNames = {QStringLiteral("商品コード"), QStringLiteral("開始日"), QStringLiteral("終了日の翌日")};
    d.columns = {
        {QStringLiteral("売上年月日"), QStringLiteral("売上年月日"), F::Date, 700, 1200},
        {QStringLiteral("商品名"), QStringLiteral("売上単品名"), F::Text, 2000, 4000},
        {QStringLiteral("単価"), QStringLiteral("売上単価"), F::Amount, 6100, 1500},
        {QStringLiteral("個数"), QStringLiteral("売上個数"), F::Amount, 7700, 1500, true},
        {QStringLiteral("金額"), QStringLiteral("金額"), F::Amount, 9300, 1900, true},
    };
    return d;
}

} // namespace

const std::vector<ReportDefinition>& reportDefinitions()
{
    static const std::vector<ReportDefinition> definitions = {
        trialBalance(), accountLedger(), receivableBalances(), deliverySchedule(), productSales(),
    };
    return definitions;
}
