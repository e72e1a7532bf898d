// Crashes and failing disks during every write action. Each write action
// runs in a child process on a copy of a prepared shop; the child is killed
// at a chosen write or sync of SQLite (before it reaches the disk or just
// after, the last one being the moment between the database commit and the
// rewrite of HMWcfg.dat), or that write or sync fails as on a broken or full
// disk. The parent then starts the program on the copy as the operator would
// and checks the books.
//
// HIMAWARI_CRASH_POINTS and HIMAWARI_FAULT_POINTS set how many kill points
// and failing-disk points are spread over the actions (default 240 and 130;
// the actions offer about 1,400 and 1,400). The long run:
//   HIMAWARI_CRASH_POINTS=1000 HIMAWARI_FAULT_POINTS=400 bin/crash_tests
// HIMAWARI_CRASH_VERBOSE=1 prints every failing-disk point and what was told.
//
// With HIMAWARI_TEST_SERVER set, the server half (ServerCrashTest, at the
// end) kills the actions of the same shop on a PostgreSQL server by time,
// HIMAWARI_CRASH_POINTS / 30 moments per action.
#include "FaultVfs.h"

#include "accounting/Books.h"
#include "accounting/Entries.h"
#include "ui/ErrorGuard.h"
#include "session/Routines.h"
#include "support/TestSession.h"
#include "app/Startup.h"
#include "core/Text.h"
#include "db/Database.h"
#include "db/DatabaseLocation.h"
#include "db/Dialect.h"
#include "gas/GasInput.h"
#include "maintenance/Backup.h"
#include "maintenance/OldDataMove.h"
#include "maintenance/OldDataDeletionScreens.h"
#include "receivables/BankDebitFile.h"
#include "receivables/BankDebitResult.h"
#include "receivables/InvoiceIssuing.h"
#include "receivables/ReceivablePayment.h"
#include "sales/DailyUpdate.h"
#include "sales/SlipStore.h"
#include "support/BankResultFiles.h"
#include "support/Files.h"
#include "support/OldDataTables.h"
#include "support/ScriptedUi.h"
#include "support/ShopData.h"
#include "support/SlipLines.h"
#include "support/TestInstallation.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSpinBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <functional>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

const QString DatabaseName = QStringLiteral("himawari.db");
const QString ConfigName = QStringLiteral("HMWcfg.dat");
constexpr int FirstFreeSlip = 20;

// ------------------------------------------------------------ the shop

// The configuration of an installation in `dir`, its counter at `counter`.
Configuration configurationFor(const QString& dir, int counter)
{
    Configuration c;
    c.companyName() = QStringLiteral("テスト商店");
    c.address() = QStringLiteral("東京都架空区試験町１－２－３");
    c.telephone() = QStringLiteral("03-0000-0000");
    c.deliveryNoteComment() = QStringLiteral("毎度ありがとうございます");
    c.bankLine(1) = QStringLiteral("試験銀行　本店　普通　1234567");
    c.taxRate1() = QStringLiteral("0.05");
    c.taxRate2() = QStringLiteral("0.08");
    c.databaseFileName() = DatabaseName;
    c.databaseDirectory() = dir + QStringLiteral("/");
    c.backupDirectory(1) = dir + QStringLiteral("/backup1/");
    c.backupDirectory(2) = dir + QStringLiteral("/backup2/");
    c.prefixText() = QStringLiteral(" 0");
    c.counterText() = QStringLiteral(" ") + QString::number(counter);
    c.adminCodeText() = QStringLiteral(" 1234");
    return c;
}

// A customer closing on the 31st, with a 20 kg cylinder.
void addCustomer(Database& db, const QString& code, const QString& name, const QString& billing, const char* invoiced,
                 const Date& closed, const char* paid, const Date& paidOn, const char* sales, const QString& gasCode)
{
    insertCustomer(db, {.code = code,
                        .name = name,
                        .kana = QStringLiteral("ｶﾅ"),
                        .billTo = billing,
                        .gasCode = gasCode,
                        .lastInvoice = yen(invoiced),
                        .previousClosing = closed,
                        .payments = yen(paid),
                        .lastPayment = paidOn,
                        .sales = yen(sales),
                        .closingDay = 31,
                        .cylinder1 = 20});
}

// A line of コシヒカリ (department 1, tax category 0, product 12).
void insertSale(Database& db, const QString& table, int serial, int slip, const Date& date, const QString& customer,
                int kind, const char* price, const char* quantity)
{
    insertSalesLine(db, table,
                    {.serial = serial,
                     .slip = slip,
                     .date = date,
                     .customer = customer,
                     .kind = kind,
                     .department = 1,
                     .taxCategory = 0,
                     .productCode = QStringLiteral("12"),
                     .productName = QStringLiteral("コシヒカリ"),
                     .price = yen(price),
                     .quantity = yen(quantity)});
}

void insertLedger(Database& db, const QString& table, int serial, int slip, const Date& date, const char* amount,
                  int debit, int credit, const QString& counterparty)
{
    insertLedgerRow(db, table,
                    {.serial = serial,
                     .slip = slip,
                     .date = date,
                     .amount = yen(amount),
                     .debit = debit,
                     .debitCounterparty = 0,
                     .credit = credit,
                     .creditCounterparty = counterparty});
}

// A row of gas customer 501 with nothing delivered.
void insertGas(Database& db, const Date& date, int kind, const char* meter, const char* usage, const char* amount,
               int account)
{
    insertGasRow(db, {.date = date,
                      .kind = kind,
                      .customer = QStringLiteral("501"),
                      .meter = yen(meter),
                      .usage = yen(usage),
                      .delivered = 0,
                      .remaining = 0,
                      .amount = yen(amount),
                      .account = account});
}

// A small shop in the middle of June 2024, its books in step: customer 1001
// (billed 5000 at the end of April, paid 3000 since, 5000 of credit sales
// not yet billed), 1002, 1003 billed to 1001, gas customer 501; posted
// history back to 2023; holding rows of four slips for the daily update
// (one dated after the cut-off). Written into a new database of either kind.
void fillShop(Database& db)
{
    {
        Transaction t(db);
        const Date april30 = day(2024, 4, 30);
        addCustomer(db, "1001", "山田　太郎", "0", "5000", april30, "3000", day(2024, 5, 15), "5000", "0");
        addCustomer(db, "1002", "田中　花子", "0", "2000", april30, "0", Date(), "1000", "0");
        addCustomer(db, "1003", "鈴木　次郎", "1001", "0", april30, "0", Date(), "0", "0");
        addCustomer(db, "501", "北村　一郎", "0", "0", april30, "0", Date(), "0", "1");

        const QString posted = QStringLiteral("売上商品マスター"), receivable = QStringLiteral("売掛マスター");
        for (const QString& table : {posted, receivable}) {
            insertSale(db, table, 1, 3, day(2024, 5, 10), "1001", 1, "2000", "1");
            insertSale(db, table, 2, 4, day(2024, 5, 20), "1001", 1, "1500", "2");
            insertSale(db, table, 3, 5, day(2024, 6, 3), "1002", 1, "1000", "1");
        }
        insertSale(db, posted, 4, 1, day(2023, 4, 10), "1001", 0, "500", "1");
        insertSale(db, posted, 5, 2, day(2024, 3, 10), "1002", 1, "800", "1");

        const QString journal = QStringLiteral("経理マスター");
        insertLedger(db, journal, 1, 3, day(2024, 5, 10), "2000", 110, 5000, "0");
        insertLedger(db, journal, 2, 4, day(2024, 5, 20), "3000", 110, 5000, "0");
        insertLedger(db, journal, 3, 5, day(2024, 6, 3), "1000", 110, 5000, "0");
        insertLedger(db, journal, 4, 2, day(2024, 3, 10), "800", 110, 5000, "0");
        insertLedger(db, journal, 5, 1, day(2023, 4, 10), "500", 10, 5000, "0");
        insertLedger(db, journal, 6, 6, day(2024, 5, 15), "3000", 10, 110, text::fixed("1001", 13));
        insertLedger(db, journal, 7, 7, day(2024, 4, 20), "800", 10, 110, text::fixed("1002", 13));

        const QString holdingSales = QStringLiteral("売上商品マスター仮");
        insertSale(db, holdingSales, 101, 10, day(2024, 5, 31), "1001", 1, "2000", "2");
        insertSale(db, holdingSales, 102, 11, day(2024, 6, 1), "1003", 1, "1500", "1");
        insertSale(db, holdingSales, 103, 12, day(2024, 6, 1), "1002", 0, "2000", "1");
        insertSale(db, holdingSales, 104, 13, day(2024, 6, 10), "1002", 1, "1000", "1");
        const QString holdingJournal = QStringLiteral("経理マスター仮");
        insertLedger(db, holdingJournal, 101, 10, day(2024, 5, 31), "4000", 110, 5000, "0");
        insertLedger(db, holdingJournal, 102, 11, day(2024, 6, 1), "1500", 110, 5000, "0");
        insertLedger(db, holdingJournal, 103, 12, day(2024, 6, 1), "2000", 10, 5000, "0");
        insertLedger(db, holdingJournal, 104, 14, day(2024, 6, 2), "800", 10, 110, text::fixed("1002", 13));
        insertLedger(db, holdingJournal, 105, 13, day(2024, 6, 10), "1000", 110, 5000, "0");

        insertGas(db, day(2024, 2, 1), 7, "900", "0", "0", 0);
        insertGas(db, day(2024, 3, 1), 8, "1000", "0", "0", 0);
        insertGas(db, day(2024, 4, 1), 1, "1100", "100", "2000", 10);
        db.exec(QStringLiteral("UPDATE 勘定科目TBL SET 期首残高 = ? WHERE 科目番号 = 110"), {sqlValue(yen("1200"))});
        // A file numbers new held rows past the largest serial by itself; a
        // server's identity sequence is told.
        if (db.onServer()) {
            setLastSerial(db, holdingSales, QStringLiteral("売上シリアル"), 104);
            setLastSerial(db, holdingJournal, QStringLiteral("経理シリアル"), 105);
        }
        t.commit();
    }
}

// The shop in `dir`, with a backup in backup1 taken before customer 1004 was
// added.
void buildShop(const QString& dir)
{
    QDir(dir).mkpath(QStringLiteral("backup1"));
    QDir(dir).mkpath(QStringLiteral("backup2"));
    writeFile(dir + u'/' + ConfigName, configurationBytes(configurationFor(dir, FirstFreeSlip), ConfigName));
    Database::create(dir + u'/' + DatabaseName);
    {
        Database db(dir + u'/' + DatabaseName);
        fillShop(db);
    }
    QDir::setCurrent(dir);
    testSession().config = readConfiguration(dir + u'/' + ConfigName);
    backUpData(backupLocation(testSession().config, 1, dir + u'/' + ConfigName));
    Database db(dir + u'/' + DatabaseName);
    addCustomer(db, "1004", "佐藤　三郎", "0", "0", Date(), "0", Date(), "0", "0");
}

// A copy of the shop in `to`, its configuration pointing at the copy.
void copyShop(const QString& from, const QString& to)
{
    for (const QString& sub : {QString(), QStringLiteral("/backup1")}) {
        QDir().mkpath(to + sub);
        const QString db = sub + u'/' + DatabaseName;
        if (!QFile::copy(from + db, to + db))
            throw std::runtime_error("cannot copy the shop");
        writeFile(to + sub + u'/' + ConfigName, configurationBytes(configurationFor(to, FirstFreeSlip), ConfigName));
    }
    QDir().mkpath(to + QStringLiteral("/backup2"));
}

// ------------------------------------------------------------ the actions

using Run = std::function<void()>;
// Reads what the action needs (as its screen does before the operator
// presses the button) and returns the writing itself.
using Prepare = std::function<Run(Database& db, SessionState& s, const QString& dir)>;

struct Action {
    const char* name;
    Prepare prepare;
    // What the action tells the operator when all went well.
    QString successText;
    // The deletion is committed before the file is compacted: when only the
    // compaction fails, the rows are gone and the operator is told so.
    bool compacts = false;
};

// Drives an old-data deletion screen as the operator does: the cut-off in
// its three boxes, the delete button, yes to the question.
template <typename Screen>
Run deletionOnScreen(const Date& cutoff)
{
    return [cutoff] {
        dynamic_cast<ScriptedUi&>(ui()).answers.push_back(true);
        Screen screen(testSession());
        screen.yearBox->setValue(cutoff.year());
        screen.monthBox->setValue(cutoff.month());
        screen.dayBox->setValue(cutoff.day());
        screen.deleteRows();
    };
}

// The bank's answer for customers 1001 and 1002: two debits taken, one
// refused.
QByteArray resultFileBytes()
{
    return resultFile(
        {resultRecord("1001", 4000, '0'), resultRecord("1002", 1500, '1'), resultRecord("1002", 2200, '0')});
}

const std::vector<Action>& actions()
{
    static const std::vector<Action> list = {
        {"slip",
         [](Database&, SessionState& s, const QString& dir) -> Run {
             s.customer.code = QStringLiteral("1002");
             s.customer.name = QStringLiteral("田中　花子");
             s.customer.slipDate = day(2024, 6, 4);
             s.saleKind = saleKind::Credit;
             const QString name = QStringLiteral("灯油１８Ｌ");
             const QString kana = QStringLiteral("ｼｮｳﾋﾝ");
             appendSlipLine(s, 2, 5, QStringLiteral("201"), name, "1500", "2", kana);
             appendSlipLine(s, 1, 0, QStringLiteral("12"), name, "2000", "1", kana);
             computeSlipTotals(s);
             return [&s, dir] {
                 Database db(s.config.databasePath);
                 for (const SlipStoreMessage& m : storeSlip(db, s, dir + u'/' + ConfigName).messages)
                     ui().showMessage(m.text, m.title);
             };
         },
         QString()},
        {"payment",
         [](Database& db, SessionState& s, const QString& dir) -> Run {
             chooseCustomer(*readCustomerAccount(db, QStringLiteral("1001")), s.customer);
             s.customer.slipDate = day(2024, 6, 4);
             JournalEntry payment = startPayment(s.customer);
             payment.amount = yen("2500");
             payment.debitAccount = 10;
             return [&db, &s, dir, payment] {
                 if (const auto stored = storePayment(db, s, payment, dir + u'/' + ConfigName); stored && !stored->counterError.isEmpty())
                     ui().showMessage(stored->counterError, QStringLiteral("伝票番号"));
             };
         },
         QString()},
        {"gas event",
         [](Database& db, SessionState& s, const QString& dir) -> Run {
             GasEntry event;
             gas::resetEntry(event, day(2024, 6, 4), QStringLiteral("501"));
             event.kind = gas::MeteredBilled;
             event.meterValue = yen("1250");
             event.usage = *gas::usageFrom(event.meterValue, gas::baseReading(db, QStringLiteral("501")));
             event.amount = yen("3240");
             event.paymentAccount = 110;
             return [&db, &s, dir, event] { gas::storeEvent(db, s.config, event, dir + u'/' + ConfigName); };
         },
         QString()},
        {"journal entry",
         [](Database& db, SessionState& s, const QString& dir) -> Run {
             JournalEntry entry;
             accounting::resetEntry(entry, day(2024, 6, 4));
             entry.amount = yen("1200");
             entry.debitAccount = 1100;
             entry.creditAccount = 10;
             return [&db, &s, dir, entry] {
                 const auto stored = accounting::storeEntry(db, s, accounting::EntryKind::Journal, entry,
                                                               dir + u'/' + ConfigName);
                 if (stored && !stored->counterError.isEmpty())
                     ui().showMessage(stored->counterError, QStringLiteral("伝票番号"));
             };
         },
         QString()},
        {"daily update",
         [](Database& db, SessionState&, const QString&) -> Run {
             return [&db] { postHoldingRows(db, day(2024, 6, 5)); };
         },
         QString()},
        {"invoice closing",
         [](Database& db, SessionState&, const QString&) -> Run {
             const auto computed = computeInvoice(db, QStringLiteral("1001"), day(2024, 5, 31), Configuration());
             return [&db, invoice = computed->invoice] { closeBillingPeriod(db, QStringLiteral("1001"), invoice); };
         },
         QString()},
        {"year-end",
         [](Database& db, SessionState&, const QString&) -> Run {
             return [&db] { accounting::runYearEnd(db, day(2024, 3, 31)); };
         },
         QString()},
        {"result run",
         [](Database& db, SessionState& s, const QString& dir) -> Run {
             const ResultPlan plan = planResultRun(db, bankfile::readResultFile(resultFileBytes()), day(2024, 6, 27));
             return [&db, &s, plan, dir] {
                 const BookedRun booked = bookResultRun(db, s.config, plan, day(2024, 6, 27), 20,
                                                        QStringLiteral("HBR0991.TXT"), dir + u'/' + ConfigName);
                 if (!booked.counterError.isEmpty())
                     ui().showMessage(booked.counterError, QStringLiteral("伝票番号"));
             };
         },
         QString()},
        {"old sales lines",
         [](Database&, SessionState&, const QString&) -> Run {
             return deletionOnScreen<frm削除商品>(day(2024, 4, 15));
         },
         QStringLiteral("顧客売上商品データの削除が、完了しました。"), true},
        {"old gas data",
         [](Database&, SessionState&, const QString&) -> Run {
             return deletionOnScreen<frm削除ガス>(day(2024, 4, 15));
         },
         QStringLiteral("ガスデータの削除が、完了しました。"), true},
        {"backup",
         [](Database&, SessionState& s, const QString& dir) -> Run {
             return [&s, dir] { backUpData(backupLocation(s.config, 1, dir + u'/' + ConfigName)); };
         },
         QString()},
        {"restore",
         [](Database&, SessionState& s, const QString& dir) -> Run {
             return [&s, dir] { restoreData(backupLocation(s.config, 1, dir + u'/' + ConfigName), s.config); };
         },
         QString()},
        // The shop's own tables brought in as old data, and put in place.
        {"old-data import",
         [](Database&, SessionState& s, const QString& dir) -> Run {
             const QString old = dir + QStringLiteral("/old.db");
             QFile::remove(old);
             QFile::copy(dir + u'/' + DatabaseName, old);
             return [&s, dir, old] {
                 const DatabaseSource source(old);
                 const OldDataStaging staged = stageOldData(source, s.config);
                 replaceWithOldData(staged, s.config, dir + u'/' + ConfigName);
             };
         },
         QString()},
    };
    return list;
}

// ------------------------------------------------------------ the child

bool isJapanese(const QString& text)
{
    for (const QChar c : text)
        if ((c.unicode() >= 0x3040 && c.unicode() <= 0x30FF) || (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF))
            return true;
    return false;
}

// How a child on a server is ended, where FaultVfs sees no write: the child
// tells the parent the moment its run starts and the moment it ends, and the
// parent kills it a chosen time after the start; or no file of the child may
// grow during the run, so it dies in its first file write (the
// configuration file). A child on a file is told none of this.
struct TimedKill {
    bool announce = false;           // 'S' before the run, 'E' after it
    long killAfterMicroseconds = -1; // SIGKILL this long after 'S'; -1: never
    bool noFileGrowth = false;       // RLIMIT_FSIZE 0 for the run
};

struct Outcome {
    bool exited = false;   // the child ended by itself (not killed, not crashed)
    int signal = 0;        // the signal that ended it
    long microseconds = -1; // from the start of the run to its end, when announced and seen
    long operations = 0;   // writes and syncs it made while armed
    long failures = 0;     // of which failed on purpose
    bool ended = false;    // the action ended normally (no exception escaped)
    QStringList told;      // every message shown, the guard's included
    QString messages;

    // The operator was told something other than the action's success.
    bool reported(const Action& action) const
    {
        if (!ended)
            return true;
        for (const QString& t : told)
            if (t != action.successText)
                return true;
        return false;
    }
    bool japanese() const
    {
        return std::all_of(told.begin(), told.end(), isJapanese);
    }
};


void writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n <= 0)
            break;
        p += n;
        left -= n;
    }
}

[[noreturn]] void childMain(const Action& action, const QString& dir, faultvfs::Mode mode, long target, int failCode,
                            const TimedKill& timing, int fd)
{
    QByteArray report;
    {
        QDir::setCurrent(dir);
        testSession() = SessionState{};
        fillDaysPerMonth(testSession());
        testSession().config = readConfiguration(dir + u'/' + ConfigName);
        ScriptedUiScope ui;
        bool ended;
        {
            Database db(testSession().config.databasePath);
            const Run run = action.prepare(db, testSession(), dir);
            if (timing.noFileGrowth) {
                const rlimit limit{0, RLIM_INFINITY};
                ::signal(SIGXFSZ, SIG_DFL);
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
            if (timing.announce)
                writeAll(fd, "S");
            faultvfs::arm(mode, target, failCode);
            ended = runGuarded(run);
            faultvfs::disarm();
            if (timing.announce)
                writeAll(fd, "E");
        }
        QStringList texts;
        for (const RecordedMessage& m : ui->messages)
            texts << m.text;
        report = QByteArray::number(qint64(faultvfs::operations())) + '\n'
                 + QByteArray::number(qint64(faultvfs::failures())) + '\n' + (ended ? "1" : "0") + '\n'
                 + texts.join(QChar(0x1f)).toUtf8();
    }
    writeAll(fd, report);
    ::_exit(0);
}

Outcome runInChild(const Action& action, const QString& dir, faultvfs::Mode mode, long target, int failCode = 0,
                   const TimedKill& timing = {})
{
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error("pipe");
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork");
    if (pid == 0) {
        ::close(fds[0]);
        childMain(action, dir, mode, target, failCode, timing, fds[1]);
    }
    ::close(fds[1]);
    Outcome o;
    QByteArray bytes;
    char buffer[4096];
    if (timing.announce) {
        char mark = 0;
        if (::read(fds[0], &mark, 1) == 1 && mark == 'S') {
            const auto start = std::chrono::steady_clock::now();
            if (timing.killAfterMicroseconds >= 0) {
                std::this_thread::sleep_until(start + std::chrono::microseconds(timing.killAfterMicroseconds));
                ::kill(pid, SIGKILL);
            }
            if (::read(fds[0], &mark, 1) == 1 && mark == 'E')
                o.microseconds = long(std::chrono::duration_cast<std::chrono::microseconds>(
                                          std::chrono::steady_clock::now() - start)
                                          .count());
        }
    }
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.append(buffer, n);
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    o.exited = WIFEXITED(status) && WEXITSTATUS(status) == 0 && !bytes.isEmpty();
    o.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    const QList<QByteArray> parts = bytes.split('\n');
    if (o.exited && parts.size() >= 4) {
        o.operations = parts[0].toLong();
        o.failures = parts[1].toLong();
        o.ended = parts[2] == "1";
        const QString texts = QString::fromUtf8(bytes.mid(parts[0].size() + parts[1].size() + parts[2].size() + 3));
        if (!texts.isEmpty())
            o.told = texts.split(QChar(0x1f));
        o.messages = o.told.join(QStringLiteral(" / "));
    }
    return o;
}

// ------------------------------------------------------------ the checks

// One row's values joined by '|', NULL spelled out.
QString rowText(const QSqlQuery& q)
{
    QStringList values;
    for (int i = 0; i < q.record().count(); ++i)
        values << (q.isNull(i) ? QStringLiteral("NULL") : q.value(i).toString());
    return values.join(u'|');
}

// Every table's rows in order, the logical content of a database. A server
// has no rowid on most tables: its rows are in the order of all their
// columns, and the rowid it keeps on four tables is left out (a file hides
// its own).
QStringList dump(Database& db)
{
    QStringList all;
    if (db.onServer()) {
        QStringList names = shopTableNames(db);
        names.sort();
        for (const QString& name : names) {
            all << QStringLiteral("[%1]").arg(name);
            QStringList columns, order;
            for (const ColumnInfo& column : tableColumns(db, name)) {
                columns << u'"' + column.name + u'"';
                order << QString::number(columns.size());
            }
            QSqlQuery q = db.exec(QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY %3")
                                      .arg(columns.join(QStringLiteral(", ")), name, order.join(QStringLiteral(", "))));
            while (q.next())
                all << rowText(q);
        }
        return all;
    }
    QSqlQuery tables = db.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
    QStringList names;
    while (tables.next())
        names << tables.value(0).toString();
    for (const QString& name : names) {
        all << QStringLiteral("[%1]").arg(name);
        QSqlQuery q = db.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(name));
        while (q.next())
            all << rowText(q);
    }
    return all;
}

QStringList dumpOf(const QString& path)
{
    if (!QFile::exists(path))
        return {QStringLiteral("<no file>")};
    Database db(path);
    return dump(db);
}

// Opens the copy as the program does at start-up (configuration, database,
// slip-counter repair) and checks the books; returns what is wrong.
QStringList checkBooks(const QString& dir, std::int64_t account110Offset, QStringList* content = nullptr)
{
    QStringList wrong;
    const QString previous = QDir::currentPath();
    ScriptedUiScope ui;
    const bool started = startUp(testSession(), dir);
    QDir::setCurrent(previous);
    if (!started)
        return {QStringLiteral("start-up refused: ") + ui->lastMessage()};
    try {
        parseConfiguration(fileBytes(dir + u'/' + ConfigName), ConfigName);
    } catch (const ConfigurationError& e) {
        wrong << QStringLiteral("HMWcfg.dat unreadable: ") + e.message();
    }
    // The database the configuration names (HMWsrv.dat moves it onto a server).
    Database db(testSession().config.databasePath);
    if (db.onServer()) {
        if (const QString problem = integrityProblem(db); !problem.isEmpty())
            wrong << QStringLiteral("integrity: ") + problem;
    } else {
        const QString integrity = db.scalar(QStringLiteral("PRAGMA integrity_check")).toString();
        if (integrity != QStringLiteral("ok"))
            wrong << QStringLiteral("integrity_check: ") + integrity;
    }

    // Each customer's credit sales since closing are its unbilled lines, its
    // payments the posted ones after its last closing.
    QSqlQuery customers = db.exec(QStringLiteral(
        "SELECT c.顧客コード, c.顧客売掛締後売上額,"
        " (SELECT COALESCE(SUM(CUR_INT(CUR_MUL(r.売上単価, r.売上個数))), 0) FROM 売掛マスター r"
        "   WHERE r.売上顧客コード = c.顧客コード),"
        " c.顧客売掛入金額,"
        " (SELECT COALESCE(SUM(j.経理金額), 0) FROM 経理マスター j WHERE j.経理貸方コード = 110"
        "   AND j.経理貸方相手先コード = c.顧客コード AND j.経理年月日 >= CAST(c.顧客売掛前回締め日 AS INTEGER) + 1)"
        " FROM 顧客マスター c ORDER BY c.顧客コード"));
    // (A server's sums come back as numbers with a fraction: shown whole.)
    const auto whole = [&customers](int column) { return QString::number(customers.value(column).toLongLong()); };
    while (customers.next()) {
        if (customers.value(1).toLongLong() != customers.value(2).toLongLong())
            wrong << QStringLiteral("customer %1: credit sales %2, unbilled lines %3")
                         .arg(customers.value(0).toString(), whole(1), whole(2));
        if (customers.value(3).toLongLong() != customers.value(4).toLongLong())
            wrong << QStringLiteral("customer %1: payments %2, posted payments %3")
                         .arg(customers.value(0).toString(), whole(3), whole(4));
    }
    // Account 110 moves with the customers' balances.
    const std::int64_t customersTotal =
        db.scalar(QStringLiteral("SELECT COALESCE(SUM(顧客売掛前回請求金額 - 顧客売掛入金額 + 顧客売掛締後売上額), 0) FROM 顧客マスター"))
            .toLongLong();
    const std::int64_t account110 =
        db.scalar(QStringLiteral("SELECT (SELECT 期首残高 FROM 勘定科目TBL WHERE 科目番号 = 110)"
                                 " + (SELECT COALESCE(SUM(経理金額), 0) FROM 経理マスター WHERE 経理借方コード = 110)"
                                 " - (SELECT COALESCE(SUM(経理金額), 0) FROM 経理マスター WHERE 経理貸方コード = 110)"))
            .toLongLong();
    if (customersTotal - account110 != account110Offset)
        wrong << QStringLiteral("account 110 out of step: customers %1, account %2").arg(customersTotal).arg(account110);
    // A holding row is either still waiting or posted, never both.
    const int both = db.scalar(QStringLiteral(
                           "SELECT (SELECT COUNT(*) FROM 売上商品マスター仮 h JOIN 売上商品マスター p USING (売上シリアル))"
                           " + (SELECT COUNT(*) FROM 経理マスター仮 h JOIN 経理マスター p USING (経理シリアル))"))
                         .toInt();
    if (both != 0)
        wrong << QStringLiteral("%1 rows both held and posted").arg(both);
    // The counter is past every slip number in use.
    const int highest = db.scalar(QStringLiteral(
                              "SELECT MAX(n) FROM (SELECT MAX(売上伝票番号) AS n FROM 売上商品マスター仮"
                              " UNION ALL SELECT MAX(売上伝票番号) FROM 売上商品マスター UNION ALL SELECT MAX(売上伝票番号) FROM 売掛マスター"
                              " UNION ALL SELECT MAX(経理伝票番号) FROM 経理マスター仮 UNION ALL SELECT MAX(経理伝票番号) FROM 経理マスター) AS slips"))
                            .toInt();
    const Configuration config = parseConfiguration(fileBytes(dir + u'/' + ConfigName), ConfigName);
    if (config.slipCounter <= highest)
        wrong << QStringLiteral("slip counter %1 not past slip %2").arg(config.slipCounter).arg(highest);
    if (testSession().config.slipCounter != config.slipCounter)
        wrong << QStringLiteral("slip counter %1 in memory, %2 in the file").arg(testSession().config.slipCounter).arg(config.slipCounter);
    // A backup in place is always a whole one. (A server shop's backups are
    // the server's dumps, made and checked by their own tests.)
    const QString backup = dir + QStringLiteral("/backup1/") + DatabaseName;
    if (!db.onServer()) {
        if (!QFile::exists(backup))
            wrong << QStringLiteral("backup1 lost");
        else if (const QString problem = databaseProblem(backup); !problem.isEmpty())
            wrong << QStringLiteral("backup: ") + problem;
    }
    if (content)
        *content = dump(db);
    return wrong;
}

// ------------------------------------------------------------ the runs

int pointsFromEnvironment(const char* name, int fallback)
{
    const QByteArray value = qgetenv(name);
    bool ok = false;
    const int n = value.toInt(&ok);
    return ok && n > 0 ? n : fallback;
}

// Spreads `total` points over actions with `available[i]` points each.
std::vector<int> spread(int total, const std::vector<long>& available)
{
    std::vector<int> share(available.size(), 0);
    int left = total;
    for (bool progress = true; left > 0 && progress;) {
        progress = false;
        for (std::size_t i = 0; i < available.size() && left > 0; ++i)
            if (share[i] < available[i]) {
                ++share[i];
                --left;
                progress = true;
            }
    }
    return share;
}

// The `k`th of `count` points spread evenly over 1..n.
long pointAt(int k, int count, long n)
{
    return count <= 1 ? n : 1 + long((double(k) * double(n - 1)) / double(count - 1) + 0.5);
}

// Half of a posting done by hand on the reference shop: slip 10's line
// copied to the posted tables with the customer untouched (customers 10000
// yen, account 110 1200 + 6800 - 4600), and payment slip 14 posted with
// 1002's received amount untouched.
void postHalfByHand(Database& db)
{
    db.exec(QStringLiteral("INSERT INTO 売上商品マスター SELECT * FROM 売上商品マスター仮 WHERE 売上シリアル = 101"));
    db.exec(QStringLiteral("INSERT INTO 売掛マスター SELECT * FROM 売上商品マスター仮 WHERE 売上シリアル = 101"));
    db.exec(QStringLiteral("INSERT INTO 経理マスター SELECT * FROM 経理マスター仮 WHERE 経理シリアル = 104"));
    db.exec(QStringLiteral("DELETE FROM 経理マスター仮 WHERE 経理シリアル = 104"));
}

// What the checks must find after postHalfByHand.
QStringList halfDoneFindings()
{
    return {QStringLiteral("customer 1001: credit sales 50000000, unbilled lines 90000000"),
            QStringLiteral("customer 1002: payments 0, posted payments 8000000"),
            QStringLiteral("account 110 out of step: customers 100000000, account 34000000"),
            QStringLiteral("1 rows both held and posted")};
}

struct Reference {
    QStringList before;
    QStringList after;
    QStringList backupBefore; // backup1's content before the action
    QStringList backupAfter;  // and after it
    long operations = 0;
};

class CrashTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        faultvfs::install();
        shop_ = new QTemporaryDir;
        buildShop(shop_->path());
        QDir::setCurrent(shop_->path());
        {
            QTemporaryDir copy;
            copyShop(shop_->path(), copy.path());
            const QString dir = copy.path();
            Database db(dir + u'/' + DatabaseName);
            offset_ = db.scalar(QStringLiteral("SELECT (SELECT SUM(顧客売掛前回請求金額 - 顧客売掛入金額 + 顧客売掛締後売上額) FROM 顧客マスター)"
                                               " - (SELECT 期首残高 FROM 勘定科目TBL WHERE 科目番号 = 110)"
                                               " - (SELECT COALESCE(SUM(経理金額), 0) FROM 経理マスター WHERE 経理借方コード = 110)"
                                               " + (SELECT COALESCE(SUM(経理金額), 0) FROM 経理マスター WHERE 経理貸方コード = 110)"))
                          .toLongLong();
        }
        references_ = new std::vector<Reference>;
        for (const Action& action : actions()) {
            QTemporaryDir copy;
            copyShop(shop_->path(), copy.path());
            Reference r;
            r.before = dumpOf(copy.path() + u'/' + DatabaseName);
            r.backupBefore = dumpOf(copy.path() + QStringLiteral("/backup1/") + DatabaseName);
            const Outcome o = runInChild(action, copy.path(), faultvfs::Mode::Count, 0);
            r.operations = o.operations;
            r.after = dumpOf(copy.path() + u'/' + DatabaseName);
            r.backupAfter = dumpOf(copy.path() + QStringLiteral("/backup1/") + DatabaseName);
            references_->push_back(r);
        }
    }

    static void TearDownTestSuite()
    {
        delete references_;
        delete shop_;
    }

    static QTemporaryDir* shop_;
    static std::vector<Reference>* references_;
    static std::int64_t offset_;
};

QTemporaryDir* CrashTest::shop_ = nullptr;
std::vector<Reference>* CrashTest::references_ = nullptr;
std::int64_t CrashTest::offset_ = 0;


QString describe(const QStringList& wrong)
{
    return wrong.join(QStringLiteral("; "));
}

// The rows a dump holds of one table, "[table]" line excluded.
QStringList rowsIn(const QStringList& content, const QString& table)
{
    const qsizetype start = content.indexOf(QStringLiteral("[%1]").arg(table));
    QStringList rows;
    for (qsizetype i = start + 1; start >= 0 && i < content.size() && !content[i].startsWith(u'['); ++i)
        rows << content[i];
    return rows;
}

const Action& actionNamed(const char* name)
{
    for (const Action& a : actions())
        if (qstrcmp(a.name, name) == 0)
            return a;
    throw std::logic_error(name);
}

} // namespace

// Without a crash every action writes what it should and the books check
// passes: the checks below would notice a crash's damage, not the shop's.
TEST_F(CrashTest, EveryActionUninterruptedKeepsTheBooksInStep)
{
    ASSERT_EQ(references_->size(), actions().size());
    for (std::size_t i = 0; i < actions().size(); ++i) {
        const Action& action = actions()[i];
        const Reference& r = (*references_)[i];
        SCOPED_TRACE(action.name);
        EXPECT_GT(r.operations, 2);
        if (qstrcmp(action.name, "backup") == 0) {
            EXPECT_EQ(r.after, r.before);
            EXPECT_EQ(r.backupAfter, r.before);
            EXPECT_NE(r.backupBefore, r.before);
        } else if (qstrcmp(action.name, "old-data import") == 0) {
            // The shop's own tables come back as they were.
            EXPECT_EQ(r.after, r.before);
        } else {
            EXPECT_NE(r.after, r.before);
        }
        QTemporaryDir copy;
        copyShop(shop_->path(), copy.path());
        const Outcome o = runInChild(action, copy.path(), faultvfs::Mode::Count, 0);
        EXPECT_TRUE(o.exited);
        EXPECT_FALSE(o.reported(action)) << o.messages.toStdString();
        EXPECT_EQ(o.told, action.successText.isEmpty() ? QStringList() : QStringList{action.successText});
        QStringList content;
        EXPECT_EQ(describe(checkBooks(copy.path(), offset_, &content)), QString());
        EXPECT_EQ(content, r.after);
    }
}

// What the reference runs wrote, pinned: the slip under number 20 and the
// counter at 21, the posting of the three slips up to 5 June, the closing of
// 1001, the restore bringing back the shop without customer 1004.
TEST_F(CrashTest, ReferenceRunsWriteTheExpectedRows)
{
    const auto after = [](const char* name) {
        for (std::size_t i = 0; i < actions().size(); ++i)
            if (qstrcmp(actions()[i].name, name) == 0)
                return (*references_)[i].after;
        return QStringList();
    };
    // Credit slip of 1002: 1500 × 2 at 8 % tax category 5 plus 2000, tax line.
    const QStringList slip = rowsIn(after("slip"), QStringLiteral("売上商品マスター仮"));
    ASSERT_EQ(slip.size(), 7);
    EXPECT_TRUE(slip[4].startsWith(QStringLiteral("105|20|45447|1002|1|2|5|201")));
    const QStringList slipJournal = rowsIn(after("slip"), QStringLiteral("経理マスター仮"));
    EXPECT_EQ(slipJournal.size(), 5 + 3);
    // 1001 after the daily update: 5000 + 4000 + 1500 (1003 is billed to it).
    const QStringList posted = rowsIn(after("daily update"), QStringLiteral("顧客マスター"));
    ASSERT_EQ(posted.size(), 5);
    EXPECT_TRUE(posted[0].contains(QStringLiteral("|105000000|"))) << posted[0].toStdString();
    EXPECT_EQ(rowsIn(after("daily update"), QStringLiteral("売上商品マスター仮")).size(), 1);
    EXPECT_EQ(rowsIn(after("daily update"), QStringLiteral("経理マスター仮")).size(), 1);
    // The closing takes 1001's two lines of May.
    EXPECT_EQ(rowsIn(after("invoice closing"), QStringLiteral("売掛マスター")).size(), 1);
    // Old data: the two lines up to 15 April go, and the gas rows before the
    // reading of 1 April.
    EXPECT_EQ(rowsIn(after("old sales lines"), QStringLiteral("売上商品マスター")).size(), 3);
    EXPECT_EQ(rowsIn(after("old gas data"), QStringLiteral("ガスデータ")).size(), 1);
    EXPECT_EQ(rowsIn(after("restore"), QStringLiteral("顧客マスター")).size(), 4);
    EXPECT_EQ(rowsIn(after("result run"), QStringLiteral("経理マスター仮")).size(), 5 + 2);
}

// The checks are not blind: half of a posting, done by hand, is seen.
TEST_F(CrashTest, TheChecksSeeHalfDoneWork)
{
    QTemporaryDir copy;
    copyShop(shop_->path(), copy.path());
    {
        Database db(copy.path() + u'/' + DatabaseName);
        postHalfByHand(db);
    }
    EXPECT_EQ(checkBooks(copy.path(), offset_), halfDoneFindings());
}

// The last kill point of a slip falls between the database commit and the
// rewrite of HMWcfg.dat: the rows of slip 20 are stored, the file still says
// 20, and start-up moves the counter to 21 so the number is never used twice.
TEST_F(CrashTest, KillBetweenCommitAndConfigurationWriteIsRepairedAtStartUp)
{
    for (const char* name : {"slip", "payment", "journal entry"}) {
        SCOPED_TRACE(name);
        const Action& action = actionNamed(name);
        const Reference& r = (*references_)[std::size_t(&action - actions().data())];
        QTemporaryDir copy;
        copyShop(shop_->path(), copy.path());
        const Outcome o = runInChild(action, copy.path(), faultvfs::Mode::KillAfter, r.operations);
        EXPECT_EQ(o.signal, SIGKILL);
        EXPECT_EQ(dumpOf(copy.path() + u'/' + DatabaseName), r.after);
        EXPECT_EQ(parseConfiguration(fileBytes(copy.path() + u'/' + ConfigName), ConfigName).slipCounter, FirstFreeSlip);
        {
            Database db(copy.path() + u'/' + DatabaseName);
            EXPECT_EQ(db.scalar(QStringLiteral("SELECT MAX(経理伝票番号) FROM 経理マスター仮")).toInt(), FirstFreeSlip);
        }
        EXPECT_EQ(describe(checkBooks(copy.path(), offset_)), QString());
        EXPECT_EQ(parseConfiguration(fileBytes(copy.path() + u'/' + ConfigName), ConfigName).slipCounter, FirstFreeSlip + 1);
    }
}

// A kill at any write or sync of any action: start-up repairs what needs
// repair and the books are whole, each action either done or not at all.
TEST_F(CrashTest, KillAtAnyWriteLeavesTheBooksWhole)
{
    std::vector<long> available;
    for (std::size_t i = 0; i < actions().size(); ++i) {
        available.push_back((*references_)[i].operations + 1);
        std::printf("%s: %ld writes and syncs\n", actions()[i].name, (*references_)[i].operations);
    }
    const std::vector<int> share = spread(pointsFromEnvironment("HIMAWARI_CRASH_POINTS", 240), available);
    int tried = 0, killed = 0, inconsistent = 0;
    for (std::size_t i = 0; i < actions().size(); ++i) {
        const Action& action = actions()[i];
        const Reference& r = (*references_)[i];
        for (int k = 0; k < share[i]; ++k) {
            const long point = pointAt(k, share[i], available[i]);
            const bool after = point > r.operations;
            QTemporaryDir copy;
            copyShop(shop_->path(), copy.path());
            const Outcome o = runInChild(action, copy.path(), after ? faultvfs::Mode::KillAfter : faultvfs::Mode::KillBefore,
                                         after ? r.operations : point);
            ++tried;
            killed += o.signal == SIGKILL;
            QStringList content;
            QStringList wrong = checkBooks(copy.path(), offset_, &content);
            if (content != r.before && content != r.after)
                wrong << QStringLiteral("the database is neither as before nor as after the action");
            const QStringList backup = dumpOf(copy.path() + QStringLiteral("/backup1/") + DatabaseName);
            if (backup != r.backupBefore && backup != r.backupAfter)
                wrong << QStringLiteral("backup1 is neither the old nor the new backup");
            if (!wrong.isEmpty()) {
                ++inconsistent;
                ADD_FAILURE() << action.name << (after ? " killed after write " : " killed before write ") << point
                              << ": " << describe(wrong).toStdString();
            }
        }
    }
    std::printf("crash test: %d kill points tried (%d killed), inconsistencies found: %d\n", tried, killed, inconsistent);
    EXPECT_GE(tried, std::min(200, pointsFromEnvironment("HIMAWARI_CRASH_POINTS", 240)));
    EXPECT_GE(killed, tried * 9 / 10);
}

// A write or sync failing as on a broken or full disk: the operator is told
// in Japanese, the program stays up, and the database is as before.
TEST_F(CrashTest, FailingDiskIsToldAndLeavesTheDatabaseAsBefore)
{
    std::vector<long> available;
    for (const Reference& r : *references_)
        available.push_back(r.operations);
    const std::vector<int> share = spread(pointsFromEnvironment("HIMAWARI_FAULT_POINTS", 130), available);
    int tried = 0, faults = 0;
    for (std::size_t i = 0; i < actions().size(); ++i) {
        const Action& action = actions()[i];
        const Reference& r = (*references_)[i];
        for (int k = 0; k < share[i]; ++k) {
            const long point = pointAt(k, share[i], available[i]);
            // A full disk stays full; an I/O error may be lasting or pass.
            const int code = (k % 2) ? SQLITE_FULL : SQLITE_IOERR;
            const faultvfs::Mode mode = k % 4 == 2 ? faultvfs::Mode::FailOnce : faultvfs::Mode::Fail;
            QTemporaryDir copy;
            copyShop(shop_->path(), copy.path());
            const Outcome o = runInChild(action, copy.path(), mode, point, code);
            ++tried;
            QStringList wrong;
            if (!o.exited)
                wrong << QStringLiteral("the program went down (signal %1)").arg(o.signal);
            QStringList content;
            wrong << checkBooks(copy.path(), offset_, &content);
            const QStringList backup = dumpOf(copy.path() + QStringLiteral("/backup1/") + DatabaseName);
            if (o.exited && o.failures > 0 && o.reported(action)) {
                if (!o.japanese())
                    wrong << QStringLiteral("told in words that are not Japanese: ") + o.messages;
                // Only a failed compaction leaves the deletion done, and
                // then the operator hears that it was done.
                const bool compactionOnly = action.compacts && o.told.size() == 1
                                            && o.told[0].startsWith(action.successText + QStringLiteral("\n（ファイルの縮小はできませんでした"));
                if (compactionOnly ? content != r.after : content != r.before)
                    wrong << QStringLiteral("the database is not as the message says");
                if (backup != r.backupBefore)
                    wrong << QStringLiteral("the earlier backup was not kept");
            } else if (o.exited) {
                // Nothing failed, or the program went round the failure (the
                // restore keeps the replaced database as plain bytes when
                // SQLite cannot copy it): then the action is wholly done.
                if (content != r.after)
                    wrong << QStringLiteral("the failure was not told and the action is not done");
                if (backup != r.backupAfter)
                    wrong << QStringLiteral("the failure was not told and the backup is not the new one");
                const QString kept = copy.path() + u'/' + DatabaseName + QStringLiteral(".before-restore");
                if (qstrcmp(action.name, "restore") == 0 && dumpOf(kept) != r.before)
                    wrong << QStringLiteral("the database kept before the restore is not the replaced one");
            }
            if (qEnvironmentVariableIsSet("HIMAWARI_CRASH_VERBOSE"))
                std::printf("%s %ld: failures %ld, told %d, as before %d, as after %d: %s\n", action.name, point, o.failures,
                            int(o.reported(action)), int(content == r.before), int(content == r.after), qPrintable(o.messages));
            if (!wrong.isEmpty()) {
                ++faults;
                ADD_FAILURE() << action.name << (code == SQLITE_FULL ? " disk full at write " : mode == faultvfs::Mode::FailOnce ? " one I/O error at write " : " I/O error at write ")
                              << point << ": " << describe(wrong).toStdString() << " / told: " << o.messages.toStdString();
            }
        }
    }
    std::printf("failing disk: %d points tried, faults found: %d\n", tried, faults);
}

// The configuration file is written after the database's last write. A kill
// in the middle of that write (the process dies once the file has 0 or 40
// bytes) and a disk that is full just then: HMWcfg.dat is still read at
// start-up, the counter is moved past every stored slip, the books are
// whole, and on the full disk the program stays up and says what happened.
TEST_F(CrashTest, KillOrFullDiskInsideTheConfigurationWrite)
{
    // The gas event writes the file inside its transaction, before the
    // commit, so a kill there is a kill before the commit: the kill points
    // at SQLite's writes around it cover it.
    const QStringList writingFiles = {QStringLiteral("slip"), QStringLiteral("payment"), QStringLiteral("journal entry"),
                                      QStringLiteral("result run"), QStringLiteral("backup"), QStringLiteral("restore")};
    QStringList killedInFile;
    for (std::size_t i = 0; i < actions().size(); ++i) {
        const Action& action = actions()[i];
        const Reference& r = (*references_)[i];
        for (const faultvfs::Mode mode : {faultvfs::Mode::KillInFileAfter, faultvfs::Mode::FailFileAfter}) {
            for (const int bytes : {0, 40}) {
                const bool kill = mode == faultvfs::Mode::KillInFileAfter;
                SCOPED_TRACE(std::string(action.name) + (kill ? " killed in the file write at " : " disk full at ")
                             + std::to_string(bytes) + " bytes");
                QTemporaryDir copy;
                copyShop(shop_->path(), copy.path());
                const Outcome o = runInChild(action, copy.path(), mode, r.operations, bytes);
                const bool inWrite = writingFiles.contains(QString::fromLatin1(action.name));
                if (kill) {
                    EXPECT_EQ(o.signal, inWrite ? SIGXFSZ : 0) << o.messages.toStdString();
                    if (o.signal == SIGXFSZ && bytes == 0)
                        killedInFile << QString::fromLatin1(action.name);
                } else {
                    EXPECT_TRUE(o.exited) << "signal " << o.signal;
                    EXPECT_EQ(o.reported(action), inWrite) << o.messages.toStdString();
                    EXPECT_TRUE(o.japanese()) << o.messages.toStdString();
                }
                QStringList content;
                EXPECT_EQ(describe(checkBooks(copy.path(), offset_, &content)), QString());
                EXPECT_TRUE(content == r.before || content == r.after);
                const QStringList backup = dumpOf(copy.path() + QStringLiteral("/backup1/") + DatabaseName);
                EXPECT_TRUE(backup == r.backupBefore || backup == r.backupAfter);
                if (!kill && qstrcmp(action.name, "backup") == 0) {
                    EXPECT_EQ(backup, r.backupBefore);
                }
            }
        }
    }
    EXPECT_EQ(killedInFile, writingFiles);
}

// ------------------------------------------------------------ the server half
//
// The same shop in a schema of its own on the PostgreSQL server that
// HIMAWARI_TEST_SERVER names (HMWsrv.dat beside HMWcfg.dat), a fresh one for
// every run. FaultVfs sees no write of a server, so a child is killed by
// time instead: each action's uninterrupted run is timed first, then it is
// killed after k/(n+1) of that time for k = 1..n (n = HIMAWARI_CRASH_POINTS
// / 30, 8 by default), and once more in its first file write, which for a
// slip, a payment, a journal entry and a bank result run is the rewrite of
// HMWcfg.dat after the database's commit. Backup and restore go through the
// server's own dump and restore and have their own tests; old data is
// brought into a file shop only.

namespace {

const char* const NoServer =
    "no PostgreSQL server (HIMAWARI_TEST_SERVER is not set): the server half of the crash tests is skipped";

bool appliesToServer(const Action& action)
{
    for (const char* fileOnly : {"backup", "restore", "old-data import"})
        if (qstrcmp(action.name, fileOnly) == 0)
            return false;
    return true;
}

// The shop on the server: a folder with the configuration and HMWsrv.dat
// naming a new schema, which holds the rows of the file shop (customer 1004
// included). The schema is dropped at the end.
class ServerShop {
public:
    ServerShop()
    {
        static int counter = 0;
        ServerLocation server = *serverLocation(testServerLocation());
        server.schema = QStringLiteral("crash%1_%2").arg(::getpid()).arg(++counter);
        schema_ = server.schema;
        path_ = serverLocationText(server);
        const QString dir = dir_.path();
        QDir(dir).mkpath(QStringLiteral("backup1"));
        QDir(dir).mkpath(QStringLiteral("backup2"));
        writeFile(dir + u'/' + ConfigName, configurationBytes(configurationFor(dir, FirstFreeSlip), ConfigName));
        writeFile(dir + u'/' + ServerFileName, serverFileBytes(server));
        try {
            Database db = Database::create(path_);
            fillShop(db);
            addCustomer(db, "1004", "佐藤　三郎", "0", "0", Date(), "0", Date(), "0", "0");
        } catch (...) {
            dropSchema();
            throw;
        }
    }
    ~ServerShop() { dropSchema(); }
    ServerShop(const ServerShop&) = delete;
    ServerShop& operator=(const ServerShop&) = delete;

    QString dir() const { return dir_.path(); }
    const QString& path() const { return path_; }
    QStringList content() const
    {
        Database db(path_);
        return dump(db);
    }
    int counterInFile() const
    {
        return parseConfiguration(fileBytes(dir() + u'/' + ConfigName), ConfigName).slipCounter;
    }
    // A killed client's server session goes on with what it was sent (a
    // COMMIT among it) until it finds the client gone. Waits, up to 10 s,
    // until no other session holds a lock on the shop's tables, so the checks
    // see what stays. Returns whether it had to wait.
    bool awaitOtherSessions() const
    {
        Database server(testServerLocation());
        for (int i = 0; i < 1000; ++i) {
            const int held = server.scalar(QStringLiteral(
                                               "SELECT COUNT(*) FROM pg_locks l JOIN pg_class c ON c.oid = l.relation"
                                               " JOIN pg_namespace n ON n.oid = c.relnamespace"
                                               " WHERE n.nspname = ? AND l.pid <> pg_backend_pid()"),
                                           {schema_})
                                     .toInt();
            if (held == 0)
                return i > 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        throw std::runtime_error("a session of a killed child still holds the shop's tables");
    }

private:
    void dropSchema() const
    {
        try {
            Database server(testServerLocation());
            server.exec(QStringLiteral("DROP SCHEMA IF EXISTS ") + schema_ + QStringLiteral(" CASCADE"));
        } catch (const std::exception&) {
        }
    }

    QTemporaryDir dir_;
    QString schema_;
    QString path_;
};

struct ServerReference {
    const Action* action = nullptr;
    QStringList before;
    QStringList after;
    QStringList wrong;       // what the books check found after the run
    QStringList told;
    bool exited = false;
    long microseconds = 0;   // the run, from its start to its end
    int counterAfter = 0;    // the slip counter in HMWcfg.dat after it
};

} // namespace

class ServerCrashTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (testServerLocation().isEmpty()) {
            std::printf("%s\n", NoServer);
            return;
        }
        // A folder to work in; each shop has its own.
        work_ = new QTemporaryDir;
        QDir::setCurrent(work_->path());
        references_ = new std::vector<ServerReference>;
        for (const Action& action : actions()) {
            if (!appliesToServer(action))
                continue;
            ServerShop shop;
            ServerReference r;
            r.action = &action;
            r.before = shop.content();
            if (references_->empty()) {
                Database db(shop.path());
                offset_ = db.scalar(QStringLiteral("SELECT (SELECT SUM(顧客売掛前回請求金額 - 顧客売掛入金額 + 顧客売掛締後売上額) FROM 顧客マスター)"
                                                   " - (SELECT 期首残高 FROM 勘定科目TBL WHERE 科目番号 = 110)"
                                                   " - (SELECT COALESCE(SUM(経理金額), 0) FROM 経理マスター WHERE 経理借方コード = 110)"
                                                   " + (SELECT COALESCE(SUM(経理金額), 0) FROM 経理マスター WHERE 経理貸方コード = 110)"))
                              .toLongLong();
            }
            const Outcome o = runInChild(action, shop.dir(), faultvfs::Mode::Count, 0, 0, TimedKill{.announce = true});
            r.exited = o.exited;
            r.told = o.told;
            r.microseconds = o.microseconds;
            r.after = shop.content();
            r.counterAfter = shop.counterInFile();
            r.wrong = checkBooks(shop.dir(), offset_);
            references_->push_back(r);
        }
    }

    static void TearDownTestSuite()
    {
        delete references_;
        references_ = nullptr;
        delete work_;
        work_ = nullptr;
    }

    void SetUp() override
    {
        if (testServerLocation().isEmpty())
            GTEST_SKIP() << NoServer;
    }

    static const ServerReference& reference(const char* name)
    {
        for (const ServerReference& r : *references_)
            if (qstrcmp(r.action->name, name) == 0)
                return r;
        throw std::logic_error(name);
    }

    static QTemporaryDir* work_;
    static std::vector<ServerReference>* references_;
    static std::int64_t offset_;
};

QTemporaryDir* ServerCrashTest::work_ = nullptr;
std::vector<ServerReference>* ServerCrashTest::references_ = nullptr;
std::int64_t ServerCrashTest::offset_ = 0;

// Without a kill every action that a server shop has writes what it should
// on the server too, the books in step: the kills below would show their
// own damage. The rows are those the file runs write (see
// ReferenceRunsWriteTheExpectedRows).
TEST_F(ServerCrashTest, EveryActionUninterruptedKeepsTheBooksInStep)
{
    ASSERT_EQ(references_->size(), 10u);
    for (const ServerReference& r : *references_) {
        SCOPED_TRACE(r.action->name);
        EXPECT_TRUE(r.exited);
        EXPECT_EQ(r.told, r.action->successText.isEmpty() ? QStringList() : QStringList{r.action->successText});
        EXPECT_EQ(describe(r.wrong), QString());
        EXPECT_NE(r.after, r.before);
        EXPECT_GT(r.microseconds, 0);
    }
    const QStringList slip = rowsIn(reference("slip").after, QStringLiteral("売上商品マスター仮"));
    ASSERT_EQ(slip.size(), 7);
    EXPECT_TRUE(slip[4].startsWith(QStringLiteral("105|20|45447|1002|1|2|5|201"))) << slip[4].toStdString();
    EXPECT_EQ(rowsIn(reference("slip").after, QStringLiteral("経理マスター仮")).size(), 5 + 3);
    const QStringList posted = rowsIn(reference("daily update").after, QStringLiteral("顧客マスター"));
    ASSERT_EQ(posted.size(), 5);
    EXPECT_TRUE(posted[0].startsWith(QStringLiteral("1001")) && posted[0].contains(QStringLiteral("|105000000|")))
        << posted[0].toStdString();
    EXPECT_EQ(rowsIn(reference("daily update").after, QStringLiteral("売上商品マスター仮")).size(), 1);
    EXPECT_EQ(rowsIn(reference("daily update").after, QStringLiteral("経理マスター仮")).size(), 1);
    EXPECT_EQ(rowsIn(reference("invoice closing").after, QStringLiteral("売掛マスター")).size(), 1);
    EXPECT_EQ(rowsIn(reference("old sales lines").after, QStringLiteral("売上商品マスター")).size(), 3);
    EXPECT_EQ(rowsIn(reference("old gas data").after, QStringLiteral("ガスデータ")).size(), 1);
    EXPECT_EQ(rowsIn(reference("result run").after, QStringLiteral("経理マスター仮")).size(), 5 + 2);
}

// A kill -9 at moments spread over each action's run, and once in its first
// file write: start-up repairs what needs repair and the books are whole,
// each action either done or not at all. Killed in the rewrite of HMWcfg.dat,
// a slip, a payment, a journal entry and a bank result run are committed
// with the counter still at 20 in the file, and start-up moves it past the
// numbers they used, where their whole run leaves it; a gas event writes the
// file inside its transaction and is not done.
TEST_F(ServerCrashTest, KillAtAnyMomentLeavesTheBooksWhole)
{
    const int perAction = std::max(1, (pointsFromEnvironment("HIMAWARI_CRASH_POINTS", 240) + 15) / 30);
    const QStringList writingFiles = {QStringLiteral("slip"), QStringLiteral("payment"), QStringLiteral("journal entry"),
                                      QStringLiteral("result run")};
    int tried = 0, killed = 0, inconsistent = 0, waited = 0;
    for (const ServerReference& r : *references_) {
        const Action& action = *r.action;
        int asBefore = 0, asAfter = 0;
        // The moments k/(n+1) of the run; when all of them come after the
        // commit (an old-data deletion spends most of its run compacting
        // afterwards), n/2 more inside the first of them; then the file write.
        std::vector<long> delays;
        for (int k = 1; k <= perAction; ++k)
            delays.push_back(r.microseconds * k / (perAction + 1));
        for (std::size_t point = 0; point <= delays.size(); ++point) {
            const bool inFileWrite = point == delays.size();
            const long delay = inFileWrite ? -1 : delays[point];
            ServerShop shop;
            const Outcome o = runInChild(action, shop.dir(), faultvfs::Mode::Count, 0, 0,
                                         TimedKill{.announce = true, .killAfterMicroseconds = delay, .noFileGrowth = inFileWrite});
            ++tried;
            killed += o.signal == SIGKILL || o.signal == SIGXFSZ;
            waited += shop.awaitOtherSessions();
            const int counterBefore = shop.counterInFile();
            QStringList content;
            QStringList wrong = checkBooks(shop.dir(), offset_, &content);
            if (content != r.before && content != r.after)
                wrong << QStringLiteral("the database is neither as before nor as after the action");
            asBefore += content == r.before;
            asAfter += content == r.after;
            if (inFileWrite) {
                const QString name = QString::fromLatin1(action.name);
                const bool writes = writingFiles.contains(name) || name == QStringLiteral("gas event");
                if (o.signal != (writes ? SIGXFSZ : 0))
                    wrong << QStringLiteral("ended by signal %1 in the file write").arg(o.signal);
                if (writingFiles.contains(name)) {
                    if (content != r.after)
                        wrong << QStringLiteral("not committed before the configuration write");
                    if (counterBefore != FirstFreeSlip || shop.counterInFile() != r.counterAfter)
                        wrong << QStringLiteral("counter %1 in the file after the kill, %2 after start-up")
                                     .arg(counterBefore)
                                     .arg(shop.counterInFile());
                } else if (writes && content != r.before) {
                    wrong << QStringLiteral("committed although killed inside the transaction");
                } else if (!writes && content != r.after) {
                    wrong << QStringLiteral("writes no file and still not done");
                }
            }
            if (!wrong.isEmpty()) {
                ++inconsistent;
                ADD_FAILURE() << action.name
                              << (inFileWrite ? std::string(" killed in its first file write")
                                              : " killed " + std::to_string(delay) + " µs into its run")
                              << ": " << describe(wrong).toStdString();
            }
            if (point + 1 == std::size_t(perAction) && asBefore == 0) {
                const int more = std::max(1, perAction / 2);
                for (int k = 1; k <= more; ++k)
                    delays.push_back(delays[0] * k / (more + 1));
            }
        }
        std::printf("%s: %ld µs on the server, %d points; after the kills %d as before, %d as after\n", action.name,
                    r.microseconds, int(delays.size()) + 1, asBefore, asAfter);
        std::fflush(stdout);
    }
    std::printf("crash test (server): %d kill points tried (%d killed), inconsistencies found: %d\n", tried, killed,
                inconsistent);
    std::printf("(%d times a killed child's session was still at work on the server)\n", waited);
    EXPECT_EQ(inconsistent, 0);
    EXPECT_GE(tried, int(references_->size()) * (perAction + 1));
    // Most of the timed points land inside the run.
    EXPECT_GE(killed, tried / 2);
}

// The checks read the server shop, and are not blind there: half of a
// posting, done by hand, is seen as on a file.
TEST_F(ServerCrashTest, TheChecksSeeHalfDoneWork)
{
    ServerShop shop;
    {
        Database db(shop.path());
        postHalfByHand(db);
    }
    EXPECT_EQ(checkBooks(shop.dir(), offset_), halfDoneFindings());
}
