#pragma once
// The print module (mdlSubPrt): the three-part sales slip sheet, the
// invoice with its continuation pages, and the blocks the receipt sheet
// reuses. Every item is placed at a fixed position in twips: origin plus
// offset, the origin being the top-left corner of the block being printed.
// The routines read the session state and print; they keep nothing.

#include "session/Session.h"
#include "core/Date.h"

class PrintSurface;

// Top-left corner of the block being printed, in twips.
struct PrintOrigin {
    int x = 0;
    int y = 0;
};

// Prepares a surface for a direct print-out: A4 portrait (every surface
// is), the pen at (0, 0), 12 points, no underline. Every print-out calls it
// first.
void SetUpPrinter(PrintSurface& surface);

// The four cutting lines between the three bands of a slip-sized sheet
// (also used by the receipt sheet).
void PrintCuttingLines(PrintSurface& surface);

// The three-part sales slip sheet on one print job "納品書": delivery note,
// then receipt and payment slip (cash) or acknowledgement and shop copy
// (credit). A slip with no lines prints nothing. Throws PrintError when the
// printer fails or the buffer holds more lines than the sheet's five rows,
// and SlipNumberOverflow when the slip number does not fit; in both cases
// before anything is printed.
void PrintSlipSet(const SessionState& s = session());

// Slip date, slip number and previous-sale date.
void PrintSlipHeading(PrintSurface& surface, PrintOrigin origin, const SessionState& s = session());
// The customer's address box: postal code, code, address, name (underlined)
// and telephone.
void PrintCustomerBlock(PrintSurface& surface, PrintOrigin origin, const ChosenCustomer& customer = session().customer);
// The shop's name, address, telephone and three company lines.
void PrintCompanyBlock(PrintSurface& surface, PrintOrigin origin, const Configuration& config = session().config);
// The line table of one slip: seven rules, the headings and five rows.
void PrintSlipLines(PrintSurface& surface, PrintOrigin origin, const SessionState& s = session());
// The totals by tax category, the consumption tax and the grand total.
void PrintTaxSummary(PrintSurface& surface, PrintOrigin origin, const SessionState& s = session());
// The thank-you line with the delivery-note comment.
void PrintThanksLine(PrintSurface& surface, PrintOrigin origin, const Configuration& config = session().config);

// The invoice of the session's invoice values for the chosen customer:
// pages of 40 detail lines, each page its own print job "請求書", the first
// with the invoice head and the others marked as continuation pages. An
// invoice with no lines is one page with an empty table. issueDate is the
// date printed as the date of issue.
void PrintInvoice(const SessionState& s = session(), Date issueDate = Date::today());
