// Texts from users and amplifiers are data: message boxes show them as they
// are, and file names reach the file system exactly as typed.
#include "CliCommands.h"

#include "app/SharedState.h"
#include "clock/VirtualClock.h"
#include "sim/SimBus.h"
#include "sim/SimLink.h"
#include "widgets/UserDialogs.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(PlainText, MessageBoxesShowMarkupAsItIs)
{
    // A preset name, a file name and a port description as they could come.
    for (const QString& text : {QStringLiteral("<b>Hall</b> saved"), QStringLiteral("Cannot save <img src=x>.txt"),
                               QStringLiteral("<a href=\"file:///\">COM3</a> &amp; more")}) {
        Qt::TextFormat format = Qt::AutoText;
        QString shown;
        QTimer::singleShot(0, qApp, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                format = box->textFormat();
                shown = box->text();
                box->accept();
            }
        });
        UserDialogs::showMessage(nullptr, text);
        EXPECT_EQ(format, Qt::PlainText) << text.toStdString();
        EXPECT_EQ(shown, text);
    }
}

TEST(FileNames, VxCtlUsesTheListNameAsTypedWithoutExpansion)
{
    ScopedVirtualClock clock;
    resetSharedState();
    SimBus bus{19200};
    bus.addAmplifier(3);
    SimLink link{&bus};
    QString outText, errText;
    QTextStream out{&outText}, err{&errText};
    QTemporaryDir folder;
    Cli::Environment env{link, out, err,
                         [] { return QList<SSerInfo>{{"/dev/simbus", {}, "COM1: sim (/dev/simbus)", false, "sim"}}; },
                         [](const QString&) { return 1; }, [](int) { return QStringLiteral("/dev/simbus"); },
                         [&] { return folder.filePath("save.txt"); }};
    for (const char* name : {"~", "$HOME", "*.txt", "$(touch pwned)", "a;touch pwned", "`id`", "-rf"}) {
        const QString path = folder.filePath(QString::fromUtf8(name));
        const auto parsed = Cli::parseArguments({"--port", "1", "--baud", "19200", "search", "--list", path});
        ASSERT_TRUE(parsed.ok()) << name;
        EXPECT_EQ(Cli::run(parsed.invocation, env), 0) << name << errText.toStdString();
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QString::fromUtf8(name)}) << name;
        QFile::remove(path);
    }
    resetSharedState();
}

} // namespace
