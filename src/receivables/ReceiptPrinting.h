#pragma once
// The receipt sheet on paper: an A4 page of three bands (receipt for the
// customer, collection slip for the collector, payment slip for the shop),
// each with the customer and company blocks. The figures and dates come
// from ReceiptIssuing.h.

#include "receivables/ReceiptIssuing.h"
#include "session/Values.h"

class PrintSurface;

// Draws the sheet on a surface: the cutting lines, the three bands, the
// customer and company blocks in each band. The document is not ended.
void drawReceiptSheet(PrintSurface& surface, const ReceiptSheet& sheet, const ChosenCustomer& customer,
                      const Configuration& config);
// Prints the sheet as one print job "領収書". Throws PrintError when the
// printer fails.
void printReceiptSheet(const ReceiptSheet& sheet, const ChosenCustomer& customer, const Configuration& config);
