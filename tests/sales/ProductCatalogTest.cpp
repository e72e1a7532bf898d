// What the product pickers read: products found by their code, padded or
// not.
#include "sales/ProductCatalog.h"
#include "support/TestInstallation.h"
#include "SalesData.h"

#include <gtest/gtest.h>

namespace {

class ProductCatalogTest : public ::testing::Test {
protected:
    void SetUp() override { addShopProducts(db); }

    TestInstallation inst;
    Database db = inst.database();
};

} // namespace

TEST_F(ProductCatalogTest, CodesAreFoundPaddedOrNot)
{
    addProduct(db, QStringLiteral("77           "), 1, QStringLiteral("詰め物の付いた行"), QStringLiteral(""), "10");
    for (const QString& code : {QStringLiteral("12"), QStringLiteral("12           "), QStringLiteral("77"),
                                QStringLiteral("77           ")}) {
        EXPECT_TRUE(findProduct(db, code).has_value()) << code.toStdString();
    }
    EXPECT_EQ(findProduct(db, QStringLiteral("12 "))->price, yen("2000"));
    EXPECT_FALSE(findProduct(db, QStringLiteral("1")).has_value());
    // A quoted code is a code like any other.
    EXPECT_FALSE(findProduct(db, QStringLiteral("' OR '1'='1")).has_value());
}
