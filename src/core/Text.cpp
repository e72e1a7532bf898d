#include "core/Text.h"

#include "core/Currency.h"
#include "core/Date.h"

#include <QList>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <optional>

namespace text {
namespace {

// Full-width forms typed through an input method read as their ASCII forms.
QChar halfWidth(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= 0xFF10 && u <= 0xFF19)
        return QChar(char16_t(u'0' + (u - 0xFF10)));
    switch (u) {
    case 0xFF0B: return u'+';
    case 0xFF0D: return u'-';
    case 0xFF0E: return u'.';
    case 0xFF0C: return u',';
    default: return c;
    }
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == QChar(0x3000);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

qsizetype skipBlanks(const QString& s, qsizetype i)
{
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return i;
}

// A number as read from text, kept as its digits so that both the double and
// the exact Currency reading come from the same scan.
struct Scanned {
    bool negative = false;
    QString intDigits;
    QString fracDigits;
    std::int64_t exponent = 0;
    qsizetype end = 0;
};

std::optional<Scanned> scanNumber(const QString& s, qsizetype i)
{
    auto at = [&](qsizetype k) { return k < s.size() ? halfWidth(s[k]) : QChar(); };
    Scanned n;
    if (at(i) == u'+' || at(i) == u'-') {
        n.negative = at(i) == u'-';
        ++i;
    }
    for (; isDigit(at(i)); ++i)
        n.intDigits += at(i);
    if (at(i) == u'.') {
        for (++i; isDigit(at(i)); ++i)
            n.fracDigits += at(i);
    }
    if (n.intDigits.isEmpty() && n.fracDigits.isEmpty())
        return std::nullopt;

    // The exponent counts only when digits follow it: "12e" is 12, "3D2" 300.
    const QChar e = at(i);
    if (e == u'E' || e == u'e' || e == u'D' || e == u'd') {
        qsizetype k = i + 1;
        bool negExp = false;
        if (at(k) == u'+' || at(k) == u'-') {
            negExp = at(k) == u'-';
            ++k;
        }
        if (isDigit(at(k))) {
            std::int64_t x = 0;
            // Capped: far beyond any double, and no overflow on absurd input.
            for (; isDigit(at(k)); ++k)
                x = std::min<std::int64_t>(x * 10 + (at(k).unicode() - u'0'), 100000);
            n.exponent = negExp ? -x : x;
            i = k;
        }
    }
    n.end = i;
    return n;
}

// Decimal digits of a magnitude: `whole` without leading zeros (empty for a
// zero whole part, which is what "#" needs), `frac` as many places as known.
struct Digits {
    bool negative = false;
    QString whole;
    QString frac;
};

void stripLeadingZeros(QString& s)
{
    qsizetype k = 0;
    while (k < s.size() && s[k] == u'0')
        ++k;
    s.remove(0, k);
}

Digits digitsOf(Currency value)
{
    Digits d;
    d.negative = value.ticks() < 0;
    const std::uint64_t mag = d.negative ? std::uint64_t(0) - std::uint64_t(value.ticks())
                                         : std::uint64_t(value.ticks());
    if (mag / Currency::Scale != 0)
        d.whole = QString::number(mag / Currency::Scale);
    d.frac = QString::number(mag % Currency::Scale).rightJustified(4, u'0');
    return d;
}

Digits digitsOf(std::int64_t value)
{
    Digits d;
    d.negative = value < 0;
    const std::uint64_t mag = d.negative ? std::uint64_t(0) - std::uint64_t(value) : std::uint64_t(value);
    if (mag != 0)
        d.whole = QString::number(mag);
    return d;
}

// A double is taken at 15 significant digits, so that 0.05 is the 0.05 that
// was meant and not the binary value just below it.
Digits digitsOf(double value)
{
    Digits d;
    d.negative = value < 0;
    const QString e = QString::number(std::fabs(value), 'e', 14); // d.dddddddddddddde±XX
    const qsizetype ePos = e.indexOf(u'e');
    const QString mantissa = e.left(1) + e.mid(2, ePos - 2);
    const int point = 1 + e.mid(ePos + 1).toInt();
    if (point <= 0) {
        d.frac = QString(-point, u'0') + mantissa;
    } else if (point >= mantissa.size()) {
        d.whole = mantissa + QString(point - mantissa.size(), u'0');
    } else {
        d.whole = mantissa.left(point);
        d.frac = mantissa.mid(point);
    }
    stripLeadingZeros(d.whole);
    return d;
}

// Rounds to `places` decimals, half away from zero, on the digits themselves.
void roundTo(Digits& d, int places)
{
    if (d.frac.size() <= places) {
        d.frac = d.frac.leftJustified(places, u'0');
        return;
    }
    const bool up = d.frac[places] >= u'5';
    d.frac.truncate(places);
    if (!up)
        return;
    QString all = d.whole + d.frac;
    qsizetype k = all.size() - 1;
    for (; k >= 0 && all[k] == u'9'; --k)
        all[k] = u'0';
    if (k >= 0)
        all[k] = QChar(char16_t(all[k].unicode() + 1));
    else
        all.prepend(u'1');
    d.whole = all.left(all.size() - places);
    d.frac = all.right(places);
    stripLeadingZeros(d.whole);
}

// Plain text for an empty mask: all known digits, no trailing zeros.
QString general(Digits d)
{
    while (d.frac.endsWith(u'0'))
        d.frac.chop(1);
    QString out = d.whole.isEmpty() ? QStringLiteral("0") : d.whole;
    if (!d.frac.isEmpty())
        out += u'.' + d.frac;
    if (d.negative && (!d.whole.isEmpty() || !d.frac.isEmpty()))
        out.prepend(u'-');
    return out;
}

struct MaskItem {
    enum Kind { Hash, Zero, Point, Literal } kind;
    QChar ch;
};

QString applyMask(Digits d, const QString& mask)
{
    if (mask.isEmpty())
        return general(d);
    if (mask.compare(QLatin1String("Currency"), Qt::CaseInsensitive) == 0)
        return applyMask(d, QStringLiteral("\\\\#,##0")); // mask text \\#,##0: a backslash, then whole yen

    // Split the mask into placeholders and literals. The first unescaped "."
    // is the decimal point; a "," before it only switches on grouping.
    QList<MaskItem> items;
    bool grouping = false;
    bool afterPoint = false;
    int intPlaces = 0;
    int fracPlaces = 0;
    int lastFracZero = -1;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (c == u'\\') {
            if (i + 1 < mask.size())
                ++i;
            items.append({MaskItem::Literal, mask[i]});
        } else if (c == u'#' || c == u'0') {
            items.append({c == u'#' ? MaskItem::Hash : MaskItem::Zero, c});
            if (!afterPoint)
                ++intPlaces;
            else if (c == u'0')
                lastFracZero = fracPlaces++;
            else
                ++fracPlaces;
        } else if (c == u'.' && !afterPoint) {
            items.append({MaskItem::Point, c});
            afterPoint = true;
        } else if (c == u',' && !afterPoint) {
            grouping = true;
        } else {
            items.append({MaskItem::Literal, c});
        }
    }

    roundTo(d, fracPlaces);
    const QString& w = d.whole;
    const int len = int(w.size());

    QString out;
    // `fromRight` is the digit's place (0 = units), where the separators go.
    auto emitDigit = [&](QChar c, int fromRight) {
        out += c;
        if (grouping && fromRight > 0 && fromRight % 3 == 0)
            out += u',';
    };
    // Integer digits beyond the placeholders are never dropped: they all go
    // in front of the first placeholder (or before the point if there is none).
    auto emitExcess = [&]() {
        for (int j = 0; j < len - intPlaces; ++j)
            emitDigit(w[j], len - 1 - j);
    };

    // Fraction "#" shows a digit only up to the last one that must appear:
    // the last non-zero digit or the last "0" placeholder.
    int lastShown = lastFracZero;
    for (int j = 0; j < fracPlaces; ++j)
        if (d.frac[j] != u'0')
            lastShown = std::max(lastShown, j);

    int intIndex = 0;
    int fracIndex = 0;
    bool inFraction = false;
    for (const MaskItem& it : items) {
        switch (it.kind) {
        case MaskItem::Literal:
            out += it.ch;
            break;
        case MaskItem::Point:
            if (intPlaces == 0)
                emitExcess();
            out += u'.';
            inFraction = true;
            break;
        case MaskItem::Hash:
        case MaskItem::Zero:
            if (inFraction) {
                if (fracIndex <= lastShown)
                    out += d.frac[fracIndex];
                ++fracIndex;
                break;
            }
            if (intIndex == 0)
                emitExcess();
            {
                const int fromRight = intPlaces - 1 - intIndex;
                if (fromRight < len)
                    emitDigit(w[len - 1 - fromRight], fromRight);
                else if (it.kind == MaskItem::Zero)
                    emitDigit(u'0', fromRight);
            }
            ++intIndex;
            break;
        }
    }
    if (intPlaces == 0 && !inFraction)
        emitExcess();

    if (d.negative)
        out.prepend(u'-');
    return out;
}

} // namespace

double Val(const QString& text)
{
    const auto n = scanNumber(text, skipBlanks(text, 0));
    if (!n)
        return 0.0;
    // QString::toDouble reads the C locale whatever the user's locale is.
    const QString plain = QLatin1String(n->negative ? "-" : "")
                          + (n->intDigits.isEmpty() ? QStringLiteral("0") : n->intDigits) + u'.'
                          + (n->fracDigits.isEmpty() ? QStringLiteral("0") : n->fracDigits) + u'e'
                          + QString::number(n->exponent);
    return plain.toDouble();
}

Currency valCurrency(const QString& text)
{
    const auto n = scanNumber(text, skipBlanks(text, 0));
    if (!n)
        return Currency();
    // Move the point by the exponent in the digit text itself, so that the
    // value stays exact, then let Currency::parse round it.
    QString digits = n->intDigits + n->fracDigits;
    std::int64_t point = n->intDigits.size() + n->exponent;
    while (!digits.isEmpty() && digits[0] == u'0') {
        digits.remove(0, 1);
        --point;
    }
    // Nothing, or below half a ten-thousandth whatever the digits.
    if (digits.isEmpty() || point < -5)
        return Currency();
    // Too large for any Currency: there is no number the program could keep.
    if (point > 20)
        return Currency();
    QString plain;
    if (point <= 0)
        plain = QLatin1String("0.") + QString(int(-point), u'0') + digits;
    else if (point >= digits.size())
        plain = digits + QString(int(point - digits.size()), u'0');
    else
        plain = digits.left(point) + u'.' + digits.mid(point);
    if (n->negative)
        plain.prepend(u'-');
    return Currency::parse(plain).value_or(Currency());
}

bool isNumber(const QString& text)
{
    const auto n = scanNumber(text, skipBlanks(text, 0));
    return n && skipBlanks(text, n->end) == text.size();
}

QString shiftJisForms(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        switch (c.unicode()) {
        case 0x301C: c = QChar(0xFF5E); break; // wave dash
        case 0x2212: c = QChar(0xFF0D); break; // minus sign
        case 0x2014: c = QChar(0x2015); break; // em dash
        case 0x2016: c = QChar(0x2225); break; // double vertical line
        case 0x00A5: c = QChar(0xFFE5); break; // yen sign
        case 0x00A2: c = QChar(0xFFE0); break; // cent sign
        case 0x00A3: c = QChar(0xFFE1); break; // pound sign
        case 0x00AC: c = QChar(0xFFE2); break; // not sign
        default: break;
        }
    }
    return out;
}

QString halfWidthDigits(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        c = halfWidth(c);
    return out;
}

std::optional<Currency> parseCurrency(const QString& text)
{
    QString plain = halfWidthDigits(text).trimmed();
    while (!plain.isEmpty() && isBlank(plain.back()))
        plain.chop(1);
    while (!plain.isEmpty() && isBlank(plain.front()))
        plain.remove(0, 1);
    // Thousands separators as people write them ("1,050"), nowhere else.
    static const QRegularExpression grouped(QStringLiteral("^[+-]?\\d{1,3}(,\\d{3})+(\\.\\d*)?$"));
    if (plain.contains(u','))
    {
        if (!grouped.match(plain).hasMatch())
            return std::nullopt;
        plain.remove(u',');
    }
    return Currency::parse(plain);
}

QString Str(std::int64_t value)
{
    const QString s = QString::number(value);
    return value < 0 ? s : u' ' + s;
}

QString Str(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (value == 0.0) // also -0.0, which would otherwise print as "-0"
        return QStringLiteral(" 0");
    QString s = QString::number(value, 'g', 15);
    // Exponent form as the configuration file has always had it: 1E+20, 1E-05.
    const qsizetype e = s.indexOf(u'e');
    if (e >= 0) {
        const QChar sign = s[e + 1];
        QString exp = s.mid(e + 2);
        s = s.left(e) + u'E' + sign + exp.rightJustified(2, u'0');
    }
    if (s.startsWith(u"0."))
        s.remove(0, 1);
    else if (s.startsWith(u"-0."))
        s.remove(1, 1);
    return value < 0 ? s : u' ' + s;
}

QString fixed(const QString& text, int length)
{
    if (length <= 0)
        return QString();
    return text.left(length).leftJustified(length, u' ');
}

QString format(Currency value, const QString& mask)
{
    return applyMask(digitsOf(value), mask);
}

QString format(double value, const QString& mask)
{
    if (!std::isfinite(value))
        return QString::number(value);
    return applyMask(digitsOf(value), mask);
}

QString format(std::int64_t value, const QString& mask)
{
    return applyMask(digitsOf(value), mask);
}

QString format(const Date& value, const QString& mask)
{
    QString out;
    for (qsizetype i = 0; i < mask.size();) {
        const QStringView rest = QStringView(mask).mid(i);
        if (rest.startsWith(u"yyyy", Qt::CaseInsensitive)) {
            out += QString::number(value.year()).rightJustified(4, u'0');
            i += 4;
        } else if (rest.startsWith(u"mm", Qt::CaseInsensitive)) {
            out += QString::number(value.month()).rightJustified(2, u'0');
            i += 2;
        } else if (rest.startsWith(u"dd", Qt::CaseInsensitive)) {
            out += QString::number(value.day()).rightJustified(2, u'0');
            i += 2;
        } else {
            out += mask[i++];
        }
    }
    return out;
}

} // namespace text
