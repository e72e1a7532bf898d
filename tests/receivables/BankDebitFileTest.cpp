// The bank's fixed-length records, byte for byte: the header, data, trailer
// and end records of a request file, the one-byte forms of kana, the
// problems that keep a file from being written, and reading a result file.
#include "receivables/BankDebitFile.h"
#include "support/ShopData.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace bankfile;

namespace {

// The Shift_JIS bytes of a text, as the platform's code page writes it.
QByteArray sjis(const QString& text)
{
    QStringEncoder encoder("Shift_JIS");
    return encoder.encode(text);
}

QByteArray blanks(int n) { return QByteArray(n, ' '); }

// Positions counted from 1, as the record layouts give them.
QByteArray at(const QByteArray& record, int from, int to) { return record.mid(from - 1, to - from + 1); }

DebitCustomer exampleCustomer()
{
    DebitCustomer c;
    c.code = QStringLiteral("1001");
    c.kanaName = QStringLiteral("ｽｽﾞｷ ｲﾁﾛｳ"); // 9 characters
    c.amount = yen(10800);
    c.bankCode = 5;
    c.branchCode = QStringLiteral("12");
    c.accountType = 1;
    c.accountNumber = QStringLiteral("123");
    c.bankKana = QStringLiteral("ﾃｽﾄｷﾞﾝｺｳ");
    return c;
}

SettlementMethod exampleMethod()
{
    SettlementMethod m;
    m.code = 991;
    m.name = QStringLiteral("口座引落");
    m.fileName = QStringLiteral("HBR0991.TXT");
    m.typeCode = QStringLiteral("91");
    m.contractorCode = QStringLiteral("0099123456");
    m.contractorKana = QStringLiteral("ﾋﾏﾜﾘﾍﾞｲｺｸ");
    m.bankKana = QStringLiteral("ﾋﾊﾞﾘｷﾞﾝｺｳ");
    m.branchNumber = QStringLiteral("105");
    m.branchKana = QStringLiteral("ﾋﾅﾀﾉ");
    m.accountNumber = QStringLiteral("11234567");
    return m;
}

} // namespace

TEST(BankDebitRecords, DataRecordOfTheExampleCustomer)
{
    const QByteArray record = dataRecord(exampleCustomer());
    const QByteArray expected = "2" + QByteArray("0005") + sjis(QStringLiteral("ﾃｽﾄｷﾞﾝｺｳ")) + blanks(7) + " 12" + blanks(19) + "1" +
                                "0000123" + sjis(QStringLiteral("ｽｽﾞｷ ｲﾁﾛｳ")) + blanks(21) + "0000010800" + "1" + "1001" +
                                blanks(16) + blanks(9);
    EXPECT_EQ(record, expected);
    ASSERT_EQ(record.size(), 120);
    EXPECT_EQ(at(record, 21, 23), " 12");       // branch right-aligned
    EXPECT_EQ(at(record, 43, 43), "1");         // deposit kind
    EXPECT_EQ(at(record, 44, 50), "0000123");   // account padded with zeros
    EXPECT_EQ(at(record, 81, 90), "0000010800");
    EXPECT_EQ(at(record, 91, 91), "1");
    EXPECT_EQ(at(record, 92, 111), "1001" + blanks(16));
    EXPECT_EQ(at(record, 112, 120), blanks(9)); // left for the bank's result
}

TEST(BankDebitRecords, PostalSavingsBranchAndAccount)
{
    DebitCustomer c = exampleCustomer();
    c.bankCode = 9900;
    c.branchCode = QStringLiteral("12345");
    c.accountNumber = QStringLiteral("12345671");
    QByteArray record = dataRecord(c);
    EXPECT_EQ(at(record, 2, 5), "9900");
    EXPECT_EQ(at(record, 21, 23), "234");
    EXPECT_EQ(at(record, 44, 50), "1234567"); // the last (check) digit dropped
    // A short postal number is padded first, then loses its last digit.
    c.accountNumber = QStringLiteral("123");
    EXPECT_EQ(at(dataRecord(c), 44, 50), "0000012");
    // Any other bank keeps the last seven digits of a longer number.
    c.bankCode = 5;
    c.branchCode = QStringLiteral("12");
    c.accountNumber = QStringLiteral("12345671");
    record = dataRecord(c);
    EXPECT_EQ(at(record, 21, 23), " 12");
    EXPECT_EQ(at(record, 44, 50), "2345671");
}

TEST(BankDebitRecords, HeaderRecordFieldByField)
{
    const QByteArray record = headerRecord(exampleMethod(), Date::fromParts(2024, 3, 5));
    ASSERT_EQ(record.size(), 120);
    EXPECT_EQ(at(record, 1, 1), "1");
    EXPECT_EQ(at(record, 2, 3), "91");
    EXPECT_EQ(at(record, 4, 4), " ");
    EXPECT_EQ(at(record, 5, 14), "0099123456");
    EXPECT_EQ(at(record, 15, 54), sjis(QStringLiteral("ﾋﾏﾜﾘﾍﾞｲｺｸ")) + blanks(31));
    EXPECT_EQ(at(record, 55, 58), "0305"); // 5 March
    EXPECT_EQ(at(record, 59, 62), "0991");
    EXPECT_EQ(at(record, 63, 77), sjis(QStringLiteral("ﾋﾊﾞﾘｷﾞﾝｺｳ")) + blanks(6));
    EXPECT_EQ(at(record, 78, 80), "105");
    EXPECT_EQ(at(record, 81, 95), sjis(QStringLiteral("ﾋﾅﾀﾉ")) + blanks(11));
    EXPECT_EQ(at(record, 96, 103), "11234567");
    EXPECT_EQ(at(record, 104, 120), blanks(17));

    // Short values are aligned as their fields say; the postal bank's branch
    // is the 2nd to 4th character.
    SettlementMethod postal = exampleMethod();
    postal.code = 9900;
    postal.branchNumber = QStringLiteral("12345");
    postal.accountNumber = QStringLiteral("1234567");
    postal.typeCode = QStringLiteral("9");
    const QByteArray p = headerRecord(postal, Date::fromParts(2024, 12, 31));
    EXPECT_EQ(at(p, 2, 3), "9 ");
    EXPECT_EQ(at(p, 55, 58), "1231");
    EXPECT_EQ(at(p, 59, 62), "9900");
    EXPECT_EQ(at(p, 78, 80), "234");
    EXPECT_EQ(at(p, 96, 103), " 1234567");
}

TEST(BankDebitRecords, TrailerAndEndRecords)
{
    EXPECT_EQ(trailerRecord(2, yen(3000) + yen(4500)), "8" + QByteArray("000002") + "000000007500" + blanks(101));
    EXPECT_EQ(endRecord(), "9" + blanks(119));
    // A total that does not fit its twelve digits is refused, never cut.
    EXPECT_THROW(trailerRecord(1, yen(1000000000000)), FieldError);
    EXPECT_THROW(trailerRecord(1000000, yen(1)), FieldError);
}

TEST(BankDebitRecords, LongValuesKeepTheirLeadingCharacters)
{
    DebitCustomer c = exampleCustomer();
    c.kanaName = QStringLiteral("ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓ"); // 35
    QByteArray record = dataRecord(c);
    ASSERT_EQ(record.size(), 120);
    EXPECT_EQ(at(record, 51, 80), sjis(QStringLiteral("ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎ")));
    EXPECT_EQ(at(record, 81, 90), "0000010800");
    // Full-width kana are converted before the cut: twenty ガ are forty
    // half-width characters, of which thirty are kept.
    c.kanaName = QString(20, QChar(u'ガ'));
    record = dataRecord(c);
    ASSERT_EQ(record.size(), 120);
    EXPECT_EQ(at(record, 51, 80), sjis(QString(15, QChar(u'ｶ')).replace(QStringLiteral("ｶ"), QStringLiteral("ｶﾞ"))));
    // A bank name longer than 15 is cut where the branch begins.
    c = exampleCustomer();
    c.bankKana = QStringLiteral("ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁ");
    record = dataRecord(c);
    EXPECT_EQ(at(record, 6, 20), sjis(QStringLiteral("ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿ")));
    EXPECT_EQ(at(record, 21, 23), " 12");
}

TEST(BankDebitRecords, KanaAreWrittenAsSingleBytes)
{
    DebitCustomer c = exampleCustomer();
    c.kanaName = QStringLiteral("ｱｲｳ");
    const QByteArray record = dataRecord(c);
    EXPECT_EQ(at(record, 51, 53), QByteArray("\xB1\xB2\xB3"));
    EXPECT_EQ(at(record, 54, 80), blanks(27));

    // Full-width katakana, letters, digits and the ideographic space become
    // their one-byte forms.
    const std::pair<const char16_t*, const char16_t*> converted[] = {
        {u"スズキ", u"ｽｽﾞｷ"},       {u"パン", u"ﾊﾟﾝ"},        {u"ヴィラ", u"ｳﾞｨﾗ"}, {u"ビル・ポー", u"ﾋﾞﾙ･ﾎﾟｰ"},
        {u"ＡＢＣ　１２", u"ABC 12"}, {u"ﾀﾅｶ ﾊﾅｺ", u"ﾀﾅｶ ﾊﾅｺ"}, {u"ヂヅッ", u"ﾁﾞﾂﾞｯ"},  {u"カ\u3099", u"ｶﾞ"},
    };
    for (auto [in, out] : converted)
        EXPECT_EQ(singleByteText(QString::fromUtf16(in)), sjis(QString::fromUtf16(out)))
            << QString::fromUtf16(in).toStdString();

    // Characters without a one-byte form are refused and named.
    for (const char16_t* refusedText : {u"鈴木", u"すずき", u"ヰ", u"ﾀﾅｶ\tﾊﾅｺ"}) {
        QString refused;
        EXPECT_FALSE(singleByteText(QString::fromUtf16(refusedText), &refused).has_value());
        EXPECT_EQ(refused.size(), 1);
    }

    // Every character accepted as it stands is the one byte the code page
    // gives it.
    for (char16_t ch = 0x20; ch <= 0xFF9F; ch = ch == 0x7E ? 0xFF61 : ch + 1)
        EXPECT_EQ(singleByteText(QString(QChar(ch))), sjis(QString(QChar(ch)))) << int(ch);
}

TEST(BankDebitRecords, ValuesThatDoNotFitAreRefused)
{
    DebitCustomer c = exampleCustomer();
    c.amount = yen(12345678901);
    try {
        dataRecord(c);
        ADD_FAILURE() << "an amount of eleven digits was written";
    } catch (const FieldError& e) {
        EXPECT_EQ(e.field(), QStringLiteral("顧客売掛前回請求金額"));
        EXPECT_TRUE(e.message().contains(QStringLiteral("12345678901")));
    }
    c.amount = yen(9999999999);
    EXPECT_EQ(at(dataRecord(c), 81, 90), "9999999999");
    c.amount = *Currency::parse(QStringLiteral("100.5"));
    EXPECT_THROW(dataRecord(c), FieldError);

    c = exampleCustomer();
    c.kanaName = QStringLiteral("鈴木");
    try {
        dataRecord(c);
        ADD_FAILURE() << "a kanji name was written";
    } catch (const FieldError& e) {
        EXPECT_EQ(e.field(), QStringLiteral("顧客名前カナ"));
        EXPECT_TRUE(e.message().contains(QStringLiteral("鈴")));
    }
    c = exampleCustomer();
    c.bankCode = 12345;
    EXPECT_THROW(dataRecord(c), FieldError);
    c = exampleCustomer();
    c.accountType = 12;
    EXPECT_THROW(dataRecord(c), FieldError);
    c = exampleCustomer();
    c.bankKana.reset();
    EXPECT_THROW(dataRecord(c), FieldError);
}

TEST(BankDebitRecords, RequestFileOfTwoCustomers)
{
    DebitCustomer a = exampleCustomer();
    a.code = QStringLiteral("2001");
    a.amount = yen(3000);
    DebitCustomer b = exampleCustomer();
    b.code = QStringLiteral("2002");
    b.kanaName = QStringLiteral("ｱｲｳ");
    b.amount = yen(4500);
    const RequestFile file = buildRequestFile(exampleMethod(), {a, b}, Date::fromParts(2024, 3, 5));
    ASSERT_TRUE(file.writable());
    EXPECT_EQ(file.count, 2);
    EXPECT_EQ(file.total, yen(7500));
    ASSERT_EQ(file.bytes.size(), 122 * (2 + 3));
    const QList<QByteArray> lines = file.bytes.split('\n');
    ASSERT_EQ(lines.size(), 6); // five records and the empty rest after the last line end
    EXPECT_TRUE(lines[5].isEmpty());
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(lines[i].size(), 121) << i;
        EXPECT_EQ(lines[i].back(), '\r') << i;
    }
    EXPECT_EQ(lines[0].left(1), "1");
    EXPECT_EQ(at(lines[1], 92, 95), "2001");
    EXPECT_EQ(at(lines[2], 92, 95), "2002");
    EXPECT_EQ(at(lines[2], 51, 53), QByteArray("\xB1\xB2\xB3"));
    EXPECT_EQ(lines[3].left(120), "8" + QByteArray("000002") + "000000007500" + blanks(101));
    EXPECT_EQ(lines[4].left(120), "9" + blanks(119));
}

TEST(BankDebitRecords, CreditBalancesAreLeftOutAndProblemsKeepTheFileUnwritten)
{
    DebitCustomer a = exampleCustomer();
    a.amount = yen(3000);
    DebitCustomer credit = exampleCustomer();
    credit.code = QStringLiteral("2003");
    credit.amount = yen(-500);
    RequestFile file = buildRequestFile(exampleMethod(), {credit, a}, Date::fromParts(2024, 3, 5));
    ASSERT_TRUE(file.writable());
    EXPECT_EQ(file.count, 1);
    EXPECT_EQ(file.total, yen(3000));
    ASSERT_EQ(file.creditBalances.size(), 1u);
    EXPECT_EQ(file.creditBalances[0].code, QStringLiteral("2003"));
    EXPECT_EQ(file.bytes.size(), 122 * 4);
    EXPECT_EQ(at(file.bytes.mid(122 * 2), 1, 19), "8" + QByteArray("000001") + "000000003000");

    // Every customer is checked: an unregistered bank and a kanji name are
    // both reported, and no bytes are offered for writing.
    DebitCustomer noBank = exampleCustomer();
    noBank.code = QStringLiteral("2004");
    noBank.bankCode = 995;
    noBank.bankKana.reset();
    DebitCustomer kanji = exampleCustomer();
    kanji.code = QStringLiteral("2005");
    kanji.kanaName = QStringLiteral("山田");
    file = buildRequestFile(exampleMethod(), {a, noBank, kanji}, Date::fromParts(2024, 3, 5));
    EXPECT_FALSE(file.writable());
    EXPECT_TRUE(file.bytes.isEmpty());
    ASSERT_EQ(file.problems.size(), 2u);
    EXPECT_EQ(file.problems[0].customerCode, QStringLiteral("2004"));
    EXPECT_TRUE(file.problems[0].bankMissing);
    EXPECT_EQ(file.problems[0].bankCode, 995);
    EXPECT_EQ(file.problems[1].customerCode, QStringLiteral("2005"));
    EXPECT_FALSE(file.problems[1].bankMissing);

    // A contract field the bank file cannot hold names the method.
    SettlementMethod method = exampleMethod();
    method.bankKana = QStringLiteral("ひばり銀行");
    file = buildRequestFile(method, {a}, Date::fromParts(2024, 3, 5));
    ASSERT_EQ(file.problems.size(), 1u);
    EXPECT_TRUE(file.problems[0].customerCode.isEmpty());
    EXPECT_TRUE(file.problems[0].text.contains(QStringLiteral("口座引落")));
    EXPECT_TRUE(file.problems[0].text.contains(QStringLiteral("決済銀行名カナ")));
}

TEST(BankDebitRecords, FileNamesThatLeaveTheDriveAreRefused)
{
    EXPECT_TRUE(fileNameProblem(QStringLiteral("口座引落"), QStringLiteral("HBR0991.TXT")).isEmpty());
    for (const char* name : {"", "1", "../HBR.TXT", "..", "sub/HBR.TXT", "sub\\HBR.TXT", "A:HBR.TXT", "/etc/passwd"})
        EXPECT_FALSE(fileNameProblem(QStringLiteral("口座引落"), QString::fromUtf8(name)).isEmpty()) << name;
    EXPECT_TRUE(fileNameProblem(QStringLiteral("口座引落"), QStringLiteral("../x")).contains(QStringLiteral("口座引落")));
}

// ------------------------------------------------------------ result file

namespace {

// A result record for customer `code`: the request's data record with the
// result code at 112.
QByteArray resultRecord(const QString& code, std::int64_t amount, char result)
{
    DebitCustomer c = exampleCustomer();
    c.code = code;
    c.amount = yen(amount);
    QByteArray record = dataRecord(c);
    record[111] = result;
    return record;
}

QByteArray withLineEnds(const QList<QByteArray>& records, const QByteArray& end = "\r\n")
{
    QByteArray bytes;
    for (const QByteArray& r : records)
        bytes += r + end;
    return bytes;
}

} // namespace

TEST(BankDebitResults, DataRecordsAreReadFromTheirPositions)
{
    const QByteArray header = headerRecord(exampleMethod(), Date::fromParts(2024, 3, 5));
    const QList<QByteArray> records = {header, resultRecord("1001", 10800, '0'), resultRecord("1002", 5000, '1'),
                                       resultRecord("1003", 7, '0'), trailerRecord(3, yen(15807)), endRecord()};
    const ResultFile file = readResultFile(withLineEnds(records));
    ASSERT_EQ(file.dataRecords.size(), 3u);
    EXPECT_TRUE(file.hasResultCodes());
    const ResultRecord& first = file.dataRecords[0];
    EXPECT_EQ(first.recordNumber, 2);
    EXPECT_EQ(first.customerCode, QStringLiteral("1001")); // the blanks after the code removed
    ASSERT_TRUE(first.amount.has_value());
    EXPECT_EQ(*first.amount, yen(10800));
    EXPECT_TRUE(first.debited());
    EXPECT_EQ(file.dataRecords[1].resultCode, '1');
    EXPECT_FALSE(file.dataRecords[1].debited());
    EXPECT_EQ(*file.dataRecords[2].amount, yen(7));

    // The customer code is the first 13 of the 20 characters.
    QByteArray longCode = resultRecord("12345678901234567", 100, '0');
    EXPECT_EQ(readResultFile(longCode + "\r\n").dataRecords[0].customerCode, QStringLiteral("1234567890123"));
    // An amount that is not a number is not read as one.
    QByteArray damaged = resultRecord("1001", 100, '0');
    damaged.replace(80, 10, "00001O800 ");
    EXPECT_FALSE(readResultFile(damaged + "\r\n").dataRecords[0].amount.has_value());
}

TEST(BankDebitResults, LineEndsOrFixedRecordsGiveTheSameRecords)
{
    const QList<QByteArray> records = {headerRecord(exampleMethod(), Date::fromParts(2024, 3, 5)),
                                       resultRecord("1001", 10800, '0'), resultRecord("1002", 5000, '1'),
                                       trailerRecord(2, yen(15800)), endRecord()};
    const ResultFile crlf = readResultFile(withLineEnds(records));
    const ResultFile lf = readResultFile(withLineEnds(records, "\n"));
    const ResultFile none = readResultFile(withLineEnds(records, ""));
    const ResultFile eof = readResultFile(withLineEnds(records) + "\x1A");
    for (const ResultFile* f : {&lf, &none, &eof}) {
        ASSERT_EQ(f->dataRecords.size(), 2u);
        EXPECT_EQ(f->dataRecords[0].customerCode, QStringLiteral("1001"));
        EXPECT_EQ(f->dataRecords[1].resultCode, '1');
        EXPECT_EQ(f->fingerprint, crlf.fingerprint);
    }
    EXPECT_EQ(splitRecords(withLineEnds(records, "")).size(), 5);
    // Another file has another fingerprint.
    QList<QByteArray> other = records;
    other[1][111] = '1';
    EXPECT_NE(readResultFile(withLineEnds(other)).fingerprint, crlf.fingerprint);
    EXPECT_EQ(crlf.fingerprint.size(), 64);
}

TEST(BankDebitResults, TheRequestFileHasNoResultCodes)
{
    DebitCustomer a = exampleCustomer();
    const RequestFile request = buildRequestFile(exampleMethod(), {a}, Date::fromParts(2024, 3, 5));
    const ResultFile file = readResultFile(request.bytes);
    ASSERT_EQ(file.dataRecords.size(), 1u);
    EXPECT_FALSE(file.hasResultCodes());
    // A record cut before position 112 has no result code either.
    EXPECT_FALSE(readResultFile(resultRecord("1001", 100, '0').left(100) + "\r\n").hasResultCodes());
    EXPECT_FALSE(readResultFile(QByteArray("some other text\r\n")).hasResultCodes());
}

namespace {

// Header (debit date 5 March), three data records, a trailer that agrees
// with them (3 records, 15,807 yen) and the end record.
QList<QByteArray> wholeResult()
{
    return {headerRecord(exampleMethod(), Date::fromParts(2024, 3, 5)), resultRecord("1001", 10800, '0'),
            resultRecord("1002", 5000, '1'), resultRecord("1003", 7, '0'), trailerRecord(3, yen(15807)), endRecord()};
}

} // namespace

TEST(BankDebitResults, AWholeFileInEveryFraming)
{
    const QList<QByteArray> records = wholeResult();
    for (const QByteArray& bytes : {withLineEnds(records), withLineEnds(records, "\n"), withLineEnds(records, "\r"),
                                    withLineEnds(records, ""), withLineEnds(records) + "\x1A"}) {
        const ResultFile file = readResultFile(bytes);
        EXPECT_TRUE(file.whole()) << file.problem.toStdString();
        EXPECT_EQ(file.debitMonth, 3);
        EXPECT_EQ(file.debitDay, 5);
    }
    // The bank may add the debited and the not debited figures, or leave
    // them blank: 2 debited (10,807 yen), 1 not (5,000 yen).
    QList<QByteArray> withFigures = records;
    withFigures[4].replace(19, 36, "000002000000010807000001000000005000");
    EXPECT_TRUE(readResultFile(withLineEnds(withFigures)).whole());
}

TEST(BankDebitResults, WhatKeepsAFileFromBeingWholeIsNamed)
{
    const QList<QByteArray> whole = wholeResult();
    auto without = [&](int index) {
        QList<QByteArray> r = whole;
        r.removeAt(index);
        return r;
    };
    auto with = [&](int index, const QByteArray& record) {
        QList<QByteArray> r = whole;
        r.insert(index, record);
        return r;
    };
    auto replaced = [&](int index, int from, const QByteArray& bytes) {
        QList<QByteArray> r = whole;
        r[index].replace(from - 1, bytes.size(), bytes);
        return r;
    };
    QByteArray kind0x82 = whole[2];
    kind0x82[0] = char(0x82);
    const std::vector<std::pair<QByteArray, QString>> cases = {
        {QByteArray(), QStringLiteral("ファイルが空です（0 バイト）。")},
        {QByteArray("\x1A"), QStringLiteral("ファイルが空です（0 バイト）。")},
        {withLineEnds(whole, "").left(719), QStringLiteral("ファイルの長さ 719 バイトが、120 バイトの明細の整数倍になっていません。")},
        {withLineEnds(without(0)), QStringLiteral("1 行目がヘッダーレコード（データ区分 1）ではありません。")},
        {withLineEnds(with(2, whole[0])), QStringLiteral("3 行目に２つ目のヘッダーレコードがあります。")},
        {withLineEnds(with(5, whole[1])), QStringLiteral("6 行目のデータレコードが、トレーラレコード（5 行目）の後にあります。")},
        {withLineEnds(with(5, whole[4])), QStringLiteral("6 行目に２つ目のトレーラレコードがあります。")},
        {withLineEnds(without(4)), QStringLiteral("5 行目のエンドレコードの前に、トレーラレコード（データ区分 8）がありません。")},
        {withLineEnds(without(5)), QStringLiteral("ファイルが 5 行目で終わっていて、エンドレコード（データ区分 9）がありません。")},
        {withLineEnds(with(6, whole[1])), QStringLiteral("7 行目が、エンドレコード（6 行目）の後にあります。")},
        {withLineEnds(with(1, QByteArray())), QStringLiteral("2 行目の長さが 0 バイトです。明細はどれも 120 バイトです。")},
        {withLineEnds(with(2, kind0x82)) ,
         QStringLiteral("3 行目のデータ区分「0x82」は、ヘッダー（1）・データ（2）・トレーラ（8）・エンド（9）のどれでもありません。")},
        {withLineEnds(replaced(0, 55, "1332")), QStringLiteral("1 行目（ヘッダーレコード）の引落日「1332」が月日になっていません。")},
        {withLineEnds(replaced(0, 55, "0230")), QStringLiteral("1 行目（ヘッダーレコード）の引落日「0230」が月日になっていません。")},
        {withLineEnds(replaced(1, 81, "00001O800 ")), QStringLiteral("2 行目の金額「00001O800 」が数字ではありません。")},
        {withLineEnds(replaced(4, 2, "00000X")), QStringLiteral("5 行目（トレーラレコード）の件数「00000X」が数字ではありません。")},
        {withLineEnds(replaced(4, 2, "000007000000244256")),
         QStringLiteral("5 行目（トレーラレコード）の件数は 7 件ですが、データレコードでは 3 件です。\n"
                        "5 行目（トレーラレコード）の合計金額は 244,256 円ですが、データレコードでは 15,807 円です。")},
        {withLineEnds(replaced(4, 20, "000003")),
         QStringLiteral("5 行目（トレーラレコード）の振替済件数は 3 件ですが、データレコードでは 2 件です。")},
        {withLineEnds(replaced(4, 44, "000000004000")),
         QStringLiteral("5 行目（トレーラレコード）の振替不能金額は 4,000 円ですが、データレコードでは 5,000 円です。")},
    };
    for (const auto& [bytes, problem] : cases) {
        const ResultFile file = readResultFile(bytes);
        EXPECT_FALSE(file.whole());
        EXPECT_EQ(file.problem, problem);
    }
    // The records of a file that is not whole are read all the same.
    EXPECT_EQ(readResultFile(withLineEnds(without(5))).dataRecords.size(), 3u);
}
