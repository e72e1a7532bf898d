#include "print/SlipPrinting.h"

#include "core/Text.h"
#include "print/PrintSurface.h"
#include "session/TaxBreakdown.h"

#include <algorithm>

using text::format;

namespace {

// Band tops of the slip sheet: the A4 height in three.
constexpr int BandTops[3] = {0, 5613, 11226};
// Height of a table row; the text sits 22 twips below the row's rule.
constexpr int RowHeight = 284;
constexpr int RowTextOffset = 22;
// Width the layouts allow for one half-width character at 12 points.
constexpr int CharacterWidth = 120;
// Space kept between a fitted text and the item to its right.
constexpr int Gap = 60;

const QString DateMask = QStringLiteral("yyyy / mm / dd");
const QString PriceMask = QStringLiteral(" ######.00");
const QString AmountMask = QStringLiteral(" #########.");
// The invoice's amounts are whole yen: without the point, an amount and the
// tax category beside it never read as one decimal number.
const QString InvoiceAmountMask = QStringLiteral(" #########");
const QString TotalMask = QStringLiteral("########0");
// Marks the lines sold at the reduced rate, before the product's name.
const QString ReducedMark = QStringLiteral("※");
// The mark's width at 12 points: the name moves right by it.
constexpr int ReducedMarkWidth = 240;
// A zero amount still shows its 0 (yen sign, "0円"), never the yen sign and "円" alone.
const QString YenMask = QStringLiteral("\\\\###,###,##0");

// One printed item: position, size, text.
void put(PrintSurface& surface, int x, int y, double points, const QString& text, int fitWidth = 0)
{
    surface.setFontSize(points);
    surface.text(x, y, text, fitWidth);
}

// A number ending at the right edge: it starts 120 twips per character of
// its text to the left. Returns where it starts.
int putRight(PrintSurface& surface, int rightEdge, int y, const QString& text)
{
    const int x = rightEdge - CharacterWidth * int(text.size());
    surface.text(x, y, text);
    return x;
}

QString yen(const Currency& amount)
{
    return format(amount, YenMask) + QStringLiteral("円");
}

// A date through its mask; the zero date (a payment or a closing that never
// happened) prints blank rather than as 1899 / 12 / 30.
QString dateText(const Date& date, const QString& mask = DateMask)
{
    return date.isZero() ? QString() : format(date, mask);
}

void horizontalRules(PrintSurface& surface, PrintOrigin o, int count)
{
    for (int k = 0; k < count; ++k)
        surface.line(o.x, o.y + RowHeight * k, o.x + 11000, o.y + RowHeight * k);
}

const QString& configValue(const Configuration& config, int number)
{
    return config.values[std::size_t(number - 1)];
}

// A row of the slip's table with no line on it: blank texts of the columns'
// widths, zero figures.
SlipLine emptySlipLine()
{
    SlipLine line;
    line.productCode = text::fixed(QString(), 13);
    line.kanaName = text::fixed(QString(), 8);
    line.productName = text::fixed(QString(), 24);
    return line;
}

// The sheet's rows.
constexpr int SlipRows = 5;
// Right edge of the slip's quantities: the widest price and quantity
// (" 999999.99") stand one character apart, and the quantity's digits end
// one character before a nine-digit amount's.
constexpr int SlipQuantityRight = 9100;

} // namespace

void setUpPrinter(PrintSurface& surface)
{
    surface.setUnderline(false);
    surface.setFontSize(12);
}

void printCuttingLines(PrintSurface& surface)
{
    for (int y : {5413, 5473, 11026, 11086})
        surface.line(0, y, 11567, y);
}

void printSlipHeading(PrintSurface& surface, PrintOrigin o, const SlipPrintout& slip)
{
    put(surface, o.x, o.y, 12, dateText(slip.customer.slipDate));
    put(surface, o.x + 2000, o.y, 12,
        QStringLiteral("伝票No　") + format(std::int64_t(slip.slipNumber), QStringLiteral("#########")),
        PrintSurface::RightEdge - (o.x + 2000));
    put(surface, o.x + 3000, o.y + 350, 8, QStringLiteral("Prv.") + dateText(slip.previousSaleDate),
        PrintSurface::RightEdge - (o.x + 3000));
}

void printCustomerBlock(PrintSurface& surface, PrintOrigin o, const CustomerCard& c)
{
    surface.box(o.x, o.y, o.x + 6000, o.y + 1418);
    // Each text is kept inside the box and clear of the item to its right.
    put(surface, o.x + 80, o.y + 80, 8, QStringLiteral("〒") + c.postalCode, 1200 - 80 - 40);
    put(surface, o.x + 4500, o.y + 720, 8, QStringLiteral("code　") + c.code, 6000 - 4500 - 80);
    put(surface, o.x + 1200, o.y + 80, 12, c.address1, 6000 - 1200 - 80);
    put(surface, o.x + 1700, o.y + 400, 12, c.address2, 6000 - 1700 - 80);
    surface.setUnderline(true);
    put(surface, o.x + 80, o.y + 720, 16, c.name + QStringLiteral("　様"), 4500 - 80 - 80);
    surface.setUnderline(false);
    put(surface, o.x + 4500, o.y + 1120, 8, c.telephone, 6000 - 4500 - 80);
}

void printCompanyBlock(PrintSurface& surface, PrintOrigin o, const Configuration& shop)
{
    const int right = PrintSurface::RightEdge;
    put(surface, o.x + 800, o.y + 80, 12, configValue(shop, 1), right - (o.x + 800));
    put(surface, o.x + 1680, o.y + 400, 8, configValue(shop, 2), right - (o.x + 1680));
    put(surface, o.x + 2000, o.y + 600, 8, configValue(shop, 3), right - (o.x + 2000));
    put(surface, o.x + 1800, o.y + 800, 8, configValue(shop, 4), right - (o.x + 1800));
    put(surface, o.x + 1800, o.y + 1000, 8, configValue(shop, 5), right - (o.x + 1800));
    put(surface, o.x + 1800, o.y + 1200, 8, configValue(shop, 6), right - (o.x + 1800));
    // A registered shop's number, under its lines: below the customer box's
    // bottom edge and above the line table of the slip and the invoice head.
    if (!shop.registrationNumber.isEmpty())
        put(surface, o.x + 1800, o.y + 1400, 8, QStringLiteral("登録番号　") + shop.registrationNumber,
            right - (o.x + 1800));
}

void printSlipLines(PrintSurface& surface, PrintOrigin o, const std::vector<SlipLine>& lines, const Configuration& shop)
{
    surface.setFontSize(12);
    horizontalRules(surface, o, 7);
    const int headY = o.y + RowTextOffset;
    surface.text(o.x + 80, headY, QStringLiteral("No"));
    surface.text(o.x + 400, headY, QStringLiteral("商品コード"));
    surface.text(o.x + 2200, headY, QStringLiteral("商品名カナ"));
    surface.text(o.x + 3600, headY, QStringLiteral("商 品 名"));
    surface.text(o.x + 7100, headY, QStringLiteral("単価"));
    surface.text(o.x + SlipQuantityRight - 800, headY, QStringLiteral("個数"));
    surface.text(o.x + 9500, headY, QStringLiteral("金額"));

    // All five rows, whatever the line count: rows past it show an empty
    // line.
    const SlipLine empty = emptySlipLine();
    for (int r = 1; r <= SlipRows; ++r) {
        const SlipLine& line = r <= int(lines.size()) ? lines[std::size_t(r - 1)] : empty;
        const int y = o.y + RowHeight * r + RowTextOffset;
        const QString price = format(line.unitPrice, PriceMask);
        const int priceX = o.x + 7900 - CharacterWidth * int(price.size());
        surface.text(o.x + 80, y, text::Str(std::int64_t(r)));
        surface.text(o.x + 400, y, line.productCode, 2200 - 400 - 40);
        surface.text(o.x + 2200, y, line.kanaName, 3600 - 2200 - Gap);
        int nameX = o.x + 3600;
        if (r <= int(lines.size()) && reducedCategory(shop, line.taxCategory)) {
            surface.text(nameX, y, ReducedMark);
            nameX += ReducedMarkWidth;
        }
        surface.text(nameX, y, line.productName, priceX - nameX - Gap);
        putRight(surface, o.x + 7900, y, price);
        // An amount of ten digits or more reaches left of the quantities'
        // edge: the quantity then ends where the amount begins (its leading
        // blank keeps them apart), and is narrowed if it would then run
        // into the price.
        const QString amount = format(line.amount, AmountMask);
        const int amountX = o.x + 10400 - CharacterWidth * int(amount.size());
        const int quantityRight = std::min(o.x + SlipQuantityRight, amountX);
        const QString quantity = format(line.quantity, PriceMask);
        if (quantityRight - CharacterWidth * int(quantity.size()) >= o.x + 7900)
            putRight(surface, quantityRight, y, quantity);
        else
            surface.text(o.x + 7900, y, quantity, quantityRight - (o.x + 7900));
        surface.text(amountX, y, amount);
    }
}

void printTaxSummary(PrintSurface& surface, PrintOrigin o, const Configuration& shop, const SlipTotals& t)
{
    constexpr int Column = 1800 - 80;
    put(surface, o.x, o.y, 8, QStringLiteral("税率1　") + shop.taxRate1(), 1000 - 40);
    put(surface, o.x, o.y + 200, 8, QStringLiteral("税率2　") + shop.taxRate2(), 1000 - 40);
    put(surface, o.x + 1000, o.y, 8, QStringLiteral("外税売上1   ") + format(t.taxAddedRate1, TotalMask), Column);
    put(surface, o.x + 1000, o.y + 200, 8, QStringLiteral("外税売上2   ") + format(t.taxAddedRate2, TotalMask), Column);
    put(surface, o.x + 2800, o.y, 8, QStringLiteral("内税売上1   ") + format(t.taxIncludedRate1, TotalMask), Column);
    put(surface, o.x + 2800, o.y + 200, 8, QStringLiteral("内税売上2   ") + format(t.taxIncludedRate2, TotalMask), Column);
    put(surface, o.x + 4600, o.y, 8, QStringLiteral("非課税売上  ") + format(t.notTaxable, TotalMask), Column);
    put(surface, o.x + 4600, o.y + 200, 8, QStringLiteral("消費税　　  ") + format(t.consumptionTax, TotalMask), Column);
    put(surface, o.x + 6400, o.y, 16, QStringLiteral("合計金額　 ") + yen(t.grandTotal),
        PrintSurface::RightEdge - (o.x + 6400));

    // Under them, each rate in use with its total and the tax it contains,
    // the highest rate first, and the note for the "※" of the lines.
    const TaxBreakdown breakdown = taxBreakdown(t, shop);
    int x = o.x;
    for (const RateShare& share : breakdown.rates) {
        put(surface, x, o.y + 400, 8, rateFiguresText(share), 2800 - 100);
        x += 2800;
    }
    if (breakdown.anyReduced())
        put(surface, o.x + 5600, o.y + 400, 8, ReducedMark + QStringLiteral("は軽減税率対象"));
}

void printThanksLine(PrintSurface& surface, PrintOrigin o, const Configuration& shop)
{
    put(surface, o.x, o.y, 12, QStringLiteral("ありがとうございます。 ") + configValue(shop, 7),
        PrintSurface::RightEdge - o.x);
}

void printSlipSet(const Configuration& shop, const SlipPrintout& slip)
{
    const int lineCount = int(slip.lines.size());
    if (lineCount == 0)
        return;
    // The sheet has five rows; a longer slip would lose lines silently.
    if (lineCount > SlipRows)
        throw PrintError(QStringLiteral("納品書に印刷できるのは5行までです（この伝票は%1行）。\n"
                                        "行を減らしてから、もう一度印刷してください。")
                             .arg(lineCount));

    std::unique_ptr<PrintSurface> surface = openPrintSurface(QStringLiteral("納品書"));
    PrintSurface& p = *surface;
    setUpPrinter(p);
    printCuttingLines(p);
    put(p, 700, 0, 16, QStringLiteral("＊＊＊ 納　品　書 ＊＊＊"));
    if (slip.saleKind == saleKind::Cash) {
        printThanksLine(p, {700, 4819}, shop);
        printThanksLine(p, {700, 10432}, shop);
        put(p, 700, 5613, 16, QStringLiteral("☆☆☆ 領　収　書 ☆☆☆"));
        put(p, 700, 11226, 16, QStringLiteral("○○○ 入　金　票 ○○○"));
    } else {
        printThanksLine(p, {700, 4819}, shop);
        put(p, 700, 5613, 16, QStringLiteral("★★★ 受　領　書 ★★★"));
        // Kept clear of the stamp box that follows it.
        put(p, 6000, 10432, 16, QStringLiteral("受領印　oｒ　サイン"), 9000 - 6000 - Gap);
        p.box(9000, 10432, 11560, 10966);
        put(p, 700, 11226, 16, QStringLiteral("◆◆◆ 納　品　控 ◆◆◆"));
    }
    for (int top : BandTops)
        printSlipHeading(p, {7000, top}, slip);
    for (int top : BandTops)
        printCustomerBlock(p, {700, top + 567}, slip.customer);
    for (int top : BandTops)
        printCompanyBlock(p, {6500, top + 567}, shop);
    for (int top : BandTops)
        printSlipLines(p, {700, top + 2268}, slip.lines, shop);
    for (int top : BandTops)
        printTaxSummary(p, {700, top + 4082}, shop, slip.totals);
    p.endDocument();
}

namespace {

constexpr int InvoiceRowsPerPage = 40;

// Offsets of the invoice table's columns from its origin. Each is clear of
// its neighbours by at least one half-width character (120 twips at 12
// points) even at the widest value it can hold: a 13-character product
// code before the name, a unit price of " 999999.99" before a quantity of
// the same width, an amount of nine digits before the tax category.
namespace invoiceColumn {
constexpr int Number = 0;
constexpr int SaleDate = 600;
constexpr int Department = 2000;
constexpr int ProductCode = 2400;
constexpr int ProductName = 4080;
constexpr int PriceRight = 7900;
constexpr int QuantityRight = 9100;
constexpr int AmountRight = 10400;
constexpr int TaxCategory = 10520;
} // namespace invoiceColumn

// What every page of one invoice prints.
struct InvoicePrintout {
    const Configuration& shop;
    const CustomerCard& customer;
    const InvoiceValues& values;
    Date issueDate;
};

// The period's sales by rate, left of the previous-invoice figures and
// under the amount billed: each rate's total and tax, non-taxable sales,
// the note for the "※" of the lines and how the tax was computed.
void printInvoiceTaxByRate(PrintSurface& p, const TaxBreakdown& byRate)
{
    constexpr int X = 700;
    constexpr int Width = 4000 - X - 100; // clear of "前回請求締日" and its date
    // Below the 20-point amount billed, five lines at most above the table.
    constexpr int LineStep = 180;
    int y = 3050;
    for (const RateShare& share : byRate.rates) {
        put(p, X, y, 8, rateFiguresText(share) + (share.reduced ? QStringLiteral(" ※") : QString()), Width);
        y += LineStep;
    }
    if (!byRate.notTaxable.isZero()) {
        put(p, X, y, 8, notTaxableText(byRate.notTaxable), Width);
        y += LineStep;
    }
    if (byRate.anyReduced()) {
        put(p, X, y, 8, ReducedMark + QStringLiteral("は軽減税率対象"), Width);
        y += LineStep;
    }
    put(p, X, y, 8, QStringLiteral("消費税は伝票ごとに税率別に計算しています。"), Width);
}

void printInvoicePage(PrintSurface& p, const InvoicePrintout& invoice, int page, int pageTotal)
{
    const InvoiceValues& v = invoice.values;
    setUpPrinter(p);
    const QString issued = QStringLiteral("請求書発行日　") + dateText(invoice.issueDate);
    const QString pageMark = QStringLiteral("Page") + format(std::int64_t(page) * 1000 + pageTotal, QStringLiteral("000/000"));
    if (page == 1) {
        put(p, 700, 0, 20, QStringLiteral("＊＊＊ 請　求　書 ＊＊＊"));
        put(p, 5800, 0, 12, issued);
        put(p, 9300, 0, 12, pageMark);
        put(p, 4000, 2200, 8, QStringLiteral("下記のとうりご請求申し上げますのでよろしくお願い致します。"));
        put(p, 700, 2552, 20, QStringLiteral("合計請求金額　 ") + yen(v.totalBilled), 7500 - 700 - Gap);
        put(p, 7500, 2552, 12, QStringLiteral("請求締切日　") + dateText(v.closingDate));
        put(p, 4000, 3000, 12, QStringLiteral("前回請求締日　") + dateText(v.previousClosingDate));
        put(p, 7500, 3000, 12, QStringLiteral("前回請求金額　") + yen(v.previousInvoiceAmount), PrintSurface::RightEdge - 7500);
        put(p, 4000, 3300, 12, QStringLiteral("前回－入金日　") + dateText(v.lastPaymentDate));
        put(p, 7500, 3300, 12, QStringLiteral("前回入金金額　") + yen(v.paymentsSinceClosing), PrintSurface::RightEdge - 7500);
        put(p, 7500, 3600, 12, QStringLiteral("今回売上金額　") + yen(v.currentSales), PrintSurface::RightEdge - 7500);
        printInvoiceTaxByRate(p, v.taxByRate);
    } else {
        put(p, 700, 0, 20, QStringLiteral("＊＊＊ 請求明細書 ＊＊＊"));
        put(p, 5800, 0, 12, issued);
        put(p, 9300, 0, 12, pageMark);
    }
    printCustomerBlock(p, {700, 567}, invoice.customer);
    printCompanyBlock(p, {6500, 567}, invoice.shop);

    const PrintOrigin o{700, 4000};
    p.setFontSize(12);
    horizontalRules(p, o, 42);
    const int headY = o.y + RowTextOffset;
    namespace C = invoiceColumn;
    p.text(o.x + 80, headY, QStringLiteral("No"));
    p.text(o.x + 700, headY, QStringLiteral("年月日"));
    p.text(o.x + 2000, headY, QStringLiteral("部門"));
    p.text(o.x + 2700, headY, QStringLiteral("商品コード"));
    p.text(o.x + 4300, headY, QStringLiteral("商 品 名"));
    p.text(o.x + 7100, headY, QStringLiteral("単価"));
    p.text(o.x + C::QuantityRight - 800, headY, QStringLiteral("個数"));
    p.text(o.x + 9500, headY, QStringLiteral("金額"));
    p.text(o.x + C::TaxCategory, headY, QStringLiteral("税"));

    for (int r = 1; r <= InvoiceRowsPerPage; ++r) {
        const int j = (page - 1) * InvoiceRowsPerPage + r;
        if (j > v.lineCount())
            break;
        const InvoiceLine& line = v.lines[std::size_t(j - 1)];
        const int y = o.y + RowHeight * r + RowTextOffset;
        const QString price = format(line.unitPrice, PriceMask);
        const int priceX = o.x + C::PriceRight - CharacterWidth * int(price.size());
        p.text(o.x + C::Number, y, format(std::int64_t(j), QStringLiteral("####")));
        p.text(o.x + C::SaleDate, y, dateText(line.saleDate, QStringLiteral("yyyy/mm/dd")));
        p.text(o.x + C::Department, y, format(std::int64_t(line.departmentCode), QStringLiteral("00")));
        p.text(o.x + C::ProductCode, y, line.productCode, C::ProductName - C::ProductCode - CharacterWidth);
        int nameX = o.x + C::ProductName;
        if (reducedCategory(invoice.shop, line.taxCategory)) {
            p.text(nameX, y, ReducedMark);
            nameX += ReducedMarkWidth;
        }
        p.text(nameX, y, line.productName, priceX - nameX - Gap);
        putRight(p, o.x + C::PriceRight, y, price);
        putRight(p, o.x + C::QuantityRight, y, format(line.quantity, PriceMask));
        putRight(p, o.x + C::AmountRight, y, format(line.amount, InvoiceAmountMask));
        p.text(o.x + C::TaxCategory, y, format(std::int64_t(line.taxCategory), QStringLiteral("00")));
    }

    put(p, 700, 15666, 8, QStringLiteral("取引銀行"));
    put(p, 2700, 15666, 8, configValue(invoice.shop, 8), 6700 - 2700 - 80);
    put(p, 6700, 15666, 8, configValue(invoice.shop, 9), PrintSurface::RightEdge - 6700);
}

} // namespace

void printInvoice(const Configuration& shop, const CustomerCard& customer, const InvoiceValues& values,
                  Date issueDate)
{
    const InvoicePrintout invoice{shop, customer, values, issueDate};
    const int n = values.lineCount();
    // Pages of 40 lines; an invoice with no lines is one page with an empty
    // table, marked as page 1 of 1.
    const int pageTotal = std::max(1, (n + InvoiceRowsPerPage - 1) / InvoiceRowsPerPage);
    PrintBatch batch; // one message for all pages printed to files
    // Looked at first, the invoice is one document of its pages, so that the
    // operator sees it whole in one preview; on paper each page is a job.
    if (previewBeforePrinting()) {
        std::unique_ptr<PrintSurface> surface = openPrintSurface(QStringLiteral("請求書"));
        for (int page = 1; page <= pageTotal; ++page) {
            if (page > 1)
                surface->newPage();
            printInvoicePage(*surface, invoice, page, pageTotal);
        }
        surface->endDocument();
        return;
    }
    for (int page = 1; page <= pageTotal; ++page) {
        std::unique_ptr<PrintSurface> surface = openPrintSurface(QStringLiteral("請求書"));
        printInvoicePage(*surface, invoice, page, pageTotal);
        surface->endDocument();
    }
}
