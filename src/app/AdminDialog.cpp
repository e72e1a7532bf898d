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
    Label1 = new QLabel(QStringLiteral("管理者用パスワードを入力してください。"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setEchoMode(QLineEdit::Password);
    Label1->setBuddy(Text1);
    Command1 = new QPushButton(QStringLiteral("ＯＫ"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    layout->addWidget(Label1);
    layout->addWidget(Text1);
    layout->addWidget(Command1, 0, Qt::AlignRight);

    connect(Command1, &QPushButton::clicked, this, [this] { confirm(); });
}

void frm管理者::confirm()
{
    // An empty entry does nothing: the screen stays open for the code.
    if (Text1->text().isEmpty())
        return;
    // A wrong code closes the screen without a word, as a lock should.
    if (administratorCodeMatches(Text1->text(), adminCode_) && onUnlock)
        onUnlock();
    accept();
}
