// The database on a server: the same tables and columns as the file, the
// money functions with the same results and errors, the location of the
// server as the configuration names it, and the run lock that keeps two
// computers from closing the books at once.
#include "core/Currency.h"
#include "db/Database.h"
#include "db/DatabaseLocation.h"
#include "db/Dialect.h"
#include "db/ExclusiveRun.h"
#include "support/TestInstallation.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

#define REQUIRE_SERVER()                                                                                  \
    if (!testingOnServer())                                                                               \
    GTEST_SKIP() << "compares the file with the server: runs in the server half (--server)"

std::int64_t ticks(const char* text)
{
    return Currency::parse(QString::fromLatin1(text))->ticks();
}

} // namespace

TEST(ServerLocation, ReadsTheServerFileAndWritesItsLocation)
{
    const ServerLocation s = parseServerFile("# the shop's server\nkind=postgresql\nhost=192.168.1.10\nport=5433\n"
                                             "dbname=himawari\nuser=shop\n");
    EXPECT_EQ(s.host, QStringLiteral("192.168.1.10"));
    EXPECT_EQ(s.port, 5433);
    EXPECT_EQ(s.databaseName, QStringLiteral("himawari"));
    EXPECT_EQ(s.user, QStringLiteral("shop"));
    const QString text = serverLocationText(s);
    EXPECT_EQ(text, QStringLiteral("postgresql: host=192.168.1.10 port=5433 dbname=himawari user=shop"));
    EXPECT_TRUE(isServerLocation(text));
    EXPECT_FALSE(isServerLocation(QStringLiteral("/home/shop/himawari.db")));
    EXPECT_EQ(serverLocation(text)->port, 5433);
    EXPECT_EQ(parseServerFile(serverFileBytes(s)).databaseName, s.databaseName);

    // A folder with a blank survives the round trip.
    ServerLocation blank = s;
    blank.host = QStringLiteral("/run/my socket");
    EXPECT_EQ(serverLocation(serverLocationText(blank))->host, blank.host);

    // A password has no place there, nor an unknown kind; a database name is needed.
    EXPECT_THROW(parseServerFile("kind=postgresql\ndbname=x\npassword=secret\n"), std::invalid_argument);
    EXPECT_THROW(parseServerFile("kind=mysql\ndbname=x\n"), std::invalid_argument);
    EXPECT_THROW(parseServerFile("kind=postgresql\nhost=x\n"), std::invalid_argument);
    EXPECT_THROW(parseServerFile("kind=postgresql\ndbname=x\nport=http\n"), std::invalid_argument);
}

TEST(ServerSchema, AgreesWithTheFileTableByTableAndColumnByColumn)
{
    REQUIRE_SERVER();
    TestInstallation inst;
    QTemporaryDir fileDir;
    Database file = Database::create(fileDir.filePath(QStringLiteral("shop.db")));
    Database server = inst.database();

    QStringList fileTables = shopTableNames(file);
    QStringList serverTables = shopTableNames(server);
    for (QString& t : fileTables)
        t = tableKey(t);
    ASSERT_EQ(serverTables, fileTables);
    ASSERT_EQ(fileTables.size(), 30);

    for (const QString& table : fileTables) {
        const QVector<ColumnInfo> a = tableColumns(file, table);
        const QVector<ColumnInfo> b = tableColumns(server, table);
        ASSERT_EQ(a.size(), b.size()) << qPrintable(table);
        ASSERT_FALSE(a.isEmpty()) << qPrintable(table);
        for (int i = 0; i < a.size(); ++i) {
            EXPECT_EQ(tableKey(a[i].name), b[i].name) << qPrintable(table);
            EXPECT_EQ(int(a[i].kind), int(b[i].kind)) << qPrintable(table + "." + a[i].name);
        }
    }
    EXPECT_EQ(server.schemaVersion(), SchemaVersion);
    EXPECT_EQ(server.scalar("SELECT COUNT(*) FROM 勘定科目TBL").toInt(), file.scalar("SELECT COUNT(*) FROM 勘定科目TBL").toInt());
}

TEST(ServerSchema, MoneyFunctionsGiveTheFilesResultsAndErrors)
{
    REQUIRE_SERVER();
    TestInstallation inst;
    QTemporaryDir fileDir;
    Database file = Database::create(fileDir.filePath(QStringLiteral("shop.db")));
    Database server = inst.database();

    // Halves round to even, negative amounts floor, the products stay exact
    // where a double would not.
    const std::pair<const char*, const char*> products[] = {
        {"105", "0.5"},     {"0.0001", "0.5"},   {"0.0003", "0.5"},  {"-0.0003", "0.5"}, {"-12.5", "1"},
        {"2980", "1.08"},   {"0.1", "0.1"},      {"123456789.1234", "9.8765"}, {"-105", "0.5"}, {"900719925474.0993", "1"}};
    for (auto [a, b] : products) {
        const QVariantList args{qlonglong(ticks(a)), qlonglong(ticks(b))};
        EXPECT_EQ(server.scalar("SELECT CUR_MUL(?, ?)", args).toLongLong(), file.scalar("SELECT CUR_MUL(?, ?)", args).toLongLong())
            << a << " x " << b;
        EXPECT_EQ(server.scalar("SELECT CUR_INT(CUR_MUL(?, ?))", args).toLongLong(),
                  file.scalar("SELECT CUR_INT(CUR_MUL(?, ?))", args).toLongLong())
            << a << " x " << b;
    }
    EXPECT_EQ(server.scalar("SELECT CUR_INT(?)", {qlonglong(ticks("-12.5"))}).toLongLong(), ticks("-13"));
    EXPECT_EQ(server.scalar("SELECT DAYNUM(?)", {45321.75}).toLongLong(), 45321);
    EXPECT_EQ(server.scalar("SELECT DAYNUM(?)", {-0.5}).toLongLong(), -1);
    EXPECT_DOUBLE_EQ(server.scalar("SELECT SNG_MUL(?, ?)", {0.1, qlonglong(ticks("3"))}).toDouble(),
                     file.scalar("SELECT SNG_MUL(?, ?)", {0.1, qlonglong(ticks("3"))}).toDouble());
    EXPECT_TRUE(server.scalar("SELECT CUR_MUL(NULL, 1)").isNull());

    // Past the ticks' range both refuse, naming the function and the overflow.
    for (Database* db : {&file, &server}) {
        try {
            db->scalar("SELECT CUR_MUL(?, ?)", {qlonglong(9223372036854775807LL), qlonglong(ticks("2"))});
            ADD_FAILURE() << "no overflow";
        } catch (const DatabaseError& e) {
            EXPECT_EQ(e.databaseText(), QStringLiteral("CUR_MUL: Currency overflow"));
        }
    }
    // A real number is no money: the file's check and the server's types refuse it alike.
    EXPECT_THROW(server.scalar("SELECT CUR_MUL(1.5, 10000)"), DatabaseError);
}

TEST(ServerSchema, RulesSpeakTheirOwnWords)
{
    REQUIRE_SERVER();
    TestInstallation inst;
    Database db = inst.database();
    db.exec("INSERT INTO 顧客マスター (顧客コード, 顧客名前) VALUES ('12', '田中')");
    db.exec("INSERT INTO 経理マスター (経理伝票番号, 経理年月日, 経理金額, 経理借方コード, 経理貸方コード, 経理貸方相手先コード)"
            " VALUES (1, 45000, 10000, 10, 110, '12   ')");
    // The code compares without its trailing blanks, as on the file.
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM 経理マスター WHERE 経理貸方相手先コード = ?", {QStringLiteral("12")}).toInt(), 1);
    try {
        db.exec("DELETE FROM 顧客マスター WHERE 顧客コード = '12'");
        ADD_FAILURE() << "deleted";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.databaseText(), QStringLiteral("過去のデータが残っているため顧客の削除ができません。"));
    }
    db.exec("INSERT INTO 年次更新ＴＢＬ (年次更新期末日, 年次更新実行日) VALUES (45000, 45001)");
    try {
        db.exec("INSERT INTO ガスデータ (ガス年月日, ガス相手先コード) VALUES (45000, '12')");
        ADD_FAILURE() << "written into closed books";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.databaseText(), QStringLiteral("年次更新で締めた期間の日付です。"));
    }
    db.exec("INSERT INTO ガスデータ (ガス年月日, ガス相手先コード) VALUES (45001, '12')");
}

TEST(ExclusiveRuns, ASecondComputerIsRefusedAndToldWhoHoldsTheRun)
{
    REQUIRE_SERVER();
    TestInstallation inst;
    Database counter = inst.database();
    Database office = inst.database();
    {
        Database::setComputerName(QStringLiteral("レジ１"));
        Database first = inst.database();
        ExclusiveRun invoices(first, QStringLiteral("請求書発行"));
        Database::setComputerName(QStringLiteral("事務所"));
        try {
            ExclusiveRun yearEnd(office, QStringLiteral("年次更新"));
            ADD_FAILURE() << "two runs at once";
        } catch (const RunHeldElsewhere& e) {
            EXPECT_EQ(e.computer(), QStringLiteral("レジ１"));
            EXPECT_EQ(e.message(), QStringLiteral("別のコンピューター（レジ１）で請求書発行を実行中です。\n"
                                                  "終わってから、もう一度実行してください。"));
        }
    }
    // A long name is shortened to what the server keeps of it; the run's
    // name stays whole.
    {
        const QString longName = QStringLiteral("ひまわり米穀店　本店事務所の奥の帳場　DESKTOP-HIMAWARI-01");
        Database::setComputerName(longName);
        Database first = inst.database();
        ExclusiveRun deletion(first, QStringLiteral("古いデータの削除"));
        try {
            ExclusiveRun yearEnd(office, QStringLiteral("年次更新"));
            ADD_FAILURE() << "two runs at once";
        } catch (const RunHeldElsewhere& e) {
            EXPECT_TRUE(e.computer().size() >= 12 && longName.startsWith(e.computer())) << e.computer().toStdString();
            EXPECT_TRUE(e.message().contains(QStringLiteral("）で古いデータの削除を実行中です。")))
                << e.message().toStdString();
        }
    }
    // The first computer's run ended (its connection closed): the office may run.
    ExclusiveRun yearEnd(office, QStringLiteral("年次更新"));
    EXPECT_THROW(ExclusiveRun(counter, QStringLiteral("引落結果処理")), RunHeldElsewhere);
    Database::setComputerName(QString());
}

TEST(ExclusiveRuns, TwoShopsInOneServerDatabaseDoNotWaitForEachOther)
{
    REQUIRE_SERVER();
    TestInstallation shopA;
    Database a = shopA.database();
    ExclusiveRun runA(a, QStringLiteral("請求書発行"));
    TestInstallation shopB;
    Database b = shopB.database();
    ExclusiveRun runB(b, QStringLiteral("請求書発行"));
    Database a2 = shopA.database();
    EXPECT_THROW(ExclusiveRun(a2, QStringLiteral("年次更新")), RunHeldElsewhere);
}

TEST(ServerSchema, RefusalsReadInTheFilesWords)
{
    REQUIRE_SERVER();
    TestInstallation inst;
    QTemporaryDir fileDir;
    Database file = Database::create(fileDir.filePath(QStringLiteral("shop.db")));
    Database server = inst.database();
    // What the screens explain (a duplicate code, a missing value) reads the
    // same from both; a value of the wrong kind is a mismatch on both.
    auto refusal = [](Database& db, const QString& sql, const QVariantList& params = {}) {
        try {
            db.exec(sql, params);
        } catch (const DatabaseError& e) {
            return e.databaseText();
        }
        return QStringLiteral("(stored)");
    };
    for (Database* db : {&file, &server})
        db->exec("INSERT INTO 担当者コードＴＢＬ (担当者コード, 担当者名) VALUES (5, '佐藤')");
    const QString duplicate = "INSERT INTO 担当者コードＴＢＬ (担当者コード, 担当者名) VALUES (5, '鈴木')";
    EXPECT_EQ(refusal(server, duplicate), refusal(file, duplicate));
    EXPECT_EQ(refusal(server, duplicate), QStringLiteral("UNIQUE constraint failed: 担当者コードＴＢＬ.担当者コード"));
    const QString missing = "INSERT INTO 担当者コードＴＢＬ (担当者コード, 担当者名) VALUES (6, NULL)";
    EXPECT_EQ(refusal(server, missing), refusal(file, missing));
    const QString price = "INSERT INTO 商品マスター (単品コード, 単品売価) VALUES (?, ?)";
    EXPECT_TRUE(refusal(server, price, {QStringLiteral("A"), 19.8}).startsWith(QStringLiteral("datatype mismatch")));
    EXPECT_TRUE(refusal(server, price, {QStringLiteral("B"), QStringLiteral("1980円")}).startsWith(QStringLiteral("datatype mismatch")));
    // A whole number of ticks bound as a real number is still money.
    EXPECT_EQ(refusal(server, price, {QStringLiteral("C"), 19800000.0}), QStringLiteral("(stored)"));
}

// Giving deleted rows' space back after old data is deleted touches this
// shop's tables only: a second shop in the same server database is left to
// its own work.
TEST(ServerSchema, CompactingVacuumsOnlyTheShopsOwnTables)
{
    REQUIRE_SERVER();
    TestInstallation shopA;
    TestInstallation shopB;
    Database a = shopA.database();
    a.exec("DELETE FROM 担当者コードＴＢＬ");
    compactDatabase(a);
    Database observer(testServerLocation());
    auto vacuumed = [&](const TestInstallation& shop) {
        return observer
            .scalar(QStringLiteral("SELECT COUNT(*) FROM pg_stat_user_tables WHERE schemaname = ? AND last_vacuum IS NOT NULL"),
                    {serverLocation(shop.databasePath())->schema})
            .toInt();
    };
    EXPECT_EQ(vacuumed(shopA), shopTableNames(a).size());
    EXPECT_EQ(vacuumed(shopB), 0);
}
