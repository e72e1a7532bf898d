#pragma once
// The sales slip screen frm売上: the chosen customer, up to five product
// lines with their totals and consumption tax, and the four payment buttons
// that print (or not) and store the slip.

#include "customers/CustomerDisplayFrame.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;

class frm売上 : public QDialog {
public:
    // Shows the slip as the session holds it; the opening flow (customer,
    // history, first product) runs before, in openSalesSlip().
    explicit frm売上(QWidget* parent = nullptr);

    static constexpr int MaxLines = 5;

    QGroupBox* Frame1; // "顧客相手先"
    QLabel* lbl顧客コード;
    QLabel* lbl顧客名前;
    QLabel* lbl顧客カナ名前;
    QLabel* lbl顧客住所１;
    QLabel* lbl顧客住所２;
    QLabel* lbl顧客電話番号;
    QLabel* lbl郵便番号;
    QLabel* lbl売上日;
    QLabel* lbl請求額;
    QLabel* lbl既入金額;
    QLabel* lbl締後売上額;

    // Heading row and rows 1 to 5 (table rows 0 to 4 under the heading).
    QTableWidget* fxg売上商品;

    QLabel* lbl外税1売上金額;
    QLabel* lbl外税2売上金額;
    QLabel* lbl内税1売上金額;
    QLabel* lbl内税2売上金額;
    QLabel* lbl非課税売上金額;
    QLabel* lbl消費税額;
    QLabel* lbl合計金額;
    QLabel* lbl税率1;
    QLabel* lbl税率2;

    QPushButton* Command1; // "現金（納品書必要）"
    QPushButton* Command4; // "現金（記録のみ）"
    QPushButton* Command5; // "売掛（納品書必要）"
    QPushButton* Command6; // "売掛（記録のみ）"
    QPushButton* Command3; // "商品選択へ"
    QPushButton* Command2; // "キャンセル"

    // Writes the line buffer and the totals to the grid and the labels.
    void RefreshSlipDisplay();
    // Writes the slip's rows and advances the slip counter; false when
    // nothing was stored.
    bool StoreSlip();

private:
    void showCustomer();
    void fitGrid();
    void chooseAnotherProduct();
    void pay(int kind, bool printSlip);
    void cancel();

    CustomerDisplayFrame customer_; // "顧客相手先"
};

// The screen's opening: clears the slip, picks the customer (a picker closed
// without its "ＯＫ" ends the sale here and returns nullptr), shows the
// customer's history, then the product picker unless the previous order was
// repeated; returns the screen showing the slip.
QDialog* openSalesSlip(QWidget* parent);
