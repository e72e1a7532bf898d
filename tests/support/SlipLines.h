#pragma once
// Filling the session's slip buffer as the sales slip screen fills it: a
// new slip for a customer and day, and lines as the product picker adds
// them.

#include "core/Text.h"
#include "session/Routines.h"
#include "session/Session.h"
#include "support/ShopData.h"

#include <QString>
#include <cstdint>
#include <gtest/gtest.h>

// Empties the slip buffer and starts a slip of `kind` (saleKind::Cash,
// saleKind::Credit) for customer `code` dated `date`.
inline void startSlip(SessionState& s, const QString& code, const Date& date, int kind)
{
    clearSlip(s);
    s.customer.code = code;
    s.customer.slipDate = date;
    s.saleKind = kind;
}

// Appends a line to the slip buffer as the product picker does: code,
// name and kana padded to their fixed widths, the amount the whole part of
// price × quantity.
inline void appendSlipLine(SessionState& s, int department, int taxCategory, const QString& code,
                           const QString& name, const char* price, const char* quantity,
                           const QString& kana = QString())
{
    SlipLine& line = s.lines[++s.lineCount];
    line.departmentCode = std::int16_t(department);
    line.taxCategory = std::int16_t(taxCategory);
    line.productCode = text::fixed(code, 13);
    line.kanaName = text::fixed(kana, 8);
    line.productName = text::fixed(name, 24);
    line.unitPrice = yen(price);
    line.quantity = yen(quantity);
    line.amount = (line.unitPrice * line.quantity).Int();
}

// Adds a line as the product picker does, through the routine itself: the
// product chosen (department 3), then addSlipLine, then the totals.
inline void addChosenLine(SessionState& s, int taxCategory, const char* code, const char* kana, const char* name,
                          const char* price, const char* quantity)
{
    s.product.departmentCode = 3;
    s.product.taxCategory = std::int16_t(taxCategory);
    s.product.productCode = QString::fromUtf8(code);
    s.product.kanaName = QString::fromUtf8(kana);
    s.product.productName = QString::fromUtf8(name);
    s.product.unitPrice = yen(price);
    s.product.quantity = yen(quantity);
    ASSERT_EQ(addSlipLine(s, {}), SlipLineOutcome::Added);
    computeSlipTotals(s);
}
