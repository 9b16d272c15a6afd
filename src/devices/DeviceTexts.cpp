#include "devices/DeviceTexts.h"

#include "app/StatusWords.h"
#include "app/UiLanguage.h"

#include <array>

namespace DeviceTexts {
namespace {

QString pick(const char* chinese, const char* english)
{
    return uiLanguage() == chineseUi ? QString::fromUtf8(chinese) : QString::fromUtf8(english);
}

} // namespace

QString heading(int column)
{
    static constexpr std::array<std::array<const char*, 2>, 5> headings{{
        {"序号", "Number"},
        {"设备地址", "Device address"},
        {"设备名", "Device name"},
        {"连接状态", "Connection state"},
        {"设备状态", "Equipment state"},
    }};
    if (column < 0 || column >= static_cast<int>(headings.size()))
        return {};
    const auto& h = headings[static_cast<size_t>(column)];
    return pick(h[0], h[1]);
}

QString connected() { return pick("连接", "The connection"); }
QString offline() { return pick("离线", "Offline"); }
QString notConnected() { return status({AmpStatusKind::NotConnected}); }
QString status(const AmpStatus& status) { return statusWord(status, uiLanguage()); }
QString addressInputError() { return pick("输入错误，请输入1-254", "Input error, please enter 1-254"); }
QString searching() { return pick("搜索中", "In the search"); }
QString connectionFails() { return pick("连接失败", "The connection fails"); }

} // namespace DeviceTexts
