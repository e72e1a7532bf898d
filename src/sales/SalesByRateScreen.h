#pragma once
// frm税率別売上一覧 ("税率別売上一覧"): the sales of a date range by
// consumption-tax rate, posted and not yet posted, apart and together, in a
// read-only grid, and their print-out.

#include "sales/SalesByRate.h"

#include <QDialog>
#include <memory>
#include <optional>

struct SessionState;
class Database;
class DateBoxes;
class QLabel;
class QPushButton;
class QSpinBox;
class QStandardItemModel;
class QTableView;

class frm税率別売上一覧 : public QDialog {
public:
    explicit frm税率別売上一覧(SessionState& state, QWidget* parent = nullptr);
    ~frm税率別売上一覧() override;

    QLabel* periodCaption;     // Label期間 "期間"
    QSpinBox* fromYearBox;     // Text開始年
    QSpinBox* fromMonthBox;    // Text開始月
    QSpinBox* fromDayBox;      // Text開始日
    QLabel* fromLabel;         // Labelから "から"
    QSpinBox* toYearBox;       // Text終了年
    QSpinBox* toMonthBox;      // Text終了月
    QSpinBox* toDayBox;        // Text終了日
    QLabel* toLabel;           // Labelまで "まで"
    QTableView* figuresGrid;   // grd税率別売上: 区分, 税率, 税込金額, 税抜金額, 消費税額
    QLabel* statusLabel;       // lbl集計結果: what was counted, or that nothing was
    QPushButton* computeButton; // cmd集計 "集計"
    QPushButton* csvOutputButton; // cmdCSV "CSV出力": the figures as a CSV file
    QPushButton* printButton;  // cmd印刷 "印刷"
    QPushButton* pdfButton;    // cmdPDF "ＰＤＦ保存": the list as a PDF file
    QPushButton* finishButton; // cmd終了 "終了"

    Date fromDate() const;
    Date toDate() const;
    // The figures last shown, or nothing before the first "集計" (and
    // after a refused range).
    const std::optional<SalesByRate>& figures() const { return figures_; }

    // "集計": computes the range of the boxes and shows it. Returns false,
    // the operator told why, when the range was refused.
    bool compute();
    // "印刷": computes the range of the boxes again, shows it and prints it.
    void print();
    void savePdf();

private:
    void showFigures(const SalesByRate& figures);
    void clearFigures();
    SessionState& state_;
    std::unique_ptr<Database> db_;
    DateBoxes* from_;
    DateBoxes* to_;
    QStandardItemModel* rows_;
    std::optional<SalesByRate> figures_;
};
