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
struct SessionState;

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
    explicit frm売掛FD出力(SessionState& state, QWidget* parent = nullptr);
    ~frm売掛FD出力() override;

    QListView* methodList;          // DBList1 "決済方法": shows 決済方法, yields 決済方法コード
    ValueQueryModel* methodModel;   // Data1, its record source
    DateBoxes* dateBoxes;           // "引落日"
    QSpinBox* yearBox;              // Text年
    QSpinBox* monthBox;             // Text月
    QSpinBox* dayBox;               // Text日
    QTableView* customerGrid;       // DBGrid1 "該当顧客残高一覧"
    ValueQueryModel* customerModel; // Data2, its record source
    QLineEdit* countBox;            // Text件数 "件数"
    QLineEdit* totalBox;            // Text合計金額 "合計金額"
    QLabel* driveFolderLabel;       // lblドライブ: the folder standing for drive A:
    QPushButton* driveFolderButton; // cmdドライブ "フォルダ変更…"
    QPushButton* writeButton;       // Command1 "ＦＤ出力", shown when the method has customers to debit
    QPushButton* finishButton;      // Command2 "終了"

    void chooseMethod(int row);
    void writeFile();         // write the request file for the listed customers
    void finish();            // close the screen
    void changeDriveFolder(); // let the operator choose the folder for drive A:

    // The debit date, rebuilt whenever a date box changes.
    Date debitDate() const { return debitDate_; }

private:
    void showSelection();

    SessionState& state_;
    Database db_;
    std::optional<bankfile::SettlementMethod> method_;
    Date debitDate_;
};
