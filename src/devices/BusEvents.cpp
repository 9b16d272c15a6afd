#include "devices/BusEvents.h"

#include "devices/DeviceTable.h"
#include "devices/DeviceTexts.h"
#include "devices/StatusDecoding.h"

void BusEvents::afterPoll(const DeviceTable& table, const Note& note)
{
    for (int row = 0; row < table.size(); ++row) {
        const DeviceRow& r = table.row(row);
        Seen& before = seen[table.addressValue(row)];
        const bool answered = r.connection == DeviceTexts::connected();
        if (before.answered != answered) {
            note(row, answered ? QStringLiteral("connection.answered") : QStringLiteral("connection.silent"),
                 r.connection);
            before.answered = answered;
        }
        if (!answered) {
            before.status.reset(); // its state is told again when it answers
            continue;
        }
        if (r.status.kind != AmpStatusKind::None && before.status != r.status) {
            note(row, QStringLiteral("state.") + statusName(r.status), r.state);
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
    const QString kind =
        group == faultReportGroup ? QStringLiteral("report.fault") : QStringLiteral("report.temperatureProtection");
    for (int row = 0; row < table.size(); ++row) {
        if (table.row(row).address != state.lastReportedAddress)
            continue;
        note(row, kind, table.row(row).state);
        seen[table.addressValue(row)].status = table.row(row).status;
    }
}

void BusEvents::moved(int oldAddress, int newAddress)
{
    if (oldAddress == newAddress)
        return;
    seen[newAddress] = seen.take(oldAddress);
}
