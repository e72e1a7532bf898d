#pragma once
// The backup screen frmバックアップ: copies the database and HMWcfg.dat to
// one of the two configured backup directories, and copies them back.

#include <QDialog>

struct SessionState;
class QLabel;
class QPushButton;

class frmバックアップ : public QDialog {
public:
    // Backs up and restores the files `state` is configured with; a
    // restore reads the restored HMWcfg.dat into `state`.
    explicit frmバックアップ(SessionState& state, QWidget* parent = nullptr);

    QLabel* headingLabel;        // Label1 "データのバックアップまたは復元を行います。"
    QPushButton* backUpButton;   // Command1 "バックアップ": to directory 1
    QPushButton* restoreButton;  // Command2 "復元": from directory 1
    QPushButton* backUp2Button;  // Command4 "バックアップ２": to directory 2
    QPushButton* restore2Button; // Command5 "復元２": from directory 2
    QPushButton* finishButton;   // Command3 "終了"

    // Backs up to / restores from directory `number` (1 or 2), asking first.
    void backUp(int number);
    void restore(int number);

private:
    SessionState& state_;
};
