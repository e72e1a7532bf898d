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

class frm売掛FD入力 : public QDialog {
public:
    explicit frm売掛FD入力(QWidget* parent = nullptr);
    ~frm売掛FD入力() override;

    QListView* DBList1;       // "処理する相手先": shows 決済方法, yields 決済方法コード
    ValueQueryModel* Data1;   // its record source
    QListView* DBList2;       // "入金先": shows 勘定科目名, yields 科目番号
    ValueQueryModel* Data2;   // its record source
    DateBoxes* dateBoxes;     // "入金年　　　　　月　　　　　　　日"
    QSpinBox* Text年;
    QSpinBox* Text月;
    QSpinBox* Text日;
    QLabel* lblドライブ;      // the folder standing for drive A:
    QPushButton* cmdドライブ; // "フォルダ変更…"
    QPushButton* Command1;    // "後処理開始", shown once a method and a means are chosen
    QPushButton* Command2;    // "終了・中止"

    void DBList1_Click(int row);
    void DBList2_Click(int row);
    void Command1_Click();
    void Command2_Click();
    void cmdドライブ_Click();

    // The file name of the chosen method; "1" while none is chosen.
    const QString& fileName() const { return fileName_; }
    const QString& methodName() const { return methodName_; }

private:
    void updateStartVisibility();

    Database db_;
    QString fileName_;
    QString methodName_;
};
