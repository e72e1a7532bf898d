// The product sales count screen: its flow from the picker, the listing and
// totals it shows, and the print-out through the report engine: its lines,
// totals and pages.
#include "maintenance/BackupScreen.h"
#include "maintenance/OldDataDeletionScreens.h"
#include "maintenance/ProductSalesCountPrinting.h"
#include "maintenance/ProductSalesCountScreen.h"
#include "ui/Screens.h"
#include "core/Text.h"
#include "print/QtPrintSurface.h"
#include "print/RecordingSurface.h"
#include "sales/ProductPicker.h"
#include "support/Controls.h"
#include "support/Grids.h"
#include "support/Pictures.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/JapaneseFont.h"
#include "ProductSalesData.h"

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

// The right end of a printed text, as the recording surface measures it.
int rightEnd(const PrintItem* item)
{
    return item->x + RecordingSurface::nominalWidth(item->text, item->fontSize);
}

class ProductSalesCountScreenTest : public ProductSalesFixture {
protected:
    void SetUp() override
    {
        ProductSalesFixture::SetUp();
        registerScreen(QStringLiteral("frm商品販売数"),
                       [](SessionState& state, QWidget* parent) { return openProductSalesCount(state, parent); });
    }

    // The picker's operator: clicks the product with this code and "ＯＫ".
    void chooseInPicker(const QString& code)
    {
        ui->onScreen(QStringLiteral("frm商品選択2"), [code](QDialog& d) {
            auto& picker = static_cast<frm商品選択2&>(d);
            picker.clickDepartment(0);
            for (int row = 0; row < picker.productList->count(); ++row)
                if (picker.productList->item(row)->data(Qt::UserRole).toString().trimmed() == code)
                    picker.clickProduct(row);
            picker.confirm();
        });
    }

    ScriptedUiScope ui;
};

} // namespace

TEST_F(ProductSalesCountScreenTest, OpensOnTheChosenProductAndShowsItsSales)
{
    addMayLines();
    chooseInPicker(QStringLiteral("12"));
    std::unique_ptr<QDialog> opened(openProductSalesCount(testSession(), nullptr));
    ASSERT_NE(opened, nullptr);
    auto& screen = static_cast<frm商品販売数&>(*opened);
    screen.show();
    EXPECT_EQ(ui->openedScreens, QStringList({"frm商品選択2"}));
    EXPECT_EQ(screen.objectName(), QStringLiteral("frm商品販売数"));
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("販売商品集計"));
    EXPECT_EQ(screen.productNameBox->text(), text::fixed(Rice, 24));
    EXPECT_EQ(screen.productNameCaption->buddy(), screen.productNameBox);
    // Today 30 days back to today.
    EXPECT_EQ(screen.startDate(), Date::fromSerial(Date::today().dayNumber() - 30));
    EXPECT_EQ(screen.endDate(), Date::fromSerial(Date::today().dayNumber()));
    EXPECT_EQ(screen.listButton->text(), QStringLiteral("販売データの表示"));
    EXPECT_EQ(screen.printButton->text(), QStringLiteral("印刷・集計"));
    EXPECT_EQ(screen.finishButton->text(), QStringLiteral("中止・終了"));

    screen.startYearBox->setValue(2024);
    screen.startMonthBox->setValue(5);
    screen.startDayBox->setValue(1);
    screen.endYearBox->setValue(2024);
    screen.endMonthBox->setValue(5);
    screen.endDayBox->setValue(31);
    clickButton(&screen, QStringLiteral("Command1"));
    ASSERT_EQ(screen.salesGrid->model()->rowCount(), 2);
    EXPECT_EQ(gridRow(screen.salesGrid, 0), QStringList({"2024/05/01", Rice, "105", "0.5"}));
    EXPECT_EQ(gridRow(screen.salesGrid, 1), QStringList({"2024/05/31", Rice, "105", "1"}));
    EXPECT_EQ(screen.salesGrid->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("売上単価"));
    EXPECT_EQ(screen.quantityTotalBox->text(), QStringLiteral("1.5"));
    EXPECT_EQ(screen.amountTotalBox->text(), QStringLiteral("157.5"));

    // End before start: an empty grid and empty totals.
    screen.endDayBox->setValue(0); // day 0 of May is 30 April
    EXPECT_EQ(screen.endDate(), day(2024, 4, 30));
    clickButton(&screen, QStringLiteral("Command1"));
    EXPECT_EQ(screen.salesGrid->model()->rowCount(), 0);
    EXPECT_EQ(screen.quantityTotalBox->text(), QString());
    EXPECT_EQ(screen.amountTotalBox->text(), QString());
}

TEST_F(ProductSalesCountScreenTest, CancelledPickerClosesTheScreen)
{
    testSession().product.productCode = text::fixed(QStringLiteral("12"), 13);
    ui->onScreen(QStringLiteral("frm商品選択2"), [](QDialog& d) { static_cast<frm商品選択2&>(d).cancel(); });
    EXPECT_EQ(openScreen(testSession(), QStringLiteral("frm商品販売数"), QStringLiteral("販売数集計"), nullptr), -1);
    // Closed by its box: no product either, though one was chosen before.
    testSession().product.productCode = text::fixed(QStringLiteral("12"), 13);
    ui->onScreen(QStringLiteral("frm商品選択2"), [](QDialog& d) { d.reject(); });
    EXPECT_EQ(openProductSalesCount(testSession(), nullptr), nullptr);
    EXPECT_EQ(ui->openedScreens, QStringList({"frm商品選択2", "frm商品選択2"}));
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(ProductSalesCountScreenTest, PrintsTheListingWithItsTotals)
{
    addMayLines();
    chooseInPicker(QStringLiteral("12"));
    std::unique_ptr<QDialog> opened(openProductSalesCount(testSession(), nullptr));
    ASSERT_NE(opened, nullptr);
    auto& screen = static_cast<frm商品販売数&>(*opened);
    screen.show();
    screen.startYearBox->setValue(2024);
    screen.startMonthBox->setValue(5);
    screen.startDayBox->setValue(1);
    screen.endYearBox->setValue(2024);
    screen.endMonthBox->setValue(5);
    screen.endDayBox->setValue(31);

    // The report engine's listing, as every other listing prints.
    PrintCapture capture;
    clickButton(&screen, QStringLiteral("Command3"));
    ASSERT_EQ(capture.count(), 1);
    const RecordingSurface& s = capture.surface(0);
    EXPECT_EQ(s.documentName(), QStringLiteral("販売商品集計"));
    EXPECT_TRUE(s.ended());
    EXPECT_EQ(s.pageCount(), 1);
    const PrintItem* title = s.find(QStringLiteral("販売商品集計"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x, reportLayout::Left);
    EXPECT_EQ(title->y, reportLayout::TitleY);
    EXPECT_EQ(title->fontSize, reportLayout::TitlePoints);
    const PrintItem* shop = s.find(QStringLiteral("テスト商店"));
    ASSERT_NE(shop, nullptr);
    EXPECT_EQ(shop->y, reportLayout::SubtitleY);
    EXPECT_EQ(rightEnd(shop), reportLayout::Right);
    const PrintItem* printed =
        s.find(QStringLiteral("印刷日　") + text::format(Date::today(), QStringLiteral("yyyy/mm/dd")));
    ASSERT_NE(printed, nullptr);
    EXPECT_EQ(rightEnd(printed), reportLayout::Right);
    const PrintItem* page = s.find(QStringLiteral("Page001/001"));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(rightEnd(page), reportLayout::Right);
    const PrintItem* subtitle = s.textAt(reportLayout::Left, reportLayout::SubtitleY);
    ASSERT_NE(subtitle, nullptr);
    EXPECT_EQ(subtitle->text, QStringLiteral("品名　") + Rice + QStringLiteral("　　期間　2024/05/01 ～ 2024/05/31"));
    // The screen's own layout is gone.
    for (const PrintItem* t : s.texts())
        EXPECT_FALSE(t->text.contains(QStringLiteral("ページ"))) << t->text.toStdString();

    auto rowTexts = [&](int y) {
        QStringList texts;
        for (const PrintItem* t : s.row(y))
            texts << t->text;
        return texts;
    };
    const int firstRow = reportLayout::FirstRowY;
    const int step = reportLayout::RowHeight;
    EXPECT_EQ(rowTexts(reportLayout::HeadingY), QStringList({"売上年月日", "商品名", "単価", "個数", "金額"}));
    EXPECT_EQ(rowTexts(firstRow), QStringList({"2024/05/01", Rice, "105", "0.5", "52.5"}));
    EXPECT_EQ(rowTexts(firstRow + step), QStringList({"2024/05/31", Rice, "105", "1", "105"}));
    // The totals after the lines: 1.5 pieces, 157.5 yen (not 52 + 105).
    EXPECT_EQ(rowTexts(firstRow + 2 * step), QStringList({"合計", "1.5", "157.5"}));
    EXPECT_EQ(rowTexts(firstRow + 3 * step), QStringList({"件数　2 件"}));
    // Numbers end at their column's right edge, under their headings.
    const PrintItem* amountHeading = s.find(QStringLiteral("金額"));
    ASSERT_NE(amountHeading, nullptr);
    EXPECT_EQ(rightEnd(amountHeading), reportLayout::Right);
    EXPECT_EQ(rightEnd(s.find(QStringLiteral("52.5"))), reportLayout::Right);
    EXPECT_EQ(rightEnd(s.find(QStringLiteral("157.5"))), reportLayout::Right);
    EXPECT_EQ(rightEnd(s.find(QStringLiteral("0.5"))), rightEnd(s.find(QStringLiteral("個数"))));

    // No printer: the operator is told, the screen stays open.
    capture.failOpening(QStringLiteral("プリンターが見つかりません。"));
    clickButton(&screen, QStringLiteral("Command3"));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, QStringLiteral("プリンターが見つかりません。"));
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("販売商品集計"));
}

TEST_F(ProductSalesCountScreenTest, LongListingsRunOverPagesWithHeadingsOnEach)
{
    auto printedWith = [&](int n) {
        db.exec(QStringLiteral("DELETE FROM 売上商品マスター"));
        Transaction tx(db);
        for (int i = 0; i < n; ++i)
            addSalesLine(db, 5000 + i, day(2024, 1, 1).addDays(i), QStringLiteral("12"), Rice, "1050", "1");
        tx.commit();
        const ProductSalesQuery q{QStringLiteral("12"), day(2024, 1, 1), day(2024, 12, 31)};
        PrintCapture capture;
        printReport(db, ProductSalesReportName, productSalesReport(q, Rice), QStringLiteral("テスト商店"),
                    day(2024, 12, 31));
        EXPECT_EQ(capture.count(), 1);
        return RecordingSurface(capture.surface(0));
    };
    {
        // 52 lines and the two closing lines (totals, count) fill one page.
        const RecordingSurface s = printedWith(52);
        EXPECT_EQ(s.pageCount(), 1);
        EXPECT_NE(s.find(QStringLiteral("Page001/001")), nullptr);
    }
    {
        // One more line pushes the closing lines onto a page of their own.
        const RecordingSurface s = printedWith(53);
        EXPECT_EQ(s.pageCount(), 2);
        ASSERT_NE(s.find(QStringLiteral("Page002/002")), nullptr);
        EXPECT_EQ(s.find(QStringLiteral("合計"))->page, 2);
        EXPECT_EQ(s.find(QStringLiteral("2024/02/22"))->page, 1); // line 53
    }
    const RecordingSurface s = printedWith(110);
    EXPECT_EQ(s.pageCount(), 3);
    EXPECT_EQ(s.findAll(QStringLiteral("販売商品集計")).size(), 3u);
    EXPECT_EQ(s.findAll(QStringLiteral("売上年月日")).size(), 3u);
    EXPECT_EQ(s.findAll(QStringLiteral("テスト商店")).size(), 3u);
    for (int page = 1; page <= 3; ++page) {
        const PrintItem* mark = s.find(QStringLiteral("Page%1/003").arg(page, 3, 10, QLatin1Char('0')));
        ASSERT_NE(mark, nullptr) << page;
        EXPECT_EQ(mark->page, page);
    }
    // Line 55 opens page 2 where line 1 opened page 1.
    const PrintItem* line1 = s.find(QStringLiteral("2024/01/01"));
    const PrintItem* line55 = s.find(QStringLiteral("2024/02/24"));
    ASSERT_NE(line55, nullptr);
    EXPECT_EQ(line55->page, 2);
    EXPECT_EQ(line55->y, line1->y);
    EXPECT_EQ(s.find(QStringLiteral("1,050"))->page, 1);
    EXPECT_NE(s.find(QStringLiteral("115,500")), nullptr); // 110 × 1050
    EXPECT_EQ(s.find(QStringLiteral("件数　110 件"))->page, 3);

    // Nothing sold: the headings, totals of 0 and a count of none.
    const RecordingSurface empty = printedWith(0);
    EXPECT_EQ(empty.pageCount(), 1);
    QStringList totals;
    for (const PrintItem* t : empty.row(reportLayout::FirstRowY))
        totals << t->text;
    EXPECT_EQ(totals, QStringList({"合計", "0", "0"}));
    EXPECT_NE(empty.find(QStringLiteral("件数　0 件")), nullptr);
}

TEST_F(ProductSalesCountScreenTest, AmountsReadAsPeopleWriteThem)
{
    EXPECT_EQ(amountText(yen("0")), QStringLiteral("0"));
    EXPECT_EQ(amountText(yen("157.5")), QStringLiteral("157.5"));
    EXPECT_EQ(amountText(yen("1234567.25")), QStringLiteral("1,234,567.25"));
    EXPECT_EQ(amountText(yen("-1000")), QStringLiteral("-1,000"));
    EXPECT_EQ(amountText(yen("100")), QStringLiteral("100"));
}

// Renders the three screens and the print-out as the operator sees them;
// with HIMAWARI_SCREENSHOTS set the pictures are kept in that folder.
TEST_F(ProductSalesCountScreenTest, RendersTheScreensAndThePrintOut)
{
    useJapaneseFont();
    addMayLines();
    const QString folder = pictureFolder(inst.dir());
    auto render = [&](QWidget& w, const QString& name) {
        savePicture(w, folder, name);
        expectButtonsFitCaptions(w);
        expectLabelsFitTexts(w);
    };
    frmバックアップ backup(testSession());
    render(backup, QStringLiteral("backup.png"));
    frm削除商品 deleteSales(testSession());
    render(deleteSales, QStringLiteral("delete-sales.png"));
    frm削除ガス deleteGas(testSession());
    render(deleteGas, QStringLiteral("delete-gas.png"));

    chooseInPicker(QStringLiteral("12"));
    std::unique_ptr<QDialog> opened(openProductSalesCount(testSession(), nullptr));
    ASSERT_NE(opened, nullptr);
    auto& counts = static_cast<frm商品販売数&>(*opened);
    counts.show();
    counts.startYearBox->setValue(2024);
    counts.startMonthBox->setValue(5);
    counts.startDayBox->setValue(1);
    counts.endYearBox->setValue(2024);
    counts.endMonthBox->setValue(5);
    counts.endDayBox->setValue(31);
    clickButton(&counts, QStringLiteral("Command1"));
    render(counts, QStringLiteral("product-sales-count.png"));

    const QString pdf = QDir(folder).filePath(QStringLiteral("product-sales-count.pdf"));
    PrintSurfaceFactory previous = installPrintSurfaceFactory([&](const QString& name) -> std::unique_ptr<PrintSurface> {
        return std::make_unique<QtPrintSurface>(name, pdf);
    });
    printReport(db, ProductSalesReportName, productSalesReport(may, Rice), QStringLiteral("ひまわり商店"),
                day(2024, 6, 1));
    installPrintSurfaceFactory(std::move(previous));
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
}
