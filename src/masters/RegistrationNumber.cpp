#include "masters/RegistrationNumber.h"

#include "core/Text.h"

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Blanks an input method or a paste leaves around a number.
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'　';
}

} // namespace

QString normalizedRegistrationNumber(const QString& typed)
{
    QString number = text::halfWidthDigits(typed);
    qsizetype start = 0;
    qsizetype end = number.size();
    while (start < end && isBlank(number[start]))
        ++start;
    while (end > start && isBlank(number[end - 1]))
        --end;
    number = number.mid(start, end - start);
    if (!number.isEmpty() && (number[0] == u't' || number[0] == u'Ｔ' || number[0] == u'ｔ'))
        number[0] = u'T';
    return number;
}

int registrationCheckDigit(const QString& twelveDigits)
{
    if (twelveDigits.size() != 12)
        return -1;
    int sum = 0;
    for (int n = 1; n <= 12; ++n) {
        const QChar c = twelveDigits[12 - n]; // n-th from the right
        if (!isAsciiDigit(c))
            return -1;
        sum += (c.unicode() - u'0') * (n % 2 == 1 ? 1 : 2);
    }
    return 9 - sum % 9;
}

RegistrationNumberCheck checkRegistrationNumber(const QString& typed)
{
    RegistrationNumberCheck check;
    check.number = normalizedRegistrationNumber(typed);
    if (check.number.isEmpty())
        return check; // the shop has no number
    bool wellFormed = check.number.size() == 14 && check.number[0] == u'T';
    for (qsizetype i = 1; wellFormed && i < check.number.size(); ++i)
        wellFormed = isAsciiDigit(check.number[i]);
    if (!wellFormed) {
        check.verdict = RegistrationNumberCheck::Verdict::Refused;
        check.number = typed;
        check.message = QStringLiteral("登録番号は「T」と13桁の数字で入力してください。");
        return check;
    }
    if (registrationCheckDigit(check.number.mid(2)) != check.number[1].unicode() - u'0') {
        check.verdict = RegistrationNumberCheck::Verdict::DoubtfulDigit;
        check.message = QStringLiteral("登録番号の先頭の数字（チェックデジット）が残りの12桁と合いません。\n"
                                       "番号をもう一度お確かめください。このまま登録しますか？");
    }
    return check;
}
