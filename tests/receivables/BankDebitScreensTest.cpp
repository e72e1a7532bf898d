// The two bank screens driven as the operator drives them: the request file
// written into the drive folder, what keeps it from being written, the
// result file processed into journal rows, a file run twice, and a round
// trip on the demo shop through invoice closing and the daily update.
#include "session/Routines.h"
#include "ui/Screens.h"
#include "receivables/BankDebitFile.h"
#include "receivables/BankDebitOutput.h"
#include "receivables/BankDebitOutputScreen.h"
#include "receivables/BankDebitResult.h"
#include "receivables/BankDebitResultScreen.h"
#include "receivables/BankDebitScreens.h"
#include "receivables/InvoiceIssuing.h"
#include "sales/DailyUpdate.h"
#include "support/Controls.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/DateBoxes.h"
#include "ui/JapaneseFont.h"
#include "ui/ValueModel.h"
#include "PaymentData.h"
#include "support/ListViews.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <map>

using namespace bankfile;

namespace {

const QString DebitMethodName = QStringLiteral("口座引落（ひばり銀行）");
const QString Drive = QStringLiteral("銀行引落報告用ＦＤをドライブＡ：に入れて下さい。\n");
const QString ResultDrive = QStringLiteral("銀行引落報告ＦＤをドライブＡ：に入れて下さい。\n");

QStringList gridColumn(QTableView* grid, int column)
{
    QStringList texts;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        texts << grid->model()->index(row, column).data().toString();
    return texts;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The bank's answer to a request file: result code `codeOf(i)` in the i-th
// data record (from 0), everything else as requested.
QByteArray bankResult(const QByteArray& request, const std::function<char(int)>& codeOf)
{
    QByteArray out;
    int i = 0;
    for (QByteArray record : splitRecords(request)) {
        if (record.startsWith('2'))
            record[111] = codeOf(i++);
        out += record + "\r\n";
    }
    return out;
}

// Records with CR LF after each.
QByteArray withLineEnds(const QList<QByteArray>& records)
{
    QByteArray bytes;
    for (const QByteArray& r : records)
        bytes += r + "\r\n";
    return bytes;
}

// A whole result file: `header`, the data records, a trailer with their
// count and total, the end record.
QByteArray wholeResult(const QByteArray& header, const QList<QByteArray>& data)
{
    Currency total;
    for (const QByteArray& r : data)
        total += Currency::fromUnits(r.mid(80, 10).toLongLong());
    return withLineEnds(QList<QByteArray>{header} + data + QList<QByteArray>{trailerRecord(data.size(), total), endRecord()});
}

// The scripted operator who presses Enter on every question it has no
// answer queued for: the question is shown as the program shows it, in a
// real message box, so Enter presses the box's default button.
class EnterPressingUi : public ScriptedUi {
public:
    bool ask(const QString& text, const QString& title, Preset preset) override
    {
        if (!answers.empty())
            return ScriptedUi::ask(text, title, preset);
        questions.push_back({text, title, preset});
        auto* poll = new QTimer;
        poll->setInterval(10);
        QObject::connect(poll, &QTimer::timeout, poll, [poll] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                poll->stop();
                poll->deleteLater();
                QTest::keyClick(box, Qt::Key_Return);
            }
        });
        poll->start();
        return QtUiService().ask(text, title, preset);
    }
};

class BankDebitScreensTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerBankDebitScreens();
        setBankDriveFolder(QString());
        setBankDriveFolderChooser({});
        db.exec(QStringLiteral("INSERT INTO 引落銀行ＴＢＬ (引落銀行コード, 引落銀行名, 引落銀行名カナ) VALUES"
                               " (5, 'テスト銀行', 'ﾃｽﾄｷﾞﾝｺｳ'), (9900, '郵便貯金', 'ﾕｳﾋﾞﾝﾁﾖｷﾝ')"));
        db.exec(QStringLiteral(
            "INSERT INTO 決済方法ＴＢＬ (決済方法コード, 決済方法, 決済銀行ファイル名, 決済銀行振替種別コード,"
            " 決済銀行振替委託者コード, 決済銀行振替委託者名カナ, 決済銀行名カナ, 決済銀行支店番号, 決済銀行支店名カナ,"
            " 決済銀行口座番号) VALUES (1, '現金・振込', '1', '', '', '', '', '', '', ''),"
            " (991, ?, 'HBR0991.TXT', '91', '0099123456', 'ﾋﾏﾜﾘﾍﾞｲｺｸ', 'ﾋﾊﾞﾘｷﾞﾝｺｳ', '105', 'ﾋﾅﾀﾉ', '11234567'),"
            " (992, '口座引落（やまびこ銀行）', 'YMB0992.TXT', '91', '0099000001', 'ﾋﾏﾜﾘ', 'ﾔﾏﾋﾞｺ', '201', 'ﾎﾝﾃﾝ', '11111111')"),
                {DebitMethodName});
        // Entered out of code order: the file follows the table's order.
        addCustomer("3003", "ｻﾝｾﾞﾝｻﾝ", 4500, 991, 9900, "12345", "12345671");
        addCustomer("3001", "ｽｽﾞｷ ｲﾁﾛｳ", 3000, 991, 5, "12", "123");
        addCustomer("3002", "ｾﾞﾛ", 0, 991, 5, "12", "555");
        addCustomer("3004", "ｶｼｺｼ", -500, 991, 5, "12", "777");
        addCustomer("3005", "ｹﾞﾝｷﾝ", 8000, 1, 0, "", "");
    }

    void TearDown() override
    {
        setBankDriveFolder(QString());
        setBankDriveFolderChooser({});
    }

    void addCustomer(const char* code, const char* kana, std::int64_t amount, int method, int bank, const char* branch,
                     const char* account)
    {
        db.exec(QStringLiteral("INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客名前カナ, 顧客売掛前回請求金額,"
                               " 顧客売掛決済コード, 顧客引落銀行コード, 顧客引落銀行支店コード, 顧客引落口座種別,"
                               " 顧客引落口座番号) VALUES (?, 'テスト', ?, ?, ?, ?, ?, 1, ?)"),
                {QString::fromUtf8(code), QString::fromUtf8(kana), sqlValue(Currency::fromUnits(amount)), method, bank,
                 QString::fromUtf8(branch), QString::fromUtf8(account)});
    }

    // Three more customers to debit, so that the request holds five data
    // records: 3003 (4,500), 3001 (3,000), 3006 (10,800), 3007 (2,500) and
    // 3008 (7,000), 27,800 yen in all.
    void addThreeCustomers()
    {
        addCustomer("3006", "ﾀﾅｶ ﾊﾅｺ", 10800, 991, 5, "12", "301");
        addCustomer("3007", "ﾔﾏﾀﾞ ｼﾞﾛｳ", 2500, 991, 5, "12", "302");
        addCustomer("3008", "ｷﾑﾗ ｻﾌﾞﾛｳ", 7000, 991, 9900, "12345", "23456781");
    }

    // The records of the bank's answer to the request file on the drive:
    // header, data records with result code `codes[i]`, trailer, end record.
    QList<QByteArray> resultRecords(const char* codes) const
    {
        return splitRecords(bankResult(readAll(requestPath()), [codes](int i) { return codes[i]; }));
    }

    QString counterInFile() const
    {
        return parseConfiguration(inst.configurationFileBytes(), QStringLiteral("test")).counterText();
    }

    // Processes `bytes` as the result file: nothing is booked, the counter
    // is left as it was, and the operator is told `problem`.
    void expectRefused(const QByteArray& bytes, const QString& problem)
    {
        writeAll(requestPath(), bytes);
        const QByteArray configuration = inst.configurationFileBytes();
        const std::int32_t counter = testSession().config.slipCounter;
        const QStringList rows = holdingLedgerRows(db);
        ui->messages.clear();
        ui->answers.push_back(true);
        processResult();
        ASSERT_EQ(ui->messages.size(), 1u) << problem.toStdString();
        EXPECT_EQ(ui->messages[0].title, QStringLiteral("エラー"));
        EXPECT_EQ(ui->messages[0].text,
                  problem + QStringLiteral("\n結果ファイルが完全ではないため、何も記録していません。銀行から受け取ったファイルを確かめて下さい。\n")
                      + QDir::toNativeSeparators(requestPath()));
        EXPECT_EQ(holdingLedgerRows(db), rows);
        EXPECT_EQ(testSession().config.slipCounter, counter);
        EXPECT_EQ(inst.configurationFileBytes(), configuration);
    }

    QString requestPath() const { return inst.path(QStringLiteral("FD/HBR0991.TXT")); }
    QString folder() const { return QDir::toNativeSeparators(inst.path(QStringLiteral("FD"))); }

    // Writes the request file for 5 March on the screen, answering the
    // question with `accept`.
    void writeRequest(bool accept = true)
    {
        frm売掛FD出力 d(testSession());
        d.show();
        clickListRow(d.methodList, DebitMethodName);
        d.dateBoxes->setParts(2024, 3, 5);
        ui->answers.push_back(accept);
        clickButton(&d, QStringLiteral("Command1"));
    }

    // Processes the result file with 普通預金 as the means and 10 June 2024
    // as the payment date.
    void processResult()
    {
        frm売掛FD入力 d(testSession());
        d.show();
        clickListRow(d.methodList, DebitMethodName);
        clickListRow(d.meansOfPaymentList, QStringLiteral("普通預金"));
        d.dateBoxes->setParts(2024, 6, 10);
        clickButton(&d, QStringLiteral("Command1"));
    }

    TestInstallation inst;
    Database db = inst.database();
    ScriptedUiScope ui;
};

} // namespace

TEST_F(BankDebitScreensTest, ChoosingAMethodListsItsCustomersInTableOrder)
{
    frm売掛FD出力 d(testSession());
    d.show();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("売掛ＦＤ出力"));
    EXPECT_FALSE(d.writeButton->isVisible());
    EXPECT_EQ(d.countBox->text(), QStringLiteral("0"));
    EXPECT_EQ(d.totalBox->text(), QStringLiteral("0"));
    EXPECT_EQ(d.debitDate(), Date::today());
    EXPECT_EQ(d.driveFolderLabel->text(), folder());

    clickListRow(d.methodList, DebitMethodName);
    // Every customer with an amount other than 0, in the order entered; the
    // credit balance is listed but neither counted nor totalled.
    EXPECT_EQ(gridColumn(d.customerGrid, 0), QStringList({"3003", "3001", "3004"}));
    EXPECT_EQ(gridColumn(d.customerGrid, 2), QStringList({"4500", "3000", "-500"}));
    EXPECT_EQ(d.customerGrid->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("顧客売掛前回請求金額"));
    // The row the file leaves out says so, as 件数 and 合計金額 count it.
    EXPECT_EQ(d.customerGrid->model()->headerData(7, Qt::Horizontal).toString(), QStringLiteral("備考"));
    EXPECT_EQ(gridColumn(d.customerGrid, 7), QStringList({"", "", "ファイルに含めない（貸越）"}));
    EXPECT_EQ(d.countBox->text(), QStringLiteral("2"));
    EXPECT_EQ(d.totalBox->text(), QStringLiteral("7500"));
    EXPECT_TRUE(d.writeButton->isVisible());

    clickListRow(d.methodList, QStringLiteral("口座引落（やまびこ銀行）"));
    EXPECT_EQ(d.customerGrid->model()->rowCount(), 0);
    EXPECT_EQ(d.countBox->text(), QStringLiteral("0"));
    EXPECT_FALSE(d.writeButton->isVisible());

    d.dateBoxes->setParts(2024, 2, 30); // carries into 1 March
    EXPECT_EQ(d.debitDate(), Date::fromParts(2024, 3, 1));
}

TEST_F(BankDebitScreensTest, WritesTheRequestFileIntoTheDriveFolder)
{
    writeRequest(false);
    EXPECT_FALSE(QFile::exists(requestPath()));
    EXPECT_TRUE(ui->messages.empty());

    writeRequest(true);
    ASSERT_EQ(ui->questions.size(), 2u);
    EXPECT_EQ(ui->questions[1].title, QStringLiteral("銀行引落報告用ＦＤ作成"));
    EXPECT_EQ(ui->questions[1].text, Drive + folder() +
                                         QStringLiteral("\n\n次の顧客は請求金額がマイナス（貸越）のため、ファイルに含めません。\n"
                                                        "　顧客 3004 ｶｼｺｼ　-500 円"));
    const QByteArray bytes = readAll(requestPath());
    ASSERT_EQ(bytes.size(), 122 * 5);
    const QList<QByteArray> records = splitRecords(bytes);
    EXPECT_EQ(records[0].mid(54, 8), "03050991");
    EXPECT_EQ(records[1].mid(0, 5), "29900");
    EXPECT_EQ(records[1].mid(20, 3), "234");
    EXPECT_EQ(records[1].mid(43, 7), "1234567");
    EXPECT_EQ(records[1].mid(91, 4), "3003");
    EXPECT_EQ(records[2].mid(91, 4), "3001");
    EXPECT_EQ(records[3].left(19), "8000002000000007500");
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("完了"));
    EXPECT_EQ(ui->messages[0].text, QStringLiteral("書込が完了しました。\n") + QDir::toNativeSeparators(requestPath()) +
                                        QStringLiteral("\n件数 2 件　合計金額 7,500 円"));
    EXPECT_EQ(ui->busyDepth, 0);
    EXPECT_GE(ui->busyCount, 1);
}

TEST_F(BankDebitScreensTest, AnUnregisteredBankWritesNothingAndKeepsTheEarlierFile)
{
    writeRequest();
    const QByteArray earlier = readAll(requestPath());
    ASSERT_FALSE(earlier.isEmpty());
    ui->messages.clear();
    ui->questions.clear();

    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客引落銀行コード = 995 WHERE 顧客コード = '3001'"));
    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客売掛前回請求金額 = ? WHERE 顧客コード = '3003'"),
            {sqlValue(Currency::fromUnits(4600))});
    frm売掛FD出力 d(testSession());
    d.show();
    clickListRow(d.methodList, DebitMethodName);
    clickButton(&d, QStringLiteral("Command1"));
    EXPECT_TRUE(ui->questions.empty()); // nothing to put in the drive for
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("エラーメッセージ"));
    EXPECT_TRUE(ui->messages[0].text.startsWith(QStringLiteral("銀行が登録されていません。\n")));
    EXPECT_TRUE(ui->messages[0].text.contains(QStringLiteral("顧客 3001 ｽｽﾞｷ ｲﾁﾛｳ：引落銀行コード 995")));
    EXPECT_EQ(readAll(requestPath()), earlier);
    EXPECT_TRUE(QDir(inst.path(QStringLiteral("FD"))).entryList(QDir::Files) == QStringList({"HBR0991.TXT"}));
}

TEST_F(BankDebitScreensTest, AmountsAndNamesThatDoNotFitAreRefused)
{
    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客売掛前回請求金額 = ? WHERE 顧客コード = '3001'"),
            {sqlValue(Currency::fromUnits(12345678901))});
    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客名前カナ = 'すずき' WHERE 顧客コード = '3003'"));
    frm売掛FD出力 d(testSession());
    d.show();
    clickListRow(d.methodList, DebitMethodName);
    clickButton(&d, QStringLiteral("Command1"));
    ASSERT_EQ(ui->messages.size(), 1u);
    const QString text = ui->messages[0].text;
    EXPECT_FALSE(text.contains(QStringLiteral("銀行が登録されていません。")));
    EXPECT_TRUE(text.contains(QStringLiteral("顧客 3003 すずき：顧客名前カナ「すずき」の「す」は銀行ファイルに書けない文字です")));
    EXPECT_TRUE(text.contains(QStringLiteral("顧客 3001 ｽｽﾞｷ ｲﾁﾛｳ：顧客売掛前回請求金額 12345678901 は 10 桁に収まりません。")));
    EXPECT_FALSE(QFile::exists(requestPath()));
}

TEST_F(BankDebitScreensTest, FileNamesOutsideTheDriveAndMissingOnesAreRefused)
{
    db.exec(QStringLiteral("UPDATE 決済方法ＴＢＬ SET 決済銀行ファイル名 = '../HBR0991.TXT' WHERE 決済方法コード = 991"));
    writeRequest();
    EXPECT_TRUE(ui->questions.empty());
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_TRUE(ui->messages[0].text.contains(QStringLiteral("「../HBR0991.TXT」は使えません")));
    EXPECT_FALSE(QFile::exists(inst.path(QStringLiteral("HBR0991.TXT"))));

    // A method without a bank file: nothing to write to.
    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客売掛決済コード = 1 WHERE 顧客コード = '3001'"));
    frm売掛FD出力 d(testSession());
    d.show();
    clickListRow(d.methodList, QStringLiteral("現金・振込"));
    EXPECT_TRUE(d.writeButton->isVisible());
    clickButton(&d, QStringLiteral("Command1"));
    EXPECT_EQ(ui->lastMessage(), QStringLiteral("決済方法「現金・振込」には銀行ファイル名が登録されていません。"));
    EXPECT_FALSE(QFile::exists(inst.path(QStringLiteral("FD/1"))));
}

TEST_F(BankDebitScreensTest, AnotherFolderCanStandForTheDrive)
{
    const QString usb = inst.path(QStringLiteral("usb"));
    QDir().mkpath(usb);
    setBankDriveFolderChooser([usb](QWidget*, const QString& current) {
        EXPECT_TRUE(current.endsWith(QStringLiteral("/FD")));
        return usb;
    });
    {
        frm売掛FD出力 d(testSession());
        d.show();
        clickButton(&d, QStringLiteral("cmdドライブ"));
        EXPECT_EQ(d.driveFolderLabel->text(), QDir::toNativeSeparators(usb));
        clickListRow(d.methodList, DebitMethodName);
        ui->answers.push_back(true);
        clickButton(&d, QStringLiteral("Command1"));
    }
    EXPECT_EQ(ui->questions.back().text.section(u'\n', 1, 1), QDir::toNativeSeparators(usb));
    EXPECT_EQ(readAll(usb + QStringLiteral("/HBR0991.TXT")).size(), 122 * 5);
    EXPECT_FALSE(QFile::exists(requestPath()));
    // The result screen reads from the same folder.
    frm売掛FD入力 r(testSession());
    r.show();
    EXPECT_EQ(r.driveFolderLabel->text(), QDir::toNativeSeparators(usb));
    // A cancelled dialog keeps the folder.
    setBankDriveFolderChooser([](QWidget*, const QString&) { return QString(); });
    clickButton(&r, QStringLiteral("cmdドライブ"));
    EXPECT_EQ(bankDriveFolder(), usb);
}

// ------------------------------------------------------------ result screen

TEST_F(BankDebitScreensTest, StartIsShownOnceAMethodAndAMeansAreChosen)
{
    frm売掛FD入力 d(testSession());
    d.show();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("売掛ＦＤ入力"));
    EXPECT_EQ(d.debitAccount(), 0);
    EXPECT_EQ(testSession().customer.slipDate, Date::today());
    EXPECT_EQ(d.fileName(), QStringLiteral("1"));
    EXPECT_FALSE(d.startButton->isVisible());
    clickListRow(d.methodList, DebitMethodName);
    EXPECT_EQ(d.fileName(), QStringLiteral("HBR0991.TXT"));
    EXPECT_FALSE(d.startButton->isVisible());
    clickListRow(d.meansOfPaymentList, QStringLiteral("普通預金"));
    EXPECT_EQ(d.debitAccount(), 20);
    EXPECT_TRUE(d.startButton->isVisible());
    // The method without a bank file has the placeholder name.
    clickListRow(d.methodList, QStringLiteral("現金・振込"));
    EXPECT_FALSE(d.startButton->isVisible());
    d.dateBoxes->setParts(2024, 6, 10);
    EXPECT_EQ(testSession().customer.slipDate, Date::fromParts(2024, 6, 10));
    // The means are the accounts 1 to 999.
    EXPECT_EQ(d.meansOfPaymentList->model()->rowCount(), 5);
}

TEST_F(BankDebitScreensTest, AMissingFileIsReported)
{
    ui->answers.push_back(true);
    processResult();
    ASSERT_EQ(ui->questions.size(), 1u);
    EXPECT_EQ(ui->questions[0].text, ResultDrive + folder());
    EXPECT_EQ(ui->questions[0].title, QStringLiteral("銀行引落報告ＦＤ後処理"));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, QStringLiteral("ファイルが見つかりません。\n") + QDir::toNativeSeparators(requestPath()));
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("エラー"));
    // Cancel at the drive question does not even look for the file.
    ui->answers.push_back(false);
    processResult();
    EXPECT_EQ(ui->messages.size(), 1u);
}

TEST_F(BankDebitScreensTest, TheResultBooksDebitedCustomersAndARepeatAsksFirst)
{
    writeRequest();
    // Data records: 3003 (4500), 3001 (3000); the bank debits 3003 only, and
    // a record of a customer the shop does not know is added.
    const QList<QByteArray> records = resultRecords("01");
    QByteArray unknown = records[1];
    unknown.replace(91, 4, "9999");
    unknown.replace(80, 10, "0000000700");
    writeAll(requestPath(), wholeResult(records[0], {records[1], records[2], unknown}));
    ui->messages.clear();
    ui->questions.clear();
    const std::int32_t counter = testSession().config.slipCounter;

    ui->answers.push_back(true);
    processResult();
    EXPECT_EQ(holdingLedgerRows(db), QStringList({QString("%1|45453|45000000|20|0|110|3003").arg(counter)}));
    EXPECT_EQ(testSession().config.slipCounter, counter + 1);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("完了"));
    EXPECT_EQ(ui->messages[0].text.section(u'\n', 0, 3),
              QStringLiteral("書込が完了しました。\n入金を記録した顧客：1 件　4,500 円\n"
                             "引き落とされなかった顧客：1 件　3,000 円\n顧客マスターにない顧客：1 件　700 円（顧客コード 9999）"));

    // The same file again: asked first; cancel books nothing.
    ui->answers.push_back(true);
    ui->answers.push_back(false);
    processResult();
    ASSERT_EQ(ui->questions.size(), 3u);
    EXPECT_EQ(ui->questions[1].preset, UiService::Preset::Ok); // the drive
    EXPECT_EQ(ui->questions[2].preset, UiService::Preset::Cancel);
    EXPECT_TRUE(ui->questions[2].text.startsWith(QStringLiteral("このファイルは %1 に処理済みです（入金日 2024/06/10、1 件　4,500 円）。")
                                                     .arg(Date::today().toShortString())));
    EXPECT_EQ(holdingLedgerRows(db).size(), 1);
    EXPECT_EQ(testSession().config.slipCounter, counter + 1);
    EXPECT_EQ(ui->messages.size(), 1u);

    // Accepted, the payment is recorded again under the next number.
    ui->answers.push_back(true);
    ui->answers.push_back(true);
    processResult();
    EXPECT_EQ(holdingLedgerRows(db).size(), 2);
    EXPECT_EQ(testSession().config.slipCounter, counter + 2);
}

TEST_F(BankDebitScreensTest, TheRequestFileFedBackIsRefused)
{
    writeRequest();
    ui->messages.clear();
    const std::int32_t counter = testSession().config.slipCounter;
    const QByteArray fileCounter = inst.configurationFileBytes();
    ui->answers.push_back(true);
    processResult();
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("エラー"));
    EXPECT_TRUE(ui->messages[0].text.startsWith(NotAResultFile().message()));
    EXPECT_FALSE(ui->messages[0].text.contains(QStringLiteral("書込が完了しました。")));
    EXPECT_TRUE(holdingLedgerRows(db).isEmpty());
    EXPECT_EQ(testSession().config.slipCounter, counter);
    EXPECT_EQ(inst.configurationFileBytes(), fileCounter);
}

TEST_F(BankDebitScreensTest, NumbersThatDoNotFitAreRefusedBeforeAnyRow)
{
    writeRequest();
    writeAll(requestPath(), bankResult(readAll(requestPath()), [](int) { return '0'; }));
    ui->messages.clear();
    testSession().config.slipPrefix = 21;
    testSession().config.slipCounter = 47483647; // one number left, two needed
    const QString fileCounter = counterInFile();
    ui->answers.push_back(true);
    processResult();
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text,
              SlipNumberOverflow().message()
                  + QStringLiteral("\n何も記録していません。\n"
                                   "この処理には伝票番号が 2 個要りますが、いまの頭番号 21・カウンター 47483647 から使えるのは 1 個です"
                                   "（伝票番号の上限は 2147483647）。\n"
                                   "伝票番号の頭番号とカウンターは会社設定の画面では変えられません。"
                                   "設定ファイル HMWcfg.dat の 16 行目（伝票番号の頭番号）をまだ使っていない番号に、"
                                   "17 行目（カウンター）を 1 に書き換えてプログラムを起動し直し、もう一度処理して下さい。"
                                   "起動のときカウンターは使用中の番号の次へ進みます。"));
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("エラー"));
    EXPECT_TRUE(holdingLedgerRows(db).isEmpty());
    EXPECT_EQ(testSession().config.slipCounter, 47483647);
    EXPECT_EQ(counterInFile(), fileCounter);
}

TEST_F(BankDebitScreensTest, ScreensOpenFromTheScreenTable)
{
    for (const QString& name : {QStringLiteral("frm売掛FD出力"), QStringLiteral("frm売掛FD入力")}) {
        EXPECT_TRUE(isScreenAvailable(name));
        ui->onScreen(name, [&](QDialog& d) {
            EXPECT_EQ(d.objectName(), name);
            clickButton(&d, QStringLiteral("Command2"));
        });
        EXPECT_EQ(openScreen(testSession(), name, name, nullptr), QDialog::Rejected);
    }
    EXPECT_EQ(ui->openedScreens, QStringList({"frm売掛FD出力", "frm売掛FD入力"}));
}

// ------------------------------------------------------------ damaged and repeated result files

TEST_F(BankDebitScreensTest, AFileCutShortBooksNothingAndTheWholeFileBooksEachPaymentOnce)
{
    addThreeCustomers();
    writeRequest();
    const QList<QByteArray> records = resultRecords("01000"); // 3001 not debited
    ASSERT_EQ(records.size(), 8);
    const std::int32_t counter = testSession().config.slipCounter;

    // Cut after the third data record: no trailer, no end record.
    expectRefused(withLineEnds(records.mid(0, 4)),
                  QStringLiteral("ファイルが 4 行目で終わっていて、トレーラレコード（データ区分 8）と"
                                 "エンドレコード（データ区分 9）がありません。"));
    EXPECT_TRUE(holdingLedgerRows(db).isEmpty());

    // The whole file then books every debited customer once.
    ui->messages.clear();
    writeAll(requestPath(), withLineEnds(records));
    ui->answers.push_back(true);
    processResult();
    EXPECT_EQ(holdingLedgerRows(db), QStringList({QString("%1|45453|45000000|20|0|110|3003").arg(counter),
                                                  QString("%1|45453|108000000|20|0|110|3006").arg(counter + 1),
                                                  QString("%1|45453|25000000|20|0|110|3007").arg(counter + 2),
                                                  QString("%1|45453|70000000|20|0|110|3008").arg(counter + 3)}));
    EXPECT_EQ(counterInFile(), QString(" %1").arg(counter + 4));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, QStringLiteral("書込が完了しました。\n入金を記録した顧客：4 件　24,800 円\n"
                                                   "引き落とされなかった顧客：1 件　3,000 円\n顧客マスターにない顧客：0 件　0 円"));
}

TEST_F(BankDebitScreensTest, RecordsOfTheWrongLengthOrKindAndDisagreeingTrailersBookNothing)
{
    addThreeCustomers();
    writeRequest();
    const QList<QByteArray> records = resultRecords("00000");

    QList<QByteArray> shortEnd = records;
    shortEnd[7].chop(5);
    expectRefused(withLineEnds(records.mid(0, 7)) + shortEnd[7],
                  QStringLiteral("8 行目の長さが 115 バイトです。明細はどれも 120 バイトです。"));
    QList<QByteArray> longer = records;
    longer[2].insert(60, ' '); // result code and amount one byte to the right
    expectRefused(withLineEnds(longer), QStringLiteral("3 行目の長さが 121 バイトです。明細はどれも 120 バイトです。"));
    QList<QByteArray> shorter = records;
    shorter[2].truncate(100);
    expectRefused(withLineEnds(shorter), QStringLiteral("3 行目の長さが 100 バイトです。明細はどれも 120 バイトです。"));
    QList<QByteArray> kind3 = records;
    kind3[3][0] = '3';
    expectRefused(withLineEnds(kind3), QStringLiteral("4 行目のデータ区分「3」は、ヘッダー（1）・データ（2）・"
                                                      "トレーラ（8）・エンド（9）のどれでもありません。"));
    expectRefused(QByteArray(), QStringLiteral("ファイルが空です（0 バイト）。"));
    expectRefused(records.join().left(719),
                  QStringLiteral("ファイルの長さ 719 バイトが、120 バイトの明細の整数倍になっていません。"));
    // Three data records (4,500, 3,000 and 10,800 yen) under a trailer of
    // another file.
    expectRefused(withLineEnds(records.mid(0, 4) + QList<QByteArray>{trailerRecord(7, Currency::fromUnits(244256)), endRecord()}),
                  QStringLiteral("5 行目（トレーラレコード）の件数は 7 件ですが、データレコードでは 3 件です。\n"
                                 "5 行目（トレーラレコード）の合計金額は 244,256 円ですが、データレコードでは 18,300 円です。"));
    EXPECT_TRUE(holdingLedgerRows(db).isEmpty());
}

TEST_F(BankDebitScreensTest, EnterOnTheRepeatQuestionBooksNothing)
{
    writeRequest();
    writeAll(requestPath(), bankResult(readAll(requestPath()), [](int) { return '0'; }));
    ui->answers.push_back(true);
    processResult();
    const QStringList rows = holdingLedgerRows(db);
    ASSERT_EQ(rows.size(), 2);
    const QString counter = counterInFile();

    auto enter = std::make_unique<EnterPressingUi>();
    EnterPressingUi& operatorAtEnter = *enter;
    operatorAtEnter.answers.push_back(true); // the drive
    std::unique_ptr<UiService> scripted = installUiService(std::move(enter));
    processResult();
    const std::unique_ptr<UiService> used = installUiService(std::move(scripted));

    ASSERT_EQ(operatorAtEnter.questions.size(), 2u);
    EXPECT_TRUE(operatorAtEnter.questions[1].text.endsWith(
        QStringLiteral("もう一度処理すると、同じ入金が二重に記録されます。処理を続けますか？")));
    EXPECT_EQ(operatorAtEnter.questions[1].preset, UiService::Preset::Cancel);
    EXPECT_TRUE(operatorAtEnter.messages.empty());
    EXPECT_EQ(holdingLedgerRows(db), rows);
    EXPECT_EQ(counterInFile(), counter);
}

TEST_F(BankDebitScreensTest, AnotherFileBooksOnlyThePaymentsNotInTheBooksOnceConfirmed)
{
    addThreeCustomers();
    writeRequest();
    const QList<QByteArray> records = resultRecords("01000");
    const std::int32_t counter = testSession().config.slipCounter;
    // The bank's first file holds the first three customers only.
    writeAll(requestPath(), wholeResult(records[0], records.mid(1, 3)));
    ui->answers.push_back(true);
    processResult();
    ASSERT_EQ(holdingLedgerRows(db).size(), 2); // 3003 and 3006

    // Then the whole run: 3003 and 3006 are listed, and nothing is booked
    // until the operator confirms the other two.
    writeAll(requestPath(), withLineEnds(records));
    ui->messages.clear();
    ui->questions.clear();
    ui->answers.push_back(true);
    ui->answers.push_back(false);
    processResult();
    ASSERT_EQ(ui->questions.size(), 2u);
    const QString today = Date::today().toShortString();
    EXPECT_EQ(ui->questions[1].text,
              QStringLiteral("次の 2 件の入金（引落日 2024/03/05）は、前の処理で記録済みです。もう一度は記録しません。\n"
                             "　顧客 3003 テスト　4,500 円（%1 に処理、伝票番号 %2）\n"
                             "　顧客 3006 テスト　10,800 円（%1 に処理、伝票番号 %3）\n"
                             "残りの 2 件　9,500 円の入金を記録しますか？")
                  .arg(today)
                  .arg(counter)
                  .arg(counter + 1));
    EXPECT_EQ(ui->questions[1].title, QStringLiteral("銀行引落報告ＦＤ後処理"));
    EXPECT_EQ(ui->questions[1].preset, UiService::Preset::Cancel);
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_EQ(holdingLedgerRows(db).size(), 2);
    EXPECT_EQ(counterInFile(), QString(" %1").arg(counter + 2));

    ui->answers.push_back(true);
    ui->answers.push_back(true);
    processResult();
    EXPECT_EQ(holdingLedgerRows(db).mid(2), QStringList({QString("%1|45453|25000000|20|0|110|3007").arg(counter + 2),
                                                         QString("%1|45453|70000000|20|0|110|3008").arg(counter + 3)}));
    EXPECT_EQ(counterInFile(), QString(" %1").arg(counter + 4));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, QStringLiteral("書込が完了しました。\n入金を記録した顧客：2 件　9,500 円\n"
                                                   "引き落とされなかった顧客：1 件　3,000 円\n顧客マスターにない顧客：0 件　0 円\n"
                                                   "記録済みのため記録しなかった入金：2 件　15,300 円"));

    // A third file whose every payment is in the books (3001 with another
    // failure code) is told so, and asks nothing.
    QList<QByteArray> again = records.mid(1, 3);
    again[1][111] = '2';
    writeAll(requestPath(), wholeResult(records[0], again));
    ui->messages.clear();
    ui->questions.clear();
    ui->answers.push_back(true);
    processResult();
    EXPECT_EQ(ui->questions.size(), 1u);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text,
              QStringLiteral("このファイルの入金 2 件（引落日 2024/03/05）は、前の処理ですべて記録済みです。何も記録していません。\n"
                             "　顧客 3003 テスト　4,500 円（%1 に処理、伝票番号 %2）\n"
                             "　顧客 3006 テスト　10,800 円（%1 に処理、伝票番号 %3）")
                  .arg(today)
                  .arg(counter)
                  .arg(counter + 1));
    EXPECT_EQ(holdingLedgerRows(db).size(), 4);
    EXPECT_EQ(counterInFile(), QString(" %1").arg(counter + 4));
}

// ------------------------------------------------------------ the demo shop

namespace {

// Writes the demo shop into the installation's folder "demo" and makes it
// the session's installation.
bool makeDemoShop(const TestInstallation& inst)
{
    const QString dir = inst.path(QStringLiteral("demo"));
    if (QProcess::execute(QStringLiteral(HIMAWARI_DEMO_PROGRAM), {dir}) != 0)
        return false;
    testSession().config = readConfiguration(dir + QStringLiteral("/HMWcfg.dat"));
    return testSession().config.databasePath == dir + QStringLiteral("/himawari.db");
}

std::map<QString, Currency> paymentsReceived(Database& db)
{
    std::map<QString, Currency> paid;
    for (QSqlQuery q = db.exec(QStringLiteral("SELECT 顧客コード, 顧客売掛入金額 FROM 顧客マスター")); q.next();)
        paid[q.value(0).toString()] = currencyValue(q.value(1));
    return paid;
}

} // namespace

TEST_F(BankDebitScreensTest, RoundTripOnTheDemoShop)
{
    ASSERT_TRUE(makeDemoShop(inst));
    Database demo(testSession().config.databasePath);
    const Date today = Date::today();
    postHoldingRows(demo, today);

    // Close the period of every direct-debit customer today.
    for (const QString& code : [&] {
             QStringList codes;
             for (QSqlQuery q = demo.exec(QStringLiteral("SELECT 顧客コード FROM 顧客マスター WHERE 顧客売掛決済コード = 991"));
                  q.next();)
                 codes << q.value(0).toString();
             return codes;
         }()) {
        const std::optional<InvoiceComputation> invoice = computeInvoice(demo, code, today, testSession().config);
        ASSERT_TRUE(invoice.has_value());
        if (!nothingToBill(invoice->invoice))
            closeBillingPeriod(demo, code, invoice->invoice);
    }
    const int toDebit = demo.scalar(QStringLiteral("SELECT COUNT(*) FROM 顧客マスター WHERE 顧客売掛決済コード = 991"
                                                   " AND 顧客売掛前回請求金額 > 0")).toInt();
    ASSERT_GE(toDebit, 5);
    const std::map<QString, Currency> before = paymentsReceived(demo);

    // The request file.
    {
        frm売掛FD出力 d(testSession());
        d.show();
        clickListRow(d.methodList, DebitMethodName);
        EXPECT_EQ(d.countBox->text(), QString::number(toDebit));
        ui->answers.push_back(true);
        clickButton(&d, QStringLiteral("Command1"));
    }
    ASSERT_TRUE(ui->lastMessage().startsWith(QStringLiteral("書込が完了しました。"))) << ui->lastMessage().toStdString();
    const QString path = inst.path(QStringLiteral("FD/HBR0991.TXT"));
    const QByteArray request = readAll(path);
    ASSERT_EQ(request.size(), 122 * (toDebit + 3));

    // The bank debits every customer but each third one.
    const QByteArray result = bankResult(request, [](int i) { return i % 3 == 1 ? '1' : '0'; });
    writeAll(path, result);
    std::map<QString, Currency> expected = before;
    int debited = 0;
    for (const ResultRecord& r : readResultFile(result).dataRecords) {
        ASSERT_TRUE(r.amount.has_value());
        if (r.debited()) {
            expected[r.customerCode] += *r.amount;
            ++debited;
        }
    }
    {
        frm売掛FD入力 d(testSession());
        d.show();
        clickListRow(d.methodList, DebitMethodName);
        clickListRow(d.meansOfPaymentList, QStringLiteral("普通預金"));
        ui->answers.push_back(true);
        clickButton(&d, QStringLiteral("Command1"));
    }
    ASSERT_TRUE(ui->lastMessage().startsWith(QStringLiteral("書込が完了しました。\n入金を記録した顧客：%1 件").arg(debited)))
        << ui->lastMessage().toStdString();

    // The daily update brings the payments to the customers.
    const PostingResult posted = postHoldingRows(demo, today);
    EXPECT_EQ(posted.ledgerRows, debited);
    EXPECT_EQ(paymentsReceived(demo), expected);
}

// Renders both screens on the demo shop; with HIMAWARI_SCREENSHOTS set the
// pictures are kept in that folder.
TEST_F(BankDebitScreensTest, RendersTheScreens)
{
    useJapaneseFont();
    ASSERT_TRUE(makeDemoShop(inst));
    const QString out = qEnvironmentVariable("HIMAWARI_SCREENSHOTS", inst.dir());
    QDir().mkpath(out);
    auto render = [&](QDialog& d, const QString& name) {
        d.adjustSize();
        QApplication::processEvents();
        EXPECT_TRUE(d.grab().save(QDir(out).filePath(name)));
        for (QPushButton* b : d.findChildren<QPushButton*>()) {
            if (b->isVisible()) {
                EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(b->text())) << b->objectName().toStdString();
            }
        }
        for (QLabel* l : d.findChildren<QLabel*>()) {
            if (l->isVisible() && !l->text().isEmpty()) {
                EXPECT_GE(l->width(), l->fontMetrics().horizontalAdvance(l->text())) << l->text().toStdString();
            }
        }
    };
    {
        frm売掛FD出力 d(testSession());
        d.show();
        clickListRow(d.methodList, DebitMethodName);
        render(d, QStringLiteral("bank-debit-output.png"));
        // Every column of the grid shows its heading whole.
        for (int c = 0; c < d.customerGrid->model()->columnCount(); ++c)
            EXPECT_GE(d.customerGrid->columnWidth(c),
                      d.customerGrid->fontMetrics().horizontalAdvance(d.customerGrid->model()->headerData(c, Qt::Horizontal).toString()));
    }
    {
        frm売掛FD入力 d(testSession());
        d.show();
        clickListRow(d.methodList, DebitMethodName);
        clickListRow(d.meansOfPaymentList, QStringLiteral("普通預金"));
        render(d, QStringLiteral("bank-debit-result.png"));
    }
}

// Shows a bank screen, which starts in its list of methods, and chooses the
// direct-debit method there with the arrow keys and Enter.
static void chooseMethodByKeyboard(QDialog& screen, QListView* methods)
{
    screen.show();
    screen.activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(screen.focusWidget(), methods);
    const int method = listTexts(methods).indexOf(DebitMethodName);
    ASSERT_GE(method, 0);
    for (int i = 0; i < method; ++i)
        QTest::keyClick(methods, Qt::Key_Down);
    QTest::keyClick(methods, Qt::Key_Return);
}

TEST_F(BankDebitScreensTest, EnterAloneTakesTheResultRunFromTheMethodToTheBookedPayments)
{
    writeRequest();
    const char* codes = "01000";
    const QList<QByteArray> records = resultRecords(codes);
    const QList<QByteArray> data = records.mid(1, records.size() - 3); // less header, trailer, end
    const int debited = int(std::count(codes, codes + data.size(), '0'));
    writeAll(requestPath(), wholeResult(records[0], data));
    ui->messages.clear();
    ui->questions.clear();
    const std::int32_t counter = testSession().config.slipCounter;
    ui->answers.push_back(true); // the drive
    {
        frm売掛FD入力 d(testSession());
        chooseMethodByKeyboard(d, d.methodList);
        ASSERT_EQ(d.focusWidget(), d.meansOfPaymentList);
        QTest::keyClick(d.meansOfPaymentList, Qt::Key_Down); // 普通預金
        QTest::keyClick(d.meansOfPaymentList, Qt::Key_Return);
        EXPECT_EQ(d.debitAccount(), 20);
        d.dateBoxes->setParts(2024, 6, 10);
        // Through the year, month and day to "後処理開始".
        for (int box = 0; box < 3; ++box)
            QTest::keyClick(d.focusWidget(), Qt::Key_Return);
        ASSERT_EQ(d.focusWidget(), d.startButton);
        EXPECT_TRUE(d.startButton->isDefault());
        QTest::keyClick(d.startButton, Qt::Key_Return);
    }
    ASSERT_EQ(ui->questions.size(), 1u);
    EXPECT_EQ(ui->lastMessage().section(u'\n', 0, 0), QStringLiteral("書込が完了しました。")) << ui->lastMessage().toStdString();
    EXPECT_EQ(holdingLedgerRows(db).size(), debited);
    EXPECT_EQ(testSession().config.slipCounter, counter + debited);
}

TEST_F(BankDebitScreensTest, APaymentDateInTheClosedYearBooksNothing)
{
    writeRequest();
    const QList<QByteArray> records = resultRecords("00000");
    writeAll(requestPath(), wholeResult(records[0], records.mid(1, records.size() - 3)));
    db.exec(QStringLiteral("INSERT INTO 年次更新ＴＢＬ (年次更新期末日, 年次更新実行日) VALUES (?, ?)"),
            {sqlValue(Date::fromParts(2024, 6, 10)), sqlValue(Date::fromParts(2024, 6, 12))});
    ui->messages.clear();
    ui->questions.clear();
    const QByteArray configuration = inst.configurationFileBytes();
    processResult();
    EXPECT_TRUE(ui->questions.empty()) << "refused before the floppy is asked for";
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, QStringLiteral("2024/06/10 までの期間は年次更新で締めてあります。\n"
                                                   "2024/06/10 の日付では記録できません。2024/06/11 以降の日付にしてください。"));
    EXPECT_TRUE(holdingLedgerRows(db).isEmpty());
    EXPECT_EQ(inst.configurationFileBytes(), configuration);
}

TEST_F(BankDebitScreensTest, EnterAloneWritesTheRequestFile)
{
    ui->answers.push_back(true);
    {
        frm売掛FD出力 d(testSession());
        chooseMethodByKeyboard(d, d.methodList);
        // On through the boxes to the first button that writes, and press it.
        for (int step = 0; step < 8 && d.focusWidget() != d.writeButton; ++step)
            QTest::keyClick(d.focusWidget(), Qt::Key_Return);
        ASSERT_EQ(d.focusWidget(), d.writeButton);
        QTest::keyClick(d.writeButton, Qt::Key_Return);
    }
    EXPECT_TRUE(QFileInfo::exists(requestPath()));
}
