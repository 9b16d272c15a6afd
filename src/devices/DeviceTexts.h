#pragma once

#include <QString>

// Texts of the home page in the interface language (UiLanguage).
namespace DeviceTexts {

QString heading(int column);
QString connected();            // the last status query was answered
QString notConnected();
QString operating();
QString standby();
QString temperatureLimiting();  // status reply, limiting byte set
QString fault();                // status reply, a fault bit clear
QString dcProtection();         // status reply, a DC protection bit clear
QString faultNumber(int n);     // fault report, fault n = 1..4
QString dcProtectionNumber(int n); // fault report, DC protection n = 1..4
QString temperatureProtection(); // temperature-protection report
QString addressInputError();
QString searching();
QString connectionFails();

} // namespace DeviceTexts
