#include "maintenance/BackupScreen.h"

#include "session/Session.h"
#include "db/DatabaseLocation.h"
#include "db/ExclusiveRun.h"
#include "maintenance/Backup.h"
#include "ui/ScreenWidgets.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString BackupTitle = QStringLiteral("データバックアップ");
const QString RestoreTitle = QStringLiteral("データ復元");

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

frmバックアップ::frmバックアップ(SessionState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("frmバックアップ"));
    setWindowTitle(QStringLiteral("データのバックアップ"));

    headingLabel = new QLabel(QStringLiteral("データのバックアップまたは復元を行います。"), this);
    headingLabel->setObjectName(QStringLiteral("Label1"));
    QFont big = headingLabel->font();
    big.setPointSizeF(big.pointSizeF() * 1.2);
    headingLabel->setFont(big);
    headingLabel->setAlignment(Qt::AlignCenter);

    backUpButton = commandButton(this, QStringLiteral("Command1"), QStringLiteral("バックアップ"), QSize(150, 40));
    restoreButton = commandButton(this, QStringLiteral("Command2"), QStringLiteral("復元"), QSize(150, 40));
    backUp2Button = commandButton(this, QStringLiteral("Command4"), QStringLiteral("バックアップ２"), QSize(150, 40));
    restore2Button = commandButton(this, QStringLiteral("Command5"), QStringLiteral("復元２"), QSize(150, 40));
    finishButton = commandButton(this, QStringLiteral("Command3"), QStringLiteral("終了"), QSize(150, 40));
    connect(backUpButton, &QPushButton::clicked, this, [this] { backUp(1); });
    connect(restoreButton, &QPushButton::clicked, this, [this] { restore(1); });
    connect(backUp2Button, &QPushButton::clicked, this, [this] { backUp(2); });
    connect(restore2Button, &QPushButton::clicked, this, [this] { restore(2); });
    connect(finishButton, &QPushButton::clicked, this, &QDialog::accept);

    // Directory 1 on the first row, directory 2 on the second; backup
    // left, restore right.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(12);
    grid->addWidget(backUpButton, 0, 0);
    grid->addWidget(restoreButton, 0, 1);
    grid->addWidget(backUp2Button, 1, 0);
    grid->addWidget(restore2Button, 1, 1);
    grid->addWidget(finishButton, 2, 0, 1, 2, Qt::AlignHCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 20);
    layout->setSpacing(20);
    layout->addWidget(headingLabel);
    layout->addLayout(grid);
    setTabOrder(backUpButton, restoreButton);
    setTabOrder(restoreButton, backUp2Button);
    setTabOrder(backUp2Button, restore2Button);
    setTabOrder(restore2Button, finishButton);
    enableEnterNavigation(this);
}

void frmバックアップ::backUp(int number)
{
    const BackupLocation where = backupLocation(state_.config, number);
    try {
        // A directory that cannot take the copies is told before the question.
        checkBackupDirectory(where);
    } catch (const BackupError& e) {
        ui().showMessage(e.message(), BackupTitle);
        return;
    }
    if (!ui().ask(QStringLiteral("データファイルを") + where.directory + QStringLiteral("へコピーします。よろしいですか？"),
                  BackupTitle))
        return;
    try {
        BusyCursor busy;
        backUpData(where);
    } catch (const BackupError& e) {
        ui().showMessage(e.message(), BackupTitle);
        return;
    }
    // A shop on a server is backed up as the server's dump archive.
    const QString database = isServerLocation(where.databasePath) ? where.backupDumpPath() : where.backupDatabasePath();
    ui().showMessage(QStringLiteral("データのバックアップが完了しました。\n%1\n%2")
                         .arg(shown(database), shown(where.backupConfigurationPath())),
                     BackupTitle);
}

void frmバックアップ::restore(int number)
{
    const BackupLocation where = backupLocation(state_.config, number);
    try {
        checkBackupDirectory(where);
    } catch (const BackupError& e) {
        ui().showMessage(e.message(), RestoreTitle);
        return;
    }
    if (!ui().ask(QStringLiteral("データ復元をするとバックアップ以降のデータは、失われます。よろしいですか？"), RestoreTitle))
        return;
    if (!ui().ask(QStringLiteral("データファイルを") + where.directory + QStringLiteral("から復元します。よろしいですか？"),
                  RestoreTitle))
        return;
    RestoreResult result;
    try {
        BusyCursor busy;
        result = restoreData(where, state_.config);
    } catch (const BackupError& e) {
        ui().showMessage(e.message(), RestoreTitle);
        return;
    } catch (const RunHeldElsewhere& e) {
        ui().showMessage(e.message(), RestoreTitle);
        return;
    }
    QString text = QStringLiteral("データの復元が完了しました。");
    if (!result.savedDatabase.isEmpty() && isServerLocation(where.databasePath))
        text += QStringLiteral("\n復元前のデータはサーバーのスキーマ %1 と次のファイルに残してあります。\n%2")
                    .arg(result.savedDatabase, shown(result.savedConfiguration));
    else if (!result.savedDatabase.isEmpty())
        text += QStringLiteral("\n復元前のデータは次のファイルに残してあります。\n%1\n%2")
                    .arg(shown(result.savedDatabase), shown(result.savedConfiguration));
    ui().showMessage(text, RestoreTitle);
}
