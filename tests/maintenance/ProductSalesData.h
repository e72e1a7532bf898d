#pragma once
// Two products and the posted sales lines of May 2024 around product 12.

#include "core/Text.h"
#include "maintenance/ProductSalesCount.h"
#include "support/TestInstallation.h"
#include "MaintenanceData.h"

#include <QString>
#include <gtest/gtest.h>

namespace maintenance {

inline const QString Rice = QStringLiteral("精米１０ｋｇ");

// Department 1 with products 12 (Rice, 105) and 123 (もち米２ｋｇ, 900),
// stored as typed in the product master.
inline void addProducts(Database& db)
{
    db.exec(QStringLiteral("INSERT INTO 商品部門マスター (部門コード, 部門名, 税区分) VALUES (1, '米', 0)"));
    // Stored as typed in the product master; the sales lines carry the
    // codes padded to 13 characters.
    db.exec(QStringLiteral("INSERT INTO 商品マスター (単品コード, 部門コード, 単品名称, 単品名称カナ, 単品売価)"
                           " VALUES ('12', 1, ?, 'ｾｲﾏｲ', ?), ('123', 1, 'もち米２ｋｇ', 'ﾓﾁｺﾞﾒ', ?)"),
            {Rice, sqlValue(yen("105")), sqlValue(yen("900"))});
}

// May 2024 around product 12: the range's ends, a neighbouring code and
// an unposted line.
inline void addMayLines(Database& db)
{
    const QString padded12 = text::fixed(QStringLiteral("12"), 13);
    addSalesLine(db, 1000, at(2024, 4, 30, 23, 59), padded12, Rice, "105", "3");
    addSalesLine(db, 1001, day(2024, 5, 1), padded12, Rice, "105", "0.5");
    addSalesLine(db, 1002, day(2024, 5, 10), text::fixed(QStringLiteral("123"), 13), QStringLiteral("もち米２ｋｇ"), "900", "1");
    addSalesLine(db, 1003, at(2024, 5, 31, 18, 0), padded12, Rice, "105", "1");
    addSalesLine(db, 1004, day(2024, 6, 1), padded12, Rice, "105", "7");
    addSalesLine(db, 1005, day(2024, 5, 15), padded12, Rice, "105", "2", QStringLiteral("売上商品マスター仮"));
}

// An installation with the two products, the May lines on request, and the
// query for product 12 over May.
class ProductSalesFixture : public ::testing::Test {
protected:
    void SetUp() override { addProducts(db); }

    void addMayLines() { maintenance::addMayLines(db); }

    TestInstallation inst;
    Database db = inst.database();
    const ProductSalesQuery may{QStringLiteral("12"), day(2024, 5, 1), day(2024, 5, 31)};
};

} // namespace maintenance
