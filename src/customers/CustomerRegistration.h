#pragma once
// The registration of a new customer (frm顧客新規登録): seven boxes whose
// captions say what each takes; "追加(&A)" hands their texts to
// registerCustomer and shows its refusal, the typed values kept.

#include "customers/CustomerRecords.h"

#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
struct SessionState;

class frm顧客新規登録 : public QDialog {
public:
    explicit frm顧客新規登録(SessionState& state, QWidget* parent = nullptr);

    static constexpr int BoxCount = 7;
    // 顧客コード, 顧客名前, 顧客名前カナ, 顧客電話番号, 顧客郵便番号,
    // 顧客住所１, 顧客住所２ (txtFields_0 … txtFields_6) and their captions
    // (lblLabels_0 … lblLabels_6).
    std::array<QLineEdit*, BoxCount> boxes{};
    std::array<QLabel*, BoxCount> captions{};
    QPushButton* addButton;   // cmdAdd "追加(&A)"
    QPushButton* closeButton; // cmdClose "閉じる(&C)"

    void addClicked();   // "追加(&A)"
    void closeClicked(); // "閉じる(&C)"

private:
    void startNewRecord();

    SessionState& state_;
};
