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
    QSpinBox* yearBox;  // Text2, with its spin buttons
    QSpinBox* monthBox; // Text3
    QSpinBox* dayBox;   // Text4
    QLineEdit* amountBox; // Text1
    // The three lists, left to right (DBList1, DBList2, DBList3). frm仕入
    // and frm経費: counterparty, debit kind, means of payment. frm経理入力:
    // debit, counterparty, credit. counterpartyList(), debitList() and
    // creditList() name them by role for the screen at hand.
    QListView* leftList;
    QListView* middleList;
    QListView* rightList;
    ValueQueryModel* leftRows; // Data1, leftList's rows
    ValueQueryModel* middleRows; // Data2
    ValueQueryModel* rightRows;  // Data3
    QPushButton* storeButton;    // Command1 "ＯＫ", hidden until the entry is complete
    QPushButton* cancelButton;   // Command2 "キャンセル"
    // Command3 "仕入先の追加入力" / "経費支払先の追加入力"; absent on frm経理入力
    QPushButton* addPayeeButton;
    // Shown while account 110 is one of the accounts: the customer whose
    // receivable the entry moves, and the button that opens the picker.
    QLabel* customerField;
    QLabel* customerCaption;
    QPushButton* chooseCustomerButton;

    const EntryDefinition& definition() const { return definition_; }
    // The entry as typed and chosen so far.
    const JournalEntry& entry() const { return entry_; }
    QListView* counterpartyList() const;
    QListView* debitList() const;
    QListView* creditList() const;

    void amountChanged();
    void dateChanged();
    // A row picked in one of the lists (row of that list's model).
    void listPicked(QListView* list, int row);
    void store();
    void cancel();
    void addPayee();
    // Opens the customer picker for an entry on account 110.
    void chooseCustomer();
    // The customer an entry on account 110 names, as the picker gives it
    // (a code of up to 13 characters).
    void setReceivableCustomer(const QString& code);

protected:
    JournalEntryScreen(SessionState& state, EntryKind kind, QWidget* parent);

private:
    void applyCompleteness();
    void showReceivableCustomer();
    void loadCounterparties();
    ValueQueryModel* modelOf(QListView* list) const;

    SessionState& state_;
    const EntryDefinition& definition_;
    JournalEntry entry_;
    Database db_;
};

} // namespace accounting

class frm仕入 : public accounting::JournalEntryScreen {
public:
    explicit frm仕入(SessionState& state, QWidget* parent = nullptr);
};

class frm経費 : public accounting::JournalEntryScreen {
public:
    explicit frm経費(SessionState& state, QWidget* parent = nullptr);
};

class frm経理入力 : public accounting::JournalEntryScreen {
public:
    explicit frm経理入力(SessionState& state, QWidget* parent = nullptr);
};
