// The three long batches (the daily update, the invoice run of a closing
// day, the trial balance) on the same generated shop, once in a database
// file and once on the server: both give the same books, and the server
// takes no more than three times the file's time plus half a second.
// bin/batch_bench measures the same at ten years' volume.
#include "TenYears.h"

#include "accounting/Books.h"
#include "db/Database.h"
#include "receivables/InvoiceIssuing.h"
#include "sales/DailyUpdate.h"
#include "session/Routines.h"
#include "support/TestInstallation.h"

#include <QTemporaryDir>
#include <chrono>
#include <gtest/gtest.h>

namespace {

// A tenth of the ten-year shop's customers, a fifth of its slips.
TenYearsVolume reducedVolume()
{
    TenYearsVolume v;
    v.customers = 400;
    v.slips = 10000;
    v.journalRows = 60000;
    v.gasCustomers = 50;
    return v;
}

struct BatchRun {
    TenYears made;
    PostingResult posted;
    int invoicesClosed = 0;
    accounting::TrialBalanceTotals trial;
    TenYearsBooks books;
    double dailySeconds = 0;
    double invoiceSeconds = 0;
    double trialSeconds = 0;
};

using Clock = std::chrono::steady_clock;
double since(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// Generates the shop with a day waiting in the holding tables, then times
// the daily update, the invoice run of closing day 5 (each customer's
// invoice computed and its period closed) and the trial balance.
BatchRun runBatches(Database& db, const Configuration& config)
{
    BatchRun r;
    const Date today = Date::fromParts(2025, 1, 10);
    r.made = generateTenYears(db, today, reducedVolume());
    addHoldingDay(db, today, 3000, 800, r.made.lastSlipNumber + 1);

    auto t = Clock::now();
    r.posted = postHoldingRows(db, today);
    r.dailySeconds = since(t);

    const Date closing = Date::fromParts(today.year(), today.month(), 5);
    t = Clock::now();
    for (const QString& code : closingDayCustomerCodes(db, 5)) {
        const std::optional<InvoiceComputation> computed = computeInvoice(db, code, closing, config);
        if (!computed || nothingToBill(computed->invoice))
            continue;
        closeBillingPeriod(db, computed->customer.code, computed->invoice);
        ++r.invoicesClosed;
    }
    r.invoiceSeconds = since(t);

    t = Clock::now();
    r.trial = accounting::computeTrialBalance(db, today);
    r.trialSeconds = since(t);

    checkBooks(db);
    r.books = readBooks(db);
    return r;
}

} // namespace

TEST(BatchTimes, TheServerRunsTheLongBatchesWithinThreeTimesTheFile)
{
    if (!testingOnServer())
        GTEST_SKIP() << "the comparison needs a server";
    TestInstallation inst; // a schema of its own on the server
    const Configuration config = inst.defaultConfiguration();
    QTemporaryDir fileDir;
    ASSERT_TRUE(fileDir.isValid());

    BatchRun onFile;
    {
        Database file = Database::create(fileDir.filePath(QStringLiteral("shop.db")));
        onFile = runBatches(file, config);
    }
    BatchRun onServer;
    {
        Database server = inst.database();
        ASSERT_TRUE(server.onServer());
        onServer = runBatches(server, config);
    }

    // The same shop and the same results on both.
    EXPECT_EQ(onServer.made.salesLines, onFile.made.salesLines);
    EXPECT_EQ(onServer.made.journalRows, onFile.made.journalRows);
    EXPECT_EQ(onServer.made.receivableLines, onFile.made.receivableLines);
    EXPECT_EQ(onServer.made.gasRows, onFile.made.gasRows);
    EXPECT_EQ(onServer.posted.salesLines, 3000);
    EXPECT_EQ(onServer.posted.salesLines, onFile.posted.salesLines);
    EXPECT_EQ(onServer.posted.receivableLines, onFile.posted.receivableLines);
    EXPECT_EQ(onServer.posted.ledgerRows, 800);
    EXPECT_EQ(onServer.posted.ledgerRows, onFile.posted.ledgerRows);
    EXPECT_EQ(onServer.posted.customersCharged, onFile.posted.customersCharged);
    EXPECT_EQ(onServer.posted.customersPaid, onFile.posted.customersPaid);
    EXPECT_GT(onFile.invoicesClosed, 0);
    EXPECT_EQ(onServer.invoicesClosed, onFile.invoicesClosed);
    EXPECT_EQ(onServer.trial.sales, onFile.trial.sales);
    EXPECT_EQ(onServer.trial.expenses, onFile.trial.expenses);
    EXPECT_EQ(onServer.books.account110, onFile.books.account110);
    EXPECT_EQ(onServer.books.customerBalances, onFile.books.customerBalances);
    EXPECT_EQ(onServer.books.openReceivableLines, onFile.books.openReceivableLines);

    const double slack = 0.5;
    EXPECT_LE(onServer.dailySeconds, 3 * onFile.dailySeconds + slack)
        << "daily update: file " << onFile.dailySeconds << " s, server " << onServer.dailySeconds << " s";
    EXPECT_LE(onServer.invoiceSeconds, 3 * onFile.invoiceSeconds + slack)
        << "invoice run: file " << onFile.invoiceSeconds << " s, server " << onServer.invoiceSeconds << " s";
    EXPECT_LE(onServer.trialSeconds, 3 * onFile.trialSeconds + slack)
        << "trial balance: file " << onFile.trialSeconds << " s, server " << onServer.trialSeconds << " s";
    std::printf("daily update %.3f / %.3f s, invoice run (%d) %.3f / %.3f s, trial balance %.3f / %.3f s (file / server)\n",
                onFile.dailySeconds, onServer.dailySeconds, onFile.invoicesClosed, onFile.invoiceSeconds,
                onServer.invoiceSeconds, onFile.trialSeconds, onServer.trialSeconds);
}
