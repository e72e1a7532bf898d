#include "receivables/BankDebitFile.h"

#include "core/FileReplace.h"
#include "core/Text.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

namespace bankfile {

namespace {

// Full-width katakana and signs with a half-width form of their own, by
// their half-width form (U+FF61 to U+FF9F in order).
constexpr char16_t FullWidthOfHalfWidth[] = {
    u'。', u'「', u'」', u'、', u'・', u'ヲ', u'ァ', u'ィ', u'ゥ', u'ェ', u'ォ', u'ャ', u'ュ', u'ョ', u'ッ', u'ー',
    u'ア', u'イ', u'ウ', u'エ', u'オ', u'カ', u'キ', u'ク', u'ケ', u'コ', u'サ', u'シ', u'ス', u'セ', u'ソ', u'タ',
    u'チ', u'ツ', u'テ', u'ト', u'ナ', u'ニ', u'ヌ', u'ネ', u'ノ', u'ハ', u'ヒ', u'フ', u'ヘ', u'ホ', u'マ', u'ミ',
    u'ム', u'メ', u'モ', u'ヤ', u'ユ', u'ヨ', u'ラ', u'リ', u'ル', u'レ', u'ロ', u'ワ', u'ン', u'゛', u'゜'};
static_assert(sizeof(FullWidthOfHalfWidth) / sizeof(char16_t) == 0xFF9F - 0xFF61 + 1);

constexpr char16_t VoicedMark = 0xFF9E;
constexpr char16_t SemiVoicedMark = 0xFF9F;

const QHash<char16_t, char16_t>& halfWidthOfFullWidth()
{
    static const QHash<char16_t, char16_t> table = [] {
        QHash<char16_t, char16_t> t;
        for (char16_t half = 0xFF61; half <= 0xFF9F; ++half)
            t.insert(FullWidthOfHalfWidth[half - 0xFF61], half);
        return t;
    }();
    return table;
}

// ｶ to ﾄ and ﾊ to ﾎ take the voiced mark; ﾊ to ﾎ also the semi-voiced one.
bool takesVoicedMark(char16_t half) { return (half >= 0xFF76 && half <= 0xFF84) || (half >= 0xFF8A && half <= 0xFF8E); }
bool takesSemiVoicedMark(char16_t half) { return half >= 0xFF8A && half <= 0xFF8E; }

bool isSingleByte(char16_t c) { return (c >= 0x20 && c <= 0x7E) || (c >= 0xFF61 && c <= 0xFF9F); }

// One character in its one-byte forms (one or two characters), or empty
// when it has none.
QString singleByteForms(char16_t c)
{
    if (isSingleByte(c))
        return QString(QChar(c));
    if (c == 0x3000)
        return QStringLiteral(" ");
    if (c >= 0xFF01 && c <= 0xFF5E) // full-width letters, digits and signs
        return QString(QChar(char16_t(c - 0xFEE0)));
    const auto& table = halfWidthOfFullWidth();
    if (auto it = table.find(c); it != table.end())
        return QString(QChar(*it));
    switch (c) {
    case u'ヴ': return QString(QChar(0xFF73)) + QChar(VoicedMark);
    case u'ヷ': return QString(QChar(0xFF9C)) + QChar(VoicedMark);
    case u'ヺ': return QString(QChar(0xFF66)) + QChar(VoicedMark);
    default: break;
    }
    // Voiced kana follow their plain kana in the code table: ガ is カ + 1,
    // バ is ハ + 1 and パ is ハ + 2.
    if (auto it = table.find(char16_t(c - 1)); it != table.end() && takesVoicedMark(*it))
        return QString(QChar(*it)) + QChar(VoicedMark);
    if (auto it = table.find(char16_t(c - 2)); it != table.end() && takesSemiVoicedMark(*it))
        return QString(QChar(*it)) + QChar(SemiVoicedMark);
    return QString();
}

QByteArray leftAligned(const QByteArray& value, int width)
{
    return value.size() >= width ? value.left(width) : value + QByteArray(width - value.size(), ' ');
}

QByteArray rightAligned(const QByteArray& value, int width)
{
    return value.size() >= width ? value.left(width) : QByteArray(width - value.size(), ' ') + value;
}

QByteArray zeroFilled(std::int64_t value, int width, const QString& field, const QString& shown)
{
    if (value < 0)
        throw FieldError(field, QStringLiteral("%1 %2 はマイナスのため書けません。").arg(field, shown));
    const QByteArray digits = QByteArray::number(value);
    if (digits.size() > width)
        throw FieldError(field, QStringLiteral("%1 %2 は %3 桁に収まりません。").arg(field, shown).arg(width));
    return QByteArray(width - digits.size(), '0') + digits;
}

QByteArray zeroFilled(std::int64_t value, int width, const QString& field)
{
    return zeroFilled(value, width, field, QString::number(value));
}

// A text field's bytes, or FieldError naming the character refused.
QByteArray textBytes(const QString& value, const QString& field)
{
    QString refused;
    std::optional<QByteArray> bytes = singleByteText(value, &refused);
    if (!bytes)
        throw FieldError(field, QStringLiteral("%1「%2」の「%3」は銀行ファイルに書けない文字です（半角カナ・英数字で登録して下さい）。")
                                    .arg(field, value, refused));
    return *bytes;
}

// Whole yen of an amount; a part below one yen cannot be requested.
std::int64_t wholeYen(Currency amount, const QString& field)
{
    if (amount.ticks() % Currency::Scale != 0)
        throw FieldError(field, QStringLiteral("%1 %2 に円未満の端数があります。").arg(field, amount.toString()));
    return amount.ticks() / Currency::Scale;
}

class Record {
public:
    explicit Record(char kind) : bytes_(RecordLength, ' ') { bytes_[0] = kind; }
    // Writes an already fitted value at a position counted from 1.
    void put(int position, const QByteArray& fitted) { bytes_.replace(position - 1, fitted.size(), fitted); }
    QByteArray bytes() const
    {
        Q_ASSERT(bytes_.size() == RecordLength);
        return bytes_;
    }

private:
    QByteArray bytes_;
};

// Digit strings stored as text (branch and account numbers): blanks around
// them are not part of the number.
QString digitText(const QString& stored) { return stored.trimmed(); }

} // namespace

std::optional<QByteArray> singleByteText(const QString& text, QString* refused)
{
    const QString composed = text.normalized(QString::NormalizationForm_C);
    QByteArray bytes;
    bytes.reserve(composed.size());
    for (QChar qc : composed) {
        const QString forms = singleByteForms(qc.unicode());
        if (forms.isEmpty()) {
            if (refused)
                *refused = QString(qc);
            return std::nullopt;
        }
        for (QChar f : forms) {
            const char16_t c = f.unicode();
            // Shift_JIS: ASCII as itself, half-width katakana U+FF61-U+FF9F
            // as the bytes A1-DF.
            bytes.append(c < 0x80 ? char(c) : char(0xA1 + (c - 0xFF61)));
        }
    }
    return bytes;
}

QByteArray headerRecord(const SettlementMethod& m, const Date& debitDate)
{
    Record r('1');
    r.put(2, leftAligned(textBytes(m.typeCode, QStringLiteral("決済銀行振替種別コード")), 2));
    r.put(5, leftAligned(textBytes(m.contractorCode, QStringLiteral("決済銀行振替委託者コード")), 10));
    r.put(15, leftAligned(textBytes(m.contractorKana, QStringLiteral("決済銀行振替委託者名カナ")), 40));
    r.put(55, zeroFilled(debitDate.month(), 2, QStringLiteral("引落日")));
    r.put(57, zeroFilled(debitDate.day(), 2, QStringLiteral("引落日")));
    r.put(59, zeroFilled(m.code, 4, QStringLiteral("決済方法コード")));
    r.put(63, leftAligned(textBytes(m.bankKana, QStringLiteral("決済銀行名カナ")), 15));
    QByteArray branch = textBytes(digitText(m.branchNumber), QStringLiteral("決済銀行支店番号"));
    if (m.code == PostalSavingsBank)
        branch = branch.mid(1, 3);
    r.put(78, rightAligned(branch, 3));
    r.put(81, leftAligned(textBytes(m.branchKana, QStringLiteral("決済銀行支店名カナ")), 15));
    r.put(96, rightAligned(textBytes(digitText(m.accountNumber), QStringLiteral("決済銀行口座番号")), 8));
    return r.bytes();
}

QByteArray dataRecord(const DebitCustomer& c)
{
    if (!c.bankKana)
        throw FieldError(QStringLiteral("顧客引落銀行コード"),
                         QStringLiteral("引落銀行コード %1 の銀行が登録されていません。").arg(c.bankCode));
    const bool postal = c.bankCode == PostalSavingsBank;
    Record r('2');
    r.put(2, zeroFilled(c.bankCode, 4, QStringLiteral("顧客引落銀行コード")));
    r.put(6, leftAligned(textBytes(*c.bankKana, QStringLiteral("引落銀行名カナ")), 15));
    QByteArray branch = textBytes(digitText(c.branchCode), QStringLiteral("顧客引落銀行支店コード"));
    if (postal)
        branch = branch.mid(1, 3);
    r.put(21, rightAligned(branch, 3));
    r.put(43, zeroFilled(c.accountType, 1, QStringLiteral("顧客引落口座種別")));
    // The account number padded on the left with zeros to 7 digits; the
    // postal bank's 8-digit number loses its last (check) digit.
    const QByteArray padded = "0000000" + textBytes(digitText(c.accountNumber), QStringLiteral("顧客引落口座番号"));
    r.put(44, rightAligned(postal ? padded.right(8).left(7) : padded.right(7), 7));
    r.put(51, leftAligned(textBytes(c.kanaName, QStringLiteral("顧客名前カナ")), 30));
    const QString amountField = QStringLiteral("顧客売掛前回請求金額");
    r.put(81, zeroFilled(wholeYen(c.amount, amountField), 10, amountField, c.amount.toString()));
    r.put(91, "1");
    r.put(92, leftAligned(textBytes(c.code, QStringLiteral("顧客コード")), 20));
    return r.bytes();
}

QByteArray trailerRecord(std::int64_t count, Currency total)
{
    Record r('8');
    r.put(2, zeroFilled(count, 6, QStringLiteral("件数")));
    const QString totalField = QStringLiteral("引落合計金額");
    r.put(8, zeroFilled(wholeYen(total, totalField), 12, totalField, total.toString()));
    return r.bytes();
}

QByteArray endRecord()
{
    return Record('9').bytes();
}

RequestFile buildRequestFile(const SettlementMethod& method, const std::vector<DebitCustomer>& customers,
                             const Date& debitDate)
{
    static const QByteArray lineEnd("\r\n");
    RequestFile file;
    QByteArray bytes;
    try {
        bytes += headerRecord(method, debitDate) + lineEnd;
    } catch (const FieldError& e) {
        file.problems.push_back({QString(), QString(), false, 0, QStringLiteral("決済方法「%1」：%2").arg(method.name, e.message())});
    }
    for (const DebitCustomer& c : customers) {
        if (c.amount < Currency()) {
            file.creditBalances.push_back(c);
            continue;
        }
        if (c.amount.isZero())
            continue;
        if (!c.bankKana) {
            file.problems.push_back({c.code, c.kanaName, true, c.bankCode,
                                     QStringLiteral("引落銀行コード %1 の銀行が登録されていません。").arg(c.bankCode)});
            continue;
        }
        try {
            bytes += dataRecord(c) + lineEnd;
            file.count += 1;
            file.total += c.amount;
        } catch (const FieldError& e) {
            file.problems.push_back({c.code, c.kanaName, false, c.bankCode, e.message()});
        }
    }
    try {
        bytes += trailerRecord(file.count, file.total) + lineEnd;
        bytes += endRecord() + lineEnd;
    } catch (const FieldError& e) {
        file.problems.push_back({QString(), QString(), false, 0, e.message()});
    }
    if (file.problems.empty())
        file.bytes = bytes;
    return file;
}

// ------------------------------------------------------------ result file

QList<QByteArray> splitRecords(const QByteArray& input)
{
    QByteArray bytes = input;
    while (bytes.endsWith('\x1A'))
        bytes.chop(1);
    QList<QByteArray> records;
    if (bytes.isEmpty())
        return records;
    if (!bytes.contains('\n') && !bytes.contains('\r')) {
        if (bytes.size() % RecordLength == 0) {
            for (qsizetype at = 0; at < bytes.size(); at += RecordLength)
                records << bytes.mid(at, RecordLength);
        } else {
            records << bytes;
        }
        return records;
    }
    bytes.replace("\r\n", "\n");
    bytes.replace('\r', '\n');
    records = bytes.split('\n');
    if (!records.isEmpty() && records.back().isEmpty())
        records.removeLast();
    return records;
}

namespace {

bool hasLineEnds(const QByteArray& bytes) { return bytes.contains('\n') || bytes.contains('\r'); }

// A zero-filled number field at a position counted from 1: its value, or
// nullopt when it holds anything but digits (blanks around them aside).
std::optional<std::int64_t> numberField(const QByteArray& record, int position, int width)
{
    const QByteArray field = record.mid(position - 1, width).trimmed();
    if (field.isEmpty())
        return std::nullopt;
    for (char c : field)
        if (c < '0' || c > '9')
            return std::nullopt;
    return field.toLongLong();
}

bool blankField(const QByteArray& record, int position, int width)
{
    return record.mid(position - 1, width).trimmed().isEmpty();
}

// A field's bytes as the operator reads them.
QString fieldText(const QByteArray& record, int position, int width)
{
    QStringDecoder decoder("Shift_JIS");
    return decoder.decode(record.mid(position - 1, width));
}

// A record's kind: the character, or its byte value when it is none.
QString kindText(char kind)
{
    const auto byte = static_cast<unsigned char>(kind);
    if (byte > 0x20 && byte < 0x7F)
        return QString(QChar(byte));
    return QStringLiteral("0x") + QString::number(byte, 16).toUpper().rightJustified(2, u'0');
}

QString yenText(std::int64_t yen) { return text::format(Currency::fromUnits(yen), QStringLiteral("#,##0")) + QStringLiteral(" 円"); }
QString countText(std::int64_t count) { return QString::number(count) + QStringLiteral(" 件"); }

// The header's debit date (positions 55-58, month and day), or an empty
// text; else why it is none.
QString readDebitDate(const QByteArray& header, ResultFile& file)
{
    const std::optional<std::int64_t> month = numberField(header, 55, 2);
    const std::optional<std::int64_t> day = numberField(header, 57, 2);
    // A leap year, so that 29 February is a date.
    const Date date = month && day ? Date::fromParts(2024, int(*month), int(*day)) : Date();
    if (!month || !day || date.month() != *month || date.day() != *day)
        return QStringLiteral("1 行目（ヘッダーレコード）の引落日「%1」が月日になっていません。").arg(fieldText(header, 55, 4));
    file.debitMonth = int(*month);
    file.debitDay = int(*day);
    return QString();
}

// The order of the records: a header, data records, one trailer, one end
// record, every one 120 bytes. Empty when it holds; `trailerLine` is then
// the trailer's line number.
QString orderProblem(const QByteArray& bytes, const QList<QByteArray>& records, ResultFile& file, int& trailerLine)
{
    if (records.isEmpty())
        return QStringLiteral("ファイルが空です（0 バイト）。");
    if (!hasLineEnds(bytes) && records.size() == 1 && records[0].size() != RecordLength)
        return QStringLiteral("ファイルの長さ %1 バイトが、120 バイトの明細の整数倍になっていません。").arg(records[0].size());
    int endLine = 0;
    for (int i = 0; i < records.size(); ++i) {
        const QByteArray& record = records[i];
        const int line = i + 1;
        if (record.size() != RecordLength)
            return QStringLiteral("%1 行目の長さが %2 バイトです。明細はどれも 120 バイトです。").arg(line).arg(record.size());
        const char kind = record[0];
        if (kind != '1' && kind != '2' && kind != '8' && kind != '9')
            return QStringLiteral("%1 行目のデータ区分「%2」は、ヘッダー（1）・データ（2）・トレーラ（8）・エンド（9）のどれでもありません。")
                .arg(line)
                .arg(kindText(kind));
        if (endLine != 0)
            return QStringLiteral("%1 行目が、エンドレコード（%2 行目）の後にあります。").arg(line).arg(endLine);
        if (line == 1 && kind != '1')
            return QStringLiteral("1 行目がヘッダーレコード（データ区分 1）ではありません。");
        switch (kind) {
        case '1':
            if (line != 1)
                return QStringLiteral("%1 行目に２つ目のヘッダーレコードがあります。").arg(line);
            if (const QString problem = readDebitDate(record, file); !problem.isEmpty())
                return problem;
            break;
        case '2':
            if (trailerLine != 0)
                return QStringLiteral("%1 行目のデータレコードが、トレーラレコード（%2 行目）の後にあります。").arg(line).arg(trailerLine);
            if (!numberField(record, 81, 10))
                return QStringLiteral("%1 行目の金額「%2」が数字ではありません。").arg(line).arg(fieldText(record, 81, 10));
            break;
        case '8':
            if (trailerLine != 0)
                return QStringLiteral("%1 行目に２つ目のトレーラレコードがあります。").arg(line);
            trailerLine = line;
            break;
        default:
            if (trailerLine == 0)
                return QStringLiteral("%1 行目のエンドレコードの前に、トレーラレコード（データ区分 8）がありません。").arg(line);
            endLine = line;
            break;
        }
    }
    if (trailerLine == 0)
        return QStringLiteral("ファイルが %1 行目で終わっていて、トレーラレコード（データ区分 8）とエンドレコード（データ区分 9）がありません。")
            .arg(records.size());
    if (endLine == 0)
        return QStringLiteral("ファイルが %1 行目で終わっていて、エンドレコード（データ区分 9）がありません。").arg(records.size());
    return QString();
}

// The figures a trailer carries. The count and total of the requested
// records are always there; the bank may add the debited and the not
// debited count and amount, or leave those fields blank.
struct TrailerFigure {
    int position;
    int width;
    const char16_t* name;
    bool amount;
    bool required;
};
constexpr TrailerFigure TrailerFigures[] = {
    {2, 6, u"件数", false, true},          {8, 12, u"合計金額", true, true},
    {20, 6, u"振替済件数", false, false},   {26, 12, u"振替済金額", true, false},
    {38, 6, u"振替不能件数", false, false}, {44, 12, u"振替不能金額", true, false},
};

// Every figure the trailer carries against the data records, each that
// disagrees on a line of its own; empty when all agree.
QString trailerProblem(const QByteArray& trailer, int line, const std::vector<ResultRecord>& data)
{
    // In the order of TrailerFigures: all records, the debited ones, the others.
    std::int64_t figures[6] = {};
    for (const ResultRecord& r : data) {
        const std::int64_t yen = r.amount ? r.amount->ticks() / Currency::Scale : 0;
        const int group = r.debited() ? 2 : 4;
        figures[0] += 1;
        figures[1] += yen;
        figures[group] += 1;
        figures[group + 1] += yen;
    }
    QStringList problems;
    for (int i = 0; i < 6; ++i) {
        const TrailerFigure& f = TrailerFigures[i];
        const QString name = QString::fromUtf16(f.name);
        if (!f.required && blankField(trailer, f.position, f.width))
            continue;
        const std::optional<std::int64_t> value = numberField(trailer, f.position, f.width);
        if (!value) {
            problems << QStringLiteral("%1 行目（トレーラレコード）の%2「%3」が数字ではありません。")
                            .arg(line)
                            .arg(name, fieldText(trailer, f.position, f.width));
        } else if (*value != figures[i]) {
            const auto shown = [&f](std::int64_t v) { return f.amount ? yenText(v) : countText(v); };
            problems << QStringLiteral("%1 行目（トレーラレコード）の%2は %3ですが、データレコードでは %4です。")
                            .arg(line)
                            .arg(name, shown(*value), shown(figures[i]));
        }
    }
    return problems.join(u'\n');
}

} // namespace

bool ResultFile::hasResultCodes() const
{
    for (const ResultRecord& r : dataRecords)
        if (r.resultCode != ' ')
            return true;
    return false;
}

ResultFile readResultFile(const QByteArray& bytes)
{
    ResultFile file;
    const QList<QByteArray> records = splitRecords(bytes);
    file.fingerprint = QCryptographicHash::hash(records.join('\n'), QCryptographicHash::Sha256).toHex();
    QStringDecoder decoder("Shift_JIS");
    for (int i = 0; i < records.size(); ++i) {
        const QByteArray& record = records[i];
        if (!record.startsWith('2'))
            continue;
        ResultRecord r;
        r.recordNumber = i + 1;
        r.resultCode = record.size() >= 112 ? record[111] : ' ';
        // Each record's field on its own: a lead byte left at the end of one
        // record's code must not swallow the start of the next record's.
        decoder.resetState();
        QString code = decoder.decode(record.mid(91, 13));
        while (code.endsWith(u' '))
            code.chop(1);
        r.customerCode = code;
        // Whole yen, zero-filled by the bank; anything else is not an amount.
        if (record.size() >= 90)
            if (const std::optional<std::int64_t> amount = numberField(record, 81, 10))
                r.amount = Currency::fromUnits(*amount);
        file.dataRecords.push_back(r);
    }
    int trailerLine = 0;
    file.problem = orderProblem(bytes, records, file, trailerLine);
    if (file.problem.isEmpty())
        file.problem = trailerProblem(records[trailerLine - 1], trailerLine, file.dataRecords);
    return file;
}

// ------------------------------------------------------------ the drive

namespace {
QString& chosenDriveFolder()
{
    static QString folder;
    return folder;
}
} // namespace

QString bankDriveFolder()
{
    const QString& chosen = chosenDriveFolder();
    return QDir::cleanPath(chosen.isEmpty() ? QDir::current().absoluteFilePath(QStringLiteral("FD"))
                                            : QDir(chosen).absolutePath());
}

void setBankDriveFolder(const QString& folder)
{
    chosenDriveFolder() = folder;
}

QString bankFilePath(const QString& fileName)
{
    return QDir(bankDriveFolder()).filePath(fileName.trimmed());
}

QString fileNameProblem(const QString& methodName, const QString& fileName)
{
    const QString name = fileName.trimmed();
    if (name.isEmpty() || name == QStringLiteral("1"))
        return QStringLiteral("決済方法「%1」には銀行ファイル名が登録されていません。").arg(methodName);
    if (name.contains(u'/') || name.contains(u'\\') || name.contains(u':') || name.contains(QStringLiteral("..")))
        return QStringLiteral("決済方法「%1」の銀行ファイル名「%2」は使えません。"
                              "ファイル名には「/」「\\」「:」「..」を含めないで下さい。")
            .arg(methodName, fileName);
    return QString();
}

void writeBankFile(const QString& path, const QByteArray& bytes)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        throw DriveError(QStringLiteral("フォルダ %1 を作れません。").arg(QDir::toNativeSeparators(info.absolutePath())));
    QString error;
    if (!replaceFileContents(path, bytes, error))
        throw DriveError(QStringLiteral("ファイル %1 を書き込めません：%2").arg(shown, error));
}

} // namespace bankfile
