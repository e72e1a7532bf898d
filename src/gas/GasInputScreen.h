#pragma once
// The gas input screen frmガス入力: the customer chosen in the gas customer
// picker, the date, the kind of event, the boxes the kind asks for and the
// customer's gas history. "ＯＫ" appears once the entry is complete for its
// kind and stores the event.

#include "core/Currency.h"
#include "customers/CustomerDisplayFrame.h"
#include "db/Database.h"

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

class frmガス入力 : public QDialog {
public:
    // Shows the customer of the session and resets the gas-entry buffer for
    // it; the gas customer picker runs before, in openGasInput().
    explicit frmガス入力(QWidget* parent = nullptr);
    ~frmガス入力() override;

    // The customer panel "顧客相手先": Label1 … Label10 show the customer's
    // code, name, kana name, the two address lines, telephone, postal code,
    // last invoice amount, payments and sales since closing; Label11 and
    // Label29 … Label36 are their captions.
    QGroupBox* Frame1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label11;
    QLabel* Label29;
    QLabel* Label30;
    QLabel* Label31;
    QLabel* Label32;
    QLabel* Label33;
    QLabel* Label34;
    QLabel* Label35;
    QLabel* Label36;

    DateBoxes* dateBoxes; // "年月日"
    QSpinBox* Text7;      // year (with its spin buttons)
    QSpinBox* Text8;      // month
    QSpinBox* Text9;      // day

    QListView* DBList1;     // "ガス入力種別": shows ガスデータ種別, yields the code
    ValueQueryModel* Data3; // its record source
    QLineEdit* Text1;       // "メータ値"
    QLineEdit* Text4;       // "使用量", filled by the screen
    QLineEdit* Text3;       // "配送量"
    QLineEdit* Text5;       // "残ガス量"
    QLineEdit* Text2;       // "金額（税込み）"
    QListView* DBList2;     // "入金方法": shows 勘定科目名, yields 科目番号
    ValueQueryModel* Data4; // its record source
    QTableView* DBGrid1;    // the customer's gas history
    ValueQueryModel* Data1; // its record source
    QPushButton* Command1;  // "ＯＫ", shown once the entry is complete
    QPushButton* Command2;  // "キャンセル"

    // The operator's actions, as the boxes, lists and buttons call them.
    void DBList1_Click(int row);
    void DBList2_Click(int row);
    void Text_Change(QLineEdit* box);
    void Command1_Click();
    void Command2_Click();

private:
    void showCustomer();
    void showKindBoxes();
    void checkComplete();
    QLabel* captionOf(QWidget* box) const;

    Database db_;
    std::optional<Currency> base_; // the reading usage is measured from
    CustomerDisplayFrame customer_; // "顧客相手先"
};

// The screen's opening: the gas customer picker first. A picker closed
// without a choice ends the entry here (nullptr); so does a customer who is
// not a gas customer, with a message. Otherwise the screen.
QDialog* openGasInput(QWidget* parent);
