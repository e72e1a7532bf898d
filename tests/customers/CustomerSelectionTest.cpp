// What the customer pickers read: names by first kana letter, gas customers
// only in the gas picker, and the first customer in table order.
#include "customers/CustomerData.h"
#include "customers/CustomerSelection.h"
#include "support/TestInstallation.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

// The codes a list statement returns, in list order.
QStringList listed(Database& db, CustomerScope scope, const QString& pattern = {})
{
    const CustomerListStatement st = customerListStatement(scope, pattern);
    QSqlQuery q = db.exec(st.sql, st.params);
    QStringList codes;
    while (q.next())
        codes << q.value(0).toString();
    return codes;
}

// The kana shop: voiced initials, an empty kana name, letters without a
// button, and names full of quotes and GLOB characters.
void addKanaShop(Database& db)
{
    addCustomer(db, {"K01", QStringLiteral("ｶﾜｲ ﾊﾅｺ")});
    addCustomer(db, {"K02", QStringLiteral("ｶﾞｯｺｳ ｼﾞﾛｳ"), QStringLiteral("学校　次郎"), "1"});
    addCustomer(db, {"K03", QStringLiteral("ｷﾀ ｻﾌﾞﾛｳ")});
    addCustomer(db, {"E01", QString()});
    addCustomer(db, {"W01", QStringLiteral("ｦｶﾞﾜ")});
    addCustomer(db, {"N01", QStringLiteral("ﾝｼﾞｬﾒﾅ")});
    addCustomer(db, {"S01", QStringLiteral("ｧｲ")});
    addCustomer(db, {"A01", QStringLiteral("ｱｵｷ ｲﾁﾛｳ"), QStringLiteral("青木　一郎"), "2"});
    addCustomer(db, {"Q'1", QStringLiteral("ｱ'[*]?"), QStringLiteral("O'Brien"), "3"});
    addCustomer(db, {"Q02", QStringLiteral("*ｱ"), QStringLiteral("星"), "4"});
    addCustomer(db, {"Q03", QStringLiteral("[ｱ-ﾜ]"), QStringLiteral("括弧")});
    addCustomer(db, {"Y01", QStringLiteral("ﾕｷ"), QStringLiteral("雪"), "0"});
}

} // namespace

TEST(KanaInitials, EachButtonFindsItsHalfWidthLetter)
{
    // Captions and letters pinned at the places a skipped or shifted letter
    // would show: the gaps of the や row, the last button.
    const std::pair<int, const char*> pinned[] = {{0, "あ"}, {5, "か"}, {34, "も"}, {35, "や"},
                                                  {36, "ゆ"}, {37, "よ"}, {38, "ら"}, {43, "わ"}};
    for (auto [index, caption] : pinned)
        EXPECT_EQ(kanaInitialCaption(index), QString::fromUtf8(caption)) << index;
    const std::pair<int, const char*> patterns[] = {{0, "ｱ*"}, {5, "ｶ*"}, {10, "ｻ*"}, {35, "ﾔ*"},
                                                    {36, "ﾕ*"}, {37, "ﾖ*"}, {42, "ﾛ*"}, {43, "ﾜ*"}};
    for (auto [index, pattern] : patterns)
        EXPECT_EQ(kanaInitialPattern(index), QString::fromUtf8(pattern)) << index;
    EXPECT_EQ(kanaInitialPattern(44), QString());
    EXPECT_EQ(kanaInitialCaption(-1), QString());
}

TEST(CustomerList, AButtonFindsItsLetterAndItsVoicedFormsOnly)
{
    TestInstallation inst;
    Database db = inst.database();
    addKanaShop(db);

    // ｶﾞ is ｶ followed by the voicing mark: found under か, sorted by the
    // half-width codes, where ﾜ comes before the mark ﾞ.
    EXPECT_EQ(listed(db, CustomerScope::All, kanaInitialPattern(5)), QStringList({"K01", "K02"}));
    EXPECT_EQ(listed(db, CustomerScope::All, kanaInitialPattern(6)), QStringList({"K03"}));
    // Quotes, brackets and stars in a name are only text: the pattern is
    // bound, never part of the statement.
    EXPECT_EQ(listed(db, CustomerScope::All, kanaInitialPattern(0)), QStringList({"Q'1", "A01"}));

    // Names without a button of their own (empty, ｦ, ﾝ, small letters,
    // punctuation first) appear only under 全.
    QSet<QString> underButtons;
    for (int i = 0; i < KanaInitialCount; ++i)
        for (const QString& code : listed(db, CustomerScope::All, kanaInitialPattern(i)))
            underButtons.insert(code);
    EXPECT_EQ(underButtons, QSet<QString>({"K01", "K02", "K03", "A01", "Q'1", "Y01"}));
    const QStringList all = listed(db, CustomerScope::All);
    EXPECT_EQ(all.size(), 12);
    EXPECT_EQ(all.first(), "E01"); // the empty name sorts first
    EXPECT_TRUE(all.contains("W01") && all.contains("N01") && all.contains("S01") && all.contains("Q02"));
}

TEST(CustomerList, TheGasScopeNeverOffersACustomerWithoutGas)
{
    TestInstallation inst;
    Database db = inst.database();
    addKanaShop(db);
    EXPECT_EQ(listed(db, CustomerScope::Gas), QStringList({"Q02", "Q'1", "A01", "K02"}));
    for (int i = 0; i < KanaInitialCount; ++i)
        for (const QString& code : listed(db, CustomerScope::Gas, kanaInitialPattern(i)))
            EXPECT_TRUE(code == "A01" || code == "Q'1" || code == "K02") << code.toStdString() << " under " << i;
    EXPECT_EQ(listed(db, CustomerScope::Gas, kanaInitialPattern(36)), QStringList()); // ﾕｷ has gas code 0
    EXPECT_EQ(listed(db, CustomerScope::All, kanaInitialPattern(36)), QStringList({"Y01"}));
}

TEST(CustomerDetailsLookup, FirstCustomerIsTheFirstRowAddedNotTheFirstName)
{
    TestInstallation inst;
    Database db = inst.database();
    EXPECT_FALSE(firstCustomer(db, CustomerScope::All));

    addCustomer(db, {"900", QStringLiteral("ﾜﾀﾅﾍﾞ"), QStringLiteral("渡辺　花子"), "0", 1050000, 20000, 3333});
    addCustomer(db, {"100", QStringLiteral("ｱﾍﾞ"), QStringLiteral("阿部　太郎"), "7", 0, 0, 0, 20.5});
    const auto first = firstCustomer(db, CustomerScope::All);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->code, "900");
    EXPECT_EQ(first->name, QStringLiteral("渡辺　花子"));
    EXPECT_EQ(first->address1, QStringLiteral("住所１の900"));
    EXPECT_EQ(first->lastInvoiceAmount, Currency::fromUnits(105));
    EXPECT_EQ(first->paymentsSinceClosing, Currency::fromUnits(2));
    EXPECT_EQ(first->creditSalesSinceClosing.toString(), "0.3333");

    // The gas picker starts on the first gas customer.
    const auto gas = firstCustomer(db, CustomerScope::Gas);
    ASSERT_TRUE(gas);
    EXPECT_EQ(gas->code, "100");
    EXPECT_FLOAT_EQ(gas->gasCylinder1, 20.5f);

    // A lookup by code: the gas scope does not find a customer without gas.
    EXPECT_EQ(findCustomer(db, "100", CustomerScope::All)->name, QStringLiteral("阿部　太郎"));
    EXPECT_FALSE(findCustomer(db, "900", CustomerScope::Gas));
    EXPECT_FALSE(findCustomer(db, "' OR '1'='1", CustomerScope::All));
}
