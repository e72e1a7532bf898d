#pragma once
// What a careless or hostile operator types: quotes, SQL fragments, very
// long text, control characters and half-/full-width mixtures.

#include "ui/ErrorGuard.h"
#include "support/ScriptedUi.h"

#include <QString>
#include <QStringList>

namespace hostile {

inline QStringList texts()
{
    return {
        QStringLiteral("'"),
        QStringLiteral("\"\""),
        QStringLiteral("O'Brien \"Bob\""),
        QStringLiteral("'; DROP TABLE 顧客マスター; --"),
        QStringLiteral("1 OR 1=1"),
        QStringLiteral("1; DELETE FROM 売上商品マスター"),
        QStringLiteral("%_\\*?[]"),
        QString(10000, QChar(u'あ')),
        QString(10000, QChar(u'9')),
        QStringLiteral("a\tb\r\nc\x01\x1b\x7f"),
        QString(QChar(0)) + QStringLiteral("12"),
        QStringLiteral("ｱｲｳアイウ１２３123ＡＢＣabc－-〜～ﾞﾟ"),
        QStringLiteral("－１２３．４５"),
        QStringLiteral("９９９９９９９９９９９９９９９９９９９９"),
        QStringLiteral("1e308"),
        QStringLiteral("-0"),
        QStringLiteral("　 \t"),
        QStringLiteral("𠮷野家🍚"),
    };
}

// A short label for a text in failure output.
inline std::string label(const QString& text)
{
    QString shown = text.left(24);
    for (QChar& c : shown)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u'^';
    return (shown + (text.size() > 24 ? QStringLiteral("…(%1)").arg(text.size()) : QString())).toStdString();
}

// Messages that mean an error escaped the screen's own checks: the guard's
// words for an unexpected failure, not a refusal in the operator's words.
inline bool isEscapedError(const RecordedMessage& m)
{
    return m.text.startsWith(QStringLiteral("処理中にエラーが発生しました")) || m.text == unknownErrorMessage();
}

} // namespace hostile
