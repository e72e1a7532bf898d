#include "customers/CustomerChange.h"

#include "ui/Screens.h"
#include "session/Session.h"
#include "masters/CodePicker.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>

QString customerBoxText(int index, const QVariant& stored)
{
    const ValueKind kind = customerBoxes()[index].stored;
    if (kind == ValueKind::Date && !stored.isNull() && stored.toDouble() == 0)
        return QString();
    return displayText(stored, kind);
}

namespace {

const QString ErrorTitle = QStringLiteral("エラー");

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
