#pragma once
// Lists written out as CSV files for spreadsheets and the tax accountant:
// UTF-8 with a byte-order mark (so a spreadsheet on a Japanese desktop reads
// it as UTF-8, not as Shift_JIS), CR LF after every row, a field quoted only
// where it must be. Files go to the folder 出力 of the shop's folder under
// the list's name and the time, never over a file already there.

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>

namespace csv {

// One field as it stands in the file: quoted ("…", an inner double quote
// doubled) when it holds a comma, a double quote, CR or LF, or begins or
// ends with a blank (half- or full-width), which a reader would trim;
// otherwise as it is.
QString field(const QString& text);

// The whole file: the byte-order mark, then each row's fields joined by
// commas and ended by CR LF. An empty list is the mark alone.
QByteArray bytes(const QList<QStringList>& rows);

// True when the text is an amount as a screen shows it: an optional minus
// and yen sign (¥, ￥ or the backslash that stands for it), then digits,
// grouped by commas in threes when grouped at all, and an optional
// fraction: "1,234", "¥-1,234", "-￥12", "1234.5".
bool isShownAmount(const QString& text);
// The shown amount as a plain number: "¥-1,234" is "-1234". Any other text
// is returned as it is.
QString plainAmount(const QString& text);
// Rewrites, in place, every column of `rows` (from `firstRow` on, so that a
// heading row is left alone) whose non-empty cells are all shown amounts
// and at least one of which carries a separator or a yen sign: such a column
// holds money as people read it, and the file wants plain numbers. Columns
// of codes or names are left as they are.
void plainAmountColumns(QList<QStringList>& rows, int firstRow = 1);

// "売掛残高一覧_20261208-1710.csv": the list's name (characters a file name
// cannot hold become "_") and the minute of `when`; `copy` 2 and on add
// "-2", "-3" before the extension.
QString fileName(const QString& listName, const QDateTime& when, int copy = 1);

// Writes `content` to a new file in the folder 出力 of `base` (made when
// missing) named by fileName(); when that name is taken, the next copy
// number is used, so no file is ever replaced. The bytes are written to a
// temporary file in the same folder and reach the disk before they take the
// name, so the name never stands for a short file. Returns the file's
// absolute path; throws OperatorError, in Japanese, when the folder cannot
// be made or the file cannot be written.
QString writeNewFile(const QString& listName, const QByteArray& content,
                     const QDateTime& when = QDateTime::currentDateTime(), const QDir& base = QDir::current());

// The folder name beside the program's files.
inline const QString OutputFolder = QStringLiteral("出力");

} // namespace csv
