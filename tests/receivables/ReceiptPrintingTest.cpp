// The three-band receipt sheet as printed: positions, sizes and texts read
// back from the recording surface, one print job, and a PDF page.
#include "print/QtPrintSurface.h"
#include "print/RecordingSurface.h"
#include "print/SlipPrinting.h"
#include "receivables/ClosingData.h"
#include "receivables/ReceiptPrinting.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace closing;

namespace {

class ReceiptSheetTest : public ::testing::Test {
protected:
    TestInstallation installation;
    ScriptedUiScope ui;
    ChosenCustomer customer;
    Configuration config = installation.defaultConfiguration();
    ReceiptSheet sheet;
    RecordingSurface surface{QStringLiteral("領収書")};

    void SetUp() override
    {
        customer.code = "C0012";
        customer.name = QStringLiteral("山田　太郎");
        customer.postalCode = "123-4567";
        customer.address1 = QStringLiteral("東京都架空区試験町１－２－３");
        customer.address2 = QStringLiteral("ひまわり荘１０１号");
        customer.telephone = "03-1111-2222";
        config.companyName() = QStringLiteral("ひまわり商店");
        sheet.closingDate = Date::fromParts(2024, 4, 20);
        sheet.collectionDay = 25;
        sheet.issueDate = Date::fromParts(2024, 5, 7);
    }

    void draw(const char* amount, const char* rate = "0.05")
    {
        sheet.figures = receiptFigures(yen(amount), yen(rate));
        drawReceiptSheet(surface, sheet, customer, config);
    }

    // The text at (x, y) with its size, as "text@size".
    QString at(int x, int y) const
    {
        const PrintItem* item = surface.textAt(x, y);
        return item ? item->text + "@" + QString::number(item->fontSize) : QStringLiteral("<nothing>");
    }
};

} // namespace

TEST_F(ReceiptSheetTest, ThreeBandsWithTheirTitlesAmountsAndDates)
{
    draw("2000");
    // Band 1: the receipt.
    EXPECT_EQ(at(700, 0), "☆☆☆ 領　収　書 ☆☆☆@16");
    EXPECT_EQ(at(7500, 0), "領収書発行日　2024 / 05 / 07@12");
    EXPECT_EQ(at(700, 2552), "領収金額　 \\2,000円@28");
    EXPECT_EQ(at(8000, 2500), "2024 / 04 / 20　締切分@12");
    // No figures by rate were kept for this invoice: the receipt refers to it.
    EXPECT_EQ(at(1400, 3200), "内訳　税率別の金額と消費税額は、2024 / 04 / 20 締切分の請求書をご覧ください。@10");
    EXPECT_EQ(at(7500, 4160), "係印@12");
    EXPECT_EQ(at(8500, 4600), "会社印、係印なきものは、無効です。@8");
    EXPECT_EQ(at(700, 4819),
              "毎度ありがとうございます。引き続きご注文のほどよろしくお願い申しあげます。 @12");
    // Band 2: the collection slip.
    EXPECT_EQ(at(700, 5613), "★★★ 集　金　票 ★★★@16");
    EXPECT_EQ(at(7500, 5613), "領収書発行日　2024 / 05 / 07@12");
    EXPECT_EQ(at(700, 8165), "集金金額　 \\2,000円@28");
    EXPECT_EQ(at(8000, 8113), "2024 / 04 / 20　締切分@12");
    EXPECT_EQ(at(6000, 9200), "集金予定日　 25日@28");
    // Band 3: the payment slip.
    EXPECT_EQ(at(700, 11226), "○○○ 入　金　票 ○○○@16");
    EXPECT_EQ(at(7500, 11226), "領収書発行日　2024 / 05 / 07@12");
    EXPECT_EQ(at(700, 13778), "入金金額　 \\2,000円@28");
    EXPECT_EQ(at(8000, 13726), "2024 / 04 / 20　締切分@12");

    // Cutting lines, the collector's seal box; no stamp for 2000 yen.
    std::vector<int> cuts;
    for (const PrintItem* line : surface.lines()) {
        EXPECT_EQ(line->x, 0);
        EXPECT_EQ(line->x2, 11567);
        cuts.push_back(line->y);
    }
    EXPECT_EQ(cuts, std::vector<int>({5413, 5473, 11026, 11086}));
    const auto boxes = surface.boxes();
    int sealBoxes = 0;
    for (const PrintItem* b : boxes) {
        EXPECT_FALSE(b->x == 9000 && b->y == 3000) << "stamp box printed";
        sealBoxes += b->x == 8000 && b->y == 3900 && b->x2 == 8500 && b->y2 == 4400;
    }
    EXPECT_EQ(sealBoxes, 1);
    EXPECT_EQ(surface.find("印紙"), nullptr);

    // The customer and company blocks in every band.
    for (int top : {0, 5613, 11226}) {
        const PrintItem* name = surface.textAt(780, top + 567 + 720);
        ASSERT_NE(name, nullptr) << top;
        EXPECT_EQ(name->text, QStringLiteral("山田　太郎　様"));
        EXPECT_TRUE(name->underline);
        EXPECT_EQ(at(7300, top + 567 + 80), "ひまわり商店@12");
        EXPECT_EQ(at(780, top + 567 + 80), "〒123-4567@8");
    }
    EXPECT_EQ(surface.findAll(QStringLiteral("山田　太郎　様")).size(), 3u);
}

TEST_F(ReceiptSheetTest, BlankDateLinesCarryTheEraOfIssueAndCashStandsClearOfThem)
{
    draw("2000");
    const QString line = QStringLiteral("令和　　　　　年　　　　　月　　　　　日");
    EXPECT_EQ(at(1600, 3800), line + "@16");
    EXPECT_EQ(at(1600, 15026), line + "@16");
    EXPECT_EQ(surface.findStarting("平成"), nullptr);
    EXPECT_EQ(at(8400, 15026), "現金@16");
    EXPECT_EQ(at(8400, 15526), "小切手@16");
    EXPECT_EQ(surface.textAt(7500, 15026), nullptr);
    // The date line ends before "現金" begins.
    EXPECT_LE(1600 + RecordingSurface::nominalWidth(line, 16), 8400);

    // Issued before May 2019 the line reads 平成.
    RecordingSurface older;
    sheet.issueDate = Date::fromParts(2019, 4, 30);
    drawReceiptSheet(older, sheet, customer, config);
    ASSERT_NE(older.textAt(1600, 3800), nullptr);
    EXPECT_EQ(older.textAt(1600, 3800)->text, QStringLiteral("平成　　　　　年　　　　　月　　　　　日"));
}

TEST_F(ReceiptSheetTest, NoTextPrintsOverAnother)
{
    // The largest figures the sheet prints, the stamp caption included.
    customer.name = QStringLiteral("長い名前の顧客様ご一家の皆様方");
    sheet.collectionDay = 31;
    // The longest breakdown: two rates and non-taxable sales.
    sheet.breakdown = ReceiptBreakdown::ByRate;
    sheet.taxByRate.rates = {{yen("0.1"), false, yen("6999999"), yen("636363")},
                             {yen("0.08"), true, yen("2999800"), yen("222207")}};
    sheet.taxByRate.notTaxable = yen("200");
    draw("9999999", "0.10");
    ASSERT_EQ(at(1400, 3600), "　　　非課税　\\200円@10");
    struct Area {
        const PrintItem* item;
        int x1, y1, x2, y2;
    };
    std::vector<Area> areas;
    for (const PrintItem* t : surface.texts()) {
        int width = RecordingSurface::nominalWidth(t->text, t->fontSize);
        if (t->fitWidth > 0)
            width = std::min(width, t->fitWidth);
        // One em high: 20 twips a point.
        areas.push_back({t, t->x, t->y, t->x + width, t->y + int(t->fontSize * 20)});
    }
    for (std::size_t i = 0; i < areas.size(); ++i)
        for (std::size_t j = i + 1; j < areas.size(); ++j) {
            const Area& a = areas[i];
            const Area& b = areas[j];
            const bool overlap = a.x1 < b.x2 && b.x1 < a.x2 && a.y1 < b.y2 && b.y1 < a.y2;
            EXPECT_FALSE(overlap) << a.item->text.toStdString() << " / " << b.item->text.toStdString();
        }
    EXPECT_EQ(at(700, 2552), "領収金額　 \\9,999,999円@28");
}

TEST_F(ReceiptSheetTest, BreakdownByRateOfTheClosedInvoiceOrAReferenceToIt)
{
    // The invoice's own sales: its figures by rate, in the receipt band only.
    sheet.breakdown = ReceiptBreakdown::ByRate;
    sheet.taxByRate.rates = {{yen("0.1"), false, yen("6776"), yen("616")}, {yen("0.08"), true, yen("7726"), yen("571")}};
    sheet.taxByRate.notTaxable = yen("200");
    draw("14702", "0.10");
    EXPECT_EQ(at(1400, 3200), "内訳　10%対象　\\6,776円（うち消費税　\\616円）@10");
    EXPECT_EQ(at(1400, 3400), "　　　8%対象　\\7,726円（うち消費税　\\571円）　※軽減税率@10");
    EXPECT_EQ(at(1400, 3600), "　　　非課税　\\200円@10");
    EXPECT_EQ(surface.findStarting("内訳"), surface.textAt(1400, 3200));
    // Nothing is worked out on one rate any more.
    for (const PrintItem* t : surface.texts())
        EXPECT_FALSE(t->text.contains(QStringLiteral("商品代金"))) << t->text.toStdString();

    // A balance carried from before the period: no breakdown, the invoice
    // is referred to.
    RecordingSurface carried;
    sheet.breakdown = ReceiptBreakdown::CarriedBalance;
    drawReceiptSheet(carried, sheet, customer, config);
    ASSERT_NE(carried.textAt(1400, 3200), nullptr);
    EXPECT_EQ(carried.textAt(1400, 3200)->text, QStringLiteral("内訳　前回請求からの繰越額を含みます。"));
    EXPECT_EQ(carried.textAt(1400, 3400)->text,
              QStringLiteral("　　　税率別の金額と消費税額は、2024 / 04 / 20 締切分の請求書をご覧ください。"));
    EXPECT_EQ(carried.textAt(1400, 3600), nullptr);
    EXPECT_EQ(carried.findStarting(QStringLiteral("内訳　10%")), nullptr);
}

TEST_F(ReceiptSheetTest, StampBoxAndItsCaptionOnlyWhereAStampIsDue)
{
    draw("56000", "0.10");
    EXPECT_EQ(at(9300, 3500), "印紙@12");
    bool stampBox = false;
    for (const PrintItem* b : surface.boxes())
        stampBox = stampBox || (b->x == 9000 && b->y == 3000 && b->x2 == 10200 && b->y2 == 4400);
    EXPECT_TRUE(stampBox);
    EXPECT_EQ(at(700, 2552), "領収金額　 \\56,000円@28");
    EXPECT_EQ(at(1400, 3200), "内訳　税率別の金額と消費税額は、2024 / 04 / 20 締切分の請求書をご覧ください。@10");

    RecordingSurface below;
    sheet.figures = receiptFigures(yen("55000"), yen("0.10"));
    drawReceiptSheet(below, sheet, customer, config);
    EXPECT_EQ(below.find("印紙"), nullptr);
    EXPECT_EQ(below.boxes().size(), 4u); // the three customer boxes and the seal box
}

TEST_F(ReceiptSheetTest, PrintedAsOneJob)
{
    PrintCapture capture;
    sheet.figures = receiptFigures(yen("5000"), yen("0.05"));
    printReceiptSheet(sheet, customer, config);
    ASSERT_EQ(capture.count(), 1);
    EXPECT_EQ(capture.documentNames(), QStringList({"領収書"}));
    EXPECT_TRUE(capture.surface(0).ended());
    EXPECT_EQ(capture.surface(0).pageCount(), 1);
    ASSERT_NE(capture.surface(0).find(QStringLiteral("入金金額　 \\5,000円")), nullptr);
}

TEST_F(ReceiptSheetTest, PrintsToAPdfPage)
{
    const QString folder = qEnvironmentVariable("HIMAWARI_SCREENSHOTS", installation.dir());
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath("receipt.pdf");
    config.address() = QStringLiteral("東京都架空区本町１－１");
    config.telephone() = QStringLiteral("TEL 03-0000-0000");
    config.companyLine(1) = QStringLiteral("米・灯油・ＬＰガス");
    config.registrationNumber = QStringLiteral("T7010001008844");
    // A month's sales at both rates with a stamp, billed alone.
    sheet.breakdown = ReceiptBreakdown::ByRate;
    sheet.taxByRate.rates = {{yen("0.1"), false, yen("33000"), yen("3000")}, {yen("0.08"), true, yen("22800"), yen("1688")}};
    sheet.taxByRate.notTaxable = yen("200");
    sheet.figures = receiptFigures(yen("56000"), yen("0.10"));
    {
        QtPrintSurface pdf(QStringLiteral("領収書"), path);
        setUpPrinter(pdf);
        drawReceiptSheet(pdf, sheet, customer, config);
        pdf.endDocument();
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(5), "%PDF-");
    EXPECT_GT(f.size(), 1000);
}
