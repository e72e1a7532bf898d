#pragma once
// Reading the cells of a screen's grids as the operator sees them.

#include <QAbstractItemModel>
#include <QStringList>
#include <QTableView>

// The texts of one grid row, left to right.
inline QStringList gridRow(const QTableView* grid, int row)
{
    QStringList cells;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        cells << grid->model()->index(row, c).data().toString();
    return cells;
}
