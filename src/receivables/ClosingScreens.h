#pragma once
// The closing screens of the receivables: invoice issuing and its
// confirmation, receipt issuing and its confirmation, the balance change
// and the balance list; and the customer frame they share.

#include <QGroupBox>

class QHBoxLayout;
class QLineEdit;
class QListView;
class QPushButton;
class QSpinBox;
class ValueQueryModel;
struct CustomerAccount;

// Makes "frm売掛請求書発行", "frm売掛領収書発行", "frm売掛領収書画面確認",
// "frm売掛残高変更" and "frm売掛残高一覧" available to openScreen. The
// invoice confirmation, which needs the closing date, is opened by
// openInvoiceConfirmation() (InvoiceIssuingScreens.h).
void registerClosingScreens();

// The frame "顧客相手先": the customer's details and its three receivable
// amounts in read-only boxes, each with its column as object name and a
// buddy label as caption.
class CustomerFrame : public QGroupBox {
public:
    explicit CustomerFrame(QWidget* parent);
    void showAccount(const CustomerAccount& account);

    QLineEdit* codeBox;              // 顧客コード
    QLineEdit* nameBox;              // 顧客名前
    QLineEdit* kanaNameBox;          // 顧客名前カナ
    QLineEdit* address1Box;          // 顧客住所１
    QLineEdit* address2Box;          // 顧客住所２
    QLineEdit* telephoneBox;         // 顧客電話番号
    QLineEdit* postalCodeBox;        // 顧客郵便番号
    QLineEdit* lastInvoiceBox;       // 顧客売掛前回請求金額 "請求額"
    QLineEdit* paymentsBox;          // 顧客売掛入金額 "既入金額"
    QLineEdit* salesSinceClosingBox; // 顧客売掛締後売上額 "締後売上額"
};

// The day of the month a closing-day or collection-day box stands for (out
// of range is 31, the month's end); the box is set to show it.
int settleDayBox(QSpinBox* box);

// A button of the closing screens, found by its object name.
QPushButton* closingButton(QWidget* parent, const QString& objectName, const QString& caption);

// The box of a closing or collection day. Anything above 31 or below 0 is
// taken as the month's end (settleDayBox); the range lets such a number be
// typed so that the rule can apply. The box reports each keystroke.
QSpinBox* dayOfMonthBox(QWidget* parent, const QString& objectName);

// The lower half both issuing screens share: "対象顧客" over the list of the
// day's customers (`DBList1` over `Data1`), and beside it `Command1`, which
// issues for the whole day (captioned `byDayCaption`), "個別顧客" over
// `Command2` ("個別顧客発行"), and `Command3` ("終了") at the bottom.
struct IssuingPanel {
    QListView* list;
    ValueQueryModel* model;
    QPushButton* byDay;
    QPushButton* single;
    QPushButton* close;
    QHBoxLayout* layout;
};
IssuingPanel issuingPanel(QWidget* parent, const QString& byDayCaption);
