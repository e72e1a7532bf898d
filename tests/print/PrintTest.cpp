// The sales slip sheet and the invoice as printed: positions, sizes and texts
// read back from the recording surface, and real PDF files from the printer
// surface.

#include "session/Routines.h"
#include "core/Text.h"
#include "print/QtPrintSurface.h"
#include "print/RecordingSurface.h"
#include "print/SlipPrinting.h"
#include "support/ScriptedUi.h"
#include "support/SlipLines.h"
#include "support/ShopData.h"
#include "support/TestInstallation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

QString rtrim(const QString& s)
{
    int end = s.size();
    while (end > 0 && (s[end - 1] == QLatin1Char(' ') || s[end - 1] == QChar(0x3000)))
        --end;
    return s.left(end);
}

class PrintTest : public ::testing::Test {
protected:
    TestInstallation installation;
    ScriptedUiScope scripted;
    SessionState& s = testSession();
    // The invoice being printed.
    InvoiceValues invoice;

    void SetUp() override
    {
        clearSlip(s);
        s.customer.code = u("C0012");
        s.customer.name = u("山田　太郎");
        s.customer.postalCode = u("123-4567");
        s.customer.address1 = u("東京都架空区試験町１－２－３");
        s.customer.address2 = u("ひまわり荘１０１号");
        s.customer.telephone = u("03-1111-2222");
        s.customer.slipDate = Date::fromParts(2001, 2, 16);
        s.previousSaleDate = Date::fromParts(2001, 1, 31);
        s.config.slipPrefix = 12;
        s.config.slipCounter = 345;
    }

    void addLine(int taxCategory, const char* code, const char* kana, const char* name, const char* price,
                 const char* quantity)
    {
        addChosenLine(s, taxCategory, code, kana, name, price, quantity);
    }

    // Today's rates (10 % standard, 8 % reduced) for a registered shop, and
    // a credit slip of rice (8 %), kerosene (10 %) with tax added, gas with
    // 10 % included and a stamp.
    void qualifiedSlip()
    {
        s.config.taxRate1() = u("0.10");
        s.config.taxRate2() = u("0.08");
        s.config.reducedRate = 2;
        s.config.registrationNumber = u("T7010001008844");
        s.saleKind = saleKind::Credit;
        addLine(1, "1001", "ｺｼﾋｶﾘ5", "県産こしひかり　５ｋｇ", "2980", "1"); // 8 %, tax added
        addLine(0, "2001", "ﾄｳﾕ18L", "灯油　１８Ｌ缶", "2160", "1");       // 10 %, tax added
        addLine(5, "3001", "LPG8", "ＬＰガス　８ｋｇ交換", "4400", "1");    // 10 %, tax included
        addLine(9, "7002", "ｲﾝｼ200", "収入印紙　２００円", "200", "1");      // not taxable
    }

    // Two lines: 1234.5 × 2 taxed at rate 1 (amount 2469, tax 123) and
    // 1234 × 1 not taxable; grand total 3826.
    void twoLineSlip(int kind)
    {
        s.saleKind = kind;
        addLine(0, "4901234567890", "ｺｼﾋｶﾘ", "コシヒカリ５ｋｇ", "1234.5", "2");
        addLine(9, "77", "ﾄｳﾕ", "灯油配達料", "1234", "1");
    }

    // Names, addresses and comments longer than their columns, on a credit
    // slip with the widest price and amount.
    void longNames();

    // The slip in the buffer as the sales screen hands it to the printer,
    // numbered with the configuration's next slip number.
    SlipPrintout slip() const
    {
        SlipPrintout printout{s.saleKind, currentSlipNumber(s.config), s.previousSaleDate, s.customer, {}, s.totals};
        printout.lines.assign(s.lines.begin() + 1, s.lines.begin() + 1 + s.lineCount);
        return printout;
    }

    // The date of issue every invoice here carries.
    static inline const Date Issued = Date::fromParts(2001, 2, 21);

    void invoiceOf(int lines)
    {
        InvoiceValues& v = invoice;
        v = InvoiceValues{};
        for (int j = 1; j <= lines; ++j) {
            InvoiceLine line;
            line.salesSerial = 1000 + j;
            line.saleDate = Date::fromParts(2001, 1, j % 28 + 1);
            line.departmentCode = 3;
            line.taxCategory = 1;
            line.productCode = text::fixed(QStringLiteral("49%1").arg(j, 5, 10, QLatin1Char('0')), 13);
            line.productName = text::fixed(u("プロパンガス ") + QString::number(j), 24);
            line.unitPrice = yen("1234.5");
            line.quantity = Currency::fromUnits(j);
            line.amount = (line.unitPrice * line.quantity).Int();
            v.lines.push_back(line);
        }
        v.totalBilled = Currency::fromUnits(12345);
        v.previousInvoiceAmount = Currency::fromUnits(5000);
        v.paymentsSinceClosing = Currency::fromUnits(4000);
        v.currentSales = Currency::fromUnits(11345);
        v.closingDate = Date::fromParts(2001, 2, 20);
        v.previousClosingDate = Date::fromParts(2001, 1, 20);
        v.lastPaymentDate = Date::fromParts(2001, 1, 25);
    }

    static void expectText(const RecordingSurface& r, int x, int y, const QString& text, double size)
    {
        const PrintItem* item = r.textAt(x, y);
        ASSERT_NE(item, nullptr) << "nothing printed at (" << x << ", " << y << "), expected " << text.toStdString();
        EXPECT_EQ(item->text, text) << "at (" << x << ", " << y << ")";
        EXPECT_EQ(item->fontSize, size) << text.toStdString();
    }

    static int countTextsAt(const RecordingSurface& r, int x, int y)
    {
        int n = 0;
        for (const PrintItem* i : r.texts())
            n += i->x == x && i->y == y;
        return n;
    }
};

// ---- the sales slip sheet ---------------------------------------------------

TEST_F(PrintTest, SlipWithNoLinesOpensNoPrintJob)
{
    PrintCapture capture;
    s.saleKind = saleKind::Credit;
    printSlipSet(s.config, slip());
    EXPECT_EQ(capture.count(), 0);
}

TEST_F(PrintTest, CashSlipHasReceiptAndPaymentSlipWithTwoThanksLines)
{
    PrintCapture capture;
    twoLineSlip(saleKind::Cash);
    printSlipSet(s.config, slip());

    ASSERT_EQ(capture.count(), 1);
    const RecordingSurface& r = capture.surface(0);
    EXPECT_EQ(r.documentName(), u("納品書"));
    EXPECT_TRUE(r.ended());
    EXPECT_EQ(r.pageCount(), 1);
    expectText(r, 700, 0, u("＊＊＊ 納　品　書 ＊＊＊"), 16);
    expectText(r, 700, 5613, u("☆☆☆ 領　収　書 ☆☆☆"), 16);
    expectText(r, 700, 11226, u("○○○ 入　金　票 ○○○"), 16);
    const QString thanks = u("ありがとうございます。 毎度ありがとうございます");
    const auto thanksLines = r.findAll(thanks);
    ASSERT_EQ(thanksLines.size(), 2u);
    EXPECT_EQ(thanksLines[0]->y, 4819);
    EXPECT_EQ(thanksLines[1]->y, 10432);
    EXPECT_EQ(thanksLines[0]->x, 700);
    EXPECT_EQ(thanksLines[0]->fontSize, 12);
    // No stamp space on a cash sale: the only boxes are the three
    // customer boxes.
    EXPECT_EQ(r.findStarting(u("受領印")), nullptr);
    EXPECT_EQ(r.findStarting(u("★★★")), nullptr);
    EXPECT_EQ(r.boxes().size(), 3u);
}

TEST_F(PrintTest, CreditSlipHasAcknowledgementWithStampBoxAndShopCopy)
{
    PrintCapture capture;
    twoLineSlip(saleKind::Credit);
    printSlipSet(s.config, slip());

    ASSERT_EQ(capture.count(), 1);
    const RecordingSurface& r = capture.surface(0);
    expectText(r, 700, 0, u("＊＊＊ 納　品　書 ＊＊＊"), 16);
    expectText(r, 700, 5613, u("★★★ 受　領　書 ★★★"), 16);
    expectText(r, 700, 11226, u("◆◆◆ 納　品　控 ◆◆◆"), 16);
    expectText(r, 6000, 10432, u("受領印　oｒ　サイン"), 16);
    const auto thanksLines = r.findAll(u("ありがとうございます。 毎度ありがとうございます"));
    ASSERT_EQ(thanksLines.size(), 1u);
    EXPECT_EQ(thanksLines[0]->y, 4819);
    EXPECT_EQ(r.findStarting(u("☆☆☆")), nullptr);
    EXPECT_EQ(r.findStarting(u("○○○")), nullptr);

    const auto boxes = r.boxes();
    ASSERT_EQ(boxes.size(), 4u);
    const auto stamp = std::find_if(boxes.begin(), boxes.end(), [](const PrintItem* b) { return b->x == 9000; });
    ASSERT_NE(stamp, boxes.end());
    EXPECT_EQ((*stamp)->y, 10432);
    EXPECT_EQ((*stamp)->x2, 11560);
    EXPECT_EQ((*stamp)->y2, 10966);
}

TEST_F(PrintTest, SlipSheetHasFourCuttingLinesAcrossTheSheet)
{
    PrintCapture capture;
    twoLineSlip(saleKind::Cash);
    printSlipSet(s.config, slip());
    std::vector<int> cuts;
    for (const PrintItem* l : capture.surface(0).lines())
        if (l->x == 0 && l->x2 == 11567 && l->y == l->y2)
            cuts.push_back(l->y);
    EXPECT_EQ(cuts, (std::vector<int>{5413, 5473, 11026, 11086}));
}

TEST_F(PrintTest, EveryBandCarriesHeadingCustomerCompanyLinesAndTotals)
{
    PrintCapture capture;
    twoLineSlip(saleKind::Credit);
    printSlipSet(s.config, slip());
    const RecordingSurface& r = capture.surface(0);

    for (int top : {0, 5613, 11226}) {
        SCOPED_TRACE(top);
        // Heading at origin (7000, top); prefix 12 and counter 345 make a
        // ten-digit number, longer than the mask.
        expectText(r, 7000, top, u("2001 / 02 / 16"), 12);
        expectText(r, 9000, top, u("伝票No　1200000345"), 12);
        expectText(r, 10000, top + 350, u("Prv.2001 / 01 / 31"), 8);
        // Customer block at (700, top + 567).
        const int cy = top + 567;
        expectText(r, 780, cy + 80, u("〒123-4567"), 8);
        expectText(r, 5200, cy + 720, u("code　C0012"), 8);
        expectText(r, 1900, cy + 80, u("東京都架空区試験町１－２－３"), 12);
        expectText(r, 2400, cy + 400, u("ひまわり荘１０１号"), 12);
        expectText(r, 780, cy + 720, u("山田　太郎　様"), 16);
        expectText(r, 5200, cy + 1120, u("03-1111-2222"), 8);
        // Company block at (6500, top + 567): configuration values 1 to 6.
        expectText(r, 7300, cy + 80, u("テスト商店"), 12);
        expectText(r, 8180, cy + 400, u("東京都架空区試験町１－２－３"), 8);
        expectText(r, 8500, cy + 600, u("03-0000-0000"), 8);
        expectText(r, 8300, cy + 800, u("米・灯油・プロパンガス"), 8);
        expectText(r, 8300, cy + 1000, QString(), 8);
        expectText(r, 8300, cy + 1200, QString(), 8);
        // Line table at (700, top + 2268): first row.
        const int row1 = top + 2268 + 284 + 22;
        expectText(r, 780, row1, u(" 1"), 12);
        expectText(r, 1100, row1, u("4901234567890"), 12);
        // Totals at (700, top + 4082).
        expectText(r, 7100, top + 4082, u("合計金額　 \\3,826円"), 16);
    }
    // The customer boxes, 6000 by 1418 twips.
    std::vector<std::array<int, 4>> boxes;
    for (const PrintItem* b : r.boxes())
        if (b->x == 700)
            boxes.push_back({b->x, b->y, b->x2, b->y2});
    EXPECT_EQ(boxes, (std::vector<std::array<int, 4>>{
                         {700, 567, 6700, 1985}, {700, 6180, 6700, 7598}, {700, 11793, 6700, 13211}}));
}

TEST_F(PrintTest, CustomerNameAloneIsUnderlined)
{
    PrintCapture capture;
    twoLineSlip(saleKind::Cash);
    printSlipSet(s.config, slip());
    const RecordingSurface& r = capture.surface(0);

    const auto names = r.findAll(u("山田　太郎　様"));
    ASSERT_EQ(names.size(), 3u);
    for (const PrintItem* name : names) {
        EXPECT_TRUE(name->underline);
        EXPECT_EQ(name->fontSize, 16);
        // The telephone number printed next is not underlined.
        const PrintItem& next = r.items()[r.indexOf(name) + 1];
        EXPECT_EQ(next.text, u("03-1111-2222"));
        EXPECT_FALSE(next.underline);
        EXPECT_EQ(next.fontSize, 8);
    }
    int underlined = 0;
    for (const PrintItem* t : r.texts())
        underlined += t->underline;
    EXPECT_EQ(underlined, 3);
}

TEST_F(PrintTest, LineTableRightAlignsNumbersAndPrintsEmptyRowsThroughTheMasks)
{
    PrintCapture capture;
    twoLineSlip(saleKind::Cash);
    printSlipSet(s.config, slip());
    const RecordingSurface& r = capture.surface(0);

    const int x0 = 700;
    for (int y0 : {2268, 7881, 13494}) {
        SCOPED_TRACE(y0);
        // Seven rules, no vertical ones.
        for (int k = 0; k <= 6; ++k) {
            const auto& lines = r.lines();
            EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const PrintItem* l) {
                return l->x == x0 && l->x2 == x0 + 11000 && l->y == y0 + 284 * k && l->y2 == y0 + 284 * k;
            })) << "rule " << k;
        }
        const int head = y0 + 22;
        expectText(r, x0 + 80, head, u("No"), 12);
        expectText(r, x0 + 400, head, u("商品コード"), 12);
        expectText(r, x0 + 2200, head, u("商品名カナ"), 12);
        expectText(r, x0 + 3600, head, u("商 品 名"), 12);
        expectText(r, x0 + 7100, head, u("単価"), 12);
        // The quantities end 200 twips further right than the prices'
        // column spacing once allowed: " 999999.99" twice no longer touches.
        expectText(r, x0 + 8300, head, u("個数"), 12);
        expectText(r, x0 + 9500, head, u("金額"), 12);

        // Row 1: 1234.5 ends at X0+7900, so it starts 8 characters before.
        const int y1 = y0 + 284 + 22;
        expectText(r, x0 + 2200, y1, u("ｺｼﾋｶﾘ   "), 12);
        // Rate 1 (0.05) is the lower rate, so the reduced one of an older
        // installation's file: its line is marked before the name.
        expectText(r, x0 + 3600, y1, u("※"), 12);
        expectText(r, x0 + 3840, y1, text::fixed(u("コシヒカリ５ｋｇ"), 24), 12);
        expectText(r, x0 + 7900 - 960, y1, u(" 1234.50"), 12);
        expectText(r, x0 + 9100 - 600, y1, u(" 2.00"), 12);
        expectText(r, x0 + 10400 - 720, y1, u(" 2469."), 12);
        // Row 2: a whole amount keeps its point.
        const int y2 = y0 + 2 * 284 + 22;
        expectText(r, x0 + 400, y2, text::fixed(u("77"), 13), 12);
        expectText(r, x0 + 10400 - 720, y2, u(" 1234."), 12);
        // Rows 3 to 5 show the cleared buffer.
        for (int row = 3; row <= 5; ++row) {
            const int y = y0 + 284 * row + 22;
            expectText(r, x0 + 80, y, u(" %1").arg(row), 12);
            expectText(r, x0 + 400, y, QString(13, QLatin1Char(' ')), 12);
            expectText(r, x0 + 2200, y, QString(8, QLatin1Char(' ')), 12);
            expectText(r, x0 + 3600, y, QString(24, QLatin1Char(' ')), 12);
            expectText(r, x0 + 7900 - 480, y, u(" .00"), 12);
            expectText(r, x0 + 9100 - 480, y, u(" .00"), 12);
            expectText(r, x0 + 10400 - 240, y, u(" ."), 12);
        }
        // Nothing below row 5.
        EXPECT_EQ(r.textAt(x0 + 80, y0 + 284 * 6 + 22), nullptr);
    }
}

TEST_F(PrintTest, TaxSummaryShowsRatesCategoryTotalsTaxAndGrandTotal)
{
    PrintCapture capture;
    twoLineSlip(saleKind::Cash);
    printSlipSet(s.config, slip());
    const RecordingSurface& r = capture.surface(0);
    const int x0 = 700;
    const int y0 = 4082;
    expectText(r, x0, y0, u("税率1　0.05"), 8);
    expectText(r, x0, y0 + 200, u("税率2　0.08"), 8);
    expectText(r, x0 + 1000, y0, u("外税売上1   2469"), 8);
    expectText(r, x0 + 1000, y0 + 200, u("外税売上2   0"), 8);
    expectText(r, x0 + 2800, y0, u("内税売上1   0"), 8);
    expectText(r, x0 + 2800, y0 + 200, u("内税売上2   0"), 8);
    expectText(r, x0 + 4600, y0, u("非課税売上  1234"), 8);
    expectText(r, x0 + 4600, y0 + 200, u("消費税　　  123"), 8);
    expectText(r, x0 + 6400, y0, u("合計金額　 \\3,826円"), 16);
}

void expectNoOverlap(const RecordingSurface& r); // below, with the layout tests

TEST_F(PrintTest, QualifiedSlipStatesEachRateItsTaxAndMarksReducedLines)
{
    qualifiedSlip();
    // The slip's own totals as before: tax 238 (238.4 down) + 216.
    EXPECT_EQ(s.totals.consumptionTax, yen("454"));
    EXPECT_EQ(s.totals.grandTotal, yen("10194"));

    PrintCapture capture;
    printSlipSet(s.config, slip());
    const RecordingSurface& r = capture.surface(0);
    const int x0 = 700;
    for (int top : {0, 5613, 11226}) {
        SCOPED_TRACE(top);
        // The rate lines and totals stand where they stood.
        const int y0 = top + 4082;
        expectText(r, x0, y0, u("税率1　0.10"), 8);
        expectText(r, x0 + 4600, y0 + 200, u("消費税　　  454"), 8);
        expectText(r, x0 + 6400, y0, u("合計金額　 \\10,194円"), 16);
        // Under them each rate with its total and the tax it contains:
        // 10 %: 2160 + 216 + 4400 = 6776, of which 616 tax; 8 %: 2980 +
        // 238 = 3218, of which 238.
        expectText(r, x0, y0 + 400, u("10%対象 6,776円 消費税 616円"), 8);
        expectText(r, x0 + 2800, y0 + 400, u("8%対象 3,218円 消費税 238円"), 8);
        expectText(r, x0 + 5600, y0 + 400, u("※は軽減税率対象"), 8);
        // Only the rice line is marked, before its name.
        const int rows = top + 2268;
        expectText(r, x0 + 3600, rows + 284 + 22, u("※"), 12);
        expectText(r, x0 + 3840, rows + 284 + 22, text::fixed(u("県産こしひかり　５ｋｇ"), 24), 12);
        for (int row = 2; row <= 4; ++row)
            EXPECT_NE(r.textAt(x0 + 3600, rows + 284 * row + 22)->text, u("※")) << row;
        // The registration number under the shop's lines.
        expectText(r, 6500 + 1800, top + 567 + 1400, u("登録番号　T7010001008844"), 8);
    }
    EXPECT_EQ(r.findAll(u("※")).size(), 3u);
    expectNoOverlap(r);

    // A shop with no number prints none, and a slip of one rate one line.
    s.config.registrationNumber.clear();
    clearSlip(s);
    addLine(0, "2001", "ﾄｳﾕ18L", "灯油　１８Ｌ缶", "2160", "1");
    PrintCapture plain;
    printSlipSet(s.config, slip());
    const RecordingSurface& p = plain.surface(0);
    EXPECT_EQ(p.findStarting(u("登録番号")), nullptr);
    expectText(p, x0, 4482, u("10%対象 2,376円 消費税 216円"), 8);
    EXPECT_EQ(p.textAt(x0 + 2800, 4482), nullptr);
    EXPECT_EQ(p.find(u("※は軽減税率対象")), nullptr);
}

TEST_F(PrintTest, GrandTotalCarriesOneBackslashAndThousandsSeparators)
{
    PrintCapture capture;
    s.saleKind = saleKind::Cash;
    addLine(5, "1", "ｺﾒ", "特選米３０ｋｇ", "12345", "1"); // tax included: no tax added
    printSlipSet(s.config, slip());
    const RecordingSurface& r = capture.surface(0);
    expectText(r, 7100, 4082, u("合計金額　 \\12,345円"), 16);
    EXPECT_EQ(r.find(u("合計金額　 \\12,345円"))->text.count(QLatin1Char('\\')), 1);
    expectText(r, 3500, 4082, u("内税売上1   12345"), 8);
}

TEST_F(PrintTest, SlipThatCannotBePrintedOpensNoJob)
{
    PrintCapture capture;
    // More lines than the sheet's five rows.
    for (int i = 0; i < 6; ++i)
        addLine(9, "1", "ｱ", "品", "100", "1");
    try {
        printSlipSet(s.config, slip());
        FAIL() << "six lines were printed on five rows";
    } catch (const PrintError& e) {
        EXPECT_TRUE(e.message().contains(u("5行")));
    }
    EXPECT_EQ(capture.count(), 0);

    // A slip number beyond the signed 32-bit range.
    s.lineCount = 1;
    s.config.slipPrefix = 21;
    s.config.slipCounter = 47483648;
    EXPECT_THROW(printSlipSet(s.config, slip()), SlipNumberOverflow);
    EXPECT_EQ(capture.count(), 0);

    // A printer that cannot be opened reaches the caller with its message.
    s.config.slipCounter = 1;
    capture.failOpening(u("プリンターがありません。"));
    try {
        printSlipSet(s.config, slip());
        FAIL() << "no error from a failing printer";
    } catch (const PrintError& e) {
        EXPECT_EQ(e.message(), u("プリンターがありません。"));
    }
}

// ---- the invoice ------------------------------------------------------------

TEST_F(PrintTest, InvoiceStatesThePeriodsSalesByRateAndMarksReducedLines)
{
    s.config.taxRate1() = u("0.10");
    s.config.taxRate2() = u("0.08");
    s.config.reducedRate = 2;
    s.config.registrationNumber = u("T7010001008844");
    invoiceOf(3);
    invoice.lines[1].taxCategory = 0; // line 2 at the standard rate
    invoice.taxByRate.rates = {{yen("0.1"), false, yen("6776"), yen("616")}, {yen("0.08"), true, yen("7726"), yen("571")}};
    invoice.taxByRate.notTaxable = yen("200");
    PrintCapture capture;
    printInvoice(s.config, s.customer, invoice, Issued);
    const RecordingSurface& r = capture.surface(0);
    // Left of the previous invoice's figures, under the amount billed.
    expectText(r, 700, 3050, u("10%対象 6,776円 消費税 616円"), 8);
    expectText(r, 700, 3230, u("8%対象 7,726円 消費税 571円 ※"), 8);
    expectText(r, 700, 3410, u("非課税 200円"), 8);
    expectText(r, 700, 3590, u("※は軽減税率対象"), 8);
    expectText(r, 700, 3770, u("消費税は伝票ごとに税率別に計算しています。"), 8);
    expectText(r, 6500 + 1800, 567 + 1400, u("登録番号　T7010001008844"), 8);
    // Lines 1 and 3 (category 1, the reduced rate) are marked before their
    // names; line 2 is not.
    for (int row : {1, 3}) {
        const int y = 4000 + 284 * row + 22;
        expectText(r, 700 + 4080, y, u("※"), 12);
        expectText(r, 700 + 4080 + 240, y, text::fixed(u("プロパンガス ") + QString::number(row), 24), 12);
    }
    expectText(r, 700 + 4080, 4000 + 2 * 284 + 22, text::fixed(u("プロパンガス 2"), 24), 12);
    expectNoOverlap(r);
}

TEST_F(PrintTest, InvoicePagesAreSeparateJobsMarkedPageOfTotal)
{
    struct Case {
        int lines;
        QStringList marks;
    };
    for (const Case& c : {Case{0, {u("Page001/001")}}, Case{1, {u("Page001/001")}}, Case{40, {u("Page001/001")}},
                          Case{41, {u("Page001/002"), u("Page002/002")}},
                          Case{80, {u("Page001/002"), u("Page002/002")}},
                          Case{81, {u("Page001/003"), u("Page002/003"), u("Page003/003")}}}) {
        SCOPED_TRACE(c.lines);
        PrintCapture capture;
        invoiceOf(c.lines);
        printInvoice(s.config, s.customer, invoice, Issued);
        ASSERT_EQ(capture.count(), c.marks.size());
        for (int p = 0; p < capture.count(); ++p) {
            const RecordingSurface& r = capture.surface(p);
            EXPECT_EQ(r.documentName(), u("請求書"));
            EXPECT_TRUE(r.ended());
            EXPECT_EQ(r.pageCount(), 1);
            expectText(r, 9300, 0, c.marks[p], 12);
            expectText(r, 5800, 0, u("請求書発行日　2001 / 02 / 21"), 12);
            // The table's 42 rules, whatever the number of rows.
            int rules = 0;
            for (const PrintItem* l : r.lines())
                rules += l->x == 700 && l->x2 == 11700 && (l->y - 4000) % 284 == 0;
            EXPECT_EQ(rules, 42);
            // Rows of this page: 40 on full pages, the rest on the last.
            const int rows = std::clamp(c.lines - p * 40, 0, 40);
            for (int row = 1; row <= 40; ++row)
                EXPECT_EQ(countTextsAt(r, 700, 4000 + 284 * row + 22), row <= rows ? 1 : 0) << "row " << row;
        }
    }
}

TEST_F(PrintTest, InvoiceFirstPageHasTheHeadAndContinuationPagesTheirTitle)
{
    PrintCapture capture;
    invoiceOf(41);
    printInvoice(s.config, s.customer, invoice, Issued);
    ASSERT_EQ(capture.count(), 2);
    const RecordingSurface& first = capture.surface(0);
    const RecordingSurface& second = capture.surface(1);

    expectText(first, 700, 0, u("＊＊＊ 請　求　書 ＊＊＊"), 20);
    expectText(first, 4000, 2200, u("下記のとうりご請求申し上げますのでよろしくお願い致します。"), 8);
    expectText(first, 700, 2552, u("合計請求金額　 \\12,345円"), 20);
    expectText(first, 7500, 2552, u("請求締切日　2001 / 02 / 20"), 12);
    expectText(first, 4000, 3000, u("前回請求締日　2001 / 01 / 20"), 12);
    expectText(first, 7500, 3000, u("前回請求金額　\\5,000円"), 12);
    expectText(first, 4000, 3300, u("前回－入金日　2001 / 01 / 25"), 12);
    expectText(first, 7500, 3300, u("前回入金金額　\\4,000円"), 12);
    expectText(first, 7500, 3600, u("今回売上金額　\\11,345円"), 12);

    expectText(second, 700, 0, u("＊＊＊ 請求明細書 ＊＊＊"), 20);
    EXPECT_EQ(second.findStarting(u("合計請求金額")), nullptr);
    EXPECT_EQ(second.findStarting(u("下記の")), nullptr);
    EXPECT_EQ(second.findStarting(u("今回売上金額")), nullptr);

    // Customer, company and bank lines on every page.
    for (const RecordingSurface* r : {&first, &second}) {
        expectText(*r, 780, 567 + 720, u("山田　太郎　様"), 16);
        expectText(*r, 7300, 567 + 80, u("テスト商店"), 12);
        expectText(*r, 700, 15666, u("取引銀行"), 8);
        expectText(*r, 2700, 15666, u("試験銀行　本店　普通　1234567"), 8);
        expectText(*r, 6700, 15666, QString(), 8);
        const int head = 4022;
        for (auto [x, t] : std::vector<std::pair<int, const char*>>{{780, "No"}, {1400, "年月日"}, {2700, "部門"},
                                                                    {3400, "商品コード"}, {5000, "商 品 名"},
                                                                    {7800, "単価"}, {9000, "個数"},
                                                                    {10200, "金額"}, {11220, "税"}})
            expectText(*r, x, head, u(t), 12);
    }
}

TEST_F(PrintTest, InvoiceLine41IsTheFirstRowOfPageTwo)
{
    PrintCapture capture;
    invoiceOf(41);
    invoice.lines[40].departmentCode = 7;
    invoice.lines[40].taxCategory = 9;
    invoice.lines[40].saleDate = Date::fromParts(2001, 2, 3);
    printInvoice(s.config, s.customer, invoice, Issued);
    ASSERT_EQ(capture.count(), 2);
    const RecordingSurface& page1 = capture.surface(0);
    const RecordingSurface& page2 = capture.surface(1);

    const int x0 = 700;
    const int y = 4000 + 284 + 22;
    expectText(page1, x0, y, u("1"), 12);
    expectText(page1, x0, 4000 + 284 * 40 + 22, u("40"), 12);
    // Line 41 × 1234.5 = 50614.5, whole part 50614.
    expectText(page2, x0, y, u("41"), 12);
    expectText(page2, x0 + 600, y, u("2001/02/03"), 12);
    expectText(page2, x0 + 2000, y, u("07"), 12);
    expectText(page2, x0 + 2400, y, text::fixed(u("4900041"), 13), 12);
    expectText(page2, x0 + 4080, y, text::fixed(u("プロパンガス 41"), 24), 12);
    expectText(page2, x0 + 7900 - 960, y, u(" 1234.50"), 12);
    expectText(page2, x0 + 9100 - 720, y, u(" 41.00"), 12);
    expectText(page2, x0 + 10400 - 720, y, u(" 50614"), 12);
    expectText(page2, x0 + 10520, y, u("09"), 12);
    EXPECT_EQ(page2.textAt(x0, 4000 + 2 * 284 + 22), nullptr);
}

TEST_F(PrintTest, InvoiceOfACustomerWhoNeverPaidShowsBlankDatesAndZeroAmounts)
{
    // No lines, no earlier invoice, no payment, no sales: the zero date
    // prints blank after its caption, a zero amount as the yen sign and 0.
    invoiceOf(0);
    invoice.previousClosingDate = Date();
    invoice.lastPaymentDate = Date();
    invoice.previousInvoiceAmount = Currency();
    invoice.paymentsSinceClosing = Currency();
    invoice.currentSales = Currency();
    invoice.totalBilled = Currency();
    PrintCapture capture;
    printInvoice(s.config, s.customer, invoice, Issued);
    ASSERT_EQ(capture.count(), 1);
    const RecordingSurface& r = capture.surface(0);
    expectText(r, 9300, 0, u("Page001/001"), 12);
    expectText(r, 4000, 3000, u("前回請求締日　"), 12);
    expectText(r, 4000, 3300, u("前回－入金日　"), 12);
    expectText(r, 700, 2552, u("合計請求金額　 \\0円"), 20);
    expectText(r, 7500, 3000, u("前回請求金額　\\0円"), 12);
    expectText(r, 7500, 3300, u("前回入金金額　\\0円"), 12);
    expectText(r, 7500, 3600, u("今回売上金額　\\0円"), 12);
    for (const PrintItem* t : r.texts())
        EXPECT_FALSE(t->text.contains(u("1899"))) << t->text.toStdString();

    // The slip's previous-sale date, before any customer's results were
    // looked at, is the zero date too.
    PrintCapture slipCapture;
    s.previousSaleDate = Date();
    twoLineSlip(saleKind::Cash);
    printSlipSet(s.config, slip());
    expectText(slipCapture.surface(0), 10000, 350, u("Prv."), 8);
    expectText(slipCapture.surface(0), 7000, 0, u("2001 / 02 / 16"), 12);
}

// The invoice row read as the printer's face prints it (Noto Sans Mono CJK
// JP: a half-width character 120 twips wide at 12 points, checked against
// the real face below): every item's ink ends at least one half-width
// character before the next item's ink begins.
TEST_F(PrintTest, InvoiceColumnsStayClearOfEachOtherAtTheirWidestValues)
{
    invoiceOf(2);
    InvoiceLine& widest = invoice.lines[0];
    widest.saleDate = Date::fromParts(2001, 12, 28);
    widest.departmentCode = 99;
    widest.taxCategory = 99;
    widest.productCode = u("4901234567890");
    widest.productName = u("特選新潟県産コシヒカリ新米１０ｋｇ袋入り");
    widest.unitPrice = yen("999999.99");
    widest.quantity = yen("999999.99");
    widest.amount = yen("999999999");
    // A whole amount beside tax category 00: "2800. 00" read as a decimal.
    InvoiceLine& plain = invoice.lines[1];
    plain.amount = yen("2800");
    plain.taxCategory = 0;
    PrintCapture capture;
    printInvoice(s.config, s.customer, invoice, Issued);
    const RecordingSurface& r = capture.surface(0);

    const int row1 = 4000 + 284 + 22;
    const auto items = r.row(row1);
    ASSERT_EQ(items.size(), 9u);
    QStringList texts;
    for (const PrintItem* t : items)
        texts << t->text;
    EXPECT_EQ(texts, QStringList({u("1"), u("2001/12/28"), u("99"), u("4901234567890"),
                                  u("特選新潟県産コシヒカリ新米１０ｋｇ袋入り"), u(" 999999.99"), u(" 999999.99"),
                                  u(" 999999999"), u("99")}));
    for (std::size_t i = 0; i + 1 < items.size(); ++i) {
        const auto left = RecordingSurface::inkExtent(*items[i]);
        const auto right = RecordingSurface::inkExtent(*items[i + 1]);
        EXPECT_GE(right.left - left.right, 120) << items[i]->text.toStdString() << " | "
                                                 << items[i + 1]->text.toStdString();
    }
    // The figures: code 3100..4660, name from 4780; price ends 8600,
    // quantity's ink from 8720 to 9800; amount ends 11100, category at 11220.
    EXPECT_EQ(RecordingSurface::inkExtent(*items[3]).right, 4660);
    EXPECT_EQ(items[4]->x, 4780);
    EXPECT_EQ(RecordingSurface::inkExtent(*items[5]).right, 8600);
    EXPECT_EQ(RecordingSurface::inkExtent(*items[6]).left, 8720);
    EXPECT_EQ(RecordingSurface::inkExtent(*items[7]).right, 11100);
    EXPECT_EQ(items[8]->x, 11220);

    // The whole amount has no point, and its category stands 120 twips off.
    const int row2 = 4000 + 2 * 284 + 22;
    expectText(r, 700 + 10400 - 600, row2, u(" 2800"), 12);
    expectText(r, 700 + 10520, row2, u("00"), 12);
}

// ---- layout: nothing overlaps, nothing leaves the sheet ---------------------

// Every text's extent as a face with half-width characters of half an em
// prints it, narrowed to its fitted width.
void expectNoOverlap(const RecordingSurface& r)
{
    struct Extent {
        const PrintItem* item;
        int x1, x2, y1, y2;
    };
    std::vector<Extent> extents;
    for (const PrintItem* t : r.texts()) {
        const QString ink = rtrim(t->text);
        if (ink.isEmpty())
            continue;
        int width = RecordingSurface::nominalWidth(ink, t->fontSize);
        if (t->fitWidth > 0)
            width = std::min(width, t->fitWidth);
        const int height = int(t->fontSize * 20);
        extents.push_back({t, t->x, t->x + width, t->y, t->y + height});
        EXPECT_GE(t->x, 0) << t->text.toStdString();
        EXPECT_LE(t->x + width, PrintSurface::RightEdge) << t->text.toStdString();
        EXPECT_LE(t->y + height, PrintSurface::SheetHeight - 2 * 142) << t->text.toStdString();
    }
    for (std::size_t a = 0; a < extents.size(); ++a)
        for (std::size_t b = a + 1; b < extents.size(); ++b) {
            const Extent& e = extents[a];
            const Extent& f = extents[b];
            if (e.item->page != f.item->page)
                continue;
            const bool overlap = e.x1 < f.x2 && f.x1 < e.x2 && e.y1 < f.y2 && f.y1 < e.y2;
            EXPECT_FALSE(overlap) << e.item->text.toStdString() << " at (" << e.x1 << ", " << e.y1 << ") and "
                                  << f.item->text.toStdString() << " at (" << f.x1 << ", " << f.y1 << ")";
        }
}

TEST_F(PrintTest, LongNamesAreFittedSoNoTextRunsIntoAnother)
{
    longNames();
    {
        PrintCapture capture;
        printSlipSet(s.config, slip());
        ASSERT_EQ(capture.count(), 1);
        expectNoOverlap(capture.surface(0));
    }
    {
        s.saleKind = saleKind::Cash;
        PrintCapture capture;
        printSlipSet(s.config, slip());
        expectNoOverlap(capture.surface(0));
    }
    {
        invoiceOf(41);
        invoice.lines[0].productName = u("特選新潟県産コシヒカリ新米１０ｋｇ袋入り");
        invoice.lines[0].unitPrice = yen("999999.99");
        invoice.lines[0].amount = yen("999999999");
        invoice.totalBilled = Currency::fromUnits(999999999);
        PrintCapture capture;
        printInvoice(s.config, s.customer, invoice, Issued);
        for (const auto& r : capture.surfaces())
            expectNoOverlap(*r);
    }
}

void PrintTest::longNames()
{
    s.customer.name = u("株式会社ひまわり商事　北町第二営業所");
    s.customer.address1 = u("東京都架空区試験町一丁目二番三号　ひまわりビル");
    s.customer.address2 = u("北町第二営業所　総務部御中　ご担当者様");
    s.config.values[0] = u("有限会社ひまわり米穀燃料店　本店");
    s.config.values[1] = u("〒123-4567 東京都架空区試験町一丁目二番三号");
    s.config.values[3] = u("米・灯油・プロパンガス・日用雑貨の配達は当店へ");
    s.config.values[6] = u("毎度ありがとうございます。またのご用命をお待ちしております。灯油の配達は電話一本で");
    s.config.values[7] = u("試験銀行　本店営業部　普通預金　1234567　ヒマワリ");
    s.config.values[8] = u("架空信用金庫　北町支店　当座預金　7654321");
    s.saleKind = saleKind::Credit;
    addLine(0, "4901234567890", "ｺｼﾋｶﾘｼﾝﾏｲ", "特選新潟県産コシヒカリ新米１０ｋｇ袋入り", "999999.99", "9999");
    addLine(1, "4909876543210", "トクセンマイ", "特選米", "5", "1");
}

// ---- the printer surface: real PDF files --------------------------------------

bool isPdfFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(5) == "%PDF-" && f.size() > 1000;
}

// Factory printing every document to a numbered PDF file in a folder, or in
// PRINT_SAMPLE_DIR when it is set (to look at the pages).
class PdfFiles {
public:
    explicit PdfFiles(const QString& folder)
        : folder_(qEnvironmentVariableIsSet("PRINT_SAMPLE_DIR") ? qEnvironmentVariable("PRINT_SAMPLE_DIR") : folder)
    {
        previous_ = installPrintSurfaceFactory([this](const QString& name) -> std::unique_ptr<PrintSurface> {
            const QString path = QDir(folder_).filePath(QStringLiteral("%1-%2.pdf").arg(prefix).arg(++count_));
            paths << path;
            return std::make_unique<QtPrintSurface>(name, path);
        });
    }
    ~PdfFiles() { installPrintSurfaceFactory(std::move(previous_)); }
    QString prefix = QStringLiteral("doc");
    QStringList paths;

private:
    QString folder_;
    int count_ = 0;
    PrintSurfaceFactory previous_;
};

TEST_F(PrintTest, SlipAndInvoicePrintToPdfFilesAndTheOperatorIsToldWhere)
{
    QTemporaryDir dir;
    PdfFiles pdf(dir.path());
    qualifiedSlip();
    pdf.prefix = QStringLiteral("slip");
    printSlipSet(s.config, slip());
    ASSERT_EQ(pdf.paths.size(), 1);
    EXPECT_TRUE(isPdfFile(pdf.paths[0]));
    // The operator is told where the file is and asked whether to open it;
    // declined, nothing is opened.
    EXPECT_TRUE(scripted->messages.empty());
    ASSERT_EQ(scripted->yesNoQuestions.size(), 1u);
    EXPECT_EQ(scripted->yesNoQuestions[0].text, u("プリンターがないため、印刷データをPDFファイルに保存しました。\n")
                                                    + QDir::toNativeSeparators(pdf.paths[0]) + u("\n\n開きますか？"));
    EXPECT_EQ(scripted->yesNoQuestions[0].title, u("印刷"));
    EXPECT_TRUE(scripted->openedFiles.isEmpty());

    // An invoice of two pages is two files but one message naming both.
    pdf.prefix = QStringLiteral("invoice");
    invoiceOf(41);
    for (int j = 0; j < 41; j += 3)
        invoice.lines[std::size_t(j)].taxCategory = 0;
    invoice.taxByRate.rates = {{yen("0.1"), false, yen("6776"), yen("616")}, {yen("0.08"), true, yen("7726"), yen("571")}};
    invoice.taxByRate.notTaxable = yen("200");
    // Answered yes, the folder of the files is opened, not one file.
    scripted->yesNoAnswers = {true};
    printInvoice(s.config, s.customer, invoice, Issued);
    ASSERT_EQ(pdf.paths.size(), 3);
    EXPECT_TRUE(isPdfFile(pdf.paths[1]));
    EXPECT_TRUE(isPdfFile(pdf.paths[2]));
    ASSERT_EQ(scripted->yesNoQuestions.size(), 2u);
    const QString batch = scripted->yesNoQuestions[1].text;
    EXPECT_TRUE(batch.contains(u("2 個")));
    EXPECT_TRUE(batch.contains(QDir::toNativeSeparators(pdf.paths[1])));
    EXPECT_TRUE(batch.contains(QDir::toNativeSeparators(pdf.paths[2])));
    const QString folder = QFileInfo(pdf.paths[1]).absolutePath();
    EXPECT_EQ(batch,
              u("プリンターがないため、印刷データを 2 個のPDFファイルに保存しました。\n") + QDir::toNativeSeparators(pdf.paths[1])
                  + u("\n") + QDir::toNativeSeparators(pdf.paths[2]) + u("\n\n保存したフォルダを開きますか？\n")
                  + QDir::toNativeSeparators(folder));
    EXPECT_EQ(scripted->openedFiles, QStringList{folder});
    EXPECT_TRUE(scripted->messages.empty());

    // Texts narrowed to fit their columns print as well.
    pdf.prefix = QStringLiteral("long");
    clearSlip(s);
    longNames();
    printSlipSet(s.config, slip());
    ASSERT_EQ(pdf.paths.size(), 4);
    EXPECT_TRUE(isPdfFile(pdf.paths[3]));
    EXPECT_EQ(scripted->yesNoQuestions.size(), 3u);
    EXPECT_EQ(scripted->openedFiles.size(), 1);
}

TEST_F(PrintTest, PrinterSurfaceUsesAFaceWhoseHalfWidthCharactersAreHalfAnEm)
{
    QTemporaryDir dir;
    QtPrintSurface surface(u("幅"), dir.filePath(u("width.pdf")));
    surface.setFontSize(12);
    // Right-aligned numbers start 120 twips per character before their
    // edge; with this face they end exactly there.
    EXPECT_NEAR(surface.textWidth(u(" 1234.50")), 960, 12);
    EXPECT_NEAR(surface.textWidth(u("商品")), 480, 12);
    // The backslash of the amounts prints as a half-width yen sign.
    EXPECT_NEAR(surface.textWidth(u("\\")), 120, 6);
    surface.setFontSize(8);
    EXPECT_NEAR(surface.textWidth(u("12345678")), 640, 10);
    surface.endDocument();
}

TEST_F(PrintTest, PrinterSurfaceFailuresAreReportedAndLeaveNoFile)
{
    QTemporaryDir dir;
    // A PDF whose folder is a file cannot be opened.
    const QString blocker = dir.filePath(u("file"));
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    try {
        QtPrintSurface surface(u("納品書"), blocker + u("/slip.pdf"));
        FAIL() << "a PDF under a file was opened";
    } catch (const PrintError& e) {
        EXPECT_TRUE(e.message().contains(u("PDFファイルを作れませんでした")));
    }

    // A document abandoned before its end leaves no half-written file.
    const QString abandoned = dir.filePath(u("abandoned.pdf"));
    {
        QtPrintSurface surface(u("納品書"), abandoned);
        surface.text(0, 0, u("途中"));
    }
    EXPECT_FALSE(QFileInfo::exists(abandoned));
    EXPECT_TRUE(scripted->messages.empty());
}

TEST_F(PrintTest, WithoutAPrinterDocumentsGoToTheFolderBesideTheProgram)
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "this machine has a printer; nothing is printed on it by tests";
    QStringList paths;
    // The first file the operator opens, the second not.
    scripted->yesNoAnswers = {true, false};
    for (int i = 0; i < 2; ++i) {
        QtPrintSurface surface(u("請求書"));
        ASSERT_TRUE(surface.isPdf());
        paths << surface.pdfPath();
        surface.text(700, 0, u("＊＊＊ 請　求　書 ＊＊＊"));
        surface.endDocument();
    }
    // Two documents in the same second get two files.
    EXPECT_NE(paths[0], paths[1]);
    for (const QString& path : paths) {
        EXPECT_EQ(QFileInfo(path).absolutePath(), QDir(installation.dir()).filePath(u("印刷")));
        EXPECT_TRUE(QFileInfo(path).fileName().startsWith(u("請求書_")));
        EXPECT_TRUE(isPdfFile(path));
    }
    ASSERT_EQ(scripted->yesNoQuestions.size(), 2u);
    EXPECT_TRUE(scripted->yesNoQuestions[0].text.contains(QDir::toNativeSeparators(paths[0])));
    EXPECT_TRUE(scripted->yesNoQuestions[1].text.contains(QDir::toNativeSeparators(paths[1])));
    EXPECT_TRUE(scripted->yesNoQuestions[0].text.endsWith(u("\n\n開きますか？")));
    EXPECT_EQ(scripted->openedFiles, QStringList{paths[0]});
}

} // namespace
