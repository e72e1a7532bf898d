#include "session/Routines.h"

#include "core/FileReplace.h"
#include "core/Text.h"
#include "db/ClosedPeriod.h"
#include "db/Database.h"
#include "db/DatabaseLocation.h"
#include "session/TaxBreakdown.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

// Names of the values as the company settings screen captions them, for
// messages that must say which value is wrong.
const char* const valueNames[Configuration::ValueCount] = {
    "会社名", "住所", "電話番号", "会社付属１", "会社付属２", "会社付属３", "納品書コメント",
    "銀行口座１", "銀行口座２", "消費税率１", "消費税率２", "データベース名", "データベース　パス",
    "バックアップ　デレクトリーパス", "バックアップ　２", "伝票番号の区分", "伝票番号", "管理者用コード"};
// The values after the 18th, in the file's order.
const char* const laterValueNames[] = {"登録番号", "軽減税率"};
constexpr int FileValueCount = Configuration::ValueCount + 2;

QString valueName(int index)
{
    if (index >= Configuration::ValueCount)
        return QString::fromUtf8(laterValueNames[index - Configuration::ValueCount]);
    return QString::fromUtf8(valueNames[index]);
}

// Which rate is the reduced one when the file does not say (an older
// installation's file): the lower of the two, as reduced rates are.
int lowerRateNumber(const Configuration& config)
{
    return text::valCurrency(config.taxRate2()) < text::valCurrency(config.taxRate1()) ? 2 : 1;
}

// Every value the file holds, in its order: the 18 values, then the
// registration number and the reduced rate.
QStringList fileValues(const Configuration& config)
{
    QStringList values;
    for (const QString& value : config.values)
        values << value;
    values << config.registrationNumber << QString::number(config.reducedRate);
    return values;
}

// True for a character a Japanese configuration file plausibly holds once
// decoded: kana, kanji, full- and half-width forms, Japanese punctuation and
// symbols. Shift_JIS bytes of half-width kana read as UTF-8 give Latin and
// Greek letters (ﾅｶﾏｲ reads as Ŷϲ), which no such file holds.
bool plausibleJapanese(char32_t u)
{
    return (u >= 0x2000 && u <= 0x2BFF) || (u >= 0x3000 && u <= 0x30FF) || (u >= 0x3400 && u <= 0x4DBF)
           || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFFEF)
           || u == 0x00A5 || u == 0x00D7 || u == 0x00F7;
}

// A file that is plainly UTF-8: valid UTF-8 with at least one character
// beyond ASCII, every one of them plausible Japanese text.
bool plainlyUtf8(const QString& utf8Text)
{
    bool beyondAscii = false;
    for (char32_t u : utf8Text.toUcs4()) {
        if (u < 0x80)
            continue;
        if (!plausibleJapanese(u))
            return false;
        beyondAscii = true;
    }
    return beyondAscii;
}

// Shift_JIS is the file's own encoding. UTF-8 is taken only when the file
// says so by a byte-order mark, or when its bytes are plainly UTF-8 text
// (a file saved by a UTF-8 editor).
QString decodeFile(const QByteArray& bytes, const QString& fileName)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        QString text = utf8.decode(bytes.mid(3));
        if (utf8.hasError())
            throw ConfigurationError(fileName + QStringLiteral(" を読めません。UTF-8 の印があるのに UTF-8 ではありません。"));
        return text;
    }
    const QString utf8Text = utf8.decode(bytes);
    if (!utf8.hasError() && plainlyUtf8(utf8Text))
        return utf8Text;
    QStringDecoder sjis("Shift_JIS");
    if (!sjis.isValid())
        throw ConfigurationError(fileName + QStringLiteral(" を読めません。Shift_JIS の文字コード変換が使えません。"));
    const QString text = sjis.decode(bytes);
    if (!sjis.hasError())
        return text;
    if (!utf8.hasError())
        return utf8Text;
    throw ConfigurationError(fileName + QStringLiteral(" を読めません。文字コードが Shift_JIS でも UTF-8 でもありません。"));
}

// Splits the text as the sequential input statement reads it: values end at
// a comma or a line end; a value in double quotes keeps its commas and
// blanks, an unquoted one loses its surrounding blanks.
QStringList splitValues(const QString& text, const QString& fileName)
{
    QStringList values;
    const int n = int(text.size());
    int pos = 0;
    auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    auto atLineEnd = [&](int p) { return p < n && (text[p] == u'\r' || text[p] == u'\n'); };
    auto skipDelimiter = [&]() {
        while (pos < n && isBlank(text[pos]))
            ++pos;
        if (pos < n && text[pos] == u',') {
            ++pos;
        } else if (atLineEnd(pos)) {
            if (text[pos] == u'\r' && pos + 1 < n && text[pos + 1] == u'\n')
                ++pos;
            ++pos;
        }
    };
    while (pos < n) {
        while (pos < n && isBlank(text[pos]))
            ++pos;
        if (pos >= n)
            break;
        if (text[pos] == u'"') {
            int close = text.indexOf(u'"', pos + 1);
            if (close < 0)
                throw ConfigurationError(fileName + QStringLiteral(" の %1 行目の値が \" で閉じられていません。").arg(values.size() + 1));
            values << text.mid(pos + 1, close - pos - 1);
            pos = close + 1;
            // Anything between the closing quote and the delimiter is dropped.
            while (pos < n && text[pos] != u',' && !atLineEnd(pos))
                ++pos;
            skipDelimiter();
        } else {
            int start = pos;
            while (pos < n && text[pos] != u',' && !atLineEnd(pos))
                ++pos;
            values << text.mid(start, pos - start).trimmed();
            skipDelimiter();
        }
    }
    return values;
}

// A whole number in the range of the value, from its text as the program
// writes it (" 42"). A text that is no number is refused rather than read as
// 0: a counter of 0 would hand out slip numbers already used.
std::int64_t wholeNumber(const QString& text, int index, std::int64_t min, std::int64_t max, const QString& fileName)
{
    if (!text::isNumber(text))
        throw ConfigurationError(fileName + QStringLiteral(" の %1 行目（%2）が数値ではありません：「%3」")
                                                 .arg(index + 1).arg(valueName(index), text));
    double value = std::nearbyint(text::Val(text)); // rounds half to even
    if (value < double(min) || value > double(max))
        throw ConfigurationError(fileName + QStringLiteral(" の %1 行目（%2）の値 %3 が範囲外です。")
                                                 .arg(index + 1).arg(valueName(index), text.trimmed()));
    return std::int64_t(value);
}

} // namespace

QString configurationFilePath()
{
    return QDir::current().filePath(ConfigurationFileName);
}

Configuration parseConfiguration(const QByteArray& bytes, const QString& fileName)
{
    const QStringList values = splitValues(decodeFile(bytes, fileName), fileName);
    if (values.size() < Configuration::ValueCount)
        throw ConfigurationError(fileName + QStringLiteral(" の値が %1 行しかありません（%2 行必要です）。")
                                                .arg(values.size()).arg(Configuration::ValueCount));
    Configuration config;
    for (int i = 0; i < Configuration::ValueCount; ++i)
        config.values[i] = values[i];
    config.databasePath = config.databaseDirectory() + config.databaseFileName();
    config.slipPrefix = std::int16_t(wholeNumber(config.prefixText(), 15, std::numeric_limits<std::int16_t>::min(),
                                                 std::numeric_limits<std::int16_t>::max(), fileName));
    config.slipCounter = std::int32_t(wholeNumber(config.counterText(), 16, std::numeric_limits<std::int32_t>::min(),
                                                  std::numeric_limits<std::int32_t>::max(), fileName));
    config.adminCode = std::int32_t(wholeNumber(config.adminCodeText(), 17, std::numeric_limits<std::int32_t>::min(),
                                                std::numeric_limits<std::int32_t>::max(), fileName));
    config.registrationNumber = values.size() > 18 ? values[18].trimmed() : QString();
    const QString reduced = values.size() > 19 ? values[19].trimmed() : QString();
    config.reducedRate = reduced == u"1" ? 1 : reduced == u"2" ? 2 : lowerRateNumber(config);
    return config;
}

QByteArray configurationBytes(const Configuration& config, const QString& fileName)
{
    QStringEncoder sjis("Shift_JIS");
    if (!sjis.isValid())
        throw ConfigurationError(fileName + QStringLiteral(" を書けません。Shift_JIS の文字コード変換が使えません。"));
    QByteArray bytes;
    const QStringList values = fileValues(config);
    for (int i = 0; i < FileValueCount; ++i) {
        const QString& value = values[i];
        // The line format has no escape: a quote or a line break would split
        // the value and shift every later one.
        if (value.contains(u'"') || value.contains(u'\r') || value.contains(u'\n'))
            throw ConfigurationError(QStringLiteral("「%1」に使えない文字（\" または改行）が含まれています。").arg(valueName(i)));
        QByteArray encoded = sjis.encode(text::shiftJisForms(value));
        if (sjis.hasError())
            throw ConfigurationError(QStringLiteral("「%1」に Shift_JIS で書けない文字が含まれています：「%2」").arg(valueName(i), value));
        bytes += '"';
        bytes += encoded;
        bytes += "\"\r\n";
    }
    // Shift_JIS bytes can happen to be valid UTF-8 of plausible Japanese (a
    // second-level kanji followed by half-width kana can), and would be read
    // back as other characters, changing the shop's name at the next slip.
    // Such a file is written as UTF-8 with its mark, which reads back as
    // written.
    QStringDecoder sjisBack("Shift_JIS");
    const QString meant = sjisBack.decode(bytes);
    if (decodeFile(bytes, fileName) != meant)
        return QByteArray("\xEF\xBB\xBF") + meant.toUtf8();
    return bytes;
}

Configuration readConfiguration(const QString& path)
{
    const QString name = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.exists())
        throw ConfigurationError(QStringLiteral("設定ファイル %1 が見つかりません。").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        throw ConfigurationError(QStringLiteral("設定ファイル %1 を開けません：%2").arg(name, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ConfigurationError(QStringLiteral("設定ファイル %1 を読めません：%2").arg(name, file.errorString()));
    Configuration config = parseConfiguration(bytes, QStringLiteral("設定ファイル ") + name);
    // A server file beside it moves the database onto a server.
    const QString serverPath = QFileInfo(path).dir().filePath(ServerFileName);
    QFile serverFile(serverPath);
    if (serverFile.exists()) {
        const QString shown = QDir::toNativeSeparators(serverPath);
        if (!serverFile.open(QIODevice::ReadOnly))
            throw ConfigurationError(QStringLiteral("サーバー設定ファイル %1 を開けません：%2").arg(shown, serverFile.errorString()));
        try {
            config.databasePath = serverLocationText(parseServerFile(serverFile.readAll()));
        } catch (const std::invalid_argument& e) {
            throw ConfigurationError(
                QStringLiteral("サーバー設定ファイル %1 が読めません：%2").arg(shown, QString::fromUtf8(e.what())));
        }
    }
    return config;
}

void writeConfiguration(Configuration& config, const QString& path)
{
    if (config.slipCounter == std::numeric_limits<std::int32_t>::max())
        throw SlipNumberOverflow();
    config.prefixText() = text::Str(std::int64_t(config.slipPrefix));
    config.slipCounter += 1;
    config.counterText() = text::Str(std::int64_t(config.slipCounter));
    config.adminCodeText() = text::Str(std::int64_t(config.adminCode));

    const QString name = QDir::toNativeSeparators(path);
    QByteArray bytes = configurationBytes(config, QStringLiteral("設定ファイル ") + name);
    QString error;
    if (!replaceFileContents(path, bytes, error))
        throw ConfigurationError(QStringLiteral("設定ファイル %1 を書き込めません：%2").arg(name, error));
}

std::int32_t currentSlipNumber(const Configuration& config)
{
    std::int64_t number = std::int64_t(config.slipPrefix) * 100000000 + config.slipCounter;
    if (number > std::numeric_limits<std::int32_t>::max() || number < std::numeric_limits<std::int32_t>::min())
        throw SlipNumberOverflow();
    return std::int32_t(number);
}

StoredJournalRow storeJournalRow(Database& db, Configuration& config, const JournalEntry& entry,
                                 int debitCounterparty, const QString& creditCounterparty, const QString& configPath)
{
    // A counter at the largest value can number this row but cannot advance
    // past it: the next entry would get the same number.
    if (config.slipCounter == std::numeric_limits<std::int32_t>::max())
        throw SlipNumberOverflow();
    const JournalEntry& j = entry;
    requireOpenPeriod(db, j.entryDate);
    StoredJournalRow stored;
    stored.slipNumber = currentSlipNumber(config);
    {
        Transaction tx(db);
        db.exec(QStringLiteral("INSERT INTO 経理マスター仮 (経理伝票番号, 経理年月日, 経理金額, 経理借方コード,"
                               " 経理借方相手先コード, 経理貸方コード, 経理貸方相手先コード) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                {stored.slipNumber, sqlValue(j.entryDate), sqlValue(j.amount), j.debitAccount, debitCounterparty,
                 j.creditAccount, creditCounterparty});
        tx.commit();
    }
    try {
        writeConfiguration(config, configPath);
    } catch (const ConfigurationError& e) {
        stored.counterError = e.message();
    }
    return stored;
}

bool recoverSlipCounter(Database& db, Configuration& config, const QString& path)
{
    const std::int64_t base = std::int64_t(config.slipPrefix) * 100000000;
    const std::int64_t next = base + config.slipCounter;
    const std::int64_t last = std::min<std::int64_t>(base + 99999999, std::numeric_limits<std::int32_t>::max());
    if (next > last)
        return false;
    const QVariant highest = db.scalar(QStringLiteral(
        "SELECT MAX(n) FROM ("
        " SELECT MAX(売上伝票番号) AS n FROM 売上商品マスター仮 WHERE 売上伝票番号 BETWEEN ? AND ?"
        " UNION ALL SELECT MAX(売上伝票番号) FROM 売上商品マスター WHERE 売上伝票番号 BETWEEN ? AND ?"
        " UNION ALL SELECT MAX(売上伝票番号) FROM 売掛マスター WHERE 売上伝票番号 BETWEEN ? AND ?"
        " UNION ALL SELECT MAX(経理伝票番号) FROM 経理マスター仮 WHERE 経理伝票番号 BETWEEN ? AND ?"
        " UNION ALL SELECT MAX(経理伝票番号) FROM 経理マスター WHERE 経理伝票番号 BETWEEN ? AND ?) AS 番号"),
        {qint64(next), qint64(last), qint64(next), qint64(last), qint64(next), qint64(last), qint64(next),
         qint64(last), qint64(next), qint64(last)});
    if (highest.isNull() || !highest.isValid())
        return false;
    // WriteConfiguration advances by one: start from the highest number used.
    config.slipCounter = std::int32_t(highest.toLongLong() - base);
    writeConfiguration(config, path);
    return true;
}

void clearSlip(SessionState& state)
{
    state.customer.code.clear();
    state.customer.name.clear();
    state.customer.kanaName.clear();
    state.customer.address1.clear();
    state.customer.address2.clear();
    state.customer.telephone.clear();
    for (int i = 1; i <= SessionState::SlipCapacity; ++i) {
        SlipLine& line = state.lines[i];
        line = SlipLine{};
        line.productCode = text::fixed(QString(), 13);
        line.kanaName = text::fixed(QString(), 8);
        line.productName = text::fixed(QString(), 24);
    }
    state.customer.slipDate = Date();
    state.lineCount = 0;
    state.totals = SlipTotals{};
}

namespace {

// The seven totals of the buffer; throws CurrencyOverflow when a sum or the
// tax leaves the Currency range.
SlipTotals totalsOf(const SessionState& state)
{
    SlipTotals t;
    for (int i = 1; i <= state.lineCount; ++i) {
        const SlipLine& line = state.lines[i];
        addToCategoryTotal(t, line.taxCategory, line.amount.Int());
    }
    // The rates are decimal text ("0.08"): read exactly, so that 0.29 × 100
    // is 29 and not 28.999...
    const Currency rate1 = text::valCurrency(state.config.taxRate1());
    const Currency rate2 = text::valCurrency(state.config.taxRate2());
    t.consumptionTax = (rate2 * t.taxAddedRate2).Int() + (rate1 * t.taxAddedRate1).Int();
    t.grandTotal = t.taxAddedRate1 + t.taxIncludedRate1 + t.taxAddedRate2 + t.taxIncludedRate2 + t.notTaxable
                   + t.consumptionTax;
    return t;
}

} // namespace

QString calculationTooLargeMessage()
{
    return CurrencyOverflow().message();
}

QString calculationTooLargeTitle()
{
    return QStringLiteral("計算エラー");
}

bool computeSlipTotals(SessionState& state)
{
    try {
        state.totals = totalsOf(state);
        return true;
    } catch (const CurrencyOverflow&) {
        return false;
    }
}

SlipLineOutcome addSlipLine(SessionState& state, const UnitPriceQuestion& askUnitPrice)
{
    ProductBeingChosen& p = state.product;
    if (p.unitPrice.isZero()) {
        std::optional<QString> answer = askUnitPrice();
        p.unitPrice = answer ? text::valCurrency(*answer) : Currency();
    }
    if (p.quantity.isZero() || p.unitPrice.isZero())
        return SlipLineOutcome::NothingToAdd;
    if (state.lineCount >= SessionState::SlipCapacity)
        throw SlipBufferFull();
    SlipLine line;
    line.departmentCode = p.departmentCode;
    line.taxCategory = p.taxCategory;
    line.productCode = text::fixed(p.productCode, 13);
    line.kanaName = text::fixed(p.kanaName, 8);
    line.productName = text::fixed(p.productName, 24);
    line.unitPrice = p.unitPrice;
    line.quantity = p.quantity;
    // A price or quantity whose amount, or whose slip totals, leave the
    // Currency range (a barcode scanned into the quantity box) is refused
    // and the buffer stays as it was.
    try {
        line.amount = (p.unitPrice * p.quantity).Int();
        SessionState trial;
        trial.config = state.config;
        trial.lines = state.lines;
        trial.lineCount = state.lineCount + 1;
        trial.lines[trial.lineCount] = line;
        totalsOf(trial);
    } catch (const CurrencyOverflow&) {
        return SlipLineOutcome::TooLarge;
    }
    state.lines[++state.lineCount] = line;
    return SlipLineOutcome::Added;
}

void refreshAccountCopy(Database& db)
{
    Transaction tx(db);
    db.exec(QStringLiteral("DELETE FROM 勘定科目TBLＣＯＰＹ"));
    db.exec(QStringLiteral("INSERT INTO 勘定科目TBLＣＯＰＹ SELECT 勘定科目TBL.科目番号, 勘定科目TBL.勘定科目名 FROM 勘定科目TBL"));
    tx.commit();
}
