// What hostile text becomes once the operator confirms it: the code-table
// editors, the customer boxes and the company settings store exactly what
// was typed or refuse it with a message, numbers never hold text, and the
// configuration file stays readable. Also the bank's result file read
// record by record whatever bytes the previous record ended with.
#include "HostileText.h"

#include "ui/ErrorGuard.h"
#include "session/Routines.h"
#include "ui/Screens.h"
#include "session/Session.h"
#include "customers/CustomerRegistration.h"
#include "masters/CompanySettings.h"
#include "masters/GridEditor.h"
#include "masters/GridEditors.h"
#include "masters/MasterScreens.h"
#include "receivables/BankDebitFile.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/ValueModel.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

bool hasControlCharacters(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    return false;
}

// The declared type of each column of a table.
QHash<QString, QString> columnTypes(Database& db, const QString& table)
{
    QHash<QString, QString> types;
    QSqlQuery q = db.exec(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"), {table});
    while (q.next())
        types.insert(q.value(0).toString(), q.value(1).toString().toUpper());
    return types;
}

} // namespace

TEST(HostileStores, CodeTableEditorsStoreTheTextAsTypedAndNeverTextInANumber)
{
    TestInstallation inst;
    Database db = inst.database();
    ScriptedUiScope scripted;
    registerMasterScreens();
    const QStringList texts = hostile::texts();
    int stored = 0;
    for (const GridEditorDefinition& d : gridEditorDefinitions()) {
        const QHash<QString, QString> types = columnTypes(db, d.table);
        const qlonglong rowsBefore = db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(d.table)).toLongLong();
        for (const QString& text : texts) {
            SCOPED_TRACE(d.screenName.toStdString() + " " + hostile::label(text));
            const auto messagesBefore = scripted->messages.size();
            QString keyColumn;
            const QString code = d.screenName == QStringLiteral("frm設定経費先") ? QStringLiteral("10077") : QStringLiteral("77");
            QStringList typedColumns;
            scripted->onScreen(d.screenName, [&](QDialog& dialog) {
                auto& editor = dynamic_cast<GridEditor&>(dialog);
                QTest::mouseClick(editor.addButton, Qt::LeftButton);
                const int row = editor.currentRow();
                const QSqlRecord record = editor.recordSource()->record();
                keyColumn = record.fieldName(0);
                editor.values()->setData(editor.values()->index(row, 0), code, Qt::EditRole);
                for (int col = 1; col < record.count(); ++col)
                    if (editor.values()->setData(editor.values()->index(row, col), text, Qt::EditRole))
                        typedColumns << record.fieldName(col);
                QTest::mouseClick(editor.updateButton, Qt::LeftButton);
                // A refused row is taken back, as Esc does.
                if (editor.hasPendingEdits())
                    QTest::keyClick(editor.grid, Qt::Key_Escape);
            });
            openScreen(testSession(), d.screenName, d.title, nullptr);

            for (auto i = messagesBefore; i < scripted->messages.size(); ++i)
                EXPECT_FALSE(hostile::isEscapedError(scripted->messages[i])) << scripted->messages[i].text.toStdString();
            QSqlQuery q = db.exec(QStringLiteral("SELECT * FROM \"%1\" WHERE \"%2\" = ?").arg(d.table, keyColumn), {code});
            if (!q.next()) {
                EXPECT_GT(scripted->messages.size(), messagesBefore) << "refused without a word";
                continue;
            }
            ++stored;
            for (const QString& column : typedColumns) {
                const QVariant value = q.value(column);
                const QString type = types.value(column);
                if (type == QStringLiteral("TEXT"))
                    EXPECT_EQ(value.toString(), text) << column.toStdString();
                else
                    EXPECT_TRUE(value.isNull() || value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Double)
                        << column.toStdString() << " holds " << value.toString().left(30).toStdString();
            }
            db.exec(QStringLiteral("DELETE FROM \"%1\" WHERE \"%2\" = ?").arg(d.table, keyColumn), {code});
        }
        EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(d.table)).toLongLong(), rowsBefore);
    }
    // Every editor has at least one text column that takes any text.
    EXPECT_GE(stored, 17);
    EXPECT_EQ(db.scalar("PRAGMA integrity_check").toString(), "ok");
}

TEST(HostileStores, CustomerBoxesTakeNoControlCharactersAndNothingBeyondTheirSize)
{
    TestInstallation inst;
    const auto& boxes = customerBoxes();
    for (int i = 0; i < CustomerBoxCount; ++i) {
        if (boxes[i].kind == CustomerBoxKind::ShownOnly)
            continue;
        for (const QString& typed : hostile::texts()) {
            SCOPED_TRACE(std::string(boxes[i].column) + " " + hostile::label(typed));
            const QString text = normalizedBoxText(i, typed);
            if (customerBoxProblem(i, text))
                continue;
            const QVariant value = customerBoxValue(i, text);
            if (boxes[i].stored == ValueKind::Text) {
                EXPECT_FALSE(hasControlCharacters(value.toString()));
                if (boxes[i].maxLength > 0) {
                    EXPECT_LE(value.toString().size(), boxes[i].maxLength);
                }
            } else {
                EXPECT_TRUE(value.isNull() || value.typeId() != QMetaType::QString) << value.toString().left(30).toStdString();
            }
        }
    }

    // A pasted tab is refused with the box named, and nothing is stored.
    Database db = inst.database();
    const NewCustomer tabbed{QStringLiteral("702"), QStringLiteral("新井\t一郎"), QStringLiteral("ｱﾗｲ"), {}, {}, {}, {}};
    const RegistrationResult refused = registerCustomer(db, tabbed, Date::today());
    EXPECT_EQ(refused.outcome, RegistrationOutcome::Refused);
    EXPECT_EQ(refused.message, "「顧客名前」に使えない文字（制御文字）が含まれています。");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM 顧客マスター").toInt(), 0);

    // A name that reads like SQL is only a name.
    const NewCustomer c{QStringLiteral("701"), QStringLiteral("';DROP--"), QStringLiteral("ｱﾗｲ"), QString(), QString(),
                        QStringLiteral("O'Brien \"1\""), QStringLiteral("1 OR 1=1")};
    ASSERT_EQ(registerCustomer(db, c, Date::today()).outcome, RegistrationOutcome::Stored);
    QSqlQuery q = db.exec("SELECT 顧客名前, 顧客住所１, 顧客住所２ FROM 顧客マスター WHERE 顧客コード = '701'");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), "';DROP--");
    EXPECT_EQ(q.value(1).toString(), "O'Brien \"1\"");
    EXPECT_EQ(q.value(2).toString(), "1 OR 1=1");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM 顧客マスター").toInt(), 1);
}

TEST(HostileStores, CompanySettingsKeepTheConfigurationFileReadable)
{
    TestInstallation inst;
    ScriptedUiScope scripted;
    registerMasterScreens();
    const Configuration before = testSession().config;
    for (int box = 1; box <= frm設定会社::BoxCount; ++box) {
        for (const QString& text : hostile::texts()) {
            SCOPED_TRACE(QStringLiteral("Text%1 ").arg(box).toStdString() + hostile::label(text));
            const auto messagesBefore = scripted->messages.size();
            scripted->answers.push_back(true);
            scripted->onScreen(QStringLiteral("frm設定会社"), [&](QDialog& dialog) {
                auto& screen = dynamic_cast<frm設定会社&>(dialog);
                screen.boxes[box]->setFocus();
                screen.boxes[box]->selectAll();
                screen.boxes[box]->insert(text);
                QTest::keyClick(screen.boxes[box], Qt::Key_Return);
                QTest::mouseClick(screen.okButton, Qt::LeftButton);
            });
            openScreen(testSession(), QStringLiteral("frm設定会社"), QStringLiteral("会社設定"), nullptr);
            scripted->answers.clear();
            for (auto i = messagesBefore; i < scripted->messages.size(); ++i)
                EXPECT_FALSE(hostile::isEscapedError(scripted->messages[i])) << scripted->messages[i].text.toStdString();

            // The file reads back; the slip counter is never touched.
            if (hasControlCharacters(text) && !text.contains(u'\n')) {
                ASSERT_GT(scripted->messages.size(), messagesBefore);
                EXPECT_EQ(scripted->messages[messagesBefore].text,
                          QStringLiteral("「%1」に使えない文字（制御文字）が含まれています。").arg(frm設定会社::caption(box)));
            }
            Configuration after;
            ASSERT_NO_THROW(after = parseConfiguration(inst.configurationFileBytes(), QStringLiteral("HMWcfg.dat")));
            EXPECT_EQ(after.slipCounter, before.slipCounter);
            const QString value = after.values[frm設定会社::configurationIndex(box)];
            EXPECT_FALSE(value.contains(u'"'));
            EXPECT_FALSE(hasControlCharacters(value));
            // Put everything back for the next text.
            Configuration restore = before;
            restore.slipCounter -= 1; // writing advances it
            writeConfiguration(restore, inst.configurationPath());
            testSession().config = readConfiguration(inst.configurationPath());
        }
    }
}

TEST(HostileFiles, AResultRecordIsReadOnItsOwnWhateverTheOneBeforeEndedWith)
{
    auto record = [](const QByteArray& code, int amount, char result) {
        QByteArray r(120, ' ');
        r[0] = '2';
        r.replace(80, 10, QByteArray::number(amount).rightJustified(10, '0'));
        r.replace(91, code.size(), code);
        r[111] = result;
        return r;
    };
    // The first code ends in the first byte of a two-byte character: a
    // damaged record, or a code the bank cut in the middle.
    QByteArray first = record("00012345678", 5400, '0');
    first[103] = char(0x82);
    const QByteArray bytes = first + "\r\n" + record("000456", 12000, '1') + "\r\n" + record("000789", 300, '0') + "\r\n";
    const bankfile::ResultFile file = bankfile::readResultFile(bytes);
    ASSERT_EQ(file.dataRecords.size(), 3u);
    EXPECT_EQ(file.dataRecords[1].customerCode, "000456");
    EXPECT_EQ(file.dataRecords[1].amount, Currency::fromUnits(12000));
    EXPECT_EQ(file.dataRecords[1].resultCode, '1');
    EXPECT_EQ(file.dataRecords[1].recordNumber, 2);
    EXPECT_EQ(file.dataRecords[2].customerCode, "000789");
    EXPECT_TRUE(file.dataRecords[0].customerCode.startsWith("00012345678"));
}

TEST(HostileFiles, AConfigurationReadsBackAsWrittenEvenWhenItsBytesLookLikeUtf8)
{
    TestInstallation inst;
    Configuration config = inst.defaultConfiguration();
    for (int i = 0; i < 9; ++i)
        config.values[i].clear();
    // 笶ｱ in Shift_JIS is E2 9D B1, which is also UTF-8 for ❱.
    config.companyName() = QStringLiteral("笶ｱ");
    const QByteArray bytes = configurationBytes(config, QStringLiteral("HMWcfg.dat"));
    const Configuration back = parseConfiguration(bytes, QStringLiteral("HMWcfg.dat"));
    EXPECT_EQ(back.companyName(), QStringLiteral("笶ｱ"));
    EXPECT_EQ(back.values, config.values);

    // An ordinary name is still written as Shift_JIS.
    config.companyName() = QStringLiteral("テスト商店");
    const QByteArray plain = configurationBytes(config, QStringLiteral("HMWcfg.dat"));
    EXPECT_TRUE(plain.startsWith(QByteArray("\"\x83\x65\x83\x58\x83\x67")));
}
