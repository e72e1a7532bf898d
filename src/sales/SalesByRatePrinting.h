#pragma once
// The print-out of the sales by tax rate: one A4 page with the title, the
// shop's name and registration number, the period, the date of printing,
// the table of salesByRateLines() and the note on how the tax is computed.

#include "core/Date.h"
#include "sales/SalesByRate.h"

class PrintSurface;

inline const QString SalesByRateTitle = QStringLiteral("税率別売上一覧");
inline const QString SalesByRateNote = QStringLiteral("消費税額は伝票ごとに税率別に計算した額の合計です。");

// Page geometry, in twips from the top-left of the printable area.
namespace salesByRateLayout {
constexpr int Left = 700;
constexpr int Right = 11200;
constexpr int TitleY = 300;
constexpr int ShopY = 800;            // the shop's name, right-aligned; the period at the left
constexpr int RegistrationY = 1060;   // "登録番号　T…", right-aligned, when the shop has one
constexpr int PrintDateY = 1320;      // "印刷日　yyyy/mm/dd", right-aligned
constexpr int HeadingRuleY = 1640;
constexpr int HeadingY = 1690;
constexpr int BodyRuleY = 1960;
constexpr int FirstRowY = 2040;
constexpr int RowHeight = 300;
constexpr int SectionGap = 160;       // between 計上済, 未計上 and 合計
constexpr int SectionX = Left;        // 区分
constexpr int CaptionX = 1900;        // 税率
constexpr int TotalRight = 7000;      // 税込金額 ends here
constexpr int BaseRight = 9100;       // 税抜金額
constexpr int TaxRight = Right;       // 消費税額
constexpr double TitlePoints = 16;
constexpr double TextPoints = 10;
}

// Draws the list on a surface and ends the document.
void printSalesByRate(PrintSurface& surface, const Configuration& shop, const SalesByRate& figures, Date printDate);
// Prints the list on a surface from openPrintSurface (the printer, or a PDF
// file the operator is told about), dated today. Throws PrintError when the
// printer or the file fails.
void printSalesByRate(const Configuration& shop, const SalesByRate& figures);
// Writes the list, dated today, to a new PDF file in the folder 印刷 beside
// the program (whatever printer there is) and tells the operator where it
// is. Throws PrintError when the file fails.
void saveSalesByRatePdf(const Configuration& shop, const SalesByRate& figures);
