// The sales slip screen: a whole sale from the main window's "売上" button
// through the customer picker, the history and the product picker to the
// stored rows and the printed slip; the five-line limit, the payment buttons
// and what the screen shows.
#include "app/MainWindow.h"
#include "session/Routines.h"
#include "ui/Screens.h"
#include "customers/CustomerScreens.h"
#include "print/RecordingSurface.h"
#include "sales/ProductPicker.h"
#include "sales/SalesScreens.h"
#include "sales/SalesSlip.h"
#include "support/Controls.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/JapaneseFont.h"
#include "SalesData.h"
#include "support/Grids.h"
#include "support/ListViews.h"
#include "support/Pictures.h"
#include "support/Typing.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// One product line chosen in the sales picker: department, product, an
// optional price typed over the product's, quantity, "ＯＫ".
struct PickerEntry {
    QString department;
    QString product;
    QString price; // empty: the product's price
    QString quantity;
};

class SalesSlipTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        addShopProducts(db);
        addCustomerRow(db, QStringLiteral("C001"), QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"), QStringLiteral("山田　太郎"));
        addCustomerRow(db, QStringLiteral("C002"), QStringLiteral("ｱｵｷ ﾊﾅｺ"), QStringLiteral("青木　花子"));
        registerCustomerScreens();
        registerSalesScreens();
    }

    // The customer picker: "や", the name, "ＯＫ" (or the close box).
    void pickCustomer(bool confirm = true)
    {
        ui->onScreen(QStringLiteral("frm顧客選択"), [confirm](QDialog& d) {
            clickButton(&d, QStringLiteral("Command1_35")); // や
            clickListRow(control<QListView>(&d, QStringLiteral("DBList1")), QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"));
            if (confirm)
                clickButton(&d, QStringLiteral("Command2"));
            else
                d.close();
        });
    }

    // The history: "ＯＫ", or "前回どおり" when asked.
    void closeHistory(bool repeat = false)
    {
        ui->onScreen(QStringLiteral("frm顧客実績表示"), [repeat](QDialog& d) {
            clickButton(&d, repeat ? QStringLiteral("Command2") : QStringLiteral("Command1"));
        });
    }

    // The product picker takes the entries in turn, one per opening.
    void pickProducts(std::vector<PickerEntry> entries)
    {
        entries_ = std::move(entries);
        pickerRuns = 0;
        ui->onScreen(QStringLiteral("frm商品選択"), [this](QDialog& dialog) {
            auto& d = static_cast<frm商品選択&>(dialog);
            ASSERT_LT(pickerRuns, int(entries_.size())) << "picker opened once too often";
            const PickerEntry& e = entries_[std::size_t(pickerRuns++)];
            if (!e.department.isEmpty())
                clickListRow(d.departmentList, e.department);
            clickListRow(d.productList, e.product);
            if (!e.price.isEmpty())
                typeKeyByKey(d.priceBox, e.price);
            typeKeyByKey(d.quantityBox, e.quantity);
            clickButton(&d, QStringLiteral("Command1"));
        });
    }

    // Opens the sales slip as the operator does, from the main window.
    void startSale(const std::function<void(frm売上&)>& onSlip)
    {
        ui->onScreen(QStringLiteral("frm売上"), [onSlip](QDialog& d) { onSlip(static_cast<frm売上&>(d)); });
        frmTQメイン w(testSession());
        w.show();
        clickButton(&w, QStringLiteral("cmd売上"));
    }

    TestInstallation inst;
    ScriptedUiScope ui;
    Database db = inst.database();
    int pickerRuns = 0;
    const qint64 today = Date::today().dayNumber();

private:
    std::vector<PickerEntry> entries_;
};

} // namespace

TEST_F(SalesSlipTest, WholeCreditSaleWithPrintedSlip)
{
    PrintCapture capture;
    pickCustomer();
    closeHistory();
    pickProducts({{QStringLiteral("米"), QStringLiteral("コシヒカリ５ｋｇ"), QString(), QStringLiteral("0.25")},
                  {QString(), QStringLiteral("精米１０ｋｇ"), QStringLiteral("250"), QStringLiteral("2")}});
    startSale([&](frm売上& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("売上"));
        EXPECT_EQ(labelText(&d, "lbl顧客コード"), QStringLiteral("C001"));
        EXPECT_EQ(labelText(&d, "lbl顧客名前"), QStringLiteral("山田　太郎"));
        EXPECT_EQ(labelText(&d, "lbl売上日"), Date::today().toShortString());
        EXPECT_EQ(labelText(&d, "lbl請求額"), QStringLiteral("12000"));
        EXPECT_EQ(labelText(&d, "lbl既入金額"), QStringLiteral("5000"));
        EXPECT_EQ(labelText(&d, "lbl締後売上額"), QStringLiteral("3150"));
        EXPECT_EQ(gridRow(d.lineGrid, 0),
                  QStringList({"1", "1", "0", "12           ", "ｺｼﾋｶﾘ   ", text::fixed("コシヒカリ５ｋｇ", 24), "2000", "0.25", "500"}));
        EXPECT_EQ(gridRow(d.lineGrid, 1), QStringList(9, QString()));
        EXPECT_EQ(labelText(&d, "lbl外税1売上金額"), QStringLiteral("500"));
        EXPECT_EQ(labelText(&d, "lbl消費税額"), QStringLiteral("25"));

        clickButton(&d, QStringLiteral("Command3"));
        EXPECT_EQ(gridRow(d.lineGrid, 1),
                  QStringList({"2", "1", "0", "4901234567894", "ｾｲﾏｲ    ", text::fixed("精米１０ｋｇ", 24), "250", "2", "500"}));
        EXPECT_EQ(labelText(&d, "lbl外税1売上金額"), QStringLiteral("1000"));
        EXPECT_EQ(labelText(&d, "lbl消費税額"), QStringLiteral("50"));
        EXPECT_EQ(labelText(&d, "lbl合計金額"), QStringLiteral("1050"));
        EXPECT_EQ(labelText(&d, "lbl税率1"), QStringLiteral("税率1　 5"));
        EXPECT_EQ(labelText(&d, "lbl税率2"), QStringLiteral("税率2　 8"));

        clickButton(&d, QStringLiteral("Command5")); // 売掛（納品書必要）
        EXPECT_FALSE(d.isVisible());
    });

    EXPECT_EQ(ui->openedScreens,
              QStringList({"frm顧客選択", "frm顧客実績表示", "frm商品選択", "frm売上", "frm商品選択"}));
    EXPECT_TRUE(ui->messages.empty()) << ui->lastMessage().toStdString();
    EXPECT_GT(ui->busyCount, 0);
    EXPECT_EQ(ui->busyDepth, 0);

    const QString day = QString::number(today);
    EXPECT_EQ(tableRows(db, QStringLiteral("売上商品マスター仮"), 1),
              QStringList({"1|" + day + "|C001|1|1|0|12           |コシヒカリ５ｋｇ    |20000000|2500",
                           "1|" + day + "|C001|1|1|0|4901234567894|精米１０ｋｇ      |2500000|20000",
                           "1|" + day + "|C001|1|99|9|999900|　　　消費税|500000|10000"}));
    EXPECT_EQ(tableRows(db, QStringLiteral("経理マスター仮"), 1),
              QStringList({"1|" + day + "|10000000|110|0|5000|C001", "1|" + day + "|500000|110|0|3079|C001"}));
    EXPECT_EQ(inst.counterInFile(), QStringLiteral(" 2"));
    EXPECT_EQ(testSession().config.slipCounter, 2);

    // The slip was printed once, as a credit sale, with number 1.
    ASSERT_EQ(capture.count(), 1);
    const RecordingSurface& slip = capture.surface(0);
    EXPECT_EQ(slip.documentName(), QStringLiteral("納品書"));
    EXPECT_TRUE(slip.ended());
    EXPECT_NE(slip.find(QStringLiteral("★★★ 受　領　書 ★★★")), nullptr);
    EXPECT_EQ(slip.findAll(QStringLiteral("伝票No　1")).size(), 3u);
    EXPECT_EQ(slip.findAll(QStringLiteral("山田　太郎　様")).size(), 3u);
    EXPECT_NE(slip.findStarting(QStringLiteral("合計金額　 \\1,050")), nullptr);

    // The slip is over: the buffer and the customer are cleared.
    EXPECT_EQ(testSession().lineCount, 0);
    EXPECT_TRUE(testSession().customer.code.isEmpty());
}

TEST_F(SalesSlipTest, CustomerPickerClosedWithoutOkEndsTheSale)
{
    pickCustomer(false);
    startSale([](frm売上&) { ADD_FAILURE() << "the slip must not open"; });
    EXPECT_EQ(ui->openedScreens, QStringList({"frm顧客選択"}));
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 0);
    EXPECT_TRUE(testSession().customer.code.isEmpty());
}

TEST_F(SalesSlipTest, FiveLinesAtMostAndRecordOnlyPrintsNothing)
{
    PrintCapture capture;
    pickCustomer();
    closeHistory();
    const PickerEntry kerosene{QStringLiteral("灯油"), QStringLiteral("灯油１８Ｌ"), QString(), QStringLiteral("1")};
    pickProducts({kerosene, kerosene, kerosene, kerosene, kerosene, kerosene});
    startSale([&](frm売上& d) {
        for (int i = 0; i < 4; ++i)
            clickButton(&d, QStringLiteral("Command3"));
        ASSERT_EQ(testSession().lineCount, 5);
        EXPECT_TRUE(ui->messages.empty());

        clickButton(&d, QStringLiteral("Command3"));
        ASSERT_EQ(ui->messages.size(), 1u);
        EXPECT_EQ(ui->messages[0].text, QStringLiteral("売上商品は､1回5品まで"));
        EXPECT_EQ(ui->messages[0].title, QStringLiteral("売上商品数オーバー"));
        EXPECT_EQ(pickerRuns, 5) << "no picker after five lines";
        EXPECT_EQ(testSession().lineCount, 5);
        EXPECT_EQ(gridRow(d.lineGrid, 4)[0], QStringLiteral("5"));
        EXPECT_EQ(labelText(&d, "lbl内税1売上金額"), QStringLiteral("7500"));
        EXPECT_EQ(labelText(&d, "lbl消費税額"), QStringLiteral("0"));

        clickButton(&d, QStringLiteral("Command4")); // 現金（記録のみ）
    });
    EXPECT_EQ(capture.count(), 0);
    // Five tax-included lines: no tax line, one ledger row on cash.
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 5);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 売上商品マスター仮 WHERE 売上種別コード = 0 AND 売上部門コード = 2"))
                  .toInt(),
              5);
    EXPECT_EQ(tableRows(db, QStringLiteral("経理マスター仮"), 1),
              QStringList({QString::number(1) + "|" + QString::number(today) + "|75000000|10|0|5050|C001"}));
}

TEST_F(SalesSlipTest, RepeatedPreviousOrderSkipsTheProductPicker)
{
    const Date earlier = Date::today().addDays(-30);
    const auto posted = [&](int serial, int department, int tax, const char* code, const char* name, const char* price) {
        db.exec(QStringLiteral("INSERT INTO 売上商品マスター (売上シリアル, 売上伝票番号, 売上年月日, 売上顧客コード,"
                               " 売上種別コード, 売上部門コード, 売上税区分コード, 売上単品コード, 売上単品名, 売上単価, 売上個数)"
                               " VALUES (?, 500, ?, 'C001', 1, ?, ?, ?, ?, ?, 10000)"),
                {serial, sqlValue(earlier), department, tax, QString::fromUtf8(code), QString::fromUtf8(name),
                 sqlValue(yen(price))});
    };
    posted(1, 1, 0, "12", "コシヒカリ５ｋｇ", "2000");
    posted(2, 2, 5, "201", "灯油１８Ｌ", "1500");
    posted(3, 99, 9, "999900", "　　　消費税", "100");

    pickCustomer();
    closeHistory(true);
    pickProducts({});
    startSale([&](frm売上& d) {
        EXPECT_EQ(gridRow(d.lineGrid, 0)[5].trimmed(), QStringLiteral("コシヒカリ５ｋｇ"));
        EXPECT_EQ(gridRow(d.lineGrid, 1)[5].trimmed(), QStringLiteral("灯油１８Ｌ"));
        EXPECT_EQ(gridRow(d.lineGrid, 2)[0], QString());
        // Totals computed for the repeated lines.
        EXPECT_EQ(labelText(&d, "lbl外税1売上金額"), QStringLiteral("2000"));
        EXPECT_EQ(labelText(&d, "lbl内税1売上金額"), QStringLiteral("1500"));
        EXPECT_EQ(labelText(&d, "lbl消費税額"), QStringLiteral("100"));
        EXPECT_EQ(labelText(&d, "lbl合計金額"), QStringLiteral("3600"));
        clickButton(&d, QStringLiteral("Command2")); // キャンセル
    });
    EXPECT_EQ(pickerRuns, 0);
    EXPECT_FALSE(ui->openedScreens.contains(QStringLiteral("frm商品選択")));
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 0);
    EXPECT_EQ(testSession().lineCount, 0);
    EXPECT_EQ(inst.counterInFile(), QStringLiteral(" 1"));
}

TEST_F(SalesSlipTest, PrinterFailureIsToldAndTheSaleStillStored)
{
    PrintCapture capture;
    capture.failOpening(QStringLiteral("プリンターが見つかりません。"));
    pickCustomer();
    closeHistory();
    pickProducts({{QString(), QStringLiteral("コシヒカリ５ｋｇ"), QString(), QStringLiteral("1")}});
    startSale([&](frm売上& d) { clickButton(&d, QStringLiteral("Command1")); }); // 現金（納品書必要）

    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("印刷エラー"));
    EXPECT_TRUE(ui->messages[0].text.contains(QStringLiteral("プリンターが見つかりません。")));
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 2);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT 経理借方コード FROM 経理マスター仮 WHERE 経理貸方コード = 5000")).toInt(), 10);
    EXPECT_EQ(inst.counterInFile(), QStringLiteral(" 2"));
}

TEST_F(SalesSlipTest, SlipIsPrintedBeforeAFailedStoreAndTheNumberIsUsedAgain)
{
    PrintCapture capture;
    db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON 売上商品マスター仮 WHEN NEW.売上部門コード = 99"
                           " BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    pickCustomer();
    closeHistory();
    pickProducts({{QString(), QStringLiteral("コシヒカリ５ｋｇ"), QString(), QStringLiteral("1")}});
    startSale([&](frm売上& d) { clickButton(&d, QStringLiteral("Command1")); });

    ASSERT_EQ(capture.count(), 1);
    EXPECT_NE(capture.surface(0).find(QStringLiteral("☆☆☆ 領　収　書 ☆☆☆")), nullptr);
    EXPECT_EQ(capture.surface(0).findAll(QStringLiteral("伝票No　1")).size(), 3u);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, QStringLiteral("記録の書き込みに失敗しました。やり直してください・"));
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 0);
    EXPECT_EQ(rowCount(db, QStringLiteral("経理マスター仮")), 0);
    EXPECT_EQ(testSession().config.slipCounter, 1);
    EXPECT_EQ(inst.counterInFile(), QStringLiteral(" 1"));
    EXPECT_EQ(testSession().lineCount, 0) << "the operator enters the slip again";
    EXPECT_EQ(ui->busyDepth, 0);
}

TEST_F(SalesSlipTest, GridAndCaptionsFitTheirTexts)
{
    SessionState& s = testSession();
    s.customer.code = QStringLiteral("C001");
    s.customer.name = QStringLiteral("山田　太郎");
    s.customer.slipDate = Date::fromParts(2024, 5, 1);
    s.config.taxRate1() = QStringLiteral("0.035");
    appendSlipLine(s, 1, 0, QStringLiteral("4901234567894"), QStringLiteral("特選コシヒカリ５ｋｇ　新潟県魚沼産令和六"),
            "123456", "999.5", QStringLiteral("ｺｼﾋｶﾘﾄｸ"));
    appendSlipLine(s, 12, 9, QStringLiteral("12"), QStringLiteral("配達料"), "300", "1");
    computeSlipTotals(s);

    frm売上 d(testSession());
    d.show();
    QApplication::processEvents();
    EXPECT_EQ(labelText(&d, "lbl売上日"), QStringLiteral("2024/05/01"));
    EXPECT_EQ(labelText(&d, "lbl税率1"), QStringLiteral("税率1　 3.5"));
    QTableWidget* g = d.lineGrid;
    const QStringList headings = {"No.", "部門", "税", "商品コード", "品名カナ", "商品名", "単価", "個数", "金額"};
    const int twips[] = {400, 600, 400, 1800, 1500, 3000, 900, 800, 1400};
    ASSERT_EQ(g->columnCount(), 9);
    ASSERT_EQ(g->rowCount(), 5);
    for (int c = 0; c < 9; ++c) {
        EXPECT_EQ(g->horizontalHeaderItem(c)->text(), headings[c]);
        EXPECT_GE(g->columnWidth(c), twips[c] / 15) << c;
        EXPECT_GE(g->columnWidth(c), g->horizontalHeader()->sectionSizeHint(c)) << c;
        for (int r = 0; r < 2; ++r)
            EXPECT_GE(g->columnWidth(c), g->fontMetrics().horizontalAdvance(g->item(r, c)->text().trimmed()))
                << r << "/" << c;
    }
    EXPECT_GE(g->rowHeight(0), 20);
    EXPECT_GE(g->rowHeight(0), g->fontMetrics().height());
    EXPECT_EQ(gridRow(g, 0)[8], QStringLiteral("123394272")); // Int(123456 × 999.5)
    // The whole grid is in view: no row or column hides behind a scroll bar.
    EXPECT_GE(g->viewport()->width(), g->horizontalHeader()->length());
    EXPECT_GE(g->viewport()->height(), g->verticalHeader()->length());
    for (QLabel* label : d.findChildren<QLabel*>()) {
        if (label->isVisible() && !label->text().isEmpty()) {
            EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(label->text()))
                << label->objectName().toStdString();
        }
    }
    expectButtonsFitCaptions(d);
}

// Renders the slip with two lines and both pickers; with
// HIMAWARI_SCREENSHOTS set the pictures are kept in that folder.
TEST_F(SalesSlipTest, RendersTheScreens)
{
    useJapaneseFont();
    SessionState& s = testSession();
    choosePictureCustomer(s, QStringLiteral("C001"), yen("12000"), yen("5000"), yen("3150"));
    appendSlipLine(s, 1, 0, QStringLiteral("12"), QStringLiteral("コシヒカリ５ｋｇ"), "2000", "1", QStringLiteral("ｺｼﾋｶﾘ"));
    appendSlipLine(s, 2, 5, QStringLiteral("201"), QStringLiteral("灯油１８Ｌ"), "1500", "2", QStringLiteral("ﾄｳﾕ"));
    computeSlipTotals(s);

    const QString folder = pictureFolder(inst.dir());
    frm売上 slip(testSession());
    savePicture(slip, folder, QStringLiteral("sales-slip.png"));
    frm商品選択 picker(testSession());
    clickListRow(picker.productList, QStringLiteral("コシヒカリ５ｋｇ"));
    typeKeyByKey(picker.quantityBox, QStringLiteral("2"));
    savePicture(picker, folder, QStringLiteral("product-picker.png"));
    frm商品選択2 plain(testSession());
    savePicture(plain, folder, QStringLiteral("product-picker2.png"));
}

TEST_F(SalesSlipTest, ASlipDatedInTheClosedYearIsRefusedBeforeAnyLineIsEntered)
{
    // The year-end closed the books through today: a slip dated today would
    // land in a period already carried forward.
    db.exec(QStringLiteral("INSERT INTO 年次更新ＴＢＬ (年次更新期末日, 年次更新実行日) VALUES (?, ?)"),
            {sqlValue(Date::today()), sqlValue(Date::today())});
    PrintCapture capture;
    pickCustomer();
    startSale([](frm売上&) { ADD_FAILURE() << "slip opened for a closed date"; });
    EXPECT_EQ(ui->openedScreens, QStringList({"frm顧客選択"}));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text,
              QStringLiteral("%1 までの期間は年次更新で締めてあります。\n%1 の日付では記録できません。%2 以降の日付にしてください。")
                  .arg(Date::today().toShortString(), Date::today().addDays(1).toShortString()));
    EXPECT_EQ(capture.count(), 0);
    EXPECT_TRUE(tableRows(db, QStringLiteral("売上商品マスター仮"), 1).isEmpty());
    EXPECT_EQ(inst.counterInFile(), QStringLiteral(" 1"));
}

TEST_F(SalesSlipTest, TheButtonDrawnAsDefaultIsTheOneEnterPresses)
{
    pickCustomer();
    closeHistory();
    pickProducts({{QStringLiteral("米"), QStringLiteral("コシヒカリ５ｋｇ"), QString(), QStringLiteral("1")},
                  {QString(), QStringLiteral("精米１０ｋｇ"), QString(), QStringLiteral("1")}});
    startSale([&](frm売上& d) {
        d.activateWindow();
        QApplication::processEvents();
        const auto drawnDefault = [&d] {
            QStringList names;
            for (QPushButton* b : d.findChildren<QPushButton*>())
                if (b->isDefault())
                    names << b->objectName();
            return names;
        };
        ASSERT_EQ(d.focusWidget(), d.moreProductsButton);
        EXPECT_EQ(drawnDefault(), QStringList({"Command3"}));
        // Enter on "商品選択へ" adds a line and comes back to it, still the
        // only button drawn as default ("キャンセル" was drawn so before).
        QTest::keyClick(d.moreProductsButton, Qt::Key_Return);
        EXPECT_EQ(pickerRuns, 2);
        EXPECT_EQ(testSession().lineCount, 2);
        EXPECT_EQ(drawnDefault(), QStringList({"Command3"}));
        // Tab to "現金（記録のみ）": drawn as default, and Enter stores the cash sale.
        d.cashRecordButton->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(drawnDefault(), QStringList({"Command4"}));
        QTest::keyClick(d.cashRecordButton, Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(tableRows(db, QStringLiteral("経理マスター仮"), 1).size(), 2);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT DISTINCT 売上種別コード FROM 売上商品マスター仮")).toInt(), 0);
}
