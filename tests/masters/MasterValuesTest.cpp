// The value rules of the master screens and the operator's words for a
// refusal of the database, without a screen.
#include "masters/DatabaseMessages.h"
#include "masters/MasterValues.h"

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
