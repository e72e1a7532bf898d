#include "oldfile/OldDataSource.h"

QString jetTypeName(JetType type)
{
    switch (type) {
    case JetType::Boolean: return QStringLiteral("Yes/No型");
    case JetType::Byte: return QStringLiteral("バイト型");
    case JetType::Integer: return QStringLiteral("整数型");
    case JetType::LongInteger: return QStringLiteral("長整数型");
    case JetType::Currency: return QStringLiteral("通貨型");
    case JetType::Single: return QStringLiteral("単精度浮動小数点型");
    case JetType::Double: return QStringLiteral("倍精度浮動小数点型");
    case JetType::DateTime: return QStringLiteral("日付/時刻型");
    case JetType::Binary: return QStringLiteral("バイナリ型");
    case JetType::Text: return QStringLiteral("テキスト型");
    case JetType::OleObject: return QStringLiteral("OLEオブジェクト型");
    case JetType::Memo: return QStringLiteral("メモ型");
    case JetType::ReplicationId: return QStringLiteral("レプリケーションID型");
    case JetType::Numeric: return QStringLiteral("十進型");
    case JetType::Other: break;
    }
    return QStringLiteral("不明な型");
}

QString describeOldValue(const OldValue& value)
{
    struct Describe {
        QString operator()(std::monostate) const { return QStringLiteral("(空)"); }
        QString operator()(bool b) const { return b ? QStringLiteral("Yes") : QStringLiteral("No"); }
        QString operator()(std::int64_t i) const { return QString::number(i); }
        QString operator()(float f) const { return QString::number(double(f), 'g', 9); }
        QString operator()(double d) const { return QString::number(d, 'g', 17); }
        QString operator()(const Currency& c) const { return c.toString(); }
        QString operator()(const Date& d) const
        {
            // The serial itself too when it carries a time of day or lies
            // outside the calendar the screens show.
            if (d.serial() != double(d.dayNumber()))
                return QStringLiteral("%1 (%2)").arg(d.toShortString(), QString::number(d.serial(), 'g', 17));
            return d.toShortString();
        }
        QString operator()(const QString& s) const { return QStringLiteral("「%1」").arg(s); }
        QString operator()(const QByteArray& b) const
        {
            return QStringLiteral("%1 バイトのデータ").arg(b.size());
        }
    };
    return std::visit(Describe{}, value);
}

QList<OldRow> OldDataSource::rows(const QString& table) const
{
    QList<OldRow> all;
    readRows(table, [&all](const OldRow& row) { all.append(row); });
    return all;
}
