#include "ui/Screens.h"

#include "ui/ErrorGuard.h"
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

int openScreen(SessionState& state, const QString& screenName, const QString& functionCaption, QWidget* parent,
               const ScreenRequest& request)
{
    auto it = factories().constFind(screenName);
    if (it == factories().constEnd()) {
        ui().showMessage(notAvailableMessage(functionCaption), QStringLiteral("お知らせ"));
        return -1;
    }
    const ScreenFactory factory = *it;
    return runScreen([&] { return factory(state, parent); }, request);
}

int runScreen(const std::function<QDialog*()>& create, const ScreenRequest& request)
{
    int result = -1;
    // The screen lives only inside the guard: an error in its opening steps
    // or in any of its handlers ends this opening, never the program.
    runGuarded([&] {
        std::unique_ptr<QDialog> dialog(create());
        if (!dialog)
            return;
        if (request)
            request(*dialog);
        result = ui().runModal(*dialog);
    });
    return result;
}
