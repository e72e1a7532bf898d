#pragma once
// The sales slip screen frm売上: the chosen customer, up to five product
// lines with their totals and consumption tax, and the four payment buttons
// that print (or not) and store the slip.

#include "customers/CustomerDisplayFrame.h"
#include "session/Session.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;

class frm売上 : public QDialog {
public:
    // Shows the slip as `state` holds it; the opening flow (customer,
    // history, first product) runs before, in openSalesSlip().
    explicit frm売上(SessionState& state, QWidget* parent = nullptr);

    static constexpr int MaxLines = 5;

    QGroupBox* customerFrame;       // Frame1 "顧客相手先"
    QLabel* slipDateField;          // lbl売上日

    // fxg売上商品: heading row and rows 1 to 5 (table rows 0 to 4 under the heading).
    QTableWidget* lineGrid;

    QLabel* taxAdded1Field;      // lbl外税1売上金額
    QLabel* taxAdded2Field;      // lbl外税2売上金額
    QLabel* taxIncluded1Field;   // lbl内税1売上金額
    QLabel* taxIncluded2Field;   // lbl内税2売上金額
    QLabel* notTaxableField;     // lbl非課税売上金額
    QLabel* consumptionTaxField; // lbl消費税額
    QLabel* grandTotalField;     // lbl合計金額
    QLabel* rate1Label;          // lbl税率1
    QLabel* rate2Label;          // lbl税率2

    QPushButton* cashSlipButton;     // Command1 "現金（納品書必要）"
    QPushButton* cashRecordButton;   // Command4 "現金（記録のみ）"
    QPushButton* creditSlipButton;   // Command5 "売掛（納品書必要）"
    QPushButton* creditRecordButton; // Command6 "売掛（記録のみ）"
    QPushButton* moreProductsButton; // Command3 "商品選択へ"
    QPushButton* cancelButton;       // Command2 "キャンセル"

    // Writes the line buffer and the totals to the grid and the labels.
    void refreshSlipDisplay();
    // Writes the slip's rows and advances the slip counter, and tells the
    // operator what went wrong; false when nothing was stored.
    bool storeSlip();

private:
    void showCustomer();
    void fitGrid();
    void chooseAnotherProduct();
    void pay(int kind, bool printSlip);
    void cancel();

    SessionState& state_;
    CustomerDisplayFrame customerPanel; // "顧客相手先" and its fields
};

// The screen's opening: clears the slip, picks the customer (a picker closed
// without its "ＯＫ" ends the sale here and returns nullptr), shows the
// customer's history, then the product picker unless the previous order was
// repeated; returns the screen showing the slip.
QDialog* openSalesSlip(SessionState& state, QWidget* parent);
