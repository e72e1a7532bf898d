#include "ui/ValueModel.h"

#include "core/Currency.h"
#include "core/Date.h"
#include "core/Text.h"
#include "db/Database.h"
#include "db/Dialect.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <sqlite3.h>

QVector<ValueKind> tableColumnKinds(Database& db, const QString& table)
{
    QVector<ValueKind> kinds;
    for (const ColumnInfo& column : tableColumns(db, table))
        kinds << column.kind;
    return kinds;
}

namespace {

// A server does not tell which table column a result column comes from, so
// a result column takes the kind of the shop's column of its name (the
// schema gives one name one kind), else the kind the caller computed, else
// text.
QVector<ValueKind> serverStatementColumnKinds(Database& db, const QString& sql, const QHash<QString, ValueKind>& computed)
{
    static QHash<QString, ValueKind> byName;
    if (byName.isEmpty())
        for (const QString& table : shopTableNames(db))
            for (const ColumnInfo& column : tableColumns(db, table))
                if (!byName.contains(column.name))
                    byName.insert(column.name, column.kind);
    // Nothing is read: the statement's columns alone, with no row, its
    // parameters standing as NULL.
    QString probe;
    bool quoted = false;
    for (QChar c : sql) {
        if (c == u'\'')
            quoted = !quoted;
        if (c == u'?' && !quoted)
            probe += QStringLiteral("NULL");
        else
            probe += c;
    }
    QSqlQuery query(db.connection());
    if (!query.exec(QStringLiteral("SELECT * FROM (") + probe + QStringLiteral(") AS 列 LIMIT 0")))
        throw DatabaseError(query.lastError().databaseText(), sql);
    QVector<ValueKind> kinds;
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i) {
        const QString name = record.fieldName(i);
        kinds << (computed.contains(name) ? computed.value(name) : byName.value(name, ValueKind::Text));
    }
    return kinds;
}

} // namespace

QVector<ValueKind> statementColumnKinds(Database& db, const QString& sql, const QHash<QString, ValueKind>& computed)
{
    if (db.onServer())
        return serverStatementColumnKinds(db, sql, computed);
    // The declared type of each result column is known to SQLite once the
    // statement is prepared; nothing is run.
    QVector<ValueKind> kinds;
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db.handle(), utf8.constData(), int(utf8.size()), &stmt, nullptr) != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db.handle()));
        sqlite3_finalize(stmt);
        throw DatabaseError(message, sql);
    }
    const int n = sqlite3_column_count(stmt);
    for (int i = 0; i < n; ++i) {
        const QString name = QString::fromUtf8(sqlite3_column_name(stmt, i));
        if (computed.contains(name)) {
            kinds << computed.value(name);
            continue;
        }
        const char* declared = sqlite3_column_decltype(stmt, i);
        kinds << (declared ? kindOfDeclaredType(QString::fromUtf8(declared)) : ValueKind::Text);
    }
    sqlite3_finalize(stmt);
    return kinds;
}

QString displayText(const QVariant& stored, ValueKind kind)
{
    if (!stored.isValid() || stored.isNull())
        return QString();
    switch (kind) {
    case ValueKind::Currency:
        return currencyValue(stored).toString();
    case ValueKind::Date: {
        const Date d = dateValue(stored);
        return d.toShortString();
    }
    case ValueKind::Single:
        return QString::number(double(float(stored.toDouble())), 'g', 7);
    case ValueKind::Integer:
        return QString::number(stored.toLongLong());
    case ValueKind::Text:
        break;
    }
    return stored.toString();
}

namespace {

std::optional<Date> parseDate(const QString& typed)
{
    static const QRegularExpression form(
        QStringLiteral("^(\\d{1,4})\\s*[/\\-.年]\\s*(\\d{1,2})\\s*[/\\-.月]\\s*(\\d{1,2})\\s*日?$"));
    const QRegularExpressionMatch m = form.match(text::halfWidthDigits(typed).trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const int y = m.captured(1).toInt(), mo = m.captured(2).toInt(), d = m.captured(3).toInt();
    // A typed date must be a real one: 2024/02/30 is a typing error, not 1 March.
    const Date date = Date::fromParts(y, mo, d);
    if (date.year() != y || date.month() != mo || date.day() != d)
        return std::nullopt;
    return date;
}

} // namespace

QVariant storedValue(const QString& typed, ValueKind kind)
{
    const QString t = text::halfWidthDigits(typed).trimmed();
    if (t.isEmpty())
        return kind == ValueKind::Text ? QVariant(QString()) : QVariant(QMetaType(QMetaType::LongLong));
    switch (kind) {
    case ValueKind::Currency: {
        const auto c = text::parseCurrency(t);
        return c ? sqlValue(*c) : QVariant();
    }
    case ValueKind::Date: {
        const auto d = parseDate(t);
        return d ? sqlValue(*d) : QVariant();
    }
    case ValueKind::Single: {
        if (!text::isNumber(t) || t.contains(u','))
            return QVariant();
        return QVariant(double(float(text::Val(t))));
    }
    case ValueKind::Integer: {
        bool ok = false;
        const qlonglong v = t.toLongLong(&ok);
        return ok ? QVariant(v) : QVariant();
    }
    case ValueKind::Text:
        break;
    }
    return QVariant(typed);
}

ValueProxyModel::ValueProxyModel(QObject* parent) : QIdentityProxyModel(parent) {}

void ValueProxyModel::setColumnKinds(const QVector<ValueKind>& kinds)
{
    kinds_ = kinds;
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

ValueKind ValueProxyModel::columnKind(int column) const
{
    return column >= 0 && column < kinds_.size() ? kinds_[column] : ValueKind::Text;
}

void ValueProxyModel::setHeading(int column, const QString& text)
{
    headings_.insert(column, text);
    emit headerDataChanged(Qt::Horizontal, column, column);
}

QVariant ValueProxyModel::data(const QModelIndex& index, int role) const
{
    const ValueKind kind = columnKind(index.column());
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return displayText(QIdentityProxyModel::data(index, Qt::EditRole), kind);
    if (role == Qt::TextAlignmentRole && kind != ValueKind::Text)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return QIdentityProxyModel::data(index, role);
}

bool ValueProxyModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole)
        return QIdentityProxyModel::setData(index, value, role);
    const QVariant stored = storedValue(value.toString(), columnKind(index.column()));
    if (!stored.isValid())
        return false;
    return QIdentityProxyModel::setData(index, stored, role);
}

QVariant ValueProxyModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && headings_.contains(section))
        return headings_.value(section);
    return QIdentityProxyModel::headerData(section, orientation, role);
}

QVariant ValueProxyModel::storedData(int row, int column) const
{
    return QIdentityProxyModel::data(index(row, column), Qt::EditRole);
}

ValueQueryModel::ValueQueryModel(QObject* parent) : ValueProxyModel(parent), query_(new QSqlQueryModel(this))
{
    setSourceModel(query_);
}

void ValueQueryModel::setStatement(Database& db, const QString& sql, const QVariantList& params,
                                   const QHash<QString, ValueKind>& computed)
{
    const QVector<ValueKind> kinds = statementColumnKinds(db, sql, computed);
    QSqlQuery query(db.connection());
    if (!query.prepare(sql))
        throw DatabaseError(query.lastError().text(), sql);
    for (const QVariant& p : params)
        query.addBindValue(p);
    if (!query.exec())
        throw DatabaseError(query.lastError().databaseText().isEmpty() ? query.lastError().text()
                                                                       : query.lastError().databaseText(),
                            sql);
    setColumnKinds(kinds);
    query_->setQuery(std::move(query));
}

void ValueQueryModel::clear()
{
    query_->clear();
}

int ValueQueryModel::rowCountAll()
{
    while (query_->canFetchMore())
        query_->fetchMore();
    return query_->rowCount();
}

ValueDelegate::ValueDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QString ValueDelegate::displayText(const QVariant& value, const QLocale& locale) const
{
    // The proxy has already made the text; never let the locale add
    // separators or exponents of its own.
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    return QStyledItemDelegate::displayText(value, locale);
}

void ValueDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(index.data(Qt::EditRole).toString());
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void ValueDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        // A refused text leaves the cell as it was; the model says so by
        // returning false, and the old value shows again.
        model->setData(index, line->text(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

void useValueColumns(QAbstractItemView& view)
{
    view.setItemDelegate(new ValueDelegate(&view));
    if (auto* table = qobject_cast<QTableView*>(&view)) {
        table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    }
}
