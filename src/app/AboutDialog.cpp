#include "app/AboutDialog.h"

#include "ui/UiService.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QString programTitle()
{
    return QStringLiteral("ひまわり帳");
}

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(programTitle() + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(10);

    titleLabel = new QLabel(programTitle(), this);
    titleLabel->setObjectName(QStringLiteral("lblTitle"));
    QFont f = titleLabel->font();
    f.setPointSize(20);
    f.setBold(true);
    titleLabel->setFont(f);
    versionLabel = new QLabel(QStringLiteral("ﾊﾞｰｼﾞｮﾝ %1.%2.%3")
                                .arg(HIMAWARI_VERSION_MAJOR)
                                .arg(HIMAWARI_VERSION_MINOR)
                                .arg(HIMAWARI_VERSION_PATCH),
                            this);
    versionLabel->setObjectName(QStringLiteral("lblVersion"));
    descriptionLabel = new QLabel(QStringLiteral("米・灯油・ＬＰガス・雑貨の販売と売掛、帳簿を管理するプログラムです。"), this);
    descriptionLabel->setObjectName(QStringLiteral("lblDescription"));
    disclaimerLabel = new QLabel(QStringLiteral("データファイルは定期的にバックアップしてください。\n"
                                              "設定ファイル HMWcfg.dat とデータベースは一緒に保管してください。"),
                               this);
    disclaimerLabel->setObjectName(QStringLiteral("lblDisclaimer"));
    disclaimerLabel->setWordWrap(true);

    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("cmdOK"));
    okButton->setDefault(true);
    systemInfoButton = new QPushButton(QStringLiteral("ｼｽﾃﾑ情報(&S)..."), this);
    systemInfoButton->setObjectName(QStringLiteral("cmdSysInfo"));

    layout->addWidget(titleLabel);
    layout->addWidget(versionLabel);
    layout->addWidget(descriptionLabel);
    layout->addSpacing(8);
    layout->addWidget(disclaimerLabel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(systemInfoButton);
    layout->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, [this] { accept(); });
    connect(systemInfoButton, &QPushButton::clicked, this, [this] { showSystemInfo(); });
}

void frmAbout::showSystemInfo()
{
    ui().showMessage(QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"), programTitle());
}
