#include "sales/SalesSlip.h"

#include "session/Routines.h"
#include "ui/Screens.h"
#include "session/Session.h"
#include "core/Text.h"
#include "db/Database.h"
#include "print/PrintSurface.h"
#include "print/SlipPrinting.h"
#include "sales/SlipStore.h"
#include "ui/DisplayField.h"
#include "ui/EnterNavigation.h"
#include "ui/ScreenWidgets.h"
#include "ui/UiService.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int TwipsPerPixel = 15;

struct GridColumn {
    const char* heading;
    int twips;
    bool number;
};
const GridColumn gridColumns[] = {
    {"No.", 400, true},        {"部門", 600, true},    {"税", 400, true},
    {"商品コード", 1800, false}, {"品名カナ", 1500, false}, {"商品名", 3000, false},
    {"単価", 900, true},       {"個数", 800, true},    {"金額", 1400, true},
};
constexpr int RowTwips = 300;
// Room a cell's text needs beside it: the cell margins and the grid line.
constexpr int CellPadding = 12;

// The slip in the buffer as the sheet prints it, with the number it is about
// to be stored under. A number that does not fit throws SlipNumberOverflow;
// an empty slip prints nothing and needs none.
SlipPrintout slipPrintout(const SessionState& s)
{
    SlipPrintout slip{s.saleKind, 0, s.previousSaleDate, s.customer, {}, s.totals};
    slip.lines.assign(s.lines.begin() + 1, s.lines.begin() + 1 + s.lineCount);
    if (!slip.lines.empty())
        slip.slipNumber = currentSlipNumber(s.config);
    return slip;
}

QLabel* captionLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("cap") + text);
    return label;
}

QPushButton* button(const char* objectName, const char* caption, QWidget* parent)
{
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromUtf8(objectName));
    b->setMinimumHeight(b->sizeHint().height() + 12);
    b->setAutoDefault(false);
    return b;
}

// "税率1　" followed by the rate × 100 in its Str form (" 5" for 0.05).
QString rateCaption(const QString& caption, const QString& rateText)
{
    QString number;
    try {
        number = text::Str((text::valCurrency(rateText) * Currency::fromUnits(100)).toDouble());
    } catch (const CurrencyOverflow&) {
        number = QStringLiteral(" ") + rateText.trimmed();
    }
    return caption + number;
}

} // namespace

frm売上::frm売上(SessionState& state, QWidget* parent)
    : QDialog(parent),
      state_(state),
      customerPanel(this, {"lbl顧客コード", "lbl顧客名前", "lbl顧客カナ名前", "lbl顧客住所１", "lbl顧客住所２", "lbl顧客電話番号",
                           "lbl郵便番号", "lbl請求額", "lbl既入金額", "lbl締後売上額"})
{
    setObjectName(QStringLiteral("frm売上"));
    setWindowTitle(QStringLiteral("売上"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(12);

    // The chosen customer, and the slip's date beside its code.
    customerFrame = customerPanel.frame;
    slipDateField = displayField("lbl売上日", QStringLiteral("売上日"), customerFrame, false);
    customerPanel.grid->addWidget(captionFor(slipDateField, QStringLiteral("売上日"), customerFrame), 0, 2);
    customerPanel.grid->addWidget(slipDateField, 0, 3);
    layout->addWidget(customerFrame);

    // The line grid: a heading row and five rows.
    lineGrid = new QTableWidget(MaxLines, int(std::size(gridColumns)), this);
    lineGrid->setObjectName(QStringLiteral("fxg売上商品"));
    lineGrid->setAccessibleName(QStringLiteral("売上商品"));
    lineGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lineGrid->setSelectionMode(QAbstractItemView::NoSelection);
    // A display: the keyboard goes from button to button.
    lineGrid->setFocusPolicy(Qt::NoFocus);
    lineGrid->verticalHeader()->setVisible(false);
    lineGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lineGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QStringList headings;
    for (const GridColumn& c : gridColumns)
        headings << QString::fromUtf8(c.heading);
    lineGrid->setHorizontalHeaderLabels(headings);
    layout->addWidget(lineGrid);

    // The totals and the two rates.
    auto* totals = new QGridLayout;
    totals->setHorizontalSpacing(10);
    taxAdded1Field = displayField("lbl外税1売上金額", QStringLiteral("外税1売上金額"), this, true);
    taxAdded2Field = displayField("lbl外税2売上金額", QStringLiteral("外税2売上金額"), this, true);
    taxIncluded1Field = displayField("lbl内税1売上金額", QStringLiteral("内税1売上金額"), this, true);
    taxIncluded2Field = displayField("lbl内税2売上金額", QStringLiteral("内税2売上金額"), this, true);
    notTaxableField = displayField("lbl非課税売上金額", QStringLiteral("非課税売上金額"), this, true);
    consumptionTaxField = displayField("lbl消費税額", QStringLiteral("消費税額"), this, true);
    grandTotalField = displayField("lbl合計金額", QStringLiteral("合計金額"), this, true);
    QFont big = grandTotalField->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    grandTotalField->setFont(big);
    grandTotalField->setMinimumWidth(QFontMetrics(big).horizontalAdvance(QStringLiteral("000000000000")) + 12);
    rate1Label = new QLabel(this);
    rate1Label->setObjectName(QStringLiteral("lbl税率1"));
    rate2Label = new QLabel(this);
    rate2Label->setObjectName(QStringLiteral("lbl税率2"));
    auto addTotal = [&](int row, int column, const QString& text, QLabel* value) {
        QLabel* cap = captionLabel(text, this);
        cap->setBuddy(value);
        totals->addWidget(cap, row, column);
        totals->addWidget(value, row, column + 1);
    };
    totals->addWidget(rate1Label, 0, 0);
    totals->addWidget(rate2Label, 1, 0);
    addTotal(0, 1, QStringLiteral("外税1売上金額"), taxAdded1Field);
    addTotal(1, 1, QStringLiteral("外税2売上金額"), taxAdded2Field);
    addTotal(0, 3, QStringLiteral("内税1売上金額"), taxIncluded1Field);
    addTotal(1, 3, QStringLiteral("内税2売上金額"), taxIncluded2Field);
    addTotal(0, 5, QStringLiteral("非課税売上金額"), notTaxableField);
    addTotal(1, 5, QStringLiteral("消費税額"), consumptionTaxField);
    auto* grand = captionLabel(QStringLiteral("合計金額"), this);
    grand->setFont(big);
    grand->setBuddy(grandTotalField);
    totals->addWidget(grand, 2, 3, 1, 2, Qt::AlignRight);
    totals->addWidget(grandTotalField, 2, 5, 1, 2);
    totals->setColumnMinimumWidth(0, fontMetrics().horizontalAdvance(QStringLiteral("税率1　 10.5")) + 16);
    layout->addLayout(totals);

    // Payment buttons, then another product and cancel.
    cashSlipButton = button("Command1", "現金（納品書必要）", this);
    cashRecordButton = button("Command4", "現金（記録のみ）", this);
    creditSlipButton = button("Command5", "売掛（納品書必要）", this);
    creditRecordButton = button("Command6", "売掛（記録のみ）", this);
    moreProductsButton = button("Command3", "商品選択へ", this);
    cancelButton = button("Command2", "キャンセル", this);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(cashSlipButton);
    buttons->addWidget(cashRecordButton);
    buttons->addWidget(creditSlipButton);
    buttons->addWidget(creditRecordButton);
    buttons->addSpacing(24);
    buttons->addStretch(1);
    buttons->addWidget(moreProductsButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);

    connect(cashSlipButton, &QPushButton::clicked, this, [this] { pay(saleKind::Cash, true); });
    connect(cashRecordButton, &QPushButton::clicked, this, [this] { pay(saleKind::Cash, false); });
    connect(creditSlipButton, &QPushButton::clicked, this, [this] { pay(saleKind::Credit, true); });
    connect(creditRecordButton, &QPushButton::clicked, this, [this] { pay(saleKind::Credit, false); });
    connect(moreProductsButton, &QPushButton::clicked, this, [this] { chooseAnotherProduct(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });

    showCustomer();
    refreshSlipDisplay();
    // Enter on the first button another product, never a payment by chance;
    // the focused button is the one drawn as default and pressed by Enter.
    enableEnterNavigation(this);
    moreProductsButton->setFocus();
}

void frm売上::showCustomer()
{
    const ChosenCustomer& c = state_.customer;
    customerPanel.show(c);
    slipDateField->setText(c.slipDate.toShortString());
}

void frm売上::refreshSlipDisplay()
{
    const SessionState& s = state_;
    for (int row = 0; row < MaxLines; ++row) {
        const int n = row + 1;
        const bool used = n <= s.lineCount;
        const SlipLine& line = s.lines[std::min(n, SessionState::SlipCapacity)];
        const QString texts[] = {
            QString::number(n),
            QString::number(line.departmentCode),
            QString::number(line.taxCategory),
            line.productCode,
            line.kanaName,
            line.productName,
            line.unitPrice.toString(),
            line.quantity.toString(),
            line.amount.toString(),
        };
        for (int column = 0; column < int(std::size(gridColumns)); ++column) {
            auto* item = lineGrid->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment((gridColumns[column].number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
                lineGrid->setItem(row, column, item);
            }
            item->setText(used ? texts[column] : QString());
        }
    }

    const SlipTotals& t = s.totals;
    taxAdded1Field->setText(t.taxAddedRate1.toString());
    taxIncluded1Field->setText(t.taxIncludedRate1.toString());
    notTaxableField->setText(t.notTaxable.toString());
    consumptionTaxField->setText(t.consumptionTax.toString());
    grandTotalField->setText(t.grandTotal.toString());
    taxAdded2Field->setText(t.taxAddedRate2.toString());
    taxIncluded2Field->setText(t.taxIncludedRate2.toString());
    rate1Label->setText(rateCaption(QStringLiteral("税率1　"), s.config.taxRate1()));
    rate2Label->setText(rateCaption(QStringLiteral("税率2　"), s.config.taxRate2()));
    fitGrid();
}

// Columns at their given widths, wider where a heading or a text would be
// cut; rows at their given height or the font's, whichever is taller.
void frm売上::fitGrid()
{
    QTableWidget* g = lineGrid;
    QHeaderView* header = g->horizontalHeader();
    int total = 0;
    for (int column = 0; column < g->columnCount(); ++column) {
        int content = 0;
        for (int row = 0; row < g->rowCount(); ++row)
            if (const QTableWidgetItem* item = g->item(row, column))
                content = std::max(content, g->fontMetrics().horizontalAdvance(item->text()) + CellPadding);
        const int width = std::max({gridColumns[column].twips / TwipsPerPixel, header->sectionSizeHint(column), content});
        g->setColumnWidth(column, width);
        total += width;
    }
    const int rowHeight = std::max(RowTwips / TwipsPerPixel, g->fontMetrics().height() + 8);
    for (int row = 0; row < g->rowCount(); ++row)
        g->setRowHeight(row, rowHeight);
    const int frame = 2 * g->frameWidth();
    g->setFixedSize(total + frame, header->sizeHint().height() + rowHeight * g->rowCount() + frame);
}

bool frm売上::storeSlip()
{
    const SlipStoreResult result = ::storeSlip(state_);
    for (const SlipStoreMessage& m : result.messages)
        ui().showMessage(m.text, m.title);
    return result.stored;
}

void frm売上::chooseAnotherProduct()
{
    if (state_.lineCount >= MaxLines) {
        ui().showMessage(QStringLiteral("売上商品は､1回5品まで"), QStringLiteral("売上商品数オーバー"));
        return;
    }
    openScreen(state_, QStringLiteral("frm商品選択"), QStringLiteral("商品選択"), this);
    refreshSlipDisplay();
}

bool slipDateRefused(const SessionState& state);

void frm売上::pay(int kind, bool printSlip)
{
    // A slip dated in the closed period is refused before anything is
    // printed; the slip stays on the screen.
    if (slipDateRefused(state_))
        return;
    {
        BusyCursor busy;
        state_.saleKind = kind;
        // The slip is printed before it is stored, with the number it is
        // about to get. A printer that fails does not undo the sale.
        if (printSlip) {
            try {
                printSlipSet(state_.config, slipPrintout(state_));
            } catch (const PrintError& e) {
                ui().showMessage(QStringLiteral("納品書を印刷できませんでした。\n") + e.message()
                                     + QStringLiteral("\n\n売上は記録します。"),
                                 QStringLiteral("印刷エラー"));
            } catch (const std::exception& e) {
                ui().showMessage(QStringLiteral("納品書を印刷できませんでした。\n") + QString::fromUtf8(e.what())
                                     + QStringLiteral("\n\n売上は記録します。"),
                                 QStringLiteral("印刷エラー"));
            }
        }
        storeSlip();
    }
    clearSlip(state_);
    accept();
}

void frm売上::cancel()
{
    clearSlip(state_);
    reject();
}

// Tells the operator when the chosen slip date lies in the period the
// year-end closed.
bool slipDateRefused(const SessionState& state)
{
    try {
        Database db(state.config.databasePath);
        if (const std::optional<QString> refused = closedSlipDate(db, state)) {
            ui().showMessage(*refused, StoreFailedTitle);
            return true;
        }
    } catch (const DatabaseError&) {
        // The store reports a database that cannot be opened.
    }
    return false;
}

QDialog* openSalesSlip(SessionState& state, QWidget* parent)
{
    clearSlip(state);
    if (openScreen(state, QStringLiteral("frm顧客選択"), QStringLiteral("顧客選択"), parent) != QDialog::Accepted)
        return nullptr;
    if (state.customer.code.trimmed().isEmpty()) {
        ui().showMessage(QStringLiteral("顧客が選ばれていません。売上を入力するには顧客を選んでください。"),
                         QStringLiteral("売上"));
        clearSlip(state);
        return nullptr;
    }
    if (slipDateRefused(state)) {
        clearSlip(state);
        return nullptr;
    }
    openScreen(state, QStringLiteral("frm顧客実績表示"), QStringLiteral("顧客実績表示"), parent);
    if (state.lineCount > 0) {
        if (!computeSlipTotals(state))
            ui().showMessage(calculationTooLargeMessage(), calculationTooLargeTitle());
    } else {
        openScreen(state, QStringLiteral("frm商品選択"), QStringLiteral("商品選択"), parent);
    }
    return new frm売上(state, parent);
}
