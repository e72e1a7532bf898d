// The accounting screens and print-outs as the operator sees them: each
// screen rendered at its own size with every caption whole, and, when a
// demo installation is named in HIMAWARI_DEMO_DIR, the demo shop's trial
// balance, ledger and transfer-slip journal as PDF files (the
// documentation's pictures come from them). Files go to
// HIMAWARI_SCREENSHOTS, or to the test's own folder.
#include "AccountingData.h"

#include "accounting/AccountingScreens.h"
#include "accounting/Books.h"
#include "accounting/EntryScreens.h"
#include "accounting/LedgerScreen.h"
#include "accounting/TransferSlipPrinting.h"
#include "accounting/TransferSlipScreen.h"
#include "accounting/TransferSlips.h"
#include "accounting/TrialBalanceScreen.h"
#include "accounting/YearEndScreen.h"
#include "session/Routines.h"
#include "print/QtPrintSurface.h"
#include "print/ReportEngine.h"
#include "print/SlipPrinting.h"
#include "support/Controls.h"
#include "support/Pictures.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/DateBoxes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// Shows the screen at its own size, saves it, and checks that no button or
// label on it is narrower than its caption.
void render(QWidget& screen, const QString& folder, const QString& file)
{
    savePicture(screen, folder, file);
    expectButtonsFitCaptions(screen, CaptionCheck::ShownOnly);
    expectLabelsFitTexts(screen, CaptionCheck::ShownOnly);
}

bool isPdf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(5).startsWith("%PDF");
}

} // namespace

TEST(AccountingPictures, ScreensShowEveryCaptionWhole)
{
    TestInstallation install;
    Database db = install.database();
    ScriptedUiScope scripted;
    addSmallBooks(db);
    db.exec(QStringLiteral("INSERT INTO 経理借方相手先ＴＢＬ VALUES (5, '米問屋'), (6, '灯油元売')"));
    const QString folder = pictureFolder(install.dir());

    frm仕入 purchase(testSession());
    purchase.amountBox->setText(QStringLiteral("12000"));
    purchase.leftList->setCurrentIndex(purchase.leftList->model()->index(0, 1));
    purchase.middleList->setCurrentIndex(purchase.middleList->model()->index(0, 1));
    purchase.rightList->setCurrentIndex(purchase.rightList->model()->index(0, 1));
    render(purchase, folder, QStringLiteral("journal-entry.png"));
    EXPECT_TRUE(purchase.storeButton->isVisible());
    frm経理入力 journal(testSession());
    render(journal, folder, QStringLiteral("journal-entry-free.png"));

    // A journal entry on receivables names its customer.
    db.exec(QStringLiteral("INSERT INTO 顧客マスター (顧客コード, 顧客名前) VALUES ('1024', '山田　太郎')"));
    frm経理入力 receivable(testSession());
    const auto rowOf = [](QListView* list, int code) {
        for (int row = 0; row < list->model()->rowCount(); ++row)
            if (list->model()->index(row, 0).data(Qt::EditRole).toInt() == code)
                return list->model()->index(row, 1);
        return QModelIndex();
    };
    receivable.leftList->setCurrentIndex(rowOf(receivable.leftList, 10));
    receivable.rightList->setCurrentIndex(rowOf(receivable.rightList, 110));
    render(receivable, folder, QStringLiteral("journal-entry-receivable-asked.png"));
    EXPECT_TRUE(receivable.chooseCustomerButton->isVisible());
    receivable.setReceivableCustomer(QStringLiteral("1024"));
    receivable.amountBox->setText(QStringLiteral("1500"));
    render(receivable, folder, QStringLiteral("journal-entry-receivable.png"));
    EXPECT_TRUE(receivable.storeButton->isVisible());

    frm経理残高試算表 trial(testSession());
    trial.show();
    trial.dateBoxes->setDate(PeriodEnd);
    clickButton(&trial, QStringLiteral("Command3"));
    render(trial, folder, QStringLiteral("trial-balance-screen.png"));
    trial.reject();

    frm経理勘定帳 ledger(testSession(), 10);
    render(ledger, folder, QStringLiteral("ledger-screen.png"));
    frm経理振替伝票 listing(testSession());
    render(listing, folder, QStringLiteral("transfer-slips-screen.png"));
    frm更新年次 yearEnd(testSession());
    render(yearEnd, folder, QStringLiteral("year-end-screen.png"));

    // One real PDF of the listing, so the face and sizes reach a printer.
    const QString pdf = QDir(folder).filePath(QStringLiteral("transfer-slips-test.pdf"));
    {
        QtPrintSurface surface(accounting::TransferSlipDocumentName, pdf);
        setUpPrinter(surface);
        accounting::printTransferSlips(surface, day(2024, 3, 1), PeriodEnd,
                                       accounting::loadTransferSlips(db, day(2024, 3, 1), PeriodEnd));
        surface.endDocument();
    }
    EXPECT_TRUE(isPdf(pdf));
}

TEST(AccountingPictures, PrintsTheDemoShopsBooks)
{
    if (!readDemoInstallation())
        GTEST_SKIP() << "HIMAWARI_DEMO_DIR not set";
    ScriptedUiScope ui;
    Database db(testSession().config.databasePath);
    const Date end = dateValue(db.scalar(QStringLiteral("SELECT MAX(経理年月日) FROM 経理マスター")));
    const QString folder = pictureFolder(QDir::tempPath());

    auto toPdf = [&](const QString& file) {
        const QString path = QDir(folder).filePath(file);
        installPrintSurfaceFactory([path](const QString& name) { return std::make_unique<QtPrintSurface>(name, path); });
        return path;
    };
    const QString shop = testSession().config.companyName();

    accounting::computeTrialBalance(db, end);
    const QString trial = toPdf(QStringLiteral("trial-balance.pdf"));
    printReport(db, QStringLiteral("残高試算表.rpt"), {{}, QStringLiteral("%1 現在").arg(end.toShortString())}, shop, end);
    accounting::clearTrialBalance(db);

    const accounting::LedgerResult cash = accounting::buildLedger(db, 10);
    const QString ledger = toPdf(QStringLiteral("ledger.pdf"));
    printReport(db, QStringLiteral("各勘定帳.rpt"), {{}, QStringLiteral("10　") + cash.accountName}, shop, end);
    accounting::clearLedger(db);

    const QString listing = toPdf(QStringLiteral("transfer-slips.pdf"));
    accounting::printTransferSlips(end.addDays(-30), end, accounting::loadTransferSlips(db, end.addDays(-30), end));
    installPrintSurfaceFactory(nullptr);

    EXPECT_TRUE(isPdf(trial));
    EXPECT_TRUE(isPdf(ledger));
    EXPECT_TRUE(isPdf(listing));
}
