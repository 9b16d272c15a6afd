#include "editor/EditorTitle.h"

#include "app/SharedState.h"
#include "app/UiLanguage.h"

namespace EditorTitle {

QString deviceLine(int language, int address, const QString& name, int slot, const QString& presetName)
{
    struct Pieces {
        const char* address;
        const char* name;
        const char* slot;
        const char* preset;
    };
    // The blanks and the full-width colons belong to the pieces.
    static constexpr Pieces chinese{"设备地址：", "    设备名称：", "    读取存档位：", "     读取存档名："};
    static constexpr Pieces english{"Device address：", "    Device name：", "    Loading save ID：",
                                    "     Loading save Name："};
    const Pieces& p = language == chineseUi ? chinese : english;
    return QString::fromUtf8(p.address) + QString::number(address) + QString::fromUtf8(p.name) + name
        + QString::fromUtf8(p.slot) + (slot == 0 ? QString() : QString::number(slot)) + QString::fromUtf8(p.preset)
        + presetName;
}

QString sharedDeviceLine()
{
    const SharedState& s = sharedState();
    return deviceLine(uiLanguage(), s.selectedAddress, s.selectedName, s.presetNumber, s.presetName);
}

QString offlineDeviceLine(int language, const QString& deviceLine)
{
    return deviceLine + QStringLiteral("    ") + (language == chineseUi ? QStringLiteral("离线") : QStringLiteral("Offline"));
}

QString sharedOfflineDeviceLine() { return offlineDeviceLine(uiLanguage(), sharedDeviceLine()); }

} // namespace EditorTitle
