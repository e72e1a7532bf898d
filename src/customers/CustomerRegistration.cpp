#include "customers/CustomerRegistration.h"

#include "session/Session.h"
#include "db/Database.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const RegistrationCaptions[frm顧客新規登録::BoxCount] = {
    "顧客コード(半角数字１３桁以内)", "顧客名前(全角１２桁以内)", "顧客名前カナ(半角カナ１６桁以内)",
    "顧客電話番号(半角数字１６桁以内)", "顧客郵便番号(半角数字１０桁以内)", "顧客住所１(全角１５桁以内)",
    "顧客住所２（全角１５桁以内）",
};

} // namespace

frm顧客新規登録::frm顧客新規登録(SessionState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("frm顧客新規登録"));
    setWindowTitle(QStringLiteral("顧客マスター新規登録"));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    const int widths[BoxCount] = {180, 260, 260, 200, 150, 360, 360};
    for (int i = 0; i < BoxCount; ++i) {
        captions[i] = new QLabel(QString::fromUtf8(RegistrationCaptions[i]), this);
        captions[i]->setObjectName(QStringLiteral("lblLabels_%1").arg(i));
        boxes[i] = new QLineEdit(this);
        boxes[i]->setObjectName(QStringLiteral("txtFields_%1").arg(i));
        boxes[i]->setMinimumWidth(widths[i]);
        captions[i]->setBuddy(boxes[i]);
        grid->addWidget(captions[i], i, 0);
        grid->addWidget(boxes[i], i, 1, Qt::AlignLeft);
    }
    grid->setColumnStretch(1, 1);

    addButton = new QPushButton(QStringLiteral("追加(&A)"), this);
    addButton->setObjectName(QStringLiteral("cmdAdd"));
    addButton->setMinimumSize(110, 34);
    addButton->setAutoDefault(false);
    closeButton = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    closeButton->setObjectName(QStringLiteral("cmdClose"));
    closeButton->setMinimumSize(110, 34);
    closeButton->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(addButton);
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(addButton, &QPushButton::clicked, this, [this] { addClicked(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { closeClicked(); });
    for (int i = 0; i + 1 < BoxCount; ++i)
        setTabOrder(boxes[i], boxes[i + 1]);
    setTabOrder(boxes[BoxCount - 1], addButton);
    setTabOrder(addButton, closeButton);
    enableEnterNavigation(this);
    startNewRecord();
}

void frm顧客新規登録::startNewRecord()
{
    for (QLineEdit* box : boxes)
        box->clear();
    boxes[0]->setFocus();
}

void frm顧客新規登録::addClicked()
{
    NewCustomer customer{boxes[0]->text(), boxes[1]->text(), boxes[2]->text(), boxes[3]->text(),
                         boxes[4]->text(), boxes[5]->text(), boxes[6]->text()};
    Database db(state_.config.databasePath);
    const RegistrationResult result = registerCustomer(db, customer, Date::today());
    if (result.outcome != RegistrationOutcome::Stored) {
        // The typed values stay in the boxes for the operator to correct.
        ui().showMessage(result.message, QStringLiteral("エラー"));
        return;
    }
    // Open for the next customer.
    startNewRecord();
}

void frm顧客新規登録::closeClicked()
{
    reject();
}
