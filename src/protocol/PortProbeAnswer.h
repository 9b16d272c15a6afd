#pragma once

#include "protocol/Commands.h"
#include "protocol/ControlFrame.h"

#include <QByteArray>

// The editor's connection check: an amplifier answers its probe with
// 55 06 A 02 00 03 00 and a checksum. The reply matches when at least one
// byte arrived and every byte but the last equals the answer at its
// position; the last byte may still be on its way or damaged. A reply
// longer than the answer plus that one byte never matches.
inline bool matchesPortProbeAnswer(const QByteArray& reply, DeviceAddress address)
{
    const QByteArray expected = ControlFrame::build({address, 0x02, 0x00, 0x03, 0x00});
    if (reply.isEmpty() || reply.size() > expected.size() + 1)
        return false;
    for (qsizetype i = 0; i + 1 < reply.size(); ++i)
        if (reply[i] != expected[i])
            return false;
    return true;
}
