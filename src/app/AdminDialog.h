#pragma once
// The administrator screen frm管理者: the code typed here unlocks the
// administrator menus of the main window for the rest of the run.

#include <QDialog>
#include <cstdint>
#include <functional>

class QLineEdit;
class QPushButton;
class QLabel;

// True when the typed text is the administrator code. Text that is not a
// number never matches (so a code of 0 is not opened by typing letters).
bool administratorCodeMatches(const QString& typed, std::int32_t adminCode);

class frm管理者 : public QDialog {
public:
    frm管理者(std::int32_t adminCode, QWidget* parent = nullptr);

    QLabel* promptLabel;   // Label1 "管理者用パスワードを入力してください。"
    QLineEdit* codeBox;    // Text1: the code, typed hidden
    QPushButton* okButton; // Command1 "ＯＫ"
    // Called when the typed code matches.
    std::function<void()> onUnlock;

private:
    void confirm();
    std::int32_t adminCode_;
};
