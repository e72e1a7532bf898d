#include "accounting/EntryScreens.h"

#include "accounting/ScreenParts.h"
#include "ui/ErrorGuard.h"
#include "ui/Screens.h"
#include "db/ClosedPeriod.h"
#include "core/Text.h"
#include "ui/DateBoxes.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

namespace accounting {

JournalEntryScreen::JournalEntryScreen(SessionState& state, EntryKind kind, QWidget* parent)
    : QDialog(parent), state_(state), definition_(entryDefinition(kind)), db_(state.config.databasePath)
{
    using namespace parts;
    setObjectName(definition_.screenName);
    setWindowTitle(definition_.caption);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(12);

    dateBoxes = new DateBoxes(this, QStringLiteral("Text2"), QStringLiteral("Text3"), QStringLiteral("Text4"));
    dateBoxes->setObjectName(QStringLiteral("dateBoxes"));
    yearBox = dateBoxes->yearBox();
    monthBox = dateBoxes->monthBox();
    dayBox = dateBoxes->dayBox();
    amountBox = new QLineEdit(this);
    amountBox->setObjectName(QStringLiteral("Text1"));
    amountBox->setAlignment(Qt::AlignRight);
    amountBox->setMinimumWidth(amountBox->fontMetrics().horizontalAdvance(QStringLiteral("-0,000,000,000")) + 16);

    auto* top = new QGridLayout;
    top->setHorizontalSpacing(10);
    top->addWidget(captionLabel(definition_.dateLabel, yearBox, this), 0, 0);
    top->addWidget(dateBoxes, 0, 1, Qt::AlignLeft);
    top->addWidget(captionLabel(definition_.amountLabel, amountBox, this), 1, 0);
    top->addWidget(amountBox, 1, 1, Qt::AlignLeft);
    top->setColumnStretch(2, 1);
    layout->addLayout(top);

    leftList = list("DBList1", this);
    middleList = list("DBList2", this);
    rightList = list("DBList3", this);
    leftRows = new ValueQueryModel(this);
    middleRows = new ValueQueryModel(this);
    rightRows = new ValueQueryModel(this);
    leftList->setModel(leftRows);
    middleList->setModel(middleRows);
    rightList->setModel(rightRows);
    const bool journal = kind == EntryKind::Journal;
    leftRows->setObjectName(journal ? QStringLiteral("dat借方")
                            : kind == EntryKind::Purchase ? QStringLiteral("dat仕入先")
                                                          : QStringLiteral("dat経費先"));
    middleRows->setObjectName(journal ? QStringLiteral("dat借方相手先")
                              : kind == EntryKind::Purchase ? QStringLiteral("dat仕入種別")
                                                            : QStringLiteral("dat経費種別"));
    rightRows->setObjectName(journal ? QStringLiteral("dat貸方") : QStringLiteral("dat支払方法"));

    auto* lists = new QGridLayout;
    lists->setHorizontalSpacing(12);
    const std::pair<QListView*, QString> columns[] = {
        {leftList, journal ? definition_.debitLabel : definition_.counterpartyLabel},
        {middleList, journal ? definition_.counterpartyLabel : definition_.debitLabel},
        {rightList, definition_.creditLabel},
    };
    int column = 0;
    for (const auto& [view, caption] : columns) {
        lists->addWidget(captionLabel(caption, view, this), 0, column);
        lists->addWidget(view, 1, column);
        ++column;
    }
    layout->addLayout(lists, 1);

    customerField = new QLabel(this);
    customerField->setObjectName(QStringLiteral("lbl売掛先顧客"));
    customerField->setFrameShape(QFrame::Panel);
    customerField->setFrameShadow(QFrame::Sunken);
    customerField->setMinimumWidth(customerField->fontMetrics().horizontalAdvance(QString(36, QChar(0x3042))));
    customerCaption = captionLabel(QStringLiteral("売掛先顧客"), customerField, this);
    chooseCustomerButton = button("cmd顧客選択", QStringLiteral("顧客選択"), this);
    auto* customerRow = new QHBoxLayout;
    customerRow->addWidget(customerCaption);
    customerRow->addWidget(customerField, 1);
    customerRow->addWidget(chooseCustomerButton);
    layout->addLayout(customerRow);

    storeButton = button("Command1", QStringLiteral("ＯＫ"), this);
    cancelButton = button("Command2", QStringLiteral("キャンセル"), this);
    addPayeeButton = nullptr;
    auto* buttons = new QHBoxLayout;
    if (!definition_.addButtonCaption.isEmpty()) {
        addPayeeButton = button("Command3", definition_.addButtonCaption, this);
        buttons->addWidget(addPayeeButton);
    }
    buttons->addStretch(1);
    buttons->addWidget(storeButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);

    QList<QWidget*> order = {yearBox, monthBox, dayBox, amountBox, leftList, middleList,
                             rightList, chooseCustomerButton, storeButton, cancelButton};
    if (addPayeeButton)
        order << addPayeeButton;
    setTabOrderChain(order);
    enableEnterNavigation(this);
    // A journal entry needs no counterparty: Enter passes its list by.
    if (!definition_.counterpartyRequired)
        markOptionalChoice(counterpartyList());

    // Opening: the lists, today's date, a reset buffer, ＯＫ hidden.
    loadCounterparties();
    modelOf(debitList())->setStatement(db_, definition_.debitStatement);
    rightRows->setStatement(db_, definition_.creditStatement);
    for (ValueQueryModel* model : {leftRows, middleRows, rightRows})
        model->rowCountAll();
    // Each list shows the name; column 0, the code, is what a row yields.
    for (QListView* view : {leftList, middleList, rightList})
        view->setModelColumn(1);

    const Date today = Date::today();
    dateBoxes->setDate(today);
    resetEntry(entry_, today);
    storeButton->setVisible(false);
    showReceivableCustomer();

    for (QListView* view : {leftList, middleList, rightList}) {
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this, view] {
            const QModelIndexList rows = view->selectionModel()->selectedIndexes();
            if (!rows.isEmpty())
                listPicked(view, rows.first().row());
        });
    }
    connect(dateBoxes, &DateBoxes::dateChanged, this, [this] { dateChanged(); });
    connect(amountBox, &QLineEdit::textChanged, this, [this] { amountChanged(); });
    connect(storeButton, &QPushButton::clicked, this, [this] { store(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });
    if (addPayeeButton)
        connect(addPayeeButton, &QPushButton::clicked, this, [this] { addPayee(); });
    connect(chooseCustomerButton, &QPushButton::clicked, this, [this] { chooseCustomer(); });
    amountBox->setFocus();
}

JournalEntryScreen::~JournalEntryScreen()
{
    for (ValueQueryModel* model : {leftRows, middleRows, rightRows})
        model->clear();
}

QListView* JournalEntryScreen::counterpartyList() const
{
    return definition_.kind == EntryKind::Journal ? middleList : leftList;
}

QListView* JournalEntryScreen::debitList() const
{
    return definition_.kind == EntryKind::Journal ? leftList : middleList;
}

QListView* JournalEntryScreen::creditList() const
{
    return rightList;
}

ValueQueryModel* JournalEntryScreen::modelOf(QListView* view) const
{
    return view == leftList ? leftRows : view == middleList ? middleRows : rightRows;
}

void JournalEntryScreen::loadCounterparties()
{
    ValueQueryModel* model = modelOf(counterpartyList());
    // The view's selection model survives a new statement of its model, but
    // the rows are read afresh, so a payee added in the editor is listed.
    model->setStatement(db_, definition_.counterpartyStatement);
    model->rowCountAll();
    counterpartyList()->setModelColumn(1);
}

void JournalEntryScreen::applyCompleteness()
{
    showReceivableCustomer();
    storeButton->setVisible(entryComplete(definition_.kind, entry_));
}

void JournalEntryScreen::showReceivableCustomer()
{
    JournalEntry& j = entry_;
    const bool needed = needsReceivableCustomer(j);
    // Without 110 the row names no customer: one chosen earlier is dropped.
    if (!needed)
        j.creditCounterparty = QStringLiteral("0");
    for (QWidget* w : std::initializer_list<QWidget*>{customerCaption, customerField, chooseCustomerButton})
        w->setVisible(needed);
    if (!needed)
        return;
    if (receivableCustomer(j).isEmpty()) {
        customerField->setText(QStringLiteral("売掛金（110）の仕訳です。「顧客選択」で顧客を選んでください。"));
        return;
    }
    const QVariant name = db_.scalar(QStringLiteral("SELECT 顧客名前 FROM 顧客マスター WHERE 顧客コード = ?"),
                                     {receivableCustomer(j)});
    customerField->setText(receivableCustomer(j) + QStringLiteral("　") + name.toString().trimmed());
}

void JournalEntryScreen::chooseCustomer()
{
    // The customer picker leaves its choice as the session's chosen customer.
    if (openScreen(state_, QStringLiteral("frm顧客選択"), QStringLiteral("顧客選択"), this) == QDialog::Accepted) {
        const QString code = state_.customer.code;
        if (!code.trimmed().isEmpty())
            entry_.creditCounterparty = text::fixed(code, 13);
    }
    applyCompleteness();
    if (storeButton->isVisible())
        storeButton->setFocus(Qt::TabFocusReason);
}

void JournalEntryScreen::setReceivableCustomer(const QString& code)
{
    entry_.creditCounterparty = text::fixed(code, 13);
    applyCompleteness();
}

void JournalEntryScreen::amountChanged()
{
    entry_.amount = typedEntryAmount(amountBox->text());
    applyCompleteness();
}

void JournalEntryScreen::dateChanged()
{
    // The date alone never changes whether the entry is complete.
    entry_.entryDate = dateBoxes->date();
}

void JournalEntryScreen::listPicked(QListView* view, int row)
{
    const QVariant code = modelOf(view)->storedData(row, 0);
    bool ok = false;
    const qlonglong value = code.isNull() ? 0 : code.toLongLong(&ok);
    // A row whose code cannot be read leaves the previous code in place.
    if (ok && value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max()) {
        JournalEntry& j = entry_;
        if (view == counterpartyList())
            j.debitCounterparty = int(value);
        else if (view == debitList())
            j.debitAccount = int(value);
        else
            j.creditAccount = int(value);
    }
    applyCompleteness();
}

void JournalEntryScreen::store()
{
    std::optional<StoredEntry> stored;
    try {
        stored = storeEntry(db_, state_, definition_.kind, entry_);
    } catch (const SlipNumberOverflow& e) {
        ui().showMessage(e.message(), errorTitle());
        return;
    } catch (const ClosedPeriodError& e) {
        ui().showMessage(e.message(), errorTitle());
        return;
    } catch (const DatabaseError& e) {
        ui().showMessage(QStringLiteral("記録できませんでした。何も記録していません。\n%1").arg(e.databaseText()),
                         errorTitle());
        return;
    }
    if (!stored)
        return;
    if (!stored->counterError.isEmpty())
        ui().showMessage(QStringLiteral("記録しましたが、次の伝票番号を設定ファイルに書き込めませんでした。\n")
                             + stored->counterError,
                         errorTitle());
    accept();
}

void JournalEntryScreen::cancel()
{
    reject();
}

void JournalEntryScreen::addPayee()
{
    if (definition_.addEditorScreen.isEmpty())
        return;
    openScreen(state_, definition_.addEditorScreen, definition_.addEditorCaption, this);
    loadCounterparties();
}

} // namespace accounting

frm仕入::frm仕入(SessionState& state, QWidget* parent)
    : JournalEntryScreen(state, accounting::EntryKind::Purchase, parent)
{
}
frm経費::frm経費(SessionState& state, QWidget* parent) : JournalEntryScreen(state, accounting::EntryKind::Expense, parent)
{
}
frm経理入力::frm経理入力(SessionState& state, QWidget* parent)
    : JournalEntryScreen(state, accounting::EntryKind::Journal, parent)
{
}
