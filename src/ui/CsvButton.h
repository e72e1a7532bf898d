#pragma once
// "CSV出力" on the list screens: the rows a grid shows, written as a CSV file
// into the folder 出力 of the shop's folder, and the operator told its name.

#include <QList>
#include <QStringList>
#include <functional>

class QAbstractItemModel;
class QPushButton;
class QTableView;
class QWidget;

// The grid's rows as the screen shows them: the horizontal headings first,
// then every row of the model (a model that fetches in steps is fetched to
// its end), each as its display texts; columns the grid hides are left out.
// Amounts that a model shows with separators or a yen sign become plain
// numbers; a model of typed values already shows them plain.
QList<QStringList> shownRows(QTableView& grid);

// Writes the rows `rows()` gives as a new CSV file named after `listName`
// and tells the operator "CSVファイルに出力しました。" with its path; an
// error (the folder, the disk, the database while reading the rows) is told
// under the same title instead. Returns the file's path, or an empty text
// when nothing was written.
QString writeCsvAndTell(const QString& listName, const std::function<QList<QStringList>()>& rows);

// The button "CSV出力" (cmdCSV) of a list screen: pressing it writes what
// `grid` shows, as shownRows() reads it. The screen places the button in
// its button row.
QPushButton* csvButton(QWidget* screen, QTableView* grid, const QString& listName);

inline const QString CsvTitle = QStringLiteral("CSV出力");
