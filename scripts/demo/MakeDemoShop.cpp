// himawari-demo DIR
// himawari-demo --help (or -h): the usage; any other "-" argument is refused.
//
// Writes a demo installation into DIR: HMWcfg.dat for a made-up shop and
// himawari.db with its masters, code tables and a year of posted history
// ending yesterday, as the program would have left them after a year of
// daily updates, monthly invoice closings and payments. The generator has a
// fixed seed, so every run on the same day writes the same shop; all dates
// are counted back from today. Every name, address, number and bank in here
// is invented.

#include "session/Routines.h"
#include "core/Currency.h"
#include "core/Date.h"
#include "core/Text.h"
#include "db/Database.h"
#include "db/DatabaseLocation.h"
#include "db/Dialect.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }

// ------------------------------------------------------------ fixed data

struct CodeName { int code; const char* name; };

const CodeName shops[] = {{1, "本店"}, {2, "駅前営業所"}};
const CodeName staff[] = {{1, "日向　実"}, {2, "日向　良子"}, {3, "森下　健太"}};
const CodeName creditTerms[] = {{1, "現金"}, {2, "掛売・請求書"}, {3, "掛売・口座引落"}};
const CodeName accountKinds[] = {{1, "普通"}, {2, "当座"}};
const CodeName riceLevels[] = {{1, "定期配達"}, {2, "電話注文・配達"}, {3, "店頭渡し"}};
const CodeName keroseneLevels[] = {{1, "定期巡回給油"}, {2, "電話注文・配達"}, {3, "店頭（缶）"}};
// The gas delivery schedule forecasts by these codes: 1 and 2 from meter
// readings (one or two forecasts), 6 from delivered quantities.
const CodeName gasTypes[] = {{1, "検針（１本予定）"}, {2, "検針（２本予定）"}, {6, "配送量（２本予定）"}};
// Below 10000 suppliers, above 10000 expense payees.
const CodeName counterparties[] = {
    {1, "ひなた米穀卸（株）"}, {2, "ひなた石油販売（株）"}, {3, "高原ガス供給（株）"}, {4, "まるひ日用品問屋"},
    {10001, "日向野電力"}, {10002, "ひなた通信"}, {10003, "ひなた給油所"}, {10004, "本町不動産"},
    {10005, "日向野市役所"}, {10006, "高原損害保険"}, {10007, "文具のやまね"}};

struct Bank { int code; const char* name; const char* kana; };
// 9900 is the postal savings code, whose branch and account numbers the bank
// file writes differently.
const Bank banks[] = {{991, "ひばり銀行", "ﾋﾊﾞﾘｷﾞﾝｺｳ"}, {992, "やまびこ銀行", "ﾔﾏﾋﾞｺｷﾞﾝｺｳ"},
                      {993, "日向野信用金庫", "ﾋﾅﾀﾉｼﾝｷﾝ"}, {994, "高原農協", "ｺｳｹﾞﾝﾉｳｷﾖｳ"},
                      {9900, "郵便貯金", "ﾕｳﾋﾞﾝﾁﾖｷﾝ"}};

constexpr int CashMethod = 1;    // pays at the shop or by transfer; file name "1" = no bank file
constexpr int DebitMethod = 991; // direct debit collected by ひばり銀行 (its bank number)

struct Department { int code; const char* name; int taxCategory; };
const Department departments[] = {{1, "米", 1},        {2, "灯油", 0}, {3, "ＬＰガス", 0}, {4, "ガス器具", 0},
                                  {5, "食品", 1},      {6, "日用雑貨", 0}, {7, "切手・印紙", 9}};

struct Product {
    const char* code;
    int department;
    const char* name;
    const char* kana;
    int price; // 0 = asked at sale time
    float riceKg;
    float keroseneL;
};
const Product products[] = {
    {"1001", 1, "県産こしひかり　５ｋｇ", "ｺｼﾋｶﾘ5", 2980, 5, 0},
    {"1002", 1, "県産こしひかり　１０ｋｇ", "ｺｼﾋｶﾘ10", 5780, 10, 0},
    {"1003", 1, "無洗米　５ｋｇ", "ﾑｾﾝﾏｲ5", 3180, 5, 0},
    {"1004", 1, "ブレンド米　１０ｋｇ", "ﾌﾞﾚﾝﾄﾞ10", 4980, 10, 0},
    {"1005", 1, "もち米　１ｋｇ", "ﾓﾁｺﾞﾒ1", 880, 1, 0},
    {"2001", 2, "灯油　１８Ｌ缶", "ﾄｳﾕ18L", 2160, 0, 18},
    {"2002", 2, "灯油　配達（１Ｌ）", "ﾄｳﾕﾊｲﾀﾂ", 118, 0, 1},
    {"3001", 3, "ＬＰガス　８ｋｇ交換", "LPG8", 4400, 0, 0},
    {"3002", 3, "ＬＰガス　２０ｋｇ交換", "LPG20", 9800, 0, 0},
    {"4001", 4, "ガステーブル　２口", "ｶﾞｽﾃｰﾌﾞﾙ", 32800, 0, 0},
    {"4002", 4, "ガスホース　１ｍ", "ｶﾞｽﾎｰｽ", 880, 0, 0},
    {"4003", 4, "ガス警報器", "ｹｲﾎｳｷ", 7480, 0, 0},
    {"5001", 5, "田舎みそ　１ｋｇ", "ﾐｿ1K", 698, 0, 0},
    {"5002", 5, "こいくち醤油　１Ｌ", "ｼｮｳﾕ1L", 358, 0, 0},
    {"5003", 5, "たまご　１０個", "ﾀﾏｺﾞ10", 278, 0, 0},
    {"5004", 5, "天然水　２Ｌ", "ﾐｽﾞ2L", 118, 0, 0},
    {"6001", 6, "トイレットペーパー１２ロール", "ﾄｲﾚｯﾄP", 548, 0, 0},
    {"6002", 6, "台所用洗剤", "ｾﾝｻﾞｲ", 218, 0, 0},
    {"6003", 6, "乾電池　単３形４本", "ﾃﾞﾝﾁ3", 398, 0, 0},
    {"6004", 6, "灯油ポンプ", "ﾎﾟﾝﾌﾟ", 598, 0, 0},
    {"6005", 6, "ポリタンク　１８Ｌ", "ﾎﾟﾘﾀﾝｸ", 1280, 0, 0},
    {"6009", 6, "雑貨（価格入力）", "ｻﾞｯｶ", 0, 0, 0},
    {"7001", 7, "郵便切手　１１０円", "ｷｯﾃ110", 110, 0, 0},
    {"7002", 7, "収入印紙　２００円", "ｲﾝｼ200", 200, 0, 0},
};
// What a sundries purchase picks from; repeats weigh a product up. Gas
// appliances go only to gas customers, the portable cylinders only to others.
const char* const sundryPool[] = {"5001", "5002", "5002", "5003", "5003", "5003", "5004", "5004", "6001",
                                  "6001", "6002", "6002", "6003", "6004", "6005", "6009", "6009", "7001",
                                  "7001", "7002", "1005", "4002", "4003", "4001", "3001", "3002"};

const char* const towns[] = {"本町", "桜町", "中央", "東町", "西原", "南台", "北沢", "緑ヶ丘", "旭町", "若葉台"};

constexpr int Cans = -1; // kerosene bought in 18 L cans at the shop

struct CustomerProfile {
    const char* code;
    const char* name;
    const char* kana;
    int town;
    const char* address2;
    int riceEvery;      // days between rice purchases; 0 = buys no rice here
    const char* rice;   // the rice product bought
    int riceBags;       // bags per purchase
    int kerosene;       // tank litres (delivery by the litre), Cans, or 0
    int gasType;        // 1, 2 or 6; 0 = not a gas customer
    int cylinder;       // kg in each of the two cylinders
    int closingDay;     // 20, 25 or 31 (month end); 0 = pays cash
    int debitBank;      // bank of the direct debit; 0 = pays at the shop
    const char* billTo; // customer billed instead; "0" = itself
    int sundryPerMille; // chance of a sundries purchase on any day
};
const CustomerProfile customerProfiles[] = {
    {"1001", "青木　太郎", "ｱｵｷ ﾀﾛｳ", 0, "", 28, "1002", 1, 200, 0, 0, 31, 991, "0", 25},
    {"1002", "青木　ハナ", "ｱｵｷ ﾊﾅ", 0, "", 35, "1001", 1, Cans, 0, 0, 31, 0, "1001", 20},
    {"1003", "井上　和夫", "ｲﾉｳｴ ｶｽﾞｵ", 1, "", 21, "1004", 1, 0, 2, 50, 25, 0, "0", 25},
    {"1004", "上田　美智子", "ｳｴﾀﾞ ﾐﾁｺ", 2, "コーポ若葉２０３", 30, "1003", 1, 0, 0, 0, 0, 0, "0", 30},
    {"1005", "遠藤　誠", "ｴﾝﾄﾞｳ ﾏｺﾄ", 3, "", 0, "", 0, 490, 1, 50, 20, 993, "0", 20},
    {"1006", "大野　清", "ｵｵﾉ ｷﾖｼ", 4, "", 0, "", 0, Cans, 0, 0, 0, 0, "0", 25},
    {"1007", "加藤　正雄", "ｶﾄｳ ﾏｻｵ", 5, "", 25, "1002", 1, 0, 6, 20, 31, 991, "0", 25},
    {"1008", "喫茶　ひだまり", "ｷｯｻ ﾋﾀﾞﾏﾘ", 0, "本町ビル１階", 14, "1002", 2, 0, 6, 50, 20, 0, "0", 80},
    {"1009", "久保田　節子", "ｸﾎﾞﾀ ｾﾂｺ", 6, "", 40, "1001", 1, 0, 0, 0, 0, 0, "0", 30},
    {"1010", "小林　勇", "ｺﾊﾞﾔｼ ｲｻﾑ", 7, "", 0, "", 0, 200, 2, 50, 25, 994, "0", 20},
    {"1011", "後藤　信子", "ｺﾞﾄｳ ﾉﾌﾞｺ", 8, "", 30, "1003", 1, 0, 0, 0, 25, 0, "0", 30},
    {"1012", "佐藤　健一", "ｻﾄｳ ｹﾝｲﾁ", 9, "", 21, "1002", 1, 90, 0, 0, 31, 991, "0", 25},
    {"1013", "柴田　由美", "ｼﾊﾞﾀ ﾕﾐ", 1, "ハイツ旭１０５", 0, "", 0, 0, 0, 0, 0, 0, "0", 60},
    {"1014", "杉山　茂", "ｽｷﾞﾔﾏ ｼｹﾞﾙ", 2, "", 0, "", 0, Cans, 1, 20, 20, 0, "0", 20},
    {"1015", "関　直子", "ｾｷ ﾅｵｺ", 3, "", 35, "1001", 1, 0, 0, 0, 31, 9900, "0", 25},
    {"1016", "園田　一郎", "ｿﾉﾀﾞ ｲﾁﾛｳ", 4, "", 0, "", 0, 200, 0, 0, 25, 0, "0", 20},
    {"1017", "高橋　進", "ﾀｶﾊｼ ｽｽﾑ", 5, "", 28, "1002", 1, 0, 2, 50, 31, 992, "0", 25},
    {"1018", "千葉　幸子", "ﾁﾊﾞ ｻﾁｺ", 6, "", 45, "1001", 1, 0, 0, 0, 0, 0, "0", 30},
    {"1019", "土屋　博", "ﾂﾁﾔ ﾋﾛｼ", 7, "", 0, "", 0, Cans, 6, 20, 20, 0, "0", 20},
    {"1020", "寺田　恵子", "ﾃﾗﾀﾞ ｹｲｺ", 8, "", 30, "1003", 1, 0, 0, 0, 0, 0, "0", 50},
    {"1021", "中村　俊夫", "ﾅｶﾑﾗ ﾄｼｵ", 9, "", 25, "1002", 1, 490, 1, 50, 31, 991, "0", 25},
    {"1022", "西田　弘子", "ﾆｼﾀﾞ ﾋﾛｺ", 9, "", 40, "1001", 1, 0, 0, 0, 31, 0, "1021", 20},
    {"1023", "野口　実", "ﾉｸﾞﾁ ﾐﾉﾙ", 0, "", 0, "", 0, 200, 0, 0, 25, 0, "0", 20},
    {"1024", "日向野建設（株）", "ﾋﾅﾀﾉｹﾝｾﾂ", 1, "", 0, "", 0, 490, 0, 0, 20, 993, "0", 50},
    {"1025", "日向野建設　社員寮", "ﾋﾅﾀﾉｹﾝｾﾂ ﾘｮｳ", 1, "", 10, "1004", 2, 0, 2, 50, 20, 0, "1024", 20},
    {"1026", "藤井　昭", "ﾌｼﾞｲ ｱｷﾗ", 2, "", 30, "1001", 1, 0, 6, 50, 0, 0, "0", 25},
    {"1027", "本田　明美", "ﾎﾝﾀﾞ ｱｹﾐ", 3, "", 30, "1001", 1, 0, 0, 0, 25, 0, "0", 30},
    {"1028", "松本　修", "ﾏﾂﾓﾄ ｵｻﾑ", 4, "", 0, "", 0, 200, 2, 50, 31, 992, "0", 20},
    {"1029", "宮崎　登", "ﾐﾔｻﾞｷ ﾉﾎﾞﾙ", 5, "", 28, "1004", 1, 0, 0, 0, 0, 0, "0", 25},
    {"1030", "村田　京子", "ﾑﾗﾀ ｷｮｳｺ", 6, "", 0, "", 0, Cans, 0, 0, 0, 0, "0", 30},
    {"1031", "森　孝", "ﾓﾘ ﾀｶｼ", 7, "", 0, "", 0, 0, 1, 20, 20, 0, "0", 20},
    {"1032", "山田　春男", "ﾔﾏﾀﾞ ﾊﾙｵ", 8, "", 21, "1002", 1, 90, 0, 0, 31, 991, "0", 25},
    {"1033", "湯浅　和子", "ﾕｱｻ ｶｽﾞｺ", 9, "", 35, "1001", 1, 0, 0, 0, 0, 0, "0", 30},
    {"1034", "横山　秀樹", "ﾖｺﾔﾏ ﾋﾃﾞｷ", 0, "", 0, "", 0, 200, 2, 50, 25, 994, "0", 20},
    {"1035", "力石　武", "ﾘｷｲｼ ﾀｹｼ", 1, "", 30, "1003", 1, 0, 0, 0, 31, 0, "0", 25},
    {"1036", "六角　洋子", "ﾛｯｶｸ ﾖｳｺ", 2, "", 0, "", 0, Cans, 0, 0, 0, 0, "0", 50},
    {"1037", "若林　豊", "ﾜｶﾊﾞﾔｼ ﾕﾀｶ", 3, "", 25, "1002", 1, 0, 6, 50, 20, 991, "0", 25},
    {"1038", "渡辺　文子", "ﾜﾀﾅﾍﾞ ﾌﾐｺ", 4, "", 40, "1001", 1, 0, 0, 0, 0, 0, "0", 30},
    {"1039", "日向野第二保育園", "ﾋﾅﾀﾉﾀﾞｲﾆﾎｲｸｴﾝ", 5, "", 7, "1002", 2, 0, 2, 50, 31, 0, "0", 30},
    {"1040", "石川　悟", "ｲｼｶﾜ ｻﾄﾙ", 6, "", 30, "1001", 1, 90, 0, 0, 25, 993, "0", 25},
};

// Share of a month's heating use, per mille of the tank per day (kerosene)
// and as a factor on the household's gas use; index 1 = January.
constexpr std::array<int, 13> keroseneBurn = {0, 20, 19, 12, 5, 0, 0, 0, 0, 0, 3, 10, 17};
constexpr std::array<double, 13> gasSeason = {0, 1.6, 1.5, 1.3, 1.0, 0.8, 0.7, 0.6, 0.6, 0.7, 0.9, 1.2, 1.5};

// ------------------------------------------------------------ helpers

// Deterministic generator (splitmix64): the same demo on every machine,
// whatever the standard library's distributions would do.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int between(int lo, int hi) { return lo + int(next() % std::uint64_t(hi - lo + 1)); }
    bool perMille(int chance) { return between(0, 999) < chance; }

private:
    std::uint64_t state_;
};

// Collects rows of one table and writes them as multi-row INSERTs, keeping
// each statement under SQLite's oldest limit of 999 parameters.
class BatchInsert {
public:
    BatchInsert(Database& db, const char* table, QStringList columns)
        : db_(db), table_(u8(table)), columns_(std::move(columns)),
          chunk_(std::max<int>(1, 999 / int(columns_.size())))
    {
    }
    void add(const QVariantList& row)
    {
        Q_ASSERT(row.size() == columns_.size());
        pending_ += row;
        if (pending_.size() / columns_.size() == chunk_)
            flush();
    }
    void flush()
    {
        const int rows = int(pending_.size() / columns_.size());
        if (rows == 0)
            return;
        const QString one = QStringLiteral("(") + QStringList(columns_.size(), QStringLiteral("?")).join(u',') + u')';
        db_.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                     .arg(table_, columns_.join(u','), QStringList(rows, one).join(u',')),
                 pending_);
        pending_.clear();
    }

private:
    Database& db_;
    QString table_;
    QStringList columns_;
    int chunk_;
    QVariantList pending_;
};

QStringList columns(const char* list) { return u8(list).split(u','); }

QString fullWidth(int number)
{
    QString s = QString::number(number);
    for (QChar& c : s)
        c = QChar(c.unicode() - u'0' + 0xFF10);
    return s;
}

const Product& product(const char* code)
{
    for (const Product& p : products)
        if (qstrcmp(p.code, code) == 0)
            return p;
    qFatal("demo product %s missing", code);
}

int taxCategoryOf(const Product& p)
{
    for (const Department& d : departments)
        if (d.code == p.department)
            return d.taxCategory;
    return 9;
}

bool isClosingDay(const Date& d, int closingDay)
{
    return closingDay > 0 && d.day() == std::min(closingDay, d.toQDate().daysInMonth());
}

// Collection (and direct-debit) day in the month after the closing.
int collectionDay(int closingDay) { return closingDay == 20 ? 5 : closingDay == 25 ? 10 : closingDay == 31 ? 15 : 0; }

Currency units(std::int64_t n) { return Currency::fromUnits(n); }
Currency rate(const char* text) { return *Currency::parse(QString::fromLatin1(text)); }

// ------------------------------------------------------------ the shop's year

struct CustomerState {
    const CustomerProfile* profile = nullptr;
    int billed = 0; // index of the customer who receives this one's invoices
    Date lastSale;
    // The receivable as invoice closings and daily updates leave it.
    Currency lastInvoice, payments, salesSinceClosing;
    Date lastClosing, lastPayment;
    std::vector<QVariantList> openLines; // credit lines since the last closing, as 売掛マスター rows
    Date paymentDue;
    Currency paymentAmount;
    int paymentAccount = 0;
    // Delivery rhythms.
    std::int64_t nextRice = 0, nextCans = 0;
    double tankLitres = 0;
    double meter = 0, gasPerDay = 0, gasUsedKg = 0;
    Currency lastReading;
    int readingDay = 0;
};

struct SaleLine { const Product* product; Currency price; Currency quantity; };

// 売上商品マスター and 売掛マスター have the same columns.
const char* const salesColumns = "売上シリアル,売上伝票番号,売上年月日,売上顧客コード,売上種別コード,売上部門コード,"
                                 "売上税区分コード,売上単品コード,売上単品名,売上単価,売上個数";

class DemoShop {
public:
    DemoShop(Database& db, Date today, Currency rate1, Currency rate2)
        : db_(db), today_(today), rate1_(rate1), rate2_(rate2),
          sales_(db, "売上商品マスター", columns(salesColumns)), receivables_(db, "売掛マスター", columns(salesColumns)),
          journal_(db, "経理マスター", columns("経理シリアル,経理伝票番号,経理年月日,経理金額,経理借方コード,"
                                               "経理借方相手先コード,経理貸方コード,経理貸方相手先コード")),
          gas_(db, "ガスデータ", columns("ガス年月日,ガスデータ種別コード,ガス相手先コード,ガス検針値,ガス使用量,"
                                         "ガス配送量,ガス残ガス量,ガス金額,ガス経理コード"))
    {
    }

    void writeAll()
    {
        writeCodeTables();
        writeProducts();
        writeOpeningBalances();
        simulateYear();
        writeCustomers();
        for (const CustomerState& c : customers_)
            for (const QVariantList& row : c.openLines)
                receivables_.add(row);
        for (BatchInsert* b : {&sales_, &receivables_, &journal_, &gas_})
            b->flush();
        // Rows entered from now on must not take a serial the history holds.
        setLastSerial(db_, u8("売上商品マスター仮"), u8("売上シリアル"), qint64(saleSerial_));
        setLastSerial(db_, u8("経理マスター仮"), u8("経理シリアル"), qint64(journalSerial_));
    }

    // The counter the configuration file carries: the next unused number.
    int nextSlipNumber() const { return slip_ + 1; }

private:
    Database& db_;
    Random rng_{20240401};
    Date today_;
    Currency rate1_, rate2_;
    BatchInsert sales_, receivables_, journal_, gas_;
    std::vector<CustomerState> customers_;
    int slip_ = 0;
    std::int64_t saleSerial_ = 0, journalSerial_ = 0;
    // Sales of the running month by purchase account, bought in on the 10th.
    std::array<Currency, 4> monthSales_{};
    static constexpr std::array<int, 4> purchaseAccounts = {5500, 5510, 5520, 5530};

    template <std::size_t N>
    void writeCodeTable(const char* table, const char* cols, const CodeName (&rows)[N])
    {
        BatchInsert b(db_, table, columns(cols));
        for (const CodeName& row : rows)
            b.add({row.code, u8(row.name)});
        b.flush();
    }

    void writeCodeTables()
    {
        writeCodeTable("店コードＴＢＬ", "店コード,店名", shops);
        writeCodeTable("担当者コードＴＢＬ", "担当者コード,担当者名", staff);
        writeCodeTable("売掛条件ＴＢＬ", "売掛条件ＩＤ,売掛条件", creditTerms);
        writeCodeTable("引落口座種別ＴＢＬ", "引落口座種別コード,引落口座種別", accountKinds);
        writeCodeTable("米サービスレベルＴＢＬ", "米ＳＬＩＤ,米サービスレベル", riceLevels);
        writeCodeTable("灯油サービスレベルＴＢＬ", "灯油ＳＬＩＤ,灯油サービスレベル", keroseneLevels);
        writeCodeTable("顧客ガスタイプＴＢＬ", "ガスタイプコード,ガスタイプ", gasTypes);
        writeCodeTable("経理借方相手先ＴＢＬ", "経理仕入経費先コード,経理仕入経費先名", counterparties);
        BatchInsert b(db_, "引落銀行ＴＢＬ", columns("引落銀行コード,引落銀行名,引落銀行名カナ"));
        for (const Bank& bank : banks)
            b.add({bank.code, u8(bank.name), u8(bank.kana)});
        b.flush();
        // The direct-debit contract: type 2, contractor 10, name 40, bank 15,
        // branch 3, branch name 15 and deposit kind + account number 8 characters.
        db_.exec(u8("INSERT INTO 決済方法ＴＢＬ (決済方法コード, 決済方法, 決済銀行ファイル名, 決済銀行振替種別コード,"
                    " 決済銀行振替委託者コード, 決済銀行振替委託者名カナ, 決済銀行名カナ, 決済銀行支店番号,"
                    " 決済銀行支店名カナ, 決済銀行口座番号) VALUES (?, ?, '1', '', '', '', '', '', '', ''),"
                    " (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                 {CashMethod, u8("現金・振込"), DebitMethod, u8("口座引落（ひばり銀行）"), u8("HBR0991.TXT"), u8("91"),
                  u8("0099123456"), u8("ﾋﾏﾜﾘﾍﾞｲｺｸﾈﾝﾘﾖｳﾃﾝ"), u8("ﾋﾊﾞﾘｷﾞﾝｺｳ"), u8("105"), u8("ﾋﾅﾀﾉ"),
                  u8("11234567")});
    }

    void writeProducts()
    {
        BatchInsert d(db_, "商品部門マスター", columns("部門コード,部門名,税区分"));
        for (const Department& dep : departments)
            d.add({dep.code, u8(dep.name), dep.taxCategory});
        d.flush();
        BatchInsert p(db_, "商品マスター", columns("単品コード,部門コード,単品名称,単品名称カナ,単品売価,単品米キロ,単品灯油Ｌ"));
        for (const Product& pr : products)
            p.add({u8(pr.code), pr.department, u8(pr.name), u8(pr.kana), sqlValue(units(pr.price)), double(pr.riceKg),
                   double(pr.keroseneL)});
        p.flush();
    }

    // A balanced start of the period: cash, bank and stock against capital.
    void writeOpeningBalances()
    {
        const std::pair<int, int> openings[] = {{10, 300000}, {20, 1500000}, {1100, 800000}, {4000, 2600000}};
        for (auto [account, amount] : openings)
            db_.exec(u8("UPDATE 勘定科目TBL SET 期首残高 = ? WHERE 科目番号 = ?"), {sqlValue(units(amount)), account});
    }

    // ---------------------------------------------------------- postings

    int takeSlipNumber() { return ++slip_; }

    void addJournal(int slip, Date day, Currency amount, int debit, int debitParty, int credit, const QString& creditParty)
    {
        journal_.add({qint64(++journalSerial_), slip, sqlValue(day), sqlValue(amount), debit, debitParty, credit, creditParty});
    }

    // One posted sales row; a credit line also reaches the billed customer's
    // receivable, as the daily update does.
    void addSalesRow(CustomerState& c, int slip, Date day, int kind, int department, int category, const QString& code,
                     const QString& name, Currency price, Currency quantity)
    {
        QVariantList row{qint64(++saleSerial_), slip, sqlValue(day), u8(c.profile->code), kind, department, category,
                         code, name, sqlValue(price), sqlValue(quantity)};
        sales_.add(row);
        if (kind == 1) {
            CustomerState& billed = customers_[c.billed];
            billed.salesSinceClosing += (price * quantity).Int();
            row[3] = u8(billed.profile->code);
            billed.openLines.push_back(row);
        }
        c.lastSale = day;
    }

    // A sales slip as the slip screen stores it: the lines, the tax line, and
    // one ledger row per non-zero total.
    void postSlip(CustomerState& c, Date day, const std::vector<SaleLine>& lines)
    {
        const bool onAccount = c.profile->closingDay > 0 && !rng_.perMille(80);
        const int kind = onAccount ? 1 : 0;
        const int slip = takeSlipNumber();
        std::array<Currency, 10> totals{}; // by tax category
        for (const SaleLine& l : lines) {
            const int category = taxCategoryOf(*l.product);
            const Currency amount = (l.price * l.quantity).Int();
            totals[category] += amount;
            addSalesRow(c, slip, day, kind, l.product->department, category, text::fixed(u8(l.product->code), 13),
                        text::fixed(u8(l.product->name), 12), l.price, l.quantity);
            const int group = l.product->department <= 3 ? l.product->department - 1 : 3;
            monthSales_[group] += amount;
        }
        const Currency tax = (rate2_ * totals[1]).Int() + (rate1_ * totals[0]).Int();
        if (!tax.isZero())
            addSalesRow(c, slip, day, kind, 99, 9, u8("999900"), u8("　　　消費税"), tax, units(1));
        const int debit = onAccount ? 110 : 10;
        const std::pair<int, int> salesAccounts[] = {{0, 5000}, {1, 5010}, {5, 5050}, {6, 5060}, {9, 5090}};
        for (auto [category, account] : salesAccounts)
            if (!totals[category].isZero())
                addJournal(slip, day, totals[category], debit, 0, account, u8(c.profile->code));
        if (!tax.isZero())
            addJournal(slip, day, tax, debit, 0, 3079, u8(c.profile->code));
    }

    void addGasRow(Date day, int kind, const CustomerState& c, Currency reading, Currency usage, double delivered,
                   double remaining, Currency amount, int account)
    {
        gas_.add({sqlValue(day), kind, u8(c.profile->code), sqlValue(reading), sqlValue(usage), delivered, remaining,
                  sqlValue(amount), account});
    }

    // ---------------------------------------------------------- the year, day by day

    void simulateYear()
    {
        const Date first = today_.addDays(-365);
        for (const CustomerProfile& profile : customerProfiles) {
            CustomerState c;
            c.profile = &profile;
            c.nextRice = first.dayNumber() + rng_.between(0, std::max(profile.riceEvery, 1));
            c.tankLitres = profile.kerosene * 0.8;
            c.gasPerDay = rng_.between(20, 45) / 100.0; // m³ a day in spring
            c.meter = rng_.between(3000, 90000) / 10.0;
            c.readingDay = rng_.between(3, 27);
            customers_.push_back(c);
        }
        for (CustomerState& c : customers_) {
            c.billed = int(&c - customers_.data());
            for (std::size_t i = 0; i < customers_.size(); ++i)
                if (qstrcmp(customers_[i].profile->code, c.profile->billTo) == 0)
                    c.billed = int(i);
        }
        for (Date day = first; day < today_; day = day.addDays(1)) {
            for (CustomerState& c : customers_) {
                shopFor(c, day);
                if (c.profile->gasType)
                    gasDay(c, day, day == first);
                if (!c.paymentDue.isZero() && c.paymentDue == day)
                    receivePayment(c, day);
            }
            bookPurchasesAndExpenses(day);
            for (CustomerState& c : customers_)
                if (c.billed == int(&c - customers_.data()) && isClosingDay(day, c.profile->closingDay))
                    closeInvoice(c, day);
        }
    }

    void shopFor(CustomerState& c, Date day)
    {
        const CustomerProfile& s = *c.profile;
        const int month = day.month();
        std::vector<SaleLine> lines;
        auto add = [&](const Product& p, int quantity) {
            const int price = p.price ? p.price : rng_.between(10, 200) * 10; // asked at the counter
            lines.push_back({&p, units(price), units(quantity)});
        };
        if (s.riceEvery && day.dayNumber() >= c.nextRice) {
            add(product(s.rice), s.riceBags + (rng_.perMille(150) ? 1 : 0));
            c.nextRice = day.dayNumber() + s.riceEvery + rng_.between(-3, 3);
        }
        if (s.kerosene > 0) {
            c.tankLitres = std::max(0.0, c.tankLitres - s.kerosene * keroseneBurn[month] / 1000.0);
            const bool season = month >= 10 || month <= 4;
            if (season && c.tankLitres < s.kerosene * 0.5 && day.toQDate().dayOfWeek() != Qt::Sunday) {
                const int litres = int(s.kerosene * 0.95 - c.tankLitres) / 10 * 10;
                add(product("2002"), litres);
                c.tankLitres += litres;
            }
        } else if (s.kerosene == Cans && (month >= 11 || month <= 3) && day.dayNumber() >= c.nextCans) {
            add(product("2001"), rng_.between(1, 2));
            c.nextCans = day.dayNumber() + (month == 12 || month <= 2 ? rng_.between(8, 12) : rng_.between(12, 18));
        }
        if (rng_.perMille(s.sundryPerMille) || (!lines.empty() && rng_.perMille(300))) {
            const int wanted = rng_.between(1, 2);
            for (int n = 0, added = 0; n < 6 && added < wanted && lines.size() < 3; ++n) {
                const Product& p = product(sundryPool[rng_.between(0, int(std::size(sundryPool)) - 1)]);
                const bool gasOnly = p.department == 4, portable = p.department == 3;
                if ((gasOnly && !s.gasType) || (portable && s.gasType) || (p.price >= 10000 && !rng_.perMille(200)))
                    continue; // big-ticket items sell rarely
                add(p, p.department == 5 ? rng_.between(1, 3) : 1);
                ++added;
            }
        }
        if (!lines.empty())
            postSlip(c, day, lines);
    }

    // Gas use runs every day; the meter is read on the customer's reading day
    // and billed, cylinders are exchanged (types 1, 2) or topped up (6).
    void gasDay(CustomerState& c, Date day, bool opening)
    {
        const CustomerProfile& s = *c.profile;
        const auto readingOf = [&] { return Currency::fromTicks(std::int64_t(c.meter * 10) * 1000); };
        if (opening) {
            c.lastReading = readingOf();
            addGasRow(day, 8, c, c.lastReading, {}, 0, 0, {}, 0);
            return;
        }
        const double used = c.gasPerDay * gasSeason[day.month()];
        c.meter += used;
        c.gasUsedKg += 2 * used;
        if (s.gasType == 6 && c.gasUsedKg >= 0.85 * s.cylinder) {
            addGasRow(day, 6, c, readingOf(), {}, s.cylinder, 0, {}, 0);
            c.gasUsedKg -= s.cylinder;
        } else if (s.gasType != 6 && c.gasUsedKg >= 0.8 * 2 * s.cylinder) {
            const double left = std::floor((2 * s.cylinder - c.gasUsedKg) * 10) / 10;
            addGasRow(day, 5, c, readingOf(), {}, 2 * s.cylinder, std::max(left, 0.1), {}, 0);
            c.gasUsedKg = 0;
        }
        if (day.day() != c.readingDay)
            return;
        // Monthly reading, billed tax included: basic charge plus a rate per m³,
        // as the gas screen stores it (sales line 90 / 5 / 999000, credit 3075).
        const Currency reading = readingOf();
        const Currency usage = reading - c.lastReading;
        const Currency amount = (units(1980) + units(580) * usage).Int();
        const bool onAccount = s.closingDay > 0;
        const int account = onAccount ? 110 : 10;
        addGasRow(day, 1, c, reading, usage, 0, 0, amount, account);
        c.lastReading = reading;
        const int slip = takeSlipNumber();
        addSalesRow(c, slip, day, onAccount ? 1 : 0, 90, 5, u8("999000"), u8("ガス（ＬＰＧ）"), amount, units(1));
        addJournal(slip, day, amount, account, 0, 3075, u8(s.code));
        monthSales_[2] += amount;
    }

    void receivePayment(CustomerState& c, Date day)
    {
        addJournal(takeSlipNumber(), day, c.paymentAmount, c.paymentAccount, 0, 110, u8(c.profile->code));
        c.payments += c.paymentAmount;
        c.lastPayment = day;
        c.paymentDue = Date();
    }

    // The invoice closing of one billed customer: its open lines become the
    // new invoice amount, payments are netted into it, and the payment of the
    // new invoice is expected on the collection day of the next month.
    void closeInvoice(CustomerState& c, Date day)
    {
        if (c.lastInvoice.isZero() && c.payments.isZero() && c.openLines.empty())
            return; // nothing to bill: the closing leaves the customer as it is
        const Currency billed = c.lastInvoice - c.payments + c.salesSinceClosing;
        c.lastInvoice = billed;
        c.lastClosing = day;
        c.payments = Currency();
        c.lastPayment = Date();
        c.salesSinceClosing = Currency();
        c.openLines.clear();
        if (billed <= Currency())
            return;
        c.paymentDue = Date::fromParts(day.year(), day.month() + 1, collectionDay(c.profile->closingDay));
        c.paymentAccount = c.profile->debitBank ? 20 : (rng_.perMille(700) ? 10 : 20);
        c.paymentAmount = billed;
        const int behaviour = rng_.between(1, 100);
        if (!c.profile->debitBank && behaviour <= 8)
            c.paymentDue = Date(); // not paid this time: the balance carries over
        else if (!c.profile->debitBank && behaviour <= 20 && billed > units(2000))
            c.paymentAmount = units(billed.wholeUnits() / 2 / 1000 * 1000); // pays part of it
    }

    // Purchases for last month's sales on the 10th; the running costs of the
    // shop on their usual days.
    void bookPurchasesAndExpenses(Date day)
    {
        const int d = day.day(), month = day.month();
        if (d == 1)
            lastMonthSales_ = std::exchange(monthSales_, {});
        if (d == 10) {
            for (int i = 0; i < 4; ++i) {
                const Currency cost = (lastMonthSales_[i] * rate("0.72")).Int();
                if (!cost.isZero())
                    addJournal(takeSlipNumber(), day, cost, purchaseAccounts[i], i + 1, 20, u8("0"));
            }
        }
        auto expense = [&](int account, int payee, int amount, int paidFrom) {
            addJournal(takeSlipNumber(), day, units(amount), account, payee, paidFrom, u8("0"));
        };
        if (d == 25)
            expense(6030, 10001, rng_.between(140, 260) * 100, 20);
        if (d == 27)
            expense(6050, 10002, rng_.between(600, 900) * 10, 20);
        if (d == 5 || d == 20)
            expense(6150, 10003, rng_.between(60, 140) * 100, 10);
        if (d == day.toQDate().daysInMonth())
            expense(6120, 10004, 85000, 20);
        if (month == 5 && d == 31)
            expense(6130, 10005, 45000, 20);
        if (month == 4 && d == 15)
            expense(6080, 10006, 38400, 20);
        if (rng_.perMille(30))
            expense(6100, 10007, rng_.between(3, 30) * 100, 10);
    }
    std::array<Currency, 4> lastMonthSales_{};

    // ---------------------------------------------------------- customers

    void writeCustomers()
    {
        BatchInsert b(db_, "顧客マスター",
                      columns("顧客コード,顧客ガスコード,顧客名前,顧客名前カナ,顧客電話番号,顧客郵便番号,顧客住所１,"
                              "顧客住所２,顧客店コード,顧客担当コード,顧客登録日,顧客最終売上日,顧客売掛条件,"
                              "顧客売掛締切日,顧客売掛集金日,顧客売掛前回請求金額,顧客売掛前回締め日,顧客売掛入金額,"
                              "顧客売掛入金日,顧客売掛締後売上額,顧客売掛請求先コード,顧客引落銀行コード,"
                              "顧客引落銀行支店コード,顧客引落口座種別,顧客引落口座番号,顧客米サービスレベル,"
                              "顧客灯油サービスレベル,顧客灯油タンク容量,顧客ガスタイプ,顧客ガスボンベ１,"
                              "顧客ガスボンベ２,顧客売掛決済コード"));
        for (std::size_t i = 0; i < customers_.size(); ++i) {
            const CustomerState& c = customers_[i];
            const CustomerProfile& s = *c.profile;
            const QString address = u8("日向野市") + u8(towns[s.town]) + fullWidth(rng_.between(1, 5)) + u8("－") +
                                    fullWidth(rng_.between(1, 30)) + u8("－") + fullWidth(rng_.between(1, 20));
            QString branch = u8(""), accountNumber = u8(""); // empty text, never NULL
            if (s.debitBank == 9900) { // postal savings: five-digit mark, eight-digit number ending in 1
                branch = QString::number(rng_.between(1000, 1999) * 10);
                accountNumber = QString::number(rng_.between(1000000, 9999999)) + u'1';
            } else if (s.debitBank) {
                branch = QString::number(rng_.between(100, 399));
                accountNumber = QString::number(rng_.between(1000000, 9999999));
            }
            const int terms = s.debitBank ? 3 : s.closingDay ? 2 : 1;
            b.add({u8(s.code), s.gasType ? QString::number(501 + int(i)) : u8("0"), u8(s.name), u8(s.kana),
                   QStringLiteral("0263-00-%1").arg(2000 + int(i) * 137 % 7000), QStringLiteral("399-98%1").arg(10 + s.town),
                   address, u8(s.address2), i % 5 == 4 ? 2 : 1, int(i % 3) + 1,
                   sqlValue(today_.addDays(-365 - rng_.between(30, 3000))), sqlValue(c.lastSale), terms, s.closingDay,
                   collectionDay(s.closingDay), sqlValue(c.lastInvoice), sqlValue(c.lastClosing), sqlValue(c.payments),
                   sqlValue(c.lastPayment), sqlValue(c.salesSinceClosing), u8(s.billTo), s.debitBank, branch,
                   s.debitBank ? 1 : 0, accountNumber, s.riceEvery ? (s.riceEvery <= 14 ? 1 : 2) : 0,
                   s.kerosene > 0 ? 1 : s.kerosene == Cans ? 3 : 0, double(std::max(s.kerosene, 0)), s.gasType,
                   double(s.cylinder), double(s.cylinder), s.debitBank ? DebitMethod : CashMethod});
        }
        b.flush();
    }
};

// ------------------------------------------------------------ the installation

Configuration demoConfiguration(const QString& dir, int counter)
{
    Configuration c;
    c.companyName() = u8("ひまわり米穀燃料店");
    c.address() = u8("長野県日向野市本町２－１４－３");
    c.telephone() = u8("0263-00-1234");
    c.companyLine(1) = u8("米・灯油・ＬＰガス・日用品");
    c.companyLine(2) = u8("営業時間　８：００－１９：００");
    c.companyLine(3) = u8("定休日　日曜・祝日");
    c.deliveryNoteComment() = u8("毎度ありがとうございます。またのご用命をお待ちしております。");
    c.bankLine(1) = u8("ひばり銀行　日向野支店　普通　１２３４５６７");
    c.bankLine(2) = u8("日向野信用金庫　本店　当座　７６５４３２１");
    c.taxRate1() = u8("0.10");
    c.taxRate2() = u8("0.08");
    c.databaseFileName() = u8("himawari.db");
    c.databaseDirectory() = dir + u'/';
    c.backupDirectory(1) = dir + u8("/backup1/");
    c.backupDirectory(2) = dir + u8("/backup2/");
    c.prefixText() = text::Str(std::int64_t(0));
    c.counterText() = text::Str(std::int64_t(counter));
    c.adminCodeText() = text::Str(std::int64_t(1234));
    // A registered shop: its number on slips, invoices and receipts; rice
    // and food sold at the reduced rate (rate 2).
    c.registrationNumber = u8("T7123456789012");
    c.reducedRate = 2;
    return c;
}

// Rows per table, so a run shows at a glance what it wrote (the holding and
// work tables stay empty).
void printCounts(Database& db, QTextStream& out)
{
    for (const QString& t : shopTableNames(db))
        out << "  " << t << ": " << db.scalar(u8("SELECT COUNT(*) FROM ") + t).toLongLong() << "\n";
}

int fail(const QString& message)
{
    QTextStream(stderr) << "himawari-demo: " << message << "\n";
    return 1;
}

const QString Usage = QStringLiteral(
    "usage: himawari-demo DIR [--server 'host=… port=… dbname=… user=…']\n"
    "Writes a demo shop into the folder DIR (created when missing): HMWcfg.dat and\n"
    "himawari.db with a year of history ending yesterday. Neither file may exist yet.\n"
    "With --server the shop's database is made in that PostgreSQL database (which\n"
    "must hold no tables yet) and DIR gets HMWsrv.dat naming it instead of himawari.db.\n"
    "A folder whose name starts with \"-\" is given as ./-name.");

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    QString server;
    const qsizetype serverOption = args.indexOf(QStringLiteral("--server"));
    if (serverOption > 0) {
        if (serverOption + 1 >= args.size())
            return fail(QStringLiteral("--server needs the server's connection; nothing was written.\n") + Usage);
        server = QStringLiteral("postgresql: ") + args[serverOption + 1];
        args.remove(serverOption, 2);
    }
    const QStringList given = args.mid(1);
    if (given.contains(QStringLiteral("--help")) || given.contains(QStringLiteral("-h"))) {
        QTextStream(stdout) << Usage << "\n";
        return 0;
    }
    // An option this program does not know is a mistake, never a folder to
    // write a shop into.
    for (const QString& arg : given)
        if (arg.startsWith(u'-'))
            return fail(QStringLiteral("unknown option %1; nothing was written.\n").arg(arg) + Usage);
    if (args.size() != 2)
        return fail(QStringLiteral("one folder expected; nothing was written.\n") + Usage);
    const QString dir = QDir(args[1]).absolutePath();
    const QString configPath = dir + u'/' + ConfigurationFileName;
    const QString dbPath = dir + QStringLiteral("/himawari.db");
    const QString serverPath = dir + u'/' + ServerFileName;
    for (const QString& path : {configPath, dbPath, serverPath})
        if (QFileInfo::exists(path))
            return fail(path + QStringLiteral(" already exists; nothing was written."));
    if (!QDir().mkpath(dir))
        return fail(QStringLiteral("cannot create the directory ") + dir);
    std::optional<ServerLocation> location;
    try {
        location = serverLocation(server);
    } catch (const std::invalid_argument& e) {
        return fail(QStringLiteral("--server: %1; nothing was written.").arg(QString::fromUtf8(e.what())));
    }

    try {
        Database db = Database::create(location ? server : dbPath);
        const Date today = Date::today();
        Configuration config = demoConfiguration(dir, 0);
        int counter = 0;
        {
            Transaction tx(db);
            DemoShop shop(db, today, *Currency::parse(config.taxRate1()), *Currency::parse(config.taxRate2()));
            shop.writeAll();
            tx.commit();
            counter = shop.nextSlipNumber();
        }
        config = demoConfiguration(dir, counter);
        for (int n = 1; n <= 2; ++n)
            if (!QDir().mkpath(config.backupDirectory(n)))
                throw ConfigurationError(QStringLiteral("cannot create the directory ") + config.backupDirectory(n));
        const QByteArray bytes = configurationBytes(config, configPath);
        // Every demo text must survive the Shift_JIS round trip unchanged.
        if (parseConfiguration(bytes, configPath).values != config.values)
            throw ConfigurationError(configPath + QStringLiteral(": the values do not read back as written"));
        QSaveFile file(configPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            throw ConfigurationError(configPath + QStringLiteral(": ") + file.errorString());
        if (location) {
            QSaveFile serverFile(serverPath);
            const QByteArray serverBytes = serverFileBytes(*location);
            if (!serverFile.open(QIODevice::WriteOnly) || serverFile.write(serverBytes) != serverBytes.size()
                || !serverFile.commit())
                throw ConfigurationError(serverPath + QStringLiteral(": ") + serverFile.errorString());
        }

        QTextStream out(stdout);
        out << "demo shop written to " << dir << " (history " << today.addDays(-365).toShortString() << " - "
            << today.addDays(-1).toShortString() << ", next slip number " << counter << ")\n";
        printCounts(db, out);
        return 0;
    } catch (const std::exception& e) {
        // Leave no half-made installation behind.
        QFile::remove(dbPath);
        QFile::remove(configPath);
        QFile::remove(serverPath);
        return fail(QString::fromUtf8(e.what()));
    }
}
