#include "sales/ProductPicker.h"

#include "session/Routines.h"
#include "core/Text.h"
#include "db/Database.h"
#include "sales/ProductCatalog.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

const QString PickerTitle = QStringLiteral("商品選択");

QLabel* caption(const char* objectName, const char* text, QWidget* parent)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::fromUtf8(objectName));
    return label;
}

QLineEdit* box(const char* objectName, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromUtf8(objectName));
    return edit;
}

// Number boxes take a number as it is typed, full-width digits included.
QValidator* numberValidator(QObject* parent)
{
    static const QRegularExpression number(
        QStringLiteral("^[ \\x{3000}]*[+\\-\\x{FF0B}\\x{FF0D}]?[0-9\\x{FF10}-\\x{FF19}]*([.\\x{FF0E}][0-9\\x{FF10}-\\x{FF19}]*)?[ \\x{3000}]*$"));
    return new QRegularExpressionValidator(number, parent);
}

} // namespace

ProductPicker::ProductPicker(SessionState& state, const QString& name, bool withQuantity, QWidget* parent)
    : QDialog(parent), state_(state)
{
    setObjectName(name);
    setWindowTitle(PickerTitle);

    db_ = std::make_unique<Database>(state_.config.databasePath);

    departmentLabel = caption("Label1", "商品部門", this);
    departmentList = new QListWidget(this);
    departmentList->setObjectName(QStringLiteral("DBList1"));
    departmentLabel->setBuddy(departmentList);
    productLabel = caption("Label2", "商品", this);
    productList = new QListWidget(this);
    productList->setObjectName(QStringLiteral("DBList2"));
    productLabel->setBuddy(productList);

    kanaNameLabel = caption("Label3", "商品名カナ", this);
    kanaNameBox = box("Text1", this);
    kanaNameLabel->setBuddy(kanaNameBox);
    productNameLabel = caption("Label4", "商品名", this);
    productNameBox = box("Text2", this);
    productNameLabel->setBuddy(productNameBox);
    priceLabel = caption("Label5", "単価", this);
    priceBox = box("Text4", this);
    priceBox->setValidator(numberValidator(priceBox));
    priceBox->setAlignment(Qt::AlignRight);
    priceLabel->setBuddy(priceBox);
    if (withQuantity) {
        quantityLabel = caption("Label6", "個数", this);
        quantityBox = box("Text3", this);
        quantityBox->setValidator(numberValidator(quantityBox));
        quantityBox->setAlignment(Qt::AlignRight);
        quantityLabel->setBuddy(quantityBox);
    }
    okButton = new QPushButton(QStringLiteral("ＯＫ"), this);
    okButton->setObjectName(QStringLiteral("Command1"));
    cancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
    cancelButton->setObjectName(QStringLiteral("Command2"));
    for (QPushButton* b : {okButton, cancelButton})
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(b->text()) + 32);

    // Departments, products, then the product's boxes and the buttons.
    const int listWidth = fontMetrics().horizontalAdvance(QString(14, QChar(0x3042))) + 24;
    departmentList->setMinimumWidth(fontMetrics().horizontalAdvance(QString(10, QChar(0x3042))) + 24);
    productList->setMinimumWidth(listWidth);
    departmentList->setMinimumHeight(fontMetrics().height() * 14);
    productList->setMinimumHeight(fontMetrics().height() * 14);
    productNameBox->setMinimumWidth(fontMetrics().horizontalAdvance(QString(24, QChar(0x3042))) / 2 + 40);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    departmentLabel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    productLabel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* departments = new QVBoxLayout;
    departments->setSpacing(4);
    departments->addWidget(departmentLabel);
    departments->addWidget(departmentList, 1);
    auto* products = new QVBoxLayout;
    products->setSpacing(4);
    products->addWidget(productLabel);
    products->addWidget(productList, 1);
    auto* details = new QGridLayout;
    details->setVerticalSpacing(10);
    details->addWidget(kanaNameLabel, 0, 0);
    details->addWidget(kanaNameBox, 0, 1);
    details->addWidget(productNameLabel, 1, 0);
    details->addWidget(productNameBox, 1, 1);
    details->addWidget(priceLabel, 2, 0);
    details->addWidget(priceBox, 2, 1);
    if (quantityBox) {
        details->addWidget(quantityLabel, 3, 0);
        details->addWidget(quantityBox, 3, 1);
    }
    details->setRowStretch(4, 1);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    details->addLayout(buttons, 5, 0, 1, 2);
    layout->addLayout(departments);
    layout->addLayout(products, 1);
    layout->addLayout(details, 1);

    setTabOrder(departmentList, productList);
    setTabOrder(productList, kanaNameBox);
    setTabOrder(kanaNameBox, productNameBox);
    setTabOrder(productNameBox, priceBox);
    if (quantityBox) {
        setTabOrder(priceBox, quantityBox);
        setTabOrder(quantityBox, okButton);
    } else {
        setTabOrder(priceBox, okButton);
    }
    setTabOrder(okButton, cancelButton);
    enableEnterNavigation(this);

    // A click chooses; Enter or a double click on a row does the same for
    // the keyboard. Moving through the rows with the arrow keys does not.
    connect(departmentList, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { clickDepartment(departmentList->row(item)); });
    connect(departmentList, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { clickDepartment(departmentList->row(item)); });
    connect(productList, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { clickProduct(productList->row(item)); });
    connect(productList, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { clickProduct(productList->row(item)); });

    // The list starts with the products of department 1.
    chosen_.departmentCode = 1;
    loadDepartments();
    loadProducts(1);
    for (int row = 0; row < departmentList->count(); ++row)
        if (departmentList->item(row)->data(Qt::UserRole).toInt() == 1)
            departmentList->setCurrentRow(row);
    okButton->setVisible(false);
}

ProductPicker::~ProductPicker() = default;

void ProductPicker::showDatabaseError(const std::exception& e)
{
    const auto* dbError = dynamic_cast<const DatabaseError*>(&e);
    ui().showMessage(QStringLiteral("商品を読み込めませんでした。\n")
                         + (dbError ? dbError->databaseText() : QString::fromUtf8(e.what())),
                     PickerTitle);
}

void ProductPicker::loadDepartments()
{
    departmentList->clear();
    for (const DepartmentEntry& d : listDepartments(*db_)) {
        auto* item = new QListWidgetItem(d.name, departmentList);
        item->setData(Qt::UserRole, d.code);
    }
}

void ProductPicker::loadProducts(int department)
{
    productList->clear();
    for (const ProductEntry& p : listProducts(*db_, department)) {
        auto* item = new QListWidgetItem(p.name, productList);
        item->setData(Qt::UserRole, p.code);
    }
}

void ProductPicker::clickDepartment(int row)
{
    QListWidgetItem* item = departmentList->item(row);
    if (!item)
        return;
    try {
        const int department = item->data(Qt::UserRole).toInt();
        chosen_.departmentCode = std::int16_t(department);
        if (std::optional<int> tax = departmentTaxCategory(*db_, department))
            chosen_.taxCategory = std::int16_t(*tax);
        loadProducts(department);
    } catch (const std::exception& e) {
        showDatabaseError(e);
    }
}

void ProductPicker::clickProduct(int row)
{
    QListWidgetItem* item = productList->item(row);
    if (!item)
        return;
    try {
        const QString code = text::fixed(item->data(Qt::UserRole).toString(), 13);
        std::optional<ProductDetail> product = findProduct(*db_, code);
        if (!product)
            return;
        chosen_.productCode = code;
        chosen_.productName = text::fixed(product->name, 24);
        chosen_.kanaName = text::fixed(product->kanaName, 8);
        chosen_.unitPrice = product->price;
        kanaNameBox->setText(product->kanaName);
        productNameBox->setText(product->name);
        priceBox->setText(product->price.toString());
        productChosen();
    } catch (const std::exception& e) {
        showDatabaseError(e);
    }
}

bool ProductPicker::productIsChosen() const
{
    return !chosen_.productCode.trimmed().isEmpty();
}

// ---------------------------------------------------------------- frm商品選択

frm商品選択::frm商品選択(SessionState& state, QWidget* parent)
    : ProductPicker(state, QStringLiteral("frm商品選択"), true, parent)
{
    // Each opening starts with nothing chosen; department 1 until another
    // is clicked, tax category 0.
    clearProductBeingChosen(state_.product);
    clearProductBeingChosen(chosen_);
    chosen_.departmentCode = 1;

    connect(quantityBox, &QLineEdit::textChanged, this, [this] { quantityChanged(); });
    connect(okButton, &QPushButton::clicked, this, [this] { confirm(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });
}

void frm商品選択::productChosen()
{
    quantityBox->clear();
    quantityBox->setFocus();
    quantityChanged();
}

void frm商品選択::quantityChanged()
{
    okButton->setVisible(productIsChosen() && text::Val(quantityBox->text()) != 0);
}

void frm商品選択::confirm()
{
    if (text::Val(quantityBox->text()) == 0)
        return;
    try {
        const auto askUnitPrice = [] {
            return ui().inputText(QStringLiteral("商品単価を入力してください。"), QStringLiteral("単価入力"));
        };
        const SlipLineOutcome added = addChosenProduct(
            state_, chosen_, {kanaNameBox->text(), productNameBox->text(), priceBox->text(), quantityBox->text()},
            askUnitPrice);
        if (added == SlipLineOutcome::TooLarge)
            ui().showMessage(calculationTooLargeMessage(), calculationTooLargeTitle());
    } catch (const QuantityOutOfRange& e) {
        ui().showMessage(e.message(), QStringLiteral("個数入力"));
        quantityBox->selectAll();
        quantityBox->setFocus();
        return;
    } catch (const CurrencyOverflow&) {
        ui().showMessage(QStringLiteral("金額が大きすぎて計算できません。\n単価と個数を確かめてください。"),
                         QStringLiteral("金額オーバー"));
        return;
    } catch (const SlipBufferFull&) {
        ui().showMessage(QStringLiteral("これ以上の商品は、この伝票に追加できません。"), PickerTitle);
        return;
    }
    kanaNameBox->clear();
    productNameBox->clear();
    priceBox->clear();
    quantityBox->clear();
    clearProductBeingChosen(chosen_);
    accept();
}

void frm商品選択::cancel()
{
    clearProductBeingChosen(state_.product);
    reject();
}

// --------------------------------------------------------------- frm商品選択2

frm商品選択2::frm商品選択2(SessionState& state, QWidget* parent)
    : ProductPicker(state, QStringLiteral("frm商品選択2"), false, parent)
{
    // The session's product values stay as they are until "ＯＫ" or
    // "キャンセル": the close box leaves the caller's code untouched.
    chosen_ = state_.product;
    chosen_.departmentCode = 1;
    chosen_.productCode = text::fixed(QString(), 13);
    priceBox->setReadOnly(true);
    connect(okButton, &QPushButton::clicked, this, [this] { confirm(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });
}

void frm商品選択2::productChosen()
{
    okButton->setVisible(true);
}

void frm商品選択2::confirm()
{
    ProductBeingChosen& p = state_.product;
    p.departmentCode = chosen_.departmentCode;
    p.taxCategory = chosen_.taxCategory;
    p.productCode = chosen_.productCode;
    p.productName = chosen_.productName;
    accept();
}

void frm商品選択2::cancel()
{
    state_.product.productCode = text::fixed(QString(), 13);
    reject();
}
