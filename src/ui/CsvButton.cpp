#include "ui/CsvButton.h"

#include "core/CsvFile.h"
#include "core/OperatorError.h"
#include "ui/ErrorGuard.h"
#include "ui/ScreenWidgets.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QAbstractProxyModel>
#include <QDir>
#include <QPushButton>
#include <QTableView>

namespace {

// True when the model, or a model it shows through proxies, types its
// columns: its numbers are then shown without separators already, and a
// text column that merely looks like an amount stays as it is.
bool showsTypedValues(const QAbstractItemModel* model)
{
    while (model) {
        if (qobject_cast<const ValueProxyModel*>(model))
            return true;
        const auto* proxy = qobject_cast<const QAbstractProxyModel*>(model);
        model = proxy ? proxy->sourceModel() : nullptr;
    }
    return false;
}

} // namespace

QList<QStringList> shownRows(QTableView& grid)
{
    QList<QStringList> rows;
    QAbstractItemModel* model = grid.model();
    if (!model)
        return rows;
    while (model->canFetchMore(QModelIndex()))
        model->fetchMore(QModelIndex());
    QList<int> columns;
    for (int c = 0; c < model->columnCount(); ++c)
        if (!grid.isColumnHidden(c))
            columns << c;
    QStringList headings;
    for (int c : columns)
        headings << model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    rows << headings;
    const int count = model->rowCount();
    for (int r = 0; r < count; ++r) {
        QStringList row;
        for (int c : columns)
            row << model->data(model->index(r, c), Qt::DisplayRole).toString();
        rows << row;
    }
    if (!showsTypedValues(model))
        csv::plainAmountColumns(rows, 1);
    return rows;
}

QString writeCsvAndTell(const QString& listName, const std::function<QList<QStringList>()>& rows)
{
    QString path;
    try {
        const BusyCursor busy;
        path = csv::writeNewFile(listName, csv::bytes(rows()));
    } catch (const OperatorError& e) {
        ui().showMessage(e.message(), CsvTitle);
        return {};
    } catch (const std::exception& e) {
        ui().showMessage(errorMessage(e), CsvTitle);
        return {};
    }
    ui().showMessage(QStringLiteral("CSVファイルに出力しました。\n") + QDir::toNativeSeparators(path), CsvTitle);
    return path;
}

QPushButton* csvButton(QWidget* screen, QTableView* grid, const QString& listName)
{
    QPushButton* button = commandButton(screen, QStringLiteral("cmdCSV"), QStringLiteral("CSV出力"), QSize(110, 36));
    QObject::connect(button, &QPushButton::clicked, screen,
                     [grid, listName] { writeCsvAndTell(listName, [grid] { return shownRows(*grid); }); });
    return button;
}
