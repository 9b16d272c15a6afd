// The main() of the tests of windows: a QApplication on the offscreen
// platform with the font substitutions the program installs at start-up,
// on a desktop of the usual size.
#include "TestDesktop.h"
#include "widgets/FontSubstitutions.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Test discovery runs this executable without the tests' environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    useTestDesktop();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
