#include "devices/BusEvents.h"

#include "devices/DeviceTable.h"
#include "devices/DeviceTexts.h"
#include "devices/StatusDecoding.h"

#include <QCoreApplication>

void BusEvents::afterPoll(const DeviceTable& table, const Note& note)
{
    for (int row = 0; row < table.size(); ++row) {
        const DeviceRow& r = table.row(row);
        Seen& before = seen[table.addressValue(row)];
        const bool answered = r.connection == DeviceTexts::connected();
        if (before.answered != answered) {
            if (answered)
                note(row, QStringLiteral("connection.answered"),
                     QCoreApplication::translate("BusEvents", "The amplifier answers"));
            else
                note(row, QStringLiteral("connection.silent"),
                     QCoreApplication::translate("BusEvents", "The amplifier does not answer"));
            before.answered = answered;
        }
        if (!answered) {
            before.status.reset(); // its state is told again when it answers
            continue;
        }
        if (r.status.kind != AmpStatusKind::None && before.status != r.status) {
            note(row, QStringLiteral("state.") + statusName(r.status),
                 QCoreApplication::translate("BusEvents", "Equipment state: %1").arg(r.state.trimmed()));
            before.status = r.status;
        }
    }
}

void BusEvents::afterReport(const QByteArray& frame, const DeviceTable& table, const PollState& state,
                            const Note& note)
{
    if (frame.size() <= reportGroupOffset)
        return;
    const auto group = static_cast<unsigned char>(frame.at(reportGroupOffset));
    if (group != faultReportGroup && group != temperatureReportGroup)
        return;
    const bool fault = group == faultReportGroup;
    const QString kind = fault ? QStringLiteral("report.fault") : QStringLiteral("report.temperatureProtection");
    for (int row = 0; row < table.size(); ++row) {
        if (table.row(row).address != state.lastReportedAddress)
            continue;
        const QString state = table.row(row).state.trimmed();
        note(row, kind,
             fault ? QCoreApplication::translate("BusEvents", "The amplifier reports a fault: %1").arg(state)
                   : QCoreApplication::translate("BusEvents", "The amplifier reports temperature protection: %1")
                         .arg(state));
        seen[table.addressValue(row)].status = table.row(row).status;
    }
}

void BusEvents::moved(int oldAddress, int newAddress)
{
    if (oldAddress == newAddress)
        return;
    seen[newAddress] = seen.take(oldAddress);
}
