// "CSV出力" of a list screen: every row of the grid's model (fetched to its
// end), as the grid shows it, written into 出力 of the current folder, and
// the operator told the file's path or what went wrong.
#include "core/Date.h"
#include "db/Database.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/CsvButton.h"
#include "ui/ValueModel.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

QByteArray contentsOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QStringList outputFiles(const TestInstallation& inst)
{
    return QDir(inst.path(QStringLiteral("出力"))).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QStandardItemModel* figures(QObject* parent)
{
    auto* model = new QStandardItemModel(0, 3, parent);
    model->setHorizontalHeaderLabels({QStringLiteral("区分"), QStringLiteral("税率"), QStringLiteral("税込金額")});
    model->appendRow({new QStandardItem(QStringLiteral("計上")), new QStandardItem(QStringLiteral("10%対象")),
                      new QStandardItem(QStringLiteral("1,234,567"))});
    model->appendRow({new QStandardItem(QStringLiteral("未計上")), new QStandardItem(QStringLiteral("8%, 軽減")),
                      new QStandardItem(QStringLiteral("-2,160"))});
    return model;
}

} // namespace

// A query model fetches 256 rows at a time; the file holds all 300, by the
// grid's shown texts (dates as yyyy/mm/dd, a fractional quantity as it is),
// without the column the grid hides.
TEST(CsvButton, ReadsEveryRowOfAQueryModelAsTheGridShowsIt)
{
    TestInstallation inst;
    Database db = inst.database();
    Transaction t(db);
    for (int i = 1; i <= 300; ++i)
        db.exec("INSERT INTO 配達予定 (配達年月日, 配達顧客名, 配達顧客電話, 配達商品名, 配達商品個数)"
                    " VALUES (?, ?, '03-0000-0000', '灯油', ?)",
                    {sqlValue(Date::fromParts(2024, 5, 1).addDays(i - 1)), QStringLiteral("顧客%1").arg(i),
                 qint64(i * 10000 + 5000)});
    t.commit();
    ValueQueryModel model;
    model.setStatement(db, "SELECT * FROM 配達予定 ORDER BY rowid");
    QTableView grid;
    grid.setModel(&model);
    grid.setColumnHidden(2, true);
    ASSERT_EQ(model.rowCount(), 256);

    const QList<QStringList> rows = shownRows(grid);
    ASSERT_EQ(rows.size(), 301);
    EXPECT_EQ(rows[0], (QStringList{"配達年月日", "配達顧客名", "配達商品名", "配達商品個数"}));
    EXPECT_EQ(rows[1], (QStringList{"2024/05/01", "顧客1", "灯油", "1.5"}));
    EXPECT_EQ(rows[300], (QStringList{"2025/02/24", "顧客300", "灯油", "300.5"}));
    model.clear();
}

// A model of texts shows amounts with separators: the file has plain
// numbers in that column and the rate's words untouched.
TEST(CsvButton, PressingTheButtonWritesTheFileAndTellsItsPath)
{
    TestInstallation inst;
    ScriptedUiScope scripted;
    QDialog screen;
    auto* grid = new QTableView(&screen);
    grid->setModel(figures(&screen));
    QPushButton* button = csvButton(&screen, grid, QStringLiteral("税率別売上一覧"));
    auto* row = new QHBoxLayout(&screen);
    row->addWidget(grid);
    row->addWidget(button);
    EXPECT_EQ(button->objectName(), QStringLiteral("cmdCSV"));
    EXPECT_EQ(button->text(), QStringLiteral("CSV出力"));

    button->click();
    button->click();
    // Two presses in the same minute give two files, the second under "-2"
    // (or under the next minute's name).
    const QStringList files = outputFiles(inst);
    ASSERT_EQ(files.size(), 2) << files.join(u' ').toStdString();
    ASSERT_EQ(scripted->messages.size(), 2u);
    const QString told = QStringLiteral("CSVファイルに出力しました。\n");
    QStringList paths;
    for (const RecordedMessage& m : scripted->messages) {
        EXPECT_EQ(m.title, QStringLiteral("CSV出力"));
        ASSERT_TRUE(m.text.startsWith(told)) << m.text.toStdString();
        paths << m.text.mid(told.size());
    }
    const QString folder = QDir(inst.path(QStringLiteral("出力"))).absolutePath();
    EXPECT_EQ(QFileInfo(paths[0]).absolutePath(), folder);
    EXPECT_TRUE(QFileInfo(paths[0]).fileName().startsWith(QStringLiteral("税率別売上一覧_2")))
        << paths[0].toStdString();
    EXPECT_NE(paths[0], paths[1]);
    const QByteArray expected = "\xEF\xBB\xBF"
                                + QStringLiteral("区分,税率,税込金額\r\n計上,10%対象,1234567\r\n未計上,\"8%, 軽減\",-2160\r\n")
                                      .toUtf8();
    EXPECT_EQ(contentsOf(paths[0]), expected);
    EXPECT_EQ(contentsOf(paths[1]), expected);
}

TEST(CsvButton, AFailedWriteIsToldUnderTheSameTitleAndNoSuccessIsClaimed)
{
    TestInstallation inst;
    ScriptedUiScope scripted;
    QFile blocker(inst.path(QStringLiteral("出力")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QDialog screen;
    auto* grid = new QTableView(&screen);
    grid->setModel(figures(&screen));
    csvButton(&screen, grid, QStringLiteral("税率別売上一覧"))->click();
    ASSERT_EQ(scripted->messages.size(), 1u);
    EXPECT_EQ(scripted->messages[0].title, QStringLiteral("CSV出力"));
    EXPECT_TRUE(scripted->messages[0].text.startsWith(QStringLiteral("出力フォルダーを作れませんでした。\n")))
        << scripted->messages[0].text.toStdString();

    // An error while the rows are read is told the same way.
    EXPECT_TRUE(writeCsvAndTell(QStringLiteral("一覧"), []() -> QList<QStringList> {
                    throw DatabaseError(QStringLiteral("no such table: 配達予定"), QStringLiteral("SELECT"));
                }).isEmpty());
    ASSERT_EQ(scripted->messages.size(), 2u);
    EXPECT_EQ(scripted->messages[1].title, QStringLiteral("CSV出力"));
    EXPECT_FALSE(scripted->messages[1].text.startsWith(QStringLiteral("CSVファイルに出力しました。")));
    EXPECT_EQ(scripted->busyDepth, 0);
}
