// Screen openings on ten years of a shop: each benchmark runs what the
// screen runs when it opens or when the operator clicks a list, with the
// same statements and bound values, and fetches every row to the end as the
// screen's grid or list does. Target: under 100 ms each.
#include "TenYears.h"

#include "session/Routines.h"
#include "session/Session.h"
#include "customers/CustomerChange.h"
#include "customers/CustomerHistory.h"
#include "customers/CustomerSelection.h"
#include "db/Database.h"
#include "gas/GasInput.h"
#include "masters/GridEditor.h"
#include "masters/GridEditors.h"
#include "receivables/BalanceList.h"
#include "receivables/InvoiceIssuing.h"
#include "sales/DailyUpdate.h"
#include "sales/ProductCatalog.h"
#include "ui/ValueModel.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>
#include <memory>

namespace {

// The session state of the benchmark run, as the main window holds one.
SessionState benchState;

struct Shop {
    QTemporaryDir dir;
    QString path;
    QString reviewPath; // the same shop with 2,000 holding sales lines waiting
    Date today = Date::fromParts(2025, 1, 10);
    TenYears made;
    std::unique_ptr<Database> db;
    std::unique_ptr<Database> reviewDb;
    QString busiestCustomer; // the most history lines
};

Shop& shop()
{
    static std::unique_ptr<Shop> made = [] {
        auto s = std::make_unique<Shop>();
        s->path = s->dir.filePath(QStringLiteral("himawari.db"));
        {
            Database db = Database::create(s->path);
            s->made = generateTenYears(db, s->today);
        }
        s->reviewPath = s->dir.filePath(QStringLiteral("review.db"));
        QFile::copy(s->path, s->reviewPath);
        {
            Database db(s->reviewPath);
            addHoldingDay(db, s->today, 2000, 500, s->made.lastSlipNumber + 1);
        }
        s->db = std::make_unique<Database>(s->path);
        s->reviewDb = std::make_unique<Database>(s->reviewPath);
        s->busiestCustomer = s->db->scalar(QStringLiteral("SELECT 売上顧客コード FROM 売上商品マスター"
                                                          " GROUP BY 売上顧客コード ORDER BY COUNT(*) DESC LIMIT 1"))
                                 .toString();
        // The grid editors open the configured database.
        benchState.config.databasePath = s->path;
        benchState.config.taxRate1() = QStringLiteral("0.1");
        benchState.config.taxRate2() = QStringLiteral("0.08");
        benchState.config.reducedRate = 2;
        return s;
    }();
    return *made;
}

// Runs a listing as the screen's grid does and counts its rows.
int showAll(Database& db, const QString& sql, const QVariantList& params = {},
            const QHash<QString, ValueKind>& computed = {})
{
    ValueQueryModel model;
    model.setStatement(db, sql, params, computed);
    return model.rowCountAll();
}

void counters(benchmark::State& state, int rows)
{
    state.counters["rows"] = rows;
}

// Both customer pickers, one kana initial button at a time (0 = あ … 43 = わ).
void CustomerPickerKana(benchmark::State& state, CustomerScope scope)
{
    Shop& s = shop();
    const CustomerListStatement st = customerListStatement(scope, kanaInitialPattern(int(state.range(0))));
    int rows = 0;
    for (auto _ : state)
        rows = showAll(*s.db, st.sql, st.params);
    counters(state, rows);
}
BENCHMARK_CAPTURE(CustomerPickerKana, all, CustomerScope::All)->DenseRange(0, KanaInitialCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CustomerPickerKana, gas, CustomerScope::Gas)->DenseRange(0, KanaInitialCount - 1)->Unit(benchmark::kMillisecond);

// Opening a picker: the whole list and the first customer's details.
void CustomerPickerOpening(benchmark::State& state, CustomerScope scope)
{
    Shop& s = shop();
    const CustomerListStatement st = customerListStatement(scope);
    int rows = 0;
    for (auto _ : state) {
        rows = showAll(*s.db, st.sql, st.params);
        benchmark::DoNotOptimize(firstCustomer(*s.db, scope));
    }
    counters(state, rows);
}
BENCHMARK_CAPTURE(CustomerPickerOpening, all, CustomerScope::All)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CustomerPickerOpening, gas, CustomerScope::Gas)->Unit(benchmark::kMillisecond);

// The customer history of the customer with the longest history, with its
// latest posted slip and the lines "前回どおり" would repeat.
void CustomerHistory(benchmark::State& state)
{
    Shop& s = shop();
    int rows = 0;
    for (auto _ : state) {
        rows = showAll(*s.db, customerHistoryStatement(), {s.busiestCustomer},
                       {{HistoryAmountColumn, ValueKind::Currency}});
        const std::optional<LatestSlip> latest = latestPostedSlip(*s.db, s.busiestCustomer);
        if (latest && latest->slipNumber)
            benchmark::DoNotOptimize(slipLinesToRepeat(*s.db, s.busiestCustomer, *latest->slipNumber));
    }
    counters(state, rows);
}
BENCHMARK(CustomerHistory)->Unit(benchmark::kMillisecond);

// The product picker: the departments, then the products of one department.
void ProductPicker(benchmark::State& state)
{
    Shop& s = shop();
    std::size_t rows = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(listDepartments(*s.db));
        rows = listProducts(*s.db, int(state.range(0))).size();
    }
    counters(state, int(rows));
}
BENCHMARK(ProductPicker)->DenseRange(1, 10)->Unit(benchmark::kMillisecond);

// The pre-posting review with 2,000 holding sales lines and 500 holding
// ledger rows: both listings, the account copy refreshed in between.
void PrePostingReview(benchmark::State& state)
{
    Shop& s = shop();
    int sales = 0;
    int ledger = 0;
    for (auto _ : state) {
        sales = showAll(*s.reviewDb, holdingSalesStatement());
        refreshAccountCopy(*s.reviewDb);
        ledger = showAll(*s.reviewDb, holdingLedgerStatement());
    }
    state.counters["salesRows"] = sales;
    state.counters["ledgerRows"] = ledger;
}
BENCHMARK(PrePostingReview)->Unit(benchmark::kMillisecond);

// The customer change screen: one customer's values.
void CustomerChange(benchmark::State& state)
{
    Shop& s = shop();
    for (auto _ : state)
        benchmark::DoNotOptimize(loadCustomer(*s.db, s.busiestCustomer));
}
BENCHMARK(CustomerChange)->Unit(benchmark::kMillisecond);

// The balance list: every customer with a balance, largest first.
void BalanceList(benchmark::State& state)
{
    Shop& s = shop();
    int rows = 0;
    for (auto _ : state)
        rows = showAll(*s.db, balanceListStatement(), {}, {{BalanceColumn, ValueKind::Currency}});
    counters(state, rows);
}
BENCHMARK(BalanceList)->Unit(benchmark::kMillisecond);

// The invoice confirmation of the billing customer with the most open lines:
// the customer, its lines and the computed invoice.
void InvoiceConfirmation(benchmark::State& state)
{
    Shop& s = shop();
    const QString code = s.db->scalar(QStringLiteral("SELECT 売上顧客コード FROM 売掛マスター GROUP BY 売上顧客コード"
                                                     " ORDER BY COUNT(*) DESC LIMIT 1"))
                             .toString();
    const Date closing = s.today.addDays(-5);
    int rows = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(computeInvoice(*s.db, code, closing, benchState.config));
        const BoundStatement lines = invoiceLinesStatement(code, closing);
        rows = showAll(*s.db, lines.sql, lines.params, {{InvoiceAmountColumn, ValueKind::Currency}});
    }
    counters(state, rows);
}
BENCHMARK(InvoiceConfirmation)->Unit(benchmark::kMillisecond);

// The gas input of a customer with ten years of monthly readings: the
// history grid, the two code lists and the base reading.
void GasHistory(benchmark::State& state)
{
    Shop& s = shop();
    const QString code = QStringLiteral("00008");
    int rows = 0;
    for (auto _ : state) {
        rows = showAll(*s.db, gas::historyStatement(), {code});
        showAll(*s.db, gas::kindListStatement());
        showAll(*s.db, gas::paymentListStatement());
        benchmark::DoNotOptimize(gas::baseReading(*s.db, code));
    }
    counters(state, rows);
}
BENCHMARK(GasHistory)->Unit(benchmark::kMillisecond);

// Each grid editor, opened as the operator opens it (the widget reads its
// table at construction).
const std::vector<std::pair<const char*, std::function<GridEditor*()>>>& gridEditors()
{
    static const std::vector<std::pair<const char*, std::function<GridEditor*()>>> editors = {
        {"店コード", [] { return new frm設定店コード(benchState); }},
        {"担当者", [] { return new frm設定担当者(benchState); }},
        {"仕入先", [] { return new frm設定仕入先(benchState); }},
        {"経費先", [] { return new frm設定経費先(benchState); }},
        {"決済方法", [] { return new frm設定決済方法(benchState); }},
        {"引落銀行", [] { return new frm設定引落銀行(benchState); }},
        {"口座種別", [] { return new frm設定口座種別(benchState); }},
        {"売掛条件", [] { return new frm設定売掛条件(benchState); }},
        {"米サービスレベル", [] { return new frm設定米サービスレべル(benchState); }},
        {"灯油サービスレベル", [] { return new frm設定灯油サービスレベル(benchState); }},
        {"ガスタイプ", [] { return new frm設定ガスタイプ(benchState); }},
        {"ガスデータ種別", [] { return new frm設定ガスデータ種別(benchState); }},
        {"勘定科目", [] { return new frm設定勘定科目(benchState); }},
        {"売上種別", [] { return new frm設定売上種別(benchState); }},
        {"商品部門", [] { return new frm商品部門(benchState); }},
        {"商品商品", [] { return new frm商品商品(benchState); }},
        {"商品税区分", [] { return new frm商品税区分(benchState); }},
    };
    return editors;
}

void GridEditorOpening(benchmark::State& state)
{
    shop();
    const auto& editor = gridEditors().at(std::size_t(state.range(0)));
    state.SetLabel(QString::fromUtf8(editor.first).toStdString());
    int rows = 0;
    for (auto _ : state) {
        std::unique_ptr<GridEditor> screen(editor.second());
        rows = screen->rowCount();
    }
    counters(state, rows);
}
BENCHMARK(GridEditorOpening)->DenseRange(0, 16)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // The grid editors are widgets; run with QT_QPA_PLATFORM=offscreen.
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
