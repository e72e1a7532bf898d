#pragma once
// The daily update screen frm更新日次: the review of the holding tables
// comes first, then the question; "ＯＫ" posts every holding row dated today
// or earlier.

#include <QDialog>

struct SessionState;
class QLabel;
class QPushButton;

class frm更新日次 : public QDialog {
public:
    // Posts into the database `state` is configured for.
    explicit frm更新日次(SessionState& state, QWidget* parent = nullptr);

    QLabel* questionLabel;     // Label1 "データの転記をしてもよろしいか？"
    QPushButton* okButton;     // Command2 "ＯＫ": posts
    QPushButton* cancelButton; // Command1 "キャンセル"

    void post();   // "ＯＫ"
    void cancel(); // "キャンセル"

private:
    SessionState& state_;
};

// The screen's opening: the pre-posting review, modally, then the screen
// with its question.
QDialog* openDailyUpdate(SessionState& state, QWidget* parent);
