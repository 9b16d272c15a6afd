#include "app/StatusWords.h"

#include "app/UiLanguage.h"

namespace {

struct Words {
    AmpStatusKind kind;
    const char* chinese;
    const char* english; // %1: the number of the numbered kinds
};

// The one table of status words.
constexpr Words statusWords[] = {
    {AmpStatusKind::Normal, "正常", "Normal"},
    {AmpStatusKind::Standby, "待机", "Standby"},
    {AmpStatusKind::NotConnected, "未连接", "Not connected"},
    {AmpStatusKind::Clip, "clip", "clip"},
    {AmpStatusKind::TemperatureLimit, "温度压限", "TEMP pressure limit"},
    {AmpStatusKind::TemperatureProtection, "温度保护", "TEMP protection"},
    {AmpStatusKind::Fault, "fault", "fault"},
    {AmpStatusKind::FaultNumber, "fault%1", "fault%1"},
    {AmpStatusKind::DcProtection, "直流保护", "Dc protection"},
    {AmpStatusKind::DcProtectionNumber, "直流保护%1", "Dc protection %1"},
};

QString pick(int uiLanguage, const char* chinese, const char* english)
{
    return QString::fromUtf8(uiLanguage == chineseUi ? chinese : english);
}

QString hundredthsText(int hundredths, const char* unit)
{
    return QString::asprintf("%.2f", hundredths / 100.0) + QString::fromUtf8(unit);
}

} // namespace

QString statusWord(const AmpStatus& status, int uiLanguage)
{
    for (const Words& w : statusWords) {
        if (w.kind != status.kind)
            continue;
        const QString text = pick(uiLanguage, w.chinese, w.english);
        const bool numbered = status.kind == AmpStatusKind::FaultNumber || status.kind == AmpStatusKind::DcProtectionNumber;
        return numbered ? text.arg(status.number) : text;
    }
    return {};
}

MonitorTexts monitorTexts(const MonitorReadings& r, const MonitorTexts& previous, int uiLanguage)
{
    MonitorTexts texts;
    for (int c = 0; c < 4; ++c) {
        // As the amplifier's own software shows them: through a float.
        const float volts = static_cast<float>(r.voltageHundredths[c]) / 100.0f;
        const float amps = static_cast<float>(r.currentHundredths[c]) / 100.0f;
        texts.voltage[c] = QString::asprintf("%.2f", static_cast<double>(volts)) + u'V';
        switch (r.load[c]) {
        case LoadState::Reading:
            texts.current[c] = QString::asprintf("%.2f", static_cast<double>(amps)) + u'A';
            break;
        case LoadState::Open:
            texts.current[c] = pick(uiLanguage, "开路", "open");
            break;
        case LoadState::Overload:
            texts.current[c] = pick(uiLanguage, "短路", "overload");
            break;
        case LoadState::Unknown:
            texts.current[c] = previous.current[c];
            break;
        }
        texts.temperature[c] = hundredthsText(r.temperatureHundredths[c], "℃");
    }
    texts.powerTemperature = hundredthsText(r.powerTemperatureHundredths, "℃");
    return texts;
}

QStringList outputSourceNames(int uiLanguage)
{
    const QString stem = pick(uiLanguage, "输入源", "Source-");
    QStringList names;
    for (char16_t letter = u'a'; letter <= u'd'; ++letter)
        names.append(stem + QChar(letter));
    return names;
}
