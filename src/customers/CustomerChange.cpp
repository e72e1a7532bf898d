#include "customers/CustomerChange.h"

#include "session/Screens.h"
#include "session/Session.h"
#include "masters/CodePicker.h"
#include "masters/DatabaseMessages.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVBoxLayout>
#include <functional>

namespace {

QString columnList()
{
    QStringList columns;
    for (const CustomerBox& box : customerBoxes())
        columns << QString::fromUtf8(box.column);
    return columns.join(QStringLiteral(", "));
}

const QString ErrorTitle = QStringLiteral("エラー");

} // namespace

std::optional<CustomerValues> loadCustomer(Database& db, const QString& code)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT %1 FROM 顧客マスター WHERE 顧客コード = ?").arg(columnList()), {code});
    if (!q.next())
        return std::nullopt;
    CustomerValues values;
    for (int i = 0; i < CustomerBoxCount; ++i)
        values[i] = q.value(i);
    return values;
}

ChangeResult changeCustomer(Database& db, const QString& code, const std::map<int, QString>& changedTexts)
{
    QStringList assignments;
    QVariantList params;
    for (const auto& [index, typed] : changedTexts) {
        const CustomerBox& box = customerBoxes()[index];
        if (box.kind == CustomerBoxKind::ShownOnly)
            continue;
        const QString text = normalizedBoxText(index, typed);
        if (std::optional<QString> problem = customerBoxProblem(index, text))
            return {false, *problem};
        if (box.kind == CustomerBoxKind::BillingCode && text != QLatin1String("0")) {
            // A billing customer nobody can find would take the sales into
            // a receivable of no one.
            if (!db.scalar(QStringLiteral("SELECT 1 FROM 顧客マスター WHERE 顧客コード = ?"), {text}).isValid())
                return {false, QStringLiteral("「%1」の顧客「%2」は登録されていません。").arg(QString::fromUtf8(box.column), text)};
        }
        assignments << QString::fromUtf8(box.column) + QStringLiteral(" = ?");
        params << customerBoxValue(index, text);
    }
    if (assignments.isEmpty())
        return {true, QString()};
    params << code;
    try {
        db.exec(QStringLiteral("UPDATE 顧客マスター SET %1 WHERE 顧客コード = ?").arg(assignments.join(QStringLiteral(", "))),
                params);
    } catch (const DatabaseError& e) {
        QString reason = databaseErrorDescription(e.databaseText());
        if (refusedRule(e.databaseText()) == RefusedRule::Duplicate)
            reason = QStringLiteral("顧客コードが重複しています。変更して下さい。");
        return {false, QStringLiteral("Data error event hit err:") + reason};
    }
    if (db.changes() == 0)
        return {false, QStringLiteral("顧客「%1」が見つかりません。ほかの画面で削除されたかもしれません。").arg(code)};
    return {true, QString()};
}

bool deleteCustomer(Database& db, const QString& code)
{
    try {
        db.exec(QStringLiteral("DELETE FROM 顧客マスター WHERE 顧客コード = ?"), {code});
    } catch (const DatabaseError&) {
        return false;
    }
    return true;
}

namespace {

// A click (or F4) on a box runs the box's action; the box keeps its usual
// behaviour otherwise.
class BoxClickFilter : public QObject {
public:
    BoxClickFilter(QObject* parent, std::function<void()> onClick) : QObject(parent), onClick_(std::move(onClick)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            auto* widget = static_cast<QWidget*>(watched);
            if (mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint()))
                onClick_();
        } else if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F4) {
            onClick_();
            return true;
        }
        return false;
    }

private:
    std::function<void()> onClick_;
};

} // namespace

frm顧客変更::frm顧客変更(const QString& code, QWidget* parent)
    : QDialog(parent), db_(session().config.databasePath), code_(code)
{
    setObjectName(QStringLiteral("frm顧客変更"));
    setWindowTitle(QStringLiteral("顧客マスター"));

    // Two columns of sixteen boxes, read top to bottom, left then right.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(5);
    constexpr int PerColumn = CustomerBoxCount / 2;
    for (int i = 0; i < CustomerBoxCount; ++i) {
        const CustomerBox& box = customerBoxes()[i];
        lblLabels[i] = new QLabel(QString::fromUtf8(box.caption), this);
        lblLabels[i]->setObjectName(QStringLiteral("lblLabels_%1").arg(i));
        QLineEdit* line = new QLineEdit(this);
        line->setObjectName(QStringLiteral("txtFields_%1").arg(i));
        line->setMinimumWidth(box.maxLength > 13 || box.kind == CustomerBoxKind::Text ? 230 : 170);
        lblLabels[i]->setBuddy(line);
        if (box.kind == CustomerBoxKind::ShownOnly) {
            line->setReadOnly(true);
            line->setFocusPolicy(Qt::ClickFocus);
            QPalette palette = line->palette();
            palette.setColor(QPalette::Base, palette.color(QPalette::Window));
            line->setPalette(palette);
        }
        if (box.stored != ValueKind::Text)
            line->setAlignment(Qt::AlignRight);
        if (box.picker) {
            line->setCursor(Qt::PointingHandCursor);
            line->setToolTip(QStringLiteral("クリックして選択（F4 キーでも選べます）"));
            line->installEventFilter(new BoxClickFilter(line, [this, i] { txtFields_Click(i); }));
        }
        const int column = (i / PerColumn) * 3; // column 2 keeps the two halves apart
        grid->addWidget(lblLabels[i], i % PerColumn, column);
        grid->addWidget(line, i % PerColumn, column + 1);
        txtFields[i] = line;
    }
    grid->setColumnMinimumWidth(2, 18);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);

    auto makeButton = [this](const char* name, const char* caption) {
        auto* button = new QPushButton(QString::fromUtf8(caption), this);
        button->setObjectName(QString::fromUtf8(name));
        button->setMinimumSize(110, 34);
        button->setAutoDefault(false);
        return button;
    };
    cmdUpdate = makeButton("cmdUpdate", "更新(&U)");
    cmdDelete = makeButton("cmdDelete", "削除(&D)");
    cmdClose = makeButton("cmdClose", "閉じる(&C)");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdUpdate);
    buttons->addWidget(cmdDelete);
    buttons->addSpacing(24);
    buttons->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(cmdUpdate, &QPushButton::clicked, this, [this] { cmdUpdate_Click(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });

    QWidget* previous = nullptr;
    for (QLineEdit* line : txtFields) {
        if (line->focusPolicy() != Qt::StrongFocus)
            continue;
        if (previous)
            setTabOrder(previous, line);
        previous = line;
    }
    setTabOrder(previous, cmdUpdate);
    setTabOrder(cmdUpdate, cmdDelete);
    setTabOrder(cmdDelete, cmdClose);
    enableEnterNavigation(this);

    const std::optional<CustomerValues> values = loadCustomer(db_, code_);
    if (!values)
        throw DatabaseError(QStringLiteral("顧客「%1」が見つかりません。").arg(code_), QStringLiteral("顧客マスター"));
    showValues(*values);
    txtFields[0]->setFocus();
}

void frm顧客変更::showValues(const CustomerValues& values)
{
    for (int i = 0; i < CustomerBoxCount; ++i) {
        loaded_[i] = customerBoxText(i, values[i]);
        txtFields[i]->setText(loaded_[i]);
        txtFields[i]->setCursorPosition(0);
    }
}

void frm顧客変更::txtFields_Click(int index)
{
    if (index < 0 || index >= CustomerBoxCount)
        return;
    const CustomerBox& box = customerBoxes()[index];
    if (!box.picker)
        return;
    QLineEdit* line = txtFields[index];
    const QString picker = QString::fromUtf8(box.picker);
    if (box.kind == CustomerBoxKind::BillingCode) {
        // The customer billed instead of this one.
        if (openScreen(picker, QStringLiteral("顧客選択"), this) == QDialog::Accepted)
            line->setText(session().customer.code);
        return;
    }
    const std::int32_t code = pickCode(picker, codeOfText(line->text()), this);
    line->setText(QString::number(code));
}

void frm顧客変更::cmdUpdate_Click()
{
    std::map<int, QString> changed;
    for (int i = 0; i < CustomerBoxCount; ++i)
        if (customerBoxes()[i].kind != CustomerBoxKind::ShownOnly && txtFields[i]->text() != loaded_[i])
            changed[i] = txtFields[i]->text();
    const ChangeResult result = changeCustomer(db_, code_, changed);
    if (!result.stored) {
        // Nothing was written; the typed values stay for correcting.
        ui().showMessage(result.message, ErrorTitle);
        return;
    }
    accept();
}

void frm顧客変更::cmdDelete_Click()
{
    if (!deleteCustomer(db_, code_)) {
        ui().showMessage(QStringLiteral("過去のデータが残っているため顧客の削除ができません。"), ErrorTitle);
        return;
    }
    accept();
}

void frm顧客変更::cmdClose_Click()
{
    reject();
}

QDialog* openCustomerChange(QWidget* parent)
{
    if (openScreen(QStringLiteral("frm顧客選択"), QStringLiteral("顧客選択"), parent) != QDialog::Accepted)
        return nullptr;
    const QString code = session().customer.code;
    {
        Database db(session().config.databasePath);
        if (!loadCustomer(db, code)) {
            ui().showMessage(QStringLiteral("顧客「%1」が見つかりません。").arg(code), ErrorTitle);
            return nullptr;
        }
    }
    return new frm顧客変更(code, parent);
}
