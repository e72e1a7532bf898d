// The sales by tax rate: the figures of a hand-worked month, posted and held
// apart and together, the slip's tax row left out, whole-day bounds, the
// tax rounded per slip, empty and backward ranges, and the date index.
#include "sales/SalesByRate.h"
#include "support/TestInstallation.h"
#include "SalesByRateData.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace byrate;

namespace {

// A rate's share as "rate total base tax".
QString shareText(const RateShare& s)
{
    return QStringLiteral("%1 %2 %3 %4%5")
        .arg(s.rate.toString(), s.total.toString(), s.base().toString(), s.tax.toString(),
             s.reduced ? QStringLiteral(" 軽減") : QString());
}

QStringList sharesText(const TaxBreakdown& b)
{
    QStringList out;
    for (const RateShare& s : b.rates)
        out << shareText(s);
    out << QStringLiteral("非課税 ") + b.notTaxable.toString();
    return out;
}

QStringList linesText(const SalesByRate& figures)
{
    QStringList out;
    for (const SalesByRateLine& l : salesByRateLines(figures))
        out << QStringList{l.section, l.caption, l.total.toString(), l.base.toString(), l.tax.toString()}.join(u'|');
    return out;
}

class SalesByRateTest : public ::testing::Test {
protected:
    TestInstallation inst;
    Database db = inst.database();
    Configuration config = tenAndEight(inst.defaultConfiguration());
};

} // namespace

TEST_F(SalesByRateTest, HandWorkedMonthPostedHeldAndTogether)
{
    addMaySlips(db);
    const SalesByRate r = salesByRate(db, config, May);

    // Slip 101: 8 % 3,860 + floor(308.8) = 4,168, tax floor(4,168 × 8 / 108)
    // = 308; 10 % 2,160 + 216 = 2,376, tax 216. Its tax row of 524 is
    // neither a sale nor a non-taxable amount. Slip 100 (04/30 23:00) is
    // before the month.
    EXPECT_EQ(r.posted.slips, 1);
    EXPECT_EQ(sharesText(r.posted.figures),
              QStringList({"0.1 2376 2160 216", "0.08 4168 3860 308 軽減", "非課税 0"}));
    // Slip 202 at 18:00 of the last day counts; 4,400 contains floor(400) of
    // tax; the stamp is apart. Slip 203 (06/01) is after the month.
    EXPECT_EQ(r.held.slips, 1);
    EXPECT_EQ(sharesText(r.held.figures), QStringList({"0.1 4400 4000 400", "非課税 200"}));
    EXPECT_EQ(sharesText(r.combined),
              QStringList({"0.1 6776 6160 616", "0.08 4168 3860 308 軽減", "非課税 200"}));
    EXPECT_FALSE(r.empty());

    // The list: each section with both rates, non-taxable and their sum.
    EXPECT_EQ(linesText(r), QStringList({
                                "計上済|10%対象|2376|2160|216",
                                "|8%対象（軽減税率）|4168|3860|308",
                                "|非課税|0|0|0",
                                "|計|6544|6020|524",
                                "未計上|10%対象|4400|4000|400",
                                "|8%対象（軽減税率）|0|0|0",
                                "|非課税|200|200|0",
                                "|計|4600|4200|400",
                                "合計|10%対象|6776|6160|616",
                                "|8%対象（軽減税率）|4168|3860|308",
                                "|非課税|200|200|0",
                                "|計|11144|10220|924",
                            }));
    // The posted tax equals what slip 101 charged (its tax row).
    EXPECT_EQ(r.posted.figures.rates[0].tax + r.posted.figures.rates[1].tax, yen(524));

    // Widened to the neighbouring days, the two outside slips join: 10 %
    // 1,000 + 100 each, their 1,100 containing 100 of tax.
    const SalesByRate wide = salesByRate(db, config, {day(2024, 4, 30), day(2024, 6, 1)});
    EXPECT_EQ(wide.posted.slips, 2);
    EXPECT_EQ(wide.held.slips, 2);
    EXPECT_EQ(sharesText(wide.combined),
              QStringList({"0.1 8976 8160 816", "0.08 4168 3860 308 軽減", "非課税 200"}));

    // One day: only slip 101.
    const SalesByRate first = salesByRate(db, config, {day(2024, 5, 1), day(2024, 5, 1)});
    EXPECT_EQ(first.posted.slips, 1);
    EXPECT_EQ(first.held.slips, 0);
    EXPECT_EQ(sharesText(first.combined), QStringList({"0.1 2376 2160 216", "0.08 4168 3860 308 軽減", "非課税 0"}));
}

TEST_F(SalesByRateTest, TaxIsRoundedOncePerSlipAndRateThenSummed)
{
    // Three slips of 8 % tax-added 110: each 110 + floor(8.8) = 118 holding
    // floor(8.74) = 8 of tax, 24 in all, where one rounding over the month
    // would give floor(26.4) = 26.
    for (int slip = 1; slip <= 3; ++slip)
        addLine(db, Posted, slip, day(2024, 5, 2 + slip), 1, "110");
    SalesByRate r = salesByRate(db, config, May);
    EXPECT_EQ(sharesText(r.posted.figures), QStringList({"0.08 354 330 24 軽減", "非課税 0"}));

    // Line amounts are cut to whole yen line by line: two lines of 105 × 0.5
    // on one slip are 52 + 52 = 104 (not 105), with floor(8.32) = 8 of tax.
    addLine(db, Held, 9, day(2024, 5, 20), 1, "105", "0.5");
    addLine(db, Held, 9, day(2024, 5, 20), 1, "105", "0.5");
    r = salesByRate(db, config, May);
    EXPECT_EQ(sharesText(r.held.figures), QStringList({"0.08 112 104 8 軽減", "非課税 0"}));

    // Two rates on one slip are rounded each on its own: tax-added 15 at
    // 10 % is 16 holding 1, at 8 % 16 holding floor(1.19) = 1.
    addLine(db, Held, 10, day(2024, 5, 21), 0, "15");
    addLine(db, Held, 10, day(2024, 5, 21), 1, "15");
    r = salesByRate(db, config, May);
    EXPECT_EQ(r.held.slips, 2);
    EXPECT_EQ(sharesText(r.held.figures), QStringList({"0.1 16 15 1", "0.08 128 119 9 軽減", "非課税 0"}));
}

TEST_F(SalesByRateTest, EmptyAndBackwardRanges)
{
    addMaySlips(db);
    // No slip in the range: every rate of the configuration at zero.
    const SalesByRate none = salesByRate(db, config, {day(2024, 7, 1), day(2024, 7, 31)});
    EXPECT_TRUE(none.empty());
    const QStringList lines = linesText(none);
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[0], QStringLiteral("計上済|10%対象|0|0|0"));
    EXPECT_EQ(lines[9], QStringLiteral("|8%対象（軽減税率）|0|0|0"));
    EXPECT_EQ(lines[11], QStringLiteral("|計|0|0|0"));

    // The first day after the last is refused, naming both days.
    try {
        salesByRate(db, config, {day(2024, 6, 1), day(2024, 5, 31)});
        FAIL() << "a backward range was counted";
    } catch (const SalesByRateRangeError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("開始日（2024/06/01）が終了日（2024/05/31）より後になっています。\n"
                                              "開始日には終了日と同じ日かそれより前の日を指定してください。"));
    }

    // Two rates of one value are one row, reduced when either is: slip 101
    // is 3,860 + 386 and 2,160 + 216 = 6,622 at 10 %, holding 602.
    config.taxRate2() = QStringLiteral("0.10");
    const QStringList one = linesText(salesByRate(db, config, May));
    ASSERT_EQ(one.size(), 9);
    EXPECT_EQ(one[0], QStringLiteral("計上済|10%対象（軽減税率）|6622|6020|602"));
    EXPECT_EQ(one[8], QStringLiteral("|計|11222|10220|1002"));
}

TEST_F(SalesByRateTest, PostedSalesAreReadThroughTheDateIndex)
{
    if (db.onServer()) {
        // A server plans in its own words: with reading the whole table made
        // as dear as it gets, the month is read through the date index. Its
        // EXPLAIN takes no bound values, so they are written in.
        QString sql = salesByRateStatement(Posted);
        for (const QVariant& value : salesByRateParameters(May)) {
            const QString literal = value.typeId() == QMetaType::QString
                                        ? u'\'' + value.toString() + u'\''
                                        : QString::number(value.toDouble(), 'g', 17);
            sql.replace(sql.indexOf(u'?'), 1, literal);
        }
        db.exec(QStringLiteral("SET enable_seqscan = off"));
        QSqlQuery q = db.exec(QStringLiteral("EXPLAIN ") + sql);
        QString plan;
        while (q.next())
            plan += q.value(0).toString() + u'\n';
        db.exec(QStringLiteral("RESET enable_seqscan"));
        EXPECT_TRUE(plan.contains(QRegularExpression(QStringLiteral("Index Scan (on|using) \"売上_日付\""))))
            << plan.toStdString();
        EXPECT_FALSE(plan.contains(QStringLiteral("Seq Scan on \"売上商品マスター\""))) << plan.toStdString();
        return;
    }
    QSqlQuery q = db.exec(QStringLiteral("EXPLAIN QUERY PLAN ") + salesByRateStatement(Posted),
                          salesByRateParameters(May));
    QString plan;
    while (q.next())
        plan += q.value(3).toString() + u'\n';
    EXPECT_TRUE(plan.contains(QStringLiteral("USING INDEX 売上_日付"))) << plan.toStdString();
    EXPECT_FALSE(plan.contains(QStringLiteral("SCAN 売上商品マスター\n"))) << plan.toStdString();
}
