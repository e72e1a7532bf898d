#pragma once
// The year-end update frm更新年次: the period-end date, the carry-forward of
// the balance-sheet balances into 期首残高 and the deletion of the closed
// period's journal rows, after two confirmations.

#include "db/Database.h"
#include "session/Session.h"

#include <QDialog>

class DateBoxes;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;
class ValueQueryModel;

class frm更新年次 : public QDialog {
public:
    explicit frm更新年次(SessionState& state, QWidget* parent = nullptr);
    ~frm更新年次() override;

    QLabel* headingLabel; // Label1 "残高の繰り越し処理"
    DateBoxes* dateBoxes; // "期末　年　月　　日"
    QSpinBox* yearBox;    // Text7
    QSpinBox* monthBox;   // Text8
    QSpinBox* dayBox;     // Text9
    QTableView* chartGrid;      // DBGrid1: the chart with its balances
    ValueQueryModel* chartRows; // Data1
    QPushButton* runButton;     // Command1 "実行"
    QPushButton* finishButton;  // Command4 "中止・終了"

    void run();
    void finish();

private:
    void showChart();

    Database db_;
};

inline const QString YearEndTitle = QStringLiteral("残高の繰越処理");
inline const QString YearEndDateQuestion = QStringLiteral("期末の日付は、上記の数値でよろしいですか？");
inline const QString YearEndDeleteQuestion =
    QStringLiteral("残高の繰越処理をし過去の経理データを削除します。よろしいですか？");
inline const QString YearEndDoneMessage = QStringLiteral("残高の繰越処理、過去の経理データの削除が、完了しました。");
inline const QString YearEndDoneTitle = QStringLiteral("年次更新完了");
