#pragma once
// The plain values the session state is made of: the configuration, the
// customer chosen for a slip, the slip's lines and totals, the invoice being
// printed, the journal and gas entries being made. Values only: no state and
// no global, so code that prints or computes with them (the print layouts)
// takes them as arguments without knowing the session.

#include "core/Currency.h"
#include "core/Date.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

// The 18 values of HMWcfg.dat, kept as text as read, and the values derived
// from them on reading.
struct Configuration {
    static constexpr int ValueCount = 18;
    std::array<QString, ValueCount> values; // values[0] is value 1, the company name

    QString& companyName() { return values[0]; }
    QString& address() { return values[1]; }
    QString& telephone() { return values[2]; }
    QString& companyLine(int n) { return values[2 + n]; } // n = 1..3
    QString& deliveryNoteComment() { return values[6]; }
    QString& bankLine(int n) { return values[6 + n]; }     // n = 1..2
    QString& taxRate1() { return values[9]; }
    QString& taxRate2() { return values[10]; }
    QString& databaseFileName() { return values[11]; }
    QString& databaseDirectory() { return values[12]; }
    QString& backupDirectory(int n) { return values[12 + n]; } // n = 1..2
    QString& prefixText() { return values[15]; }
    QString& counterText() { return values[16]; }
    QString& adminCodeText() { return values[17]; }
    const QString& companyName() const { return values[0]; }
    const QString& taxRate1() const { return values[9]; }
    const QString& taxRate2() const { return values[10]; }

    // Values after the 18th; an older installation's file has none, and a
    // reader of 18 values passes over them.
    // Value 19, the shop's registration number for qualified invoices ("T"
    // and 13 digits), printed in the shop's block; empty when the shop has
    // none.
    QString registrationNumber;
    // Value 20, which of the two rates (1 or 2) is the reduced one (軽減税率):
    // its lines are marked "※" on slips and invoices. Reading a file always
    // sets it; 0 (no reduced rate) is only ever a configuration made in code.
    int reducedRate = 0;

    // Derived on reading: directory immediately followed by file name
    // (nothing inserted, so the directory ends with its separator).
    QString databasePath;
    std::int16_t slipPrefix = 0;
    std::int32_t slipCounter = 0;
    std::int32_t adminCode = 0;
};

// A customer as the pickers and the frame "顧客相手先" show it: code, names,
// address, telephone, postal code and the three receivable amounts.
struct CustomerCard {
    QString code;
    QString name;
    QString kanaName;
    QString address1;
    QString address2;
    QString telephone;
    QString postalCode;
    Currency lastInvoiceAmount;       // 顧客売掛前回請求金額
    Currency paymentsSinceClosing;    // 顧客売掛入金額
    Currency creditSalesSinceClosing; // 顧客売掛締後売上額
};

// The customer a slip, payment or gas event is for, and the slip's date.
struct ChosenCustomer : CustomerCard {
    Date slipDate;
};

// The product the product picker fills before a line is added.
struct ProductBeingChosen {
    std::int16_t departmentCode = 0;
    std::int16_t taxCategory = 0;
    QString productCode; // fixed 13 characters
    QString kanaName;    // fixed 8
    QString productName; // fixed 24
    Currency unitPrice;
    Currency quantity;
};

struct SlipLine {
    std::int16_t departmentCode = 0;
    std::int16_t taxCategory = 0;
    QString productCode; // fixed 13 characters, blank-padded
    QString kanaName;    // fixed 8
    QString productName; // fixed 24
    Currency unitPrice;
    Currency quantity;
    Currency amount; // whole part of unit price × quantity
};

struct SlipTotals {
    Currency taxAddedRate1;
    Currency taxIncludedRate1;
    Currency taxAddedRate2;
    Currency taxIncludedRate2;
    Currency notTaxable;
    Currency consumptionTax;
    Currency grandTotal;
};

// One rate's share of a document.
struct RateShare {
    Currency rate;      // the decimal fraction, 0.1 for 10 %
    bool reduced = false; // the configuration's reduced rate (軽減税率)
    // The rate's lines with their tax: tax-added lines with the tax the
    // slip adds to them, tax-inclusive lines as they are.
    Currency total;
    // The tax contained in the total: whole part, toward minus infinity, of
    // total × rate / (1 + rate). On a slip of tax-added lines alone it is
    // the tax the slip charged for the rate.
    Currency tax;
    Currency base() const { return total - tax; } // the taxable amount without tax
};

struct TaxBreakdown {
    std::vector<RateShare> rates; // the rates in use, the highest first
    Currency notTaxable;          // non-taxable sales (stamps), apart
    bool empty() const { return rates.empty() && notTaxable.isZero(); }
    // Some rate in use is the reduced one: its lines are marked "※".
    bool anyReduced() const
    {
        for (const RateShare& share : rates)
            if (share.reduced)
                return true;
        return false;
    }
    // Adds another document's figures, rate by rate.
    void add(const TaxBreakdown& other);
};

namespace saleKind {
constexpr int Cash = 0;
constexpr int Credit = 1;
}

// One credit-sale line being billed on an invoice.
struct InvoiceLine {
    std::int32_t salesSerial = 0;
    Date saleDate;
    std::int16_t departmentCode = 0;
    std::int16_t taxCategory = 0;
    QString productCode; // fixed 13 characters
    QString productName; // fixed 24
    Currency unitPrice;
    Currency quantity;
    Currency amount;
};

// The values the invoice screen fills before it prints an invoice.
struct InvoiceValues {
    std::vector<InvoiceLine> lines; // detail line j (from 1) is lines[j - 1]
    int lineCount() const { return int(lines.size()); }
    Currency currentSales;          // 今回売上金額
    Currency previousInvoiceAmount; // 前回請求金額
    Date previousClosingDate;       // 前回請求締日
    Currency paymentsSinceClosing;  // 前回入金金額
    Date lastPaymentDate;           // 前回－入金日
    Date closingDate;               // 請求締切日
    Currency totalBilled;           // 合計請求金額
    // The period's sales by consumption-tax rate: the sum of the figures of
    // its slips, each slip's tax rounded on that slip.
    TaxBreakdown taxByRate;
};

// The journal-entry buffer, shared by the payment and accounting entry
// screens: the ledger row being entered.
struct JournalEntry {
    Date entryDate;
    Currency amount;
    int debitAccount = 0;
    int debitCounterparty = 0;
    int creditAccount = 0;
    QString creditCounterparty; // fixed 13 characters, blank-padded
};

// The gas-entry buffer: the one gas event being entered on the gas input
// screen, reset each time the screen opens.
struct GasEntry {
    Date entryDate;           // ガス年月日
    int kind = 0;             // ガスデータ種別コード
    QString customerCode;     // ガス相手先コード
    Currency meterValue;      // ガス検針値
    Currency usage;           // ガス使用量
    float delivered = 0;      // ガス配送量
    float remaining = 0;      // ガス残ガス量
    Currency amount;          // ガス金額 (tax included)
    int paymentAccount = 0;   // ガス経理コード, an account 1 to 999
};
