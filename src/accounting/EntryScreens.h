#pragma once
// The three entry screens frm仕入, frm経費 and frm経理入力: one layout and one
// write path, differing in captions, list contents, completeness and the
// add button (see accounting::entryDefinition).

#include "accounting/Entries.h"
#include "db/Database.h"

#include <QDialog>

class DateBoxes;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QSpinBox;
class ValueQueryModel;

namespace accounting {

class JournalEntryScreen : public QDialog {
public:
    ~JournalEntryScreen() override;

    DateBoxes* dateBoxes;
    QSpinBox* Text2; // year (with its spin buttons)
    QSpinBox* Text3; // month
    QSpinBox* Text4; // day
    QLineEdit* Text1; // amount
    // frm仕入 and frm経費: DBList1 counterparty, DBList2 debit kind,
    // DBList3 means of payment. frm経理入力: DBList1 debit, DBList2
    // counterparty, DBList3 credit.
    QListView* DBList1;
    QListView* DBList2;
    QListView* DBList3;
    ValueQueryModel* Data1; // DBList1's rows
    ValueQueryModel* Data2;
    ValueQueryModel* Data3;
    QPushButton* Command1; // "ＯＫ", hidden until the entry is complete
    QPushButton* Command2; // "キャンセル"
    QPushButton* Command3; // "仕入先の追加入力" / "経費支払先の追加入力"; absent on frm経理入力
    // Shown while account 110 is one of the accounts: the customer whose
    // receivable the entry moves, and the button that opens the picker.
    QLabel* customerField;
    QLabel* customerCaption;
    QPushButton* chooseCustomerButton;

    const EntryDefinition& definition() const { return definition_; }
    QListView* counterpartyList() const;
    QListView* debitList() const;
    QListView* creditList() const;

    void Text1_Change();
    void dateChanged();
    // A row picked in one of the lists (row of that list's model).
    void listPicked(QListView* list, int row);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    // Opens the customer picker for an entry on account 110.
    void chooseCustomer();

protected:
    JournalEntryScreen(EntryKind kind, QWidget* parent);

private:
    void applyCompleteness();
    void showReceivableCustomer();
    void loadCounterparties();
    ValueQueryModel* modelOf(QListView* list) const;

    const EntryDefinition& definition_;
    Database db_;
};

} // namespace accounting

class frm仕入 : public accounting::JournalEntryScreen {
public:
    explicit frm仕入(QWidget* parent = nullptr);
};

class frm経費 : public accounting::JournalEntryScreen {
public:
    explicit frm経費(QWidget* parent = nullptr);
};

class frm経理入力 : public accounting::JournalEntryScreen {
public:
    explicit frm経理入力(QWidget* parent = nullptr);
};
