#pragma once
// The code-table editor every master table is kept with: a grid bound to one
// table (or a selection of its rows), the navigator of the binding captioned
// "Record: " and the row's position, and the button bar 追加 / 削除 /
// 再表示 / 更新 / 閉じる. The editor knows nothing of the table's meaning:
// keys, uniqueness and deletion rules are the database's, and a refusal is
// told to the operator in Japanese while the grid stays usable.
//
// Edits are kept in the grid until the cursor leaves the row or "更新" is
// pressed; then they are written. A new row nobody typed into is never
// stored.

#include "db/Database.h"

#include <QDialog>
#include <QList>
#include <QPersistentModelIndex>
#include <QVariantList>

class QLabel;
class QPushButton;
class QSqlTableModel;
class QTableView;
class QToolButton;
class ValueProxyModel;
struct SessionState;

// How an editor words a change the database refused.
enum class GridErrorWording {
    Plain,          // a Japanese message naming the rule or the column, title "エラー"
    DataErrorEvent, // "Data error event hit err:" followed by that message
    ProductMaster   // "商品コードが重複しています。変更して下さい。" / "この商品は、削除できません。"
};

struct GridEditorDefinition {
    QString screenName;
    QString title;
    QString table;
    QString filter;           // condition on the table's rows; empty for every row
    bool orderByCode = false; // rows in the order of the first column
    bool hasRefresh = true;   // "再表示(&R)" (the department master has none)
    GridErrorWording wording = GridErrorWording::Plain;
};

// The binding's navigator: first, previous, next and last row, and the
// caption "Record: " with the current row's position counted from 1.
class RecordNavigator : public QWidget {
public:
    explicit RecordNavigator(QWidget* parent = nullptr);
    QString caption() const;
    void setCaption(const QString& caption);

    QToolButton* firstButton;    // cmdFirst
    QToolButton* previousButton; // cmdPrevious
    QToolButton* nextButton;     // cmdNext
    QToolButton* lastButton;     // cmdLast

private:
    QLabel* caption_;
};

class GridEditor : public QDialog {
public:
    ~GridEditor() override;

    QTableView* grid;           // grdDataGrid
    RecordNavigator* navigator; // datPrimaryRS
    QWidget* buttonPanel;       // picButtons
    QPushButton* addButton;     // cmdAdd "追加(&A)"
    QPushButton* deleteButton;  // cmdDelete "削除(&D)"
    QPushButton* refreshButton; // cmdRefresh "再表示(&R)"; nullptr where the editor has none
    QPushButton* updateButton;  // cmdUpdate "更新(&U)"
    QPushButton* closeButton;   // cmdClose "閉じる(&C)"

    // The operator's actions, as the buttons call them.
    void addClicked();     // a new empty row at the end, with the cursor on it
    void deleteClicked();  // delete the current row; on to the next, or the last
    void refreshClicked(); // read the rows again
    void updateClicked();  // store the pending edits; the stored row becomes current
    void closeClicked();   // "閉じる(&C)"

    const GridEditorDefinition& definition() const { return definition_; }
    // The binding: the table model under the grid.
    QSqlTableModel* recordSource() const { return table_; }
    // The grid's model: the binding shown as people read the values.
    ValueProxyModel* values() const { return values_; }
    // The row the grid is on, counted from 0; -1 for none.
    int currentRow() const;
    int rowCount() const;
    // Moves the cursor to a row as the navigator does, first storing the
    // edits of the row it leaves. Returns false when they were refused.
    bool moveTo(int row);
    // A cell as the grid shows it.
    QString cellText(int row, int column) const;
    // True while edits or a typed new row wait to be stored.
    bool hasPendingEdits() const;

    // Closing (the close box, Esc, "閉じる(&C)") stores pending edits first;
    // edits the database refuses are dropped only when the operator says so.
    void reject() override;

protected:
    GridEditor(SessionState& state, const GridEditorDefinition& definition, QWidget* parent);

private:
    enum class Action { Store, Delete };

    void build();
    void open();
    void fetchAll();
    void setCurrent(int row);
    void updateCaption();
    void afterRowChange();
    QList<int> pendingRows() const;
    bool isNewRow(int row) const;
    bool isUntouchedNewRow(int row) const;
    void discardUntouchedNewRows();
    bool store(int targetRow);
    QVariantList keyOf(int row) const;
    int findRow(const QVariantList& key);
    void report(Action action, const QString& databaseText);

    GridEditorDefinition definition_;
    Database db_;
    QSqlTableModel* table_;
    ValueProxyModel* values_;
    QList<QPersistentModelIndex> newRows_;
    bool adjusting_ = false;
};
