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

    lblTitle = new QLabel(programTitle(), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont f = lblTitle->font();
    f.setPointSize(20);
    f.setBold(true);
    lblTitle->setFont(f);
    lblVersion = new QLabel(QStringLiteral("ﾊﾞｰｼﾞｮﾝ %1.%2.%3")
                                .arg(HIMAWARI_VERSION_MAJOR)
                                .arg(HIMAWARI_VERSION_MINOR)
                                .arg(HIMAWARI_VERSION_PATCH),
                            this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblDescription = new QLabel(QStringLiteral("米・灯油・ＬＰガス・雑貨の販売と売掛、帳簿を管理するプログラムです。"), this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDisclaimer = new QLabel(QStringLiteral("データファイルは定期的にバックアップしてください。\n"
                                              "設定ファイル HMWcfg.dat とデータベースは一緒に保管してください。"),
                               this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setWordWrap(true);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("ｼｽﾃﾑ情報(&S)..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));

    layout->addWidget(lblTitle);
    layout->addWidget(lblVersion);
    layout->addWidget(lblDescription);
    layout->addSpacing(8);
    layout->addWidget(lblDisclaimer);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, [this] { accept(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { StartSysInfo(); });
}

void frmAbout::StartSysInfo()
{
    ui().showMessage(QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"), programTitle());
}
