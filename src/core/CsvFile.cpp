#include "core/CsvFile.h"

#include "core/OperatorError.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <algorithm>
#include <unistd.h>

namespace csv {

QString field(const QString& text)
{
    const bool mustQuote = text.contains(u',') || text.contains(u'"') || text.contains(u'\r') || text.contains(u'\n')
                           || (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!mustQuote)
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QByteArray bytes(const QList<QStringList>& rows)
{
    QByteArray out("\xEF\xBB\xBF");
    for (const QStringList& row : rows) {
        QStringList fields;
        fields.reserve(row.size());
        for (const QString& f : row)
            fields << field(f);
        out += fields.join(u',').toUtf8();
        out += "\r\n";
    }
    return out;
}

namespace {

// The yen sign as screens show it: the Latin-1 sign, the full-width one, and
// the backslash that a Japanese code page shows as the yen sign.
const QString YenSigns = QStringLiteral("¥￥\\");

const QRegularExpression& amountForm()
{
    static const QRegularExpression form(QStringLiteral("^-?[¥￥\\\\]?-?(\\d{1,3}(,\\d{3})+|\\d+)(\\.\\d+)?$"));
    return form;
}

} // namespace

bool isShownAmount(const QString& text)
{
    const QRegularExpressionMatch m = amountForm().match(text.trimmed());
    // One minus sign at most, before or after the yen sign.
    return m.hasMatch() && text.count(u'-') <= 1;
}

QString plainAmount(const QString& text)
{
    if (!isShownAmount(text))
        return text;
    QString plain;
    for (const QChar c : text.trimmed())
        if (c != u',' && !YenSigns.contains(c))
            plain += c;
    return plain;
}

void plainAmountColumns(QList<QStringList>& rows, int firstRow)
{
    int columns = 0;
    for (int r = firstRow; r < rows.size(); ++r)
        columns = std::max(columns, int(rows[r].size()));
    for (int c = 0; c < columns; ++c) {
        bool allAmounts = true, anyShown = false;
        for (int r = firstRow; r < rows.size() && allAmounts; ++r) {
            if (c >= rows[r].size() || rows[r][c].trimmed().isEmpty())
                continue;
            const QString& cell = rows[r][c];
            allAmounts = isShownAmount(cell);
            anyShown = anyShown || plainAmount(cell) != cell;
        }
        if (!allAmounts || !anyShown)
            continue;
        for (int r = firstRow; r < rows.size(); ++r)
            if (c < rows[r].size())
                rows[r][c] = plainAmount(rows[r][c]);
    }
}

QString fileName(const QString& listName, const QDateTime& when, int copy)
{
    QString name = listName.trimmed();
    static const QRegularExpression forbidden(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]"));
    name.replace(forbidden, QStringLiteral("_"));
    if (name.isEmpty())
        name = QStringLiteral("一覧");
    name += u'_' + when.toString(QStringLiteral("yyyyMMdd-HHmm"));
    if (copy > 1)
        name += u'-' + QString::number(copy);
    return name + QStringLiteral(".csv");
}

namespace {

[[noreturn]] void cannotWrite(const QString& path, const QString& reason)
{
    throw OperatorError(QStringLiteral("CSVファイルを書き込めませんでした。\n%1\n%2")
                            .arg(QDir::toNativeSeparators(path), reason),
                        "CSV file not written: " + path.toStdString() + ": " + reason.toStdString());
}

// The bytes in a new hidden file of `folder`, on the disk. Returns its path.
QString writeTemporary(const QDir& folder, const QByteArray& content)
{
    QString path;
    QFile file;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = folder.filePath(QStringLiteral(".csv-%1-%2.tmp")
                                   .arg(::getpid())
                                   .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        file.setFileName(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            break;
        if (!QFile::exists(path))
            cannotWrite(folder.path(), file.errorString());
    }
    if (!file.isOpen())
        cannotWrite(folder.path(), file.errorString());
    qint64 written = 0;
    while (written < content.size()) {
        const qint64 n = file.write(content.constData() + written, content.size() - written);
        if (n <= 0) {
            const QString reason = file.errorString();
            file.close();
            QFile::remove(path);
            cannotWrite(path, reason);
        }
        written += n;
    }
    if (::fsync(file.handle()) != 0) {
        file.close();
        QFile::remove(path);
        cannotWrite(path, QStringLiteral("ディスクに書き込めませんでした。"));
    }
    file.close();
    return path;
}

} // namespace

QString writeNewFile(const QString& listName, const QByteArray& content, const QDateTime& when, const QDir& base)
{
    const QString folderPath = base.absoluteFilePath(OutputFolder);
    if (!QDir().mkpath(folderPath) || !QFileInfo(folderPath).isDir())
        throw OperatorError(QStringLiteral("出力フォルダーを作れませんでした。\n%1").arg(QDir::toNativeSeparators(folderPath)),
                            "output folder not made: " + folderPath.toStdString());
    const QDir folder(folderPath);
    const QString temporary = writeTemporary(folder, content);
    // QFile::rename never replaces a file: the name is taken only when it
    // is free at that moment, whoever wrote a file of that name meanwhile.
    for (int copy = 1; copy < 10000; ++copy) {
        const QString target = folder.absoluteFilePath(fileName(listName, when, copy));
        if (QFileInfo::exists(target))
            continue;
        QFile file(temporary);
        if (file.rename(target))
            return target;
        if (QFileInfo::exists(target))
            continue;
        const QString reason = file.errorString();
        QFile::remove(temporary);
        cannotWrite(target, reason);
    }
    QFile::remove(temporary);
    cannotWrite(folder.absoluteFilePath(fileName(listName, when)), QStringLiteral("同じ名前のファイルが多すぎます。"));
}

} // namespace csv
