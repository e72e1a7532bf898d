#include "receivables/ReceiptPrinting.h"

#include "core/Text.h"
#include "print/PrintSurface.h"
#include "print/SlipPrinting.h"
#include "session/TaxBreakdown.h"

#include <memory>

using text::format;

namespace {

const QString DateMask = QStringLiteral("yyyy / mm / dd");
const QString YenMask = QStringLiteral("\\\\###,###,###");
// Space kept between a fitted text and the item to its right.
constexpr int Gap = 60;

QString yen(const Currency& amount)
{
    return format(amount, YenMask);
}

void put(PrintSurface& p, int x, int y, double points, const QString& text, int fitWidth = 0)
{
    p.setFontSize(points);
    p.text(x, y, text, fitWidth);
}

// A blank date line to be filled in by hand, headed by the era of the day
// of issue.
QString blankDateLine(Date issueDate)
{
    return eraName(issueDate) + QStringLiteral("　　　　　年　　　　　月　　　　　日");
}

// Issue date and closing date, as bands 1 to 3 print them under their
// titles.
void bandHeader(PrintSurface& p, int top, const QString& title, const ReceiptSheet& sheet, int closingY)
{
    put(p, 700, top, 16, title);
    put(p, 7500, top, 12, QStringLiteral("領収書発行日　") + format(sheet.issueDate, DateMask),
        PrintSurface::RightEdge - 7500);
    put(p, 8000, closingY, 12, format(sheet.closingDate, DateMask) + QStringLiteral("　締切分"),
        PrintSurface::RightEdge - 8000);
}

// The lines under the amount received that say what it is made of: the
// closed invoice's sales by rate, or where to find them.
QStringList breakdownLines(const ReceiptSheet& sheet)
{
    const QString head = QStringLiteral("内訳　");
    const QString indent = QStringLiteral("　　　");
    const QString seeInvoice = QStringLiteral("税率別の金額と消費税額は、") + format(sheet.closingDate, DateMask)
                               + QStringLiteral(" 締切分の請求書をご覧ください。");
    switch (sheet.breakdown) {
    case ReceiptBreakdown::CarriedBalance:
        return {head + QStringLiteral("前回請求からの繰越額を含みます。"), indent + seeInvoice};
    case ReceiptBreakdown::SeeInvoice:
        return {head + seeInvoice};
    case ReceiptBreakdown::ByRate:
        break;
    }
    QStringList lines;
    for (const RateShare& share : sheet.taxByRate.rates)
        lines << rateCaption(share.rate) + QStringLiteral("　") + yen(share.total) + QStringLiteral("円（うち消費税　")
                     + yen(share.tax) + QStringLiteral("円）") + (share.reduced ? QStringLiteral("　※軽減税率") : QString());
    if (!sheet.taxByRate.notTaxable.isZero())
        lines << QStringLiteral("非課税　") + yen(sheet.taxByRate.notTaxable) + QStringLiteral("円");
    for (int i = 0; i < lines.size(); ++i)
        lines[i].prepend(i == 0 ? head : indent);
    return lines;
}

} // namespace

void drawReceiptSheet(PrintSurface& p, const ReceiptSheet& sheet, const ChosenCustomer& customer,
                      const Configuration& config)
{
    const ReceiptFigures& f = sheet.figures;
    const QString amount = yen(f.amount) + QStringLiteral("円");
    printCuttingLines(p);

    // Band 1: the receipt for the customer.
    bandHeader(p, 0, QStringLiteral("☆☆☆ 領　収　書 ☆☆☆"), sheet, 2500);
    put(p, 700, 2552, 28, QStringLiteral("領収金額　 ") + amount, 8000 - 700 - Gap);
    int y = 3200;
    for (const QString& line : breakdownLines(sheet)) {
        put(p, 1400, y, 10, line, 9000 - 1400 - Gap);
        y += 200;
    }
    put(p, 1600, 3800, 16, blankDateLine(sheet.issueDate));
    if (f.stampDue) {
        p.box(9000, 3000, 10200, 4400);
        put(p, 9300, 3500, 12, QStringLiteral("印紙"));
    }
    // The seal box with its caption beside its lower half: at Y 4000 the
    // caption would print over the last character of the date line above.
    p.box(8000, 3900, 8500, 4400);
    put(p, 7500, 4160, 12, QStringLiteral("係印"));
    put(p, 8500, 4600, 8, QStringLiteral("会社印、係印なきものは、無効です。"));
    put(p, 700, 4819, 12,
        QStringLiteral("毎度ありがとうございます。引き続きご注文のほどよろしくお願い申しあげます。 "));

    // Band 2: the collection slip for the collector.
    bandHeader(p, 5613, QStringLiteral("★★★ 集　金　票 ★★★"), sheet, 8113);
    put(p, 700, 8165, 28, QStringLiteral("集金金額　 ") + amount, 8000 - 700 - Gap);
    put(p, 6000, 9200, 28,
        QStringLiteral("集金予定日　 ") + format(std::int64_t(sheet.collectionDay), QStringLiteral("#####"))
            + QStringLiteral("日"),
        PrintSurface::RightEdge - 6000);

    // Band 3: the payment slip for the shop. "現金" and "小切手" stand just
    // past the end of the blank date line (it runs to about X 8000 at 16
    // points), not on top of it.
    bandHeader(p, 11226, QStringLiteral("○○○ 入　金　票 ○○○"), sheet, 13726);
    put(p, 700, 13778, 28, QStringLiteral("入金金額　 ") + amount, 8000 - 700 - Gap);
    put(p, 1600, 15026, 16, blankDateLine(sheet.issueDate));
    put(p, 8400, 15026, 16, QStringLiteral("現金"));
    put(p, 8400, 15526, 16, QStringLiteral("小切手"));

    for (int top : {0, 5613, 11226})
        printCustomerBlock(p, {700, top + 567}, customer);
    for (int top : {0, 5613, 11226})
        printCompanyBlock(p, {6500, top + 567}, config);
}

void printReceiptSheet(const ReceiptSheet& sheet, const ChosenCustomer& customer, const Configuration& config)
{
    std::unique_ptr<PrintSurface> surface = openPrintSurface(QStringLiteral("領収書"));
    setUpPrinter(*surface);
    drawReceiptSheet(*surface, sheet, customer, config);
    surface->endDocument();
}
