// Every item of the main window's menu bar and every button reaches a built
// screen: none of them tells the operator the function is not ready.
#include "app/AllScreens.h"
#include "app/MainWindow.h"
#include "ui/Screens.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

TEST(AllScreens, EveryMenuItemAndButtonOpensABuiltScreen)
{
    TestInstallation inst;
    registerAllScreens();
    QStringList missing;
    int items = 0;
    for (const MenuDefinition& menu : mainMenuDefinitions()) {
        for (const MenuItemDefinition& item : menu.items) {
            if (!item.objectName)
                continue;
            ++items;
            const QString screen = QString::fromUtf8(item.screen);
            // The version box belongs to the main window itself.
            if (screen != QStringLiteral("frmAbout") && !isScreenAvailable(screen))
                missing << screen;
        }
    }
    for (const char* screen : {"frm売上", "frmガス入力", "frm売掛入金", "frm顧客選択", "frm顧客選択ガス", "frm商品選択",
                               "frm商品選択2", "frm転記前確認", "frm勘定科目選択"})
        if (!isScreenAvailable(QString::fromUtf8(screen)))
            missing << QString::fromUtf8(screen);
    EXPECT_EQ(items, 50);
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u' ').toStdString();
}
