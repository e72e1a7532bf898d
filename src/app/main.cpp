// ひまわり帳: start-up. The program works in its own directory, where
// HMWcfg.dat lives.
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "ui/JapaneseFont.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("himawari"));
    useJapaneseFont();
    if (!startUp(QApplication::applicationDirPath()))
        return 1;
    frmTQメイン window;
    window.show();
    return app.exec();
}
