#include "app/Screens.h"

#include "ui/UiService.h"

#include <QDialog>
#include <QHash>
#include <memory>

namespace {

QHash<QString, ScreenFactory>& factories()
{
    static QHash<QString, ScreenFactory> map;
    return map;
}

} // namespace

void registerScreen(const QString& screenName, ScreenFactory factory)
{
    factories().insert(screenName, std::move(factory));
}

bool isScreenAvailable(const QString& screenName)
{
    return factories().contains(screenName);
}

QString notAvailableMessage(const QString& functionCaption)
{
    return QStringLiteral("「%1」はまだ使用できません。\nこの機能は現在準備中です。").arg(functionCaption);
}

int openScreen(const QString& screenName, const QString& functionCaption, QWidget* parent)
{
    auto it = factories().constFind(screenName);
    if (it == factories().constEnd()) {
        ui().showMessage(notAvailableMessage(functionCaption), QStringLiteral("お知らせ"));
        return -1;
    }
    std::unique_ptr<QDialog> dialog((*it)(parent));
    if (!dialog)
        return -1;
    return ui().runModal(*dialog);
}
