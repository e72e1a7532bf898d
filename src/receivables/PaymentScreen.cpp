#include "receivables/PaymentScreen.h"

#include "session/ErrorGuard.h"
#include "session/Screens.h"
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

frm売掛入金::frm売掛入金(QWidget* parent)
    : QDialog(parent), db_(session().config.databasePath),
      customer_(this, {"lbl顧客コード", "lbl顧客名前", "lbl顧客カナ名前", "lbl顧客住所１", "lbl顧客住所２", "lbl顧客電話番号",
                       "lbl郵便番号", "lbl請求額", "lbl既入金額", "lbl締後売上額"})
{
    setObjectName(QStringLiteral("frm売掛入金"));
    setWindowTitle(Title);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(12);

    // The chosen customer.
    Frame1 = customer_.frame;
    lbl顧客コード = customer_.fields[0];
    lbl顧客名前 = customer_.fields[1];
    lbl顧客カナ名前 = customer_.fields[2];
    lbl顧客住所１ = customer_.fields[3];
    lbl顧客住所２ = customer_.fields[4];
    lbl顧客電話番号 = customer_.fields[5];
    lbl郵便番号 = customer_.fields[6];
    lbl請求額 = customer_.fields[7];
    lbl既入金額 = customer_.fields[8];
    lbl締後売上額 = customer_.fields[9];
    layout->addWidget(Frame1);

    // The payment: date, means, amount.
    lbl入金年月日 = displayField("lbl入金年月日", QStringLiteral("入金年月日"), this, false);
    Data入金先 = new ValueQueryModel(this);
    dat入金先 = new QListView(this);
    dat入金先->setObjectName(QStringLiteral("dat入金先"));
    dat入金先->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dat入金先->setSelectionMode(QAbstractItemView::SingleSelection);
    dat入金先->setModel(Data入金先);
    dat入金先->setMinimumSize(220, 160);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAlignment(Qt::AlignRight);
    Text1->setValidator(amountValidator(Text1));
    Text1->setMinimumWidth(Text1->fontMetrics().horizontalAdvance(QStringLiteral("-0,000,000,000")) + 16);

    auto* payment = new QGridLayout;
    payment->setHorizontalSpacing(10);
    payment->addWidget(captionFor(lbl入金年月日, QStringLiteral("入金年月日"), this), 0, 0);
    payment->addWidget(lbl入金年月日, 0, 1);
    payment->addWidget(captionFor(dat入金先, QStringLiteral("入金先"), this), 1, 0, Qt::AlignTop);
    payment->addWidget(dat入金先, 1, 1, 2, 1);
    payment->setColumnMinimumWidth(2, 24);
    payment->addWidget(captionFor(Text1, QStringLiteral("入金額"), this), 1, 3, Qt::AlignTop);
    payment->addWidget(Text1, 1, 4, Qt::AlignTop);
    payment->setColumnStretch(5, 1);
    payment->setRowStretch(2, 1);
    layout->addLayout(payment);

    Command1 = commandButton(this, QStringLiteral("Command1"), QStringLiteral("ＯＫ"));
    Command2 = commandButton(this, QStringLiteral("Command2"), QStringLiteral("キャンセル"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    layout->addLayout(buttons);

    setTabOrder(dat入金先, Text1);
    setTabOrder(Text1, Command1);
    setTabOrder(Command1, Command2);
    enableEnterNavigation(this);

    // Opening: the means of payment, the buffer, the customer, the billed
    // amount as the amount received, "ＯＫ" hidden.
    Data入金先->setStatement(db_, paymentMeansStatement());
    Data入金先->rowCountAll();
    // The list shows the account's name; column 0, its number, is what a row yields.
    dat入金先->setModelColumn(1);
    startPayment(session());
    showCustomer();
    Text1->setText(session().journal.amount.toString());
    Command1->setVisible(false);

    // A means counts once it is selected, by click or by the arrow keys;
    // focus alone (which makes a row current without selecting it) does not.
    connect(dat入金先->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = dat入金先->selectionModel()->selectedIndexes();
        if (!rows.isEmpty())
            dat入金先_Click(rows.first().row());
    });
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    // The means of payment is chosen first: Enter in the list chooses the
    // row under the cursor and moves to the amount, Enter there to "ＯＫ".
    dat入金先->setFocus();
}

frm売掛入金::~frm売掛入金()
{
    Data入金先->clear();
}

void frm売掛入金::showCustomer()
{
    customer_.show(session().customer);
    lbl入金年月日->setText(session().journal.entryDate.toShortString());
}

void frm売掛入金::updateOkVisibility()
{
    Command1->setVisible(paymentReady(session().journal));
}

void frm売掛入金::dat入金先_Click(int row)
{
    const QVariant account = Data入金先->storedData(row, 0);
    // A row that cannot be read leaves the means as it was.
    if (account.isValid() && !account.isNull())
        session().journal.debitAccount = account.toInt();
    updateOkVisibility();
}

void frm売掛入金::Text1_Change()
{
    session().journal.amount = typedPaymentAmount(Text1->text());
    updateOkVisibility();
}

void frm売掛入金::Command1_Click()
{
    SessionState& s = session();
    if (s.journal.amount.isZero())
        return;
    std::optional<StoredPayment> stored;
    try {
        stored = storePayment(db_, s);
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

void frm売掛入金::Command2_Click()
{
    reject();
}

QDialog* openReceivablePayment(QWidget* parent)
{
    if (openScreen(QStringLiteral("frm顧客選択"), QStringLiteral("顧客選択"), parent) != QDialog::Accepted)
        return nullptr;
    if (session().customer.code.trimmed().isEmpty())
        return nullptr;
    return new frm売掛入金(parent);
}
