// The gas totals' printed list with its pages, groups and totals line, and
// the screen that shows and prints the list.
#include "session/Session.h"
#include "gas/GasTotalsPrinting.h"
#include "gas/GasTotalsScreen.h"
#include "print/QtPrintSurface.h"
#include "print/RecordingSurface.h"
#include "print/SlipPrinting.h"
#include "support/Controls.h"
#include "support/Pictures.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/DateBoxes.h"
#include "GasData.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <gtest/gtest.h>

using namespace gastest;

namespace {

// n events of May 2024 for the print tests: event i (from 1) of customer
// "客i", a kind-1 reading of meter 1000 + i with usage i.
std::vector<gas::Event> events(int n)
{
    std::vector<gas::Event> list;
    for (int i = 1; i <= n; ++i) {
        gas::Event e;
        e.date = day(2024, 5, 1 + (i - 1) / 3);
        e.customerName = QStringLiteral("客%1").arg(i);
        e.kindName = QStringLiteral("検針請求");
        e.meter = Currency::fromUnits(1000 + i);
        e.usage = Currency::fromUnits(i);
        e.amount = Currency::fromUnits(100 * i);
        list.push_back(e);
    }
    return list;
}

gas::Totals someTotals()
{
    gas::Totals t;
    t.usage = yen("15.5");
    t.delivered = 40.0;
    t.remaining = 3.5;
    t.amount = yen("13040");
    return t;
}

RecordingSurface printed(const std::vector<gas::Event>& list, const gas::Totals& totals = someTotals())
{
    RecordingSurface s(gas::TotalsDocumentName);
    setUpPrinter(s);
    gas::printTotals(s, QStringLiteral("テスト商店"), day(2024, 5, 1), day(2024, 5, 31), list, totals);
    return s;
}

// The text printed for customer `name`, or nullptr.
const PrintItem* row(const RecordingSurface& s, int event)
{
    return s.find(QStringLiteral("客%1").arg(event));
}

// The texts of one page in the order printed.
QStringList pageTexts(const RecordingSurface& s, int page)
{
    QStringList texts;
    for (const PrintItem* t : s.texts())
        if (t->page == page)
            texts << t->text;
    return texts;
}

const QStringList Headings{"年月日", "顧客名前", "データ種別", "検針値", "使用量", "配送量", "残ガス量", "ガス金額"};

} // namespace

TEST(GasTotalsPrint, SixtySixEventsRunOntoASecondPageInGroupsOfFive)
{
    const RecordingSurface s = printed(events(66));
    ASSERT_EQ(s.pageCount(), 2);
    const PrintItem* title = s.textAt(700, 500);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text, QStringLiteral("ガス集計一覧　　　　テスト商店　2024/05/01　-　2024/05/31"));
    EXPECT_EQ(title->fontSize, 9.5);
    EXPECT_EQ(title->fontName, QStringLiteral("ＭＳ 明朝"));

    const int offsets[] = {600, 1700, 4000, 5400, 6400, 7400, 8400, 9400};
    for (int page : {1, 2})
        for (int i = 0; i < Headings.size(); ++i) {
            const PrintItem* h = nullptr;
            for (const PrintItem* t : s.findAll(Headings[i]))
                if (t->page == page)
                    h = t;
            ASSERT_NE(h, nullptr) << page << " " << Headings[i].toStdString();
            EXPECT_EQ(h->x, 700 + offsets[i]);
            EXPECT_EQ(h->y, 1000);
        }
    EXPECT_EQ(s.findAll(title->text).size(), 1u) << "the title is on the first page only";
    EXPECT_FALSE(pageTexts(s, 2).join(u' ').contains(QStringLiteral("ガス集計一覧")));

    const std::pair<int, int> positions[] = {{1, 1500}, {5, 2300}, {6, 2700}, {10, 3500}, {11, 3900}, {60, 15500}};
    for (const auto& [event, y] : positions) {
        const PrintItem* name = row(s, event);
        ASSERT_NE(name, nullptr) << event;
        EXPECT_EQ(name->x, 700 + 1700);
        EXPECT_EQ(name->y, y) << event;
        EXPECT_EQ(name->page, 1) << event;
    }
    EXPECT_EQ(row(s, 61)->page, 2);
    EXPECT_EQ(row(s, 61)->y, 1500);
    EXPECT_EQ(row(s, 66)->y, 1500 + 5 * 200 + 200);

    // Event 1 on its line: date and kind left-aligned, numbers ending at their offsets.
    const int y = 1500;
    EXPECT_EQ(s.textAt(1300, y)->text, QStringLiteral("2024/05/01"));
    EXPECT_EQ(s.textAt(4700, y)->text, QStringLiteral("検針請求"));
    const std::pair<int, QString> numbers[] = {
        {6200, " 1,001.0"}, {7200, " 1.0"}, {8200, " 0.0"}, {9200, " 0.0"}, {10200, "\\100"}};
    for (const auto& [right, text] : numbers) {
        const int x = 700 + right - RecordingSurface::nominalWidth(text, 9.5);
        const PrintItem* item = s.textAt(x, y);
        ASSERT_NE(item, nullptr) << text.toStdString();
        EXPECT_EQ(item->text, text);
    }

    // The totals line on the last page.
    const PrintItem* total = s.find(QStringLiteral("合計"));
    ASSERT_NE(total, nullptr);
    EXPECT_EQ(total->page, 2);
    EXPECT_EQ(total->x, 1100);
    EXPECT_EQ(total->y, 15700);
    const std::pair<int, QString> sums[] = {{7200, " 15.50"}, {8200, " 40.00"}, {9200, " 3.50"}, {10200, " 13,040"}};
    for (const auto& [right, text] : sums) {
        const PrintItem* item = s.textAt(700 + right - RecordingSurface::nominalWidth(text, 9.5), 15700);
        ASSERT_NE(item, nullptr) << text.toStdString();
        EXPECT_EQ(item->text, text);
        EXPECT_EQ(item->page, 2);
    }
}

TEST(GasTotalsPrint, ACylinderSalePrintsItsZeroReadingThroughTheMasks)
{
    gas::Event sale;
    sale.date = day(2024, 5, 20);
    sale.customerName = QStringLiteral("南　花子");
    sale.kindName = QStringLiteral("ボンベ販売");
    sale.delivered = 20;
    sale.remaining = 1234.5;
    sale.amount = yen("9800");
    const RecordingSurface s = printed({sale});
    QStringList line;
    for (const PrintItem* t : s.texts())
        if (t->y == 1500)
            line << t->text;
    EXPECT_EQ(line, QStringList({"2024/05/20", "南　花子", "ボンベ販売", " 0.0", " 0.0", " 20.0", " 1,234.5", "\\9,800"}));
}

TEST(GasTotalsPrint, ZeroQuantitiesReadAsZeroAndTheWidestValuesStayClearOfTheirNeighbours)
{
    // A cylinder exchange: nothing used, nothing left, no amount; and the
    // widest values every column can hold, with the longest names.
    gas::Event exchange;
    exchange.date = day(2024, 5, 2);
    exchange.customerName = QStringLiteral("東");
    exchange.kindName = QStringLiteral("ボンベ交換");
    exchange.delivered = 0;
    gas::Event widest;
    widest.date = day(2024, 12, 28);
    widest.customerName = QStringLiteral("株式会社ひまわり高原リゾートホテル別館");
    widest.kindName = QStringLiteral("開栓検針（定期点検）");
    widest.meter = yen("999999.9");
    widest.usage = yen("999999.9");
    widest.delivered = 999999.9;
    widest.remaining = 9999.9;
    widest.amount = yen("999999");
    gas::Totals zero;
    zero.usage = yen("0");
    zero.delivered = 0.0;
    zero.remaining = 0.0;
    zero.amount = yen("0");
    const RecordingSurface s = printed({exchange, widest}, zero);

    QStringList line;
    for (const PrintItem* t : s.row(1500))
        line << t->text;
    EXPECT_EQ(line, QStringList({"2024/05/02", "東", "ボンベ交換", " 0.0", " 0.0", " 0.0", " 0.0", "\\0"}));
    // The empty slots of the totals line print 0.00 and 0 as well.
    QStringList sums;
    for (const PrintItem* t : s.row(15700))
        sums << t->text;
    EXPECT_EQ(sums, QStringList({"合計", " 0.00", " 0.00", " 0.00", " 0"}));
    const PrintItem* delivered = s.textAt(700 + 8200 - RecordingSurface::nominalWidth(" 0.0", 9.5), 1500);
    ASSERT_NE(delivered, nullptr);
    EXPECT_EQ(delivered->text, QStringLiteral(" 0.0"));

    // Every item of the widest line ends at least 95 twips (one half-width
    // character at 9.5 points) before the next begins; the fitted kind
    // ends at 5900, the widest meter reading's ink begins at 6045.
    const auto items = s.row(1700);
    ASSERT_EQ(items.size(), 8u);
    for (std::size_t i = 0; i + 1 < items.size(); ++i)
        EXPECT_GE(RecordingSurface::inkExtent(*items[i + 1]).left - RecordingSurface::inkExtent(*items[i]).right, 95)
            << items[i]->text.toStdString() << " | " << items[i + 1]->text.toStdString();
    EXPECT_EQ(RecordingSurface::inkExtent(*items[2]).right, 5900);
    EXPECT_EQ(items[3]->text, QStringLiteral(" 999,999.9"));
    EXPECT_EQ(RecordingSurface::inkExtent(*items[3]).left, 6045);
}

TEST(GasTotalsPrint, SixtyEventsLeaveALastPageOfHeadingsAndTotals)
{
    const RecordingSurface s = printed(events(60));
    ASSERT_EQ(s.pageCount(), 2);
    EXPECT_EQ(row(s, 60)->y, 15500);
    EXPECT_EQ(row(s, 60)->page, 1);
    EXPECT_EQ(pageTexts(s, 2), Headings + QStringList({"合計", " 15.50", " 40.00", " 3.50", " 13,040"}));
}

TEST(GasTotalsPrint, AnEmptyRangePrintsTitleHeadingsAndAnEmptyTotalsLine)
{
    const RecordingSurface s = printed({}, gas::Totals{});
    EXPECT_EQ(s.pageCount(), 1);
    EXPECT_EQ(pageTexts(s, 1), QStringList{"ガス集計一覧　　　　テスト商店　2024/05/01　-　2024/05/31"} + Headings
                                   + QStringList{"合計"});
}

TEST(GasTotalsPrint, ALongCustomerNameIsKeptOutOfTheKindColumn)
{
    std::vector<gas::Event> list = events(1);
    list[0].customerName = QStringLiteral("株式会社ひまわり高原リゾートホテル別館");
    const RecordingSurface s = printed(list);
    const PrintItem* name = s.find(list[0].customerName);
    ASSERT_NE(name, nullptr);
    EXPECT_GT(name->fitWidth, 0);
    EXPECT_LE(name->x + name->fitWidth, 700 + 4000);
}

namespace {

// The screen over the rows of the totals tests.
class GasTotalsScreenTest : public GasTotalsFixture {
protected:
    ScriptedUiScope ui;
};

} // namespace

TEST_F(GasTotalsScreenTest, OpensOnThisMonthSoFarAndListsAgainOnlyWhenAsked)
{
    const Date today = Date::today();
    addGasRow(db, today, 7, "501", "2000", "5");
    frmガス集計 d(testSession());
    d.show();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("ガス集計"));
    EXPECT_EQ(d.startBoxes->date(), Date::fromParts(today.year(), today.month(), 1));
    EXPECT_EQ(d.startDayBox->value(), 1);
    EXPECT_EQ(d.endBoxes->date(), today);
    EXPECT_EQ(d.listButton->text(), QStringLiteral("ガスデータの表示"));
    EXPECT_EQ(d.printButton->text(), QStringLiteral("印刷・集計"));
    EXPECT_EQ(d.finishButton->text(), QStringLiteral("中止・終了"));
    EXPECT_EQ(d.eventGrid->model()->rowCount(), 1);
    EXPECT_EQ(d.usageTotalBox->text(), QStringLiteral("5"));

    d.startBoxes->setParts(2024, 5, 1);
    d.endBoxes->setParts(2024, 5, 31);
    EXPECT_EQ(d.eventGrid->model()->rowCount(), 1) << "not reloaded before ガスデータの表示";
    clickButton(&d, QStringLiteral("Command1"));
    ASSERT_EQ(d.eventGrid->model()->rowCount(), 4);
    QStringList first;
    for (int c = 0; c < d.eventGrid->model()->columnCount(); ++c)
        first << d.eventGrid->model()->index(3, c).data().toString();
    EXPECT_EQ(first, QStringList({"2024/05/31", "北村　一郎", "検針請求", "1250", "15.5", "0", "0", "3240"}));
    EXPECT_EQ(d.usageTotalBox->text(), QStringLiteral("21.5"));
    EXPECT_EQ(d.deliveredTotalBox->text(), QStringLiteral("41"));
    EXPECT_EQ(d.remainingTotalBox->text(), QStringLiteral("3.5"));
    EXPECT_EQ(d.amountTotalBox->text(), QStringLiteral("14040"));

    d.startBoxes->setParts(2024, 7, 1);
    d.endBoxes->setParts(2024, 7, 31);
    clickButton(&d, QStringLiteral("Command1"));
    EXPECT_EQ(d.eventGrid->model()->rowCount(), 0);
    EXPECT_TRUE(d.amountTotalBox->text().isEmpty());
}

TEST_F(GasTotalsScreenTest, PrintsTheListAsLastLoadedUnderTheDatesShownNow)
{
    frmガス集計 d(testSession());
    d.show();
    d.startBoxes->setParts(2024, 5, 1);
    d.endBoxes->setParts(2024, 5, 31);
    clickButton(&d, QStringLiteral("Command1"));
    d.startBoxes->setParts(2024, 6, 1);
    d.endBoxes->setParts(2024, 6, 30);
    {
        PrintCapture capture;
        clickButton(&d, QStringLiteral("Command3"));
        ASSERT_EQ(capture.count(), 1);
        const RecordingSurface& s = capture.surface(0);
        EXPECT_EQ(s.documentName(), QStringLiteral("ガス集計"));
        EXPECT_TRUE(s.ended());
        EXPECT_EQ(s.textAt(700, 500)->text, QStringLiteral("ガス集計一覧　　　　テスト商店　2024/06/01　-　2024/06/30"));
        EXPECT_NE(s.find(QStringLiteral("南　花子")), nullptr);
        EXPECT_NE(s.find(QStringLiteral(" 14,040")), nullptr);
        EXPECT_EQ(ui->busyDepth, 0);
        EXPECT_GT(ui->busyCount, 0);

        // No printer: the operator is told, the screen stays.
        capture.failOpening(QStringLiteral("プリンターが見つかりません。"));
        clickButton(&d, QStringLiteral("Command3"));
        ASSERT_EQ(ui->messages.size(), 1u);
        EXPECT_EQ(ui->messages[0].text, QStringLiteral("プリンターが見つかりません。"));
    }
    clickButton(&d, QStringLiteral("Command2"));
    EXPECT_FALSE(d.isVisible());
}

TEST_F(GasTotalsScreenTest, ThePrintedListIsARealPdfAndTheScreenFitsItsCaptions)
{
    const QString folder = pictureFolder(inst.dir());
    frmガス集計 d(testSession());
    d.show();
    d.startBoxes->setParts(2024, 5, 1);
    d.endBoxes->setParts(2024, 5, 31);
    clickButton(&d, QStringLiteral("Command1"));
    savePicture(d, folder, QStringLiteral("gas-totals-screen.png"));
    expectButtonsFitCaptions(d);

    const QString pdf = QDir(folder).filePath(QStringLiteral("gas-totals-test.pdf"));
    {
        QtPrintSurface surface(gas::TotalsDocumentName, pdf);
        setUpPrinter(surface);
        gas::printTotals(surface, testSession().config.companyName(), d.startBoxes->date(), d.endBoxes->date(),
                         d.loadedEvents(), d.loadedTotals());
        surface.endDocument();
    }
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF"));
}

// The demo shop's gas totals as a PDF, when a demo installation is named in
// HIMAWARI_DEMO_DIR (the documentation's picture comes from it).
TEST(GasTotalsDemo, PrintsTheDemoShopsGasTotals)
{
    if (!readDemoInstallation())
        GTEST_SKIP() << "HIMAWARI_DEMO_DIR not set";
    ScriptedUiScope ui;
    Database db(testSession().config.databasePath);
    const QVariant last = db.scalar(QStringLiteral("SELECT MAX(ガス年月日) FROM ガスデータ"));
    ASSERT_TRUE(last.isValid());
    const Date end = dateValue(last);
    const Date start = Date::fromParts(end.year(), end.month() - 2, 1);
    const QString folder = pictureFolder(QDir::tempPath());
    QtPrintSurface surface(gas::TotalsDocumentName, QDir(folder).filePath(QStringLiteral("gas-totals.pdf")));
    setUpPrinter(surface);
    gas::printTotals(surface, testSession().config.companyName(), start, end, gas::loadEvents(db, start, end),
                     gas::loadTotals(db, start, end));
    surface.endDocument();
}
