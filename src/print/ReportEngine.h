#pragma once
// The report engine: the listing reports printed by their definition names
// ("残高試算表.rpt", "各勘定帳.rpt", "売掛残高.rpt", "配達予定.rpt",
// "ガス集計.rpt"). A definition, kept in code, says what the report reads
// (one statement over the tables its screen has filled), the columns it
// prints with their headings and formats, which columns are totalled and
// which single figures close it. Every page carries the title, the shop's
// name, the date of printing and the page number. A report is one document
// on a surface from openPrintSurface, so it goes where the slips go (the
// printer, or a PDF file the operator is told about) and tests record it.

#include "core/Currency.h"
#include "core/Date.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <vector>

class Database;
struct Configuration;

// How a column's values are printed.
enum class ReportFormat {
    Text,    // as stored, narrowed to the column when too long
    Code,    // a whole number as digits (account numbers, codes)
    Amount,  // a CURRENCY column: whole yen with separators, a fraction
             // only where the value has one ("1,234", "-300", "52.5")
    Date,    // a DATE column: 2024/05/01
};

struct ReportColumn {
    QString heading;
    QString field;       // result column of the statement
    ReportFormat format = ReportFormat::Text;
    int x = 0;           // left edge, twips
    int width = 0;       // twips; texts are fitted, numbers end at x + width
    bool total = false;  // summed on the totals line
};

// A single figure printed after the totals: a caption and a statement that
// returns one CURRENCY value (the trial balance's sales and expense totals).
struct ReportFigure {
    QString caption;
    QString statement;
};

struct ReportDefinition {
    QString name;               // "売掛残高.rpt"
    QString title;              // printed at the top of every page
    QString source;             // the tables it reads, as the operator knows them
    QString statement;          // the rows, in the order printed
    QStringList parameterNames; // what each "?" of the statement stands for
    std::vector<ReportColumn> columns;
    std::vector<ReportFigure> figures;
};

// An amount as the reports print it: whole units with separators, and a
// fraction only where the value has one ("1,050", "157.5", "-3").
QString amountText(const Currency& value);

// The five definitions, in the order above.
const std::vector<ReportDefinition>& reportDefinitions();
// The definition of a name, or nullptr.
const ReportDefinition* findReportDefinition(const QString& name);

// What a screen hands over besides the tables it filled: values for the
// statement's parameters (the product and range of "ガス集計.rpt") and a line
// printed under the title (the account of a ledger, the product and range).
struct ReportRequest {
    QVariantList parameters;
    QString subtitle;
};

// Page geometry of every report, in twips from the top-left of the A4 sheet.
namespace reportLayout {
constexpr int Left = 700;
constexpr int Right = 11200;
constexpr int TitleY = 300;
constexpr int SubtitleY = 800;
constexpr int PrintDateY = 1060;
constexpr int HeadingRuleY = 1380;
constexpr int HeadingY = 1420;
constexpr int BodyRuleY = 1680;
constexpr int FirstRowY = 1740;
constexpr int RowHeight = 260;
constexpr int LinesPerPage = 54; // rows and closing lines below FirstRowY
constexpr double TitlePoints = 16;
constexpr double TextPoints = 10;
}

// Prints the report `name` from the tables as they are now. The shop's
// name and the date of printing go on every page. An unknown name, or
// parameters that do not match the definition, throw PrintError before
// anything is printed; a refused statement throws DatabaseError; a printer
// that fails throws PrintError.
void printReport(Database& db, const QString& name, const ReportRequest& request, const QString& shopName,
                 Date printDate);

// The screens' call, for the shop they are handed: its database (a
// connection of its own, opened for the report), its name, today's date,
// the busy pointer while it runs.
void printReport(const Configuration& shop, const QString& name, const ReportRequest& request = {});

// The page count a report of `rows` rows takes (the totals, the row count
// and the figures follow the last row, on a page of their own when they do
// not fit under it).
int reportPageCount(const ReportDefinition& definition, int rows);
