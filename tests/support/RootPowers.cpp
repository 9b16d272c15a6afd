#include "RootPowers.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>

#include <cstdlib>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace RootPowers {
namespace {

constexpr const char* dropVariable = "VX4_TEST_WITHOUT_ROOT_POWERS";

// The powers that let root past file modes (reading, writing, searching,
// changing modes of files it does not own) and past TIOCEXCL.
constexpr int powers[] = {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER, CAP_SYS_ADMIN};

bool capabilities(__user_cap_data_struct (&data)[_LINUX_CAPABILITY_U32S_3])
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(SYS_capget, &header, data) == 0;
}

void drop()
{
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (!capabilities(data))
        std::abort();
    for (int power : powers) {
        const unsigned bit = 1u << (power % 32);
        auto& word = data[power / 32];
        word.effective &= ~bit;
        word.permitted &= ~bit;
        word.inheritable &= ~bit;
    }
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    // A child that keeps the powers would test nothing: stop it loudly.
    if (::syscall(SYS_capset, &header, data) != 0 || held())
        std::abort();
}

// Before main, so before any thread: the child gives up the powers as it
// starts.
[[maybe_unused]] const bool dropped = [] {
    if (std::getenv(dropVariable) == nullptr)
        return false;
    drop();
    return true;
}();

} // namespace

bool held()
{
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (!capabilities(data))
        return ::geteuid() == 0;
    for (int power : powers)
        if (data[power / 32].effective & (1u << (power % 32)))
            return true;
    return false;
}

testing::AssertionResult rerunCurrentTestWithout()
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    const QString filter = QStringLiteral("--gtest_filter=%1.%2")
                               .arg(QString::fromUtf8(test->test_suite_name()), QString::fromUtf8(test->name()));
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(dropVariable), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QFile::symLinkTarget(QStringLiteral("/proc/self/exe")), {filter});
    if (!child.waitForFinished(60000))
        return testing::AssertionFailure() << "the child without root's powers did not finish";
    const QByteArray output = child.readAll();
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return testing::AssertionFailure() << "without root's powers:\n" << output.constData();
    // A filter that matched nothing also ends well: make sure it ran.
    if (!output.contains("[  PASSED  ] 1 test"))
        return testing::AssertionFailure() << "the child ran no test:\n" << output.constData();
    return testing::AssertionSuccess();
}

} // namespace RootPowers
