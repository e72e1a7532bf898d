#include "app/AdminDialog.h"

#include "core/Text.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

bool administratorCodeMatches(const QString& typed, std::int32_t adminCode)
{
    if (!text::isNumber(typed))
        return false;
    // The code is a whole number typed in digits: a number in exponent form
    // is not a code, and the typed value is compared as it stands, never
    // rounded, so 1234.5 does not open code 1234.
    const QString plain = text::halfWidthDigits(typed);
    if (plain.contains(u'e', Qt::CaseInsensitive))
        return false;
    return text::Val(typed) == double(adminCode);
}

frm管理者::frm管理者(std::int32_t adminCode, QWidget* parent) : QDialog(parent), adminCode_(adminCode)
{
    setObjectName(QStringLiteral("frm管理者"));
    setWindowTitle(QStringLiteral("管理者"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(12);
    promptLabel = new QLabel(QStringLiteral("管理者用パスワードを入力してください。"), this);
    promptLabel->setObjectName(QStringLiteral("Label1"));
    codeBox = new QLineEdit(this);
    codeBox->setObjectName(QStringLiteral("Text1"));
    codeBox->setEchoMode(QLineEdit::Password);
    promptLabel->setBuddy(codeBox);
    okButton = new QPushButton(QStringLiteral("ＯＫ"), this);
    okButton->setObjectName(QStringLiteral("Command1"));
    okButton->setDefault(true);
    layout->addWidget(promptLabel);
    layout->addWidget(codeBox);
    layout->addWidget(okButton, 0, Qt::AlignRight);

    connect(okButton, &QPushButton::clicked, this, [this] { confirm(); });
}

void frm管理者::confirm()
{
    // An empty entry does nothing: the screen stays open for the code.
    if (codeBox->text().isEmpty())
        return;
    // A wrong code closes the screen without a word, as a lock should.
    if (administratorCodeMatches(codeBox->text(), adminCode_) && onUnlock)
        onUnlock();
    accept();
}
