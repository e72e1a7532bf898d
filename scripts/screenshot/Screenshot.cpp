// Renders the program's windows offscreen to PNG files, for the README and
// for looking at a screen as the operator would see it:
//   himawari-screenshot INSTALLATION_DIR OUTPUT_DIR
// The installation is read as the program reads it at start-up.
#include "app/AboutDialog.h"
#include "app/AdminDialog.h"
#include "app/MainWindow.h"
#include "session/Session.h"
#include "app/Startup.h"
#include "ui/JapaneseFont.h"

#include <QApplication>
#include <QDir>
#include <QMenuBar>
#include <QPixmap>
#include <cstdio>

namespace {

bool save(QWidget& widget, const QString& path)
{
    widget.show();
    widget.adjustSize();
    QApplication::processEvents();
    const bool ok = widget.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: himawari-screenshot INSTALLATION_DIR OUTPUT_DIR\n");
        return 2;
    }
    useJapaneseFont();
    const QString out = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QDir().mkpath(out);
    SessionState state;
    if (!startUp(state, QDir(QString::fromLocal8Bit(argv[1])).absolutePath()))
        return 1;

    bool ok = true;
    frmTQメイン main(state);
    main.resize(640, 420);
    ok &= save(main, out + "/main-window.png");
    main.unlockAdministratorMenus();
    ok &= save(main, out + "/main-window-unlocked.png");
    frm管理者 admin(state.config.adminCode);
    ok &= save(admin, out + "/administrator.png");
    frmAbout about;
    ok &= save(about, out + "/about.png");
    // Each menu opened, so captions can be checked for cut-off text.
    for (QAction* top : main.menuBar()->actions()) {
        if (top->menu()->actions().isEmpty())
            continue;
        ok &= save(*top->menu(), out + "/menu-" + top->objectName() + ".png");
        top->menu()->hide();
    }
    return ok ? 0 : 1;
}
