#include "masters/DatabaseMessages.h"

#include <QRegularExpression>

namespace {

// "T.c1, T.c2" → "c1」「c2": the column names without their table.
QString columnNames(const QString& list)
{
    QStringList names;
    for (const QString& part : list.split(u',', Qt::SkipEmptyParts)) {
        QString name = part.trimmed();
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot >= 0)
            name = name.mid(dot + 1);
        names << name;
    }
    return names.join(QStringLiteral("」「"));
}

// Our own rules (triggers) raise a Japanese sentence; SQLite's messages
// start in English even when they name a Japanese table.
bool japaneseSentence(const QString& text)
{
    return !text.isEmpty() && text.front().unicode() >= 0x3000;
}

const QRegularExpression& uniqueForm()
{
    static const QRegularExpression re(QStringLiteral("UNIQUE constraint failed: (.+)$"));
    return re;
}
const QRegularExpression& notNullForm()
{
    static const QRegularExpression re(QStringLiteral("NOT NULL constraint failed: (.+)$"));
    return re;
}
const QRegularExpression& checkForm()
{
    static const QRegularExpression re(QStringLiteral("CHECK constraint failed: .*?typeof\\(([^)]+)\\)"));
    return re;
}

} // namespace

RefusedRule refusedRule(const QString& databaseText)
{
    const QString t = databaseText.trimmed();
    if (uniqueForm().match(t).hasMatch() || t.contains(QLatin1String("PRIMARY KEY must be unique")))
        return RefusedRule::Duplicate;
    if (notNullForm().match(t).hasMatch())
        return RefusedRule::Missing;
    if (t.startsWith(QLatin1String("CHECK constraint failed")) || t.contains(QLatin1String("datatype mismatch")))
        return RefusedRule::WrongKind;
    if (t.contains(QLatin1String("database is locked")) || t.contains(QLatin1String("database table is locked")))
        return RefusedRule::Busy;
    if (t.contains(QLatin1String("FOREIGN KEY constraint failed")) || japaneseSentence(t))
        return RefusedRule::Rule;
    return RefusedRule::Other;
}

QString databaseErrorDescription(const QString& databaseText)
{
    const QString t = databaseText.trimmed();
    switch (refusedRule(t)) {
    case RefusedRule::Duplicate: {
        const QRegularExpressionMatch m = uniqueForm().match(t);
        if (m.hasMatch())
            return QStringLiteral("「%1」の値が重複しています。変更して下さい。").arg(columnNames(m.captured(1)));
        return QStringLiteral("コードが重複しています。変更して下さい。");
    }
    case RefusedRule::Missing:
        return QStringLiteral("「%1」は、必ず入力して下さい。").arg(columnNames(notNullForm().match(t).captured(1)));
    case RefusedRule::WrongKind: {
        const QRegularExpressionMatch m = checkForm().match(t);
        if (m.hasMatch())
            return QStringLiteral("「%1」に入れられない種類の値です。入力した値を確かめて下さい。").arg(m.captured(1).trimmed());
        return QStringLiteral("数値の列に数値以外の値は入れられません。入力した値を確かめて下さい。");
    }
    case RefusedRule::Busy:
        return QStringLiteral("データベースがほかの処理で使用中です。しばらくしてからもう一度実行して下さい。");
    case RefusedRule::Rule:
        if (t.contains(QLatin1String("FOREIGN KEY constraint failed")))
            return QStringLiteral("ほかのデータがこの行を使っているため、変更または削除できません。");
        return t; // our own rules speak Japanese already
    case RefusedRule::Other:
        break;
    }
    return QStringLiteral("データベースの処理に失敗しました。\n%1").arg(t);
}
