// CSV files: the exact bytes a spreadsheet reads (mark, quoting, CR LF),
// amounts as plain numbers, and new files that never replace one already
// in the output folder.
#include "core/CsvFile.h"
#include "core/OperatorError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray contentsOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

const QDateTime Minute(QDate(2026, 12, 8), QTime(17, 10, 42));

} // namespace

TEST(CsvFile, BytesCarryTheMarkQuoteWhereNeededAndEndEveryRowWithCrLf)
{
    const QList<QStringList> rows = {
        {QStringLiteral("顧客名前"), QStringLiteral("売掛残高"), QStringLiteral("備考")},
        {QStringLiteral("山田, \"米屋\""), QStringLiteral("-1500"), QString()},
        {QStringLiteral(" 前に空白"), QStringLiteral("0"), QStringLiteral("二行\r\n目")},
        {QStringLiteral("後に全角空白　"), QStringLiteral("12.5"), QStringLiteral("a\"b")},
        {QStringLiteral("中 の 空白"), QStringLiteral("1234567"), QStringLiteral("改行\nのみ")},
    };
    const QByteArray expected = QByteArray("\xEF\xBB\xBF")
                                + QStringLiteral("顧客名前,売掛残高,備考\r\n"
                                                 "\"山田, \"\"米屋\"\"\",-1500,\r\n"
                                                 "\" 前に空白\",0,\"二行\r\n目\"\r\n"
                                                 "\"後に全角空白　\",12.5,\"a\"\"b\"\r\n"
                                                 "中 の 空白,1234567,\"改行\nのみ\"\r\n")
                                      .toUtf8();
    EXPECT_EQ(csv::bytes(rows), expected);
    // A row of one empty field is an empty line; no rows is the mark alone.
    EXPECT_EQ(csv::bytes({{QString()}}), QByteArray("\xEF\xBB\xBF\r\n"));
    EXPECT_EQ(csv::bytes({}), QByteArray("\xEF\xBB\xBF"));
}

TEST(CsvFile, ShownAmountsBecomePlainNumbersOnlyInColumnsOfAmounts)
{
    EXPECT_EQ(csv::plainAmount(QStringLiteral("1,234,567")), QStringLiteral("1234567"));
    EXPECT_EQ(csv::plainAmount(QStringLiteral("¥-1,234")), QStringLiteral("-1234"));
    EXPECT_EQ(csv::plainAmount(QStringLiteral("-￥12")), QStringLiteral("-12"));
    EXPECT_EQ(csv::plainAmount(QStringLiteral("\\3,000")), QStringLiteral("3000"));
    EXPECT_EQ(csv::plainAmount(QStringLiteral("1,234.5")), QStringLiteral("1234.5"));
    // Not amounts: commas out of threes, two signs, words, a bare sign.
    for (const QString& t : {QStringLiteral("1,23"), QStringLiteral("12,3456"), QStringLiteral("--5"),
                             QStringLiteral("10%対象"), QStringLiteral("¥"), QStringLiteral("1,234円")}) {
        EXPECT_FALSE(csv::isShownAmount(t)) << t.toStdString();
        EXPECT_EQ(csv::plainAmount(t), t);
    }

    QList<QStringList> rows = {
        {QStringLiteral("区分"), QStringLiteral("コード"), QStringLiteral("税込金額"), QStringLiteral("名前")},
        {QStringLiteral("計上"), QStringLiteral("0012"), QStringLiteral("1,080"), QStringLiteral("1,000")},
        {QStringLiteral("未計上"), QStringLiteral("0013"), QStringLiteral("-2,160"), QStringLiteral("米 5,000")},
        {QStringLiteral("合計"), QString(), QStringLiteral("0"), QString()},
    };
    csv::plainAmountColumns(rows);
    EXPECT_EQ(rows[0][2], QStringLiteral("税込金額"));
    EXPECT_EQ(rows[1], (QStringList{QStringLiteral("計上"), QStringLiteral("0012"), QStringLiteral("1080"),
                                    QStringLiteral("1,000")}));
    EXPECT_EQ(rows[2], (QStringList{QStringLiteral("未計上"), QStringLiteral("0013"), QStringLiteral("-2160"),
                                    QStringLiteral("米 5,000")}));
    EXPECT_EQ(rows[3][2], QStringLiteral("0"));
}

TEST(CsvFile, FileNamesCarryTheListAndTheMinute)
{
    EXPECT_EQ(csv::fileName(QStringLiteral("売掛残高一覧"), Minute), QStringLiteral("売掛残高一覧_20261208-1710.csv"));
    EXPECT_EQ(csv::fileName(QStringLiteral("売掛残高一覧"), Minute, 3),
              QStringLiteral("売掛残高一覧_20261208-1710-3.csv"));
    EXPECT_EQ(csv::fileName(QStringLiteral("米/灯油:予定"), Minute), QStringLiteral("米_灯油_予定_20261208-1710.csv"));
}

TEST(CsvFile, WritesInTheOutputFolderAndNeverOverAFileThere)
{
    QTemporaryDir shop;
    const QDir base(shop.path());
    const QString first = csv::writeNewFile(QStringLiteral("残高試算表"), "one\r\n", Minute, base);
    const QString second = csv::writeNewFile(QStringLiteral("残高試算表"), "two\r\n", Minute.addSecs(10), base);
    const QString folder = base.absoluteFilePath(QStringLiteral("出力"));
    EXPECT_EQ(first, folder + QStringLiteral("/残高試算表_20261208-1710.csv"));
    EXPECT_EQ(second, folder + QStringLiteral("/残高試算表_20261208-1710-2.csv"));
    EXPECT_EQ(contentsOf(first), QByteArray("one\r\n"));
    EXPECT_EQ(contentsOf(second), QByteArray("two\r\n"));

    // A file someone put under the third name stays as it was; no temporary
    // file is left behind.
    QFile theirs(folder + QStringLiteral("/残高試算表_20261208-1710-3.csv"));
    ASSERT_TRUE(theirs.open(QIODevice::WriteOnly));
    theirs.write("theirs");
    theirs.close();
    const QString fourth = csv::writeNewFile(QStringLiteral("残高試算表"), "four\r\n", Minute, base);
    EXPECT_EQ(fourth, folder + QStringLiteral("/残高試算表_20261208-1710-4.csv"));
    EXPECT_EQ(contentsOf(theirs.fileName()), QByteArray("theirs"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name).size(), 4);
}

TEST(CsvFile, AnOutputFolderThatCannotBeMadeIsToldInJapanese)
{
    QTemporaryDir shop;
    // A plain file where the folder should be.
    QFile blocker(QDir(shop.path()).filePath(QStringLiteral("出力")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        csv::writeNewFile(QStringLiteral("振替伝票"), "x", Minute, QDir(shop.path()));
        FAIL() << "no error";
    } catch (const OperatorError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("出力フォルダーを作れませんでした。\n")))
            << e.message().toStdString();
    }
    EXPECT_EQ(QDir(shop.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
}
