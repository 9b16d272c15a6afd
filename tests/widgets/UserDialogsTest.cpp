#include "widgets/UserDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

TEST(WindowTitles, UntitledDialogShowsNoNameOnTheScreen)
{
    QDialog dialog;
    UserDialogs::keepUntitled(&dialog);
    dialog.show();
    EXPECT_TRUE(dialog.windowTitle().isEmpty());
    ASSERT_NE(dialog.windowHandle(), nullptr);
    // An empty platform title would be replaced by the program's name.
    EXPECT_EQ(dialog.windowHandle()->title(), QStringLiteral(" "));
    dialog.setWindowTitle(QStringLiteral("Slots"));
    EXPECT_EQ(dialog.windowHandle()->title(), QStringLiteral("Slots"));
    dialog.setWindowTitle(QString());
    EXPECT_EQ(dialog.windowHandle()->title(), QStringLiteral(" "));
}

TEST(WindowTitles, MessagesCarryTheProgramsName)
{
    QString title;
    QString text;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            box->accept();
        }
    });
    UserDialogs::showMessage(nullptr, QStringLiteral("Connection fails"));
    EXPECT_EQ(title, QStringLiteral("Velquist VX-4 editor"));
    EXPECT_EQ(text, QStringLiteral("Connection fails"));
}

} // namespace
