#include "sales/SlipStore.h"

#include "core/Text.h"
#include "db/ClosedPeriod.h"
#include "db/Database.h"

#include <limits>

namespace {

// The configuration as the files hold it, so that a number taken for a
// slip that failed is handed out again (and a shop on a server keeps the
// location HMWsrv.dat names).
void rereadConfiguration(SessionState& state, const QString& configPath, SlipStoreResult& result)
{
    try {
        state.config = readConfiguration(configPath);
    } catch (const ConfigurationError& e) {
        result.messages.push_back({e.message(), StoreFailedTitle});
    }
}

SlipStoreResult failure(SessionState& state, const QString& configPath)
{
    SlipStoreResult result;
    result.messages.push_back({StoreFailedMessage, StoreFailedTitle});
    rereadConfiguration(state, configPath, result);
    return result;
}

SlipStoreResult refusal(const QString& message)
{
    SlipStoreResult result;
    result.messages.push_back({message, StoreFailedTitle});
    return result;
}

void insertSalesRow(Database& db, std::int32_t number, const SessionState& state, int department, int taxCategory,
                    const QString& code, const QString& name, Currency price, Currency quantity)
{
    db.exec(QStringLiteral(
                "INSERT INTO 売上商品マスター仮 (売上伝票番号, 売上年月日, 売上顧客コード, 売上種別コード, 売上部門コード,"
                " 売上税区分コード, 売上単品コード, 売上単品名, 売上単価, 売上個数) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {number, sqlValue(state.customer.slipDate), state.customer.code, state.saleKind, department, taxCategory,
             code, name, sqlValue(price), sqlValue(quantity)});
}

} // namespace

std::vector<SlipLedgerRow> slipLedgerRows(const SlipTotals& totals)
{
    const SlipLedgerRow all[] = {
        {5000, totals.taxAddedRate1},    {5010, totals.taxAddedRate2}, {5050, totals.taxIncludedRate1},
        {5060, totals.taxIncludedRate2}, {5090, totals.notTaxable},    {3079, totals.consumptionTax},
    };
    std::vector<SlipLedgerRow> rows;
    for (const SlipLedgerRow& row : all)
        if (!row.amount.isZero())
            rows.push_back(row);
    return rows;
}

QString storedProductName(const QString& productName)
{
    return text::fixed(text::fixed(productName, 24), 12);
}

std::optional<QString> closedSlipDate(Database& db, const SessionState& state)
{
    try {
        requireOpenPeriod(db, state.customer.slipDate);
    } catch (const ClosedPeriodError& e) {
        return e.message();
    }
    return std::nullopt;
}

SlipStoreResult storeSlip(Database& db, SessionState& state, const QString& configPath)
{
    if (state.lineCount <= 0)
        return {};
    // The customer picker closed without a choice: such a slip would be
    // nobody's sale and could never be billed.
    if (state.customer.code.trimmed().isEmpty())
        return refusal(QStringLiteral("顧客が選ばれていないため、伝票を記録できません。"));
    if (const std::optional<QString> refused = closedSlipDate(db, state))
        return refusal(*refused);
    try {
        // A counter at the largest value can give this slip its number but
        // cannot advance past it: the next slip would get the same number.
        if (state.config.slipCounter == std::numeric_limits<std::int32_t>::max())
            throw SlipNumberOverflow();
        const std::int32_t number = currentSlipNumber(state.config);
        const int debit = state.saleKind == saleKind::Credit ? ReceivablesAccount : CashAccount;

        Transaction tx(db);
        for (int i = 1; i <= state.lineCount; ++i) {
            const SlipLine& line = state.lines[i];
            insertSalesRow(db, number, state, line.departmentCode, line.taxCategory, text::fixed(line.productCode, 13),
                           storedProductName(line.productName), line.unitPrice, line.quantity);
        }
        if (!state.totals.consumptionTax.isZero())
            insertSalesRow(db, number, state, TaxLineDepartment, TaxLineCategory, TaxLineProductCode, TaxLineName,
                           state.totals.consumptionTax, Currency::fromUnits(1));
        for (const SlipLedgerRow& row : slipLedgerRows(state.totals))
            db.exec(QStringLiteral(
                        "INSERT INTO 経理マスター仮 (経理伝票番号, 経理年月日, 経理金額, 経理借方コード, 経理借方相手先コード,"
                        " 経理貸方コード, 経理貸方相手先コード) VALUES (?, ?, ?, ?, 0, ?, ?)"),
                    {number, sqlValue(state.customer.slipDate), sqlValue(row.amount), debit, row.creditAccount,
                     state.customer.code});
        tx.commit();
    } catch (const std::exception&) {
        // The transaction has rolled back on leaving its scope.
        return failure(state, configPath);
    }

    SlipStoreResult result;
    result.stored = true;
    try {
        writeConfiguration(state.config, configPath);
    } catch (const ConfigurationError& e) {
        // The sale is stored; only the counter in the file is behind. The
        // start-up moves it past the numbers in use.
        result.messages.push_back(
            {QStringLiteral("売上伝票は記録しましたが、次の伝票番号を設定ファイルに書き込めませんでした。\n") + e.message(),
             StoreFailedTitle});
    }
    return result;
}

SlipStoreResult storeSlip(SessionState& state, const QString& configPath)
{
    if (state.lineCount <= 0)
        return {};
    try {
        Database db(state.config.databasePath);
        return storeSlip(db, state, configPath);
    } catch (const DatabaseError&) {
        return failure(state, configPath);
    }
}
