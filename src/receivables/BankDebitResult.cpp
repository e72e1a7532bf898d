#include "receivables/BankDebitResult.h"

#include "core/Text.h"
#include "db/ClosedPeriod.h"
#include "receivables/ReceivablePayment.h"

#include <QSqlQuery>
#include <algorithm>
#include <limits>

NotAResultFile::NotAResultFile()
    : OperatorError(QStringLiteral("このファイルには振替結果コードの入った明細がありません。"
                                   "銀行から返された結果ファイルではないため、何も記録していません。"),
                    "not a result file")
{
}

DamagedResultFile::DamagedResultFile(const QString& problem)
    : OperatorError(problem + QStringLiteral("\n結果ファイルが完全ではないため、何も記録していません。"
                                             "銀行から受け取ったファイルを確かめて下さい。"),
                    problem.toStdString()),
      problem_(problem)
{
}

namespace {

QString yen(Currency amount)
{
    return text::format(amount, QStringLiteral("#,##0"));
}

// The payments of `plan` booked by an earlier run whose journal row is still
// in the holding or the posted ledger, each earlier payment matched once.
void setAsideEarlierPayments(Database& db, ResultPlan& plan)
{
    std::vector<ResultPlan::Payment> toBook;
    std::vector<std::int32_t> matched;
    for (const ResultPlan::Payment& p : plan.payments) {
        QSqlQuery q = db.exec(QStringLiteral(
                                  "SELECT p.引落入金伝票番号, r.引落結果処理日 FROM 引落結果入金ＴＢＬ AS p"
                                  " JOIN 引落結果処理ＴＢＬ AS r ON r.引落結果シリアル = p.引落入金結果シリアル"
                                  " WHERE p.引落入金顧客コード = ? AND p.引落入金引落日 = ? AND p.引落入金金額 = ?"
                                  " AND (EXISTS (SELECT 1 FROM 経理マスター仮 WHERE 経理伝票番号 = p.引落入金伝票番号)"
                                  " OR EXISTS (SELECT 1 FROM 経理マスター WHERE 経理伝票番号 = p.引落入金伝票番号))"
                                  " ORDER BY p.引落入金シリアル"),
                              {p.customerCode, sqlValue(plan.debitDate), sqlValue(p.amount)});
        std::optional<ResultPlan::EarlierPayment> earlier;
        while (!earlier && q.next()) {
            const std::int32_t slip = q.value(0).toInt();
            if (std::find(matched.begin(), matched.end(), slip) == matched.end())
                earlier = ResultPlan::EarlierPayment{p, slip, dateValue(q.value(1))};
        }
        if (earlier) {
            matched.push_back(earlier->slipNumber);
            plan.alreadyBooked.push_back(*earlier);
            plan.alreadyBookedTotal += p.amount;
            plan.paymentsTotal -= p.amount;
        } else {
            toBook.push_back(p);
        }
    }
    plan.payments = std::move(toBook);
}

} // namespace

ResultPlan planResultRun(Database& db, const bankfile::ResultFile& file, const Date& paymentDate)
{
    if (!file.whole())
        throw DamagedResultFile(file.problem);
    if (!file.hasResultCodes())
        throw NotAResultFile();
    ResultPlan plan;
    plan.fingerprint = file.fingerprint;
    plan.debitDate = debitDateNear(file.debitMonth, file.debitDay, paymentDate);
    for (const bankfile::ResultRecord& r : file.dataRecords) {
        const Currency amount = r.amount.value_or(Currency());
        if (!r.debited()) {
            plan.notDebited += 1;
            plan.notDebitedTotal += amount;
            continue;
        }
        if (r.customerCode.trimmed().isEmpty()) {
            plan.unreadable.push_back(r.recordNumber);
            continue;
        }
        QSqlQuery customer = db.exec(QStringLiteral("SELECT 顧客コード, 顧客名前 FROM 顧客マスター WHERE 顧客コード = ?"),
                                     {r.customerCode});
        if (customer.next()) {
            plan.payments.push_back({r.recordNumber, customer.value(0).toString(), customer.value(1).toString(), amount});
            plan.paymentsTotal += amount;
        } else {
            plan.unmatched.push_back({r.recordNumber, r.customerCode, amount});
            plan.unmatchedTotal += amount;
        }
    }
    setAsideEarlierPayments(db, plan);
    return plan;
}

Date debitDateNear(int month, int day, const Date& near)
{
    Date nearest;
    std::int64_t distance = std::numeric_limits<std::int64_t>::max();
    for (int year = near.year() - 1; year <= near.year() + 1; ++year) {
        const Date candidate = Date::fromParts(year, month, day);
        const std::int64_t d = std::abs(candidate.dayNumber() - near.dayNumber());
        if (d < distance) {
            nearest = candidate;
            distance = d;
        }
    }
    return nearest;
}

void bookEarlierPaymentsAgain(ResultPlan& plan)
{
    for (const ResultPlan::EarlierPayment& e : plan.alreadyBooked) {
        plan.payments.push_back(e.payment);
        plan.paymentsTotal += e.payment.amount;
    }
    std::sort(plan.payments.begin(), plan.payments.end(),
              [](const ResultPlan::Payment& a, const ResultPlan::Payment& b) { return a.recordNumber < b.recordNumber; });
    plan.alreadyBooked.clear();
    plan.alreadyBookedTotal = Currency();
}

std::optional<ProcessedRun> previousRun(Database& db, const QByteArray& fingerprint)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT 引落結果処理日, 引落結果入金日, 引落結果件数, 引落結果金額, 引落結果ファイル名"
                                         " FROM 引落結果処理ＴＢＬ WHERE 引落結果指紋 = ? ORDER BY 引落結果シリアル DESC LIMIT 1"),
                          {QString::fromLatin1(fingerprint)});
    if (!q.next())
        return std::nullopt;
    ProcessedRun run;
    run.processedOn = dateValue(q.value(0));
    run.paymentDate = dateValue(q.value(1));
    run.payments = q.value(2).toInt();
    run.total = currencyValue(q.value(3));
    run.fileName = q.value(4).toString();
    return run;
}

namespace {

constexpr std::int64_t LargestSlipNumber = std::numeric_limits<std::int32_t>::max();

// How many slip numbers the configuration can still give: each must fit
// the signed 32-bit range, and the counter must move past the last.
std::int64_t slipNumbersLeft(const Configuration& config)
{
    const std::int64_t first = std::int64_t(config.slipPrefix) * 100000000 + config.slipCounter;
    if (first < std::numeric_limits<std::int32_t>::min())
        return 0;
    return std::max<std::int64_t>(0, std::min(LargestSlipNumber - first + 1, LargestSlipNumber - config.slipCounter));
}

} // namespace

void checkSlipNumbers(const Configuration& config, int count)
{
    if (count <= 0)
        return;
    currentSlipNumber(config); // the first number
    if (slipNumbersLeft(config) < count)
        throw SlipNumberOverflow();
}

QString slipNumbersMessage(const Configuration& config, int count)
{
    return SlipNumberOverflow().message()
           + QStringLiteral("\n何も記録していません。\n"
                            "この処理には伝票番号が %1 個要りますが、いまの頭番号 %2・カウンター %3 から使えるのは %4 個です"
                            "（伝票番号の上限は %5）。\n"
                            "伝票番号の頭番号とカウンターは会社設定の画面では変えられません。"
                            "設定ファイル HMWcfg.dat の 16 行目（伝票番号の頭番号）をまだ使っていない番号に、"
                            "17 行目（カウンター）を 1 に書き換えてプログラムを起動し直し、もう一度処理して下さい。"
                            "起動のときカウンターは使用中の番号の次へ進みます。")
                 .arg(count)
                 .arg(config.slipPrefix)
                 .arg(config.slipCounter)
                 .arg(slipNumbersLeft(config))
                 .arg(LargestSlipNumber);
}

BookedRun bookResultRun(Database& db, Configuration& config, const ResultPlan& plan, const Date& paymentDate,
                        int debitAccount, const QString& fileName, const QString& configPath)
{
    BookedRun booked;
    const int count = int(plan.payments.size());
    if (count == 0)
        return booked;
    requireOpenPeriod(db, paymentDate);
    checkSlipNumbers(config, count);
    booked.firstSlipNumber = currentSlipNumber(config);
    booked.lastSlipNumber = booked.firstSlipNumber + (count - 1);
    {
        Transaction tx(db);
        const QVariant run = db.scalar(
            QStringLiteral("INSERT INTO 引落結果処理ＴＢＬ (引落結果指紋, 引落結果ファイル名, 引落結果処理日, 引落結果入金日,"
                           " 引落結果件数, 引落結果金額, 引落結果先頭伝票番号, 引落結果最終伝票番号) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"
                           " RETURNING 引落結果シリアル"),
            {QString::fromLatin1(plan.fingerprint), fileName, sqlValue(Date::today()), sqlValue(paymentDate), count,
             sqlValue(plan.paymentsTotal), booked.firstSlipNumber, booked.lastSlipNumber});
        std::int32_t number = booked.firstSlipNumber;
        for (const ResultPlan::Payment& p : plan.payments) {
            db.exec(QStringLiteral("INSERT INTO 経理マスター仮 (経理伝票番号, 経理年月日, 経理金額, 経理借方コード,"
                                   " 経理借方相手先コード, 経理貸方コード, 経理貸方相手先コード) VALUES (?, ?, ?, ?, 0, ?, ?)"),
                    {number, sqlValue(paymentDate), sqlValue(p.amount), debitAccount, PaymentCreditAccount, p.customerCode});
            db.exec(QStringLiteral("INSERT INTO 引落結果入金ＴＢＬ (引落入金結果シリアル, 引落入金顧客コード, 引落入金引落日,"
                                   " 引落入金金額, 引落入金伝票番号) VALUES (?, ?, ?, ?, ?)"),
                    {run, p.customerCode, sqlValue(plan.debitDate), sqlValue(p.amount), number});
            ++number;
        }
        tx.commit();
    }
    // Every row took one number: the counter moves past the last one, and
    // the file is rewritten once. A file that cannot be written leaves the
    // counter in memory advanced all the same, so this run never reuses a
    // number; start-up moves the file's counter past the numbers in use.
    config.slipCounter += count - 1;
    try {
        writeConfiguration(config, configPath);
    } catch (const ConfigurationError& e) {
        booked.counterError = e.message();
    }
    return booked;
}

namespace {

QString customerText(const ResultPlan::Payment& p)
{
    return QStringLiteral("顧客 %1 %2").arg(p.customerCode, p.customerName).trimmed();
}

// One line per payment in the books already: who, how much, when and under
// which slip number it was booked.
QString alreadyBookedLines(const ResultPlan& plan)
{
    QStringList lines;
    for (const ResultPlan::EarlierPayment& e : plan.alreadyBooked)
        lines << QStringLiteral("　%1　%2 円（%3 に処理、伝票番号 %4）")
                     .arg(customerText(e.payment), yen(e.payment.amount), e.processedOn.toShortString())
                     .arg(e.slipNumber);
    return lines.join(u'\n');
}

} // namespace

QString resultRunSummary(const ResultPlan& plan)
{
    QStringList lines;
    lines << QStringLiteral("入金を記録した顧客：%1 件　%2 円").arg(plan.payments.size()).arg(yen(plan.paymentsTotal));
    lines << QStringLiteral("引き落とされなかった顧客：%1 件　%2 円").arg(plan.notDebited).arg(yen(plan.notDebitedTotal));
    QStringList codes;
    for (const ResultPlan::Unmatched& u : plan.unmatched)
        codes << u.customerCode;
    lines << QStringLiteral("顧客マスターにない顧客：%1 件　%2 円").arg(plan.unmatched.size()).arg(yen(plan.unmatchedTotal))
                 + (codes.isEmpty() ? QString() : QStringLiteral("（顧客コード %1）").arg(codes.join(QStringLiteral("、"))));
    if (!plan.unmatched.empty())
        lines << QStringLiteral("　引き落とされたこの入金は記録していません。顧客を確かめ、売掛入金で記録して下さい。");
    if (!plan.unreadable.empty()) {
        QStringList numbers;
        for (int n : plan.unreadable)
            numbers << QString::number(n);
        lines << QStringLiteral("金額か顧客コードが読めない明細：%1 件（%2 行目）").arg(plan.unreadable.size()).arg(numbers.join(u','));
        lines << QStringLiteral("　この明細の入金は記録していません。銀行の明細を確かめ、売掛入金で記録して下さい。");
    }
    if (!plan.alreadyBooked.empty())
        lines << QStringLiteral("記録済みのため記録しなかった入金：%1 件　%2 円")
                     .arg(plan.alreadyBooked.size())
                     .arg(yen(plan.alreadyBookedTotal));
    return lines.join(u'\n');
}

QString repeatedRunQuestion(const ProcessedRun& run)
{
    return QStringLiteral("このファイルは %1 に処理済みです（入金日 %2、%3 件　%4 円）。\n"
                          "もう一度処理すると、同じ入金が二重に記録されます。処理を続けますか？")
        .arg(run.processedOn.toShortString(), run.paymentDate.toShortString())
        .arg(run.payments)
        .arg(yen(run.total));
}

QString alreadyBookedQuestion(const ResultPlan& plan)
{
    return QStringLiteral("次の %1 件の入金（引落日 %2）は、前の処理で記録済みです。もう一度は記録しません。\n%3\n"
                          "残りの %4 件　%5 円の入金を記録しますか？")
        .arg(plan.alreadyBooked.size())
        .arg(plan.debitDate.toShortString(), alreadyBookedLines(plan))
        .arg(plan.payments.size())
        .arg(yen(plan.paymentsTotal));
}

QString everyPaymentBookedMessage(const ResultPlan& plan)
{
    return QStringLiteral("このファイルの入金 %1 件（引落日 %2）は、前の処理ですべて記録済みです。何も記録していません。\n%3")
        .arg(plan.alreadyBooked.size())
        .arg(plan.debitDate.toShortString(), alreadyBookedLines(plan));
}
