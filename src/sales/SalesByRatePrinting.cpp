#include "sales/SalesByRatePrinting.h"

#include "core/Text.h"
#include "print/PrintSurface.h"
#include "print/ReportEngine.h"
#include "print/SlipPrinting.h"
#include "ui/UiService.h"

#include <algorithm>
#include <memory>

namespace L = salesByRateLayout;

namespace {

void put(PrintSurface& p, int x, int y, double points, const QString& s, int fitWidth = 0)
{
    p.setFontSize(points);
    p.text(x, y, s, fitWidth);
}

// A text that ends at `right`.
void putRight(PrintSurface& p, int right, int y, double points, const QString& s)
{
    p.setFontSize(points);
    p.text(right - p.textWidth(s), y, s);
}

} // namespace

void printSalesByRate(PrintSurface& p, const Configuration& shop, const SalesByRate& figures, Date printDate)
{
    setUpPrinter(p);
    put(p, L::Left, L::TitleY, L::TitlePoints, SalesByRateTitle);

    // The shop at the right, the period at the left.
    p.setFontSize(L::TextPoints);
    const QString shopName = shop.companyName().trimmed();
    const int shopWidth = std::min(p.textWidth(shopName), 4800);
    put(p, L::Right - shopWidth, L::ShopY, L::TextPoints, shopName, shopWidth);
    if (!shop.registrationNumber.isEmpty())
        putRight(p, L::Right, L::RegistrationY, L::TextPoints, QStringLiteral("登録番号　") + shop.registrationNumber);
    putRight(p, L::Right, L::PrintDateY, L::TextPoints,
             QStringLiteral("印刷日　") + text::format(printDate, QStringLiteral("yyyy/mm/dd")));
    put(p, L::Left, L::ShopY, L::TextPoints, salesByRatePeriod(figures.range), L::Right - shopWidth - 200 - L::Left);

    p.line(L::Left, L::HeadingRuleY, L::Right, L::HeadingRuleY);
    put(p, L::SectionX, L::HeadingY, L::TextPoints, QStringLiteral("区分"));
    put(p, L::CaptionX, L::HeadingY, L::TextPoints, QStringLiteral("税率"));
    putRight(p, L::TotalRight, L::HeadingY, L::TextPoints, QStringLiteral("税込金額"));
    putRight(p, L::BaseRight, L::HeadingY, L::TextPoints, QStringLiteral("税抜金額"));
    putRight(p, L::TaxRight, L::HeadingY, L::TextPoints, QStringLiteral("消費税額"));
    p.line(L::Left, L::BodyRuleY, L::Right, L::BodyRuleY);

    int y = L::FirstRowY;
    bool firstSection = true;
    for (const SalesByRateLine& line : salesByRateLines(figures)) {
        if (!line.section.isEmpty()) {
            if (!firstSection)
                y += L::SectionGap;
            firstSection = false;
            put(p, L::SectionX, y, L::TextPoints, line.section, L::CaptionX - L::SectionX - 100);
        }
        if (line.sum)
            p.line(L::CaptionX, y - 30, L::Right, y - 30);
        put(p, L::CaptionX, y, L::TextPoints, line.caption, L::TotalRight - 2000 - L::CaptionX);
        putRight(p, L::TotalRight, y, L::TextPoints, amountText(line.total));
        putRight(p, L::BaseRight, y, L::TextPoints, amountText(line.base));
        putRight(p, L::TaxRight, y, L::TextPoints, amountText(line.tax));
        y += L::RowHeight;
    }
    p.line(L::Left, y, L::Right, y);
    put(p, L::Left, y + 200, L::TextPoints, SalesByRateNote);
    p.endDocument();
}

void printSalesByRate(const Configuration& shop, const SalesByRate& figures)
{
    BusyCursor busy;
    std::unique_ptr<PrintSurface> surface = openPrintSurface(SalesByRateTitle);
    printSalesByRate(*surface, shop, figures, Date::today());
}

void saveSalesByRatePdf(const Configuration& shop, const SalesByRate& figures)
{
    BusyCursor busy;
    std::unique_ptr<PrintSurface> surface = openPdfSurface(SalesByRateTitle);
    printSalesByRate(*surface, shop, figures, Date::today());
}
