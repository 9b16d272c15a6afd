#include "protocol/AmpStatus.h"

AmpStatus powerStatus(int powerState)
{
    if (powerState == 1)
        return {AmpStatusKind::Normal};
    if (powerState == 2)
        return {AmpStatusKind::Standby};
    return {};
}

QString statusName(const AmpStatus& status)
{
    switch (status.kind) {
    case AmpStatusKind::None: return {};
    case AmpStatusKind::Normal: return QStringLiteral("normal");
    case AmpStatusKind::Standby: return QStringLiteral("standby");
    case AmpStatusKind::NotConnected: return QStringLiteral("notConnected");
    case AmpStatusKind::Clip: return QStringLiteral("clip");
    case AmpStatusKind::TemperatureLimit: return QStringLiteral("temperatureLimit");
    case AmpStatusKind::TemperatureProtection: return QStringLiteral("temperatureProtection");
    case AmpStatusKind::Fault: return QStringLiteral("fault");
    case AmpStatusKind::FaultNumber: return QStringLiteral("fault%1").arg(status.number);
    case AmpStatusKind::DcProtection: return QStringLiteral("dcProtection");
    case AmpStatusKind::DcProtectionNumber: return QStringLiteral("dcProtection%1").arg(status.number);
    }
    return {};
}
