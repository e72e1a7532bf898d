#pragma once
// The customer pickers: frm顧客選択 offers every customer, frm顧客選択ガス
// only the LP-gas customers. The operator narrows the list by the first kana
// letter, clicks a name, checks the details and the slip date, and confirms
// with "ＯＫ"; the chosen customer goes to the session for the caller. The
// gas picker also keeps the cylinder size of the customer it shows.

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
struct SessionState;

class frm顧客選択 : public QDialog {
public:
    explicit frm顧客選択(SessionState& state, QWidget* parent = nullptr);
    ~frm顧客選択() override;

    // The list of names (顧客名前カナ), each row returning its 顧客コード.
    QListView* customerList;        // DBList1
    ValueQueryModel* customerModel; // Data1, the list's record source
    QGroupBox* initialFrame;        // Frame1 "顧客頭文字の選択"
    std::array<QPushButton*, KanaInitialCount> initialButtons{}; // Command1_<i>: あ … わ
    QPushButton* allButton;         // Command3 "全"
    QPushButton* okButton;          // Command2 "ＯＫ"

    // The details of the customer shown; each box's object name is its column.
    QLineEdit* codeBox;              // 顧客コード
    QLineEdit* nameBox;              // 顧客名前
    QLineEdit* kanaNameBox;          // 顧客名前カナ
    QLineEdit* address1Box;          // 顧客住所１
    QLineEdit* address2Box;          // 顧客住所２
    QLineEdit* telephoneBox;         // 顧客電話番号
    QLineEdit* postalCodeBox;        // 顧客郵便番号
    QLineEdit* lastInvoiceBox;       // 顧客売掛前回請求金額
    QLineEdit* paymentsBox;          // 顧客売掛入金額
    QLineEdit* salesSinceClosingBox; // 顧客売掛締後売上額

    DateBoxes* dateBoxes;
    QSpinBox* yearBox;  // Text7
    QSpinBox* monthBox; // Text8
    QSpinBox* dayBox;   // Text9

    // The operator's actions, as the buttons and the list call them.
    void chooseInitial(int index); // names beginning with kana initial `index`
    void showAll();                // every name again
    void showCustomer(int row);    // show the customer of the list row
    void confirm();                // "ＯＫ"

    // The cylinder size (顧客ガスボンベ１) of the gas customer last clicked
    // or returned; 0 in the picker of every customer.
    float gasCylinderSize() const { return gasCylinderSize_; }

protected:
    frm顧客選択(SessionState& state, QWidget* parent, CustomerScope scope, const QString& screenName,
               const QString& title);

private:
    void build(const QString& screenName, const QString& title);
    void loadList(const QString& pattern);
    void showDetails(const std::optional<CustomerDetails>& details);
    void markShownInList();

    SessionState& state_;
    CustomerScope scope_;
    Database db_;
    std::optional<CustomerDetails> shown_;
    float gasCylinderSize_ = 0;
};

class frm顧客選択ガス : public frm顧客選択 {
public:
    explicit frm顧客選択ガス(SessionState& state, QWidget* parent = nullptr);
};
