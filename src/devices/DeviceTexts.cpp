#include "devices/DeviceTexts.h"

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
QString notConnected() { return pick("未连接", "Not connected"); }
QString operating() { return pick("正常", "Normal"); }
QString standby() { return pick("待机", "Standby"); }
QString temperatureLimiting() { return pick("温度压限", "TEMP pressure limit"); }
QString fault() { return QStringLiteral("fault"); }
QString dcProtection() { return pick("直流保护", "Dc protection"); }
QString faultNumber(int n) { return QStringLiteral("fault%1").arg(n); }

QString dcProtectionNumber(int n)
{
    return uiLanguage() == chineseUi ? QString::fromUtf8("直流保护%1").arg(n)
                                     : QStringLiteral("Dc protection %1").arg(n);
}

QString temperatureProtection() { return pick("温度保护", "TEMP protection"); }
QString addressInputError() { return pick("输入错误，请输入1-254", "Input error, please enter 1-254"); }
QString searching() { return pick("搜索中", "In the search"); }
QString connectionFails() { return pick("连接失败", "The connection fails"); }

} // namespace DeviceTexts
