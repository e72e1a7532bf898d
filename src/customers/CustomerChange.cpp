#include "customers/CustomerChange.h"

#include "ui/Screens.h"
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

frm顧客変更::frm顧客変更(SessionState& state, const QString& code, QWidget* parent)
    : QDialog(parent), state_(state), db_(state.config.databasePath), code_(code)
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
        captions[i] = new QLabel(QString::fromUtf8(box.caption), this);
        captions[i]->setObjectName(QStringLiteral("lblLabels_%1").arg(i));
        QLineEdit* line = new QLineEdit(this);
        line->setObjectName(QStringLiteral("txtFields_%1").arg(i));
        line->setMinimumWidth(box.maxLength > 13 || box.kind == CustomerBoxKind::Text ? 230 : 170);
        captions[i]->setBuddy(line);
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
            line->installEventFilter(new BoxClickFilter(line, [this, i] { boxClicked(i); }));
        }
        const int column = (i / PerColumn) * 3; // column 2 keeps the two halves apart
        grid->addWidget(captions[i], i % PerColumn, column);
        grid->addWidget(line, i % PerColumn, column + 1);
        boxes[i] = line;
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
    updateButton = makeButton("cmdUpdate", "更新(&U)");
    deleteButton = makeButton("cmdDelete", "削除(&D)");
    closeButton = makeButton("cmdClose", "閉じる(&C)");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(updateButton);
    buttons->addWidget(deleteButton);
    buttons->addSpacing(24);
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(updateButton, &QPushButton::clicked, this, [this] { updateClicked(); });
    connect(deleteButton, &QPushButton::clicked, this, [this] { deleteClicked(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { closeClicked(); });

    QWidget* previous = nullptr;
    for (QLineEdit* line : boxes) {
        if (line->focusPolicy() != Qt::StrongFocus)
            continue;
        if (previous)
            setTabOrder(previous, line);
        previous = line;
    }
    setTabOrder(previous, updateButton);
    setTabOrder(updateButton, deleteButton);
    setTabOrder(deleteButton, closeButton);
    enableEnterNavigation(this);

    const std::optional<CustomerValues> values = loadCustomer(db_, code_);
    if (!values)
        throw DatabaseError(QStringLiteral("顧客「%1」が見つかりません。").arg(code_), QStringLiteral("顧客マスター"));
    showValues(*values);
    boxes[0]->setFocus();
}

void frm顧客変更::showValues(const CustomerValues& values)
{
    for (int i = 0; i < CustomerBoxCount; ++i) {
        loaded_[i] = customerBoxText(i, values[i]);
        boxes[i]->setText(loaded_[i]);
        boxes[i]->setCursorPosition(0);
    }
}

void frm顧客変更::boxClicked(int index)
{
    if (index < 0 || index >= CustomerBoxCount)
        return;
    const CustomerBox& box = customerBoxes()[index];
    if (!box.picker)
        return;
    QLineEdit* line = boxes[index];
    const QString picker = QString::fromUtf8(box.picker);
    if (box.kind == CustomerBoxKind::BillingCode) {
        // The customer billed instead of this one.
        if (openScreen(state_, picker, QStringLiteral("顧客選択"), this) == QDialog::Accepted)
            line->setText(state_.customer.code);
        return;
    }
    const std::int32_t code = pickCode(state_, picker, codeOfText(line->text()), this);
    line->setText(QString::number(code));
}

void frm顧客変更::updateClicked()
{
    std::map<int, QString> changed;
    for (int i = 0; i < CustomerBoxCount; ++i)
        if (customerBoxes()[i].kind != CustomerBoxKind::ShownOnly && boxes[i]->text() != loaded_[i])
            changed[i] = boxes[i]->text();
    const ChangeResult result = changeCustomer(db_, code_, changed);
    if (!result.stored) {
        // Nothing was written; the typed values stay for correcting.
        ui().showMessage(result.message, ErrorTitle);
        return;
    }
    accept();
}

void frm顧客変更::deleteClicked()
{
    if (!deleteCustomer(db_, code_)) {
        ui().showMessage(QStringLiteral("過去のデータが残っているため顧客の削除ができません。"), ErrorTitle);
        return;
    }
    accept();
}

void frm顧客変更::closeClicked()
{
    reject();
}

QDialog* openCustomerChange(SessionState& state, QWidget* parent)
{
    if (openScreen(state, QStringLiteral("frm顧客選択"), QStringLiteral("顧客選択"), parent) != QDialog::Accepted)
        return nullptr;
    const QString code = state.customer.code;
    {
        Database db(state.config.databasePath);
        if (!loadCustomer(db, code)) {
            ui().showMessage(QStringLiteral("顧客「%1」が見つかりません。").arg(code), ErrorTitle);
            return nullptr;
        }
    }
    return new frm顧客変更(state, code, parent);
}
