#pragma once
// The customer pickers: frm顧客選択 offers every customer, frm顧客選択ガス
// only the LP-gas customers. The operator narrows the list by the first kana
// letter, clicks a name, checks the details and the slip date, and confirms
// with "ＯＫ"; the chosen customer goes to the session for the caller.

#include "customers/CustomerSelection.h"
#include "db/Database.h"

#include <QDialog>
#include <array>
#include <optional>

class DateBoxes;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QSpinBox;
class ValueQueryModel;

class frm顧客選択 : public QDialog {
public:
    explicit frm顧客選択(QWidget* parent = nullptr);
    ~frm顧客選択() override;

    // The list of names (顧客名前カナ), each row returning its 顧客コード.
    QListView* DBList1;
    ValueQueryModel* Data1; // the list's record source
    QGroupBox* Frame1;     // "顧客頭文字の選択"
    std::array<QPushButton*, KanaInitialCount> Command1{}; // あ … わ
    QPushButton* Command3; // "全"
    QPushButton* Command2; // "ＯＫ"

    // The details of the customer shown, named by their columns.
    QLineEdit* 顧客コード;
    QLineEdit* 顧客名前;
    QLineEdit* 顧客名前カナ;
    QLineEdit* 顧客住所１;
    QLineEdit* 顧客住所２;
    QLineEdit* 顧客電話番号;
    QLineEdit* 顧客郵便番号;
    QLineEdit* 顧客売掛前回請求金額;
    QLineEdit* 顧客売掛入金額;
    QLineEdit* 顧客売掛締後売上額;

    DateBoxes* dateBoxes;
    QSpinBox* Text7; // year
    QSpinBox* Text8; // month
    QSpinBox* Text9; // day

    // The operator's actions, as the buttons and the list call them.
    void Command1_Click(int index); // names beginning with kana initial `index`
    void Command3_Click();          // every name again
    void DBList1_Click(int row);    // show the customer of the list row
    void Command2_Click();          // confirm

protected:
    frm顧客選択(QWidget* parent, CustomerScope scope, const QString& screenName, const QString& title);

private:
    void build(const QString& screenName, const QString& title);
    void loadList(const QString& pattern);
    void showDetails(const std::optional<CustomerDetails>& details);
    void markShownInList();

    CustomerScope scope_;
    Database db_;
    std::optional<CustomerDetails> shown_;
};

class frm顧客選択ガス : public frm顧客選択 {
public:
    explicit frm顧客選択ガス(QWidget* parent = nullptr);
};
