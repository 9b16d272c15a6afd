// The main() of the tests that need the program's own application object
// (CDorvaneApp), on a desktop of the usual size.
#include "TestDesktop.h"
#include "app/CDorvaneApp.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Test discovery runs this executable without the tests' environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    CDorvaneApp app(argc, argv);
    useTestDesktop();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
