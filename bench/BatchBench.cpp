// Batches on ten years of a shop, each calling the function its screen
// calls. A batch that writes starts every iteration from a fresh copy of the
// generated database (copying is not timed); the timed part ends with the
// commit. Target: under one second each; the daily update no more than three
// times the bare SQL copy of the same rows, measured in the same run.
// With HIMAWARI_TEST_SERVER set (a PostgreSQL server, as for the tests) the
// same shop is generated on the server too, and the daily update, the
// invoice run and the trial balance run there as well, named "…/server".
#include "TenYears.h"

#include "accounting/Books.h"
#include "accounting/TransferSlips.h"
#include "session/Routines.h"
#include "session/Session.h"
#include "db/Database.h"
#include "db/DatabaseLocation.h"
#include "forecasts/GasForecast.h"
#include "forecasts/KeroseneForecast.h"
#include "forecasts/RiceForecast.h"
#include "maintenance/Backup.h"
#include "maintenance/OldDataDeletion.h"
#include "print/PrintSurface.h"
#include "print/RecordingSurface.h"
#include "print/SlipPrinting.h"
#include "receivables/BankDebitFile.h"
#include "receivables/BankDebitOutput.h"
#include "receivables/BankDebitResult.h"
#include "receivables/InvoiceIssuing.h"
#include "receivables/ReceiptIssuing.h"
#include "receivables/ReceiptPrinting.h"
#include "sales/DailyUpdate.h"
#include "ui/ValueModel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

namespace {

struct Shop {
    QTemporaryDir dir;
    QString path;     // ten years, nothing waiting
    QString heavyDay; // the same with a heavy day waiting in the holding tables
    QString work;     // the copy a writing batch works on
    QString configPath;
    Date today = Date::fromParts(2025, 1, 10);
    TenYears made;
    Configuration config;
    std::unique_ptr<Database> db; // a working copy for the batches that only fill work tables
};

Configuration configurationFor(const QString& dir, const QString& databaseFile, std::int32_t counter)
{
    Configuration c;
    c.companyName() = QStringLiteral("ひまわり商店");
    c.address() = QStringLiteral("ひまわり町１－２－３");
    c.telephone() = QStringLiteral("0123-45-6789");
    c.taxRate1() = QStringLiteral("0.1");
    c.taxRate2() = QStringLiteral("0.08");
    c.databaseFileName() = databaseFile;
    c.databaseDirectory() = dir + QStringLiteral("/");
    c.backupDirectory(1) = dir + QStringLiteral("/backup1/");
    c.backupDirectory(2) = dir + QStringLiteral("/backup2/");
    c.prefixText() = QStringLiteral(" 0");
    c.counterText() = QStringLiteral(" %1").arg(counter);
    c.adminCodeText() = QStringLiteral(" 1234");
    c.databasePath = c.databaseDirectory() + c.databaseFileName();
    c.slipPrefix = 0;
    c.slipCounter = counter;
    c.adminCode = 1234;
    return c;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

Shop& shop()
{
    static std::unique_ptr<Shop> made = [] {
        auto s = std::make_unique<Shop>();
        s->path = s->dir.filePath(QStringLiteral("himawari.db"));
        {
            Database db = Database::create(s->path);
            s->made = generateTenYears(db, s->today);
        }
        s->heavyDay = s->dir.filePath(QStringLiteral("heavy.db"));
        QFile::copy(s->path, s->heavyDay);
        {
            Database db(s->heavyDay);
            addHoldingDay(db, s->today, 20000, 5000, s->made.lastSlipNumber + 1);
        }
        s->work = s->dir.filePath(QStringLiteral("work.db"));
        s->config = configurationFor(s->dir.path(), QStringLiteral("himawari.db"), s->made.lastSlipNumber + 1);
        s->configPath = s->dir.filePath(QStringLiteral("HMWcfg.dat"));
        writeFile(s->configPath, configurationBytes(s->config, s->configPath));
        QDir(s->dir.path()).mkdir(QStringLiteral("backup1"));
        const QString tables = s->dir.filePath(QStringLiteral("tables.db"));
        QFile::copy(s->path, tables);
        s->db = std::make_unique<Database>(tables);
        return s;
    }();
    return *made;
}

// A fresh copy of `from` to work on, opened.
std::unique_ptr<Database> freshCopy(const QString& from)
{
    Shop& s = shop();
    QFile::remove(s.work);
    QFile::remove(s.work + QStringLiteral("-wal"));
    QFile::remove(s.work + QStringLiteral("-shm"));
    if (!QFile::copy(from, s.work))
        throw std::runtime_error("cannot copy the generated database");
    return std::make_unique<Database>(s.work);
}

using Clock = std::chrono::steady_clock;
double seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// The bare SQL copy of what the daily update posts: the due rows into the
// permanent tables, the credit lines into 売掛マスター, the holding rows
// deleted; no customer totals, no checks.
void bareCopy(Database& db, const Date& cutoff)
{
    const QVariant before = dayAfter(cutoff);
    Transaction tx(db);
    db.exec(QStringLiteral("INSERT INTO 売上商品マスター SELECT * FROM 売上商品マスター仮 WHERE 売上年月日 < ?"), {before});
    db.exec(QStringLiteral("INSERT INTO 売掛マスター SELECT * FROM 売上商品マスター仮 WHERE 売上年月日 < ? AND 売上種別コード = 1"),
            {before});
    db.exec(QStringLiteral("INSERT INTO 経理マスター SELECT * FROM 経理マスター仮 WHERE 経理年月日 < ?"), {before});
    db.exec(QStringLiteral("DELETE FROM 売上商品マスター仮 WHERE 売上年月日 < ?"), {before});
    db.exec(QStringLiteral("DELETE FROM 経理マスター仮 WHERE 経理年月日 < ?"), {before});
    tx.commit();
}

// The daily update of a heavy day: 20,000 sales lines and 5,000 journal
// rows over 2,000 customers. Each iteration also runs the bare copy on its
// own fresh copy, so that the ratio compares the two in the same run.
template <typename FreshDatabase>
void timeDailyUpdate(benchmark::State& state, const Date& today, FreshDatabase freshDatabase)
{
    double update = 0;
    double bare = 0;
    for (auto _ : state) {
        PostingResult r;
        {
            auto db = freshDatabase();
            const auto t = Clock::now();
            r = postHoldingRows(*db, today);
            const double took = seconds(t);
            state.SetIterationTime(took);
            update += took;
            checkBooks(*db);
        }
        {
            auto db = freshDatabase();
            const auto t = Clock::now();
            bareCopy(*db, today);
            bare += seconds(t);
        }
        state.counters["salesLines"] = r.salesLines;
        state.counters["ledgerRows"] = r.ledgerRows;
    }
    state.counters["bareCopy_ms"] = bare * 1000 / double(state.iterations());
    state.counters["ratio"] = update / bare;
}

void DailyUpdate(benchmark::State& state)
{
    Shop& s = shop();
    timeDailyUpdate(state, s.today, [&] { return freshCopy(s.heavyDay); });
}
BENCHMARK(DailyUpdate)->UseManualTime()->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

void BareSqlCopy(benchmark::State& state)
{
    Shop& s = shop();
    for (auto _ : state) {
        auto db = freshCopy(s.heavyDay);
        const auto t = Clock::now();
        bareCopy(*db, s.today);
        state.SetIterationTime(seconds(t));
    }
}
BENCHMARK(BareSqlCopy)->UseManualTime()->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

// The invoice run of closing day 5: every customer of the day opened in the
// confirmation screen, its invoice printed twice (to recording surfaces)
// and its period closed. Returns how many were closed.
int runInvoices(Database& db, const Configuration& config, const Date& today)
{
    const Date closing = Date::fromParts(today.year(), today.month(), 5);
    int closed = 0;
    SessionState session;
    session.config = config;
    for (const QString& code : closingDayCustomerCodes(db, 5)) {
        const std::optional<InvoiceComputation> computed = computeInvoice(db, code, closing, config);
        if (!computed || nothingToBill(computed->invoice))
            continue;
        chooseCustomer(computed->customer, session.customer);
        {
            PrintBatch batch;
            printInvoice(session.config, session.customer, computed->invoice, today);
            printInvoice(session.config, session.customer, computed->invoice, today);
        }
        closeBillingPeriod(db, computed->customer.code, computed->invoice);
        ++closed;
    }
    return closed;
}

// Times runInvoices on a fresh database from `freshDatabase` per iteration.
template <typename FreshDatabase>
void timeInvoiceRun(benchmark::State& state, const Configuration& config, const Date& today, FreshDatabase freshDatabase)
{
    int closed = 0;
    for (auto _ : state) {
        auto db = freshDatabase();
        PrintCapture capture;
        const auto t = Clock::now();
        closed = runInvoices(*db, config, today);
        state.SetIterationTime(seconds(t));
        checkBooks(*db);
    }
    state.counters["customers"] = closed;
}

void InvoiceRun(benchmark::State& state, bool writeAheadLog)
{
    Shop& s = shop();
    timeInvoiceRun(state, s.config, s.today, [&] {
        auto db = freshCopy(s.path);
        if (writeAheadLog)
            db->scalar(QStringLiteral("PRAGMA journal_mode = WAL"));
        return db;
    });
}
BENCHMARK_CAPTURE(InvoiceRun, asShipped, false)->UseManualTime()->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);
// The same run on a database in write-ahead-log mode: one sync a commit
// instead of the rollback journal's several. For comparison only.
BENCHMARK_CAPTURE(InvoiceRun, writeAheadLog, true)->UseManualTime()->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

// Receipts for collection day 10: each customer of the day read, and its
// receipt sheet drawn when there is something to collect.
void Receipts(benchmark::State& state)
{
    Shop& s = shop();
    int printed = 0;
    const Currency rate = Currency::fromTicks(1000);
    for (auto _ : state) {
        PrintCapture capture;
        printed = 0;
        ChosenCustomer customer;
        for (const QString& code : collectionDayCustomerCodes(*s.db, 10)) {
            const std::optional<CustomerAccount> account = readCustomerAccount(*s.db, code);
            if (!account || nothingToCollect(account->lastInvoiceAmount, account->paymentsSinceClosing))
                continue;
            chooseCustomer(*account, customer);
            ReceiptSheet sheet;
            sheet.figures = receiptFigures(account->lastInvoiceAmount, rate);
            sheet.closingDate = account->previousClosingDate;
            sheet.collectionDay = account->collectionDay;
            sheet.issueDate = s.today;
            printReceiptSheet(sheet, customer, s.config);
            ++printed;
        }
    }
    state.counters["receipts"] = printed;
}
BENCHMARK(Receipts)->Unit(benchmark::kMillisecond);

void TrialBalance(benchmark::State& state)
{
    Shop& s = shop();
    for (auto _ : state)
        benchmark::DoNotOptimize(accounting::computeTrialBalance(*s.db, s.today));
}
BENCHMARK(TrialBalance)->Unit(benchmark::kMillisecond);

// The cash ledger (account 10) written to 各勘定帳 and shown in the grid.
void CashLedger(benchmark::State& state)
{
    Shop& s = shop();
    int rows = 0;
    for (auto _ : state) {
        accounting::buildLedger(*s.db, 10);
        ValueQueryModel grid;
        grid.setStatement(*s.db, accounting::ledgerLinesStatement());
        rows = grid.rowCountAll();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(CashLedger)->Unit(benchmark::kMillisecond);

// Its two parts apart: writing 各勘定帳, and the grid reading it.
void CashLedgerWrite(benchmark::State& state)
{
    Shop& s = shop();
    for (auto _ : state)
        accounting::buildLedger(*s.db, 10);
}
BENCHMARK(CashLedgerWrite)->Unit(benchmark::kMillisecond);

// The transfer slips of the last month.
void TransferListing(benchmark::State& state)
{
    Shop& s = shop();
    const Date start = Date::fromParts(s.today.year(), s.today.month() - 1, 1);
    const Date end = Date::fromParts(s.today.year(), s.today.month(), 0);
    std::size_t rows = 0;
    for (auto _ : state)
        rows = accounting::loadTransferSlips(*s.db, start, end).size();
    state.counters["rows"] = double(rows);
}
BENCHMARK(TransferListing)->Unit(benchmark::kMillisecond);

ForecastPeriod forecastWindow(const Shop& s) { return {s.today.addDays(-30), s.today.addDays(30)}; }

void RiceForecast(benchmark::State& state)
{
    Shop& s = shop();
    std::size_t rows = 0;
    for (auto _ : state)
        rows = runRiceForecast(*s.db, forecastWindow(s)).size();
    state.counters["rows"] = double(rows);
}
BENCHMARK(RiceForecast)->Unit(benchmark::kMillisecond);

void KeroseneForecast(benchmark::State& state)
{
    Shop& s = shop();
    std::size_t rows = 0;
    for (auto _ : state)
        rows = runKeroseneForecast(*s.db, forecastWindow(s)).size();
    state.counters["rows"] = double(rows);
}
BENCHMARK(KeroseneForecast)->Unit(benchmark::kMillisecond);

void GasForecast(benchmark::State& state)
{
    Shop& s = shop();
    std::size_t rows = 0;
    for (auto _ : state)
        rows = runGasForecast(*s.db, forecastWindow(s), s.today).size();
    state.counters["rows"] = double(rows);
}
BENCHMARK(GasForecast)->Unit(benchmark::kMillisecond);

bankfile::RequestFile requestFile(Database& db, const Date& debitDate)
{
    const std::optional<bankfile::SettlementMethod> method = readSettlementMethod(db, BankDebitMethod);
    if (!method)
        throw std::runtime_error("no direct-debit method");
    return bankfile::buildRequestFile(*method, readDebitCustomers(db, BankDebitMethod), debitDate);
}

// The request file for the 500 direct-debit customers.
void BankRequestFile(benchmark::State& state)
{
    Shop& s = shop();
    bankfile::RequestFile file;
    for (auto _ : state)
        file = requestFile(*s.db, s.today.addDays(17));
    state.counters["records"] = file.count;
    if (!file.writable())
        state.SkipWithError("the request file has problems");
}
BENCHMARK(BankRequestFile)->Unit(benchmark::kMillisecond);

// The result file of that request, every customer debited: read, matched
// and booked as payments (the configuration file rewritten).
void BankResultFile(benchmark::State& state)
{
    Shop& s = shop();
    QByteArray result;
    for (QByteArray record : bankfile::splitRecords(requestFile(*s.db, s.today.addDays(17)).bytes)) {
        if (record.startsWith('2'))
            record[111] = '0';
        result += record + "\r\n";
    }
    int booked = 0;
    for (auto _ : state) {
        auto db = freshCopy(s.path);
        Configuration config = s.config;
        writeFile(s.configPath, configurationBytes(config, s.configPath));
        const auto t = Clock::now();
        const bankfile::ResultFile file = bankfile::readResultFile(result);
        const ResultPlan plan = planResultRun(*db, file, s.today);
        const BookedRun run = bookResultRun(*db, config, plan, s.today, BankAccount, QStringLiteral("JIFURI.TXT"),
                                            s.configPath);
        state.SetIterationTime(seconds(t));
        booked = run.lastSlipNumber - run.firstSlipNumber + 1;
    }
    state.counters["payments"] = booked;
}
BENCHMARK(BankResultFile)->UseManualTime()->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

// Backup of the ten-year database and HMWcfg.dat into backup directory 1.
void Backup(benchmark::State& state)
{
    Shop& s = shop();
    Configuration config = s.config;
    const BackupLocation where = backupLocation(config, 1, s.configPath);
    for (auto _ : state)
        backUpData(where);
}
// The full check a restore makes of the backup it puts back (a backup
// makes the quicker quick_check of its copy).
void IntegrityCheck(benchmark::State& state)
{
    Shop& s = shop();
    for (auto _ : state)
        benchmark::DoNotOptimize(s.db->scalar(QStringLiteral("PRAGMA integrity_check")));
}
BENCHMARK(IntegrityCheck)->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

BENCHMARK(Backup)->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

// Restore of that backup over a working copy: the full check of the staged
// copy, the replaced database kept beside it, the pages put back, the quick
// check after. Not a batch with a target (it is rare and must be sure); shown
// for what the operator waits.
void Restore(benchmark::State& state)
{
    Shop& s = shop();
    BackupLocation where = backupLocation(s.config, 1, s.configPath);
    where.databasePath = s.work;
    where.databaseFileName = QFileInfo(s.work).fileName();
    // The restored HMWcfg.dat is read into a configuration of its own.
    Configuration config = s.config;
    for (auto _ : state) {
        state.PauseTiming();
        freshCopy(s.path).reset();
        backUpData(where);
        state.ResumeTiming();
        restoreData(where, config);
    }
}
BENCHMARK(Restore)->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

// Deletion of the two oldest years of posted sales lines and gas records.
void OldDataDeletion(benchmark::State& state)
{
    Shop& s = shop();
    const Date cutoff = Date::fromParts(s.made.first.year() + 2, s.made.first.month(), s.made.first.day() - 1);
    int sales = 0;
    int gas = 0;
    for (auto _ : state) {
        auto db = freshCopy(s.path);
        const auto t = Clock::now();
        sales = deleteOldSalesLines(*db, cutoff);
        gas = deleteOldGasData(*db, cutoff);
        state.SetIterationTime(seconds(t));
    }
    state.counters["salesLines"] = sales;
    state.counters["gasRows"] = gas;
}
BENCHMARK(OldDataDeletion)->UseManualTime()->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

// ------------------------------------------------------------ on the server

// The same ten years in databases of their own on the server
// HIMAWARI_TEST_SERVER names: the generated shop, the same with the heavy
// day waiting, a copy for the batches that only fill work tables, and the
// working copy a writing batch starts from, made from one of the first two
// as a template (the server copies the files; not timed), so the user
// needs the right to create databases. All dropped at the end.
struct ServerShop {
    ServerLocation base;
    QString prefix;
    std::unique_ptr<Database> admin; // the server's own database, for CREATE and DROP DATABASE
    std::unique_ptr<Database> tables;
    Date today = Date::fromParts(2025, 1, 10);
    TenYears made;
    Configuration config;
    QStringList created;

    QString name(const char* part) const { return prefix + QString::fromLatin1(part); }
    QString location(const QString& database) const
    {
        ServerLocation l = base;
        l.databaseName = database;
        l.schema.clear();
        return serverLocationText(l);
    }
    void copy(const QString& from, const QString& to)
    {
        admin->exec(QStringLiteral("DROP DATABASE IF EXISTS ") + to + QStringLiteral(" WITH (FORCE)"));
        admin->exec(QStringLiteral("CREATE DATABASE ") + to + QStringLiteral(" TEMPLATE ") + from
                    + QStringLiteral(" STRATEGY FILE_COPY"));
        if (!created.contains(to))
            created << to;
    }
    void dropAll()
    {
        tables.reset();
        for (const QString& database : created)
            admin->exec(QStringLiteral("DROP DATABASE IF EXISTS ") + database + QStringLiteral(" WITH (FORCE)"));
        created.clear();
    }
};

std::unique_ptr<ServerShop>& serverShopHolder()
{
    static std::unique_ptr<ServerShop> made;
    return made;
}

ServerShop& serverShop()
{
    std::unique_ptr<ServerShop>& s = serverShopHolder();
    if (s)
        return *s;
    s = std::make_unique<ServerShop>();
    s->base = *serverLocation(QStringLiteral("postgresql: ") + qEnvironmentVariable("HIMAWARI_TEST_SERVER"));
    s->prefix = QStringLiteral("himawari_bench_%1_").arg(QCoreApplication::applicationPid());
    s->admin = std::make_unique<Database>(s->location(s->base.databaseName));
    const QString generated = s->name("ten_years");
    s->admin->exec(QStringLiteral("CREATE DATABASE ") + generated);
    s->created << generated;
    {
        Database db = Database::create(s->location(generated));
        s->made = generateTenYears(db, s->today);
    }
    const QString heavy = s->name("heavy_day");
    s->copy(generated, heavy);
    {
        Database db(s->location(heavy));
        addHoldingDay(db, s->today, 20000, 5000, s->made.lastSlipNumber + 1);
    }
    const QString tables = s->name("tables");
    s->copy(generated, tables);
    s->tables = std::make_unique<Database>(s->location(tables));
    // The invoice run reads the rates of the configuration only.
    s->config = shop().config;
    return *s;
}

// A fresh working copy of one of the server's databases, opened.
std::unique_ptr<Database> freshServerCopy(const char* from)
{
    ServerShop& s = serverShop();
    const QString work = s.name("work");
    s.copy(s.name(from), work);
    return std::make_unique<Database>(s.location(work));
}

void DailyUpdateOnServer(benchmark::State& state)
{
    ServerShop& s = serverShop();
    timeDailyUpdate(state, s.today, [] { return freshServerCopy("heavy_day"); });
}

void InvoiceRunOnServer(benchmark::State& state)
{
    ServerShop& s = serverShop();
    timeInvoiceRun(state, s.config, s.today, [] { return freshServerCopy("ten_years"); });
}

void TrialBalanceOnServer(benchmark::State& state)
{
    ServerShop& s = serverShop();
    for (auto _ : state)
        benchmark::DoNotOptimize(accounting::computeTrialBalance(*s.tables, s.today));
}

void registerServerBenchmarks()
{
    benchmark::RegisterBenchmark("DailyUpdate/server", DailyUpdateOnServer)
        ->UseManualTime()->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("InvoiceRun/server", InvoiceRunOnServer)
        ->UseManualTime()->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("TrialBalance/server", TrialBalanceOnServer)->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    // Printing measures text with fonts; run with QT_QPA_PLATFORM=offscreen.
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const bool server = !qEnvironmentVariableIsEmpty("HIMAWARI_TEST_SERVER");
    if (server)
        registerServerBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (serverShopHolder())
        serverShopHolder()->dropAll();
    return 0;
}
