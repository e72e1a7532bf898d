#pragma once
// The print module (mdlSubPrt): the three-part sales slip sheet, the
// invoice with its continuation pages, and the blocks the receipt sheet
// reuses. Every item is placed at a fixed position in twips: origin plus
// offset, the origin being the top-left corner of the block being printed.
// The routines print the values they are handed and keep nothing; the
// shop's lines come from the configuration values.

#include "session/Values.h"
#include "core/Date.h"

#include <cstdint>
#include <vector>

class PrintSurface;

// Top-left corner of the block being printed, in twips.
struct PrintOrigin {
    int x = 0;
    int y = 0;
};

// Prepares a surface for a direct print-out: A4 portrait (every surface
// is), the pen at (0, 0), 12 points, no underline. Every print-out calls it
// first.
void setUpPrinter(PrintSurface& surface);

// The four cutting lines between the three bands of a slip-sized sheet
// (also used by the receipt sheet).
void printCuttingLines(PrintSurface& surface);

// What the slip sheet prints besides the shop: the slip being paid for.
struct SlipPrintout {
    int saleKind = saleKind::Cash;
    // The number the slip is about to be stored under (currentSlipNumber).
    std::int32_t slipNumber = 0;
    // The customer's latest posted sale, printed after "Prv."; the zero date
    // prints blank.
    Date previousSaleDate;
    ChosenCustomer customer; // with the slip date
    std::vector<SlipLine> lines;
    SlipTotals totals;
};

// The three-part sales slip sheet on one print job "納品書": delivery note,
// then receipt and payment slip (cash) or acknowledgement and shop copy
// (credit). A slip with no lines prints nothing. Throws PrintError, before
// anything is printed, when the slip has more lines than the sheet's five
// rows, and when the printer fails.
void printSlipSet(const Configuration& shop, const SlipPrintout& slip);

// Slip date, slip number and previous-sale date.
void printSlipHeading(PrintSurface& surface, PrintOrigin origin, const SlipPrintout& slip);
// The customer's address box: postal code, code, address, name (underlined)
// and telephone.
void printCustomerBlock(PrintSurface& surface, PrintOrigin origin, const CustomerCard& customer);
// The shop's name, address, telephone, three company lines and, when it has
// one, its registration number.
void printCompanyBlock(PrintSurface& surface, PrintOrigin origin, const Configuration& shop);
// The line table of one slip: seven rules, the headings and five rows; rows
// past the slip's lines print as an empty line does (blank texts, zero
// figures through their masks). Lines sold at the shop's reduced rate are
// marked "※" before their name.
void printSlipLines(PrintSurface& surface, PrintOrigin origin, const std::vector<SlipLine>& lines,
                    const Configuration& shop);
// The two tax rates, the totals by tax category, the consumption tax and
// the grand total; under them each rate's total and tax (the figures a
// qualified invoice states) and the note for the "※" marks.
void printTaxSummary(PrintSurface& surface, PrintOrigin origin, const Configuration& shop, const SlipTotals& totals);
// The thank-you line with the delivery-note comment.
void printThanksLine(PrintSurface& surface, PrintOrigin origin, const Configuration& shop);

// The invoice for a customer: pages of 40 detail lines, each page its own
// print job "請求書", the first with the invoice head and the others marked
// as continuation pages. An invoice with no lines is one page with an empty
// table. issueDate is the date printed as the date of issue. While print-outs
// are previewed, the pages are one document, previewed (and printed from
// the preview) together.
void printInvoice(const Configuration& shop, const CustomerCard& customer, const InvoiceValues& invoice,
                  Date issueDate);
