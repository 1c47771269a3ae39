#include "common/application.h"

#include <gtest/gtest.h>

// One application object for the whole test executable, on the offscreen platform
// unless another is asked for.
int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    kelo::Application app(argc, argv); // with the program's general error handling
    return RUN_ALL_TESTS();
}
