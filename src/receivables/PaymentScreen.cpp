#include "receivables/PaymentScreen.h"

#include "ui/ErrorGuard.h"
#include "ui/Screens.h"
#include "session/Session.h"
#include "db/ClosedPeriod.h"
#include "receivables/ReceivablePayment.h"
#include "ui/ScreenWidgets.h"
#include "ui/DisplayField.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("売掛入金");

// An amount as it is typed: sign, digits, separators and a point, in half
// or full width.
QValidator* amountValidator(QObject* parent)
{
    static const QRegularExpression amount(QStringLiteral(
        "^[ \\x{3000}]*[+\\-\\x{FF0B}\\x{FF0D}]?[0-9\\x{FF10}-\\x{FF19},\\x{FF0C}]*([.\\x{FF0E}][0-9\\x{FF10}-\\x{FF19}]*)?[ \\x{3000}]*$"));
    return new QRegularExpressionValidator(amount, parent);
}

} // namespace

frm売掛入金::frm売掛入金(SessionState& state, QWidget* parent)
    : QDialog(parent), state_(state), db_(state.config.databasePath),
      customerPanel(this, {"lbl顧客コード", "lbl顧客名前", "lbl顧客カナ名前", "lbl顧客住所１", "lbl顧客住所２", "lbl顧客電話番号",
                           "lbl郵便番号", "lbl請求額", "lbl既入金額", "lbl締後売上額"})
{
    setObjectName(QStringLiteral("frm売掛入金"));
    setWindowTitle(Title);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(12);

    // The chosen customer.
    customerFrame = customerPanel.frame;
    layout->addWidget(customerFrame);

    // The payment: date, means, amount.
    paymentDateField = displayField("lbl入金年月日", QStringLiteral("入金年月日"), this, false);
    meansOfPaymentModel = new ValueQueryModel(this);
    meansOfPaymentList = new QListView(this);
    meansOfPaymentList->setObjectName(QStringLiteral("dat入金先"));
    meansOfPaymentList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    meansOfPaymentList->setSelectionMode(QAbstractItemView::SingleSelection);
    meansOfPaymentList->setModel(meansOfPaymentModel);
    meansOfPaymentList->setMinimumSize(220, 160);
    amountBox = new QLineEdit(this);
    amountBox->setObjectName(QStringLiteral("Text1"));
    amountBox->setAlignment(Qt::AlignRight);
    amountBox->setValidator(amountValidator(amountBox));
    amountBox->setMinimumWidth(amountBox->fontMetrics().horizontalAdvance(QStringLiteral("-0,000,000,000")) + 16);

    auto* payment = new QGridLayout;
    payment->setHorizontalSpacing(10);
    payment->addWidget(captionFor(paymentDateField, QStringLiteral("入金年月日"), this), 0, 0);
    payment->addWidget(paymentDateField, 0, 1);
    payment->addWidget(captionFor(meansOfPaymentList, QStringLiteral("入金先"), this), 1, 0, Qt::AlignTop);
    payment->addWidget(meansOfPaymentList, 1, 1, 2, 1);
    payment->setColumnMinimumWidth(2, 24);
    payment->addWidget(captionFor(amountBox, QStringLiteral("入金額"), this), 1, 3, Qt::AlignTop);
    payment->addWidget(amountBox, 1, 4, Qt::AlignTop);
    payment->setColumnStretch(5, 1);
    payment->setRowStretch(2, 1);
    layout->addLayout(payment);

    okButton = commandButton(this, QStringLiteral("Command1"), QStringLiteral("ＯＫ"));
    cancelButton = commandButton(this, QStringLiteral("Command2"), QStringLiteral("キャンセル"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);

    setTabOrder(meansOfPaymentList, amountBox);
    setTabOrder(amountBox, okButton);
    setTabOrder(okButton, cancelButton);
    enableEnterNavigation(this);

    // Opening: the means of payment, the journal row, the customer, the
    // billed amount as the amount received, "ＯＫ" hidden.
    meansOfPaymentModel->setStatement(db_, paymentMeansStatement());
    meansOfPaymentModel->rowCountAll();
    // The list shows the account's name; column 0, its number, is what a row yields.
    meansOfPaymentList->setModelColumn(1);
    journal_ = startPayment(state_.customer);
    showCustomer();
    amountBox->setText(journal_.amount.toString());
    okButton->setVisible(false);

    // A means counts once it is selected, by click or by the arrow keys;
    // focus alone (which makes a row current without selecting it) does not.
    connect(meansOfPaymentList->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = meansOfPaymentList->selectionModel()->selectedIndexes();
        if (!rows.isEmpty())
            chooseMeansOfPayment(rows.first().row());
    });
    connect(amountBox, &QLineEdit::textChanged, this, [this] { amountChanged(); });
    connect(okButton, &QPushButton::clicked, this, [this] { store(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });
    // The means of payment is chosen first: Enter in the list chooses the
    // row under the cursor and moves to the amount, Enter there to "ＯＫ".
    meansOfPaymentList->setFocus();
}

frm売掛入金::~frm売掛入金()
{
    meansOfPaymentModel->clear();
}

void frm売掛入金::showCustomer()
{
    customerPanel.show(state_.customer);
    paymentDateField->setText(journal_.entryDate.toShortString());
}

void frm売掛入金::updateOkVisibility()
{
    okButton->setVisible(paymentReady(journal_));
}

void frm売掛入金::chooseMeansOfPayment(int row)
{
    const QVariant account = meansOfPaymentModel->storedData(row, 0);
    // A row that cannot be read leaves the means as it was.
    if (account.isValid() && !account.isNull())
        journal_.debitAccount = account.toInt();
    updateOkVisibility();
}

void frm売掛入金::amountChanged()
{
    journal_.amount = typedPaymentAmount(amountBox->text());
    updateOkVisibility();
}

void frm売掛入金::store()
{
    if (journal_.amount.isZero())
        return;
    std::optional<StoredPayment> stored;
    try {
        stored = storePayment(db_, state_, journal_);
    } catch (const SlipNumberOverflow& e) {
        ui().showMessage(e.message(), errorTitle());
        return;
    } catch (const ClosedPeriodError& e) {
        ui().showMessage(e.message(), errorTitle());
        return;
    } catch (const DatabaseError& e) {
        ui().showMessage(QStringLiteral("入金を記録できませんでした。何も記録していません。\n%1").arg(e.databaseText()),
                         errorTitle());
        return;
    }
    if (!stored)
        return;
    if (!stored->counterError.isEmpty())
        ui().showMessage(QStringLiteral("入金は記録しましたが、次の伝票番号を設定ファイルに書き込めませんでした。\n")
                             + stored->counterError,
                         errorTitle());
    accept();
}

void frm売掛入金::cancel()
{
    reject();
}

QDialog* openReceivablePayment(SessionState& state, QWidget* parent)
{
    if (openScreen(state, QStringLiteral("frm顧客選択"), QStringLiteral("顧客選択"), parent) != QDialog::Accepted)
        return nullptr;
    if (state.customer.code.trimmed().isEmpty())
        return nullptr;
    return new frm売掛入金(state, parent);
}
