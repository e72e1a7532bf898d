#include "ForecastData.h"

#include "db/Database.h"

#include <QDate>
#include <sqlite3.h>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

// A small fixed-seed generator, so every run writes the same shop.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    int between(int low, int high) // both included
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return low + int((state_ >> 33) % std::uint64_t(high - low + 1));
    }

private:
    std::uint64_t state_;
};

// One prepared INSERT on the raw connection: the generator writes close to a
// million rows, and Qt's per-row overhead would dominate.
class Insert {
public:
    Insert(sqlite3* db, const char* sql) : db_(db)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~Insert() { sqlite3_finalize(stmt_); }
    Insert& text(int i, const std::string& v)
    {
        sqlite3_bind_text(stmt_, i, v.c_str(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Insert& integer(int i, std::int64_t v)
    {
        sqlite3_bind_int64(stmt_, i, v);
        return *this;
    }
    Insert& real(int i, double v)
    {
        sqlite3_bind_double(stmt_, i, v);
        return *this;
    }
    void run()
    {
        if (sqlite3_step(stmt_) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(db_));
        sqlite3_reset(stmt_);
    }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

std::string code(int i)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%05d", i);
    return buffer;
}

// Product codes as slips store them: blank-padded to 13 characters.
std::string padded(const char* product)
{
    std::string s(product);
    s.resize(13, ' ');
    return s;
}

int monthOf(std::int64_t day)
{
    return Date::fromSerial(double(day)).month();
}

} // namespace

GeneratedForecastShop generateForecastShop(Database& db, const Date& cutoff, const ForecastVolume& v)
{
    GeneratedForecastShop made;
    Random random(20240510);
    const std::int64_t last = cutoff.dayNumber() - 1;
    const std::int64_t first = cutoff.dayNumber() - 365LL * v.years;
    Transaction tx(db);
    sqlite3* h = db.handle();

    Insert product(h, "INSERT INTO 商品マスター (単品コード, 部門コード, 単品名称, 単品米キロ, 単品灯油Ｌ) VALUES (?, ?, ?, ?, ?)");
    struct P { const char* code; int department; const char* name; double kg; double litres; };
    const P products[] = {{"1001", 1, "県産こしひかり　１０ｋｇ", 10, 0}, {"1002", 1, "無洗米　５ｋｇ", 5, 0},
                          {"2001", 2, "灯油　配達（１Ｌ）", 0, 1},      {"2002", 2, "灯油　１８Ｌ缶", 0, 18},
                          {"6001", 6, "洗剤", 0, 0}};
    for (const P& p : products)
        product.text(1, p.code).integer(2, p.department).text(3, p.name).real(4, p.kg).real(5, p.litres).run();

    Insert customer(h, "INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客電話番号, 顧客灯油タンク容量, 顧客ガスコード,"
                       " 顧客ガスタイプ, 顧客ガスボンベ１, 顧客ガスボンベ２) VALUES (?, ?, ?, ?, '1', ?, ?, ?)");
    Insert sale(h, "INSERT INTO 売上商品マスター (売上シリアル, 売上伝票番号, 売上年月日, 売上顧客コード, 売上部門コード,"
                   " 売上単品コード, 売上単品名, 売上単価, 売上個数) VALUES (?, ?, ?, ?, ?, ?, '', 0, ?)");
    Insert gas(h, "INSERT INTO ガスデータ (ガス年月日, ガスデータ種別コード, ガス相手先コード, ガス検針値, ガス配送量,"
                  " ガス残ガス量) VALUES (?, ?, ?, ?, ?, ?)");
    std::int64_t serial = 0;
    auto addSale = [&](std::int64_t day, const std::string& who, int department, const char* productCode,
                       std::int64_t quantity) {
        ++serial;
        sale.integer(1, serial).integer(2, serial).real(3, double(day)).text(4, who).integer(5, department)
            .text(6, padded(productCode)).integer(7, quantity * 10000).run();
        ++made.salesRows;
    };

    const int methods[] = {1, 2, 6};
    for (int i = 1; i <= v.customers; ++i) {
        const std::string who = code(i);
        const int cylinder = random.between(0, 1) ? 50 : 20;
        const int method = methods[i % 3];
        customer.text(1, who).text(2, "顧客" + std::to_string(i)).text(3, "0263-00-" + std::to_string(1000 + i))
            .real(4, 90 + 50 * random.between(0, 8)).integer(5, method).real(6, cylinder).real(7, cylinder).run();

        // Rice: a household's own cycle, a few days either way.
        const int cycle = random.between(20, 45);
        for (std::int64_t d = first + random.between(0, cycle); d <= last; d += cycle + random.between(-3, 3)) {
            const bool big = random.between(0, 2) > 0;
            addSale(d, who, 1, big ? "1001" : "1002", random.between(0, 30) == 0 ? -1 : random.between(1, 2));
            if (random.between(0, 1))
                addSale(d, who, 6, "6001", 1);
        }
        // Kerosene: every 10 to 20 days in the heating season, twice in summer.
        for (std::int64_t d = first + random.between(0, 20); d <= last; d += random.between(10, 20)) {
            const int month = monthOf(d);
            const bool season = month >= 11 || month <= 3;
            if (!season && random.between(0, 30) != 0)
                continue;
            if (random.between(0, 3) == 0)
                addSale(d, who, 2, "2002", random.between(1, 3));
            else
                addSale(d, who, 2, "2001", random.between(60, 200));
        }
        // Gas: a monthly reading, a delivery with its reading every third
        // month, a change of cylinders once a year or so.
        std::int64_t meter = random.between(0, 5000);
        int month = 0;
        for (std::int64_t d = first + random.between(0, 30); d <= last; d += random.between(28, 33), ++month) {
            meter += random.between(3, 15);
            int kind = 1;
            double delivered = 0, leftover = 0;
            if (month % 12 == 11) {
                kind = 5;
                delivered = cylinder;
                leftover = random.between(0, 5);
            } else if (month % 3 == 2) {
                kind = 6;
                delivered = cylinder;
                leftover = random.between(0, 10);
            }
            gas.real(1, double(d)).integer(2, kind).text(3, who).integer(4, meter * 10000).real(5, delivered)
                .real(6, leftover).run();
            ++made.gasRows;
        }
    }
    tx.commit();
    return made;
}
