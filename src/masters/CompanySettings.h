#pragma once
// The company settings screen frm設定会社: the shop's details, the two tax
// rates, the database and backup locations and the administrator code, as
// HMWcfg.dat holds them. Every change goes into the session at once; "ＯＫ"
// writes the file (leaving the slip counter as it was) and reads it back,
// "中止" closes without writing.

#include <QDialog>
#include <array>
#include <cstdint>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// The tax-rate rule: a rate whose numeric value is above 1 or negative
// becomes "0"; any other text stays as typed (an emptied box stays empty).
QString checkedTaxRate(const QString& typed);
// The administrator code's value: the numeric value of the text rounded to
// the nearest whole number, a half to the even neighbour; nullopt beyond the
// range of a Long.
std::optional<std::int32_t> administratorCodeValue(const QString& typed);
// True when the text holds only what a number is typed with: digits, sign,
// decimal point and blanks, half- or full-width.
bool numberCharactersOnly(const QString& typed);

class frm設定会社 : public QDialog {
public:
    explicit frm設定会社(QWidget* parent = nullptr);

    static constexpr int BoxCount = 16;
    // The boxes Text1 … Text16 and the caption beside each (Label1 … Label16).
    std::array<QLineEdit*, BoxCount + 1> boxes{}; // boxes[n] is the box Textn; boxes[0] unused
    std::array<QLabel*, BoxCount + 1> captions{};
    QPushButton* okButton;     // Command1 "ＯＫ"
    QPushButton* cancelButton; // Command2 "中止"

    void confirm(); // "ＯＫ"
    void cancel();  // "中止"

    // The configuration value (0-based index of Configuration::values) a
    // box is bound to.
    static int configurationIndex(int box);
    // The box's caption.
    static QString caption(int box);

private:
    void changed(int box);
    std::array<QString, BoxCount + 1> accepted_; // the text each box last held that was taken
    bool filling_ = false;
};
