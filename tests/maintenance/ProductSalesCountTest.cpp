// Product sales counts: which lines are counted (the product's own code,
// padded or not; whole days at both ends; posted lines only), the totals
// summed without cutting each line, the screen's flow from the picker, and
// the print-out's lines, totals and pages.
#include "maintenance/BackupScreen.h"
#include "maintenance/OldDataDeletionScreens.h"
#include "maintenance/ProductSalesCount.h"
#include "session/Screens.h"
#include "core/Text.h"
#include "print/QtPrintSurface.h"
#include "print/RecordingSurface.h"
#include "sales/ProductPicker.h"
#include "support/Controls.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/JapaneseFont.h"
#include "MaintenanceData.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <gtest/gtest.h>

using namespace maintenance;

namespace {

const QString Rice = QStringLiteral("精米１０ｋｇ");

QStringList gridRow(const QTableView* grid, int row)
{
    QStringList texts;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        texts << grid->model()->index(row, c).data().toString();
    return texts;
}

QStringList lineTexts(const std::vector<ProductSalesLine>& lines)
{
    QStringList texts;
    for (const ProductSalesLine& l : lines)
        texts << QStringLiteral("%1|%2|%3|%4|%5")
                     .arg(l.saleDate.toShortString())
                     .arg(l.slipNumber)
                     .arg(l.unitPrice.toString(), l.quantity.toString(), l.amount.toString());
    return texts;
}

// The right end of a printed text, as the recording surface measures it.
int rightEnd(const PrintItem* item)
{
    return item->x + RecordingSurface::nominalWidth(item->text, item->fontSize);
}

class ProductSalesCountTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec(QStringLiteral("INSERT INTO 商品部門マスター (部門コード, 部門名, 税区分) VALUES (1, '米', 0)"));
        // Stored as typed in the product master; the sales lines carry the
        // codes padded to 13 characters.
        db.exec(QStringLiteral("INSERT INTO 商品マスター (単品コード, 部門コード, 単品名称, 単品名称カナ, 単品売価)"
                               " VALUES ('12', 1, ?, 'ｾｲﾏｲ', ?), ('123', 1, 'もち米２ｋｇ', 'ﾓﾁｺﾞﾒ', ?)"),
                {Rice, sqlValue(amount("105")), sqlValue(amount("900"))});
        registerScreen(QStringLiteral("frm商品販売数"), [](QWidget* parent) { return openProductSalesCount(parent); });
    }

    // May 2024 around product 12: the range's ends, a neighbouring code and
    // an unposted line.
    void addMayLines()
    {
        const QString padded12 = text::fixed(QStringLiteral("12"), 13);
        addSalesLine(db, 1000, at(2024, 4, 30, 23, 59), padded12, Rice, "105", "3");
        addSalesLine(db, 1001, day(2024, 5, 1), padded12, Rice, "105", "0.5");
        addSalesLine(db, 1002, day(2024, 5, 10), text::fixed(QStringLiteral("123"), 13), QStringLiteral("もち米２ｋｇ"), "900", "1");
        addSalesLine(db, 1003, at(2024, 5, 31, 18, 0), padded12, Rice, "105", "1");
        addSalesLine(db, 1004, day(2024, 6, 1), padded12, Rice, "105", "7");
        addSalesLine(db, 1005, day(2024, 5, 15), padded12, Rice, "105", "2", QStringLiteral("売上商品マスター仮"));
    }

    // The picker's operator: clicks the product with this code and "ＯＫ".
    void chooseInPicker(const QString& code)
    {
        ui->onScreen(QStringLiteral("frm商品選択2"), [code](QDialog& d) {
            auto& picker = static_cast<frm商品選択2&>(d);
            picker.clickDepartment(0);
            for (int row = 0; row < picker.DBList2->count(); ++row)
                if (picker.DBList2->item(row)->data(Qt::UserRole).toString().trimmed() == code)
                    picker.clickProduct(row);
            picker.confirm();
        });
    }

    TestInstallation inst;
    ScriptedUiScope ui;
    Database db = inst.database();
    const ProductSalesQuery may{QStringLiteral("12"), day(2024, 5, 1), day(2024, 5, 31)};
};

} // namespace

TEST_F(ProductSalesCountTest, ListsThePostedLinesOfTheProductOverWholeDays)
{
    addMayLines();
    // Unpadded or padded, the code finds the same lines; 123 is another product.
    for (const QString& code : {QStringLiteral("12"), text::fixed(QStringLiteral("12"), 13)}) {
        const ProductSalesQuery q{code, may.start, may.end};
        EXPECT_EQ(lineTexts(productSalesLines(db, q)),
                  QStringList({"2024/05/01|1001|105|0.5|52.5", "2024/05/31|1003|105|1|105"}));
    }
    // 105 × 0.5 + 105 × 1: the lines are not cut to 52 first.
    const ProductSalesTotals totals = productSalesTotals(db, may);
    EXPECT_TRUE(totals.any);
    EXPECT_EQ(totals.quantity.toString(), QStringLiteral("1.5"));
    EXPECT_EQ(totals.amount.toString(), QStringLiteral("157.5"));

    // One day: the line with a time of day at its end is in.
    EXPECT_EQ(productSalesLines(db, {QStringLiteral("12"), day(2024, 5, 31), day(2024, 5, 31)}).size(), 1u);
    // An end before the start lists nothing and totals nothing.
    const ProductSalesQuery backwards{QStringLiteral("12"), day(2024, 5, 31), day(2024, 5, 1)};
    EXPECT_TRUE(productSalesLines(db, backwards).empty());
    EXPECT_FALSE(productSalesTotals(db, backwards).any);
}

TEST_F(ProductSalesCountTest, OpensOnTheChosenProductAndShowsItsSales)
{
    addMayLines();
    chooseInPicker(QStringLiteral("12"));
    std::unique_ptr<QDialog> opened(openProductSalesCount(nullptr));
    ASSERT_NE(opened, nullptr);
    auto& screen = static_cast<frm商品販売数&>(*opened);
    screen.show();
    EXPECT_EQ(ui->openedScreens, QStringList({"frm商品選択2"}));
    EXPECT_EQ(screen.objectName(), QStringLiteral("frm商品販売数"));
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("販売商品集計"));
    EXPECT_EQ(screen.Text1->text(), text::fixed(Rice, 24));
    EXPECT_EQ(screen.Label1->buddy(), screen.Text1);
    // Today 30 days back to today.
    EXPECT_EQ(screen.startDate(), Date::fromSerial(Date::today().dayNumber() - 30));
    EXPECT_EQ(screen.endDate(), Date::fromSerial(Date::today().dayNumber()));
    EXPECT_EQ(screen.Command1->text(), QStringLiteral("販売データの表示"));
    EXPECT_EQ(screen.Command3->text(), QStringLiteral("印刷・集計"));
    EXPECT_EQ(screen.Command2->text(), QStringLiteral("中止・終了"));

    screen.Text2->setValue(2024);
    screen.Text3->setValue(5);
    screen.Text4->setValue(1);
    screen.Text7->setValue(2024);
    screen.Text8->setValue(5);
    screen.Text9->setValue(31);
    clickButton(&screen, QStringLiteral("Command1"));
    ASSERT_EQ(screen.DBGrid1->model()->rowCount(), 2);
    EXPECT_EQ(gridRow(screen.DBGrid1, 0), QStringList({"2024/05/01", Rice, "105", "0.5"}));
    EXPECT_EQ(gridRow(screen.DBGrid1, 1), QStringList({"2024/05/31", Rice, "105", "1"}));
    EXPECT_EQ(screen.DBGrid1->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("売上単価"));
    EXPECT_EQ(screen.Text5->text(), QStringLiteral("1.5"));
    EXPECT_EQ(screen.Text10->text(), QStringLiteral("157.5"));

    // End before start: an empty grid and empty totals.
    screen.Text9->setValue(0); // day 0 of May is 30 April
    EXPECT_EQ(screen.endDate(), day(2024, 4, 30));
    clickButton(&screen, QStringLiteral("Command1"));
    EXPECT_EQ(screen.DBGrid1->model()->rowCount(), 0);
    EXPECT_EQ(screen.Text5->text(), QString());
    EXPECT_EQ(screen.Text10->text(), QString());
}

TEST_F(ProductSalesCountTest, CancelledPickerClosesTheScreen)
{
    session().product.productCode = text::fixed(QStringLiteral("12"), 13);
    ui->onScreen(QStringLiteral("frm商品選択2"), [](QDialog& d) { static_cast<frm商品選択2&>(d).cancel(); });
    EXPECT_EQ(openScreen(QStringLiteral("frm商品販売数"), QStringLiteral("販売数集計"), nullptr), -1);
    // Closed by its box: no product either, though one was chosen before.
    session().product.productCode = text::fixed(QStringLiteral("12"), 13);
    ui->onScreen(QStringLiteral("frm商品選択2"), [](QDialog& d) { d.reject(); });
    EXPECT_EQ(openProductSalesCount(nullptr), nullptr);
    EXPECT_EQ(ui->openedScreens, QStringList({"frm商品選択2", "frm商品選択2"}));
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(ProductSalesCountTest, PrintsTheListingWithItsTotals)
{
    addMayLines();
    chooseInPicker(QStringLiteral("12"));
    std::unique_ptr<QDialog> opened(openProductSalesCount(nullptr));
    ASSERT_NE(opened, nullptr);
    auto& screen = static_cast<frm商品販売数&>(*opened);
    screen.show();
    screen.Text2->setValue(2024);
    screen.Text3->setValue(5);
    screen.Text4->setValue(1);
    screen.Text7->setValue(2024);
    screen.Text8->setValue(5);
    screen.Text9->setValue(31);

    PrintCapture capture;
    clickButton(&screen, QStringLiteral("Command3"));
    ASSERT_EQ(capture.count(), 1);
    const RecordingSurface& s = capture.surface(0);
    EXPECT_EQ(s.documentName(), QStringLiteral("販売商品集計"));
    EXPECT_TRUE(s.ended());
    EXPECT_EQ(s.pageCount(), 1);
    ASSERT_NE(s.find(QStringLiteral("販売商品集計")), nullptr);
    ASSERT_NE(s.find(QStringLiteral("品名　") + Rice), nullptr);
    ASSERT_NE(s.find(QStringLiteral("期間　2024/05/01 ～ 2024/05/31")), nullptr);
    ASSERT_NE(s.find(QStringLiteral("1 / 1 ページ")), nullptr);

    // The two lines, one row each: date, slip, quantity, price, amount.
    const PrintItem* first = s.find(QStringLiteral("2024/05/01"));
    const PrintItem* second = s.find(QStringLiteral("2024/05/31"));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->y - first->y, 280);
    auto rowTexts = [&](const PrintItem* start) {
        QStringList texts;
        for (const PrintItem* t : s.texts())
            if (t->y == start->y)
                texts << t->text;
        return texts;
    };
    EXPECT_EQ(rowTexts(first), QStringList({"2024/05/01", "1001", "0.5", "105", "52.5"}));
    EXPECT_EQ(rowTexts(second), QStringList({"2024/05/31", "1003", "1", "105", "105"}));
    // Numbers end at their column's right edge, under their headings.
    const PrintItem* amountHeading = s.find(QStringLiteral("金額"));
    ASSERT_NE(amountHeading, nullptr);
    EXPECT_EQ(rightEnd(s.find(QStringLiteral("52.5"))), rightEnd(amountHeading));
    EXPECT_EQ(rightEnd(s.find(QStringLiteral("0.5"))), rightEnd(s.find(QStringLiteral("個数"))));

    // The totals after the lines: 1.5 pieces, 157.5 yen (not 52 + 105).
    const PrintItem* quantityTotal = s.find(QStringLiteral("個数合計"));
    const PrintItem* amountTotal = s.find(QStringLiteral("金額合計"));
    ASSERT_NE(quantityTotal, nullptr);
    ASSERT_NE(amountTotal, nullptr);
    EXPECT_GT(quantityTotal->y, second->y);
    EXPECT_EQ(rowTexts(quantityTotal), QStringList({"個数合計", "1.5", "金額合計", "157.5"}));
    EXPECT_EQ(rightEnd(s.find(QStringLiteral("157.5"))), rightEnd(amountHeading));
}

TEST_F(ProductSalesCountTest, LongListingsRunOverPagesWithHeadingsOnEach)
{
    auto linesOf = [](int n) {
        std::vector<ProductSalesLine> lines;
        for (int i = 0; i < n; ++i)
            lines.push_back({day(2024, 1, 1).addDays(i), 5000 + i, Rice, amount("1050"), amount("1"), amount("1050")});
        return lines;
    };
    const ProductSalesTotals totals{true, amount("90"), amount("94500")};
    {
        // 43 lines and the two rows of the totals fill one page exactly.
        RecordingSurface s;
        PrintProductSales(s, Rice, day(2024, 1, 1), day(2024, 3, 31), linesOf(43), totals);
        EXPECT_EQ(s.pageCount(), 1);
    }
    {
        // One more line pushes the totals onto a page of their own.
        RecordingSurface s;
        PrintProductSales(s, Rice, day(2024, 1, 1), day(2024, 3, 31), linesOf(44), totals);
        EXPECT_EQ(s.pageCount(), 2);
        ASSERT_NE(s.find(QStringLiteral("2 / 2 ページ")), nullptr);
        EXPECT_EQ(s.find(QStringLiteral("個数合計"))->page, 2);
        EXPECT_EQ(s.find(QStringLiteral("2024/02/13"))->page, 1); // line 44
    }
    RecordingSurface s;
    PrintProductSales(s, Rice, day(2024, 1, 1), day(2024, 3, 31), linesOf(90), totals);
    EXPECT_EQ(s.pageCount(), 3);
    EXPECT_EQ(s.findAll(QStringLiteral("販売商品集計")).size(), 3u);
    EXPECT_EQ(s.findAll(QStringLiteral("伝票番号")).size(), 3u);
    EXPECT_EQ(s.findAll(QStringLiteral("品名　") + Rice).size(), 3u);
    for (int page = 1; page <= 3; ++page)
        ASSERT_NE(s.find(QStringLiteral("%1 / 3 ページ").arg(page)), nullptr) << page;
    // Line 46 opens page 2 where line 1 opened page 1.
    const PrintItem* line1 = s.find(QStringLiteral("5000"));
    const PrintItem* line46 = s.find(QStringLiteral("5045"));
    EXPECT_EQ(line46->page, 2);
    EXPECT_EQ(line46->y, line1->y);
    EXPECT_EQ(s.find(QStringLiteral("1,050"))->page, 1);
    EXPECT_NE(s.find(QStringLiteral("94,500")), nullptr);
    EXPECT_EQ(s.find(QStringLiteral("金額合計"))->page, 3);

    // Nothing sold: the listing says so and totals 0.
    RecordingSurface empty;
    PrintProductSales(empty, Rice, day(2024, 1, 1), day(2024, 1, 31), {}, ProductSalesTotals{});
    EXPECT_NE(empty.find(QStringLiteral("該当する販売データはありません。")), nullptr);
    EXPECT_EQ(empty.findAll(QStringLiteral("0")).size(), 2u);
}

TEST_F(ProductSalesCountTest, AmountsReadAsPeopleWriteThem)
{
    EXPECT_EQ(amountText(amount("0")), QStringLiteral("0"));
    EXPECT_EQ(amountText(amount("157.5")), QStringLiteral("157.5"));
    EXPECT_EQ(amountText(amount("1234567.25")), QStringLiteral("1,234,567.25"));
    EXPECT_EQ(amountText(amount("-1000")), QStringLiteral("-1,000"));
    EXPECT_EQ(amountText(amount("100")), QStringLiteral("100"));
}

// Renders the three screens and the print-out as the operator sees them;
// with HIMAWARI_SCREENSHOTS set the pictures are kept in that folder.
TEST_F(ProductSalesCountTest, RendersTheScreensAndThePrintOut)
{
    useJapaneseFont();
    addMayLines();
    const QString folder = qEnvironmentVariable("HIMAWARI_SCREENSHOTS", inst.dir());
    QDir().mkpath(folder);
    auto render = [&](QWidget& w, const QString& name) {
        w.show();
        w.adjustSize();
        QApplication::processEvents();
        EXPECT_TRUE(w.grab().save(QDir(folder).filePath(name))) << name.toStdString();
        for (QPushButton* b : w.findChildren<QPushButton*>())
            EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(b->text())) << b->objectName().toStdString();
        for (QLabel* l : w.findChildren<QLabel*>())
            EXPECT_GE(l->width(), l->fontMetrics().horizontalAdvance(l->text())) << l->objectName().toStdString();
    };
    frmバックアップ backup;
    render(backup, QStringLiteral("backup.png"));
    frm削除商品 deleteSales;
    render(deleteSales, QStringLiteral("delete-sales.png"));
    frm削除ガス deleteGas;
    render(deleteGas, QStringLiteral("delete-gas.png"));

    chooseInPicker(QStringLiteral("12"));
    std::unique_ptr<QDialog> opened(openProductSalesCount(nullptr));
    ASSERT_NE(opened, nullptr);
    auto& counts = static_cast<frm商品販売数&>(*opened);
    counts.show();
    counts.Text2->setValue(2024);
    counts.Text3->setValue(5);
    counts.Text4->setValue(1);
    counts.Text7->setValue(2024);
    counts.Text8->setValue(5);
    counts.Text9->setValue(31);
    clickButton(&counts, QStringLiteral("Command1"));
    render(counts, QStringLiteral("product-sales-count.png"));

    const QString pdf = QDir(folder).filePath(QStringLiteral("product-sales-count.pdf"));
    {
        QtPrintSurface surface(QStringLiteral("販売商品集計"), pdf);
        PrintProductSales(surface, Rice, may.start, may.end, productSalesLines(db, may), productSalesTotals(db, may));
    }
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
}
