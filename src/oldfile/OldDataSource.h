#pragma once
// The old program's data as tables of rows: what the import reads, whether
// it comes from the old shop's database file or from rows a test builds.
// Values keep the old file's own kinds exactly: money as its count of
// ten-thousandths, dates as their day serial, singles as floats.

#include "core/Currency.h"
#include "core/Date.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <variant>

// The type of a column as the old file declares it.
enum class JetType {
    Boolean,
    Byte,
    Integer,     // 16 bits
    LongInteger, // 32 bits
    Currency,
    Single,
    Double,
    DateTime,
    Binary,
    Text,
    OleObject,
    Memo,
    ReplicationId,
    Numeric,     // a decimal, read as its exact text
    Other,
};

// The type's name as the operator sees it in a message ("通貨型").
QString jetTypeName(JetType type);

struct OldColumn {
    QString name;
    JetType type = JetType::Text;
};

// One value of a row: null (monostate), Yes/No, any integer kind, Single,
// Double, Currency, DateTime, text (Text, Memo, Numeric) or raw bytes
// (Binary, OLE object, replication id).
using OldValue = std::variant<std::monostate, bool, std::int64_t, float, double, Currency, Date, QString, QByteArray>;

inline bool isNull(const OldValue& value) { return std::holds_alternative<std::monostate>(value); }
// A value written for a message: the number, date or text as read, "(空)"
// for null.
QString describeOldValue(const OldValue& value);

using OldRow = QList<OldValue>;

class OldDataSource {
public:
    virtual ~OldDataSource() = default;

    // The user's tables, in the file's order (no system tables).
    virtual QStringList tableNames() const = 0;
    // The columns of a table, in their order; a table the source lacks is an
    // OperatorError.
    virtual QList<OldColumn> columns(const QString& table) const = 0;
    // Calls `row` once per row, each with one value per column in the order
    // of columns(table). Whatever `row` throws ends the reading and passes
    // through.
    virtual void readRows(const QString& table, const std::function<void(const OldRow&)>& row) const = 0;

    bool hasTable(const QString& table) const { return tableNames().contains(table); }
    // Every row of a table at once (small tables, tests).
    QList<OldRow> rows(const QString& table) const;
};
