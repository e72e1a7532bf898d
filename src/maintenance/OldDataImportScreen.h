#pragma once
// The screen frm旧データ取り込み ("旧データの取り込み"): the operator names the
// old program's database file, the program reads it into a new database
// beside the live one and shows what it found per table with its checks;
// only "置き換える" puts it in place of the live database (the live one kept
// beside it). Leaving the screen otherwise changes nothing.

#include "maintenance/OldDataMove.h"

#include <QDialog>
#include <optional>

struct SessionState;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class frm旧データ取り込み : public QDialog {
public:
    explicit frm旧データ取り込み(SessionState& state, QWidget* parent = nullptr);
    ~frm旧データ取り込み() override;

    QLineEdit* fileBox;          // Text旧ファイル: the old database file
    QPushButton* browseButton;   // cmd参照 "参照…"
    QPushButton* readButton;     // cmd読込 "読み込み"
    QTableWidget* summaryGrid;   // Grid取り込み: one row per table
    QLabel* notesLabel;          // lbl確認: the checks and what is left behind
    QPushButton* replaceButton;  // cmd置換 "置き換える": only when the checks passed
    QPushButton* finishButton;   // cmd終了 "終了"

    // Reads the file named in the box into the new database and shows the
    // summary; false when it could not (the operator has been told).
    bool readOldFile();
    // The same for old data already opened (the file, or tables a test
    // builds).
    bool readOldData(const OldDataSource& source);
    // Asks, then puts the read data in place of the live database.
    bool replaceLiveDatabase();

private:
    void showStaging();
    // Forgets what was read: the staged file removed, the summary emptied.
    void discard();

    SessionState& state_;
    std::optional<OldDataStaging> staging_;
};
