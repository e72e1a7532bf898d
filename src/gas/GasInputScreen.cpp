#include "gas/GasInputScreen.h"

#include "session/ErrorGuard.h"
#include "session/Screens.h"
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

frmガス入力::frmガス入力(QWidget* parent)
    : QDialog(parent), db_(session().config.databasePath),
      customer_(this, {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7", "Label8", "Label9", "Label10"},
                &CustomerCaptionNames)
{
    setObjectName(QStringLiteral("frmガス入力"));
    setWindowTitle(Title);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(10);

    // The chosen customer.
    Frame1 = customer_.frame;
    Label1 = customer_.fields[0];
    Label2 = customer_.fields[1];
    Label3 = customer_.fields[2];
    Label4 = customer_.fields[3];
    Label5 = customer_.fields[4];
    Label6 = customer_.fields[5];
    Label7 = customer_.fields[6];
    Label8 = customer_.fields[7];
    Label9 = customer_.fields[8];
    Label10 = customer_.fields[9];
    Label11 = customer_.captions[0];
    Label29 = customer_.captions[1];
    Label30 = customer_.captions[2];
    Label31 = customer_.captions[3];
    Label32 = customer_.captions[4];
    Label33 = customer_.captions[5];
    Label34 = customer_.captions[6];
    Label35 = customer_.captions[7];
    Label36 = customer_.captions[8];
    layout->addWidget(Frame1);

    // The date of the event.
    dateBoxes = new DateBoxes(this, QStringLiteral("Text7"), QStringLiteral("Text8"), QStringLiteral("Text9"));
    dateBoxes->setObjectName(QStringLiteral("dateBoxes"));
    Text7 = dateBoxes->yearBox();
    Text8 = dateBoxes->monthBox();
    Text9 = dateBoxes->dayBox();
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(captionLabel("lbl年月日", QStringLiteral("年月日"), Text7, this));
    dateRow->addWidget(dateBoxes);
    dateRow->addStretch(1);
    layout->addLayout(dateRow);

    // The kind, the boxes and the means of payment.
    Data3 = new ValueQueryModel(this);
    DBList1 = listView("DBList1", QStringLiteral("ガス入力種別"), Data3, this);
    Text1 = numberBox("Text1", QStringLiteral("メータ値"), this);
    Text4 = numberBox("Text4", QStringLiteral("使用量"), this);
    Text4->setReadOnly(true);
    Text4->setFocusPolicy(Qt::NoFocus);
    Text3 = numberBox("Text3", QStringLiteral("配送量"), this);
    Text5 = numberBox("Text5", QStringLiteral("残ガス量"), this);
    Text2 = numberBox("Text2", QStringLiteral("金額（税込み）"), this);
    Data4 = new ValueQueryModel(this);
    DBList2 = listView("DBList2", QStringLiteral("入金方法"), Data4, this);

    auto* entry = new QGridLayout;
    entry->setHorizontalSpacing(10);
    entry->addWidget(captionLabel("lblガス入力種別", QStringLiteral("ガス入力種別"), DBList1, this), 0, 0);
    entry->addWidget(DBList1, 1, 0, 6, 1);
    entry->setColumnMinimumWidth(1, 16);
    QLineEdit* boxes[] = {Text1, Text4, Text3, Text5, Text2};
    const char* boxCaptionNames[] = {"lblメータ値", "lbl使用量", "lbl配送量", "lbl残ガス量", "lbl金額"};
    for (int i = 0; i < 5; ++i) {
        entry->addWidget(captionLabel(boxCaptionNames[i], boxes[i]->accessibleName(), boxes[i], this), i + 1, 2);
        entry->addWidget(boxes[i], i + 1, 3);
    }
    entry->setColumnMinimumWidth(4, 16);
    entry->addWidget(captionLabel("lbl入金方法", QStringLiteral("入金方法"), DBList2, this), 0, 5);
    entry->addWidget(DBList2, 1, 5, 6, 1);
    entry->setColumnStretch(6, 1);
    entry->setRowStretch(6, 1);
    layout->addLayout(entry);

    // The customer's history.
    Data1 = new ValueQueryModel(this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("ガスデータ履歴"));
    DBGrid1->setModel(Data1);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->verticalHeader()->setVisible(false);
    DBGrid1->setMinimumHeight(150);
    layout->addWidget(DBGrid1, 1);

    Command1 = commandButton(this, QStringLiteral("Command1"), QStringLiteral("ＯＫ"));
    Command2 = commandButton(this, QStringLiteral("Command2"), QStringLiteral("キャンセル"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    layout->addLayout(buttons);

    setTabOrderChain({Text7, Text8, Text9, DBList1, Text1, Text3, Text5, Text2, DBList2, Command1, Command2, DBGrid1});
    enableEnterNavigation(this);

    // Opening: the buffer for the customer, today's date, the history, the
    // kinds and the means of payment; no box, no payment list, no "ＯＫ".
    SessionState& s = session();
    gas::resetEntry(s.gas, Date::today(), s.customer.code);
    showCustomer();
    dateBoxes->setDate(s.gas.entryDate);
    Data1->setStatement(db_, gas::historyStatement(), {s.gas.customerCode});
    Data1->rowCountAll();
    useValueColumns(*DBGrid1);
    DBGrid1->scrollToBottom();
    base_ = gas::baseReading(db_, s.gas.customerCode);
    Data3->setStatement(db_, gas::kindListStatement());
    Data3->rowCountAll();
    DBList1->setModelColumn(1);
    Data4->setStatement(db_, gas::paymentListStatement());
    Data4->rowCountAll();
    DBList2->setModelColumn(1);
    showKindBoxes();
    checkComplete();

    connect(dateBoxes, &DateBoxes::dateChanged, this, [](const Date& date) { session().gas.entryDate = date; });
    onSelection(DBList1, this, [this](int row) { DBList1_Click(row); });
    onSelection(DBList2, this, [this](int row) { DBList2_Click(row); });
    for (QLineEdit* box : {Text1, Text3, Text5, Text2})
        connect(box, &QLineEdit::textChanged, this, [this, box] { Text_Change(box); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    DBList1->setFocus();
}

frmガス入力::~frmガス入力()
{
    Data1->clear();
    Data3->clear();
    Data4->clear();
}

void frmガス入力::showCustomer()
{
    customer_.show(session().customer);
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
    const gas::KindBoxes b = gas::kindBoxes(session().gas.kind);
    const std::pair<QWidget*, bool> shown[] = {{Text1, b.meter},     {Text4, b.usage},  {Text3, b.delivered},
                                               {Text5, b.remaining}, {Text2, b.amount}, {DBList2, b.payment}};
    for (const auto& [box, visible] : shown) {
        box->setVisible(visible);
        if (QLabel* caption = captionOf(box))
            caption->setVisible(visible);
    }
}

void frmガス入力::DBList1_Click(int row)
{
    GasEntry& e = session().gas;
    const QVariant code = Data3->storedData(row, 0);
    // A row that cannot be read leaves the kind as it was.
    if (code.isValid() && !code.isNull())
        e.kind = code.toInt();

    // Every box emptied and hidden, the payment choice undone; then the
    // kind's own boxes.
    for (QLineEdit* box : {Text1, Text4, Text3, Text5, Text2}) {
        const QSignalBlocker block(box);
        box->clear();
    }
    {
        const QSignalBlocker block(DBList2->selectionModel());
        DBList2->selectionModel()->clearSelection();
        DBList2->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    gas::clearItems(e);
    showKindBoxes();
    if (e.kind == gas::Exchange || e.kind == gas::Delivery) {
        const QSignalBlocker block(Text3);
        Text3->setText(QStringLiteral("0"));
    }
    checkComplete();

    if (gas::measuresUsage(e.kind) && !base_)
        ui().showMessage(gas::firstReadingMessage(db_), Title);
}

void frmガス入力::DBList2_Click(int row)
{
    const QVariant account = Data4->storedData(row, 0);
    if (account.isValid() && !account.isNull())
        session().gas.paymentAccount = account.toInt();
    checkComplete();
}

void frmガス入力::Text_Change(QLineEdit* box)
{
    GasEntry& e = session().gas;
    const QString t = box->text();
    // A text that is not a number counts as 0 here; it keeps "ＯＫ" hidden.
    if (box == Text1)
        e.meterValue = gas::readCurrencyBox(t).value_or(Currency());
    else if (box == Text2)
        e.amount = gas::readCurrencyBox(t).value_or(Currency());
    else if (box == Text3)
        e.delivered = gas::readQuantityBox(t).value_or(0.0f);
    else if (box == Text5)
        e.remaining = gas::readQuantityBox(t).value_or(0.0f);
    checkComplete();
}

void frmガス入力::checkComplete()
{
    GasEntry& e = session().gas;
    if (gas::measuresUsage(e.kind)) {
        const std::optional<Currency> meter = gas::readCurrencyBox(Text1->text());
        const std::optional<Currency> usage = meter ? gas::usageFrom(*meter, base_) : std::nullopt;
        e.usage = usage.value_or(Currency());
        Text4->setText(usage ? usage->toString() : QString());
    } else {
        e.usage = Currency();
    }
    const gas::BoxTexts texts{Text1->text(), Text2->text(), Text3->text(), Text5->text()};
    Command1->setVisible(gas::isComplete(e, texts, base_.has_value()));
}

void frmガス入力::Command1_Click()
{
    try {
        gas::storeEvent(db_, session());
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

void frmガス入力::Command2_Click()
{
    reject();
}

QDialog* openGasInput(QWidget* parent)
{
    SessionState& s = session();
    gas::resetEntry(s.gas, Date::today(), QString());
    if (openScreen(QStringLiteral("frm顧客選択ガス"), QStringLiteral("顧客選択"), parent) != QDialog::Accepted)
        return nullptr;
    const QString code = s.customer.code;
    if (code.trimmed().isEmpty())
        return nullptr;
    {
        Database db(s.config.databasePath);
        if (!findCustomer(db, code, CustomerScope::Gas)) {
            ui().showMessage(QStringLiteral("顧客コード %1 はガスの顧客ではありません。\n"
                                            "ガスデータは、顧客マスターでガスコードを設定した顧客にだけ入力できます。")
                                 .arg(code.trimmed()),
                             Title);
            return nullptr;
        }
    }
    return new frmガス入力(parent);
}
