#pragma once
// frm売掛FD入力: the screen of the direct-debit result run. The operator
// chooses the settlement method whose file is read, the means the payments
// go to and the payment date; the run (BankDebitResult.h) books the file and
// the screen tells what was recorded, what was not, and why.

#include "db/Database.h"

#include <QDialog>

class DateBoxes;
class QLabel;
class QListView;
class QPushButton;
class QSpinBox;
class ValueQueryModel;
struct SessionState;

class frm売掛FD入力 : public QDialog {
public:
    // The payment date the operator sets becomes the session's slip date.
    explicit frm売掛FD入力(SessionState& state, QWidget* parent = nullptr);
    ~frm売掛FD入力() override;

    QListView* methodList;                // DBList1 "処理する相手先": shows 決済方法, yields 決済方法コード
    ValueQueryModel* methodModel;         // Data1, its record source
    QListView* meansOfPaymentList;        // DBList2 "入金先": shows 勘定科目名, yields 科目番号
    ValueQueryModel* meansOfPaymentModel; // Data2, its record source
    DateBoxes* dateBoxes;                 // "入金年　　　　　月　　　　　　　日"
    QSpinBox* yearBox;                    // Text年
    QSpinBox* monthBox;                   // Text月
    QSpinBox* dayBox;                     // Text日
    QLabel* driveFolderLabel;             // lblドライブ: the folder standing for drive A:
    QPushButton* driveFolderButton;       // cmdドライブ "フォルダ変更…"
    QPushButton* startButton;             // Command1 "後処理開始", shown once a method and a means are chosen
    QPushButton* finishButton;            // Command2 "終了・中止"

    void chooseMethod(int row);
    void chooseMeansOfPayment(int row);
    void start();             // book the result file
    void finish();            // close the screen
    void changeDriveFolder(); // let the operator choose the folder for drive A:

    // The file name of the chosen method; "1" while none is chosen.
    const QString& fileName() const { return fileName_; }
    const QString& methodName() const { return methodName_; }
    // The account of the chosen means of payment; 0 while none is chosen.
    int debitAccount() const { return debitAccount_; }

private:
    void updateStartVisibility();

    SessionState& state_;
    Database db_;
    int debitAccount_ = 0;
    QString fileName_;
    QString methodName_;
};
