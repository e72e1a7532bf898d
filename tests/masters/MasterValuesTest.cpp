// The value rules of the master screens, the check of the registration
// number, and the operator's words for a refusal of the database, without a
// screen.
#include "masters/DatabaseMessages.h"
#include "masters/MasterValues.h"
#include "masters/RegistrationNumber.h"

#include <gtest/gtest.h>

TEST(CodePickers, TheCodeOfABoxTextIsItsWholeNumber)
{
    EXPECT_EQ(codeOfText("12"), 12);
    EXPECT_EQ(codeOfText(" 7"), 7);
    EXPECT_EQ(codeOfText("2.5"), 2); // half to even
    EXPECT_EQ(codeOfText("3.5"), 4);
    EXPECT_EQ(codeOfText("abc"), 0);
    EXPECT_EQ(codeOfText(""), 0);
    EXPECT_EQ(codeOfText("99999999999"), 0);
    EXPECT_EQ(codeOfText("１５"), 15);
}

TEST(CompanySettingsValues, TaxRatesAboveOneOrNegativeBecomeZero)
{
    EXPECT_EQ(checkedTaxRate("1.0001"), "0");
    EXPECT_EQ(checkedTaxRate("0.1abc"), "0.1abc");
    EXPECT_EQ(checkedTaxRate("-0"), "-0");
}

TEST(CompanySettingsValues, AdministratorCodeIsRoundedHalfToEven)
{
    EXPECT_EQ(administratorCodeValue("-2.5"), -2);
    EXPECT_EQ(administratorCodeValue("2147483647"), 2147483647);
    EXPECT_EQ(administratorCodeValue("2147483648"), std::nullopt);
}

TEST(GridEditors, RefusalsInTheOperatorsWords)
{
    EXPECT_EQ(databaseErrorDescription("UNIQUE constraint failed: 店コードＴＢＬ.店コード"),
              "「店コード」の値が重複しています。変更して下さい。");
    EXPECT_EQ(databaseErrorDescription("NOT NULL constraint failed: 商品マスター.単品コード"),
              "「単品コード」は、必ず入力して下さい。");
    EXPECT_EQ(databaseErrorDescription(
                  "CHECK constraint failed: typeof(単品売価) IN ('integer', 'null')"),
              "「単品売価」に入れられない種類の値です。入力した値を確かめて下さい。");
    // Our own rules already speak Japanese.
    EXPECT_EQ(databaseErrorDescription("この商品は、削除できません。"), "この商品は、削除できません。");
    EXPECT_EQ(refusedRule("この商品は、削除できません。"), RefusedRule::Rule);
    // SQLite's own words stay behind a Japanese sentence, even with a
    // Japanese table name in them.
    EXPECT_EQ(databaseErrorDescription("no such table: 店コードＴＢＬ"),
              "データベースの処理に失敗しました。\nno such table: 店コードＴＢＬ");
    EXPECT_EQ(refusedRule("database is locked"), RefusedRule::Busy);
}

namespace {

using Verdict = RegistrationNumberCheck::Verdict;
const QString Refusal = QStringLiteral("登録番号は「T」と13桁の数字で入力してください。");

} // namespace

TEST(RegistrationNumbers, TheCheckDigitIsWorkedOutFromTheTwelveDigitsAfterIt)
{
    // 234567890123, counted from the right: P1 = 3, P2 = 2, P3 = 1, P4 = 0,
    // P5 = 9, P6 = 8, P7 = 7, P8 = 6, P9 = 5, P10 = 4, P11 = 3, P12 = 2.
    // Odd n (×1): 3 + 1 + 9 + 7 + 5 + 3 = 28; even n (×2): 2 × (2 + 0 + 8 +
    // 6 + 4 + 2) = 44. 28 + 44 = 72, 72 mod 9 = 0, check digit 9 − 0 = 9.
    EXPECT_EQ(registrationCheckDigit("234567890123"), 9);
    // 000000000001: only P1 = 1 (×1), sum 1, check digit 9 − 1 = 8.
    EXPECT_EQ(registrationCheckDigit("000000000001"), 8);
    // 000000000010: only P2 = 1 (×2), sum 2, check digit 7 — weighting from
    // the left would give 8 again.
    EXPECT_EQ(registrationCheckDigit("000000000010"), 7);
    // 100000000000: P12 = 1 (×2), sum 2, check digit 7; from the left with
    // odd weights 1 it would be 8.
    EXPECT_EQ(registrationCheckDigit("100000000000"), 7);
    // A sum that is a multiple of 9 gives 9, never 0: 000000000000 → 9,
    // 000000000009 (9 × 1 = 9) → 9.
    EXPECT_EQ(registrationCheckDigit("000000000000"), 9);
    EXPECT_EQ(registrationCheckDigit("000000000009"), 9);
    // 999999999999: 6 × 9 + 6 × 18 = 162 = 18 × 9 → 9.
    EXPECT_EQ(registrationCheckDigit("999999999999"), 9);
    // 000000000005: 5 → 4; 000000000050: 10 mod 9 = 1 → 8.
    EXPECT_EQ(registrationCheckDigit("000000000005"), 4);
    EXPECT_EQ(registrationCheckDigit("000000000050"), 8);
    // Not twelve digits: no check digit.
    EXPECT_EQ(registrationCheckDigit("23456789012"), -1);
    EXPECT_EQ(registrationCheckDigit("23456789012x"), -1);
}

TEST(RegistrationNumbers, TypedFormsAreStoredAsTAndHalfWidthDigits)
{
    struct Case {
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {
        {"T9234567890123", "T9234567890123"},
        {"t9234567890123", "T9234567890123"},
        {"Ｔ９２３４５６７８９０１２３", "T9234567890123"},
        {"ｔ9234567890123", "T9234567890123"},
        {"T９２３４５６７８９０１２３", "T9234567890123"},
        {"　 T9234567890123 \t", "T9234567890123"},
        {"", ""},
        {"  　", ""},
    };
    for (const Case& c : cases) {
        const RegistrationNumberCheck check = checkRegistrationNumber(QString::fromUtf8(c.typed));
        EXPECT_EQ(check.verdict, Verdict::Accepted) << c.typed;
        EXPECT_EQ(check.number, QString::fromUtf8(c.stored)) << c.typed;
        EXPECT_TRUE(check.message.isEmpty()) << c.typed;
    }
}

TEST(RegistrationNumbers, WhatIsNotTAndThirteenDigitsIsRefused)
{
    const char* const refused[] = {
        "1234567890123",   // no T
        "T123",            // too short
        "T123456789012",   // 12 digits
        "T12345678901234", // 14 digits
        "TT234567890123",  // a letter for a digit
        "T92345678901ab",  // letters
        "A9234567890123",  // another letter for the T
        "9234567890123T",  // T at the end
        "T 9234567890123", // a blank inside
        "T9234-567890123", // a hyphen inside
        "T9234567890.23",  // a point inside
        "Ｔ９２３４５６７８９０１２．", // full-width, the point made half-width is still no digit
    };
    for (const char* typed : refused) {
        const RegistrationNumberCheck check = checkRegistrationNumber(QString::fromUtf8(typed));
        EXPECT_EQ(check.verdict, Verdict::Refused) << typed;
        EXPECT_EQ(check.message, Refusal) << typed;
    }
}

TEST(RegistrationNumbers, ADisagreeingCheckDigitIsAQuestionNotARefusal)
{
    // 1 is not the check digit of 234567890123 (9 is).
    RegistrationNumberCheck check = checkRegistrationNumber("T1234567890123");
    EXPECT_EQ(check.verdict, Verdict::DoubtfulDigit);
    EXPECT_EQ(check.number, "T1234567890123");
    EXPECT_EQ(check.message, "登録番号の先頭の数字（チェックデジット）が残りの12桁と合いません。\n"
                             "番号をもう一度お確かめください。このまま登録しますか？");
    // Typed full-width, the stored form is kept all the same.
    check = checkRegistrationNumber("ｔ１２３４５６７８９０１２３");
    EXPECT_EQ(check.verdict, Verdict::DoubtfulDigit);
    EXPECT_EQ(check.number, "T1234567890123");
    // A 0 in front is never a check digit.
    EXPECT_EQ(checkRegistrationNumber("T0000000000000").verdict, Verdict::DoubtfulDigit);
    EXPECT_EQ(checkRegistrationNumber("T9000000000000").verdict, Verdict::Accepted);
    EXPECT_EQ(checkRegistrationNumber("T8000000000001").verdict, Verdict::Accepted);
    EXPECT_EQ(checkRegistrationNumber("T7000000000010").verdict, Verdict::Accepted);
    EXPECT_EQ(checkRegistrationNumber("T8000000000010").verdict, Verdict::DoubtfulDigit);
}
