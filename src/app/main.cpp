// ひまわり帳: start-up. The program works in its shop folder, where
// HMWcfg.dat lives: beside the program file for a copy run from its build
// folder, a folder of the operator's for an installed copy.
//
// Options: "--shop DIR" works in DIR (a new shop is prepared there when it
// has no HMWcfg.dat); "--check-start" ends as soon as the main window is
// shown, with exit code 0 (the package's installation test).
#include "app/AllScreens.h"
#include "ui/ErrorGuard.h"
#include "app/MainWindow.h"
#include "app/ShopFolder.h"
#include "app/Startup.h"
#include "core/OperatorError.h"
#include "session/Session.h"
#include "ui/JapaneseFont.h"
#include "ui/JapaneseTranslations.h"
#include "ui/Screens.h"
#include "ui/UiService.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("himawari"));
    useJapaneseFont();
    useJapaneseTranslations();
    registerAllScreens();

    const QStringList arguments = QApplication::arguments();
    const QString programDirectory = QApplication::applicationDirPath();
    const std::optional<QString> shop = chooseShopFolder(programDirectory, arguments);
    if (!shop)
        return 1;
    // A shop folder of the operator's (not the program's own) starts as a
    // new shop when it has none yet.
    bool newShop = false;
    if (*shop != programDirectory) {
        try {
            newShop = prepareNewShop(*shop);
        } catch (const OperatorError& e) {
            ui().showMessage(e.message() + QStringLiteral("\n\nプログラムを終了します。"), QStringLiteral("起動エラー"));
            return 1;
        }
    }

    // The one session state of this run: the main window hands it to every
    // screen it opens.
    SessionState state;
    if (!startUp(state, *shop))
        return 1;
    frmTQメイン window(state);
    window.show();
    if (arguments.contains(QStringLiteral("--check-start"))) {
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    } else if (newShop) {
        QTimer::singleShot(0, &window, [&state, &window, folder = *shop] {
            ui().showMessage(newShopMessage(folder), QStringLiteral("新しいお店"));
            if (ui().askYesNo(oldDataOffer(), QStringLiteral("新しいお店")))
                openScreen(state, QStringLiteral("frm旧データ取り込み"), QStringLiteral("旧データの取り込み"), &window);
        });
    }
    return app.exec();
}
