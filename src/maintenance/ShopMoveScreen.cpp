#include "maintenance/ShopMoveScreen.h"

#include "core/OperatorError.h"
#include "db/DatabaseLocation.h"
#include "maintenance/ShopMove.h"
#include "session/Routines.h"
#include "session/Session.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <stdexcept>

namespace {

const QString Title = QStringLiteral("データベースの移行");

} // namespace

frmサーバー移行::frmサーバー移行(SessionState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("frmサーバー移行"));
    setWindowTitle(Title);

    auto* intro = new QLabel(QStringLiteral("２台目のコンピューターでも同じ店のデータを使うときは、データベースを"
                                            "PostgreSQL サーバーへ移します。店のデータをすべて写して確かめてから切り替えます。"
                                            "移す前のデータベースはそのまま残ります。パスワードはここには書きません"
                                            "（~/.pgpass に書いてください）。"),
                             this);
    intro->setWordWrap(true);
    currentLabel = new QLabel(this);
    currentLabel->setObjectName(QStringLiteral("lbl現在"));
    currentLabel->setWordWrap(true);
    currentLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    hostBox = new QLineEdit(this);
    hostBox->setObjectName(QStringLiteral("Textホスト"));
    hostBox->setMinimumWidth(320);
    portBox = new QSpinBox(this);
    portBox->setObjectName(QStringLiteral("Textポート"));
    portBox->setRange(1, 65535);
    portBox->setValue(5432);
    databaseBox = new QLineEdit(QStringLiteral("himawari"), this);
    databaseBox->setObjectName(QStringLiteral("Textデータベース"));
    userBox = new QLineEdit(this);
    userBox->setObjectName(QStringLiteral("Textユーザー"));

    toServerButton = new QPushButton(QStringLiteral("サーバーへ移す"), this);
    toServerButton->setObjectName(QStringLiteral("cmdサーバーへ"));
    toFileButton = new QPushButton(QStringLiteral("ファイルへ戻す"), this);
    toFileButton->setObjectName(QStringLiteral("cmdファイルへ"));
    closeButton = new QPushButton(QStringLiteral("終了"), this);
    closeButton->setObjectName(QStringLiteral("cmd終了"));
    for (QPushButton* b : {toServerButton, toFileButton, closeButton}) {
        b->setAutoDefault(false);
        b->setMinimumSize(130, 32);
    }
    connect(toServerButton, &QPushButton::clicked, this, [this] { moveToServer(); });
    connect(toFileButton, &QPushButton::clicked, this, [this] { moveToFile(); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("サーバー"), hostBox);
    form->addRow(QStringLiteral("ポート"), portBox);
    form->addRow(QStringLiteral("データベース名"), databaseBox);
    form->addRow(QStringLiteral("ユーザー名"), userBox);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(toServerButton);
    buttons->addWidget(toFileButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(currentLabel);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setTabOrderChain({hostBox, portBox, databaseBox, userBox, toServerButton, toFileButton, closeButton});
    enableEnterNavigation(this);
    showCurrent();
}

void frmサーバー移行::showCurrent()
{
    const QString path = state_.config.databasePath;
    const bool onServer = isServerLocation(path);
    currentLabel->setText(QStringLiteral("今のデータベース：%1").arg(onServer ? shownLocation(path) : QDir::toNativeSeparators(path)));
    if (onServer) {
        try {
            const ServerLocation server = *serverLocation(path);
            hostBox->setText(server.host);
            portBox->setValue(server.port);
            databaseBox->setText(server.databaseName);
            userBox->setText(server.user);
        } catch (const std::invalid_argument&) {
        }
    }
    for (QWidget* box : std::initializer_list<QWidget*>{hostBox, portBox, databaseBox, userBox})
        box->setEnabled(!onServer);
    toServerButton->setEnabled(!onServer);
    toFileButton->setEnabled(onServer);
}

QString frmサーバー移行::shopFolder() const
{
    return QFileInfo(configurationFilePath()).absolutePath();
}

bool frmサーバー移行::moveToServer()
{
    ServerLocation server;
    server.host = hostBox->text().trimmed();
    server.port = portBox->value();
    server.databaseName = databaseBox->text().trimmed();
    server.user = userBox->text().trimmed();
    if (server.databaseName.isEmpty()) {
        ui().showMessage(QStringLiteral("データベース名を入力してください。"), Title);
        return false;
    }
    const QString target = serverLocationText(server);
    if (!ui().ask(QStringLiteral("店のデータをすべて %1 へ写して、これからはサーバーのデータベースを使います。\n"
                                 "サーバーのデータベースは空でなければなりません。よろしいですか？")
                      .arg(shownLocation(target)),
                  Title, UiService::Preset::Cancel))
        return false;
    try {
        const BusyCursor busy;
        moveShopToServer(state_.config, server, shopFolder());
    } catch (const std::exception& e) {
        const auto* operatorError = dynamic_cast<const OperatorError*>(&e);
        ui().showMessage(QStringLiteral("サーバーへ移せませんでした。店のデータは今までどおりファイルにあります。\n%1")
                             .arg(operatorError ? operatorError->message() : QString::fromUtf8(e.what())),
                         Title);
        return false;
    }
    state_.config.databasePath = target;
    showCurrent();
    ui().showMessage(QStringLiteral("サーバーへ移しました。これからは %1 を使います。\n"
                                    "もう１台のコンピューターには、この店のフォルダーの HMWsrv.dat を写し、"
                                    "HMWcfg.dat の伝票番号の頭番号（16 行目）をこのコンピューターと違う数にしてください。")
                         .arg(shownLocation(target)),
                     Title);
    return true;
}

bool frmサーバー移行::moveToFile()
{
    const QString file = state_.config.databaseDirectory() + state_.config.databaseFileName();
    if (!ui().ask(QStringLiteral("店のデータをすべてサーバーからファイル %1 へ写して、これからはファイルを使います。\n"
                                 "ほかのコンピューターでこの店を使っていないことを確かめてください。よろしいですか？")
                      .arg(QDir::toNativeSeparators(file)),
                  Title, UiService::Preset::Cancel))
        return false;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString fresh = file + QStringLiteral(".from-server-") + stamp;
    QString kept;
    try {
        const BusyCursor busy;
        moveShopToFile(state_.config, fresh);
        // The file the shop left behind when it moved is kept beside it.
        if (QFileInfo::exists(file)) {
            kept = file + QStringLiteral(".before-server-") + stamp;
            if (!QFile::rename(file, kept))
                throw std::runtime_error(QStringLiteral("%1 を %2 に名前を変えられません。").arg(file, kept).toStdString());
        }
        if (!QFile::rename(fresh, file))
            throw std::runtime_error(QStringLiteral("%1 を %2 に名前を変えられません。").arg(fresh, file).toStdString());
        useFileAgain(shopFolder());
    } catch (const std::exception& e) {
        const auto* operatorError = dynamic_cast<const OperatorError*>(&e);
        ui().showMessage(QStringLiteral("ファイルへ戻せませんでした。店のデータは今までどおりサーバーにあります。\n%1")
                             .arg(operatorError ? operatorError->message() : QString::fromUtf8(e.what())),
                         Title);
        return false;
    }
    state_.config.databasePath = file;
    showCurrent();
    QString message = QStringLiteral("ファイルへ戻しました。これからは %1 を使います。").arg(QDir::toNativeSeparators(file));
    if (!kept.isEmpty())
        message += QStringLiteral("\n移す前のファイルは %1 に残しました。").arg(QDir::toNativeSeparators(kept));
    ui().showMessage(message, Title);
    return true;
}
