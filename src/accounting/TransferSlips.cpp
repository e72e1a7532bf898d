#include "accounting/TransferSlips.h"

#include "session/Routines.h"
#include "core/Text.h"
#include "db/Database.h"
#include "print/GroupedLines.h"
#include "print/PrintSurface.h"
#include "print/SlipPrinting.h"

#include <QSqlQuery>

namespace accounting {

QString transferSlipStatement()
{
    // Left joins: a sale (debit counterparty 0) or a purchase (credit
    // counterparty 0) is listed with a blank name rather than left out.
    return QStringLiteral(
        "SELECT 経.経理伝票番号 AS 経理伝票番号, 経.経理年月日 AS 経理年月日, 借.勘定科目名 AS 借方科目,"
        " 経.経理金額 AS 経理金額, 貸.勘定科目名 AS 貸方科目, 相.経理仕入経費先名 AS 借方相手先,"
        " 顧.顧客名前 AS 顧客名前"
        " FROM 経理マスター AS 経"
        " LEFT JOIN 勘定科目TBL AS 借 ON 借.科目番号 = 経.経理借方コード"
        " LEFT JOIN 勘定科目TBLＣＯＰＹ AS 貸 ON 貸.科目番号 = 経.経理貸方コード"
        " LEFT JOIN 経理借方相手先ＴＢＬ AS 相 ON 相.経理仕入経費先コード = 経.経理借方相手先コード"
        " LEFT JOIN 顧客マスター AS 顧 ON 顧.顧客コード = 経.経理貸方相手先コード"
        " WHERE 経.経理年月日 >= ? AND 経.経理年月日 < ?"
        " ORDER BY DAYNUM(経.経理年月日), 経.経理伝票番号, 経.経理シリアル");
}

QVariantList transferSlipParams(const Date& start, const Date& end)
{
    return {dayStart(start), dayAfter(end)};
}

std::vector<TransferSlipRow> loadTransferSlips(Database& db, const Date& start, const Date& end)
{
    refreshAccountCopy(db);
    std::vector<TransferSlipRow> rows;
    QSqlQuery q = db.exec(transferSlipStatement(), transferSlipParams(start, end));
    while (q.next()) {
        TransferSlipRow r;
        r.slipNumber = q.value(0).toInt();
        r.date = dateValue(q.value(1));
        r.debitAccountName = q.value(2).toString();
        r.amount = currencyValue(q.value(3));
        r.creditAccountName = q.value(4).toString();
        r.counterpartyName = q.value(5).toString();
        r.customerName = q.value(6).toString();
        rows.push_back(r);
    }
    return rows;
}

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
    SetUpPrinter(*surface);
    printTransferSlips(*surface, start, end, rows);
    surface->endDocument();
}

} // namespace accounting
