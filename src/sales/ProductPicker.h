#pragma once
// The product pickers: frm商品選択 adds one line to the sales slip (product,
// quantity, and the name and price for this sale), frm商品選択2 only returns
// the chosen product's code and name (product sales counts). Both list the
// departments and the products of the department clicked, department 1 at
// opening.

#include "session/Session.h"

#include <QDialog>
#include <memory>

class Database;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class ProductPicker : public QDialog {
public:
    ~ProductPicker() override;

    QLabel* departmentLabel;     // Label1 "商品部門"
    QListWidget* departmentList; // DBList1: shows 部門名, item data 部門コード
    QLabel* productLabel;        // Label2 "商品"
    QListWidget* productList;    // DBList2: shows 単品名称, item data 単品コード
    QLabel* kanaNameLabel;       // Label3 "商品名カナ"
    QLineEdit* kanaNameBox;      // Text1
    QLabel* productNameLabel;    // Label4 "商品名"
    QLineEdit* productNameBox;   // Text2
    QLabel* priceLabel;          // Label5 "単価"
    QLineEdit* priceBox;         // Text4
    QLabel* quantityLabel = nullptr; // Label6 "個数" (sales picker only)
    QLineEdit* quantityBox = nullptr; // Text3
    QPushButton* okButton;       // Command1 "ＯＫ", hidden until the choice is complete
    QPushButton* cancelButton;   // Command2 "キャンセル"

    // What the picker has chosen so far: department, tax category, product
    // code (13 characters) and the product's name (24 characters).
    const ProductBeingChosen& chosen() const { return chosen_; }

    // A click on a department or product row, as the operator's click.
    void clickDepartment(int row);
    void clickProduct(int row);

protected:
    ProductPicker(SessionState& state, const QString& name, bool withQuantity, QWidget* parent);
    bool productIsChosen() const;
    virtual void productChosen() = 0;
    void showDatabaseError(const std::exception& e);

    SessionState& state_;
    std::unique_ptr<Database> db_;
    ProductBeingChosen chosen_;

private:
    void loadDepartments();
    void loadProducts(int department);
};

// The sales slip's picker: "ＯＫ" adds the line (asking for a price of 0)
// to the slip of `state` and recomputes the slip totals.
class frm商品選択 : public ProductPicker {
public:
    explicit frm商品選択(SessionState& state, QWidget* parent = nullptr);

    // Quantity as typed, for the "ＯＫ" button's visibility.
    void quantityChanged();
    void confirm();
    void cancel();

protected:
    void productChosen() override;
};

// The plain picker: "ＯＫ" leaves the chosen code and name in the product
// values of `state`; "キャンセル" blanks the code (no choice); the close box
// leaves the code as it was before the picker opened.
class frm商品選択2 : public ProductPicker {
public:
    explicit frm商品選択2(SessionState& state, QWidget* parent = nullptr);

    void confirm();
    void cancel();

protected:
    void productChosen() override;
};
