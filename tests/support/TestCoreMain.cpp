// main() of the logic test programs: a QCoreApplication and no widgets, so
// a program that links a logic library alone runs without a display.
// With --server every test's database is on the PostgreSQL server that
// HIMAWARI_TEST_SERVER names; without one the run is skipped with a line
// saying so (exit code 77, which ctest counts as skipped).
#include "support/TestInstallation.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--server") != 0)
            continue;
        if (testServerLocation().isEmpty()) {
            std::printf("No PostgreSQL server (HIMAWARI_TEST_SERVER is not set): the server half of %s is skipped.\n",
                        argv[0]);
            return 77;
        }
        std::printf("Every database of these tests is on the server %s.\n", qPrintable(testServerLocation()));
        setTestingOnServer(true);
    }
    return RUN_ALL_TESTS();
}
