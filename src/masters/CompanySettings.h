#pragma once
// The company settings screen frm設定会社: the shop's details, the two tax
// rates and which of them is the reduced one, the shop's registration
// number, the database and backup locations and the administrator code, as
// HMWcfg.dat holds them. Every change goes into the session at once (the
// registration number only once "ＯＫ" has checked it); "ＯＫ" writes the
// file (leaving the slip counter as it was) and reads it back, "中止"
// closes without writing.

#include "masters/MasterValues.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct SessionState;

class frm設定会社 : public QDialog {
public:
    explicit frm設定会社(SessionState& state, QWidget* parent = nullptr);

    static constexpr int BoxCount = 16;
    // The boxes Text1 … Text16 and the caption beside each (Label1 … Label16).
    std::array<QLineEdit*, BoxCount + 1> boxes{}; // boxes[n] is the box Textn; boxes[0] unused
    std::array<QLabel*, BoxCount + 1> captions{};
    QLineEdit* registrationBox;     // Text17 "登録番号", beside Label17
    QComboBox* reducedRateChoice;   // Combo軽減税率 "軽減税率": "消費税率１" or "消費税率２"
    QPushButton* okButton;     // Command1 "ＯＫ"
    QPushButton* cancelButton; // Command2 "中止"

    void confirm(); // "ＯＫ"
    void cancel();  // "中止"

    // The configuration value (0-based index of Configuration::values) a
    // box Text1 … Text16 is bound to.
    static int configurationIndex(int box);
    // The box's caption.
    static QString caption(int box);

private:
    void changed(int box);

    SessionState& state_;
    std::array<QString, BoxCount + 1> accepted_; // the text each box last held that was taken
    bool filling_ = false;
};
