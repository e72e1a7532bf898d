// The value layer every grid and list uses: stored ticks and serials shown
// as people read them, typed text parsed exactly back into the stored form.
#include "core/Currency.h"
#include "core/Date.h"
#include "db/Database.h"
#include "support/TestInstallation.h"
#include "ui/JapaneseTranslations.h"
#include "ui/ValueModel.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QSqlTableModel>
#include <QTableView>
#include <gtest/gtest.h>

TEST(ValueText, ShownAsPeopleReadThem)
{
    EXPECT_EQ(displayText(qint64(1050000), ValueKind::Currency), "105");
    EXPECT_EQ(displayText(qint64(-2900), ValueKind::Currency), "-0.29");
    EXPECT_EQ(displayText(sqlValue(Date::fromParts(2024, 5, 1)), ValueKind::Date), "2024/05/01");
    EXPECT_EQ(displayText(45413.75, ValueKind::Date), "2024/05/01"); // a time of day is not shown
    EXPECT_EQ(displayText(10.0, ValueKind::Single), "10");
    EXPECT_EQ(displayText(double(2.3f), ValueKind::Single), "2.3");
    EXPECT_EQ(displayText(QVariant(QMetaType(QMetaType::LongLong)), ValueKind::Currency), "");
}

TEST(ValueText, TypedTextBecomesTheStoredForm)
{
    EXPECT_EQ(storedValue("1980", ValueKind::Currency).toLongLong(), 19800000);
    EXPECT_EQ(storedValue("１９８０", ValueKind::Currency).toLongLong(), 19800000);
    EXPECT_EQ(storedValue("1,050.5", ValueKind::Currency).toLongLong(), 10505000);
    EXPECT_EQ(storedValue("2024/05/01", ValueKind::Date).toDouble(), Date::fromParts(2024, 5, 1).serial());
    EXPECT_EQ(storedValue("２０２４年５月１日", ValueKind::Date).toDouble(), Date::fromParts(2024, 5, 1).serial());
    EXPECT_FLOAT_EQ(float(storedValue("2.5", ValueKind::Single).toDouble()), 2.5f);
    EXPECT_TRUE(storedValue("", ValueKind::Currency).isNull());
    // What is not a value of the kind is refused, never guessed.
    EXPECT_FALSE(storedValue("19.8円", ValueKind::Currency).isValid());
    EXPECT_FALSE(storedValue("2024/02/30", ValueKind::Date).isValid());
    EXPECT_FALSE(storedValue("5/1", ValueKind::Date).isValid());
    EXPECT_FALSE(storedValue("十", ValueKind::Single).isValid());
    EXPECT_FALSE(storedValue("4901234567894000", ValueKind::Currency).isValid());
}

TEST(ValueModel, StatementColumnsAreTypedByDeclarationOrByTheirAuthor)
{
    TestInstallation inst;
    Database db = inst.database();
    db.exec("INSERT INTO 売上商品マスター (売上シリアル, 売上伝票番号, 売上年月日, 売上顧客コード, 売上単品名, 売上単価, 売上個数)"
            " VALUES (1, 7, ?, '1', '米', 995000, 30000)",
            {sqlValue(Date::fromParts(2024, 5, 1))});
    ValueQueryModel model;
    model.setStatement(db,
                       "SELECT 売上伝票番号, 売上年月日, 売上単品名, 売上単価, CUR_INT(CUR_MUL(売上単価, 売上個数)) AS 金額,"
                       " SUM(売上単価) AS 合計 FROM 売上商品マスター WHERE 売上顧客コード = ?",
                       {QStringLiteral("1")}, {{"金額", ValueKind::Currency}, {"合計", ValueKind::Currency}});
    ASSERT_EQ(model.rowCountAll(), 1);
    auto cell = [&](int c) { return model.index(0, c).data().toString(); };
    EXPECT_EQ(cell(0), "7");
    EXPECT_EQ(cell(1), "2024/05/01");
    EXPECT_EQ(cell(2), "米");
    EXPECT_EQ(cell(3), "99.5");
    EXPECT_EQ(cell(4), "298"); // 99.5 × 3 = 298.5, whole part 298
    EXPECT_EQ(cell(5), "99.5");
    EXPECT_EQ(model.storedData(0, 3).toLongLong(), 995000);
    EXPECT_EQ(model.columnKind(1), ValueKind::Date);
    EXPECT_EQ(model.columnKind(2), ValueKind::Text);
}

TEST(ValueModel, GridEditsAreWrittenInTheStoredForm)
{
    TestInstallation inst;
    Database db = inst.database();
    db.exec("INSERT INTO 商品マスター (単品コード, 単品名称, 単品売価) VALUES ('4901', '米', 0)");
    QSqlTableModel table(nullptr, db.connection());
    table.setTable("商品マスター");
    table.setEditStrategy(QSqlTableModel::OnFieldChange);
    ASSERT_TRUE(table.select());
    ValueProxyModel proxy;
    proxy.setSourceModel(&table);
    proxy.setColumnKinds(tableColumnKinds(db, "商品マスター"));
    const int price = table.fieldIndex("単品売価"), kilos = table.fieldIndex("単品米キロ");
    // "1980" typed into the price was stored as 1980 ticks, 0.198 yen.
    EXPECT_TRUE(proxy.setData(proxy.index(0, price), QStringLiteral("1980")));
    EXPECT_TRUE(proxy.setData(proxy.index(0, kilos), QStringLiteral("１０")));
    EXPECT_EQ(db.scalar("SELECT 単品売価 FROM 商品マスター").toLongLong(), 19800000);
    EXPECT_DOUBLE_EQ(db.scalar("SELECT 単品米キロ FROM 商品マスター").toDouble(), 10.0);
    EXPECT_EQ(proxy.index(0, price).data().toString(), "1980");
    // A refused text leaves the stored value as it was.
    EXPECT_FALSE(proxy.setData(proxy.index(0, price), QStringLiteral("千円")));
    EXPECT_EQ(db.scalar("SELECT 単品売価 FROM 商品マスター").toLongLong(), 19800000);

    // Through a view and its delegate, as the operator edits a grid.
    QTableView view;
    view.setModel(&proxy);
    useValueColumns(view);
    EXPECT_EQ(view.itemDelegate()->metaObject()->className(), std::string("ValueDelegate"));
    EXPECT_EQ(proxy.index(0, price).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight, Qt::AlignRight);
}

TEST(JapaneseButtons, StandardButtonsReadAsOnAJapaneseDesktop)
{
    ASSERT_TRUE(useJapaneseTranslations());
    QMessageBox box(QMessageBox::Question, "確認", "削除しますか？",
                    QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "キャンセル");
    // Yes and No carry their access keys, as Japanese desktops write them.
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), "はい(&Y)");
    EXPECT_EQ(box.button(QMessageBox::No)->text(), "いいえ(&N)");
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "OK");
}
