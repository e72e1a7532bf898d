// One computer of a shop, as a console program: it reads the shop's
// HMWcfg.dat (and HMWsrv.dat beside it) and stores what an operator would,
// through the same routines the screens call.
//
//   himawari-counter slips <shopdir> <count>
//       <count> credit slips, each for a customer drawn at random, dated
//       today; prints a line for each stored slip: its number, customer,
//       number of sales rows (the tax line included) and total in ticks.
//   himawari-counter payments <shopdir> <customer> <count>
//       <count> cash payments from one customer, dated today; prints each
//       slip number and amount.
//   himawari-counter daily <shopdir> <milliseconds> <stopfile>
//       the daily update of today every <milliseconds> until <stopfile>
//       exists, then once more; prints what each run posted.
//
// Exit code 0 when everything was stored, 1 when an operator would have
// been shown an error (the text goes to standard error), 2 on bad usage.
#include "db/Database.h"
#include "receivables/ReceivablePayment.h"
#include "sales/DailyUpdate.h"
#include "sales/SlipStore.h"
#include "session/Routines.h"
#include "session/Session.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <QThread>
#include <cstdio>

namespace {

void fail(const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    std::fflush(stderr);
}

QStringList customerCodes(Database& db)
{
    QStringList codes;
    QSqlQuery q = db.exec(QStringLiteral("SELECT 顧客コード FROM 顧客マスター ORDER BY 顧客コード"));
    while (q.next())
        codes << q.value(0).toString().trimmed();
    return codes;
}

// A product as the picker leaves it, then added as the slip screen adds it.
void addLine(SessionState& s, QRandomGenerator& random)
{
    static const int taxCategories[] = {0, 0, 1, 5, 6, 9};
    const int n = int(random.bounded(500));
    s.product.departmentCode = std::int16_t(1 + n % 10);
    s.product.taxCategory = std::int16_t(taxCategories[n % 6]);
    s.product.productCode = QStringLiteral("49%1").arg(n, 5, 10, QLatin1Char('0'));
    s.product.kanaName = QStringLiteral("ｼｮｳﾋﾝ");
    s.product.productName = QStringLiteral("商品%1").arg(n);
    s.product.unitPrice = Currency::fromUnits(100 * (1 + random.bounded(50)));
    s.product.quantity = Currency::fromUnits(1 + random.bounded(3));
    addSlipLine(s, {});
}

int slips(const QString& shop, int count)
{
    const QString configPath = QDir(shop).filePath(QStringLiteral("HMWcfg.dat"));
    SessionState s;
    fillDaysPerMonth(s);
    s.config = readConfiguration(configPath);
    Database db(s.config.databasePath);
    const QStringList customers = customerCodes(db);
    if (customers.isEmpty()) {
        fail(QStringLiteral("no customers"));
        return 1;
    }
    QRandomGenerator random(quint32(QCoreApplication::applicationPid()));
    const Date today = Date::today();
    for (int i = 0; i < count; ++i) {
        clearSlip(s);
        s.customer.code = customers[int(random.bounded(customers.size()))];
        s.customer.slipDate = today;
        s.saleKind = saleKind::Credit;
        const int lines = 1 + int(random.bounded(4));
        for (int l = 0; l < lines; ++l)
            addLine(s, random);
        computeSlipTotals(s);
        const std::int32_t number = currentSlipNumber(s.config);
        const int rows = s.lineCount + (s.totals.consumptionTax.isZero() ? 0 : 1);
        const SlipStoreResult stored = storeSlip(db, s, configPath);
        if (!stored || !stored.messages.empty()) {
            for (const SlipStoreMessage& m : stored.messages)
                fail(m.text);
            return 1;
        }
        std::printf("%d %s %d %lld\n", number, qPrintable(s.customer.code), rows,
                    static_cast<long long>(s.totals.grandTotal.ticks()));
        std::fflush(stdout);
    }
    return 0;
}

int payments(const QString& shop, const QString& customer, int count)
{
    const QString configPath = QDir(shop).filePath(QStringLiteral("HMWcfg.dat"));
    SessionState s;
    s.config = readConfiguration(configPath);
    Database db(s.config.databasePath);
    QRandomGenerator random(quint32(QCoreApplication::applicationPid()));
    s.customer.code = customer;
    s.customer.slipDate = Date::today();
    for (int i = 0; i < count; ++i) {
        s.customer.lastInvoiceAmount = Currency::fromUnits(1 + random.bounded(10000));
        JournalEntry payment = startPayment(s.customer);
        payment.debitAccount = 10;
        const std::optional<StoredPayment> stored = storePayment(db, s, payment, configPath);
        if (!stored) {
            fail(QStringLiteral("the payment was not stored"));
            return 1;
        }
        if (!stored->counterError.isEmpty()) {
            fail(stored->counterError);
            return 1;
        }
        std::printf("%d %lld\n", stored->slipNumber, static_cast<long long>(payment.amount.ticks()));
        std::fflush(stdout);
    }
    return 0;
}

int daily(const QString& shop, int milliseconds, const QString& stopFile)
{
    const Configuration config = readConfiguration(QDir(shop).filePath(QStringLiteral("HMWcfg.dat")));
    Database db(config.databasePath);
    for (bool last = false; !last;) {
        last = QFile::exists(stopFile);
        const PostingResult r = postHoldingRows(db, Date::today());
        std::printf("posted %d sales lines, %d ledger rows\n", r.salesLines, r.ledgerRows);
        std::fflush(stdout);
        if (!last)
            QThread::msleep(static_cast<unsigned long>(milliseconds));
    }
    return 0;
}

int usage()
{
    fail(QStringLiteral("usage: himawari-counter slips <shopdir> <count>\n"
                        "       himawari-counter payments <shopdir> <customer> <count>\n"
                        "       himawari-counter daily <shopdir> <milliseconds> <stopfile>"));
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() == 4 && args[1] == QLatin1String("slips"))
            return slips(args[2], args[3].toInt());
        if (args.size() == 5 && args[1] == QLatin1String("payments"))
            return payments(args[2], args[3], args[4].toInt());
        if (args.size() == 5 && args[1] == QLatin1String("daily"))
            return daily(args[2], args[3].toInt(), args[4]);
    } catch (const OperatorError& e) {
        fail(e.message());
        return 1;
    } catch (const std::exception& e) {
        fail(QString::fromUtf8(e.what()));
        return 1;
    }
    return usage();
}
