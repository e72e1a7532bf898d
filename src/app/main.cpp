// ひまわり帳: start-up. The program works in its own directory, where
// HMWcfg.dat lives.
#include "app/AllScreens.h"
#include "ui/ErrorGuard.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "session/Session.h"
#include "ui/JapaneseFont.h"
#include "ui/JapaneseTranslations.h"

#include <QApplication>

int main(int argc, char** argv)
{
    GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("himawari"));
    useJapaneseFont();
    useJapaneseTranslations();
    registerAllScreens();
    // The one session state of this run: the main window hands it to every
    // screen it opens.
    SessionState state;
    if (!startUp(state, QApplication::applicationDirPath()))
        return 1;
    frmTQメイン window(state);
    window.show();
    return app.exec();
}
