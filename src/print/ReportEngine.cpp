#include "print/ReportEngine.h"

#include "session/Values.h"
#include "core/Currency.h"
#include "core/Text.h"
#include "db/Database.h"
#include "print/PrintSurface.h"
#include "print/SlipPrinting.h"
#include "ui/UiService.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <memory>
#include <optional>

using text::format;
namespace L = reportLayout;

namespace {

// One value of a row, as read: the kind the column prints as decides.
struct Cell {
    QString text;
    std::optional<Currency> amount; // Amount columns, for the totals
};

Cell readCell(const QVariant& stored, ReportFormat kind)
{
    if (stored.isNull())
        return {};
    switch (kind) {
    case ReportFormat::Text:
        return {stored.toString(), std::nullopt};
    case ReportFormat::Code:
        return {QString::number(stored.toLongLong()), std::nullopt};
    case ReportFormat::Amount: {
        const Currency value = currencyValue(stored);
        return {amountText(value), value};
    }
    case ReportFormat::Date:
        return {format(dateValue(stored), QStringLiteral("yyyy/mm/dd")), std::nullopt};
    }
    return {};
}

bool rightAligned(ReportFormat kind)
{
    return kind == ReportFormat::Amount || kind == ReportFormat::Code;
}

int closingLineCount(const ReportDefinition& d)
{
    bool totals = false;
    for (const ReportColumn& c : d.columns)
        totals = totals || c.total;
    return (totals ? 1 : 0) + 1 + int(d.figures.size());
}

int lineY(int line)
{
    return L::FirstRowY + L::RowHeight * line;
}

class ReportPrinter {
public:
    ReportPrinter(PrintSurface& surface, const ReportDefinition& d, const ReportRequest& request, QString shopName,
                  Date printDate, int pageTotal)
        : p_(surface), d_(d), request_(request), shopName_(std::move(shopName)), printDate_(printDate),
          pageTotal_(pageTotal)
    {
    }

    void print(const std::vector<std::vector<Cell>>& rows, const std::vector<Currency>& totals,
               const std::vector<Currency>& figures)
    {
        setUpPrinter(p_);
        beginPage();
        int line = 0;
        for (const auto& row : rows) {
            if (line == L::LinesPerPage)
                line = nextPage();
            printRow(row, lineY(line));
            ++line;
        }
        if (line + closingLineCount(d_) > L::LinesPerPage)
            line = nextPage();
        printClosing(int(rows.size()), totals, figures, line);
        p_.endDocument();
    }

private:
    int nextPage()
    {
        p_.newPage();
        beginPage();
        return 0;
    }

    void put(int x, int y, double points, const QString& s, int fitWidth = 0)
    {
        p_.setFontSize(points);
        p_.text(x, y, s, fitWidth);
    }

    // A text that ends at `right`.
    void putRight(int right, int y, double points, const QString& s)
    {
        p_.setFontSize(points);
        p_.text(right - p_.textWidth(s), y, s);
    }

    void beginPage()
    {
        ++page_;
        const QString pageMark = QStringLiteral("Page")
                                 + format(std::int64_t(page_) * 1000 + pageTotal_, QStringLiteral("000/000"));
        putRight(L::Right, L::TitleY + 80, L::TextPoints, pageMark);
        put(L::Left, L::TitleY, L::TitlePoints, d_.title, 7000);
        const QString printed = QStringLiteral("印刷日　") + format(printDate_, QStringLiteral("yyyy/mm/dd"));
        p_.setFontSize(L::TextPoints);
        const int shopWidth = std::min(p_.textWidth(shopName_), 4800);
        put(L::Right - shopWidth, L::SubtitleY, L::TextPoints, shopName_, shopWidth);
        putRight(L::Right, L::PrintDateY, L::TextPoints, printed);
        if (!request_.subtitle.isEmpty())
            put(L::Left, L::SubtitleY, L::TextPoints, request_.subtitle, L::Right - shopWidth - 200 - L::Left);

        p_.line(L::Left, L::HeadingRuleY, L::Right, L::HeadingRuleY);
        for (const ReportColumn& c : d_.columns) {
            if (rightAligned(c.format))
                putRight(c.x + c.width, L::HeadingY, L::TextPoints, c.heading);
            else
                put(c.x, L::HeadingY, L::TextPoints, c.heading, c.width);
        }
        p_.line(L::Left, L::BodyRuleY, L::Right, L::BodyRuleY);
    }

    void printRow(const std::vector<Cell>& row, int y)
    {
        p_.setFontSize(L::TextPoints);
        for (std::size_t i = 0; i < d_.columns.size(); ++i) {
            const ReportColumn& c = d_.columns[i];
            if (row[i].text.isEmpty())
                continue;
            if (rightAligned(c.format))
                putRight(c.x + c.width, y, L::TextPoints, row[i].text);
            else
                put(c.x, y, L::TextPoints, row[i].text, c.width);
        }
    }

    void printClosing(int rowCount, const std::vector<Currency>& totals, const std::vector<Currency>& figures,
                      int line)
    {
        bool hasTotals = false;
        for (const ReportColumn& c : d_.columns)
            hasTotals = hasTotals || c.total;
        if (hasTotals) {
            const int y = lineY(line++);
            p_.line(L::Left, y - 30, L::Right, y - 30);
            put(L::Left, y, L::TextPoints, QStringLiteral("合計"));
            for (std::size_t i = 0; i < d_.columns.size(); ++i)
                if (d_.columns[i].total)
                    putRight(d_.columns[i].x + d_.columns[i].width, y, L::TextPoints, amountText(totals[i]));
        }
        put(L::Left, lineY(line++), L::TextPoints, QStringLiteral("件数　%1 件").arg(rowCount));
        for (std::size_t i = 0; i < d_.figures.size(); ++i) {
            const int y = lineY(line++);
            put(L::Left, y, L::TextPoints, d_.figures[i].caption);
            putRight(L::Left + 4000, y, L::TextPoints, amountText(figures[i]));
        }
    }

    PrintSurface& p_;
    const ReportDefinition& d_;
    const ReportRequest& request_;
    QString shopName_;
    Date printDate_;
    int pageTotal_;
    int page_ = 0;
};

} // namespace

QString amountText(const Currency& value)
{
    // Whole yen as people write it; a fraction (a quantity of 0.5, an
    // amount not cut to whole yen) only where the value has one.
    if (value == value.Int())
        return format(value, QStringLiteral("#,##0"));
    return format(value, QStringLiteral("#,##0.####"));
}

const ReportDefinition* findReportDefinition(const QString& name)
{
    for (const ReportDefinition& d : reportDefinitions())
        if (d.name == name)
            return &d;
    return nullptr;
}

int reportPageCount(const ReportDefinition& definition, int rows)
{
    const int closing = closingLineCount(definition);
    if (rows <= 0)
        return 1;
    const int rowPages = (rows - 1) / L::LinesPerPage + 1;
    const int onLastPage = rows - (rowPages - 1) * L::LinesPerPage;
    return onLastPage + closing <= L::LinesPerPage ? rowPages : rowPages + 1;
}

void printReport(Database& db, const QString& name, const ReportRequest& request, const QString& shopName,
                 Date printDate)
{
    const ReportDefinition* d = findReportDefinition(name);
    if (!d)
        throw PrintError(QStringLiteral("帳票「%1」の定義がありません。印刷できませんでした。").arg(name));
    if (request.parameters.size() != d->parameterNames.size())
        throw PrintError(QStringLiteral("帳票「%1」には印刷の条件（%2）が必要です。印刷できませんでした。")
                             .arg(name, d->parameterNames.join(QStringLiteral("、"))));

    // Everything is read before the printer is opened: a refused statement
    // prints nothing, and the page count is known for every page mark.
    std::vector<std::vector<Cell>> rows;
    std::vector<Currency> totals(d->columns.size());
    {
        QSqlQuery query = db.exec(d->statement, request.parameters);
        const QSqlRecord record = query.record();
        std::vector<int> fields;
        for (const ReportColumn& c : d->columns) {
            const int index = record.indexOf(c.field);
            if (index < 0)
                throw PrintError(QStringLiteral("帳票「%1」の項目「%2」が読めません。印刷できませんでした。")
                                     .arg(name, c.field));
            fields.push_back(index);
        }
        while (query.next()) {
            std::vector<Cell> row;
            row.reserve(d->columns.size());
            for (std::size_t i = 0; i < d->columns.size(); ++i) {
                row.push_back(readCell(query.value(fields[i]), d->columns[i].format));
                if (d->columns[i].total && row.back().amount)
                    totals[i] += *row.back().amount;
            }
            rows.push_back(std::move(row));
        }
    }
    std::vector<Currency> figures;
    for (const ReportFigure& f : d->figures)
        figures.push_back(currencyValue(db.scalar(f.statement)));

    const int pageTotal = reportPageCount(*d, int(rows.size()));
    std::unique_ptr<PrintSurface> surface = openPrintSurface(d->title);
    ReportPrinter(*surface, *d, request, shopName, printDate, pageTotal).print(rows, totals, figures);
}

void printReport(const Configuration& shop, const QString& name, const ReportRequest& request)
{
    BusyCursor busy;
    Database db(shop.databasePath);
    printReport(db, name, request, shop.companyName(), Date::today());
}
