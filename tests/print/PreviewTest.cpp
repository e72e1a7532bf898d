// Looking at a print-out before it is printed: the preview shows the
// document's pages, printing from it gives the paper exactly what printing
// at once gives, closing it prints nothing, and a printer that fails while
// the preview draws is reported when it closes.

#include "core/Text.h"
#include "print/PrintPreview.h"
#include "print/QtPrintSurface.h"
#include "print/RecordingSurface.h"
#include "print/ReportEngine.h"
#include "print/SlipPrinting.h"
#include "session/Routines.h"
#include "support/Pictures.h"
#include "support/ScriptedUi.h"
#include "support/SlipLines.h"
#include "support/ShopData.h"
#include "support/TestInstallation.h"
#include "support/TestSession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

// Preview on for the lifetime of the object; off again after it.
class PreviewOn {
public:
    PreviewOn() { setPreviewBeforePrinting(true); }
    ~PreviewOn() { setPreviewBeforePrinting(false); }
};

// The pages of a PDF file written by Qt: one page object each.
int pdfPageCount(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QString content = QString::fromLatin1(f.readAll());
    return int(content.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

std::string describe(const PrintItem& i)
{
    return QStringLiteral("kind %1 page %2 (%3, %4)-(%5, %6) '%7' fit %8 %9pt '%10' underline %11")
        .arg(int(i.kind))
        .arg(i.page)
        .arg(i.x)
        .arg(i.y)
        .arg(i.x2)
        .arg(i.y2)
        .arg(i.text)
        .arg(i.fitWidth)
        .arg(i.fontSize)
        .arg(i.fontName)
        .arg(i.underline)
        .toStdString();
}

// Two documents are the same call for call: kind, page, positions, text,
// fitted width and the font each item was drawn in.
void expectSameDocument(const RecordingSurface& paper, const RecordingSurface& fromPreview)
{
    EXPECT_EQ(paper.documentName(), fromPreview.documentName());
    EXPECT_EQ(paper.pageCount(), fromPreview.pageCount());
    EXPECT_TRUE(fromPreview.ended());
    ASSERT_EQ(paper.items().size(), fromPreview.items().size());
    for (std::size_t n = 0; n < paper.items().size(); ++n)
        ASSERT_EQ(describe(paper.items()[n]), describe(fromPreview.items()[n])) << "item " << n;
}

class PreviewTest : public ::testing::Test {
protected:
    TestInstallation installation;
    Database db = installation.database();
    ScriptedUiScope scripted;
    SessionState& s = testSession();

    void SetUp() override
    {
        clearSlip(s);
        s.customer.code = u("C0012");
        s.customer.name = u("山田　太郎");
        s.customer.postalCode = u("123-4567");
        s.customer.address1 = u("東京都架空区試験町１－２－３");
        s.customer.telephone = u("03-1111-2222");
        s.customer.slipDate = Date::fromParts(2024, 5, 1);
        s.config.taxRate1() = u("0.10");
        s.config.taxRate2() = u("0.08");
        s.config.reducedRate = 2;
        s.config.registrationNumber = u("T7010001008844");
        s.saleKind = saleKind::Credit;
        // Rice at the reduced rate, kerosene at the standard one, a stamp;
        // a name long enough to be narrowed into its column.
        addLine(1, "1001", "ｺｼﾋｶﾘ5", "県産こしひかり　５ｋｇ", "2980", "1");
        addLine(0, "2001", "ﾄｳﾕ18L", "特選灯油　１８Ｌ缶　配達料込み　北町営業所扱い", "2160", "2");
        addLine(9, "7002", "ｲﾝｼ200", "収入印紙　２００円", "200", "1");
    }

    void addLine(int taxCategory, const char* code, const char* kana, const char* name, const char* price,
                 const char* quantity)
    {
        addChosenLine(s, taxCategory, code, kana, name, price, quantity);
    }

    SlipPrintout slip() const
    {
        SlipPrintout printout{s.saleKind, currentSlipNumber(s.config), Date::fromParts(2024, 4, 20), s.customer, {},
                              s.totals};
        printout.lines.assign(s.lines.begin() + 1, s.lines.begin() + 1 + s.lineCount);
        return printout;
    }

    // Customers with balances enough for a balance list of `pages` pages.
    int addCustomersFor(int pages)
    {
        const ReportDefinition& balances = *findReportDefinition(u("売掛残高.rpt"));
        int rows = 1;
        while (reportPageCount(balances, rows) < pages)
            ++rows;
        for (int i = 0; i < rows; ++i)
            db.exec(u("INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客売掛前回請求金額, 顧客売掛入金額, 顧客売掛締後売上額)"
                      " VALUES (?, ?, ?, ?, ?)"),
                    {QString::number(2001 + i), u("顧客　%1番").arg(i + 1), sqlValue(yen(1000 + i)), sqlValue(yen(0)),
                     sqlValue(yen(i * 37))});
        return rows;
    }

    void printBalances() { printReport(db, u("売掛残高.rpt"), {}, u("ひまわり商店"), Date::fromParts(2024, 5, 7)); }
};

} // namespace

TEST_F(PreviewTest, OffByDefaultAndThenEveryPrintOutGoesStraightToThePrinter)
{
    EXPECT_FALSE(previewBeforePrinting());
    PrintCapture capture;
    printSlipSet(s.config, slip());
    printBalances();
    EXPECT_EQ(capture.documentNames(), QStringList({u("納品書"), u("売掛残高一覧")}));
    EXPECT_TRUE(scripted->previews.empty());
}

TEST_F(PreviewTest, SlipPrintedFromThePreviewIsWhatPrintingAtOnceGives)
{
    PrintCapture capture;
    printSlipSet(s.config, slip());
    ASSERT_EQ(capture.count(), 1);
    {
        PreviewOn preview;
        scripted->previewChoices = {true};
        printSlipSet(s.config, slip());
    }
    ASSERT_EQ(scripted->previews.size(), 1u);
    EXPECT_EQ(scripted->previews[0].documentName, u("納品書"));
    EXPECT_EQ(scripted->previews[0].pageCount, 1);
    // Printed from the preview: one more job, the same call for call.
    ASSERT_EQ(capture.count(), 2);
    expectSameDocument(capture.surface(0), capture.surface(1));
    // The long name was narrowed on both.
    const PrintItem* narrowed = capture.surface(1).findStarting(u("特選灯油"));
    ASSERT_NE(narrowed, nullptr);
    EXPECT_GT(narrowed->fitWidth, 0);
    EXPECT_TRUE(scripted->messages.empty());
}

TEST_F(PreviewTest, ClosingThePreviewPrintsNothingAndIsNoError)
{
    PrintCapture capture;
    PreviewOn preview;
    scripted->previewChoices = {false, false};
    EXPECT_NO_THROW(printSlipSet(s.config, slip()));
    EXPECT_NO_THROW(printBalances());
    EXPECT_EQ(capture.count(), 0);
    ASSERT_EQ(scripted->previews.size(), 2u);
    EXPECT_EQ(scripted->previews[1].documentName, u("売掛残高一覧"));
    EXPECT_TRUE(scripted->messages.empty());
    EXPECT_TRUE(scripted->yesNoQuestions.empty());
    // A slip with no lines opens no job and so no preview.
    clearSlip(s);
    printSlipSet(s.config, slip());
    EXPECT_EQ(scripted->previews.size(), 2u);
}

TEST_F(PreviewTest, ListOfSeveralPagesPreviewsAsItsPagesAndPrintsThemAll)
{
    const int rows = addCustomersFor(3);
    PrintCapture capture;
    printBalances();
    ASSERT_EQ(capture.count(), 1);
    EXPECT_EQ(capture.surface(0).pageCount(), 3);
    {
        PreviewOn preview;
        scripted->previewChoices = {true};
        printBalances();
    }
    ASSERT_EQ(scripted->previews.size(), 1u);
    EXPECT_EQ(scripted->previews[0].pageCount, 3);
    EXPECT_EQ(reportPageCount(*findReportDefinition(u("売掛残高.rpt")), rows), 3);
    ASSERT_EQ(capture.count(), 2);
    expectSameDocument(capture.surface(0), capture.surface(1));
    // The smallest balance, the first customer's, is the last row, filling
    // the second page; the totals and the count stand on the third.
    const PrintItem* last = capture.surface(1).find(u("顧客　1番"));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->page, 2);
    const PrintItem* count = capture.surface(1).find(u("件数　%1 件").arg(rows));
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->page, 3);
}

TEST_F(PreviewTest, AnInvoiceOfSeveralPagesIsPreviewedWhole)
{
    InvoiceValues invoice;
    for (int j = 1; j <= 41; ++j) {
        InvoiceLine line;
        line.salesSerial = j;
        line.saleDate = Date::fromParts(2024, 5, 1);
        line.productCode = text::fixed(u("1001"), 13);
        line.productName = text::fixed(u("灯油 %1").arg(j), 24);
        line.unitPrice = yen("100");
        line.quantity = yen("1");
        line.amount = yen("100");
        invoice.lines.push_back(line);
    }
    PrintCapture capture;
    printInvoice(s.config, s.customer, invoice, Date::fromParts(2024, 5, 21));
    ASSERT_EQ(capture.count(), 2); // on paper, a job per page
    {
        PreviewOn preview;
        scripted->previewChoices = {true};
        printInvoice(s.config, s.customer, invoice, Date::fromParts(2024, 5, 21));
    }
    ASSERT_EQ(scripted->previews.size(), 1u);
    EXPECT_EQ(scripted->previews[0].documentName, u("請求書"));
    EXPECT_EQ(scripted->previews[0].pageCount, 2);
    // Printed from the preview: the same pages, line 41 on the second.
    ASSERT_EQ(capture.count(), 3);
    EXPECT_EQ(capture.surface(2).pageCount(), 2);
    const PrintItem* last = capture.surface(2).find(text::fixed(u("灯油 41"), 24));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->page, 2);
    EXPECT_EQ(capture.surface(2).findAll(u("Page002/002")).size(), 1u);
}

TEST_F(PreviewTest, PrintedFromThePreviewOnARealPrinterItHasTheDocumentsPages)
{
    addCustomersFor(2);
    QTemporaryDir dir;
    scripted->previewPrintFile = dir.filePath(u("chosen-printer.pdf"));
    {
        PreviewOn preview;
        scripted->previewChoices = {true};
        printBalances();
    }
    ASSERT_EQ(scripted->previews.size(), 1u);
    EXPECT_EQ(scripted->previews[0].pageCount, 2);
    EXPECT_EQ(pdfPageCount(scripted->previewPrintFile), 2);
    EXPECT_GT(QFileInfo(scripted->previewPrintFile).size(), 1000);
    // The printer chosen in the preview got the job: no file beside the
    // program, and nobody asked about one.
    EXPECT_TRUE(QDir(installation.path(u("印刷"))).entryList({u("*.pdf")}, QDir::Files).isEmpty());
    EXPECT_TRUE(scripted->yesNoQuestions.empty());
    EXPECT_TRUE(scripted->messages.empty());

    // Drawn again for a second look, the same pages again.
    QTemporaryDir again;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(again.filePath(u("again.pdf")));
    scripted->previews[0].paint(printer);
    EXPECT_EQ(pdfPageCount(again.filePath(u("again.pdf"))), 2);
}

TEST_F(PreviewTest, PreviewMeasuresTextsAsThePaperWill)
{
    // Right-aligned amounts are placed by their measured width, so the
    // preview must measure as the printer surface does, not as the tests'
    // recording surfaces count.
    QTemporaryDir dir;
    QtPrintSurface paper(u("幅"), dir.filePath(u("width.pdf")));
    PreviewSurface preview(u("幅"));
    // The default face, a proportional one, and a face of another machine
    // that stands for a serif one here.
    for (const QString& face : {QString(), u("Noto Sans CJK JP"), u("ＭＳ 明朝")}) {
        paper.setFontName(face);
        preview.setFontName(face);
        for (double points : {8.0, 10.0, 16.0}) {
            paper.setFontSize(points);
            preview.setFontSize(points);
            for (const QString& text : {u("1,234,567"), u("ひまわり商店"), u("\\12,345")})
                EXPECT_EQ(preview.textWidth(text), paper.textWidth(text))
                    << face.toStdString() << " " << points << " " << text.toStdString();
        }
    }
    // Where the face is proportional, counting would be wrong.
    preview.setFontName(u("Noto Sans CJK JP"));
    preview.setFontSize(10);
    EXPECT_NE(preview.textWidth(u("1,234,567")), RecordingSurface::nominalWidth(u("1,234,567"), 10));
    preview.setUnderline(true);
    paper.setUnderline(true);
    paper.setFontName(u("Noto Sans CJK JP"));
    paper.setFontSize(10);
    EXPECT_EQ(preview.textWidth(u("山田　太郎 様")), paper.textWidth(u("山田　太郎 様")));
    paper.endDocument();
    // Under a capture the paper is a recording surface and the preview
    // counts as it does.
    PrintCapture capture;
    preview.setFontSize(12);
    EXPECT_EQ(preview.textWidth(u("1,234")), 600);
}

TEST_F(PreviewTest, APrinterThatFailsWhileThePreviewDrawsIsReportedWhenItCloses)
{
    PrintCapture capture;
    capture.failOpening(u("プリンター「事務所」に印刷できませんでした。"));
    PreviewOn preview;
    scripted->previewChoices = {true};
    try {
        printSlipSet(s.config, slip());
        FAIL() << "the failure was swallowed";
    } catch (const PrintError& e) {
        EXPECT_EQ(e.message(), u("プリンター「事務所」に印刷できませんでした。"));
    }
    EXPECT_EQ(scripted->previews.size(), 1u);
}

TEST_F(PreviewTest, ThePreviewDialogShowsEveryPageOfTheDocument)
{
    addCustomersFor(3);
    {
        PreviewOn preview;
        scripted->previewChoices = {false};
        printBalances();
    }
    ASSERT_EQ(scripted->previews.size(), 1u);
    QPrinter printer(QPrinter::HighResolution);
    const std::unique_ptr<QPrintPreviewDialog> dialog = makePrintPreviewDialog(scripted->previews[0], printer, nullptr);
    EXPECT_EQ(dialog->windowTitle(), u("印刷プレビュー　売掛残高一覧（3ページ）"));
    dialog->show();
    QApplication::processEvents();
    auto* pages = dialog->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->pageCount(), 3);
    // On the A4 sheet every print-out is laid out on, upright.
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
    dialog->close();
}

// The picture of the preview in the documentation: a credit slip as the
// operator sees it before printing.
TEST_F(PreviewTest, PictureOfTheSlipPreview)
{
    if (!qEnvironmentVariableIsSet("HIMAWARI_SCREENSHOTS"))
        GTEST_SKIP() << "HIMAWARI_SCREENSHOTS not set";
    const QString folder = pictureFolder(installation.dir());
    s.config.slipPrefix = 12;
    s.config.slipCounter = 345;
    {
        PreviewOn preview;
        scripted->previewChoices = {false};
        printSlipSet(s.config, slip());
    }
    ASSERT_EQ(scripted->previews.size(), 1u);
    QPrinter printer(QPrinter::HighResolution);
    const std::unique_ptr<QPrintPreviewDialog> dialog = makePrintPreviewDialog(scripted->previews[0], printer, nullptr);
    EXPECT_EQ(dialog->windowTitle(), u("印刷プレビュー　納品書（1ページ）"));
    dialog->resize(760, 1000);
    dialog->show();
    QApplication::processEvents();
    const QPixmap picture = dialog->grab();
    EXPECT_TRUE(picture.save(QDir(folder).filePath(u("print-preview.png"))));
    dialog->close();
}
