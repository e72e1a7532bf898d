// ひまわり帳: start-up. The program works in its own directory, where
// HMWcfg.dat lives.
#include "app/MainWindow.h"
#include "app/Startup.h"

#include <QApplication>
#include <QFontDatabase>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("himawari"));
    // Screens and print-outs need a face that shows Japanese.
    for (const char* family : {"Noto Sans CJK JP", "Noto Sans JP", "IPAGothic"}) {
        if (QFontDatabase::families().contains(QString::fromUtf8(family))) {
            QFont font(QString::fromUtf8(family));
            font.setPointSize(10);
            QApplication::setFont(font);
            break;
        }
    }
    if (!startUp(QApplication::applicationDirPath()))
        return 1;
    frmTQメイン window;
    window.show();
    return app.exec();
}
