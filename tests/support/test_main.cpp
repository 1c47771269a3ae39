#include "common/application.h"

#include <gtest/gtest.h>

// One application object for the whole test executable, on the offscreen platform
// unless another is asked for.
int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Every test runs at the same moment, whatever the wall clock says: 2026-12-10 12:00:00 for
    // TodayYmd, the database's SYSDATE() and every program a test starts (they inherit it).
    // A test that needs another moment sets KELO_NOW itself.
    qputenv("KELO_NOW", "20261210120000");
    ::testing::InitGoogleTest(&argc, argv);
    kelo::Application app(argc, argv); // with the program's general error handling
    return RUN_ALL_TESTS();
}
