#include "gas/GasTotalsPrinting.h"

#include "core/Text.h"
#include "print/GroupedLines.h"
#include "print/PrintSurface.h"
#include "print/SlipPrinting.h"

using text::format;

namespace gas {

namespace {

// A zero quantity reads "0.0", not ".0": the units place always shows.
const QString QuantityMask = QStringLiteral(" ###,##0.0");
const QString RemainingMask = QStringLiteral(" #,##0.0");
const QString AmountMask = QStringLiteral("Currency");
const QString TotalQuantityMask = QStringLiteral(" ###,##0.00");
const QString TotalAmountMask = QStringLiteral(" ##,###,##0");

// Column offsets from the left origin.
struct Heading {
    int offset;
    const char* text;
};
constexpr Heading Headings[] = {{600, "年月日"},  {1700, "顧客名前"}, {4000, "データ種別"}, {5400, "検針値"},
                                {6400, "使用量"}, {7400, "配送量"},   {8400, "残ガス量"},   {9400, "ガス金額"}};
constexpr int DateX = 600;
constexpr int NameX = 1700;
constexpr int KindX = 4000;
constexpr int MeterRight = 6200;
constexpr int UsageRight = 7200;
constexpr int DeliveredRight = 8200;
constexpr int RemainingRight = 9200;
constexpr int AmountRight = 10200;
constexpr int TotalCaptionX = 400;
// Room of the two text columns, so that a long name never runs into the
// next column: they end a clear gap (a little more than one half-width
// character at 9.5 points) before the next item, the kind before the
// widest meter reading " 999,999.9".
constexpr int ClearGap = 100;
constexpr int NameWidth = KindX - NameX - ClearGap;
constexpr int KindWidth = 1200;

void putRight(PrintSurface& surface, int right, int y, const QString& text)
{
    surface.text(totalsLayout::Left + right - surface.textWidth(text), y, text);
}

void printHeadings(PrintSurface& surface)
{
    for (const Heading& h : Headings)
        surface.text(totalsLayout::Left + h.offset, totalsLayout::HeadingY, QString::fromUtf8(h.text));
}

} // namespace

void printTotals(PrintSurface& surface, const QString& companyName, const Date& start, const Date& end,
                 const std::vector<Event>& events, const Totals& totals)
{
    using namespace totalsLayout;
    surface.setFontSize(FontSize);
    surface.setFontName(TotalsFontName);

    surface.text(Left, TitleY,
                 QStringLiteral("ガス集計一覧　　　　") + companyName + QStringLiteral("　") + start.toShortString() + QStringLiteral("　-　")
                     + end.toShortString(),
                 PrintSurface::RightEdge - Left);
    printHeadings(surface);

    // Lines go in groups of five with an empty slot after each group; after
    // every 60th line a new page starts under repeated headings.
    GroupedLines lines(surface, FirstLineY, LineHeight, LinesPerGroup, LinesPerPage, printHeadings);
    for (const Event& e : events) {
        const int y = lines.y();
        surface.text(Left + DateX, y, e.date.toShortString());
        surface.text(Left + NameX, y, e.customerName, NameWidth);
        surface.text(Left + KindX, y, e.kindName, KindWidth);
        putRight(surface, MeterRight, y, format(e.meter, QuantityMask));
        putRight(surface, UsageRight, y, format(e.usage, QuantityMask));
        putRight(surface, DeliveredRight, y, format(e.delivered, QuantityMask));
        putRight(surface, RemainingRight, y, format(e.remaining, RemainingMask));
        putRight(surface, AmountRight, y, format(e.amount, AmountMask));
        lines.next();
    }

    // An empty range has empty sums: the caption alone.
    surface.text(Left + TotalCaptionX, TotalsY, QStringLiteral("合計"));
    if (totals.usage)
        putRight(surface, UsageRight, TotalsY, format(*totals.usage, TotalQuantityMask));
    if (totals.delivered)
        putRight(surface, DeliveredRight, TotalsY, format(*totals.delivered, TotalQuantityMask));
    if (totals.remaining)
        putRight(surface, RemainingRight, TotalsY, format(*totals.remaining, TotalQuantityMask));
    if (totals.amount)
        putRight(surface, AmountRight, TotalsY, format(*totals.amount, TotalAmountMask));
}

void printGasTotals(const QString& companyName, const Date& start, const Date& end, const std::vector<Event>& events,
                    const Totals& totals)
{
    std::unique_ptr<PrintSurface> surface = openPrintSurface(TotalsDocumentName);
    setUpPrinter(*surface);
    printTotals(*surface, companyName, start, end, events, totals);
    surface->endDocument();
}

} // namespace gas
