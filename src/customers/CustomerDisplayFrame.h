#pragma once
// The frame "顧客相手先" of the sales slip, the payment and the gas entry:
// the chosen customer's code, names, address, telephone and postal code on
// the left and its three receivable amounts on the right, each a display
// field beside its caption. Each screen gives the fields (and the gas entry
// its captions) the object names of its own design; the screens reach them
// through the frame alone, never through members of their own.

#include <array>

class QGridLayout;
class QGroupBox;
class QLabel;
class QWidget;
struct CustomerCard;

class CustomerDisplayFrame {
public:
    // The fields in this order: 顧客コード, 顧客名前, 顧客カナ名前, 顧客住所,
    // its second line, 顧客電話番号, 郵便番号, 請求額, 既入金額, 締後売上額.
    static constexpr int Fields = 10;
    // Every field but the address's second line has a caption, in the same
    // order.
    static constexpr int Captions = 9;

    // `captionNames` null: each caption is named "cap" + its text.
    CustomerDisplayFrame(QWidget* parent, const std::array<const char*, Fields>& fieldNames,
                         const std::array<const char*, Captions>* captionNames = nullptr);

    // Shows the customer's details and amounts.
    void show(const CustomerCard& customer) const;

    QGroupBox* frame;   // named "Frame1"
    QGridLayout* grid;  // where a screen adds a field of its own (columns 2-3 of row 0 are free)
    std::array<QLabel*, Fields> fields;
    std::array<QLabel*, Captions> captions;
};
