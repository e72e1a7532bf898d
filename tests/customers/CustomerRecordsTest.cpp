// The customer master's records without widgets: a new customer with its
// checks and defaults, and the load, change and deletion of one customer.
#include "customers/CustomerRecords.h"
#include "support/TestInstallation.h"

#include <QSqlQuery>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

void addCustomer(Database& db, const QString& code, const QString& kana, const QString& name)
{
    db.exec("INSERT INTO 顧客マスター (顧客コード, 顧客名前カナ, 顧客名前) VALUES (?, ?, ?)", {code, kana, name});
}

int countRows(Database& db, const QString& table, const QString& where = QString())
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"%2").arg(table, where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where))
        .toInt();
}

// What kind of value came back: what SQLite's typeof() says of a value in a
// file ("integer", "real", "text"), and on a server the kind its column holds.
QString kindOf(const QVariant& value)
{
    if (value.isNull())
        return QStringLiteral("null");
    switch (value.typeId()) {
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return QStringLiteral("integer");
    case QMetaType::Double:
    case QMetaType::Float:
        return QStringLiteral("real");
    case QMetaType::QString:
        return QStringLiteral("text");
    default:
        return QString::fromLatin1(value.typeName());
    }
}

// A new customer from the texts of its boxes, in screen order.
NewCustomer customer(const QStringList& t)
{
    auto at = [&](int i) { return i < t.size() ? t[i] : QString(); };
    return NewCustomer{at(0), at(1), at(2), at(3), at(4), at(5), at(6)};
}

// Two customers; 100 with amounts, dates and codes of its own.
struct Shop {
    TestInstallation inst;
    Database db = inst.database();
    Shop()
    {
        addCustomer(db, "100", "ｱﾍﾞ ﾀﾛｳ", "阿部　太郎");
        addCustomer(db, "200", "ｶﾜｲ ｻﾌﾞﾛｳ", "河合　三郎");
        db.exec("UPDATE 顧客マスター SET 顧客売掛前回請求金額 = 1050000, 顧客売掛入金額 = 20000,"
                " 顧客売掛前回締め日 = 45412, 顧客登録日 = 45000, 顧客灯油サービスレベル = 20,"
                " 顧客ガスボンベ１ = 50, 顧客売掛締切日 = 31 WHERE 顧客コード = '100'");
    }
};

int box(const char* column)
{
    return customerBoxIndex(QString::fromUtf8(column));
}

} // namespace

TEST(CustomerRegistration, ANewCustomerGetsSoundDefaults)
{
    Shop shop;
    const Date today = Date::fromParts(2024, 5, 1);
    const RegistrationResult result =
        registerCustomer(shop.db, customer({"300", "新井　一郎", "ｱﾗｲ ｲﾁﾛｳ", "03-1234-5678", "100-0001", "東京都", ""}), today);
    ASSERT_EQ(result.outcome, RegistrationOutcome::Stored) << result.message.toStdString();
    QSqlQuery q = shop.db.exec(
        "SELECT 顧客ガスコード, 顧客売掛請求先コード, 顧客売掛前回請求金額, 顧客売掛前回請求金額,"
        " 顧客売掛入金額, 顧客売掛締後売上額, 顧客登録日, 顧客最終売上日, 顧客店コード, 顧客売掛締切日,"
        " 顧客灯油タンク容量, 顧客ガスボンベ１, 顧客名前, 顧客住所２, 顧客住所２ FROM 顧客マスター"
        " WHERE 顧客コード = '300'");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), "0");
    EXPECT_EQ(q.value(1).toString(), "0");
    EXPECT_EQ(q.value(2).toLongLong(), 0);
    EXPECT_EQ(kindOf(q.value(3)), "integer");
    EXPECT_EQ(q.value(4).toLongLong(), 0);
    EXPECT_EQ(q.value(5).toLongLong(), 0);
    EXPECT_EQ(q.value(6).toDouble(), 45413.0);
    EXPECT_EQ(q.value(7).toDouble(), 0.0);
    EXPECT_EQ(q.value(8).toInt(), 0);
    EXPECT_EQ(q.value(9).toInt(), 0);
    EXPECT_EQ(q.value(10).toDouble(), 0.0);
    EXPECT_EQ(q.value(11).toDouble(), 0.0);
    EXPECT_EQ(q.value(12).toString(), "新井　一郎");
    EXPECT_EQ(q.value(13).toString(), "");
    EXPECT_EQ(kindOf(q.value(14)), "text");
}

TEST(CustomerRegistration, TooLongOrWrongKindIsRefusedWithTheBoxNamed)
{
    Shop shop;
    const Date today = Date::today();
    struct Case {
        NewCustomer customer;
        const char* message;
    };
    const Case cases[] = {
        {customer({"   ", "新井", "ｱﾗｲ"}), "「顧客コード」には半角数字を入力して下さい。"},
        {customer({"12a", "新井", "ｱﾗｲ"}), "「顧客コード」には半角数字を入力して下さい。"},
        {customer({"12345678901234", "新井", "ｱﾗｲ"}), "「顧客コード」は13文字以内で入力して下さい。（入力は14文字です）"},
        {customer({"301", "新井一郎新井一郎新井一郎新", "ｱﾗｲ"}), "「顧客名前」は12文字以内で入力して下さい。（入力は13文字です）"},
        {customer({"301", "新井", "アライ"}), "「顧客名前カナ」には半角カナで入力して下さい。"},
        {customer({"301", "新井", "ｱﾗｲ", "03-1234-ABCD"}), "「顧客電話番号」には半角数字を入力して下さい（区切りの「-」は使えます）。"},
        {customer({"301", "新井", "ｱﾗｲ", "", "100-0001-23"}), "「顧客郵便番号」は10文字以内で入力して下さい。（入力は11文字です）"},
    };
    for (const Case& c : cases) {
        const RegistrationResult result = registerCustomer(shop.db, c.customer, today);
        EXPECT_EQ(result.outcome, RegistrationOutcome::Refused) << c.message;
        EXPECT_EQ(result.message, QString::fromUtf8(c.message));
    }
    EXPECT_EQ(countRows(shop.db, "顧客マスター"), 2);

    // Full-width digits typed through an input method are taken as digits.
    ASSERT_EQ(registerCustomer(shop.db, customer({"３０２", "新井", "ｱﾗｲ", "０３－１２３４"}), today).outcome,
              RegistrationOutcome::Stored);
    EXPECT_EQ(shop.db.scalar("SELECT 顧客電話番号 FROM 顧客マスター WHERE 顧客コード = '302'").toString(), "03-1234");
}

TEST(CustomerRecords, LoadReadsTheColumnsInTheOrderOfTheBoxes)
{
    Shop shop;
    EXPECT_EQ(box("顧客コード"), 0);
    EXPECT_EQ(box("顧客売掛前回請求金額"), 15);
    EXPECT_EQ(box("顧客売掛決済コード"), 31);
    EXPECT_EQ(box("顧客決済方法コード"), -1);

    const std::optional<CustomerValues> values = loadCustomer(shop.db, "100");
    ASSERT_TRUE(values);
    EXPECT_EQ((*values)[0].toString(), "100");
    EXPECT_EQ((*values)[2].toString(), "阿部　太郎");
    EXPECT_EQ((*values)[3].toString(), "ｱﾍﾞ ﾀﾛｳ");
    EXPECT_EQ((*values)[10].toDouble(), 45000.0);
    EXPECT_EQ((*values)[13].toInt(), 31);
    EXPECT_EQ((*values)[15].toLongLong(), 1050000);
    EXPECT_EQ((*values)[16].toDouble(), 45412.0);
    EXPECT_EQ((*values)[17].toLongLong(), 20000);
    EXPECT_EQ((*values)[26].toInt(), 20);
    EXPECT_EQ((*values)[29].toDouble(), 50.0);
    EXPECT_FALSE(loadCustomer(shop.db, "999"));
    EXPECT_FALSE(loadCustomer(shop.db, "10"));
    // Codes compare as the slips write them, blank-padded.
    const std::optional<CustomerValues> padded = loadCustomer(shop.db, "100  ");
    ASSERT_TRUE(padded);
    EXPECT_EQ((*padded)[2].toString(), "阿部　太郎");
}

TEST(CustomerRecords, AChangeWritesTheChangedBoxesOrNothingAtAll)
{
    Shop shop;
    // The first refusal is reported and nothing of the change is written,
    // not even the boxes before the refused one.
    ChangeResult result = changeCustomer(shop.db, "100", {{2, "阿部　太一"}, {13, "32"}});
    EXPECT_FALSE(result.stored);
    EXPECT_EQ(result.message, "「顧客売掛締切日」には 1 から 31 までの日を入力して下さい（月末は 31）。");
    EXPECT_EQ(countRows(shop.db, "顧客マスター", "顧客名前 = '阿部　太郎'"), 1);

    result = changeCustomer(shop.db, "100", {{20, "999"}});
    EXPECT_FALSE(result.stored);
    EXPECT_EQ(result.message, "「顧客売掛請求先コード」の顧客「999」は登録されていません。");

    // The boxes marked "変更不可" are never written, whatever their text.
    result = changeCustomer(shop.db, "100",
                            {{2, "阿部　太一"}, {13, "２０"}, {15, "0"}, {20, "200"}, {28, " 3 "}, {29, "20.5"}});
    EXPECT_TRUE(result.stored) << result.message.toStdString();
    EXPECT_EQ(result.message, "");
    QSqlQuery q = shop.db.exec("SELECT 顧客名前, 顧客売掛締切日, 顧客売掛前回請求金額, 顧客売掛請求先コード,"
                               " 顧客ガスタイプ, 顧客ガスタイプ, 顧客ガスボンベ１ FROM 顧客マスター"
                               " WHERE 顧客コード = '100'");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), "阿部　太一");
    EXPECT_EQ(q.value(1).toInt(), 20);
    EXPECT_EQ(q.value(2).toLongLong(), 1050000);
    EXPECT_EQ(q.value(3).toString(), "200");
    EXPECT_EQ(q.value(4).toInt(), 3);
    EXPECT_EQ(kindOf(q.value(5)), "integer");
    EXPECT_EQ(q.value(6).toDouble(), 20.5);

    // Nothing changed is stored without a word.
    result = changeCustomer(shop.db, "100", {});
    EXPECT_TRUE(result.stored);
    EXPECT_EQ(result.message, "");
}

TEST(CustomerRecords, AChangeTheDatabaseRefusesOrThatFindsNoCustomerIsReported)
{
    Shop shop;
    ChangeResult result = changeCustomer(shop.db, "100", {{0, "200"}});
    EXPECT_FALSE(result.stored);
    EXPECT_EQ(result.message, "Data error event hit err:顧客コードが重複しています。変更して下さい。");
    EXPECT_EQ(countRows(shop.db, "顧客マスター", "顧客コード = '100'"), 1);

    // Deleted meanwhile on another screen.
    result = changeCustomer(shop.db, "300", {{2, "新井"}});
    EXPECT_FALSE(result.stored);
    EXPECT_EQ(result.message, "顧客「300」が見つかりません。ほかの画面で削除されたかもしれません。");
    EXPECT_EQ(countRows(shop.db, "顧客マスター"), 2);
}

TEST(CustomerRecords, ACustomerStillReferredToIsKeptOnDeletion)
{
    Shop shop;
    shop.db.exec("INSERT INTO 売上商品マスター (売上シリアル, 売上伝票番号, 売上年月日, 売上顧客コード, 売上単品コード,"
                 " 売上単価, 売上個数) VALUES (1, 7, 45000, '100', '1001', 10000000, 10000)");
    EXPECT_FALSE(deleteCustomer(shop.db, "100"));
    EXPECT_EQ(countRows(shop.db, "顧客マスター", "顧客コード = '100'"), 1);

    shop.db.exec("UPDATE 顧客マスター SET 顧客売掛請求先コード = '200' WHERE 顧客コード = '100'");
    EXPECT_FALSE(deleteCustomer(shop.db, "200"));
    EXPECT_EQ(countRows(shop.db, "顧客マスター", "顧客コード = '200'"), 1);

    shop.db.exec("UPDATE 顧客マスター SET 顧客売掛請求先コード = '0' WHERE 顧客コード = '100'");
    EXPECT_TRUE(deleteCustomer(shop.db, "200"));
    EXPECT_EQ(countRows(shop.db, "顧客マスター"), 1);
}
