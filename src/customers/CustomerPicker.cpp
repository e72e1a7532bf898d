#include "customers/CustomerPicker.h"

#include "session/Session.h"
#include "core/Text.h"
#include "ui/DateBoxes.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <functional>
#include <iterator>

namespace {

// Kana buttons stand as in the table of the kana: one column per consonant
// (あ か さ … わ), one row per vowel; や, ゆ, よ take the rows of あ, う, お.
QPoint kanaButtonCell(int index)
{
    if (index < 35)
        return {index / 5, index % 5};
    if (index < 38)
        return {7, (index - 35) * 2}; // や ゆ よ
    if (index < 43)
        return {8, index - 38};       // ら … ろ
    return {9, 0};                    // わ
}

// Enter in the list chooses the name under the cursor, as a click does.
class ListEnterFilter : public QObject {
public:
    ListEnterFilter(QObject* parent, std::function<void()> onEnter) : QObject(parent), onEnter_(std::move(onEnter)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        onEnter_();
        return true;
    }

private:
    std::function<void()> onEnter_;
};

struct DetailField {
    const char* column;
    const char* caption;
    bool amount;
};

const DetailField DetailFields[] = {
    {"顧客コード", "顧客コード", false},
    {"顧客名前", "顧客名前", false},
    {"顧客名前カナ", "顧客カナ名前", false},
    {"顧客住所１", "住所１", false},
    {"顧客住所２", "住所２", false},
    {"顧客電話番号", "電話番号", false},
    {"顧客郵便番号", "郵便番号", false},
    {"顧客売掛前回請求金額", "前回請求額", true},
    {"顧客売掛入金額", "既入金額", true},
    {"顧客売掛締後売上額", "締後売上額", true},
};

} // namespace

frm顧客選択::frm顧客選択(SessionState& state, QWidget* parent)
    : frm顧客選択(state, parent, CustomerScope::All, QStringLiteral("frm顧客選択"), QStringLiteral("顧客選択"))
{
}

frm顧客選択ガス::frm顧客選択ガス(SessionState& state, QWidget* parent)
    : frm顧客選択(state, parent, CustomerScope::Gas, QStringLiteral("frm顧客選択ガス"), QStringLiteral("顧客選択ガス"))
{
}

frm顧客選択::frm顧客選択(SessionState& state, QWidget* parent, CustomerScope scope, const QString& screenName,
                       const QString& title)
    : QDialog(parent), state_(state), scope_(scope), db_(state.config.databasePath)
{
    build(screenName, title);
    loadList(QString());
    // Until a name is chosen the details are those of the first customer
    // in table order.
    showDetails(firstCustomer(db_, scope_));
    state_.customer.slipDate = dateBoxes->date();
    connect(dateBoxes, &DateBoxes::dateChanged, this, [this](const Date& date) { state_.customer.slipDate = date; });
}

frm顧客選択::~frm顧客選択()
{
    // The list's statement ends before the screen's connection closes.
    customerModel->clear();
}

void frm顧客選択::build(const QString& screenName, const QString& title)
{
    setObjectName(screenName);
    setWindowTitle(title);

    // Kana initials.
    initialFrame = new QGroupBox(QStringLiteral("顧客頭文字の選択"), this);
    initialFrame->setObjectName(QStringLiteral("Frame1"));
    auto* kanaGrid = new QGridLayout(initialFrame);
    kanaGrid->setSpacing(3);
    for (int i = 0; i < KanaInitialCount; ++i) {
        auto* button = new QPushButton(kanaInitialCaption(i), initialFrame);
        button->setObjectName(QStringLiteral("Command1_%1").arg(i));
        button->setAutoDefault(false);
        button->setFixedSize(38, 32);
        const QPoint cell = kanaButtonCell(i);
        kanaGrid->addWidget(button, cell.y(), cell.x());
        connect(button, &QPushButton::clicked, this, [this, i] { chooseInitial(i); });
        initialButtons[i] = button;
    }
    allButton = new QPushButton(QStringLiteral("全"), initialFrame);
    allButton->setObjectName(QStringLiteral("Command3"));
    allButton->setAutoDefault(false);
    allButton->setFixedSize(38, 32);
    kanaGrid->addWidget(allButton, 4, 9);
    connect(allButton, &QPushButton::clicked, this, [this] { showAll(); });

    // The list of names.
    auto* listLabel = new QLabel(QStringLiteral("顧客カナ名前(&L)"), this);
    customerList = new QListView(this);
    customerList->setObjectName(QStringLiteral("DBList1"));
    customerList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    customerList->setSelectionMode(QAbstractItemView::SingleSelection);
    customerList->setMinimumSize(220, 300);
    listLabel->setBuddy(customerList);
    customerModel = new ValueQueryModel(this);
    customerList->setModel(customerModel);
    connect(customerList, &QListView::clicked, this, [this](const QModelIndex& index) { showCustomer(index.row()); });
    customerList->installEventFilter(new ListEnterFilter(this, [this] {
        const QModelIndex current = customerList->currentIndex();
        if (!current.isValid())
            return;
        showCustomer(current.row());
        // On to the date: the details need only to be read.
        yearBox->setFocus(Qt::TabFocusReason);
    }));
    keepOwnEnter(customerList);

    // The details of the customer shown.
    auto* details = new QGridLayout;
    details->setHorizontalSpacing(8);
    QLineEdit** boxes[] = {&codeBox, &nameBox, &kanaNameBox, &address1Box, &address2Box, &telephoneBox,
                           &postalCodeBox, &lastInvoiceBox, &paymentsBox, &salesSinceClosingBox};
    int row = 0;
    for (const DetailField& field : DetailFields) {
        auto* label = new QLabel(QString::fromUtf8(field.caption), this);
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromUtf8(field.column));
        box->setReadOnly(true);
        // Read, not typed: the boxes are skipped by Tab but can be selected.
        box->setFocusPolicy(Qt::ClickFocus);
        box->setMinimumWidth(field.amount ? 120 : 260);
        if (field.amount)
            box->setAlignment(Qt::AlignRight);
        label->setBuddy(box);
        details->addWidget(label, row, 0);
        details->addWidget(box, row, 1, Qt::AlignLeft);
        *boxes[row] = box;
        ++row;
    }
    details->setColumnStretch(1, 1);

    // The slip date.
    dateBoxes = new DateBoxes(this, QStringLiteral("Text7"), QStringLiteral("Text8"), QStringLiteral("Text9"));
    yearBox = dateBoxes->yearBox();
    monthBox = dateBoxes->monthBox();
    dayBox = dateBoxes->dayBox();

    okButton = new QPushButton(QStringLiteral("ＯＫ"), this);
    okButton->setObjectName(QStringLiteral("Command2"));
    okButton->setMinimumSize(120, 36);
    connect(okButton, &QPushButton::clicked, this, [this] { confirm(); });

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(listLabel);
    listColumn->addWidget(customerList, 1);

    auto* right = new QVBoxLayout;
    right->addLayout(details);
    right->addSpacing(12);
    right->addWidget(dateBoxes);
    right->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    right->addLayout(buttons);

    auto* lower = new QHBoxLayout;
    lower->addLayout(listColumn);
    lower->addSpacing(12);
    lower->addLayout(right, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(initialFrame);
    layout->addLayout(lower, 1);

    // Reading order: the initials, the list, the date, the button.
    setTabOrder(allButton, customerList);
    setTabOrderChain({customerList, yearBox, monthBox, dayBox, okButton});
    enableEnterNavigation(this);
    customerList->setFocus();
}

void frm顧客選択::loadList(const QString& pattern)
{
    const CustomerListStatement statement = customerListStatement(scope_, pattern);
    customerModel->setStatement(db_, statement.sql, statement.params);
    // Every name is fetched, so typing a name finds it however long the list.
    customerModel->rowCountAll();
    // The list shows the kana name; the code in column 0 is what a row returns.
    customerList->setModelColumn(1);
    markShownInList();
}

void frm顧客選択::showDetails(const std::optional<CustomerDetails>& details)
{
    shown_ = details;
    const CustomerDetails d = details.value_or(CustomerDetails{});
    const bool any = details.has_value();
    codeBox->setText(d.code);
    nameBox->setText(d.name);
    kanaNameBox->setText(d.kanaName);
    address1Box->setText(d.address1);
    address2Box->setText(d.address2);
    telephoneBox->setText(d.telephone);
    postalCodeBox->setText(d.postalCode);
    lastInvoiceBox->setText(any ? d.lastInvoiceAmount.toString() : QString());
    paymentsBox->setText(any ? d.paymentsSinceClosing.toString() : QString());
    salesSinceClosingBox->setText(any ? d.creditSalesSinceClosing.toString() : QString());
    for (QLineEdit* box : {codeBox, nameBox, kanaNameBox, address1Box, address2Box})
        box->setCursorPosition(0);
    markShownInList();
}

void frm顧客選択::markShownInList()
{
    // The name of the customer shown is the one marked in the list, so the
    // list and the details never disagree.
    QModelIndex found;
    if (shown_) {
        const QModelIndexList hits =
            customerModel->match(customerModel->index(0, 0), Qt::DisplayRole, shown_->code, 1, Qt::MatchFixedString | Qt::MatchCaseSensitive);
        if (!hits.isEmpty())
            found = customerModel->index(hits.first().row(), customerList->modelColumn());
    }
    if (found.isValid()) {
        customerList->setCurrentIndex(found);
        customerList->scrollTo(found);
    } else {
        customerList->clearSelection();
    }
}

void frm顧客選択::chooseInitial(int index)
{
    // The details keep showing the customer shown before.
    loadList(kanaInitialPattern(index));
}

void frm顧客選択::showAll()
{
    loadList(QString());
}

void frm顧客選択::showCustomer(int row)
{
    if (row < 0 || row >= customerModel->rowCount())
        return;
    const QString code = customerModel->index(row, 0).data().toString();
    const std::optional<CustomerDetails> details = findCustomer(db_, code, scope_);
    if (!details)
        return; // deleted since the list was loaded: the details stay as they were
    showDetails(details);
    if (scope_ == CustomerScope::Gas)
        gasCylinderSize_ = details->gasCylinder1;
}

void frm顧客選択::confirm()
{
    if (!shown_) {
        // No customer to return: the picker ends as if closed.
        ui().showMessage(QStringLiteral("顧客が登録されていません。"), windowTitle());
        reject();
        return;
    }
    ChosenCustomer& c = state_.customer;
    c.code = codeBox->text();
    c.name = nameBox->text();
    c.kanaName = kanaNameBox->text();
    c.address1 = address1Box->text();
    c.address2 = address2Box->text();
    c.telephone = telephoneBox->text();
    c.postalCode = postalCodeBox->text();
    c.lastInvoiceAmount = text::valCurrency(lastInvoiceBox->text());
    c.paymentsSinceClosing = text::valCurrency(paymentsBox->text());
    c.creditSalesSinceClosing = text::valCurrency(salesSinceClosingBox->text());
    // The gas input reads the cylinder of the customer returned, also when
    // it is the first customer shown and no name was clicked.
    if (scope_ == CustomerScope::Gas)
        gasCylinderSize_ = shown_->gasCylinder1;
    accept();
}
