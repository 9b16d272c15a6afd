#include "app/CDorvaneApp.h"
#include "serial/SerialError.h"
#include "widgets/UserDialogs.h"

#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(TopLevelHandler, SerialErrorFromAnEventIsShownAndTheProgramGoesOn)
{
    UserDialogs::MessageRecorder messages;
    int after = 0;
    QTimer::singleShot(0, [] { throw SerialError(QStringLiteral("The port COM3 is not present.")); });
    QTimer::singleShot(0, [&] { ++after; });
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(messages.messages, QStringList{QStringLiteral("The port COM3 is not present.")});
    EXPECT_EQ(after, 1);
}

TEST(TopLevelHandler, ErrorInAButtonActionEndsOnlyThatAction)
{
    // Windows run their actions through runAction, so the error never
    // unwinds through Qt's event delivery.
    UserDialogs::MessageRecorder messages;
    QPushButton button(QStringLiteral("Search"));
    int reached = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        UserDialogs::runAction(&button, [&] {
            ++reached;
            throw SerialError(QStringLiteral("busy"));
        });
    });
    button.click();
    button.click();
    EXPECT_EQ(reached, 2);
    EXPECT_EQ(messages.messages, (QStringList{QStringLiteral("busy"), QStringLiteral("busy")}));
}

TEST(TopLevelHandler, RunGuardedReportsWhetherTheActionCompleted)
{
    UserDialogs::MessageRecorder messages;
    EXPECT_TRUE(CDorvaneApp::runGuarded([] {}));
    EXPECT_FALSE(CDorvaneApp::runGuarded([] { throw std::runtime_error("disk full"); }));
    EXPECT_EQ(messages.messages, QStringList{QStringLiteral("disk full")});
}

} // namespace
