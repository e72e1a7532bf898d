// The sales-by-rate screen: its range boxes, the figures it shows after
// "集計", an empty and a backward range, and the print-out: where the
// title, the shop, the rates' rows, the sums and the note are printed.
#include "app/MainWindow.h"
#include "print/QtPrintSurface.h"
#include "print/RecordingSurface.h"
#include "print/ReportEngine.h"
#include "sales/SalesByRatePrinting.h"
#include "sales/SalesByRateScreen.h"
#include "sales/SalesScreens.h"
#include "core/Text.h"
#include "ui/JapaneseFont.h"
#include "ui/Screens.h"
#include "support/Controls.h"
#include "support/Grids.h"
#include "support/Pictures.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "SalesByRateData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <algorithm>
#include <gtest/gtest.h>

using namespace byrate;
namespace L = salesByRateLayout;

namespace {

// The right end of a printed text, as the recording surface measures it.
int rightEnd(const PrintItem* item)
{
    return item->x + RecordingSurface::nominalWidth(item->text, item->fontSize);
}

QStringList rowTexts(const RecordingSurface& s, int y)
{
    QStringList texts;
    for (const PrintItem* t : s.row(y))
        texts << t->text;
    return texts;
}

class SalesByRateScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testSession().config = tenAndEight(testSession().config);
        testSession().config.registrationNumber = QStringLiteral("T1234567890123");
        registerSalesScreens();
    }

    // Sets the range boxes to May 2024.
    static void chooseMay(frm税率別売上一覧& screen)
    {
        screen.fromYearBox->setValue(2024);
        screen.fromMonthBox->setValue(5);
        screen.fromDayBox->setValue(1);
        screen.toYearBox->setValue(2024);
        screen.toMonthBox->setValue(5);
        screen.toDayBox->setValue(31);
    }

    TestInstallation inst;
    Database db = inst.database();
    ScriptedUiScope ui;
};

} // namespace

TEST_F(SalesByRateScreenTest, ShowsTheMonthByRatePostedHeldAndTogether)
{
    addMaySlips(db);
    bool ran = false;
    ui->onScreen(QStringLiteral("frm税率別売上一覧"), [&](QDialog& d) {
        ran = true;
        auto& screen = static_cast<frm税率別売上一覧&>(d);
        EXPECT_EQ(screen.windowTitle(), QStringLiteral("税率別売上一覧"));
        // From the first of this month to today.
        const Date today = Date::today();
        EXPECT_EQ(screen.fromDate(), Date::fromParts(today.year(), today.month(), 1));
        EXPECT_EQ(screen.toDate(), Date::fromSerial(today.dayNumber()));
        EXPECT_EQ(control<QSpinBox>(&d, "Text開始日")->value(), 1);
        EXPECT_EQ(screen.periodCaption->buddy(), screen.fromYearBox);
        EXPECT_EQ(screen.figuresGrid->model()->rowCount(), 0);
        EXPECT_EQ(screen.computeButton->text(), QStringLiteral("集計"));
        EXPECT_EQ(screen.printButton->text(), QStringLiteral("印刷"));
        EXPECT_EQ(screen.finishButton->text(), QStringLiteral("終了"));

        chooseMay(screen);
        clickButton(&d, QStringLiteral("cmd集計"));
        QTableView* grid = control<QTableView>(&d, "grd税率別売上");
        ASSERT_EQ(grid->model()->rowCount(), 12);
        EXPECT_EQ(grid->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("税込金額"));
        EXPECT_EQ(grid->model()->headerData(4, Qt::Horizontal).toString(), QStringLiteral("消費税額"));
        EXPECT_EQ(gridRow(grid, 0), QStringList({"計上済", "10%対象", "2,376", "2,160", "216"}));
        EXPECT_EQ(gridRow(grid, 1), QStringList({"", "8%対象（軽減税率）", "4,168", "3,860", "308"}));
        // The tax row of 524 is no non-taxable sale.
        EXPECT_EQ(gridRow(grid, 2), QStringList({"", "非課税", "0", "0", "0"}));
        EXPECT_EQ(gridRow(grid, 3), QStringList({"", "計", "6,544", "6,020", "524"}));
        EXPECT_EQ(gridRow(grid, 4), QStringList({"未計上", "10%対象", "4,400", "4,000", "400"}));
        EXPECT_EQ(gridRow(grid, 6), QStringList({"", "非課税", "200", "200", "0"}));
        EXPECT_EQ(gridRow(grid, 7), QStringList({"", "計", "4,600", "4,200", "400"}));
        EXPECT_EQ(gridRow(grid, 8), QStringList({"合計", "10%対象", "6,776", "6,160", "616"}));
        EXPECT_EQ(gridRow(grid, 9), QStringList({"", "8%対象（軽減税率）", "4,168", "3,860", "308"}));
        EXPECT_EQ(gridRow(grid, 11), QStringList({"", "計", "11,144", "10,220", "924"}));
        EXPECT_EQ(grid->model()->index(0, 2).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight, Qt::AlignRight);
        EXPECT_EQ(screen.statusLabel->text(),
                  QStringLiteral("期間　2024/05/01 ～ 2024/05/31　計上済 1 枚、未計上 1 枚の伝票を集計しました。"));
        clickButton(&d, QStringLiteral("cmd終了"));
        EXPECT_FALSE(d.isVisible());
    });
    // Opened from the main window's 売上 menu.
    frmTQメイン w(testSession());
    triggerAction(&w, QStringLiteral("売上税率別"));
    EXPECT_TRUE(ran);
    EXPECT_EQ(ui->openedScreens, QStringList({"frm税率別売上一覧"}));
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(SalesByRateScreenTest, EmptyRangeShowsZerosAndABackwardRangeIsRefused)
{
    addMaySlips(db);
    frm税率別売上一覧 screen(testSession());
    screen.show();
    chooseMay(screen);
    screen.fromMonthBox->setValue(7);
    screen.toMonthBox->setValue(7);
    clickButton(&screen, QStringLiteral("cmd集計"));
    ASSERT_EQ(screen.figuresGrid->model()->rowCount(), 12);
    EXPECT_EQ(gridRow(screen.figuresGrid, 0), QStringList({"計上済", "10%対象", "0", "0", "0"}));
    EXPECT_EQ(gridRow(screen.figuresGrid, 11), QStringList({"", "計", "0", "0", "0"}));
    EXPECT_EQ(screen.statusLabel->text(), QStringLiteral("期間　2024/07/01 ～ 2024/07/31　この期間の売上はありません。"));
    EXPECT_TRUE(ui->messages.empty());

    // From 06/01 to 05/31: refused in Japanese, nothing shown or printed.
    chooseMay(screen);
    screen.fromMonthBox->setValue(6);
    screen.fromDayBox->setValue(1);
    PrintCapture capture;
    clickButton(&screen, QStringLiteral("cmd印刷"));
    EXPECT_EQ(capture.count(), 0);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("税率別売上一覧"));
    EXPECT_EQ(ui->messages[0].text, QStringLiteral("開始日（2024/06/01）が終了日（2024/05/31）より後になっています。\n"
                                                   "開始日には終了日と同じ日かそれより前の日を指定してください。"));
    EXPECT_EQ(screen.figuresGrid->model()->rowCount(), 0);
    EXPECT_EQ(screen.statusLabel->text(), QString());
    EXPECT_FALSE(screen.figures().has_value());
    EXPECT_TRUE(screen.isVisible());
}

TEST_F(SalesByRateScreenTest, PrintsTheTableWithTitleShopPeriodAndNote)
{
    addMaySlips(db);
    frm税率別売上一覧 screen(testSession());
    screen.show();
    chooseMay(screen);
    PrintCapture capture;
    // "印刷" counts the boxes' range itself, without "集計" first.
    clickButton(&screen, QStringLiteral("cmd印刷"));
    EXPECT_EQ(screen.figuresGrid->model()->rowCount(), 12);
    ASSERT_EQ(capture.count(), 1);
    const RecordingSurface& s = capture.surface(0);
    EXPECT_EQ(s.documentName(), QStringLiteral("税率別売上一覧"));
    EXPECT_TRUE(s.ended());
    EXPECT_EQ(s.pageCount(), 1);

    const PrintItem* title = s.find(QStringLiteral("税率別売上一覧"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x, L::Left);
    EXPECT_EQ(title->y, L::TitleY);
    EXPECT_EQ(title->fontSize, L::TitlePoints);
    const PrintItem* shop = s.find(QStringLiteral("テスト商店"));
    ASSERT_NE(shop, nullptr);
    EXPECT_EQ(shop->y, L::ShopY);
    EXPECT_EQ(rightEnd(shop), L::Right);
    const PrintItem* registration = s.find(QStringLiteral("登録番号　T1234567890123"));
    ASSERT_NE(registration, nullptr);
    EXPECT_EQ(registration->y, L::RegistrationY);
    EXPECT_EQ(rightEnd(registration), L::Right);
    const PrintItem* printed =
        s.find(QStringLiteral("印刷日　") + text::format(Date::today(), QStringLiteral("yyyy/mm/dd")));
    ASSERT_NE(printed, nullptr);
    EXPECT_EQ(printed->y, L::PrintDateY);
    EXPECT_EQ(rightEnd(printed), L::Right);
    const PrintItem* period = s.textAt(L::Left, L::ShopY);
    ASSERT_NE(period, nullptr);
    EXPECT_EQ(period->text, QStringLiteral("期間　2024/05/01 ～ 2024/05/31"));

    EXPECT_EQ(rowTexts(s, L::HeadingY), QStringList({"区分", "税率", "税込金額", "税抜金額", "消費税額"}));
    // Four rows a section, a gap between sections.
    const int step = L::RowHeight;
    const int posted = L::FirstRowY;
    const int held = posted + 4 * step + L::SectionGap;
    const int together = held + 4 * step + L::SectionGap;
    EXPECT_EQ(rowTexts(s, posted), QStringList({"計上済", "10%対象", "2,376", "2,160", "216"}));
    EXPECT_EQ(rowTexts(s, posted + step), QStringList({"8%対象（軽減税率）", "4,168", "3,860", "308"}));
    EXPECT_EQ(rowTexts(s, posted + 2 * step), QStringList({"非課税", "0", "0", "0"}));
    EXPECT_EQ(rowTexts(s, posted + 3 * step), QStringList({"計", "6,544", "6,020", "524"}));
    EXPECT_EQ(rowTexts(s, held), QStringList({"未計上", "10%対象", "4,400", "4,000", "400"}));
    EXPECT_EQ(rowTexts(s, held + 2 * step), QStringList({"非課税", "200", "200", "0"}));
    EXPECT_EQ(rowTexts(s, together), QStringList({"合計", "10%対象", "6,776", "6,160", "616"}));
    EXPECT_EQ(rowTexts(s, together + 3 * step), QStringList({"計", "11,144", "10,220", "924"}));
    // The amounts end under their headings.
    const std::vector<const PrintItem*> sums = s.row(together + 3 * step);
    ASSERT_EQ(sums.size(), 4u);
    EXPECT_EQ(rightEnd(sums[1]), L::TotalRight);
    EXPECT_EQ(rightEnd(s.find(QStringLiteral("税込金額"))), L::TotalRight);
    EXPECT_EQ(rightEnd(sums[2]), L::BaseRight);
    EXPECT_EQ(rightEnd(s.find(QStringLiteral("税抜金額"))), L::BaseRight);
    EXPECT_EQ(rightEnd(sums[3]), L::Right);
    EXPECT_EQ(sums[0]->x, L::CaptionX);
    // A rule over each section's sum.
    int sumRules = 0;
    for (const PrintItem* line : s.lines())
        if (line->x == L::CaptionX && line->x2 == L::Right)
            ++sumRules;
    EXPECT_EQ(sumRules, 3);
    // The note under the table.
    const PrintItem* note = s.find(QStringLiteral("消費税額は伝票ごとに税率別に計算した額の合計です。"));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->x, L::Left);
    EXPECT_GT(note->y, together + 3 * step);
    EXPECT_LT(note->y, 16838 - 1000);

    // A shop without a registration number prints none.
    testSession().config.registrationNumber.clear();
    clickButton(&screen, QStringLiteral("cmd印刷"));
    ASSERT_EQ(capture.count(), 2);
    EXPECT_EQ(capture.surface(1).findStarting(QStringLiteral("登録番号")), nullptr);
    EXPECT_NE(capture.surface(1).find(QStringLiteral("11,144")), nullptr);

    // No printer: the operator is told, the screen stays open.
    capture.failOpening(QStringLiteral("プリンターが見つかりません。"));
    clickButton(&screen, QStringLiteral("cmd印刷"));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, QStringLiteral("プリンターが見つかりません。"));
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("税率別売上一覧"));
    EXPECT_TRUE(screen.isVisible());
}

// Renders the screen and the print-out as the operator sees them; with
// HIMAWARI_SCREENSHOTS set the picture is kept in that folder, with
// PRINT_SAMPLE_DIR set the PDF in that one.
TEST_F(SalesByRateScreenTest, RendersTheScreenAndThePrintOut)
{
    useJapaneseFont();
    addMaySlips(db);
    const QString folder = pictureFolder(inst.dir());
    frm税率別売上一覧 screen(testSession());
    screen.show();
    chooseMay(screen);
    clickButton(&screen, QStringLiteral("cmd集計"));
    savePicture(screen, folder, QStringLiteral("sales-by-rate.png"));
    expectButtonsFitCaptions(screen);
    expectLabelsFitTexts(screen);
    // Every column shows its widest text whole.
    for (int c = 0; c < 5; ++c) {
        int widest = screen.figuresGrid->horizontalHeader()->fontMetrics().horizontalAdvance(
            screen.figuresGrid->model()->headerData(c, Qt::Horizontal).toString());
        for (int r = 0; r < screen.figuresGrid->model()->rowCount(); ++r)
            widest = std::max(widest, screen.figuresGrid->fontMetrics().horizontalAdvance(
                                          screen.figuresGrid->model()->index(r, c).data().toString()));
        EXPECT_GE(screen.figuresGrid->columnWidth(c), widest) << c;
    }
    // Every row in view without scrolling.
    const int lastRowBottom = screen.figuresGrid->rowViewportPosition(11) + screen.figuresGrid->rowHeight(11);
    EXPECT_LE(lastRowBottom, screen.figuresGrid->viewport()->height());

    const QString pdfFolder = qEnvironmentVariable("PRINT_SAMPLE_DIR", folder);
    QDir().mkpath(pdfFolder);
    const QString pdf = QDir(pdfFolder).filePath(QStringLiteral("sales-by-rate.pdf"));
    QtPrintSurface surface(SalesByRateTitle, pdf);
    printSalesByRate(surface, testSession().config, *screen.figures(), day(2024, 6, 1));
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
}

TEST_F(SalesByRateScreenTest, SavesTheListAsAPdfFileAndSaysWhere)
{
    addMaySlips(db);
    frm税率別売上一覧 screen(testSession());
    screen.show();
    chooseMay(screen);
    EXPECT_EQ(screen.pdfButton->text(), QStringLiteral("ＰＤＦ保存"));
    // Whatever printer there is, the file goes to 印刷 beside the program.
    clickButton(&screen, QStringLiteral("cmdPDF"));
    const QStringList files = QDir(inst.path(QStringLiteral("印刷"))).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].startsWith(QStringLiteral("税率別売上一覧_"))) << files[0].toStdString();
    const QString path = QDir(inst.path(QStringLiteral("印刷"))).filePath(files[0]);
    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.read(5), "%PDF-");
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, QStringLiteral("PDFファイルに保存しました。\n") + QDir::toNativeSeparators(path));

    // A backward range writes no file.
    screen.fromMonthBox->setValue(6);
    clickButton(&screen, QStringLiteral("cmdPDF"));
    EXPECT_EQ(QDir(inst.path(QStringLiteral("印刷"))).entryList({QStringLiteral("*.pdf")}, QDir::Files).size(), 1);
    EXPECT_EQ(ui->messages.size(), 2u);
}

// The figures as the grid shows them, its amounts' separators dropped and
// the rates' words kept, into 出力 beside the program.
TEST_F(SalesByRateScreenTest, CsvOutputWritesTheFiguresAsPlainNumbers)
{
    addMaySlips(db);
    frm税率別売上一覧 screen(testSession());
    screen.show();
    chooseMay(screen);
    clickButton(&screen, QStringLiteral("cmd集計"));
    EXPECT_EQ(screen.csvOutputButton->text(), QStringLiteral("CSV出力"));
    clickButton(&screen, QStringLiteral("cmdCSV"));
    const QStringList files = QDir(inst.path(QStringLiteral("出力"))).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].startsWith(QStringLiteral("税率別売上一覧_"))) << files[0].toStdString();
    const QString path = QDir(inst.path(QStringLiteral("出力"))).absoluteFilePath(files[0]);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("CSV出力"));
    EXPECT_EQ(ui->messages[0].text, QStringLiteral("CSVファイルに出力しました。\n") + QDir::toNativeSeparators(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\xEF\xBB\xBF")
                                  + QStringLiteral("区分,税率,税込金額,税抜金額,消費税額\r\n"
                                                   "計上済,10%対象,2376,2160,216\r\n"
                                                   ",8%対象（軽減税率）,4168,3860,308\r\n"
                                                   ",非課税,0,0,0\r\n"
                                                   ",計,6544,6020,524\r\n"
                                                   "未計上,10%対象,4400,4000,400\r\n"
                                                   ",8%対象（軽減税率）,0,0,0\r\n"
                                                   ",非課税,200,200,0\r\n"
                                                   ",計,4600,4200,400\r\n"
                                                   "合計,10%対象,6776,6160,616\r\n"
                                                   ",8%対象（軽減税率）,4168,3860,308\r\n"
                                                   ",非課税,200,200,0\r\n"
                                                   ",計,11144,10220,924\r\n")
                                        .toUtf8());
}
