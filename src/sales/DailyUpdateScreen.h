#pragma once
// The daily update screen frm更新日次: the review of the holding tables
// comes first, then the question; "ＯＫ" posts every holding row dated today
// or earlier.

#include <QDialog>

class QLabel;
class QPushButton;

class frm更新日次 : public QDialog {
public:
    explicit frm更新日次(QWidget* parent = nullptr);

    QLabel* Label1;        // "データの転記をしてもよろしいか？"
    QPushButton* Command2; // "ＯＫ": posts
    QPushButton* Command1; // "キャンセル"

    void Command2_Click();
    void Command1_Click();
};

// The screen's opening: the pre-posting review, modally, then the screen
// with its question.
QDialog* openDailyUpdate(QWidget* parent);
