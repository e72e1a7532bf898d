#pragma once
// The gas input screen frmガス入力: the customer chosen in the gas customer
// picker, the date, the kind of event, the boxes the kind asks for and the
// customer's gas history. "ＯＫ" appears once the entry is complete for its
// kind and stores the event.

#include "core/Currency.h"
#include "customers/CustomerDisplayFrame.h"
#include "db/Database.h"
#include "session/Values.h"

#include <QDialog>
#include <optional>

class DateBoxes;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QSpinBox;
class QTableView;
class ValueQueryModel;
struct SessionState;

class frmガス入力 : public QDialog {
public:
    // Shows the chosen customer of the session and starts an event of that
    // customer today; the gas customer picker runs before, in openGasInput().
    explicit frmガス入力(SessionState& state, QWidget* parent = nullptr);
    ~frmガス入力() override;

    // The customer panel "顧客相手先" (Frame1): the customer's details in
    // Label1 … Label10, their captions in Label11 and Label29 … Label36.
    QGroupBox* customerFrame;

    DateBoxes* dateBoxes; // "年月日"
    QSpinBox* yearBox;    // Text7, with its spin buttons
    QSpinBox* monthBox;   // Text8
    QSpinBox* dayBox;     // Text9

    QListView* kindList;            // DBList1 "ガス入力種別": shows ガスデータ種別, yields the code
    ValueQueryModel* kindModel;     // Data3, its record source
    QLineEdit* meterBox;            // Text1 "メータ値"
    QLineEdit* usageBox;            // Text4 "使用量", filled by the screen
    QLineEdit* deliveredBox;        // Text3 "配送量"
    QLineEdit* remainingBox;        // Text5 "残ガス量"
    QLineEdit* amountBox;           // Text2 "金額（税込み）"
    QListView* meansOfPaymentList;  // DBList2 "入金方法": shows 勘定科目名, yields 科目番号
    ValueQueryModel* meansOfPaymentModel; // Data4, its record source
    QTableView* historyGrid;        // DBGrid1: the customer's gas history
    ValueQueryModel* historyModel;  // Data1, its record source
    QPushButton* storeButton;       // Command1 "ＯＫ", shown once the entry is complete
    QPushButton* cancelButton;      // Command2 "キャンセル"

    // The operator's actions, as the boxes, lists and buttons call them.
    void chooseKind(int row);
    void chooseMeansOfPayment(int row);
    void boxChanged(QLineEdit* box);
    void store();
    void cancel();

    // The event as entered so far.
    const GasEntry& entry() const { return entry_; }

private:
    void showCustomer();
    void showKindBoxes();
    void checkComplete();
    QLabel* captionOf(QWidget* box) const;

    SessionState& state_;
    Database db_;
    GasEntry entry_;
    std::optional<Currency> base_; // the reading usage is measured from
    CustomerDisplayFrame customerPanel; // "顧客相手先" and its fields
};

// The screen's opening: the gas customer picker first. A picker closed
// without a choice ends the entry here (nullptr); so does a customer who is
// not a gas customer, with a message. Otherwise the screen.
QDialog* openGasInput(SessionState& state, QWidget* parent);
