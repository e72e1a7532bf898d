// Shared main() of every test program: one QApplication for the whole run,
// created before any widget and never re-created, with the program's own
// error guard and Japanese translations.
#include "ui/ErrorGuard.h"
#include "ui/JapaneseTranslations.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    GuardedApplication app(argc, argv);
    useJapaneseTranslations();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
