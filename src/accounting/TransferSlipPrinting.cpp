#include "accounting/TransferSlipPrinting.h"

#include "core/Text.h"
#include "print/GroupedLines.h"
#include "print/PrintSurface.h"
#include "print/SlipPrinting.h"

namespace accounting {

namespace {

using namespace transferSlipLayout;

void printHeadings(PrintSurface& surface)
{
    const std::pair<int, const char*> headings[] = {
        {SlipNumberX, "伝票番号"}, {DateX, "年月日"},     {DebitX, "借方科目"},  {AmountX, "経理金額"},
        {CreditX, "貸方科目"},     {CounterpartyX, "借方相手先"}, {CustomerX, "顧客名前"},
    };
    for (const auto& [x, caption] : headings)
        surface.text(Left + x, HeadingY, QString::fromUtf8(caption));
}

} // namespace

void printTransferSlips(PrintSurface& surface, const Date& start, const Date& end,
                        const std::vector<TransferSlipRow>& rows)
{
    surface.setFontSize(FontSize);
    surface.setFontName(TransferSlipFontName);
    surface.text(Left, TitleY,
                 QStringLiteral("振替伝票　　　　") + start.toShortString() + QStringLiteral("　-　")
                     + end.toShortString());
    printHeadings(surface);

    // Room of each text column up to the next one, so that a long name never
    // runs into its neighbour.
    const int debitWidth = AmountX - DebitX - ClearGap;
    const int creditWidth = CounterpartyX - CreditX - ClearGap;
    const int counterpartyWidth = CustomerX - CounterpartyX - ClearGap;
    const int customerWidth = PrintSurface::RightEdge - (Left + CustomerX);

    GroupedLines lines(surface, FirstLineY, LineHeight, LinesPerGroup, LinesPerPage, printHeadings);
    for (const TransferSlipRow& r : rows) {
        const int y = lines.y();
        surface.text(Left + SlipNumberX, y, text::format(std::int64_t(r.slipNumber), QStringLiteral("##########")));
        surface.text(Left + DateX, y, r.date.toShortString());
        surface.text(Left + DebitX, y, r.debitAccountName, debitWidth);
        const QString amount = text::format(r.amount, QStringLiteral(" ##,###,###"));
        surface.text(Left + AmountRight - surface.textWidth(amount), y, amount);
        surface.text(Left + CreditX, y, r.creditAccountName, creditWidth);
        surface.text(Left + CounterpartyX, y, r.counterpartyName, counterpartyWidth);
        surface.text(Left + CustomerX, y, r.customerName, customerWidth);
        lines.next();
    }
}

void printTransferSlips(const Date& start, const Date& end, const std::vector<TransferSlipRow>& rows)
{
    std::unique_ptr<PrintSurface> surface = openPrintSurface(TransferSlipDocumentName);
    setUpPrinter(*surface);
    printTransferSlips(*surface, start, end, rows);
    surface->endDocument();
}

} // namespace accounting
