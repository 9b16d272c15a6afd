#pragma once

#include <gtest/gtest.h>

// Root may ignore file modes and another program's exclusive hold on a
// serial port, so the tests of those refusals would prove nothing when CI
// runs them as root. Such a test runs itself again in a child process of
// the same test program that has given up those powers (same user, same
// files) and takes the child's verdict.
namespace RootPowers {

// Whether this process may ignore file modes and exclusive holds.
bool held();

// Runs the current test in a child process without those powers; the
// child's output is in the message when it fails.
testing::AssertionResult rerunCurrentTestWithout();

} // namespace RootPowers

// At the top of a test whose refusals root would not meet.
#define VX4_RUN_WITHOUT_ROOT_POWERS()                                  \
    do {                                                               \
        if (RootPowers::held()) {                                      \
            EXPECT_TRUE(RootPowers::rerunCurrentTestWithout());        \
            return;                                                    \
        }                                                              \
    } while (false)
