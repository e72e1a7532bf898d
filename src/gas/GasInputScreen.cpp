#include "gas/GasInputScreen.h"

#include "ui/ErrorGuard.h"
#include "ui/Screens.h"
#include "session/Session.h"
#include "customers/CustomerSelection.h"
#include "gas/GasInput.h"
#include "ui/ScreenWidgets.h"
#include "ui/DateBoxes.h"
#include "ui/DisplayField.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("ガス入力");
const std::array<const char*, CustomerDisplayFrame::Captions> CustomerCaptionNames = {
    "Label11", "Label29", "Label30", "Label31", "Label32", "Label33", "Label34", "Label35", "Label36"};

QLabel* captionLabel(const char* objectName, const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromUtf8(objectName));
    label->setBuddy(buddy);
    return label;
}

// A number as it is typed: sign, digits, separators and a point, in half or
// full width.
QValidator* numberValidator(QObject* parent)
{
    static const QRegularExpression number(QStringLiteral(
        "^[ \\x{3000}]*[+\\-\\x{FF0B}\\x{FF0D}]?[0-9\\x{FF10}-\\x{FF19},\\x{FF0C}]*([.\\x{FF0E}][0-9\\x{FF10}-\\x{FF19}]*)?[ \\x{3000}]*$"));
    return new QRegularExpressionValidator(number, parent);
}

QLineEdit* numberBox(const char* objectName, const QString& caption, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromUtf8(objectName));
    box->setAccessibleName(caption);
    box->setAlignment(Qt::AlignRight);
    box->setValidator(numberValidator(box));
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("-0,000,000,000")) + 16);
    return box;
}

QListView* listView(const char* objectName, const QString& caption, ValueQueryModel* model, QWidget* parent)
{
    auto* view = new QListView(parent);
    view->setObjectName(QString::fromUtf8(objectName));
    view->setAccessibleName(caption);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setModel(model);
    view->setMinimumSize(180, 150);
    return view;
}

// Calls `onPick` with the row selected in the list, by click or by the arrow
// keys; focus alone (which makes a row current without selecting it) does not.
template <class F>
void onSelection(QListView* view, QObject* context, F onPick)
{
    QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, context, [view, onPick] {
        const QModelIndexList rows = view->selectionModel()->selectedIndexes();
        if (!rows.isEmpty())
            onPick(rows.first().row());
    });
}

} // namespace

frmガス入力::frmガス入力(SessionState& state, QWidget* parent)
    : QDialog(parent), state_(state), db_(state.config.databasePath),
      customerPanel(this, {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7", "Label8", "Label9", "Label10"},
                    &CustomerCaptionNames)
{
    setObjectName(QStringLiteral("frmガス入力"));
    setWindowTitle(Title);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(10);

    // The chosen customer.
    customerFrame = customerPanel.frame;
    layout->addWidget(customerFrame);

    // The date of the event.
    dateBoxes = new DateBoxes(this, QStringLiteral("Text7"), QStringLiteral("Text8"), QStringLiteral("Text9"));
    dateBoxes->setObjectName(QStringLiteral("dateBoxes"));
    yearBox = dateBoxes->yearBox();
    monthBox = dateBoxes->monthBox();
    dayBox = dateBoxes->dayBox();
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(captionLabel("lbl年月日", QStringLiteral("年月日"), yearBox, this));
    dateRow->addWidget(dateBoxes);
    dateRow->addStretch(1);
    layout->addLayout(dateRow);

    // The kind, the boxes and the means of payment.
    kindModel = new ValueQueryModel(this);
    kindList = listView("DBList1", QStringLiteral("ガス入力種別"), kindModel, this);
    meterBox = numberBox("Text1", QStringLiteral("メータ値"), this);
    usageBox = numberBox("Text4", QStringLiteral("使用量"), this);
    usageBox->setReadOnly(true);
    usageBox->setFocusPolicy(Qt::NoFocus);
    deliveredBox = numberBox("Text3", QStringLiteral("配送量"), this);
    remainingBox = numberBox("Text5", QStringLiteral("残ガス量"), this);
    amountBox = numberBox("Text2", QStringLiteral("金額（税込み）"), this);
    meansOfPaymentModel = new ValueQueryModel(this);
    meansOfPaymentList = listView("DBList2", QStringLiteral("入金方法"), meansOfPaymentModel, this);

    auto* entry = new QGridLayout;
    entry->setHorizontalSpacing(10);
    entry->addWidget(captionLabel("lblガス入力種別", QStringLiteral("ガス入力種別"), kindList, this), 0, 0);
    entry->addWidget(kindList, 1, 0, 6, 1);
    entry->setColumnMinimumWidth(1, 16);
    QLineEdit* boxes[] = {meterBox, usageBox, deliveredBox, remainingBox, amountBox};
    const char* boxCaptionNames[] = {"lblメータ値", "lbl使用量", "lbl配送量", "lbl残ガス量", "lbl金額"};
    for (int i = 0; i < 5; ++i) {
        entry->addWidget(captionLabel(boxCaptionNames[i], boxes[i]->accessibleName(), boxes[i], this), i + 1, 2);
        entry->addWidget(boxes[i], i + 1, 3);
    }
    entry->setColumnMinimumWidth(4, 16);
    entry->addWidget(captionLabel("lbl入金方法", QStringLiteral("入金方法"), meansOfPaymentList, this), 0, 5);
    entry->addWidget(meansOfPaymentList, 1, 5, 6, 1);
    entry->setColumnStretch(6, 1);
    entry->setRowStretch(6, 1);
    layout->addLayout(entry);

    // The customer's history.
    historyModel = new ValueQueryModel(this);
    historyGrid = new QTableView(this);
    historyGrid->setObjectName(QStringLiteral("DBGrid1"));
    historyGrid->setAccessibleName(QStringLiteral("ガスデータ履歴"));
    historyGrid->setModel(historyModel);
    historyGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    historyGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    historyGrid->verticalHeader()->setVisible(false);
    historyGrid->setMinimumHeight(150);
    layout->addWidget(historyGrid, 1);

    storeButton = commandButton(this, QStringLiteral("Command1"), QStringLiteral("ＯＫ"));
    cancelButton = commandButton(this, QStringLiteral("Command2"), QStringLiteral("キャンセル"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(storeButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);

    setTabOrderChain({yearBox, monthBox, dayBox, kindList, meterBox, deliveredBox, remainingBox, amountBox,
                      meansOfPaymentList, storeButton, cancelButton, historyGrid});
    enableEnterNavigation(this);

    // Opening: the buffer for the customer, today's date, the history, the
    // kinds and the means of payment; no box, no payment list, no "ＯＫ".
    gas::resetEntry(entry_, Date::today(), state_.customer.code);
    showCustomer();
    dateBoxes->setDate(entry_.entryDate);
    historyModel->setStatement(db_, gas::historyStatement(), {entry_.customerCode});
    historyModel->rowCountAll();
    useValueColumns(*historyGrid);
    historyGrid->scrollToBottom();
    base_ = gas::baseReading(db_, entry_.customerCode);
    kindModel->setStatement(db_, gas::kindListStatement());
    kindModel->rowCountAll();
    kindList->setModelColumn(1);
    meansOfPaymentModel->setStatement(db_, gas::paymentListStatement());
    meansOfPaymentModel->rowCountAll();
    meansOfPaymentList->setModelColumn(1);
    showKindBoxes();
    checkComplete();

    connect(dateBoxes, &DateBoxes::dateChanged, this, [this](const Date& date) { entry_.entryDate = date; });
    onSelection(kindList, this, [this](int row) { chooseKind(row); });
    onSelection(meansOfPaymentList, this, [this](int row) { chooseMeansOfPayment(row); });
    for (QLineEdit* box : {meterBox, deliveredBox, remainingBox, amountBox})
        connect(box, &QLineEdit::textChanged, this, [this, box] { boxChanged(box); });
    connect(storeButton, &QPushButton::clicked, this, [this] { store(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });
    kindList->setFocus();
}

frmガス入力::~frmガス入力()
{
    historyModel->clear();
    kindModel->clear();
    meansOfPaymentModel->clear();
}

void frmガス入力::showCustomer()
{
    customerPanel.show(state_.customer);
}

QLabel* frmガス入力::captionOf(QWidget* box) const
{
    for (QLabel* label : findChildren<QLabel*>())
        if (label->buddy() == box)
            return label;
    return nullptr;
}

void frmガス入力::showKindBoxes()
{
    const gas::KindBoxes b = gas::kindBoxes(entry_.kind);
    const std::pair<QWidget*, bool> shown[] = {{meterBox, b.meter},         {usageBox, b.usage},
                                               {deliveredBox, b.delivered}, {remainingBox, b.remaining},
                                               {amountBox, b.amount},       {meansOfPaymentList, b.payment}};
    for (const auto& [box, visible] : shown) {
        box->setVisible(visible);
        if (QLabel* caption = captionOf(box))
            caption->setVisible(visible);
    }
}

void frmガス入力::chooseKind(int row)
{
    GasEntry& e = entry_;
    const QVariant code = kindModel->storedData(row, 0);
    // A row that cannot be read leaves the kind as it was.
    if (code.isValid() && !code.isNull())
        e.kind = code.toInt();

    // Every box emptied and hidden, the payment choice undone; then the
    // kind's own boxes.
    for (QLineEdit* box : {meterBox, usageBox, deliveredBox, remainingBox, amountBox}) {
        const QSignalBlocker block(box);
        box->clear();
    }
    {
        const QSignalBlocker block(meansOfPaymentList->selectionModel());
        meansOfPaymentList->selectionModel()->clearSelection();
        meansOfPaymentList->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    gas::clearItems(e);
    showKindBoxes();
    if (e.kind == gas::Exchange || e.kind == gas::Delivery) {
        const QSignalBlocker block(deliveredBox);
        deliveredBox->setText(QStringLiteral("0"));
    }
    checkComplete();

    if (gas::measuresUsage(e.kind) && !base_)
        ui().showMessage(gas::firstReadingMessage(db_), Title);
}

void frmガス入力::chooseMeansOfPayment(int row)
{
    const QVariant account = meansOfPaymentModel->storedData(row, 0);
    if (account.isValid() && !account.isNull())
        entry_.paymentAccount = account.toInt();
    checkComplete();
}

void frmガス入力::boxChanged(QLineEdit* box)
{
    GasEntry& e = entry_;
    const QString t = box->text();
    // A text that is not a number counts as 0 here; it keeps "ＯＫ" hidden.
    if (box == meterBox)
        e.meterValue = gas::readCurrencyBox(t).value_or(Currency());
    else if (box == amountBox)
        e.amount = gas::readCurrencyBox(t).value_or(Currency());
    else if (box == deliveredBox)
        e.delivered = gas::readQuantityBox(t).value_or(0.0f);
    else if (box == remainingBox)
        e.remaining = gas::readQuantityBox(t).value_or(0.0f);
    checkComplete();
}

void frmガス入力::checkComplete()
{
    GasEntry& e = entry_;
    if (gas::measuresUsage(e.kind)) {
        const std::optional<Currency> meter = gas::readCurrencyBox(meterBox->text());
        const std::optional<Currency> usage = meter ? gas::usageFrom(*meter, base_) : std::nullopt;
        e.usage = usage.value_or(Currency());
        usageBox->setText(usage ? usage->toString() : QString());
    } else {
        e.usage = Currency();
    }
    const gas::BoxTexts texts{meterBox->text(), amountBox->text(), deliveredBox->text(), remainingBox->text()};
    storeButton->setVisible(gas::isComplete(e, texts, base_.has_value()));
}

void frmガス入力::store()
{
    try {
        gas::storeEvent(db_, state_.config, entry_);
    } catch (const gas::GasEntryRefused& e) {
        ui().showMessage(e.message(), errorTitle());
        return;
    } catch (const SlipNumberOverflow& e) {
        ui().showMessage(e.message(), errorTitle());
        return;
    } catch (const ConfigurationError& e) {
        ui().showMessage(e.message() + QStringLiteral("\n何も記録していません。"), errorTitle());
        return;
    } catch (const DatabaseError& e) {
        ui().showMessage(QStringLiteral("ガスデータを記録できませんでした。何も記録していません。\n%1").arg(e.databaseText()),
                         errorTitle());
        return;
    }
    accept();
}

void frmガス入力::cancel()
{
    reject();
}

QDialog* openGasInput(SessionState& state, QWidget* parent)
{
    if (openScreen(state, QStringLiteral("frm顧客選択ガス"), QStringLiteral("顧客選択"), parent) != QDialog::Accepted)
        return nullptr;
    const QString code = state.customer.code;
    if (code.trimmed().isEmpty())
        return nullptr;
    {
        Database db(state.config.databasePath);
        if (!findCustomer(db, code, CustomerScope::Gas)) {
            ui().showMessage(QStringLiteral("顧客コード %1 はガスの顧客ではありません。\n"
                                            "ガスデータは、顧客マスターでガスコードを設定した顧客にだけ入力できます。")
                                 .arg(code.trimmed()),
                             Title);
            return nullptr;
        }
    }
    return new frmガス入力(state, parent);
}
