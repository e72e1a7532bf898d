#include "app/ShopFolder.h"

#include "core/Text.h"
#include "db/Database.h"
#include "session/Routines.h"
#include "ui/UiService.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString SettingsKey = QStringLiteral("shopFolder");
const QString ChoiceTitle = QStringLiteral("データのフォルダ");

QSettings operatorSettings()
{
    return QSettings(QStringLiteral("himawari"), QStringLiteral("himawari"));
}

// "~/…" typed by the operator means the home folder.
QString expandedPath(const QString& typed)
{
    const QString t = typed.trimmed();
    if (t == u"~" || t.startsWith(QStringLiteral("~/")))
        return QDir::homePath() + t.mid(1);
    return t;
}

} // namespace

QString installedProgramDirectory()
{
    return QStringLiteral(HIMAWARI_INSTALLED_BINDIR);
}

std::optional<QString> shopFolderArgument(const QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--shop"));
    if (at < 0 || at + 1 >= arguments.size())
        return std::nullopt;
    return QDir(arguments[at + 1]).absolutePath();
}

std::optional<QString> chooseShopFolder(const QString& programDirectory, const QStringList& arguments)
{
    if (const std::optional<QString> named = shopFolderArgument(arguments)) {
        QDir().mkpath(*named);
        return named;
    }
    if (QDir(programDirectory).absolutePath() != QDir(installedProgramDirectory()).absolutePath())
        return programDirectory;

    QSettings settings = operatorSettings();
    const QString remembered = settings.value(SettingsKey).toString();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;

    QString offered = QDir::home().filePath(QStringLiteral("ひまわり帳"));
    for (;;) {
        const std::optional<QString> typed = ui().inputText(
            QStringLiteral("ひまわり帳のデータ（設定ファイルとデータベース）を置くフォルダを入力してください。\n"
                           "ないフォルダは作成します。"),
            ChoiceTitle, offered);
        if (!typed)
            return std::nullopt;
        const QString folder = QDir(expandedPath(*typed)).absolutePath();
        if (!typed->trimmed().isEmpty() && QDir().mkpath(folder) && QFileInfo(folder).isWritable()) {
            settings.setValue(SettingsKey, folder);
            return folder;
        }
        ui().showMessage(QStringLiteral("このフォルダは使えません（作成できないか、書き込めません）。\n%1\n\n"
                                        "別のフォルダを入力してください。")
                             .arg(QDir::toNativeSeparators(folder)),
                         ChoiceTitle);
        offered = *typed;
    }
}

bool prepareNewShop(const QString& folder)
{
    QDir dir(folder);
    const QString configPath = dir.filePath(ConfigurationFileName);
    if (QFileInfo::exists(configPath))
        return false;
    const QString databaseFile = QStringLiteral("himawari.db");
    const QString prefix = dir.absolutePath() + u'/';
    Configuration c;
    c.taxRate1() = QStringLiteral("0.10");
    c.taxRate2() = QStringLiteral("0.08");
    c.reducedRate = 2;
    c.databaseFileName() = databaseFile;
    c.databaseDirectory() = prefix;
    c.backupDirectory(1) = prefix + QStringLiteral("backup1/");
    c.backupDirectory(2) = prefix + QStringLiteral("backup2/");
    c.slipPrefix = 0;
    c.adminCode = 0;
    // The file is written with the counter advanced by one: the first slip
    // is number 1.
    c.slipCounter = 0;
    if (!QFileInfo::exists(prefix + databaseFile)) {
        try {
            Database::create(prefix + databaseFile);
        } catch (const DatabaseError& e) {
            throw ConfigurationError(QStringLiteral("新しいデータベースを作成できませんでした。\n%1\n%2")
                                         .arg(QDir::toNativeSeparators(prefix + databaseFile), e.databaseText()));
        }
    }
    writeConfiguration(c, configPath);
    return true;
}

QString newShopMessage(const QString& folder)
{
    return QStringLiteral("新しいお店のデータをこのフォルダに作成しました。\n%1\n\n"
                          "会社名・住所・消費税率などは「設定」の「会社設定」で入力してください。\n"
                          "管理者用コードは 0 です（会社設定で変更できます）。")
        .arg(QDir::toNativeSeparators(folder));
}
