// HMWcfg.dat: read and written byte for byte, the slip numbers it carries,
// and what happens when it cannot be written.
#include "session/Routines.h"
#include "support/TestInstallation.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <gtest/gtest.h>

namespace {

// The file as the program has always written it: 18 quoted values, CR LF.
QByteArray fileOf(const QStringList& values)
{
    QStringEncoder sjis("Shift_JIS");
    QByteArray bytes;
    for (const QString& v : values)
        bytes += '"' + QByteArray(sjis.encode(v)) + "\"\r\n";
    return bytes;
}

// The two lines a file of this program has after the 18: the registration
// number and which rate is the reduced one.
QByteArray laterLines(const QByteArray& number, const QByteArray& reducedRate)
{
    return '"' + number + "\"\r\n\"" + reducedRate + "\"\r\n";
}

QStringList sampleValues(const QString& prefix, const QString& counter)
{
    return {"ひまわり米穀店", "東京都架空区１－１", "03-1111-2222", "米・灯油", "", "ＬＰガス", "毎度ありがとうございます",
            "試験銀行　本店", "普通 1234567", "0.05", "0.08", "himawari.db", "/srv/shop/", "/mnt/a/", "/mnt/b/",
            prefix, counter, " 1234"};
}

} // namespace

TEST(ConfigurationFile, RoundTripsByteForByte)
{
    TestInstallation inst;
    const QByteArray original = fileOf(sampleValues(" 0", " 41"));
    Configuration config = parseConfiguration(original, "HMWcfg.dat");
    EXPECT_EQ(config.companyName(), QStringLiteral("ひまわり米穀店"));
    EXPECT_EQ(config.databasePath, QStringLiteral("/srv/shop/himawari.db"));
    EXPECT_EQ(config.slipPrefix, 0);
    EXPECT_EQ(config.slipCounter, 41);
    EXPECT_EQ(config.adminCode, 1234);
    // The 18 values go out as they came in, followed by the two later ones:
    // no number, and rate 1 (0.05, the lower) as the reduced one.
    EXPECT_EQ(configurationBytes(config, "HMWcfg.dat"), original + laterLines("", "1"));
    // The company name goes out as the same Shift_JIS bytes it came in as.
    EXPECT_TRUE(original.startsWith("\"\x82\xd0\x82\xdc\x82\xed\x82\xe8\x95\xc4\x8d\x92\x93\x58\"\r\n"));

    // Prefix 0, counter 41: this slip is number 41, the file then says " 42".
    inst.writeConfigurationFile(original);
    testSession().config = readConfiguration(inst.configurationPath());
    EXPECT_EQ(currentSlipNumber(testSession().config), 41);
    writeConfiguration(testSession().config, inst.configurationPath());
    EXPECT_EQ(inst.configurationFileBytes(), fileOf(sampleValues(" 0", " 42")) + laterLines("", "1"));
    EXPECT_EQ(testSession().config.slipCounter, 42);
    // Nothing of the atomic replacement is left beside the file (a shop on
    // a server has its server location there instead of a database file).
    EXPECT_EQ(QDir(inst.dir()).entryList(QDir::Files, QDir::Name),
              testingOnServer() ? QStringList({"HMWcfg.dat", "HMWsrv.dat"}) : QStringList({"HMWcfg.dat", "himawari.db"}));
}

TEST(ConfigurationFile, ReadsTheFormsOlderFilesMayHave)
{
    // UTF-8 with a byte-order mark, LF line ends, an unquoted value and a
    // quoted one with a comma inside; a 19th value is the registration
    // number (not checked on reading: the settings screen checks it).
    QStringList values = sampleValues("3", "12345");
    values[1] = QStringLiteral("東京都架空区１－１, ２階");
    QByteArray bytes = "\xEF\xBB\xBF";
    for (int i = 0; i < values.size(); ++i)
        bytes += (i == 2 ? values[i].toUtf8() : '"' + values[i].toUtf8() + '"') + "\n";
    bytes += "\"後の版の値\"\n";
    Configuration config = parseConfiguration(bytes, "HMWcfg.dat");
    EXPECT_EQ(config.companyName(), QStringLiteral("ひまわり米穀店"));
    EXPECT_EQ(config.address(), QStringLiteral("東京都架空区１－１, ２階"));
    EXPECT_EQ(config.telephone(), QStringLiteral("03-1111-2222"));
    // Prefix 3 and counter 12345 number the slip 300012345.
    EXPECT_EQ(currentSlipNumber(config), 300012345);
    // A directory without its separator runs into the file name.
    values = sampleValues(" 0", " 1");
    values[12] = QStringLiteral("/srv/shop");
    EXPECT_EQ(parseConfiguration(fileOf(values), "HMWcfg.dat").databasePath, QStringLiteral("/srv/shophimawari.db"));
}

TEST(ConfigurationFile, ShiftJisIsTheFilesOwnEncoding)
{
    TestInstallation inst;
    // Half-width kana in Shift_JIS are also valid UTF-8: ﾅｶﾏｲ came back as Ŷϲ,
    // and the next write of Ŷϲ failed for want of a Shift_JIS form.
    QStringList values = sampleValues(" 0", " 5");
    values[0] = QStringLiteral("ﾅｶﾏｲ");
    const QByteArray kana = fileOf(values);
    EXPECT_TRUE(kana.startsWith("\"\xC5\xB6\xCF\xB2\"\r\n"));
    Configuration config = parseConfiguration(kana, "HMWcfg.dat");
    EXPECT_EQ(config.companyName(), QStringLiteral("ﾅｶﾏｲ"));
    EXPECT_EQ(configurationBytes(config, "HMWcfg.dat"), kana + laterLines("", "1"));

    // A file saved by a UTF-8 editor, without a byte-order mark, is still read.
    QByteArray utf8;
    for (const QString& v : sampleValues(" 0", " 5"))
        utf8 += '"' + v.toUtf8() + "\"\r\n";
    config = parseConfiguration(utf8, "HMWcfg.dat");
    EXPECT_EQ(config.companyName(), QStringLiteral("ひまわり米穀店"));
    EXPECT_EQ(config.address(), QStringLiteral("東京都架空区１－１"));

    // Characters a Linux input method types for their Windows look-alikes
    // are written in the code page's forms: 「1〜3」 does not break the next
    // slip's rewrite of the file.
    inst.writeConfigurationFile(fileOf(sampleValues(" 0", " 5")));
    testSession().config = readConfiguration(inst.configurationPath());
    testSession().config.address() = QStringLiteral("架空町1〜3−5　¥‖—");
    writeConfiguration(testSession().config, inst.configurationPath());
    testSession().config = readConfiguration(inst.configurationPath());
    EXPECT_EQ(testSession().config.address(), QStringLiteral("架空町1～3－5　￥∥―"));
    EXPECT_EQ(testSession().config.slipCounter, 6);
    writeConfiguration(testSession().config, inst.configurationPath());
    EXPECT_EQ(testSession().config.slipCounter, 7);
}

TEST(ConfigurationFile, RefusesFilesItCannotTrust)
{
    auto messageFor = [](const QByteArray& bytes) -> QString {
        try {
            parseConfiguration(bytes, "HMWcfg.dat");
            return {};
        } catch (const ConfigurationError& e) {
            return e.message();
        }
    };
    QStringList values = sampleValues(" 0", " 1");
    EXPECT_EQ(messageFor(fileOf(values.mid(0, 17))), QStringLiteral("HMWcfg.dat の値が 17 行しかありません（18 行必要です）。"));
    EXPECT_EQ(messageFor(fileOf(sampleValues(" 0", "abc"))),
              QStringLiteral("HMWcfg.dat の 17 行目（伝票番号）が数値ではありません：「abc」"));
    EXPECT_TRUE(messageFor(fileOf(sampleValues(" 40000", " 1"))).contains("範囲外"));
    EXPECT_TRUE(messageFor(QByteArray("\"unterminated\r\n")).contains("閉じられていません"));
    // Bytes that are neither UTF-8 nor Shift_JIS.
    EXPECT_TRUE(messageFor(QByteArray("\"\x82\xff\"\r\n")).contains("文字コード"));
}

TEST(ConfigurationFile, WritesNothingItCannotWriteWhole)
{
    TestInstallation inst;
    const QByteArray before = inst.configurationFileBytes();
    Configuration& config = testSession().config;

    // A counter at the largest value: overflow, nothing written, unchanged.
    config.slipCounter = 2147483647;
    EXPECT_THROW(writeConfiguration(testSession().config, inst.configurationPath()), SlipNumberOverflow);
    EXPECT_EQ(config.slipCounter, 2147483647);
    EXPECT_EQ(inst.configurationFileBytes(), before);

    // A prefix whose numbers leave the 32-bit range cannot number a slip.
    config.slipCounter = 1;
    config.slipPrefix = 22;
    EXPECT_THROW(currentSlipNumber(testSession().config), SlipNumberOverflow);
    config.slipPrefix = 21;
    config.slipCounter = 47483647;
    EXPECT_EQ(currentSlipNumber(testSession().config), 2147483647);
    config.slipCounter = 47483648;
    EXPECT_THROW(currentSlipNumber(testSession().config), SlipNumberOverflow);
    config.slipPrefix = 0;
    config.slipCounter = 1;

    // A quote would split the value on reading; a character Shift_JIS lacks
    // would come back as something else.
    config.companyName() = QStringLiteral("\"ひまわり\"");
    EXPECT_THROW(writeConfiguration(testSession().config, inst.configurationPath()), ConfigurationError);
    config.companyName() = QStringLiteral("ひまわり😀");
    EXPECT_THROW(writeConfiguration(testSession().config, inst.configurationPath()), ConfigurationError);
    EXPECT_EQ(inst.configurationFileBytes(), before);

    // The administrator code is written as its number, whatever was typed.
    config.companyName() = QStringLiteral("テスト商店");
    config.adminCode = 12;
    config.slipCounter = 0;
    writeConfiguration(testSession().config, inst.configurationPath());
    testSession().config = readConfiguration(inst.configurationPath());
    EXPECT_EQ(testSession().config.adminCodeText(), " 12");
    EXPECT_EQ(testSession().config.counterText(), " 1");
    EXPECT_EQ(testSession().config.prefixText(), " 0");
}

TEST(ConfigurationFile, TheRegistrationNumberAndTheReducedRateFollowThe18Values)
{
    TestInstallation inst;
    // A file of this program: 20 lines, read and written byte for byte.
    const QByteArray twenty = fileOf(sampleValues(" 0", " 41")) + laterLines("T9234567890123", "2");
    Configuration config = parseConfiguration(twenty, "HMWcfg.dat");
    EXPECT_EQ(config.registrationNumber, "T9234567890123");
    EXPECT_EQ(config.reducedRate, 2);
    EXPECT_EQ(config.companyName(), QStringLiteral("ひまわり米穀店"));
    EXPECT_EQ(config.slipCounter, 41);
    EXPECT_EQ(configurationBytes(config, "HMWcfg.dat"), twenty);
    // The next slip rewrites it: the counter moves, the two later values stay.
    inst.writeConfigurationFile(twenty);
    testSession().config = readConfiguration(inst.configurationPath());
    writeConfiguration(testSession().config, inst.configurationPath());
    EXPECT_EQ(inst.configurationFileBytes(), fileOf(sampleValues(" 0", " 42")) + laterLines("T9234567890123", "2"));

    // Which rate is reduced when the file does not say so, or says what is
    // no rate: the lower of the two. With 0.05 and 0.08 that is rate 1; with
    // 0.10 and 0.08 rate 2.
    QStringList values = sampleValues(" 0", " 1");
    QStringList tenAndEight = values;
    tenAndEight[9] = "0.10";
    struct Case {
        const char* what;
        QByteArray bytes;
        const char* number;
        int reducedRate;
    };
    const Case cases[] = {
        {"18 lines", fileOf(values), "", 1},
        {"18 lines, 0.10 and 0.08", fileOf(tenAndEight), "", 2},
        {"19 lines, the number only", fileOf(values) + "\"T8000000000001\"\r\n", "T8000000000001", 1},
        {"19 lines, 0.10 and 0.08", fileOf(tenAndEight) + "\"T8000000000001\"\r\n", "T8000000000001", 2},
        {"reduced rate 3", fileOf(tenAndEight) + laterLines("", "3"), "", 2},
        {"reduced rate empty", fileOf(tenAndEight) + laterLines("T8000000000001", ""), "T8000000000001", 2},
        {"reduced rate 0", fileOf(values) + laterLines("", "0"), "", 1},
        {"reduced rate 1 though the higher", fileOf(tenAndEight) + laterLines("", "1"), "", 1},
        {"reduced rate 2 though the higher", fileOf(values) + laterLines("", "2"), "", 2},
    };
    for (const Case& c : cases) {
        const Configuration read = parseConfiguration(c.bytes, "HMWcfg.dat");
        EXPECT_EQ(read.registrationNumber, QString::fromUtf8(c.number)) << c.what;
        EXPECT_EQ(read.reducedRate, c.reducedRate) << c.what;
        EXPECT_EQ(read.adminCode, 1234) << c.what;
        // Written back, the rate taken is said outright.
        EXPECT_TRUE(configurationBytes(read, "HMWcfg.dat")
                        .endsWith(laterLines(c.number, QByteArray::number(c.reducedRate))))
            << c.what;
    }
}
