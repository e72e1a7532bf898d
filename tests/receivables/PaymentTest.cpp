// Recording a payment: the journal row as it starts, the amount typed, the
// row and its slip number, and what stays when a step fails.
#include "session/Routines.h"
#include "receivables/ReceivablePayment.h"
#include "support/RefusedWrites.h"
#include "support/TestInstallation.h"
#include "PaymentData.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

class PaymentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        addPaymentShop(db);
        SessionState& s = testSession();
        s.customer.code = QStringLiteral("12");
        s.customer.lastInvoiceAmount = yen("5000");
        s.customer.slipDate = Date::fromParts(2024, 5, 1);
    }

    QString counterInFile() const
    {
        return parseConfiguration(inst.configurationFileBytes(), QStringLiteral("test")).counterText();
    }

    TestInstallation inst;
    Database db = inst.database();
};

} // namespace

TEST_F(PaymentTest, BufferStartsFromTheBilledAmountWithNoMeans)
{
    SessionState& s = testSession();
    JournalEntry payment;
    payment.debitAccount = 20; // left from an earlier entry
    payment = startPayment(s.customer);
    EXPECT_EQ(payment.entryDate, Date::fromParts(2024, 5, 1));
    EXPECT_EQ(payment.amount, yen("5000"));
    EXPECT_EQ(payment.debitAccount, 0);
    EXPECT_EQ(payment.debitCounterparty, 0);
    EXPECT_EQ(payment.creditAccount, 110);
    EXPECT_EQ(payment.creditCounterparty, QStringLiteral("12           "));
    EXPECT_FALSE(paymentReady(payment));
    payment.debitAccount = 100;
    EXPECT_TRUE(paymentReady(payment));
    payment.amount = Currency();
    EXPECT_FALSE(paymentReady(payment));
}

TEST_F(PaymentTest, OnlyAWholeAmountCounts)
{
    const std::pair<const char*, const char*> cases[] = {
        {"5000", "5000"}, {" -300 ", "-300"}, {"1,050", "1050"}, {"１２３", "123"}, {"12.5", "12.5"},
        {"12ab", "0"},    {"", "0"},          {"-", "0"},        {"0", "0"},       {"1.2.3", "0"},
        {"0.00", "0"},
    };
    for (const auto& [typed, expected] : cases)
        EXPECT_EQ(typedPaymentAmount(QString::fromUtf8(typed)).toString(), QString::fromUtf8(expected)) << typed;
}

TEST_F(PaymentTest, OnePaymentIsOneRowUnderTheNextSlipNumber)
{
    SessionState& s = testSession();
    s.config.slipPrefix = 3;
    s.config.slipCounter = 12345;
    JournalEntry payment = startPayment(s.customer);
    payment.amount = yen("-300");
    payment.debitAccount = 100;

    const std::optional<StoredPayment> stored = storePayment(db, s, payment, inst.configurationPath());
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->slipNumber, 300012345);
    EXPECT_TRUE(stored->counterError.isEmpty());
    const QString day = QString::number(Date::fromParts(2024, 5, 1).serial());
    EXPECT_EQ(holdingLedgerRows(db), QStringList({"300012345|" + day + "|-3000000|100|0|110|12           "}));
    EXPECT_EQ(s.config.slipCounter, 12346);
    EXPECT_EQ(counterInFile(), QStringLiteral(" 12346"));

    // A second payment takes the next number.
    ASSERT_TRUE(storePayment(db, s, payment, inst.configurationPath()));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT MAX(経理伝票番号) FROM 経理マスター仮")).toInt(), 300012346);
}

TEST_F(PaymentTest, PaymentNotReadyWritesNothing)
{
    SessionState& s = testSession();
    JournalEntry payment = startPayment(s.customer);
    EXPECT_FALSE(storePayment(db, s, payment, inst.configurationPath())); // no means
    payment.debitAccount = 10;
    payment.amount = Currency();
    EXPECT_FALSE(storePayment(db, s, payment, inst.configurationPath())); // amount 0
    EXPECT_TRUE(holdingLedgerRows(db).isEmpty());
    EXPECT_EQ(s.config.slipCounter, 1);
    EXPECT_EQ(counterInFile(), QStringLiteral(" 1"));
}

TEST_F(PaymentTest, RefusedRowOrFullCounterWritesNothingAndKeepsTheNumber)
{
    SessionState& s = testSession();
    JournalEntry payment = startPayment(s.customer);
    payment.debitAccount = 10;
    addRefusal(db, QStringLiteral("CREATE TRIGGER fail BEFORE INSERT ON 経理マスター仮 BEGIN SELECT RAISE(ABORT, '書き込み失敗'); END"));
    EXPECT_THROW(storePayment(db, s, payment, inst.configurationPath()), DatabaseError);
    EXPECT_EQ(s.config.slipCounter, 1);
    EXPECT_EQ(counterInFile(), QStringLiteral(" 1"));
    dropRefusal(db, QStringLiteral("fail"), QStringLiteral("経理マスター仮"));

    s.config.slipCounter = std::numeric_limits<std::int32_t>::max();
    EXPECT_THROW(storePayment(db, s, payment, inst.configurationPath()), SlipNumberOverflow);
    s.config.slipCounter = 1;
    s.config.slipPrefix = 22; // 22 × 100000000 + 1 does not fit
    EXPECT_THROW(storePayment(db, s, payment, inst.configurationPath()), SlipNumberOverflow);
    EXPECT_TRUE(holdingLedgerRows(db).isEmpty());
    EXPECT_EQ(counterInFile(), QStringLiteral(" 1"));
}

TEST_F(PaymentTest, RowStaysWhenTheCounterCannotBeWrittenAndStartUpMovesPastIt)
{
    SessionState& s = testSession();
    JournalEntry payment = startPayment(s.customer);
    payment.debitAccount = 10;
    const std::optional<StoredPayment> stored =
        storePayment(db, s, payment, inst.path(QStringLiteral("missing-folder/HMWcfg.dat")));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->slipNumber, 1);
    EXPECT_FALSE(stored->counterError.isEmpty());
    EXPECT_EQ(holdingLedgerRows(db).size(), 1);
    // This run does not hand the number out again.
    EXPECT_EQ(s.config.slipCounter, 2);

    // The file still says 1; the next start-up moves it past the row.
    Configuration fromFile = parseConfiguration(inst.configurationFileBytes(), QStringLiteral("test"));
    EXPECT_TRUE(recoverSlipCounter(db, fromFile, inst.configurationPath()));
    EXPECT_EQ(counterInFile(), QStringLiteral(" 2"));
}
