#pragma once

#include "protocol/AmpStatus.h"

#include <QString>

// Texts of the home page in the interface language (UiLanguage).
namespace DeviceTexts {

QString heading(int column);
QString connected();            // the last status query was answered
QString notConnected();
QString offline();               // a device of the show, worked on without hardware
// The Equipment state of a status.
QString status(const AmpStatus& status);
QString addressInputError();
QString searching();
QString connectionFails();

} // namespace DeviceTexts
