#pragma once
// frm売掛FD出力: lists the customers of one settlement method who have an
// amount billed on their last invoice and writes the bank's request file
// into the folder that stands for drive A:. Also the row that shows and
// changes that folder, which both bank screens carry.

#include "db/Database.h"
#include "receivables/BankDebitFile.h"

#include <QDialog>
#include <functional>
#include <optional>

class DateBoxes;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QSpinBox;
class QTableView;
class ValueQueryModel;

// ------------------------------------------------------------ the drive folder

// Asks the operator for another folder to stand for drive A:; an empty
// text when cancelled.
using FolderChooser = std::function<QString(QWidget* parent, const QString& current)>;
// Replaces the folder dialog (tests script it); an empty chooser returns to
// the dialog.
void setBankDriveFolderChooser(FolderChooser chooser);
// Runs the chooser and makes its folder the drive; true when one was chosen.
bool chooseBankDriveFolder(QWidget* parent);
// The row "ドライブＡ：" both bank screens show: the folder standing for
// drive A: in a sunken label `lblドライブ` and the button `cmdドライブ`
// ("フォルダ変更…") that changes it.
QHBoxLayout* bankDriveRow(QWidget* parent, QLabel*& folder, QPushButton*& change);

// ------------------------------------------------------------ the screen

class frm売掛FD出力 : public QDialog {
public:
    explicit frm売掛FD出力(QWidget* parent = nullptr);
    ~frm売掛FD出力() override;

    QListView* DBList1;          // "決済方法": shows 決済方法, yields 決済方法コード
    ValueQueryModel* Data1;      // its record source
    DateBoxes* dateBoxes;        // "引落日"
    QSpinBox* Text年;
    QSpinBox* Text月;
    QSpinBox* Text日;
    QTableView* DBGrid1;         // "該当顧客残高一覧"
    ValueQueryModel* Data2;      // its record source
    QLineEdit* Text件数;         // "件数"
    QLineEdit* Text合計金額;     // "合計金額"
    QLabel* lblドライブ;         // the folder standing for drive A:
    QPushButton* cmdドライブ;    // "フォルダ変更…"
    QPushButton* Command1;       // "ＦＤ出力", shown when the method has customers to debit
    QPushButton* Command2;       // "終了"

    void DBList1_Click(int row);
    void Command1_Click();
    void Command2_Click();
    void cmdドライブ_Click();

    // The debit date, rebuilt whenever a date box changes.
    Date debitDate() const { return debitDate_; }

private:
    void showSelection();

    Database db_;
    std::optional<bankfile::SettlementMethod> method_;
    Date debitDate_;
};
