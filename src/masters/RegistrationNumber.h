#pragma once
// The shop's registration number for qualified invoices (適格請求書発行事業者
// の登録番号) as the operator types it on the company settings: "T" and 13
// digits, the first of which is the check digit of the other twelve.

#include <QString>

// What a typed registration number comes to.
struct RegistrationNumberCheck {
    enum class Verdict {
        Accepted,     // empty, or "T" and 13 digits whose check digit agrees
        Refused,      // not "T" and 13 digits: cannot be stored
        DoubtfulDigit // well formed, but the check digit disagrees: the operator may keep it
    };
    Verdict verdict = Verdict::Accepted;
    // The number as it is stored: "T" and 13 half-width digits, or empty.
    // For a refused text, the text as typed.
    QString number;
    // Why it is refused, or the question to ask about a doubtful digit;
    // empty when accepted.
    QString message;
};

// The typed text in its stored form: blanks around it dropped, a full-width
// or small "Ｔ"/"t"/"ｔ" as "T", full-width digits as half-width ones. Says
// nothing about whether the result is a number.
QString normalizedRegistrationNumber(const QString& typed);

// The check digit of the twelve digits that follow it, as corporate numbers
// (法人番号) carry one: 9 − (Σ Pn × Qn mod 9), Pn the n-th digit counted from
// the right, Qn 1 for odd n and 2 for even n. -1 when `twelveDigits` is not
// twelve ASCII digits.
int registrationCheckDigit(const QString& twelveDigits);

// Normalizes and checks a typed registration number.
RegistrationNumberCheck checkRegistrationNumber(const QString& typed);
