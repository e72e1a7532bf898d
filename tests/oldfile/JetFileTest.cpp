// The reader of the old shop's database file, on two sample files of the
// format: a Jet 3 file written on a Western system (code page 1252) and a
// Jet 4 file of dates from 1898 to 9999.
#include "oldfile/JetFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString fixtures = QStringLiteral(HIMAWARI_JET_FIXTURES);

QString fixture(const QString& name)
{
    return fixtures + QLatin1Char('/') + name;
}

#define REQUIRE_FIXTURE(name)                                                                                    \
    if (!QFileInfo::exists(fixture(name)))                                                                       \
    GTEST_SKIP() << "the sample file " << qPrintable(fixture(name)) << " is absent; the reader is not tested on it"

// The rows of a table whose first column is `key`, found by that key.
OldRow rowWith(const OldDataSource& source, const QString& table, std::int64_t key, int nth = 0)
{
    OldRow found;
    int seen = 0;
    source.readRows(table, [&](const OldRow& row) {
        if (std::get<std::int64_t>(row.at(0)) == key && seen++ == nth)
            found = row;
    });
    return found;
}

int columnIndex(const OldDataSource& source, const QString& table, const QString& column)
{
    const QList<OldColumn> columns = source.columns(table);
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].name == column)
            return i;
    ADD_FAILURE() << "no column " << qPrintable(column) << " in " << qPrintable(table);
    return -1;
}

QString refusal(const QString& path, const QByteArray& codePage = JetFile::Jet3DefaultCodePage)
{
    try {
        JetFile file(path, codePage);
    } catch (const OperatorError& e) {
        return e.message();
    }
    return QStringLiteral("(opened)");
}

} // namespace

TEST(JetFile, Jet3TablesColumnsAndTypes)
{
    REQUIRE_FIXTURE("nwind.mdb");
    const JetFile file(fixture("nwind.mdb"), "CP1252");
    EXPECT_EQ(file.jetVersion(), 3);
    EXPECT_EQ(file.declaredCodePage(), 1252);
    // User tables only, in the file's order: none of the MSys tables.
    EXPECT_EQ(file.tableNames(), QStringList({"Order Details", "Orders", "Products", "Shippers", "Categories",
                                              "Customers", "Employees", "Suppliers", QStringLiteral("Umsätze")}));

    const QList<OldColumn> products = file.columns("Products");
    ASSERT_EQ(products.size(), 10);
    EXPECT_EQ(products[0].name, "ProductID");
    EXPECT_EQ(products[0].type, JetType::LongInteger);
    EXPECT_EQ(products[1].type, JetType::Text);
    EXPECT_EQ(products[5].name, "UnitPrice");
    EXPECT_EQ(products[5].type, JetType::Currency);
    EXPECT_EQ(products[6].type, JetType::Integer);
    EXPECT_EQ(products[9].name, "Discontinued");
    EXPECT_EQ(products[9].type, JetType::Boolean);

    const QList<OldColumn> details = file.columns("Order Details");
    ASSERT_EQ(details.size(), 5);
    EXPECT_EQ(details[4].name, "Discount");
    EXPECT_EQ(details[4].type, JetType::Single);
    const QList<OldColumn> employees = file.columns("Employees");
    EXPECT_EQ(employees[5].type, JetType::DateTime);
    EXPECT_EQ(employees[14].type, JetType::OleObject);
    EXPECT_EQ(employees[15].type, JetType::Memo);

    EXPECT_EQ(file.rows("Products").size(), 77);
    EXPECT_EQ(file.rows("Order Details").size(), 2155);
    EXPECT_EQ(file.rows("Orders").size(), 830);
}

TEST(JetFile, CurrencySingleAndYesNoFromTheirOwnBytes)
{
    REQUIRE_FIXTURE("nwind.mdb");
    const JetFile file(fixture("nwind.mdb"), "CP1252");

    // Money as the file's count of ten-thousandths: 18.0000 is 180000.
    const OldRow chai = rowWith(file, "Products", 1);
    EXPECT_EQ(std::get<QString>(chai[1]), "Chai");
    EXPECT_EQ(std::get<Currency>(chai[5]).ticks(), 180000);
    EXPECT_EQ(std::get<std::int64_t>(chai[6]), 39);
    EXPECT_EQ(std::get<bool>(chai[9]), false);
    const OldRow gumbo = rowWith(file, "Products", 5);
    EXPECT_EQ(std::get<Currency>(gumbo[5]).ticks(), 213500);
    EXPECT_EQ(std::get<bool>(gumbo[9]), true);
    EXPECT_EQ(std::get<Currency>(rowWith(file, "Products", 29)[5]).ticks(), 1237900);

    // Order 10248: 14.0000 and 9.8000, no discount.
    const OldRow first = rowWith(file, "Order Details", 10248, 0);
    EXPECT_EQ(std::get<std::int64_t>(first[1]), 11);
    EXPECT_EQ(std::get<Currency>(first[2]).ticks(), 140000);
    EXPECT_EQ(std::get<std::int64_t>(first[3]), 12);
    EXPECT_EQ(std::get<float>(first[4]), 0.0f);
    const OldRow second = rowWith(file, "Order Details", 10248, 1);
    EXPECT_EQ(std::get<Currency>(second[2]).ticks(), 98000);

    // The discount is the file's float itself: 0.15f, not the double 0.15.
    const OldRow discounted = rowWith(file, "Order Details", 10250, 1);
    EXPECT_EQ(std::get<std::int64_t>(discounted[1]), 51);
    ASSERT_TRUE(std::holds_alternative<float>(discounted[4]));
    EXPECT_EQ(std::get<float>(discounted[4]), 0.15f);
    EXPECT_NE(double(std::get<float>(discounted[4])), 0.15);
    EXPECT_EQ(std::get<float>(rowWith(file, "Order Details", 10251, 0)[4]), 0.05f);
}

TEST(JetFile, DateTimeAsTheDaySerialAndNullAsNull)
{
    REQUIRE_FIXTURE("nwind.mdb");
    const JetFile file(fixture("nwind.mdb"), "CP1252");
    const int orderDate = columnIndex(file, "Orders", "OrderDate");
    const int shipped = columnIndex(file, "Orders", "ShippedDate");
    const int freight = columnIndex(file, "Orders", "Freight");
    const int region = columnIndex(file, "Orders", "ShipRegion");

    const OldRow order = rowWith(file, "Orders", 10330);
    const Date date = std::get<Date>(order[orderDate]);
    EXPECT_EQ(date, Date::fromParts(1994, 11, 16));
    EXPECT_EQ(date.serial(), 34654.0);
    EXPECT_EQ(date.toShortString(), "1994/11/16");
    EXPECT_EQ(std::get<Date>(order[shipped]).toShortString(), "1994/11/28");
    EXPECT_EQ(std::get<Currency>(order[freight]).ticks(), 127500);
    EXPECT_EQ(std::get<QString>(order[region]), "Lara");

    // Order 10248 has no region: null, not an empty text.
    EXPECT_TRUE(isNull(rowWith(file, "Orders", 10248)[region]));
}

TEST(JetFile, MemoAndOleObject)
{
    REQUIRE_FIXTURE("nwind.mdb");
    const JetFile file(fixture("nwind.mdb"), "CP1252");
    const OldRow davolio = rowWith(file, "Employees", 1);
    EXPECT_EQ(std::get<QString>(davolio[1]), "Davolio");
    EXPECT_EQ(std::get<QString>(davolio[7]), "507 - 20th Ave. E.\r\nApt. 2A");
    EXPECT_EQ(std::get<Date>(davolio[5]).toShortString(), "1948/12/08");
    EXPECT_EQ(std::get<QByteArray>(davolio[14]).size(), 21626);
    EXPECT_TRUE(std::get<QString>(davolio[15]).startsWith("Education includes a BA in psychology"));
    EXPECT_EQ(std::get<std::int64_t>(davolio[16]), 2);
}

TEST(JetFile, Jet3TextInTheCodePageTheReaderSets)
{
    REQUIRE_FIXTURE("nwind.mdb");
    // Told the file's code page, the names and texts come out whole, and
    // the table outside ASCII is found by its name.
    const JetFile western(fixture("nwind.mdb"), "CP1252");
    EXPECT_TRUE(western.hasTable(QStringLiteral("Umsätze")));
    const QList<OldColumn> sales = western.columns(QStringLiteral("Umsätze"));
    ASSERT_EQ(sales.size(), 14);
    EXPECT_EQ(sales[0].name, "OrderID");
    const OldRow sale = rowWith(western, QStringLiteral("Umsätze"), 10330);
    EXPECT_EQ(std::get<QString>(sale[9]), QStringLiteral("Carrera 52 con Ave. Bolívar #65-98 Llano Largo"));
    EXPECT_EQ(std::get<QString>(rowWith(western, "Products", 26)[1]), QStringLiteral("Gumbär Gummibärchen"));
    EXPECT_EQ(std::get<QString>(rowWith(western, "Products", 77)[1]),
              QStringLiteral("Original Frankfurter grüne Soße"));

    // Unless told otherwise the reader decodes Jet 3 text as CP932, whatever
    // the header or the environment say: the bytes "ä t" (E4 74) are one
    // double-byte character there.
    qputenv("MDB_JET3_CHARSET", "CP1252");
    const JetFile japanese(fixture("nwind.mdb"));
    qunsetenv("MDB_JET3_CHARSET");
    EXPECT_EQ(japanese.declaredCodePage(), 1252);
    EXPECT_FALSE(japanese.hasTable(QStringLiteral("Umsätze")));
    EXPECT_TRUE(japanese.hasTable(QStringLiteral("Ums\u8229ze")));
    EXPECT_EQ(std::get<QString>(rowWith(japanese, "Products", 1)[1]), "Chai");
}

TEST(JetFile, Jet4DatesToTheYear9999AndUnicodeText)
{
    REQUIRE_FIXTURE("dates.mdb");
    const JetFile file(fixture("dates.mdb"));
    EXPECT_EQ(file.jetVersion(), 4);
    EXPECT_EQ(file.tableNames(), QStringList({"DateTest"}));
    const QList<OldColumn> columns = file.columns("DateTest");
    ASSERT_EQ(columns.size(), 6);
    EXPECT_EQ(columns[1].name, "DateTimeCol");
    EXPECT_EQ(columns[1].type, JetType::DateTime);
    EXPECT_EQ(columns[4].type, JetType::Memo);
    EXPECT_EQ(columns[5].type, JetType::Text);

    const QList<OldRow> rows = file.rows("DateTest");
    ASSERT_EQ(rows.size(), 6);
    EXPECT_EQ(std::get<Date>(rows[0][1]).serial(), 44532.0);
    EXPECT_EQ(std::get<Date>(rows[0][1]).toShortString(), "2021/12/02");
    // Row 2: 1 January 9999, a serial no two-digit year can carry.
    const Date far = std::get<Date>(rows[1][1]);
    EXPECT_EQ(far.serial(), 2958101.0);
    EXPECT_EQ(far, Date::fromParts(9999, 1, 1));
    EXPECT_EQ(far.year(), 9999);
    // Before the serial's day zero: negative serials.
    EXPECT_EQ(std::get<Date>(rows[2][1]).serial(), -728.0);
    EXPECT_EQ(std::get<Date>(rows[2][1]), Date::fromParts(1898, 1, 1));
    EXPECT_EQ(std::get<Date>(rows[2][3]).serial(), 2.0);

    EXPECT_EQ(std::get<QString>(rows[1][4]), "Year 9999");
    EXPECT_EQ(std::get<QString>(rows[1][5]), "Year 1999");
    EXPECT_EQ(std::get<QString>(rows[5][4]), "New line\r\nin field");
    EXPECT_EQ(std::get<QString>(rows[5][5]), "No new line");
}

TEST(JetFile, RefusesWhatItCannotRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    const QString missing = dir.filePath("旧データ.mdb");
    EXPECT_EQ(refusal(missing),
              QStringLiteral("旧データのファイル「%1」が見つかりません。\n場所と名前を確かめてください。").arg(missing));

    const QString text = dir.filePath("memo.mdb");
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    EXPECT_EQ(refusal(text),
              QStringLiteral("「memo.mdb」は旧データのファイルではありません。\n以前のプログラムのデータ(.mdb)を選んでください。"));

    EXPECT_EQ(refusal(dir.path()).section('\n', 0, 0),
              QStringLiteral("「%1」はファイルではありません。").arg(QFileInfo(dir.path()).fileName()));

    // A newer format's signature in an otherwise plausible first page.
    const QString ace = dir.filePath("new.accdb");
    {
        QByteArray page(4096, '\0');
        page.replace(4, 16, QByteArray("Standard ACE DB", 16));
        QFile f(ace);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(page);
    }
    EXPECT_TRUE(refusal(ace).startsWith(QStringLiteral("「new.accdb」は新しい形式のデータベースです。")));

    if (!QFileInfo::exists(fixture("nwind.mdb")))
        GTEST_SKIP() << "the sample file " << qPrintable(fixture("nwind.mdb")) << " is absent";
    // A Jet file cut off in the middle of a page: refused before the library
    // would quietly lose the tables beyond the cut.
    QFile whole(fixture("nwind.mdb"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QString cut = dir.filePath("cut.mdb");
    {
        QFile f(cut);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(whole.read(300000));
    }
    EXPECT_EQ(refusal(cut),
              QStringLiteral("旧データのファイル「cut.mdb」は途中で切れています。\nファイルが壊れているおそれがあります。"));

    // A code page iconv does not know, and a table the file lacks.
    EXPECT_EQ(refusal(fixture("nwind.mdb"), "NO-SUCH-CODEPAGE"),
              QStringLiteral("旧データの文字コード NO-SUCH-CODEPAGE を扱えません。"));
    const JetFile file(fixture("nwind.mdb"));
    try {
        file.columns("顧客マスター");
        ADD_FAILURE() << "a missing table was read";
    } catch (const OperatorError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("旧データのファイル「nwind.mdb」に表「顧客マスター」がありません。"));
    }
}
