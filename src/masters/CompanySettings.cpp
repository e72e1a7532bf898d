#include "masters/CompanySettings.h"

#include "masters/RegistrationNumber.h"
#include "session/Routines.h"
#include "session/Session.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

namespace {

struct Box {
    int number;      // Textn
    int valueIndex;  // index into Configuration::values
    const char* caption;
    bool wide;       // paths and long lines
};

// In the order the screen shows them.
const Box Boxes[] = {
    {1, 0, "会社名", false},
    {2, 1, "住所", true},
    {3, 2, "電話番号", false},
    {4, 3, "会社付属１", true},
    {5, 4, "会社付属２", true},
    {6, 5, "会社付属３", true},
    {7, 6, "納品書コメント", true},
    {8, 7, "銀行口座１", true},
    {9, 8, "銀行口座２", true},
    {10, 9, "消費税率１", false},
    {11, 10, "消費税率２", false},
    {12, 11, "データベース名", false},
    {14, 12, "データベース　パス", true},
    {13, 13, "バックアップ　デレクトリーパス", true},
    {15, 14, "バックアップ　２", true},
    {16, 17, "管理者用コード", false},
};

const Box& boxOf(int number)
{
    for (const Box& box : Boxes)
        if (box.number == number)
            return box;
    return Boxes[0];
}

bool isTaxRate(int number)
{
    return number == 10 || number == 11;
}

constexpr int AdminCodeBox = 16;
// The reduced-rate choice and the registration number stand after this box,
// beside the rates they belong with.
constexpr int LastTaxRateBox = 11;

const QString Title = QStringLiteral("会社設定");

// Why a value cannot go into HMWcfg.dat (a double quote, a line break, a
// character Shift_JIS lacks), or an empty text when it can.
QString unwritable(int valueIndex, const QString& text)
{
    Configuration probe;
    probe.values[valueIndex] = text;
    try {
        configurationBytes(probe, ConfigurationFileName);
    } catch (const ConfigurationError& e) {
        return e.message();
    }
    return QString();
}

} // namespace

int frm設定会社::configurationIndex(int box)
{
    return boxOf(box).valueIndex;
}

QString frm設定会社::caption(int box)
{
    return QString::fromUtf8(boxOf(box).caption);
}

frm設定会社::frm設定会社(SessionState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("frm設定会社"));
    setWindowTitle(Title);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    QList<QWidget*> readingOrder;
    int row = 0;
    auto addRow = [&](const QString& labelName, const QString& caption, QWidget* field, bool wide) {
        auto* label = new QLabel(caption, this);
        label->setObjectName(labelName);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1, wide ? Qt::Alignment() : Qt::AlignLeft);
        readingOrder << field;
        ++row;
        return label;
    };
    for (const Box& box : Boxes) {
        auto* line = new QLineEdit(this);
        line->setObjectName(QStringLiteral("Text%1").arg(box.number));
        line->setMinimumWidth(box.wide ? 420 : 200);
        captions[box.number] =
            addRow(QStringLiteral("Label%1").arg(box.number), QString::fromUtf8(box.caption), line, box.wide);
        boxes[box.number] = line;
        if (box.number != LastTaxRateBox)
            continue;
        reducedRateChoice = new QComboBox(this);
        reducedRateChoice->setObjectName(QStringLiteral("Combo軽減税率"));
        reducedRateChoice->addItem(QStringLiteral("消費税率１"), 1);
        reducedRateChoice->addItem(QStringLiteral("消費税率２"), 2);
        reducedRateChoice->setMinimumWidth(200);
        addRow(QStringLiteral("Label軽減税率"), QStringLiteral("軽減税率"), reducedRateChoice, false);
        registrationBox = new QLineEdit(this);
        registrationBox->setObjectName(QStringLiteral("Text17"));
        registrationBox->setMinimumWidth(200);
        addRow(QStringLiteral("Label17"), QStringLiteral("登録番号"), registrationBox, false);
    }
    grid->setColumnStretch(1, 1);

    okButton = new QPushButton(QStringLiteral("ＯＫ"), this);
    okButton->setObjectName(QStringLiteral("Command1"));
    okButton->setMinimumSize(110, 34);
    okButton->setAutoDefault(false);
    cancelButton = new QPushButton(QStringLiteral("中止"), this);
    cancelButton->setObjectName(QStringLiteral("Command2"));
    cancelButton->setMinimumSize(110, 34);
    cancelButton->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    // Every box shows the value in force now.
    Configuration& config = state_.config;
    filling_ = true;
    for (const Box& box : Boxes) {
        boxes[box.number]->setText(config.values[box.valueIndex]);
        boxes[box.number]->setCursorPosition(0);
        accepted_[box.number] = config.values[box.valueIndex];
    }
    registrationBox->setText(config.registrationNumber);
    registrationBox->setCursorPosition(0);
    // A configuration made in code may name no reduced rate: nothing chosen.
    reducedRateChoice->setCurrentIndex(reducedRateChoice->findData(config.reducedRate));
    filling_ = false;

    for (const Box& box : Boxes) {
        const int number = box.number;
        connect(boxes[number], &QLineEdit::textChanged, this, [this, number] { changed(number); });
    }
    connect(reducedRateChoice, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!filling_ && index >= 0)
            state_.config.reducedRate = reducedRateChoice->itemData(index).toInt();
    });
    connect(okButton, &QPushButton::clicked, this, [this] { confirm(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });

    setTabOrderChain(readingOrder + QList<QWidget*>{okButton, cancelButton});
    enableEnterNavigation(this);
    boxes[1]->setFocus();
}

void frm設定会社::changed(int number)
{
    if (filling_)
        return;
    QLineEdit* box = boxes[number];
    const int valueIndex = configurationIndex(number);
    QString text = box->text();

    auto refuse = [&](const QString& message) {
        filling_ = true;
        box->setText(accepted_[number]);
        filling_ = false;
        ui().showMessage(message, Title);
    };

    const QString problem = unwritable(valueIndex, text);
    if (!problem.isEmpty()) {
        refuse(problem);
        return;
    }
    // A pasted tab or other control character would go into the file and
    // onto every printed slip.
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            refuse(QStringLiteral("「%1」に使えない文字（制御文字）が含まれています。").arg(caption(number)));
            return;
        }
    const bool number_ = isTaxRate(number) || number == AdminCodeBox;
    if (number_ && !numberCharactersOnly(text)) {
        refuse(QStringLiteral("「%1」には数値を入力して下さい。").arg(caption(number)));
        return;
    }
    Configuration& config = state_.config;
    if (number == AdminCodeBox) {
        const std::optional<std::int32_t> code = administratorCodeValue(text);
        if (!code) {
            refuse(QStringLiteral("「%1」の値が大きすぎます。").arg(caption(number)));
            return;
        }
        config.adminCode = *code;
    }
    if (isTaxRate(number)) {
        const QString checked = checkedTaxRate(text);
        if (checked != text) {
            text = checked;
            filling_ = true;
            box->setText(text);
            filling_ = false;
        }
    }
    config.values[valueIndex] = text;
    accepted_[number] = text;
}

void frm設定会社::confirm()
{
    // The registration number is checked before anything is asked: a number
    // that cannot be one is refused, a doubtful check digit is the
    // operator's call.
    const RegistrationNumberCheck number = checkRegistrationNumber(registrationBox->text());
    auto backToNumber = [this] {
        registrationBox->setFocus();
        registrationBox->selectAll();
    };
    if (number.verdict == RegistrationNumberCheck::Verdict::Refused) {
        ui().showMessage(number.message, Title);
        backToNumber();
        return;
    }
    if (number.verdict == RegistrationNumberCheck::Verdict::DoubtfulDigit
        && !ui().ask(number.message, Title, UiService::Preset::Cancel)) {
        backToNumber();
        return;
    }
    const QString title = QStringLiteral("会社設定の変更");
    if (!ui().ask(QStringLiteral("会社データを書換します。よろしいですか？"), title))
        return; // the screen stays open with the edited values
    Configuration& config = state_.config;
    config.registrationNumber = number.number; // as stored: "T" and half-width digits
    registrationBox->setText(number.number);
    if (config.slipCounter == std::numeric_limits<std::int32_t>::min()) {
        ui().showMessage(QStringLiteral("伝票番号が範囲外のため、設定ファイルを書き込めません。"), title);
        return;
    }
    // Writing advances the counter; saving the settings uses no number, so
    // the counter is lowered first and the file keeps the value it had.
    config.slipCounter -= 1;
    try {
        writeConfiguration(state_.config);
    } catch (const ConfigurationError& e) {
        // The write advanced the counter back before it failed.
        ui().showMessage(e.message(), title);
        return;
    }
    try {
        state_.config = readConfiguration();
    } catch (const ConfigurationError& e) {
        ui().showMessage(e.message(), title);
    }
    accept();
}

void frm設定会社::cancel()
{
    // The values typed are in the session already and stay in force for the
    // rest of the run; the file is left as it was. A registration number
    // typed is not: it goes into the session only once "ＯＫ" has checked it,
    // so the next stored slip never writes one that was never checked.
    reject();
}
