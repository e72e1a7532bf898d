#pragma once
// Departments, products and customers the sales tests start from; their
// slip lines are filled with support/SlipLines.h.

#include "support/ShopData.h"
#include "support/SlipLines.h"

#include <QString>

inline void addDepartment(Database& db, int code, const QString& name, int taxCategory)
{
    db.exec(QStringLiteral("INSERT INTO 商品部門マスター (部門コード, 部門名, 税区分) VALUES (?, ?, ?)"),
            {code, name, taxCategory});
}

inline void addProduct(Database& db, const QString& code, int department, const QString& name, const QString& kana,
                       const char* price)
{
    db.exec(QStringLiteral("INSERT INTO 商品マスター (単品コード, 部門コード, 単品名称, 単品名称カナ, 単品売価)"
                           " VALUES (?, ?, ?, ?, ?)"),
            {code, department, name, kana, sqlValue(yen(price))});
}

// A shop with three departments and a few products:
//   1 米 (tax 0): 12 コシヒカリ５ｋｇ 2000, 4901234567894 精米１０ｋｇ 105
//   2 灯油 (tax 5): 201 灯油１８Ｌ 1500
//   3 雑貨 (tax 9): 300 配達料 0 (price asked at sale)
inline void addShopProducts(Database& db)
{
    addDepartment(db, 1, QStringLiteral("米"), 0);
    addDepartment(db, 2, QStringLiteral("灯油"), 5);
    addDepartment(db, 3, QStringLiteral("雑貨"), 9);
    addProduct(db, QStringLiteral("12"), 1, QStringLiteral("コシヒカリ５ｋｇ"), QStringLiteral("ｺｼﾋｶﾘ"), "2000");
    addProduct(db, QStringLiteral("4901234567894"), 1, QStringLiteral("精米１０ｋｇ"), QStringLiteral("ｾｲﾏｲ"), "105");
    addProduct(db, QStringLiteral("201"), 2, QStringLiteral("灯油１８Ｌ"), QStringLiteral("ﾄｳﾕ"), "1500");
    addProduct(db, QStringLiteral("300"), 3, QStringLiteral("配達料"), QStringLiteral("ﾊｲﾀﾂ"), "0");
}

inline void addCustomerRow(Database& db, const QString& code, const QString& kana, const QString& name)
{
    insertCustomer(db, {.code = code,
                        .name = name,
                        .kana = kana,
                        .telephone = QStringLiteral("03-1111-2222"),
                        .postalCode = QStringLiteral("100-0001"),
                        .address1 = QStringLiteral("東京都試験区１－１"),
                        .address2 = QStringLiteral("試験荘２０１"),
                        .lastInvoice = yen("12000"),
                        .payments = yen("5000"),
                        .sales = yen("3150")});
}
