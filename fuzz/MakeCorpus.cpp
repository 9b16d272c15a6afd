// Writes the seed corpora of the fuzz targets: real frames as the simulated
// amplifier and the encoders build them, device lists, settings texts and
// command lines, each prefixed by the selector bytes its target reads.
// Usage: vx4_fuzz_corpus <corpus folder>   (fuzz/corpus in the source tree)
#include "app/CodePage.h"
#include "app/UiLanguage.h"
#include "devices/DeviceListFile.h"
#include "devices/DeviceTable.h"
#include "protocol/AmpParameters.h"
#include "protocol/Commands.h"
#include "protocol/FullStateReply.h"
#include "sim/SimAmplifier.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <initializer_list>
#include <vector>

namespace {

struct Seed {
    const char* target;
    QByteArray bytes;
};

QByteArray prefixed(std::initializer_list<int> selectors, const QByteArray& rest)
{
    QByteArray bytes;
    for (int s : selectors)
        bytes.append(static_cast<char>(s));
    return bytes + rest;
}

// An operation of fuzz_home_status: op byte, length, the received bytes.
QByteArray chunk(int op, const QByteArray& received)
{
    return prefixed({op, static_cast<int>(received.size())}, received);
}

QByteArray utf16(const QString& text)
{
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// Amplifiers in a few states: defaults, a two-channel model, one with
// every section moved off its defaults, one in standby with flags raised.
std::vector<SimAmplifier> amplifiers()
{
    std::vector<SimAmplifier> amps{SimAmplifier(1), SimAmplifier(7, 2, 35), SimAmplifier(12), SimAmplifier(254)};
    SimParameters& p = amps[2].parameters();
    int k = 0;
    for (SimChannel& ch : p.channels) {
        ch.volumeDb = -20 + k;
        ch.mute = k % 2;
        ch.invert = k % 3 == 0;
        ch.gainDb = 30 + k;
        ch.delayUs = 1000 * k;
        ch.inputType = k % 3;
        ch.outputSource = k == 1 ? 5 : k + 1;
        ch.hpType = 4 + k;
        ch.lpType = 9 - k;
        ch.hpFrequencyHz = 80 + k;
        ch.lpFrequencyHz = 16000 - k;
        ch.limiterThreshold = 20 + k;
        ch.attackMs = 10 * (k + 1);
        ch.releaseMs = 500 * (k + 1);
        ch.eqBypass = k == 3;
        int b = 0;
        for (SimEqBand& band : ch.bands) {
            band.frequencyHz = 20 + 1300 * b;
            band.gainCentiDb = -1800 + 250 * b;
            band.qCenti = 10 + 130 * b;
            band.type = b % 11;
            ++b;
        }
        ++k;
    }
    amps[2].readings().current = {0, 10, 2000, -150};
    amps[2].readings().voltage = {1230, 0, 1000, -500};
    amps[3].parameters().powerState = 2;
    amps[3].clipFlags = 0xFE;
    amps[3].limitingFlags = 0xFD;
    amps[3].protectionFlags = 0xEF;
    amps[3].shortStatusReply = true;
    return amps;
}

std::vector<Seed> seeds()
{
    std::vector<Seed> out;
    const auto add = [&](const char* target, const QByteArray& bytes) { out.push_back({target, bytes}); };
    const std::vector<SimAmplifier> amps = amplifiers();

    for (const SimAmplifier& amp : amps) {
        const QByteArray monitor = amp.monitorReply();
        add("fuzz_monitor_reply", prefixed({0}, monitor));
        add("fuzz_monitor_reply", prefixed({3}, monitor));
        add("fuzz_monitor_reply", prefixed({1}, monitor.left(20)));

        const QByteArray full = amp.fullStateReply();
        add("fuzz_full_state_reply", prefixed({0x80}, full));
        add("fuzz_full_state_reply", prefixed({0x05}, full.left(300)));
        add("fuzz_preset_replay", prefixed({amp.address(), 0}, full));
        add("fuzz_preset_replay", prefixed({amp.address(), 1}, full.left(40)));

        add("fuzz_home_status",
            prefixed({1}, chunk(0, amp.statusReply()) + chunk(2, amp.faultReport(0xF6))
                              + chunk(6, amp.temperatureProtectionReport()) + chunk(2, amp.ignoredReport())
                              + chunk(5, amp.statusReply())));
        add("fuzz_home_status", prefixed({0}, chunk(9, amp.statusReply()) + chunk(0x22, amp.faultReport(0x0F))));
    }
    AmpParameters parameters;
    parameters.channelCount = 2;
    parameters.channels[1].outputSource = outputSourceBridged;
    add("fuzz_full_state_reply", prefixed({0x81}, encodeFullStateReply(parameters, 3)));

    for (const char* name : {"Empty", "Hall 1", "", "ABCDEFGHIJKLMNOP"})
        add("fuzz_preset_name", prefixed({3}, amps[0].slotNameAnswer(1).left(6) + name + QByteArray(1, '\x10')));
    setUiLanguage(chineseUi);
    add("fuzz_preset_name", prefixed({2}, amps[0].slotNameAnswer(1).left(6) + CodePage::toAnsi(QStringLiteral("功放"))
                                              + QByteArray(1, '\x10')));
    add("fuzz_preset_name", prefixed({2}, Commands::presetQueryName(1, 3)));
    // Regression: the answer of the amplifier at address 85 (0x55) and a
    // name with a U (0x55) once read as no answer.
    add("fuzz_preset_name", prefixed({0xAB}, SimAmplifier(0x55).slotNameAnswer(1)));
    add("fuzz_preset_name", prefixed({1}, amps[0].slotNameAnswer(1).left(6) + "USA" + QByteArray(1, '\x10')));

    DeviceTable table;
    table.appendRow(QStringLiteral("1"), QStringLiteral("Stage left"), QString(), QString());
    table.appendRow(QStringLiteral("12"), QStringLiteral("功放 二"), QString(), QString());
    table.appendRow(QStringLiteral("254"), QString(), QString(), QString());
    add("fuzz_device_list_file", prefixed({0}, DeviceListFile::encode(table)));
    add("fuzz_device_list_file", prefixed({1}, "3 Front fill\n4 Sub\n17"));
    add("fuzz_device_list_file", prefixed({1}, "\r\n5\r\n 6 lead blank\r\n"));

    for (const char* settings : {"9600,n,8,1", "115200,n,8,1", "2147483647,n,8,1", "0,n,8,1", "9600,e,7,2"}) {
        add("fuzz_link_settings", prefixed({0}, settings));
        add("fuzz_link_settings", prefixed({1}, utf16(QString::fromLatin1(settings))));
    }
    for (const char* name : {"COM3: USB Serial (/dev/ttyUSB0)", "COM12: Serial port (/dev/ttyS1)", "COM: x (y)",
                             "3)", "COM99999999999: big (z)"}) {
        add("fuzz_port_number", prefixed({0}, name));
        add("fuzz_port_number", prefixed({1}, utf16(QString::fromLatin1(name))));
    }
    for (const char* typed : {"12", "-3", " +65001", "2.3k", "1.5K", "0.05", "20000", "abc", "-2147483649", "1e5",
                              "99.99999999999999999"})
        add("fuzz_value_mapping", prefixed({0, 41, 10}, typed));

    // Filter files in both forms, with a byte-order mark and CR LF, a
    // shelf slope, a bandwidth, more filters than bands, and a refusal.
    add("fuzz_eq_filter_text",
        prefixed({0}, "\xEF\xBB\xBF"
                      "Filter Settings file\r\n\r\nDated: 10 Dec 2026\r\n\r\n"
                      "Filter  1: ON  PK       Fc    63.0 Hz  Gain  -4.5 dB  Q  4.00\r\n"
                      "Filter  2: ON  LS       Fc   100.0 Hz  Gain   3.0 dB\r\n"
                      "Filter  3: OFF None\r\n"
                      "Filter  4: ON  LP       Fc  8000.0 Hz\r\n"
                      "Filter  5: ON  HPQ      Fc    25.0 Hz  Q  0.577\r\n"
                      "Filter  6: ON  NO       Fc    50.0 Hz  Q  8.0\r\n"));
    add("fuzz_eq_filter_text", prefixed({3}, "# measured\nPreamp: -3.5 dB\nChannel: L\n"
                                             "Filter: ON PK Fc 1000 Hz Gain -3 dB Q 1.41\n"
                                             "Filter: ON LS 6dB Fc 120 Hz Gain 4 dB\n"
                                             "Filter: ON HSC Fc 8 kHz Gain 21 dB BW Oct 1\n"
                                             "Filter: ON AP Fc 500 Hz Q 40\n"));
    QByteArray many;
    for (int i = 1; i <= 17; ++i)
        many += QStringLiteral("Filter %1: ON PK Fc %2 Hz Gain -1 dB Q 2\n").arg(i).arg(100 * i).toUtf8();
    add("fuzz_eq_filter_text", prefixed({2}, many));
    add("fuzz_eq_filter_text", prefixed({1}, "Filter 1: ON PK Fc 63 Hz Gain -4.5 dB Q 4\nFilter 2: ON PK Fc Hz\n"));

    const std::vector<QStringList> commandLines{
        {"ports"},
        {"--port", "COM3", "--baud", "9600", "detect"},
        {"--port=/dev/ttyUSB0", "search", "--list", "save.txt"},
        {"status", "1", "12", "--listen", "500"},
        {"address", "1", "2"},
        {"set", "1", "volume", "A", "-20"},
        {"set", "0", "eq", "2", "15", "1000", "-3.5"},
        {"set", "3", "hpfreq", "c", "1.2k"},
        {"set", "3", "input", "D", "AES3", "--gain-top", "35"},
        {"read", "1", "--json"},
        {"monitor", "1", "--count", "3", "--interval", "300"},
        {"preset", "load", "1", "show.save", "--all"},
        {"slot", "store", "0", "4", "Hall"},
        {"slot", "clear", "2"},
        {"--help"},
    };
    for (const QStringList& line : commandLines)
        add("fuzz_cli_arguments", line.join(QChar(u'\0')).toUtf8());
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (const Seed& seed : seeds()) {
        const QString target = QString::fromLatin1(seed.target);
        if (!root.mkpath(target))
            return 1;
        // Named by content, as libFuzzer names the inputs it keeps.
        const QString name = QString::fromLatin1(QCryptographicHash::hash(seed.bytes, QCryptographicHash::Sha1).toHex());
        QFile file(root.filePath(target + u'/' + name));
        if (!file.open(QIODevice::WriteOnly) || file.write(seed.bytes) != seed.bytes.size())
            return 1;
    }
    return 0;
}
