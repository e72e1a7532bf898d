// Moving an old shop in: its tables imported beside the live database and
// checked there; the live files untouched until the operator says so; then
// put in place as a restore does, the live database kept and the slip
// counter moved past the old numbers.
#include "maintenance/Backup.h"
#include "maintenance/OldDataMove.h"
#include "session/Routines.h"
#include "support/OldDataTables.h"
#include "support/TestInstallation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

OldValue text(const char* s) { return QString::fromUtf8(s); }
OldValue whole(std::int64_t i) { return i; }
OldValue yen(std::int64_t units) { return Currency::fromUnits(units); }
OldValue day(int y, int m, int d) { return Date::fromParts(y, m, d); }

// Two customers owing 5,000 and 2,500; the books' account 110 at 7,000
// (a balance set by hand is not in the journal); slip numbers up to 12.
TableSource oldShop(OldValue secondBalance = yen(2500))
{
    TableSource s;
    s.add({QStringLiteral("顧客マスター"),
           {{"顧客コード", JetType::Text},
            {"顧客名前", JetType::Text},
            {"顧客売掛前回請求金額", JetType::Currency},
            {"顧客売掛入金額", JetType::Currency},
            {"顧客売掛締後売上額", JetType::Currency}},
           {{text("1001"), text("青木　花子"), yen(8000), yen(3000), yen(0)},
            {text("1002"), text("井上　一郎"), yen(0), yen(0), secondBalance}}});
    s.add({QStringLiteral("経理マスター"),
           oldJournalColumns(),
           {{whole(1), whole(11), day(2024, 5, 1), yen(10000), whole(110), whole(5000)},
            {whole(2), whole(12), day(2024, 5, 20), yen(3000), whole(10), whole(110)}}});
    s.add({QStringLiteral("旧プログラムの作業表"), {{"列", JetType::Text}}, {{text("x")}}});
    return s;
}

class OldDataMove : public ::testing::Test {
protected:
    TestInstallation installation;
    Configuration& config = testSession().config;

    // The shop folder's files, by name.
    QStringList filesInShopFolder() const { return QDir(installation.dir()).entryList(QDir::Files, QDir::Name); }
    // Rows of a table of the live database.
    int rowsOf(const char* table) const
    {
        return Database(config.databasePath)
            .scalar(QStringLiteral("SELECT COUNT(*) FROM ") + QString::fromUtf8(table))
            .toInt();
    }
};

const QString OnServer = QStringLiteral("サーバーのデータベースには旧データを取り込めません。\n"
                                        "旧データはデータベースファイルの店に取り込んで確かめてから、店ごとサーバーに移してください。");

} // namespace

TEST_F(OldDataMove, TheOldShopIsCheckedBesideTheLiveDatabaseAndPutInPlaceOnlyWhenAsked)
{
    if (installation.onServer()) {
        // A server's database is no file another can take the place of: the
        // old data is refused before anything is read or written.
        const QByteArray configBefore = bytesOf(installation.configurationPath());
        const QStringList filesBefore = filesInShopFolder();
        try {
            stageOldData(oldShop(), config);
            FAIL() << "old data was staged for a shop on a server";
        } catch (const OperatorError& e) {
            EXPECT_EQ(e.message(), OnServer);
        }
        EXPECT_EQ(filesInShopFolder(), filesBefore);

        // Old data checked for a file shop is not put in place of the
        // server's data either; its staged file stays for discarding.
        Configuration fileShop = config;
        fileShop.databasePath = installation.path(QStringLiteral("file-shop.db"));
        const OldDataStaging staged = stageOldData(oldShop(), fileShop);
        ASSERT_TRUE(staged.canReplace()) << staged.problems.join(u'\n').toStdString();
        try {
            replaceWithOldData(staged, config, installation.configurationPath());
            FAIL() << "old data replaced a server's data";
        } catch (const BackupError& e) {
            EXPECT_EQ(e.message(), OnServer);
        }
        EXPECT_EQ(filesInShopFolder(), filesBefore + QStringList{QStringLiteral("file-shop.db.import")});
        EXPECT_EQ(bytesOf(installation.configurationPath()), configBefore);
        EXPECT_EQ(config.slipCounter, 1);
        EXPECT_EQ(rowsOf("顧客マスター"), 0);
        EXPECT_EQ(rowsOf("経理マスター"), 0);
        discardStagedOldData(staged);
        EXPECT_EQ(filesInShopFolder(), filesBefore);
        return;
    }

    const QByteArray liveBefore = bytesOf(config.databasePath);
    ASSERT_FALSE(liveBefore.isEmpty());
    const OldDataStaging staged = stageOldData(oldShop(), config);

    // The live database is as it was; the old data is in its own file.
    EXPECT_EQ(bytesOf(config.databasePath), liveBefore);
    EXPECT_EQ(staged.stagedPath, config.databasePath + QStringLiteral(".import"));
    EXPECT_TRUE(staged.canReplace()) << staged.problems.join(u'\n').toStdString();
    ASSERT_EQ(staged.summary.tables.size(), 2);
    for (const ImportedTable& t : staged.summary.tables) {
        EXPECT_EQ(t.rowsRead, 2) << t.table.toStdString();
        EXPECT_EQ(t.rowsWritten, 2) << t.table.toStdString();
    }
    // 10,000 − 3,000 in the books; 5,000 + 2,500 owed by the customers.
    EXPECT_EQ(staged.receivablesAccount, Currency::fromUnits(7000));
    EXPECT_EQ(staged.customerBalances, Currency::fromUnits(7500));
    // The test shop's counter is 1: the old numbers reach past it.
    EXPECT_EQ(staged.highestSlipNumber, 12);
    EXPECT_EQ(staged.nextSlipNumber, 1);
    const QStringList notes = staged.notes();
    ASSERT_GE(notes.size(), 3);
    EXPECT_EQ(notes[0], QStringLiteral("売掛金（110）の残高 7000円、顧客の売掛残高の合計 7500円：差額 -500円 があります。"));
    EXPECT_EQ(notes[1],
              QStringLiteral("旧データの伝票番号 12 が設定ファイルの次の番号 1 に届いています。置き換えると次の番号を 13 に進めます。"));
    EXPECT_EQ(notes[2], QStringLiteral("このプログラムにない旧ファイルの表（取り込みません）：旧プログラムの作業表"));

    // Put in place: the live database now holds the old shop, the one it
    // replaced is kept beside it, the counter is past the old numbers.
    const QByteArray configBefore = bytesOf(installation.configurationPath());
    const QString kept = replaceWithOldData(staged, config, installation.configurationPath());
    // Both live files were kept first, the configuration byte for byte.
    EXPECT_TRUE(kept.startsWith(config.databasePath + QStringLiteral(".before-import-")));
    EXPECT_EQ(bytesOf(installation.configurationPath() + kept.mid(config.databasePath.size())), configBefore);
    ASSERT_TRUE(QFileInfo(kept).isFile());
    EXPECT_TRUE(databaseProblem(kept).isEmpty());
    EXPECT_EQ(Database(kept).scalar(QStringLiteral("SELECT COUNT(*) FROM 顧客マスター")).toInt(), 0);
    EXPECT_FALSE(QFileInfo::exists(staged.stagedPath));
    Database live(config.databasePath);
    EXPECT_EQ(live.scalar(QStringLiteral("SELECT 顧客名前 FROM 顧客マスター WHERE 顧客コード = '1002'")).toString(),
              QStringLiteral("井上　一郎"));
    EXPECT_EQ(live.scalar(QStringLiteral("SELECT COUNT(*) FROM 経理マスター")).toInt(), 2);
    EXPECT_EQ(config.slipCounter, 13);
    EXPECT_EQ(readConfiguration(installation.configurationPath()).slipCounter, 13);
    EXPECT_TRUE(databaseProblem(config.databasePath).isEmpty());
}

TEST_F(OldDataMove, AValueThatCannotBeKeptStopsEverythingAndTheLiveFilesStayByteForByte)
{
    if (installation.onServer()) {
        // On a server the refusal comes first, whatever the old data holds:
        // nothing is imported, so no value of it is looked at.
        const QByteArray configBefore = bytesOf(installation.configurationPath());
        const QStringList filesBefore = filesInShopFolder();
        try {
            stageOldData(oldShop(text("二千五百円")), config);
            FAIL() << "old data was read for a shop on a server";
        } catch (const OperatorError& e) {
            EXPECT_EQ(e.message(), OnServer);
        }
        EXPECT_EQ(filesInShopFolder(), filesBefore);
        EXPECT_EQ(bytesOf(installation.configurationPath()), configBefore);
        EXPECT_EQ(rowsOf("顧客マスター"), 0);
        return;
    }

    const QByteArray liveBefore = bytesOf(config.databasePath);
    const QByteArray configBefore = bytesOf(installation.configurationPath());
    try {
        stageOldData(oldShop(text("二千五百円")), config);
        FAIL() << "a text in a money column was imported";
    } catch (const OldDataImportError& e) {
        EXPECT_EQ(e.table(), QStringLiteral("顧客マスター"));
        EXPECT_TRUE(e.key().contains(QStringLiteral("1002"))) << e.key().toStdString();
        EXPECT_EQ(e.column(), QStringLiteral("顧客売掛締後売上額"));
        EXPECT_EQ(e.value(), QStringLiteral("「二千五百円」"));
    }
    EXPECT_EQ(bytesOf(config.databasePath), liveBefore);
    EXPECT_EQ(bytesOf(installation.configurationPath()), configBefore);
    EXPECT_FALSE(QFileInfo::exists(stagedOldDataPath(config)));

    // A staged file the operator did not take is removed, the live one kept.
    const OldDataStaging staged = stageOldData(oldShop(), config);
    discardStagedOldData(staged);
    EXPECT_FALSE(QFileInfo::exists(staged.stagedPath));
    EXPECT_EQ(bytesOf(config.databasePath), liveBefore);
}
