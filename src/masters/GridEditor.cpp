#include "masters/GridEditor.h"

#include "session/Session.h"
#include "masters/DatabaseMessages.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSqlError>
#include <QSqlIndex>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QString kindWord(ValueKind kind)
{
    switch (kind) {
    case ValueKind::Currency: return QStringLiteral("金額");
    case ValueKind::Date: return QStringLiteral("日付（例 2024/05/01）");
    case ValueKind::Single: return QStringLiteral("数値");
    case ValueKind::Integer: return QStringLiteral("整数");
    case ValueKind::Text: break;
    }
    return QStringLiteral("文字");
}

// The grid's values. An emptied text cell holds an empty text, not NULL:
// the code tables' name columns take "" but refuse a missing value.
class GridValues : public ValueProxyModel {
public:
    using ValueProxyModel::ValueProxyModel;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role == Qt::EditRole && columnKind(index.column()) == ValueKind::Text) {
            const QString text = value.toString();
            return QIdentityProxyModel::setData(index, text.isNull() ? QStringLiteral("") : text, role);
        }
        return ValueProxyModel::setData(index, value, role);
    }
};

// Editing a cell: a text that is no value of the column's kind is refused
// and the operator is told which column wanted what. The message waits
// until the editor has closed, so the message box cannot pull the focus
// out of an editor that is still committing.
class GridDelegate : public ValueDelegate {
public:
    GridDelegate(QDialog* screen, QObject* parent) : ValueDelegate(parent), screen_(screen) {}

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (!line) {
            ValueDelegate::setModelData(editor, model, index);
            return;
        }
        const QString typed = line->text();
        if (model->setData(index, typed, Qt::EditRole))
            return;
        auto* proxy = qobject_cast<ValueProxyModel*>(model);
        const ValueKind kind = proxy ? proxy->columnKind(index.column()) : ValueKind::Text;
        const QString column = model->headerData(index.column(), Qt::Horizontal).toString();
        const QString text = QStringLiteral("「%1」には%2を入力して下さい。\n入力された「%3」は使えません。")
                                 .arg(column, kindWord(kind), typed);
        QPointer<QDialog> screen = screen_;
        QTimer::singleShot(0, screen_, [screen, text] {
            if (screen)
                ui().showMessage(text, screen->windowTitle());
        });
    }

private:
    QDialog* screen_;
};

QToolButton* navigatorButton(QWidget* parent, const char* name, const char* caption, const char* accessible)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setText(QString::fromUtf8(caption));
    button->setAccessibleName(QString::fromUtf8(accessible));
    button->setToolTip(QString::fromUtf8(accessible));
    button->setAutoRaise(false);
    button->setMinimumWidth(36);
    return button;
}

QPushButton* barButton(QWidget* parent, const char* name, const char* caption)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    button->setMinimumSize(104, 34);
    return button;
}

// A key as the binding compares it: texts without trailing blanks (codes
// compare so in the database), numbers as numbers.
QString keyText(const QVariant& value)
{
    QString text = value.toString();
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

} // namespace

RecordNavigator::RecordNavigator(QWidget* parent) : QWidget(parent)
{
    cmdFirst = navigatorButton(this, "cmdFirst", "|<", "最初の行");
    cmdPrevious = navigatorButton(this, "cmdPrevious", "<", "前の行");
    cmdNext = navigatorButton(this, "cmdNext", ">", "次の行");
    cmdLast = navigatorButton(this, "cmdLast", ">|", "最後の行");
    caption_ = new QLabel(QStringLiteral("Record: "), this);
    caption_->setObjectName(QStringLiteral("lblCaption"));
    caption_->setAlignment(Qt::AlignCenter);
    caption_->setFrameShape(QFrame::StyledPanel);
    caption_->setMinimumWidth(160);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(cmdFirst);
    layout->addWidget(cmdPrevious);
    layout->addWidget(caption_, 1);
    layout->addWidget(cmdNext);
    layout->addWidget(cmdLast);
}

QString RecordNavigator::caption() const
{
    return caption_->text();
}

void RecordNavigator::setCaption(const QString& caption)
{
    caption_->setText(caption);
}

GridEditor::GridEditor(const GridEditorDefinition& definition, QWidget* parent)
    : QDialog(parent), definition_(definition), db_(session().config.databasePath)
{
    build();
    open();
}

GridEditor::~GridEditor()
{
    // The grid's model lets go of the screen's connection before it closes.
    grdDataGrid->setModel(nullptr);
    values_->setSourceModel(nullptr);
    delete table_;
}

void GridEditor::build()
{
    setObjectName(definition_.screenName);
    setWindowTitle(definition_.title);

    grdDataGrid = new QTableView(this);
    grdDataGrid->setObjectName(QStringLiteral("grdDataGrid"));
    grdDataGrid->setAccessibleName(definition_.title);
    grdDataGrid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                 | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    grdDataGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    grdDataGrid->setAlternatingRowColors(true);
    grdDataGrid->setMinimumSize(560, 300);

    datPrimaryRS = new RecordNavigator(this);
    datPrimaryRS->setObjectName(QStringLiteral("datPrimaryRS"));

    picButtons = new QWidget(this);
    picButtons->setObjectName(QStringLiteral("picButtons"));
    auto* bar = new QHBoxLayout(picButtons);
    bar->setContentsMargins(0, 0, 0, 0);
    cmdAdd = barButton(picButtons, "cmdAdd", "追加(&A)");
    cmdDelete = barButton(picButtons, "cmdDelete", "削除(&D)");
    cmdRefresh = definition_.hasRefresh ? barButton(picButtons, "cmdRefresh", "再表示(&R)") : nullptr;
    cmdUpdate = barButton(picButtons, "cmdUpdate", "更新(&U)");
    cmdClose = barButton(picButtons, "cmdClose", "閉じる(&C)");
    bar->addWidget(cmdAdd);
    bar->addWidget(cmdDelete);
    if (cmdRefresh)
        bar->addWidget(cmdRefresh);
    bar->addWidget(cmdUpdate);
    bar->addStretch(1);
    bar->addWidget(cmdClose);

    // The grid takes every height the window gives; navigator and buttons
    // keep theirs.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->addWidget(grdDataGrid, 1);
    layout->addWidget(datPrimaryRS);
    layout->addWidget(picButtons);

    connect(cmdAdd, &QPushButton::clicked, this, [this] { cmdAdd_Click(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
    if (cmdRefresh)
        connect(cmdRefresh, &QPushButton::clicked, this, [this] { cmdRefresh_Click(); });
    connect(cmdUpdate, &QPushButton::clicked, this, [this] { cmdUpdate_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    connect(datPrimaryRS->cmdFirst, &QToolButton::clicked, this, [this] { moveTo(0); });
    connect(datPrimaryRS->cmdPrevious, &QToolButton::clicked, this, [this] { moveTo(std::max(0, currentRow() - 1)); });
    connect(datPrimaryRS->cmdNext, &QToolButton::clicked, this,
            [this] { moveTo(std::min(rowCount() - 1, currentRow() + 1)); });
    connect(datPrimaryRS->cmdLast, &QToolButton::clicked, this, [this] { moveTo(rowCount() - 1); });

    // Esc on a row with edits takes them back, as in any data grid; on a
    // row without, it closes the screen.
    class EscapeFilter : public QObject {
    public:
        EscapeFilter(GridEditor* editor) : QObject(editor), editor_(editor) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
                return false;
            if (editor_->grdDataGrid->indexWidget(editor_->grdDataGrid->currentIndex()))
                return false; // an open cell editor takes its own Esc
            const int row = editor_->currentRow();
            if (row < 0 || !editor_->pendingRows().contains(row))
                return false;
            editor_->adjusting_ = true;
            editor_->table_->revertRow(row);
            editor_->adjusting_ = false;
            editor_->setCurrent(std::min(row, editor_->rowCount() - 1));
            return true;
        }

    private:
        GridEditor* editor_;
    };
    grdDataGrid->installEventFilter(new EscapeFilter(this));

    resize(760, 480);
}

void GridEditor::open()
{
    table_ = new QSqlTableModel(this, db_.connection());
    table_->setEditStrategy(QSqlTableModel::OnManualSubmit);
    table_->setTable(definition_.table);
    if (!definition_.filter.isEmpty())
        table_->setFilter(definition_.filter);
    if (definition_.orderByCode)
        table_->setSort(0, Qt::AscendingOrder);
    if (!table_->select())
        throw DatabaseError(table_->lastError().databaseText().isEmpty() ? table_->lastError().text()
                                                                         : table_->lastError().databaseText(),
                            definition_.table);
    fetchAll();

    values_ = new GridValues(this);
    values_->setSourceModel(table_);
    values_->setColumnKinds(tableColumnKinds(db_, definition_.table));
    grdDataGrid->setModel(values_);
    useValueColumns(*grdDataGrid);
    grdDataGrid->setItemDelegate(new GridDelegate(this, grdDataGrid));
    // Room to type a longer value than the widest one shown.
    grdDataGrid->horizontalHeader()->setMinimumSectionSize(72);

    connect(grdDataGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex&, const QModelIndex&) {
                updateCaption();
                if (adjusting_)
                    return;
                // The row left is stored once the grid has finished moving.
                QTimer::singleShot(0, this, [this] { afterRowChange(); });
            });
    connect(table_, &QAbstractItemModel::modelReset, this, [this] { updateCaption(); });

    setCurrent(rowCount() > 0 ? 0 : -1);
    grdDataGrid->setFocus();
}

void GridEditor::fetchAll()
{
    // Every row is read at once, so no read statement stays open on the
    // table while rows are written.
    while (table_->canFetchMore())
        table_->fetchMore();
}

int GridEditor::currentRow() const
{
    const QModelIndex current = grdDataGrid->currentIndex();
    return current.isValid() ? current.row() : -1;
}

int GridEditor::rowCount() const
{
    return values_->rowCount();
}

QString GridEditor::cellText(int row, int column) const
{
    return values_->index(row, column).data(Qt::DisplayRole).toString();
}

void GridEditor::setCurrent(int row)
{
    const bool was = adjusting_;
    adjusting_ = true;
    if (row < 0 || row >= rowCount()) {
        grdDataGrid->selectionModel()->clear();
    } else {
        const int column = std::max(0, grdDataGrid->currentIndex().column());
        const QModelIndex index = values_->index(row, column);
        grdDataGrid->setCurrentIndex(index);
        grdDataGrid->scrollTo(index);
    }
    adjusting_ = was;
    updateCaption();
}

void GridEditor::updateCaption()
{
    const int row = currentRow();
    datPrimaryRS->setCaption(row < 0 ? QStringLiteral("Record: ") : QStringLiteral("Record: %1").arg(row + 1));
}

QList<int> GridEditor::pendingRows() const
{
    QList<int> rows;
    if (!table_->isDirty())
        return rows;
    const int columns = table_->columnCount();
    for (int row = 0; row < table_->rowCount(); ++row)
        for (int column = 0; column < columns; ++column)
            if (table_->isDirty(table_->index(row, column))) {
                rows << row;
                break;
            }
    return rows;
}

bool GridEditor::hasPendingEdits() const
{
    for (int row : pendingRows())
        if (!isUntouchedNewRow(row))
            return true;
    return false;
}

bool GridEditor::isNewRow(int row) const
{
    if (row < 0)
        return false;
    for (const QPersistentModelIndex& index : newRows_)
        if (index.isValid() && index.row() == row)
            return true;
    return false;
}

bool GridEditor::isUntouchedNewRow(int row) const
{
    if (!isNewRow(row))
        return false;
    const QSqlRecord record = table_->record(row);
    for (int i = 0; i < record.count(); ++i)
        if (record.isGenerated(i))
            return false;
    return true;
}

void GridEditor::discardUntouchedNewRows()
{
    const bool was = adjusting_;
    adjusting_ = true;
    for (int row = table_->rowCount() - 1; row >= 0; --row)
        if (isUntouchedNewRow(row))
            table_->revertRow(row);
    newRows_.removeIf([](const QPersistentModelIndex& index) { return !index.isValid(); });
    adjusting_ = was;
}

QVariantList GridEditor::keyOf(int row) const
{
    QVariantList key;
    if (row < 0 || row >= table_->rowCount())
        return key;
    const QSqlRecord record = table_->record(row);
    const QSqlIndex primary = table_->primaryKey();
    if (primary.isEmpty()) {
        for (int i = 0; i < record.count(); ++i)
            key << record.value(i);
    } else {
        for (int i = 0; i < primary.count(); ++i)
            key << record.value(primary.fieldName(i));
    }
    return key;
}

int GridEditor::findRow(const QVariantList& key)
{
    if (key.isEmpty())
        return -1;
    fetchAll();
    for (int row = 0; row < table_->rowCount(); ++row) {
        const QVariantList candidate = keyOf(row);
        if (candidate.size() != key.size())
            continue;
        bool same = true;
        for (int i = 0; i < key.size() && same; ++i)
            same = keyText(candidate[i]) == keyText(key[i]);
        if (same)
            return row;
    }
    return -1;
}

bool GridEditor::store(int targetRow)
{
    BusyCursor busy;
    const bool stayOnNewRow = isUntouchedNewRow(targetRow);
    const QVariantList targetKey = stayOnNewRow ? QVariantList() : keyOf(targetRow);
    discardUntouchedNewRows();
    if (!table_->isDirty()) {
        if (stayOnNewRow)
            cmdAdd_Click();
        return true;
    }
    adjusting_ = true;
    if (!table_->submitAll()) {
        adjusting_ = false;
        const QSqlError error = table_->lastError();
        report(Action::Store, error.databaseText().isEmpty() ? error.text() : error.databaseText());
        return false;
    }
    fetchAll();
    newRows_.clear();
    int row = findRow(targetKey);
    if (row < 0)
        row = std::min(targetRow, rowCount() - 1);
    setCurrent(row);
    adjusting_ = false;
    if (stayOnNewRow)
        cmdAdd_Click();
    return true;
}

void GridEditor::afterRowChange()
{
    const int row = currentRow();
    QList<int> waiting;
    for (int pending : pendingRows())
        if (!isUntouchedNewRow(pending))
            waiting << pending;
    if (waiting.isEmpty() || (waiting.size() == 1 && waiting.first() == row)) {
        // Only the row the cursor is on has edits, or none: an empty new row
        // the cursor left is dropped, nothing else happens.
        if (!isUntouchedNewRow(row))
            discardUntouchedNewRows();
        return;
    }
    if (store(row))
        return;
    // The refused row stays current, so the operator sees what to change
    // (or takes the edits back with Esc).
    waiting.removeAll(row);
    if (!waiting.isEmpty() && waiting.first() < rowCount())
        setCurrent(waiting.first());
}

bool GridEditor::moveTo(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    if (QWidget* editor = grdDataGrid->indexWidget(grdDataGrid->currentIndex()))
        grdDataGrid->itemDelegate()->setModelData(editor, values_, grdDataGrid->currentIndex());
    setCurrent(row);
    afterRowChange();
    return currentRow() == row;
}

void GridEditor::report(Action action, const QString& databaseText)
{
    const QString title = QStringLiteral("エラー");
    switch (definition_.wording) {
    case GridErrorWording::ProductMaster:
        if (action == Action::Delete) {
            ui().showMessage(QStringLiteral("この商品は、削除できません。"), title);
            return;
        }
        // A code already in use is what the product master's message names;
        // any other refusal is told as what it is.
        if (refusedRule(databaseText) == RefusedRule::Duplicate) {
            ui().showMessage(QStringLiteral("商品コードが重複しています。変更して下さい。"), title);
            return;
        }
        ui().showMessage(databaseErrorDescription(databaseText), title);
        return;
    case GridErrorWording::DataErrorEvent:
        ui().showMessage(QStringLiteral("Data error event hit err:") + databaseErrorDescription(databaseText), title);
        return;
    case GridErrorWording::Plain:
        break;
    }
    ui().showMessage(databaseErrorDescription(databaseText), title);
}

namespace {

// The text an open cell editor holds goes into the model before a button
// acts, as it does when the operator clicks the button with the mouse.
void commitOpenEditor(QTableView* grid, QAbstractItemModel* model)
{
    const QModelIndex current = grid->currentIndex();
    if (!current.isValid())
        return;
    if (QWidget* editor = grid->indexWidget(current))
        grid->itemDelegate()->setModelData(editor, model, current);
}

} // namespace

void GridEditor::cmdAdd_Click()
{
    commitOpenEditor(grdDataGrid, values_);
    const int row = currentRow();
    if (isUntouchedNewRow(row)) {
        grdDataGrid->setFocus();
        return;
    }
    if (hasPendingEdits() && !store(row) && definition_.wording != GridErrorWording::ProductMaster)
        return;
    discardUntouchedNewRows();
    fetchAll();
    adjusting_ = true;
    const int newRow = table_->rowCount();
    if (!table_->insertRow(newRow)) {
        adjusting_ = false;
        report(Action::Store, table_->lastError().databaseText());
        return;
    }
    newRows_ << QPersistentModelIndex(table_->index(newRow, 0));
    grdDataGrid->setFocus();
    const QModelIndex index = values_->index(newRow, 0);
    grdDataGrid->setCurrentIndex(index);
    grdDataGrid->scrollTo(index);
    adjusting_ = false;
    updateCaption();
}

void GridEditor::cmdDelete_Click()
{
    commitOpenEditor(grdDataGrid, values_);
    int row = currentRow();
    if (row < 0)
        return;
    if (isNewRow(row)) {
        // A row never stored: dropping it deletes nothing in the database.
        adjusting_ = true;
        table_->revertRow(row);
        newRows_.removeIf([](const QPersistentModelIndex& index) { return !index.isValid(); });
        adjusting_ = false;
        setCurrent(std::min(row, rowCount() - 1));
        return;
    }
    if (hasPendingEdits()) {
        // Edits of other rows are stored first; the delete is its own step.
        if (!store(row))
            return;
        row = currentRow();
        if (row < 0)
            return;
    }
    BusyCursor busy;
    adjusting_ = true;
    table_->removeRow(row);
    if (!table_->submitAll()) {
        const QSqlError error = table_->lastError();
        table_->revertAll();
        adjusting_ = false;
        report(Action::Delete, error.databaseText().isEmpty() ? error.text() : error.databaseText());
        // The product master goes on to the next row as after a delete; the
        // other editors stay on the row that was kept.
        if (definition_.wording == GridErrorWording::ProductMaster)
            setCurrent(std::min(row + 1, rowCount() - 1));
        else
            setCurrent(row);
        return;
    }
    fetchAll();
    newRows_.clear();
    // On to the row that followed; past the end, the last row; none when the
    // table is empty.
    setCurrent(rowCount() == 0 ? -1 : std::min(row, rowCount() - 1));
    adjusting_ = false;
}

void GridEditor::cmdRefresh_Click()
{
    commitOpenEditor(grdDataGrid, values_);
    if (hasPendingEdits() && !store(currentRow()))
        return;
    BusyCursor busy;
    adjusting_ = true;
    const bool ok = table_->select();
    newRows_.clear();
    fetchAll();
    setCurrent(rowCount() > 0 ? 0 : -1);
    adjusting_ = false;
    if (!ok)
        report(Action::Store, table_->lastError().databaseText().isEmpty() ? table_->lastError().text()
                                                                          : table_->lastError().databaseText());
}

void GridEditor::cmdUpdate_Click()
{
    commitOpenEditor(grdDataGrid, values_);
    const int row = currentRow();
    QList<int> waiting;
    for (int pending : pendingRows())
        if (!isUntouchedNewRow(pending))
            waiting << pending;
    if (waiting.isEmpty()) {
        // An empty new row is no record: it goes, nothing is stored.
        if (isUntouchedNewRow(row)) {
            discardUntouchedNewRows();
            setCurrent(std::min(row, rowCount() - 1));
        }
        return;
    }
    // The row stored last becomes current: the one the cursor is on, else
    // the last row with edits.
    store(waiting.contains(row) ? row : waiting.last());
}

void GridEditor::cmdClose_Click()
{
    reject();
}

void GridEditor::reject()
{
    commitOpenEditor(grdDataGrid, values_);
    if (hasPendingEdits() && !store(currentRow())) {
        if (!ui().ask(QStringLiteral("保存できなかった変更があります。\n変更を取り消して閉じますか？"), windowTitle()))
            return;
        table_->revertAll();
    }
    QDialog::reject();
}
