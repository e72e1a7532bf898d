#include "masters/GridEditor.h"

#include "db/Dialect.h"
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
    firstButton = navigatorButton(this, "cmdFirst", "|<", "最初の行");
    previousButton = navigatorButton(this, "cmdPrevious", "<", "前の行");
    nextButton = navigatorButton(this, "cmdNext", ">", "次の行");
    lastButton = navigatorButton(this, "cmdLast", ">|", "最後の行");
    caption_ = new QLabel(QStringLiteral("Record: "), this);
    caption_->setObjectName(QStringLiteral("lblCaption"));
    caption_->setAlignment(Qt::AlignCenter);
    caption_->setFrameShape(QFrame::StyledPanel);
    caption_->setMinimumWidth(160);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(firstButton);
    layout->addWidget(previousButton);
    layout->addWidget(caption_, 1);
    layout->addWidget(nextButton);
    layout->addWidget(lastButton);
}

QString RecordNavigator::caption() const
{
    return caption_->text();
}

void RecordNavigator::setCaption(const QString& caption)
{
    caption_->setText(caption);
}

GridEditor::GridEditor(SessionState& state, const GridEditorDefinition& definition, QWidget* parent)
    : QDialog(parent), definition_(definition), db_(state.config.databasePath)
{
    build();
    open();
}

GridEditor::~GridEditor()
{
    // The grid's model lets go of the screen's connection before it closes.
    grid->setModel(nullptr);
    values_->setSourceModel(nullptr);
    delete table_;
}

void GridEditor::build()
{
    setObjectName(definition_.screenName);
    setWindowTitle(definition_.title);

    grid = new QTableView(this);
    grid->setObjectName(QStringLiteral("grdDataGrid"));
    grid->setAccessibleName(definition_.title);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                 | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setAlternatingRowColors(true);
    grid->setMinimumSize(560, 300);

    navigator = new RecordNavigator(this);
    navigator->setObjectName(QStringLiteral("datPrimaryRS"));

    buttonPanel = new QWidget(this);
    buttonPanel->setObjectName(QStringLiteral("picButtons"));
    auto* bar = new QHBoxLayout(buttonPanel);
    bar->setContentsMargins(0, 0, 0, 0);
    addButton = barButton(buttonPanel, "cmdAdd", "追加(&A)");
    deleteButton = barButton(buttonPanel, "cmdDelete", "削除(&D)");
    refreshButton = definition_.hasRefresh ? barButton(buttonPanel, "cmdRefresh", "再表示(&R)") : nullptr;
    updateButton = barButton(buttonPanel, "cmdUpdate", "更新(&U)");
    closeButton = barButton(buttonPanel, "cmdClose", "閉じる(&C)");
    bar->addWidget(addButton);
    bar->addWidget(deleteButton);
    if (refreshButton)
        bar->addWidget(refreshButton);
    bar->addWidget(updateButton);
    bar->addStretch(1);
    bar->addWidget(closeButton);

    // The grid takes every height the window gives; navigator and buttons
    // keep theirs.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->addWidget(grid, 1);
    layout->addWidget(navigator);
    layout->addWidget(buttonPanel);

    connect(addButton, &QPushButton::clicked, this, [this] { addClicked(); });
    connect(deleteButton, &QPushButton::clicked, this, [this] { deleteClicked(); });
    if (refreshButton)
        connect(refreshButton, &QPushButton::clicked, this, [this] { refreshClicked(); });
    connect(updateButton, &QPushButton::clicked, this, [this] { updateClicked(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { closeClicked(); });
    connect(navigator->firstButton, &QToolButton::clicked, this, [this] { moveTo(0); });
    connect(navigator->previousButton, &QToolButton::clicked, this, [this] { moveTo(std::max(0, currentRow() - 1)); });
    connect(navigator->nextButton, &QToolButton::clicked, this,
            [this] { moveTo(std::min(rowCount() - 1, currentRow() + 1)); });
    connect(navigator->lastButton, &QToolButton::clicked, this, [this] { moveTo(rowCount() - 1); });

    // Esc on a row with edits takes them back, as in any data grid; on a
    // row without, it closes the screen.
    class EscapeFilter : public QObject {
    public:
        EscapeFilter(GridEditor* editor) : QObject(editor), editor_(editor) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
                return false;
            if (editor_->grid->indexWidget(editor_->grid->currentIndex()))
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
    grid->installEventFilter(new EscapeFilter(this));

    resize(760, 480);
}

void GridEditor::open()
{
    table_ = new QSqlTableModel(this, db_.connection());
    table_->setEditStrategy(QSqlTableModel::OnManualSubmit);
    table_->setTable(tableNameForModel(db_, definition_.table));
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
    grid->setModel(values_);
    useValueColumns(*grid);
    grid->setItemDelegate(new GridDelegate(this, grid));
    // Room to type a longer value than the widest one shown.
    grid->horizontalHeader()->setMinimumSectionSize(72);

    connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex&, const QModelIndex&) {
                updateCaption();
                if (adjusting_)
                    return;
                // The row left is stored once the grid has finished moving.
                QTimer::singleShot(0, this, [this] { afterRowChange(); });
            });
    connect(table_, &QAbstractItemModel::modelReset, this, [this] { updateCaption(); });

    setCurrent(rowCount() > 0 ? 0 : -1);
    grid->setFocus();
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
    const QModelIndex current = grid->currentIndex();
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
        grid->selectionModel()->clear();
    } else {
        const int column = std::max(0, grid->currentIndex().column());
        const QModelIndex index = values_->index(row, column);
        grid->setCurrentIndex(index);
        grid->scrollTo(index);
    }
    adjusting_ = was;
    updateCaption();
}

void GridEditor::updateCaption()
{
    const int row = currentRow();
    navigator->setCaption(row < 0 ? QStringLiteral("Record: ") : QStringLiteral("Record: %1").arg(row + 1));
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
            addClicked();
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
        addClicked();
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
    if (QWidget* editor = grid->indexWidget(grid->currentIndex()))
        grid->itemDelegate()->setModelData(editor, values_, grid->currentIndex());
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

void GridEditor::addClicked()
{
    commitOpenEditor(grid, values_);
    const int row = currentRow();
    if (isUntouchedNewRow(row)) {
        grid->setFocus();
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
    grid->setFocus();
    const QModelIndex index = values_->index(newRow, 0);
    grid->setCurrentIndex(index);
    grid->scrollTo(index);
    adjusting_ = false;
    updateCaption();
}

void GridEditor::deleteClicked()
{
    commitOpenEditor(grid, values_);
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

void GridEditor::refreshClicked()
{
    commitOpenEditor(grid, values_);
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

void GridEditor::updateClicked()
{
    commitOpenEditor(grid, values_);
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

void GridEditor::closeClicked()
{
    reject();
}

void GridEditor::reject()
{
    commitOpenEditor(grid, values_);
    if (hasPendingEdits() && !store(currentRow())) {
        if (!ui().ask(QStringLiteral("保存できなかった変更があります。\n変更を取り消して閉じますか？"), windowTitle()))
            return;
        table_->revertAll();
    }
    QDialog::reject();
}
