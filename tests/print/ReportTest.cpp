// The report engine: the five definitions, what each prints from its
// tables, the page headings, page numbers and totals, and the failures it
// reports before anything is printed.
#include "core/Text.h"
#include "print/QtPrintSurface.h"
#include "print/RecordingSurface.h"
#include "print/ReportEngine.h"
#include "support/ScriptedUi.h"
#include "support/ShopData.h"
#include "support/TestInstallation.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace L = reportLayout;

namespace {

const Date Printed = Date::fromParts(2024, 5, 7);

class ReportTest : public ::testing::Test {
protected:
    TestInstallation installation;
    Database db = installation.database();
    ScriptedUiScope ui;
    PrintCapture capture;

    void addCustomer(const QString& code, const QString& name, const char* last, const char* paid,
                     const char* sales)
    {
        db.exec("INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客売掛前回請求金額, 顧客売掛入金額, 顧客売掛締後売上額)"
                " VALUES (?, ?, ?, ?, ?)",
                {code, name, sqlValue(yen(last)), sqlValue(yen(paid)), sqlValue(yen(sales))});
    }

    const RecordingSurface& print(const QString& name, const ReportRequest& request = {})
    {
        printReport(db, name, request, QStringLiteral("ひまわり商店"), Printed);
        EXPECT_EQ(capture.count(), 1);
        return capture.surface(capture.count() - 1);
    }

    // The texts of one printed row (one y on one page), left to right.
    static QStringList rowAt(const RecordingSurface& s, int page, int y)
    {
        std::vector<const PrintItem*> items;
        for (const PrintItem* t : s.texts())
            if (t->page == page && t->y == y)
                items.push_back(t);
        std::sort(items.begin(), items.end(), [](auto* a, auto* b) { return a->x < b->x; });
        QStringList out;
        for (const PrintItem* t : items)
            out << t->text;
        return out;
    }

    static int rowY(int line) { return L::FirstRowY + L::RowHeight * line; }
};

} // namespace

TEST_F(ReportTest, FiveDefinitionsAndEachReadsItsTablesAsTheyAre)
{
    QStringList names;
    for (const ReportDefinition& d : reportDefinitions())
        names << d.name;
    EXPECT_EQ(names, QStringList({"残高試算表.rpt", "各勘定帳.rpt", "売掛残高.rpt", "配達予定.rpt", "ガス集計.rpt"}));
    EXPECT_EQ(findReportDefinition("売掛残高.rpt")->source, "顧客マスター");
    EXPECT_EQ(findReportDefinition("各勘定帳.rpt")->source, "各勘定帳");
    EXPECT_EQ(findReportDefinition("配達予定.rpt")->source, "配達予定");
    EXPECT_EQ(findReportDefinition("残高試算表.rpt")->source, "勘定科目TBL");
    EXPECT_EQ(findReportDefinition("nothing.rpt"), nullptr);

    // Every statement runs on a new shop's database and prints one page
    // with its headings, whatever the columns are.
    const QVariantList productRange = {QStringLiteral("4901234567890"), qint64(45000), qint64(45031)};
    for (const ReportDefinition& d : reportDefinitions()) {
        ReportRequest request;
        if (!d.parameterNames.isEmpty())
            request.parameters = productRange;
        printReport(db, d.name, request, QStringLiteral("ひまわり商店"), Printed);
        const RecordingSurface& s = capture.surface(capture.count() - 1);
        EXPECT_EQ(s.documentName(), d.title) << d.name.toStdString();
        EXPECT_TRUE(s.ended());
        for (const ReportColumn& c : d.columns) {
            EXPECT_NE(s.find(c.heading), nullptr) << d.name.toStdString() << " " << c.heading.toStdString();
            EXPECT_GE(c.x, L::Left);
            EXPECT_LE(c.x + c.width, L::Right);
        }
        // Columns do not overlap one another.
        for (std::size_t i = 1; i < d.columns.size(); ++i)
            EXPECT_LE(d.columns[i - 1].x + d.columns[i - 1].width, d.columns[i].x) << d.name.toStdString();
    }
    EXPECT_EQ(capture.count(), 5);
    // The trial balance lists the seeded chart of accounts.
    EXPECT_NE(capture.surface(0).find("売掛金"), nullptr);
}

TEST_F(ReportTest, BalanceReportListsNonZeroBalancesWithHeadingsAndTotals)
{
    addCustomer("A", QStringLiteral("青木"), "10000", "4000", "2500");
    addCustomer("B", QStringLiteral("馬場"), "0", "300", "0");
    addCustomer("C", QStringLiteral("千葉"), "5000", "5000", "0");
    addCustomer("D", QStringLiteral("土井"), "0", "0", "20000.5");
    const RecordingSurface& s = print("売掛残高.rpt");

    // The page heading: title, page, shop, date of printing.
    const PrintItem* title = s.find("売掛残高一覧");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x, L::Left);
    EXPECT_EQ(title->y, L::TitleY);
    EXPECT_EQ(title->fontSize, L::TitlePoints);
    const PrintItem* page = s.find("Page001/001");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->x + RecordingSurface::nominalWidth(page->text, page->fontSize), L::Right);
    const PrintItem* shop = s.find("ひまわり商店");
    ASSERT_NE(shop, nullptr);
    EXPECT_EQ(shop->y, L::SubtitleY);
    EXPECT_EQ(shop->x + RecordingSurface::nominalWidth(shop->text, shop->fontSize), L::Right);
    const PrintItem* date = s.find("印刷日　2024/05/07");
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->y, L::PrintDateY);

    EXPECT_EQ(rowAt(s, 1, L::HeadingY),
              QStringList({"顧客コード", "顧客名前", "前回請求金額", "入金額", "締後売上額", "売掛残高"}));
    // Largest first, zero left out, a credit balance last; a fraction kept.
    EXPECT_EQ(rowAt(s, 1, rowY(0)), QStringList({"D", "土井", "0", "0", "20,000.5", "20,000.5"}));
    EXPECT_EQ(rowAt(s, 1, rowY(1)), QStringList({"A", "青木", "10,000", "4,000", "2,500", "8,500"}));
    EXPECT_EQ(rowAt(s, 1, rowY(2)), QStringList({"B", "馬場", "0", "300", "0", "-300"}));
    EXPECT_EQ(rowAt(s, 1, rowY(3)), QStringList({"合計", "10,000", "4,300", "22,500.5", "28,200.5"}));
    EXPECT_EQ(rowAt(s, 1, rowY(4)), QStringList({"件数　3 件"}));
    // Amounts end at their column's right edge.
    const PrintItem* balance = s.find("8,500");
    ASSERT_NE(balance, nullptr);
    EXPECT_EQ(balance->x + RecordingSurface::nominalWidth("8,500", L::TextPoints), 9600 + 1600);
    EXPECT_EQ(s.pageCount(), 1);
}

TEST_F(ReportTest, EveryPageCarriesItsHeadingAndNumberAndTheTotalsFollowTheLastRow)
{
    const ReportDefinition& d = *findReportDefinition("売掛残高.rpt");
    // Two closing lines (totals, count): 52 rows fit with them, 53 do not.
    EXPECT_EQ(reportPageCount(d, 0), 1);
    EXPECT_EQ(reportPageCount(d, 52), 1);
    EXPECT_EQ(reportPageCount(d, 53), 2);
    EXPECT_EQ(reportPageCount(d, 54), 2);
    EXPECT_EQ(reportPageCount(d, 108), 3);
    EXPECT_EQ(reportPageCount(d, 110), 3);
    EXPECT_EQ(reportPageCount(*findReportDefinition("残高試算表.rpt"), 50), 1); // 50 + 4 closing lines
    EXPECT_EQ(reportPageCount(*findReportDefinition("残高試算表.rpt"), 51), 2);

    Transaction tx(db);
    for (int i = 0; i < 110; ++i)
        addCustomer(QStringLiteral("K%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("顧客%1").arg(i),
                    "0", "0", QByteArray::number(1000 - i).constData());
    tx.commit();
    const RecordingSurface& s = print("売掛残高.rpt");
    ASSERT_EQ(s.pageCount(), 3);
    for (int p = 1; p <= 3; ++p) {
        const QString mark = QStringLiteral("Page%1/003").arg(p, 3, 10, QLatin1Char('0'));
        const PrintItem* item = s.find(mark);
        ASSERT_NE(item, nullptr) << mark.toStdString();
        EXPECT_EQ(item->page, p);
        int titles = 0, shops = 0, headings = 0;
        for (const PrintItem* t : s.texts()) {
            if (t->page != p)
                continue;
            titles += t->text == "売掛残高一覧";
            shops += t->text == "ひまわり商店";
            headings += t->text == "顧客コード";
        }
        EXPECT_EQ(titles, 1);
        EXPECT_EQ(shops, 1);
        EXPECT_EQ(headings, 1);
    }
    // 54 rows a page: row 55 (顧客54) starts page 2, row 109 page 3.
    EXPECT_EQ(rowAt(s, 1, rowY(53)).value(0), "K053");
    EXPECT_EQ(rowAt(s, 2, rowY(0)).value(0), "K054");
    EXPECT_EQ(rowAt(s, 3, rowY(0)).value(0), "K108");
    EXPECT_EQ(rowAt(s, 3, rowY(1)).value(0), "K109");
    // Sum of 1000 − i for i < 110 = 110000 − 5995.
    EXPECT_EQ(rowAt(s, 3, rowY(2)).value(0), "合計");
    EXPECT_EQ(rowAt(s, 3, rowY(2)).value(4), "104,005");
    EXPECT_EQ(rowAt(s, 3, rowY(3)), QStringList({"件数　110 件"}));
}

TEST_F(ReportTest, TrialBalanceClosesWithTheSalesAndExpenseTotals)
{
    db.exec("UPDATE 勘定科目TBL SET 借方金額 = ?, 現在残高 = ? WHERE 科目番号 = 10", {sqlValue(yen("1500")), sqlValue(yen("1500"))});
    db.exec("UPDATE 勘定科目TBL SET 貸方金額 = ?, 現在残高 = ? WHERE 科目番号 = 5000", {sqlValue(yen("1000")), sqlValue(yen("1000"))});
    db.exec("UPDATE 勘定科目TBL SET 貸方金額 = ?, 現在残高 = ? WHERE 科目番号 = 5090", {sqlValue(yen("500")), sqlValue(yen("500"))});
    db.exec("UPDATE 勘定科目TBL SET 期首残高 = ?, 現在残高 = ? WHERE 科目番号 = 6050", {sqlValue(yen("-20")), sqlValue(yen("-20"))});
    const RecordingSurface& s = print("残高試算表.rpt");
    const PrintItem* cash = s.find("現金");
    ASSERT_NE(cash, nullptr);
    EXPECT_EQ(rowAt(s, cash->page, cash->y), QStringList({"10", "現金", "0", "1,500", "0", "1,500"}));
    const PrintItem* sales = s.find("売上合計");
    ASSERT_NE(sales, nullptr);
    EXPECT_EQ(rowAt(s, sales->page, sales->y), QStringList({"売上合計", "1,500"}));
    const PrintItem* expenses = s.find("経費合計");
    ASSERT_NE(expenses, nullptr);
    EXPECT_EQ(rowAt(s, expenses->page, expenses->y), QStringList({"経費合計", "-20"}));
    const PrintItem* total = s.find("合計");
    ASSERT_NE(total, nullptr);
    EXPECT_EQ(rowAt(s, total->page, total->y), QStringList({"合計", "1,500", "1,500"}));
}

TEST_F(ReportTest, LedgerNamesTheAccountsAndCarriesTheScreensSubtitle)
{
    db.exec("INSERT INTO 各勘定帳 (年月日, 借方科目, 貸方科目, 借方金額, 貸方金額, 残高) VALUES (?, 0, 0, 0, 0, ?)",
            {sqlValue(Date::fromParts(2024, 4, 1)), sqlValue(yen("5000"))});
    db.exec("INSERT INTO 各勘定帳 (年月日, 借方科目, 貸方科目, 借方金額, 貸方金額, 残高) VALUES (?, 10, 5000, ?, 0, ?)",
            {sqlValue(Date::fromParts(2024, 4, 3)), sqlValue(yen("1000")), sqlValue(yen("6000"))});
    db.exec("INSERT INTO 各勘定帳 (年月日, 借方科目, 貸方科目, 借方金額, 貸方金額, 残高) VALUES (?, 6050, 10, 0, ?, ?)",
            {sqlValue(Date::fromParts(2024, 4, 2)), sqlValue(yen("250")), sqlValue(yen("5750"))});
    const RecordingSurface& s = print("各勘定帳.rpt", {{}, QStringLiteral("10 現金")});
    const PrintItem* subtitle = s.find("10 現金");
    ASSERT_NE(subtitle, nullptr);
    EXPECT_EQ(subtitle->x, L::Left);
    EXPECT_EQ(subtitle->y, L::SubtitleY);
    // In the order the ledger wrote them, not re-sorted.
    EXPECT_EQ(rowAt(s, 1, rowY(0)), QStringList({"2024/04/01", "0", "0", "5,000"}));
    EXPECT_EQ(rowAt(s, 1, rowY(1)), QStringList({"2024/04/03", "10 現金", "5000 外税売上１", "1,000", "0", "6,000"}));
    EXPECT_EQ(rowAt(s, 1, rowY(2)), QStringList({"2024/04/02", "6050 通信費", "10 現金", "0", "250", "5,750"}));
    EXPECT_EQ(rowAt(s, 1, rowY(3)), QStringList({"合計", "1,000", "250"}));
}

TEST_F(ReportTest, DeliveryScheduleByDateAndProductSalesOfOneProductInARange)
{
    auto delivery = [&](Date d, const char* name, const char* qty) {
        db.exec("INSERT INTO 配達予定 (配達年月日, 配達顧客名, 配達顧客電話, 配達商品名, 配達商品個数) VALUES (?, ?, '03', ?, ?)",
                {sqlValue(d), QString::fromUtf8(name), QStringLiteral("灯油１８Ｌ"), sqlValue(yen(qty))});
    };
    delivery(Date::fromParts(2024, 5, 9), "後の人", "2");
    delivery(Date::fromParts(2024, 5, 8), "先の人", "1.5");
    const RecordingSurface& schedule = print("配達予定.rpt");
    EXPECT_EQ(rowAt(schedule, 1, rowY(0)), QStringList({"2024/05/08", "先の人", "03", "灯油１８Ｌ", "1.5"}));
    EXPECT_EQ(rowAt(schedule, 1, rowY(1)), QStringList({"2024/05/09", "後の人", "03", "灯油１８Ｌ", "2"}));
    EXPECT_EQ(rowAt(schedule, 1, rowY(2)), QStringList({"件数　2 件"}));

    auto sale = [&](Date d, const char* code, const char* price, const char* qty) {
        db.exec("INSERT INTO 売上商品マスター (売上伝票番号, 売上年月日, 売上顧客コード, 売上単品コード, 売上単品名,"
                " 売上単価, 売上個数) VALUES (1, ?, 'C', ?, '米', ?, ?)",
                {sqlValue(d), QString::fromUtf8(code), sqlValue(yen(price)), sqlValue(yen(qty))});
    };
    sale(Date::fromParts(2024, 4, 30), "1001", "105", "1");             // before the range
    sale(Date::fromSerial(Date::fromParts(2024, 5, 1).serial() + 0.9), "1001", "105", "0.5");
    sale(Date::fromParts(2024, 5, 31), "1001         ", "200", "2");      // padded code, last day
    sale(Date::fromParts(2024, 5, 10), "2002", "999", "1");              // another product
    sale(Date::fromParts(2024, 6, 1), "1001", "105", "1");               // after the range
    const Date from = Date::fromParts(2024, 5, 1), to = Date::fromParts(2024, 5, 31);
    ReportRequest request{{QStringLiteral("1001"), dayStart(from), dayAfter(to)},
                          QStringLiteral("1001 米　2024/05/01 ～ 2024/05/31")};
    printReport(db, "ガス集計.rpt", request, QStringLiteral("ひまわり商店"), Printed);
    ASSERT_EQ(capture.count(), 2);
    const RecordingSurface& sales = capture.surface(1);
    EXPECT_EQ(sales.documentName(), "販売商品集計");
    EXPECT_EQ(rowAt(sales, 1, rowY(0)), QStringList({"2024/05/01", "米", "105", "0.5", "52.5"}));
    EXPECT_EQ(rowAt(sales, 1, rowY(1)), QStringList({"2024/05/31", "米", "200", "2", "400"}));
    // Quantity × price summed without cutting each line to whole yen.
    EXPECT_EQ(rowAt(sales, 1, rowY(2)), QStringList({"合計", "2.5", "452.5"}));
    EXPECT_NE(sales.find(request.subtitle), nullptr);
}

TEST_F(ReportTest, UnknownNamesAndMissingConditionsAreReportedBeforeAnythingIsPrinted)
{
    try {
        printReport(db, "売掛残高一覧.rpt", {}, "店", Printed);
        FAIL() << "an unknown report printed";
    } catch (const PrintError& e) {
        EXPECT_TRUE(e.message().contains("売掛残高一覧.rpt"));
    }
    try {
        printReport(db, "ガス集計.rpt", {}, "店", Printed);
        FAIL() << "a report without its conditions printed";
    } catch (const PrintError& e) {
        EXPECT_TRUE(e.message().contains("商品コード"));
    }
    EXPECT_EQ(capture.count(), 0);

    // A printer that cannot be opened is the caller's to report.
    capture.failOpening(QStringLiteral("プリンターに接続できません。"));
    EXPECT_THROW(printReport(db, "売掛残高.rpt", {}, "店", Printed), PrintError);
}

TEST_F(ReportTest, ScreensCallByNameWithTheConfiguredShopAndDatabase)
{
    addCustomer("A", QStringLiteral("青木"), "100", "0", "0");
    testSession().config.companyName() = QStringLiteral("テスト米穀店");
    printReport(testSession().config, "売掛残高.rpt");
    ASSERT_EQ(capture.count(), 1);
    EXPECT_NE(capture.surface(0).find("テスト米穀店"), nullptr);
    EXPECT_NE(capture.surface(0).find(QStringLiteral("印刷日　") + text::format(Date::today(), "yyyy/mm/dd")), nullptr);
    EXPECT_NE(capture.surface(0).find("青木"), nullptr);
    EXPECT_EQ(ui->busyDepth, 0);
    EXPECT_EQ(ui->busyCount, 1);
}

TEST_F(ReportTest, BalanceReportPrintsToAPdfPage)
{
    for (int i = 0; i < 12; ++i)
        addCustomer(QStringLiteral("%1").arg(1001 + i), QStringLiteral("顧客　%1番").arg(i + 1), "0",
                    i == 11 ? "1200" : "0", QByteArray::number((12 - i) * 1150).constData());
    const QString folder = qEnvironmentVariable("HIMAWARI_SCREENSHOTS", installation.dir());
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath("balance-list.pdf");
    auto previous = installPrintSurfaceFactory([&](const QString& name) -> std::unique_ptr<PrintSurface> {
        return std::make_unique<QtPrintSurface>(name, path);
    });
    printReport(db, "売掛残高.rpt", {}, QStringLiteral("ひまわり商店"), Printed);
    installPrintSurfaceFactory(std::move(previous));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(5), "%PDF-");
    EXPECT_GT(f.size(), 1000);
}
