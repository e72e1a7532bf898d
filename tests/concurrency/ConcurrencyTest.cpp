// Two computers on one server database. Each test starts himawari-counter
// processes on two shop folders that share the server (HMWsrv.dat) but
// number their slips under prefixes 0 and 1, with a third process running
// the daily update every 300 ms (two, one on each computer, while payments
// are taken), and checks the books afterwards: every
// slip posted once and whole, numbers unique, account 110 equal to the
// customers' balances. A database file has one computer; these tests are
// the server's.
#include "db/Database.h"
#include "db/DatabaseLocation.h"
#include "session/Routines.h"
#include "support/ShopData.h"
#include "support/TestInstallation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>

namespace {

constexpr int SlipsPerWriter = 1000;
constexpr int PaymentsPerWriter = 1000;
constexpr int Customers = 40;
constexpr int WaitLimitMs = 150000;

// One counter process and the lines it printed.
struct Counter {
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    QByteArray pending;
    QStringList lines;

    void start(const QStringList& arguments)
    {
        process->start(QStringLiteral(HIMAWARI_COUNTER_PROGRAM), arguments);
        if (!process->waitForStarted(10000))
            throw std::runtime_error("himawari-counter did not start");
    }
    void read()
    {
        pending += process->readAllStandardOutput();
        int end;
        while ((end = pending.indexOf('\n')) >= 0) {
            lines << QString::fromUtf8(pending.left(end));
            pending.remove(0, end + 1);
        }
    }
    bool running() const { return process->state() != QProcess::NotRunning; }
    QString errors() { return QString::fromUtf8(process->readAllStandardError()); }
};

// A stored slip as its writer reported it.
struct WrittenSlip {
    QString customer;
    int rows = 0;
    qint64 totalTicks = 0;
};

class ConcurrencyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!testingOnServer())
            GTEST_SKIP() << "two computers need a server";
        inst = std::make_unique<TestInstallation>();
        db = std::make_unique<Database>(inst->databasePath());
        addCustomers();
        // The second computer: its own HMWcfg.dat numbering slips under
        // prefix 1, the same server location.
        ASSERT_TRUE(secondDir.isValid());
        Configuration config = inst->defaultConfiguration();
        config.prefixText() = QStringLiteral(" 1");
        config.slipPrefix = 1;
        const QString secondConfig = secondDir.filePath(QStringLiteral("HMWcfg.dat"));
        QFile file(secondConfig);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(configurationBytes(config, secondConfig));
        file.close();
        ASSERT_TRUE(QFile::copy(inst->path(ServerFileName), secondDir.filePath(ServerFileName)));
        ASSERT_EQ(readConfiguration(secondConfig).slipPrefix, 1);
        ASSERT_EQ(readConfiguration(secondConfig).databasePath, inst->databasePath());
        stopFile = inst->path(QStringLiteral("stop-daily"));
    }

    // Customers C001 … C040; every tenth is billed to the one before it.
    void addCustomers()
    {
        for (int i = 1; i <= Customers; ++i) {
            const QString billing = i % 10 == 0 ? QStringLiteral("C%1").arg(i - 1, 3, 10, QLatin1Char('0')) : QStringLiteral("0");
            db->exec(QStringLiteral("INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客売掛請求先コード, 顧客売掛前回請求金額,"
                                    " 顧客売掛入金額, 顧客売掛締後売上額) VALUES (?, ?, ?, ?, 0, 0)"),
                     {QStringLiteral("C%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("顧客%1").arg(i), billing,
                      sqlValue(Currency::fromUnits(i * 100))});
        }
    }

    QString firstShop() const { return inst->dir(); }
    QString secondShop() const { return secondDir.path(); }

    Counter& startCounter(const QStringList& arguments)
    {
        counters.emplace_back(std::make_unique<Counter>());
        counters.back()->start(arguments);
        return *counters.back();
    }
    Counter& startDaily() { return startCounter({QStringLiteral("daily"), firstShop(), QStringLiteral("300"), stopFile}); }

    // Slip numbers that are in a posted and a holding table at one moment:
    // a slip the daily update split between two runs.
    int splitSlips()
    {
        return db->scalar(QStringLiteral(
                              "SELECT (SELECT COUNT(DISTINCT h.売上伝票番号) FROM 売上商品マスター仮 h"
                              "        WHERE EXISTS (SELECT 1 FROM 売上商品マスター p WHERE p.売上伝票番号 = h.売上伝票番号)"
                              "           OR EXISTS (SELECT 1 FROM 経理マスター p WHERE p.経理伝票番号 = h.売上伝票番号))"
                              "     + (SELECT COUNT(DISTINCT h.経理伝票番号) FROM 経理マスター仮 h"
                              "        WHERE EXISTS (SELECT 1 FROM 売上商品マスター p WHERE p.売上伝票番号 = h.経理伝票番号)"
                              "           OR EXISTS (SELECT 1 FROM 経理マスター p WHERE p.経理伝票番号 = h.経理伝票番号))"))
            .toInt();
    }

    // Waits for `writers` to end, reading their output and looking for split
    // slips meanwhile; `onRead` may act on what was read (kill a writer).
    void waitForWriters(const std::vector<Counter*>& writers, const std::function<void()>& onRead = {})
    {
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            bool running = false;
            for (Counter* w : writers) {
                w->process->waitForReadyRead(50);
                w->read();
                running = running || w->running();
            }
            if (onRead)
                onRead();
            maxSplit = std::max(maxSplit, splitSlips());
            if (!running)
                break;
            ASSERT_LT(clock.elapsed(), WaitLimitMs) << "the writers did not finish";
        }
        for (Counter* w : writers) {
            w->process->waitForFinished(1000);
            w->read();
        }
    }

    // Stops the daily update after its last run.
    void stopDaily(Counter& daily)
    {
        QFile stop(stopFile);
        ASSERT_TRUE(stop.open(QIODevice::WriteOnly));
        stop.close();
        ASSERT_TRUE(daily.process->waitForFinished(WaitLimitMs));
        daily.read();
        EXPECT_EQ(daily.process->exitCode(), 0) << daily.errors().toStdString();
        // It posted rows in several runs while the writers wrote.
        int postingRuns = 0;
        for (const QString& line : daily.lines)
            if (!line.startsWith(QStringLiteral("posted 0 sales lines, 0 ledger rows")))
                ++postingRuns;
        EXPECT_GE(postingRuns, 3);
    }

    static void expectFinishedCleanly(Counter& c, int lines)
    {
        EXPECT_EQ(c.process->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(c.process->exitCode(), 0) << c.errors().toStdString();
        EXPECT_EQ(c.lines.size(), lines);
    }

    // The slips a writer reported, by number.
    static std::map<qint64, WrittenSlip> writtenSlips(const Counter& c)
    {
        std::map<qint64, WrittenSlip> slips;
        for (const QString& line : c.lines) {
            const QStringList f = line.split(u' ');
            if (f.size() != 4)
                continue;
            slips[f[0].toLongLong()] = {f[1], f[2].toInt(), f[3].toLongLong()};
        }
        return slips;
    }

    qint64 number(const QString& sql, const QVariantList& params = {}) { return db->scalar(sql, params).toLongLong(); }

    // Nothing held, and account 110 (debits − credits of the posted journal)
    // equal to the customers' balances, and their credit sales since the
    // closing equal to 売掛マスター.
    void expectBooksAgree()
    {
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM 売上商品マスター仮")), 0);
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM 経理マスター仮")), 0);
        const qint64 account110 = number(QStringLiteral(
            "SELECT COALESCE((SELECT SUM(経理金額) FROM 経理マスター WHERE 経理借方コード = 110), 0)"
            " - COALESCE((SELECT SUM(経理金額) FROM 経理マスター WHERE 経理貸方コード = 110), 0)"));
        // The customers owed Σ 100 × i yen before anything was stored.
        const qint64 opening = Currency::fromUnits(100 * Customers * (Customers + 1) / 2).ticks();
        const qint64 balances = number(
            QStringLiteral("SELECT SUM(顧客売掛前回請求金額 - 顧客売掛入金額 + 顧客売掛締後売上額) FROM 顧客マスター"));
        EXPECT_EQ(account110, balances - opening);
        EXPECT_EQ(number(QStringLiteral("SELECT SUM(顧客売掛締後売上額) FROM 顧客マスター")),
                  number(QStringLiteral("SELECT COALESCE(SUM(CUR_INT(CUR_MUL(売上個数, 売上単価))), 0) FROM 売掛マスター")));
        // Every posted row once.
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) - COUNT(DISTINCT 売上シリアル) FROM 売上商品マスター")), 0);
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) - COUNT(DISTINCT 経理シリアル) FROM 経理マスター")), 0);
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM 売上商品マスター WHERE 売上種別コード = 1")),
                  number(QStringLiteral("SELECT COUNT(*) FROM 売掛マスター")));
        EXPECT_EQ(maxSplit, 0) << "a slip was posted in part";
    }

    // Each slip whole: its sales lines and its journal rows posted, the
    // journal rows adding up to the sum of its lines, one customer.
    void expectEverySlipWhole()
    {
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM (SELECT 売上伝票番号 FROM 売上商品マスター"
                                        " GROUP BY 売上伝票番号 HAVING COUNT(DISTINCT 売上顧客コード) <> 1) AS t")),
                  0);
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM (SELECT DISTINCT 売上伝票番号 FROM 売上商品マスター) AS s"
                                        " WHERE NOT EXISTS (SELECT 1 FROM 経理マスター j WHERE j.経理伝票番号 = s.売上伝票番号)")),
                  0);
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM (SELECT DISTINCT 経理伝票番号 FROM 経理マスター) AS j"
                                        " WHERE NOT EXISTS (SELECT 1 FROM 売上商品マスター s WHERE s.売上伝票番号 = j.経理伝票番号)")),
                  0);
        EXPECT_EQ(number(QStringLiteral(
                      "SELECT COUNT(*) FROM (SELECT 売上伝票番号 AS n, SUM(CUR_INT(CUR_MUL(売上個数, 売上単価))) AS lines"
                      "   FROM 売上商品マスター GROUP BY 売上伝票番号) AS s"
                      " JOIN (SELECT 経理伝票番号 AS n, SUM(経理金額) AS rows FROM 経理マスター GROUP BY 経理伝票番号) AS j"
                      "   ON j.n = s.n WHERE j.rows <> s.lines")),
                  0);
    }

    // The posted slips of one writer are exactly the ones it reported, each
    // with its customer, its rows and its total.
    void expectPostedAsWritten(const std::map<qint64, WrittenSlip>& written, qint64 first, qint64 last)
    {
        std::map<qint64, WrittenSlip> posted;
        QSqlQuery q = db->exec(QStringLiteral("SELECT 売上伝票番号, MIN(売上顧客コード), COUNT(*),"
                                              " SUM(CUR_INT(CUR_MUL(売上個数, 売上単価)))"
                                              " FROM 売上商品マスター WHERE 売上伝票番号 BETWEEN ? AND ?"
                                              " GROUP BY 売上伝票番号 ORDER BY 売上伝票番号"),
                               {first, last});
        while (q.next())
            posted[q.value(0).toLongLong()] = {q.value(1).toString().trimmed(), q.value(2).toInt(), q.value(3).toLongLong()};
        ASSERT_EQ(posted.size(), written.size());
        for (const auto& [n, slip] : written) {
            const auto found = posted.find(n);
            ASSERT_NE(found, posted.end()) << n;
            EXPECT_EQ(found->second.customer, slip.customer) << n;
            EXPECT_EQ(found->second.rows, slip.rows) << n;
            EXPECT_EQ(found->second.totalTicks, slip.totalTicks) << n;
        }
    }

    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<Database> db;
    QTemporaryDir secondDir;
    QString stopFile;
    std::vector<std::unique_ptr<Counter>> counters;
    int maxSplit = 0;
};

} // namespace

TEST_F(ConcurrencyTest, TwoComputersStoringSlipsWhileTheDailyUpdateRunsPostEverySlipOnceAndWhole)
{
    Counter& daily = startDaily();
    Counter& writer0 = startCounter({QStringLiteral("slips"), firstShop(), QString::number(SlipsPerWriter)});
    Counter& writer1 = startCounter({QStringLiteral("slips"), secondShop(), QString::number(SlipsPerWriter)});
    waitForWriters({&writer0, &writer1});
    expectFinishedCleanly(writer0, SlipsPerWriter);
    expectFinishedCleanly(writer1, SlipsPerWriter);
    stopDaily(daily);

    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(DISTINCT 売上伝票番号) FROM 売上商品マスター")), 2 * SlipsPerWriter);
    // Each computer numbered its slips 1, 2, … under its own prefix.
    const std::map<qint64, WrittenSlip> written0 = writtenSlips(writer0);
    const std::map<qint64, WrittenSlip> written1 = writtenSlips(writer1);
    ASSERT_EQ(written0.size(), std::size_t(SlipsPerWriter));
    ASSERT_EQ(written1.size(), std::size_t(SlipsPerWriter));
    EXPECT_EQ(written0.begin()->first, 1);
    EXPECT_EQ(written0.rbegin()->first, SlipsPerWriter);
    EXPECT_EQ(written1.begin()->first, 100000001);
    EXPECT_EQ(written1.rbegin()->first, 100000000 + SlipsPerWriter);
    expectPostedAsWritten(written0, 1, 99999999);
    expectPostedAsWritten(written1, 100000000, 199999999);
    expectEverySlipWhole();
    expectBooksAgree();
    // The counters in the two files went on to 1001.
    EXPECT_EQ(readConfiguration(inst->configurationPath()).slipCounter, SlipsPerWriter + 1);
    EXPECT_EQ(readConfiguration(secondDir.filePath(QStringLiteral("HMWcfg.dat"))).slipCounter, SlipsPerWriter + 1);
}

TEST_F(ConcurrencyTest, TwoComputersTakingPaymentsFromOneCustomerCreditEveryPaymentOnce)
{
    const QString customer = QStringLiteral("C007");
    // Both computers run the daily update as well.
    Counter& daily = startDaily();
    Counter& otherDaily = startCounter({QStringLiteral("daily"), secondShop(), QStringLiteral("300"), stopFile});
    Counter& writer0 = startCounter({QStringLiteral("payments"), firstShop(), customer, QString::number(PaymentsPerWriter)});
    Counter& writer1 = startCounter({QStringLiteral("payments"), secondShop(), customer, QString::number(PaymentsPerWriter)});
    waitForWriters({&writer0, &writer1});
    expectFinishedCleanly(writer0, PaymentsPerWriter);
    expectFinishedCleanly(writer1, PaymentsPerWriter);
    stopDaily(daily);
    stopDaily(otherDaily);

    qint64 paid = 0;
    std::set<qint64> numbers;
    for (const Counter* c : {&writer0, &writer1})
        for (const QString& line : c->lines) {
            numbers.insert(line.section(u' ', 0, 0).toLongLong());
            paid += line.section(u' ', 1, 1).toLongLong();
        }
    EXPECT_EQ(numbers.size(), std::size_t(2 * PaymentsPerWriter));
    EXPECT_EQ(number(QStringLiteral("SELECT 顧客売掛入金額 FROM 顧客マスター WHERE 顧客コード = ?"), {customer}), paid);
    EXPECT_EQ(number(QStringLiteral("SELECT SUM(顧客売掛入金額) FROM 顧客マスター")), paid);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM 経理マスター WHERE 経理貸方コード = 110 AND 経理貸方相手先コード = ?"),
                     {customer}),
              2 * PaymentsPerWriter);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(DISTINCT 経理伝票番号) FROM 経理マスター")), 2 * PaymentsPerWriter);
    EXPECT_EQ(number(QStringLiteral("SELECT SUM(経理金額) FROM 経理マスター")), paid);
    EXPECT_EQ(number(QStringLiteral("SELECT MIN(経理伝票番号) FROM 経理マスター WHERE 経理伝票番号 > 100000000")), 100000001);
    // The payment date is that of the last run's last payment: today.
    EXPECT_EQ(number(QStringLiteral("SELECT CAST(顧客売掛入金日 AS bigint) FROM 顧客マスター WHERE 顧客コード = ?"), {customer}),
              qint64(Date::today().serial()));
    expectBooksAgree();
}

TEST_F(ConcurrencyTest, AComputerKilledWhileStoringSlipsLeavesNoHalfSlip)
{
    Counter& daily = startDaily();
    Counter& victim = startCounter({QStringLiteral("slips"), firstShop(), QString::number(SlipsPerWriter)});
    Counter& survivor = startCounter({QStringLiteral("slips"), secondShop(), QString::number(SlipsPerWriter)});
    bool killed = false;
    waitForWriters({&victim, &survivor}, [&] {
        if (!killed && victim.lines.size() >= 300) {
            victim.process->kill();
            killed = true;
        }
    });
    ASSERT_TRUE(killed);
    EXPECT_EQ(victim.process->exitStatus(), QProcess::CrashExit);
    expectFinishedCleanly(survivor, SlipsPerWriter);
    stopDaily(daily);

    // The killed computer's reported slips are all posted; at most one more
    // (committed, not yet reported) may be, and then whole.
    std::map<qint64, WrittenSlip> written0 = writtenSlips(victim);
    ASSERT_GE(written0.size(), std::size_t(300));
    ASSERT_LT(written0.size(), std::size_t(SlipsPerWriter));
    const qint64 reported = written0.rbegin()->first;
    EXPECT_EQ(reported, qint64(written0.size()));
    const qint64 posted0 = number(QStringLiteral("SELECT COUNT(DISTINCT 売上伝票番号) FROM 売上商品マスター WHERE 売上伝票番号 < 100000000"));
    ASSERT_TRUE(posted0 == reported || posted0 == reported + 1) << posted0;
    expectPostedAsWritten(written0, 1, reported);
    EXPECT_EQ(number(QStringLiteral("SELECT MAX(売上伝票番号) FROM 売上商品マスター WHERE 売上伝票番号 < 100000000")), posted0);
    expectPostedAsWritten(writtenSlips(survivor), 100000000, 199999999);
    expectEverySlipWhole();
    expectBooksAgree();

    // The killed computer's HMWcfg.dat is whole (it is replaced, never
    // rewritten in place); its counter is past the last reported slip, and
    // the start-up's recovery moves it past the last stored one.
    Configuration config = readConfiguration(inst->configurationPath());
    EXPECT_TRUE(config.slipCounter == posted0 || config.slipCounter == posted0 + 1) << config.slipCounter;
    recoverSlipCounter(*db, config, inst->configurationPath());
    EXPECT_EQ(readConfiguration(inst->configurationPath()).slipCounter, posted0 + 1);
}
