// vx4ctl's command line: the input split at NUL bytes into arguments
// (UTF-8). A usable command line carries only values the commands accept;
// a refused one says why in one line.
#include "FuzzSupport.h"

#include "CliArguments.h"

#include <QStringList>

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QStringList arguments;
    for (const QByteArray& part : Fuzz::bytes(data, size).split('\0'))
        arguments << QString::fromUtf8(part);
    if (size == 0)
        arguments.clear();

    const Cli::ParseResult result = Cli::parseArguments(arguments);
    const Cli::Invocation& inv = result.invocation;
    if (!result.ok()) {
        // One line, unless it quotes an argument that holds a line end.
        const bool quotedLineEnd = std::any_of(arguments.begin(), arguments.end(),
                                               [](const QString& a) { return a.contains(u'\n'); });
        FUZZ_CHECK(quotedLineEnd || !result.error.contains(u'\n'));
        return 0;
    }

    if (inv.help || inv.version) {
        FUZZ_CHECK(inv.command.isEmpty());
        return 0;
    }
    static const QStringList commands{"ports", "detect", "search", "status", "address",
                                      "set",   "read",   "monitor", "preset", "slot"};
    FUZZ_CHECK(commands.contains(inv.command));
    FUZZ_CHECK(!inv.portNumber || (*inv.portNumber >= 1 && *inv.portNumber <= 999999));
    FUZZ_CHECK(!inv.baudRate || *inv.baudRate >= 1);
    FUZZ_CHECK(!inv.gainTop || (*inv.gainTop >= -128 && *inv.gainTop <= 127));
    FUZZ_CHECK(!inv.count || *inv.count >= 1);
    FUZZ_CHECK(!inv.listenMs || (*inv.listenMs >= 1 && *inv.listenMs <= 3600000));
    FUZZ_CHECK(inv.intervalMs >= 1 && inv.intervalMs <= 3600000);
    FUZZ_CHECK(inv.address >= 0 && inv.address <= 254);
    FUZZ_CHECK(inv.newAddress >= 0 && inv.newAddress <= 254);
    for (int address : inv.addresses)
        FUZZ_CHECK(address >= 1 && address <= 254);
    FUZZ_CHECK(inv.listPath.isEmpty() || inv.command == u"search" || inv.command == u"status");
    FUZZ_CHECK(!inv.listenMs || inv.command == u"status");
    FUZZ_CHECK(!inv.toAll || (inv.command == u"preset" && inv.action == u"load"));

    if (inv.command == u"address")
        FUZZ_CHECK(inv.newAddress >= 1);
    if (inv.command == u"read" || inv.command == u"monitor")
        FUZZ_CHECK(inv.address >= 1);
    if (inv.command == u"preset") {
        FUZZ_CHECK(inv.action == u"save" || inv.action == u"load");
        FUZZ_CHECK(inv.address >= 1 && !inv.presetPath.isEmpty());
    }
    if (inv.command == u"slot") {
        static const QStringList actions{"name", "store", "recall", "clear"};
        FUZZ_CHECK(actions.contains(inv.action));
        FUZZ_CHECK(inv.action == u"clear" ? inv.slot == 0 : (inv.slot >= 1 && inv.slot <= 16));
        FUZZ_CHECK(inv.action != u"name" || inv.address >= 1);
    }
    if (inv.command == u"set") {
        const Cli::SetRequest& set = inv.set;
        FUZZ_CHECK(set.channel >= 0 && set.channel <= 4);
        FUZZ_CHECK(set.band >= 0 && set.band <= 15);
        FUZZ_CHECK(!set.parameter.isEmpty());
        FUZZ_CHECK(set.values.size() <= 2);
        FUZZ_CHECK(set.parameter != u"eq" || (set.band >= 1 && set.values.size() == 2));
    }
    return 0;
}
