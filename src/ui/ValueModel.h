#pragma once
// Grids and lists show stored values as people read them: CURRENCY ticks as
// yen (1050000 is 105), DATE serials as 2024/05/01, SINGLE as a plain
// number. The kinds come from the declared column types; columns a
// statement computes (SUM(売上単価), INT(...) AS 金額) have none and are
// typed by the code that writes the statement. Edits are parsed exactly and
// written back in the stored form.

#include "db/ValueKind.h"

#include <QHash>
#include <QIdentityProxyModel>
#include <QSqlQueryModel>
#include <QStyledItemDelegate>
#include <QVariant>
#include <QVector>

class Database;
class QAbstractItemView;

// The kinds of a table's columns, in table order.
QVector<ValueKind> tableColumnKinds(Database& db, const QString& table);
// The kinds of a statement's result columns: a column read straight from a
// table has its declared kind; a computed column takes its kind from
// `computed` by result-column name, else Text.
QVector<ValueKind> statementColumnKinds(Database& db, const QString& sql,
                                        const QHash<QString, ValueKind>& computed = {});

// A stored value as a person reads it ("105", "2024/05/01", "10.5"); NULL
// shows as an empty text.
QString displayText(const QVariant& stored, ValueKind kind);
// Text typed by the operator, in the stored form of the kind: ticks for
// CURRENCY, the serial for DATE. Full-width digits, sign and point typed
// through an input method are read as their half-width forms; an empty text
// is NULL. An invalid QVariant means the text is not a value of the kind.
QVariant storedValue(const QString& typed, ValueKind kind);

// A proxy over any model (a query, a table) that shows and edits the columns
// by their kinds. Rows, order and editing rights are the source's.
class ValueProxyModel : public QIdentityProxyModel {
    Q_OBJECT
public:
    explicit ValueProxyModel(QObject* parent = nullptr);
    void setColumnKinds(const QVector<ValueKind>& kinds);
    ValueKind columnKind(int column) const;
    // Heading texts by column (the source's names otherwise).
    void setHeading(int column, const QString& text);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // The stored value under the proxy (ticks, serial), for code that works
    // with the row rather than showing it.
    QVariant storedData(int row, int column) const;

private:
    QVector<ValueKind> kinds_;
    QHash<int, QString> headings_;
};

// A read-only query shown by kinds: the statement runs on the given
// connection with bound parameters only.
class ValueQueryModel : public ValueProxyModel {
    Q_OBJECT
public:
    explicit ValueQueryModel(QObject* parent = nullptr);
    // Runs the statement and types its columns (see statementColumnKinds).
    // A DatabaseError is thrown when the statement is refused.
    void setStatement(Database& db, const QString& sql, const QVariantList& params = {},
                      const QHash<QString, ValueKind>& computed = {});
    // Empties the model and ends its read statement, so that the table may
    // be changed on the same or another connection.
    void clear();
    int rowCountAll(); // fetches every row, then counts them
    QSqlQueryModel* queryModel() const { return query_; }

private:
    QSqlQueryModel* query_;
};

// Editing through a view: the editor shows the value as people read it and
// refuses what is not a value of the column's kind, so a grid never writes
// whole yen where ticks belong or text where a date belongs.
class ValueDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ValueDelegate(QObject* parent = nullptr);
    QString displayText(const QVariant& value, const QLocale& locale) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
};

// Puts a ValueDelegate on the view, right-aligns number columns and sizes
// the columns to their contents.
void useValueColumns(QAbstractItemView& view);
