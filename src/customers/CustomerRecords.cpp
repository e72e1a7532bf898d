#include "customers/CustomerRecords.h"

#include "core/Text.h"
#include "db/Database.h"
#include "masters/DatabaseMessages.h"

#include <QSqlQuery>
#include <QStringList>
#include <cstdint>
#include <limits>

const std::array<CustomerBox, CustomerBoxCount>& customerBoxes()
{
    using K = CustomerBoxKind;
    static const std::array<CustomerBox, CustomerBoxCount> boxes = {{
        {"顧客コード", "顧客コード（半角数字13桁以内）", 13, K::Digits, nullptr, ValueKind::Text},
        {"顧客ガスコード", "顧客ガスコード（半角数字13桁以内）", 13, K::Digits, nullptr, ValueKind::Text},
        {"顧客名前", "顧客名前（全角１２桁以内）", 12, K::Text, nullptr, ValueKind::Text},
        {"顧客名前カナ", "顧客名前カナ（半角カナ１６桁以内）", 16, K::HalfWidth, nullptr, ValueKind::Text},
        {"顧客電話番号", "顧客電話番号（半角数字１６桁以内）", 16, K::Telephone, nullptr, ValueKind::Text},
        {"顧客郵便番号", "顧客郵便番号（半角数字１０桁以内）", 10, K::Telephone, nullptr, ValueKind::Text},
        {"顧客住所１", "顧客住所１（全角１５桁以内）", 15, K::Text, nullptr, ValueKind::Text},
        {"顧客住所２", "顧客住所２（全角１５桁以内）", 15, K::Text, nullptr, ValueKind::Text},
        {"顧客店コード", "顧客店コード（クリックして選択）", 0, K::Whole, "frm店コード選択", ValueKind::Integer},
        {"顧客担当コード", "顧客担当コード（クリックして選択）", 0, K::Whole, "frm担当者選択", ValueKind::Integer},
        {"顧客登録日", "顧客登録日（変更不可）", 0, K::ShownOnly, nullptr, ValueKind::Date},
        {"顧客最終売上日", "顧客最終売上日（変更不可）", 0, K::ShownOnly, nullptr, ValueKind::Date},
        {"顧客売掛条件", "顧客売掛条件（クリックして選択）", 0, K::Whole, "frm売掛条件選択", ValueKind::Integer},
        {"顧客売掛締切日", "顧客売掛締切日（１－３１日月末は３１）", 0, K::Day, nullptr, ValueKind::Integer},
        {"顧客売掛集金日", "顧客売掛集金日（１－３１日月末は３１）", 0, K::Day, nullptr, ValueKind::Integer},
        {"顧客売掛前回請求金額", "顧客売掛前回請求金額（変更不可）", 0, K::ShownOnly, nullptr, ValueKind::Currency},
        {"顧客売掛前回締め日", "顧客売掛前回締め日（変更不可）", 0, K::ShownOnly, nullptr, ValueKind::Date},
        {"顧客売掛入金額", "顧客売掛入金額（変更不可）", 0, K::ShownOnly, nullptr, ValueKind::Currency},
        {"顧客売掛入金日", "顧客売掛入金日（変更不可）", 0, K::ShownOnly, nullptr, ValueKind::Date},
        {"顧客売掛締後売上額", "顧客売掛締後売上額（変更不可）", 0, K::ShownOnly, nullptr, ValueKind::Currency},
        {"顧客売掛請求先コード", "顧客売掛請求先コード（クリックして選択）", 13, K::BillingCode, "frm顧客選択",
         ValueKind::Text},
        {"顧客引落銀行コード", "顧客引落銀行コード（クリックして選択）", 0, K::Whole, "frm引落銀行選択",
         ValueKind::Integer},
        {"顧客引落銀行支店コード", "顧客引落銀行支店コード:", 0, K::Text, nullptr, ValueKind::Text},
        {"顧客引落口座種別", "顧客引落口座種別（クリックして選択）", 0, K::Whole, "frm口座種別選択", ValueKind::Integer},
        {"顧客引落口座番号", "顧客引落口座番号:", 0, K::Text, nullptr, ValueKind::Text},
        {"顧客米サービスレベル", "顧客米サービスレベル（クリックして選択）", 0, K::Whole, "frm米サービスレベル選択",
         ValueKind::Integer},
        {"顧客灯油サービスレベル", "顧客灯油サービスレベル（クリックして選択）", 0, K::Whole,
         "frm灯油サービスレベル選択", ValueKind::Integer},
        {"顧客灯油タンク容量", "顧客灯油タンク容量:", 0, K::Number, nullptr, ValueKind::Single},
        {"顧客ガスタイプ", "顧客ガスタイプ:", 0, K::Whole, nullptr, ValueKind::Integer},
        {"顧客ガスボンベ１", "顧客ガスボンベ１:", 0, K::Number, nullptr, ValueKind::Single},
        {"顧客ガスボンベ２", "顧客ガスボンベ２:", 0, K::Number, nullptr, ValueKind::Single},
        {"顧客売掛決済コード", "顧客決済方法コード（クリックして選択）", 0, K::Whole, "frm決済方法選択",
         ValueKind::Integer},
    }};
    return boxes;
}

int customerBoxIndex(const QString& column)
{
    for (int i = 0; i < CustomerBoxCount; ++i)
        if (QString::fromUtf8(customerBoxes()[i].column) == column)
            return i;
    return -1;
}

namespace {

bool isNumberKind(CustomerBoxKind kind)
{
    switch (kind) {
    case CustomerBoxKind::Digits:
    case CustomerBoxKind::Telephone:
    case CustomerBoxKind::Day:
    case CustomerBoxKind::Whole:
    case CustomerBoxKind::Number:
    case CustomerBoxKind::BillingCode:
        return true;
    default:
        return false;
    }
}

bool allOf(const QString& text, bool (*allowed)(char16_t))
{
    for (QChar c : text)
        if (!allowed(c.unicode()))
            return false;
    return true;
}

bool isDigit(char16_t u)
{
    return u >= u'0' && u <= u'9';
}

bool isTelephoneCharacter(char16_t u)
{
    return isDigit(u) || u == u'-' || u == u'(' || u == u')' || u == u' ';
}

// Half-width: ASCII and the half-width katakana block.
bool isHalfWidth(char16_t u)
{
    return (u >= 0x20 && u <= 0x7E) || (u >= 0xFF61 && u <= 0xFF9F);
}

// A whole number as typed: digits with an optional sign, blanks around.
std::optional<qlonglong> wholeNumber(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return 0; // an emptied code box means "none"
    bool ok = false;
    const qlonglong value = t.toLongLong(&ok);
    if (!ok || value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return value;
}

QString boxName(int index)
{
    return QString::fromUtf8(customerBoxes()[index].column);
}

} // namespace

QString normalizedBoxText(int index, const QString& typed)
{
    return isNumberKind(customerBoxes()[index].kind) ? text::halfWidthDigits(typed) : typed;
}

std::optional<QString> customerBoxProblem(int index, const QString& text)
{
    const CustomerBox& box = customerBoxes()[index];
    const QString name = boxName(index);
    if (box.maxLength > 0 && text.size() > box.maxLength)
        return QStringLiteral("「%1」は%2文字以内で入力して下さい。（入力は%3文字です）")
            .arg(name).arg(box.maxLength).arg(text.size());
    switch (box.kind) {
    case CustomerBoxKind::Digits:
        if (index == 0 && text.isEmpty())
            return QStringLiteral("顧客コードは、必ず入力して下さい。");
        if (!allOf(text, isDigit) || text.isEmpty())
            return QStringLiteral("「%1」には半角数字を入力して下さい。").arg(name);
        return std::nullopt;
    case CustomerBoxKind::Telephone:
        if (!allOf(text, isTelephoneCharacter))
            return QStringLiteral("「%1」には半角数字を入力して下さい（区切りの「-」は使えます）。").arg(name);
        return std::nullopt;
    case CustomerBoxKind::HalfWidth:
        if (index == 3 && text.isEmpty())
            return QStringLiteral("顧客カナ名前は、必ず入力して下さい。");
        if (!allOf(text, isHalfWidth))
            return QStringLiteral("「%1」には半角カナで入力して下さい。").arg(name);
        return std::nullopt;
    case CustomerBoxKind::Day: {
        const std::optional<qlonglong> day = wholeNumber(text);
        if (!day || *day < 0 || *day > 31)
            return QStringLiteral("「%1」には 1 から 31 までの日を入力して下さい（月末は 31）。").arg(name);
        return std::nullopt;
    }
    case CustomerBoxKind::Whole:
        if (!wholeNumber(text))
            return QStringLiteral("「%1」には整数を入力して下さい。").arg(name);
        return std::nullopt;
    case CustomerBoxKind::Number:
        if (!text.trimmed().isEmpty() && (!text::isNumber(text) || text.contains(u',')))
            return QStringLiteral("「%1」には数値を入力して下さい。").arg(name);
        return std::nullopt;
    case CustomerBoxKind::BillingCode:
        if (text.isEmpty() || !allOf(text, isDigit))
            return QStringLiteral("「%1」には顧客コード（半角数字）か、請求先がないときは 0 を入力して下さい。").arg(name);
        return std::nullopt;
    case CustomerBoxKind::Text:
        // A pasted tab, line break or other control character would end up
        // on the invoices and labels as garbage.
        for (QChar c : text)
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                return QStringLiteral("「%1」に使えない文字（制御文字）が含まれています。").arg(name);
        break;
    case CustomerBoxKind::ShownOnly:
        break;
    }
    return std::nullopt;
}

QVariant customerBoxValue(int index, const QString& text)
{
    const CustomerBox& box = customerBoxes()[index];
    switch (box.stored) {
    case ValueKind::Integer:
        return QVariant(wholeNumber(text).value_or(0));
    case ValueKind::Single:
        return QVariant(double(float(text::Val(text))));
    case ValueKind::Text:
        return QVariant(text.isNull() ? QStringLiteral("") : text);
    case ValueKind::Currency:
    case ValueKind::Date:
        break;
    }
    return QVariant(); // amounts and dates are never written here
}

RegistrationResult registerCustomer(Database& db, const NewCustomer& customer, const Date& today)
{
    const QString code = normalizedBoxText(0, customer.code);
    const bool found =
        db.scalar(QStringLiteral("SELECT 顧客コード FROM 顧客マスター WHERE 顧客コード = ?"), {code}).isValid();
    if (customer.code.isEmpty())
        return {RegistrationOutcome::EmptyCode, QStringLiteral("顧客コードは、必ず入力して下さい。")};
    if (customer.kanaName.isEmpty())
        return {RegistrationOutcome::EmptyKanaName, QStringLiteral("顧客カナ名前は、必ず入力して下さい。")};
    if (found)
        return {RegistrationOutcome::DuplicateCode, QStringLiteral("顧客コードが重複しています。変更して下さい。")};

    const std::pair<int, QString> boxes[] = {
        {0, code},
        {2, customer.name},
        {3, customer.kanaName},
        {4, normalizedBoxText(4, customer.telephone)},
        {5, normalizedBoxText(5, customer.postalCode)},
        {6, customer.address1},
        {7, customer.address2},
    };
    for (const auto& [index, text] : boxes)
        if (std::optional<QString> problem = customerBoxProblem(index, text))
            return {RegistrationOutcome::Refused, *problem};

    try {
        // Every other column takes the table's default: gas mark "0",
        // billed to itself ("0"), amounts, days and codes 0.
        db.exec(QStringLiteral("INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客名前カナ, 顧客電話番号,"
                               " 顧客郵便番号, 顧客住所１, 顧客住所２, 顧客登録日) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                {code, customerBoxValue(2, customer.name), customer.kanaName, boxes[3].second, boxes[4].second,
                 customerBoxValue(6, customer.address1), customerBoxValue(7, customer.address2),
                 sqlValue(Date::fromSerial(double(today.dayNumber())))});
    } catch (const DatabaseError& e) {
        return {RegistrationOutcome::Refused,
                QStringLiteral("顧客を登録できませんでした。\n%1").arg(e.databaseText())};
    }
    return {RegistrationOutcome::Stored, QString()};
}

namespace {

QString columnList()
{
    QStringList columns;
    for (const CustomerBox& box : customerBoxes())
        columns << QString::fromUtf8(box.column);
    return columns.join(QStringLiteral(", "));
}

} // namespace

std::optional<CustomerValues> loadCustomer(Database& db, const QString& code)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT %1 FROM 顧客マスター WHERE 顧客コード = ?").arg(columnList()), {code});
    if (!q.next())
        return std::nullopt;
    CustomerValues values;
    for (int i = 0; i < CustomerBoxCount; ++i)
        values[i] = q.value(i);
    return values;
}

ChangeResult changeCustomer(Database& db, const QString& code, const std::map<int, QString>& changedTexts)
{
    QStringList assignments;
    QVariantList params;
    std::optional<QString> newCode;
    for (const auto& [index, typed] : changedTexts) {
        const CustomerBox& box = customerBoxes()[index];
        if (box.kind == CustomerBoxKind::ShownOnly)
            continue;
        const QString text = normalizedBoxText(index, typed);
        if (std::optional<QString> problem = customerBoxProblem(index, text))
            return {false, *problem};
        if (box.kind == CustomerBoxKind::BillingCode && text != QLatin1String("0")) {
            // A billing customer nobody can find would take the sales into
            // a receivable of no one.
            if (!db.scalar(QStringLiteral("SELECT 1 FROM 顧客マスター WHERE 顧客コード = ?"), {text}).isValid())
                return {false, QStringLiteral("「%1」の顧客「%2」は登録されていません。").arg(QString::fromUtf8(box.column), text)};
        }
        if (index == 0)
            newCode = text;
        assignments << QString::fromUtf8(box.column) + QStringLiteral(" = ?");
        params << customerBoxValue(index, text);
    }
    if (assignments.isEmpty())
        return {true, QString()};
    // A new code another customer has is refused as the table's key would
    // refuse it, in the same words on either kind of database.
    if (newCode
        && db.scalar(QStringLiteral("SELECT 1 FROM 顧客マスター WHERE 顧客コード = ? AND 顧客コード <> ?"
                                    " AND EXISTS (SELECT 1 FROM 顧客マスター WHERE 顧客コード = ?)"),
                     {*newCode, code, code})
               .isValid())
        return {false, QStringLiteral("Data error event hit err:顧客コードが重複しています。変更して下さい。")};
    params << code;
    try {
        db.exec(QStringLiteral("UPDATE 顧客マスター SET %1 WHERE 顧客コード = ?").arg(assignments.join(QStringLiteral(", "))),
                params);
    } catch (const DatabaseError& e) {
        QString reason = databaseErrorDescription(e.databaseText());
        if (refusedRule(e.databaseText()) == RefusedRule::Duplicate)
            reason = QStringLiteral("顧客コードが重複しています。変更して下さい。");
        return {false, QStringLiteral("Data error event hit err:") + reason};
    }
    if (db.changes() == 0)
        return {false, QStringLiteral("顧客「%1」が見つかりません。ほかの画面で削除されたかもしれません。").arg(code)};
    return {true, QString()};
}

bool deleteCustomer(Database& db, const QString& code)
{
    try {
        db.exec(QStringLiteral("DELETE FROM 顧客マスター WHERE 顧客コード = ?"), {code});
    } catch (const DatabaseError&) {
        return false;
    }
    return true;
}
