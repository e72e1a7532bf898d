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

ProductPicker::ProductPicker(const QString& name, bool withQuantity, QWidget* parent) : QDialog(parent)
{
    setObjectName(name);
    setWindowTitle(PickerTitle);

    db_ = std::make_unique<Database>(session().config.databasePath);

    Label1 = caption("Label1", "商品部門", this);
    DBList1 = new QListWidget(this);
    DBList1->setObjectName(QStringLiteral("DBList1"));
    Label1->setBuddy(DBList1);
    Label2 = caption("Label2", "商品", this);
    DBList2 = new QListWidget(this);
    DBList2->setObjectName(QStringLiteral("DBList2"));
    Label2->setBuddy(DBList2);

    Label3 = caption("Label3", "商品名カナ", this);
    Text1 = box("Text1", this);
    Label3->setBuddy(Text1);
    Label4 = caption("Label4", "商品名", this);
    Text2 = box("Text2", this);
    Label4->setBuddy(Text2);
    Label5 = caption("Label5", "単価", this);
    Text4 = box("Text4", this);
    Text4->setValidator(numberValidator(Text4));
    Text4->setAlignment(Qt::AlignRight);
    Label5->setBuddy(Text4);
    if (withQuantity) {
        Label6 = caption("Label6", "個数", this);
        Text3 = box("Text3", this);
        Text3->setValidator(numberValidator(Text3));
        Text3->setAlignment(Qt::AlignRight);
        Label6->setBuddy(Text3);
    }
    Command1 = new QPushButton(QStringLiteral("ＯＫ"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("キャンセル"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    for (QPushButton* b : {Command1, Command2})
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(b->text()) + 32);

    // Departments, products, then the product's boxes and the buttons.
    const int listWidth = fontMetrics().horizontalAdvance(QString(14, QChar(0x3042))) + 24;
    DBList1->setMinimumWidth(fontMetrics().horizontalAdvance(QString(10, QChar(0x3042))) + 24);
    DBList2->setMinimumWidth(listWidth);
    DBList1->setMinimumHeight(fontMetrics().height() * 14);
    DBList2->setMinimumHeight(fontMetrics().height() * 14);
    Text2->setMinimumWidth(fontMetrics().horizontalAdvance(QString(24, QChar(0x3042))) / 2 + 40);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    Label1->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    Label2->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* departments = new QVBoxLayout;
    departments->setSpacing(4);
    departments->addWidget(Label1);
    departments->addWidget(DBList1, 1);
    auto* products = new QVBoxLayout;
    products->setSpacing(4);
    products->addWidget(Label2);
    products->addWidget(DBList2, 1);
    auto* details = new QGridLayout;
    details->setVerticalSpacing(10);
    details->addWidget(Label3, 0, 0);
    details->addWidget(Text1, 0, 1);
    details->addWidget(Label4, 1, 0);
    details->addWidget(Text2, 1, 1);
    details->addWidget(Label5, 2, 0);
    details->addWidget(Text4, 2, 1);
    if (Text3) {
        details->addWidget(Label6, 3, 0);
        details->addWidget(Text3, 3, 1);
    }
    details->setRowStretch(4, 1);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    details->addLayout(buttons, 5, 0, 1, 2);
    layout->addLayout(departments);
    layout->addLayout(products, 1);
    layout->addLayout(details, 1);

    setTabOrder(DBList1, DBList2);
    setTabOrder(DBList2, Text1);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Text4);
    if (Text3) {
        setTabOrder(Text4, Text3);
        setTabOrder(Text3, Command1);
    } else {
        setTabOrder(Text4, Command1);
    }
    setTabOrder(Command1, Command2);
    enableEnterNavigation(this);

    // A click chooses; Enter or a double click on a row does the same for
    // the keyboard. Moving through the rows with the arrow keys does not.
    connect(DBList1, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { clickDepartment(DBList1->row(item)); });
    connect(DBList1, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { clickDepartment(DBList1->row(item)); });
    connect(DBList2, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { clickProduct(DBList2->row(item)); });
    connect(DBList2, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { clickProduct(DBList2->row(item)); });

    // The list starts with the products of department 1.
    chosen_.departmentCode = 1;
    loadDepartments();
    loadProducts(1);
    for (int row = 0; row < DBList1->count(); ++row)
        if (DBList1->item(row)->data(Qt::UserRole).toInt() == 1)
            DBList1->setCurrentRow(row);
    Command1->setVisible(false);
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
    DBList1->clear();
    for (const DepartmentEntry& d : listDepartments(*db_)) {
        auto* item = new QListWidgetItem(d.name, DBList1);
        item->setData(Qt::UserRole, d.code);
    }
}

void ProductPicker::loadProducts(int department)
{
    DBList2->clear();
    for (const ProductEntry& p : listProducts(*db_, department)) {
        auto* item = new QListWidgetItem(p.name, DBList2);
        item->setData(Qt::UserRole, p.code);
    }
}

void ProductPicker::clickDepartment(int row)
{
    QListWidgetItem* item = DBList1->item(row);
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
    QListWidgetItem* item = DBList2->item(row);
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
        Text1->setText(product->kanaName);
        Text2->setText(product->name);
        Text4->setText(product->price.toString());
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

frm商品選択::frm商品選択(QWidget* parent) : ProductPicker(QStringLiteral("frm商品選択"), true, parent)
{
    // Each opening starts with nothing chosen; department 1 until another
    // is clicked, tax category 0.
    clearProductBeingChosen(session().product);
    clearProductBeingChosen(chosen_);
    chosen_.departmentCode = 1;

    connect(Text3, &QLineEdit::textChanged, this, [this] { quantityChanged(); });
    connect(Command1, &QPushButton::clicked, this, [this] { confirm(); });
    connect(Command2, &QPushButton::clicked, this, [this] { cancel(); });
}

void frm商品選択::productChosen()
{
    Text3->clear();
    Text3->setFocus();
    quantityChanged();
}

void frm商品選択::quantityChanged()
{
    Command1->setVisible(productIsChosen() && text::Val(Text3->text()) != 0);
}

void frm商品選択::confirm()
{
    if (text::Val(Text3->text()) == 0)
        return;
    try {
        addChosenProduct(session(), chosen_, {Text1->text(), Text2->text(), Text4->text(), Text3->text()});
    } catch (const QuantityOutOfRange& e) {
        ui().showMessage(e.message(), QStringLiteral("個数入力"));
        Text3->selectAll();
        Text3->setFocus();
        return;
    } catch (const CurrencyOverflow&) {
        ui().showMessage(QStringLiteral("金額が大きすぎて計算できません。\n単価と個数を確かめてください。"),
                         QStringLiteral("金額オーバー"));
        return;
    } catch (const SlipBufferFull&) {
        ui().showMessage(QStringLiteral("これ以上の商品は、この伝票に追加できません。"), PickerTitle);
        return;
    }
    Text1->clear();
    Text2->clear();
    Text4->clear();
    Text3->clear();
    clearProductBeingChosen(chosen_);
    accept();
}

void frm商品選択::cancel()
{
    clearProductBeingChosen(session().product);
    reject();
}

// --------------------------------------------------------------- frm商品選択2

frm商品選択2::frm商品選択2(QWidget* parent) : ProductPicker(QStringLiteral("frm商品選択2"), false, parent)
{
    // The session's product values stay as they are until "ＯＫ" or
    // "キャンセル": the close box leaves the caller's code untouched.
    chosen_ = session().product;
    chosen_.departmentCode = 1;
    chosen_.productCode = text::fixed(QString(), 13);
    Text4->setReadOnly(true);
    connect(Command1, &QPushButton::clicked, this, [this] { confirm(); });
    connect(Command2, &QPushButton::clicked, this, [this] { cancel(); });
}

void frm商品選択2::productChosen()
{
    Command1->setVisible(true);
}

void frm商品選択2::confirm()
{
    ProductBeingChosen& p = session().product;
    p.departmentCode = chosen_.departmentCode;
    p.taxCategory = chosen_.taxCategory;
    p.productCode = chosen_.productCode;
    p.productName = chosen_.productName;
    accept();
}

void frm商品選択2::cancel()
{
    session().product.productCode = text::fixed(QString(), 13);
    reject();
}
