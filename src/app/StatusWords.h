#pragma once

#include "protocol/AmpStatus.h"
#include "protocol/MonitorReply.h"

#include <QString>
#include <QStringList>

#include <array>

// The words of the amplifiers' states and readings in the interface
// languages, made here and nowhere else: the protocol gives values.

// "Normal" / "正常", "Dc protection 4" / "直流保护4", ...; empty for None.
QString statusWord(const AmpStatus& status, int uiLanguage);

// The texts the editor shows from the live readings.
struct MonitorTexts {
    std::array<QString, 4> voltage;     // "12.30V"
    std::array<QString, 4> current;     // "1.00A", "overload" / "短路", "open" / "开路"
    std::array<QString, 4> temperature; // "40.00℃"
    QString powerTemperature;
};

// The texts of complete readings; a current whose load cannot be judged
// keeps the text `previous` shows.
MonitorTexts monitorTexts(const MonitorReadings& readings, const MonitorTexts& previous, int uiLanguage);

// "Source-a".."Source-d" or "输入源a".."输入源d".
QStringList outputSourceNames(int uiLanguage);
