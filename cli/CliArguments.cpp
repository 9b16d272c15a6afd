#include "CliArguments.h"

#include "protocol/ParameterTable.h"
#include "serial/LinkSettings.h"

#include <QRegularExpression>

#include <array>

namespace Cli {
namespace {

// The parameter rows vx4ctl set's word names: one, or two for "eq" (the
// band's frequency and gain travel together).
QList<const Parameter*> rowsOf(const QString& word)
{
    QList<const Parameter*> rows;
    for (const Parameter& p : ParameterTable::all())
        if (word == QLatin1String(p.word))
            rows.append(&p);
    return rows;
}

// The actions set sends besides the parameters: the factory reset of the
// whole amplifier and the EQ reset of a channel.
struct SetAction {
    const char* word;
    bool perChannel;
};
constexpr SetAction setActions[] = {{"reset", false}, {"eqreset", true}};

bool matches(const QString& text, const char* pattern)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(QString::fromLatin1(pattern))).match(text).hasMatch();
}

// Whole decimal numbers only, within [minimum, maximum].
std::optional<int> boundedInteger(const QString& text, int minimum, int maximum)
{
    if (!matches(text, "[+-]?[0-9]{1,9}"))
        return std::nullopt;
    const int value = text.toInt();
    if (value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

// The text has the form of the parameter before the editor's box rules
// limit it.
bool valueFits(const QString& text, const Parameter& p)
{
    switch (p.form) {
    case TextForm::Whole:
        return matches(text, "[+-]?[0-9]{1,9}");
    case TextForm::Decimal:
        return matches(text, "[+-]?([0-9]{1,9}(\\.[0-9]*)?|\\.[0-9]+)");
    case TextForm::Kilohertz:
        return matches(text, "[0-9]{1,9}(\\.[0-9]+)?[kK]?");
    case TextForm::Flag:
        return text == u"0" || text == u"1";
    case TextForm::Word:
        return ParameterTable::readText(p, text, AmpParameters()).has_value();
    case TextForm::Position:
        return boundedInteger(text, static_cast<int>(p.minimum), static_cast<int>(p.maximum)).has_value();
    }
    return false;
}

// A list position the model refuses for that channel (bridging, 5, is the
// second channel's of a pair) would send nothing the amplifier takes.
bool listTakes(const Parameter& p, const SetRequest& set, const QString& text)
{
    if (p.kind != ParameterKind::Choice)
        return true;
    AmpParameters probe;
    const std::optional<double> v = ParameterTable::readText(p, text, probe);
    const ParameterPath path{p.key, std::max(0, set.channel - 1), std::max(0, set.band - 1)};
    ParameterTable::setValue(probe, path, v.value_or(-1));
    return v && ParameterTable::value(probe, path) == v;
}

struct Parser {
    QStringList positional;
    Invocation inv;
    QString error;

    bool fail(const QString& message)
    {
        if (error.isEmpty())
            error = message;
        return false;
    }

    bool parsePort(const QString& text)
    {
        if (text.contains(u'/')) {
            inv.portPath = text;
            return true;
        }
        QString digits = text;
        if (digits.startsWith(u"COM", Qt::CaseInsensitive))
            digits = digits.mid(3);
        const auto number = boundedInteger(digits, 1, 999999);
        if (!number || digits.startsWith(u'+') || digits.startsWith(u'-'))
            return fail(QStringLiteral("invalid port: %1").arg(text));
        inv.portNumber = number;
        return true;
    }

    bool parseOptions(const QStringList& arguments)
    {
        for (qsizetype i = 0; i < arguments.size(); ++i) {
            const QString& a = arguments.at(i);
            if (!a.startsWith(u"--") || a == u"--") {
                positional << a;
                continue;
            }
            QString name = a.mid(2);
            QString value;
            bool inlineValue = false;
            if (const qsizetype eq = name.indexOf(u'='); eq >= 0) {
                value = name.mid(eq + 1);
                name = name.left(eq);
                inlineValue = true;
            }
            static const QStringList flags{"json", "trace", "help", "version", "all", "full", "csv", "dry-run"};
            static const QStringList valued{"port",  "baud",  "gain-top", "count",   "interval", "list",
                                            "listen", "parts", "amps",     "channels", "watch",   "since",
                                            "until",  "address", "kind",   "format"};
            if (flags.contains(name)) {
                if (inlineValue)
                    return fail(QStringLiteral("option --%1 takes no value").arg(name));
                (name == u"json"    ? inv.json
                 : name == u"trace" ? inv.trace
                 : name == u"help"  ? inv.help
                 : name == u"all"   ? inv.toAll
                 : name == u"full"  ? inv.full
                 : name == u"csv"   ? inv.csv
                 : name == u"dry-run" ? inv.dryRun
                                    : inv.version) = true;
                continue;
            }
            if (!valued.contains(name))
                return fail(QStringLiteral("unknown option: %1").arg(a));
            if (!inlineValue) {
                if (i + 1 >= arguments.size())
                    return fail(QStringLiteral("option --%1 needs a value").arg(name));
                value = arguments.at(++i);
            }
            if (!parseValuedOption(name, value))
                return false;
        }
        return true;
    }

    bool parseValuedOption(const QString& name, const QString& value)
    {
        if (name == u"port")
            return parsePort(value);
        if (name == u"baud") {
            const auto settings = LinkSettings::parse(QString(value + QStringLiteral(",n,8,1")));
            if (!settings)
                return fail(QStringLiteral("invalid baud rate: %1").arg(value));
            inv.baudRate = settings->baudRate();
            return true;
        }
        if (name == u"gain-top") {
            // The amplifier sends gainTop as one signed byte.
            const auto top = boundedInteger(value, -128, 127);
            if (!top)
                return fail(QStringLiteral("invalid --gain-top: %1").arg(value));
            inv.gainTop = top;
            return true;
        }
        if (name == u"list") {
            if (value.isEmpty())
                return fail(QStringLiteral("option --list needs a file name"));
            inv.listPath = value;
            return true;
        }
        if (name == u"listen") {
            const auto listen = boundedInteger(value, 1, 3600000);
            if (!listen)
                return fail(QStringLiteral("invalid --listen: %1").arg(value));
            inv.listenMs = listen;
            return true;
        }
        if (name == u"parts") {
            static const QStringList known{"eq", "crossover", "limiter", "levels"};
            const QStringList parts = value.toLower().split(u',', Qt::SkipEmptyParts);
            for (const QString& part : parts)
                if (!known.contains(part))
                    return fail(QStringLiteral("invalid --parts: %1 (eq, crossover, limiter, levels)").arg(part));
            if (parts.isEmpty())
                return fail(QStringLiteral("option --parts needs a value"));
            inv.copyParts = parts;
            return true;
        }
        if (name == u"amps") {
            for (const QString& part : value.split(u',', Qt::SkipEmptyParts)) {
                const auto address = boundedInteger(part, 1, 254);
                if (!address || inv.addresses.contains(*address))
                    return fail(QStringLiteral("invalid --amps: %1 (addresses 1 to 254, each once)").arg(part));
                inv.addresses.append(*address);
            }
            if (inv.addresses.isEmpty())
                return fail(QStringLiteral("option --amps needs addresses"));
            return true;
        }
        if (name == u"channels") {
            if (value != u"2" && value != u"4")
                return fail(QStringLiteral("invalid --channels: %1 (2 or 4)").arg(value));
            inv.showChannels = value.toInt();
            return true;
        }
        if (name == u"watch") {
            const auto seconds = boundedInteger(value, 1, 86400);
            if (!seconds)
                return fail(QStringLiteral("invalid --watch: %1 (1 to 86400 seconds)").arg(value));
            inv.watchSeconds = seconds;
            return true;
        }
        if (name == u"since" || name == u"until") {
            if (!parseLogTime(value, QDateTime::currentDateTime()))
                return fail(QStringLiteral("invalid --%1: %2 (2026-12-09T21:13, 2026-12-09T21:13:05 or -2h, -30m)")
                                .arg(name, value));
            (name == u"since" ? inv.since : inv.until) = value;
            return true;
        }
        if (name == u"address") {
            // Address 0 is that of events sent to every amplifier.
            const auto address = boundedInteger(value, 0, 254);
            if (!address)
                return fail(QStringLiteral("invalid --address: %1 (0 to 254)").arg(value));
            inv.logAddress = address;
            return true;
        }
        if (name == u"kind") {
            if (!matches(value, "[A-Za-z0-9._]+"))
                return fail(QStringLiteral("invalid --kind: %1").arg(value));
            inv.kind = value;
            return true;
        }
        if (name == u"format") {
            const QString format = value.toLower();
            if (format != u"rew" && format != u"apo")
                return fail(QStringLiteral("invalid --format: %1 (rew or apo)").arg(value));
            inv.eqFormat = format;
            return true;
        }
        if (name == u"count") {
            const auto count = boundedInteger(value, 1, 1000000000);
            if (!count)
                return fail(QStringLiteral("invalid --count: %1").arg(value));
            inv.count = count;
            return true;
        }
        const auto interval = boundedInteger(value, 1, 3600000);
        if (!interval)
            return fail(QStringLiteral("invalid --interval: %1").arg(value));
        inv.intervalMs = *interval;
        return true;
    }

    bool parseAddress(const QString& text, int minimum, int& into)
    {
        const auto address = boundedInteger(text, minimum, 254);
        if (!address)
            return fail(QStringLiteral("invalid address: %1 (%2 to 254)").arg(text).arg(minimum));
        into = *address;
        return true;
    }

    bool expectCount(qsizetype count)
    {
        if (positional.size() != count)
            return fail(QStringLiteral("wrong number of arguments for %1").arg(inv.command));
        return true;
    }

    bool parseSet()
    {
        if (positional.size() < 3)
            return fail(QStringLiteral("set needs an address and a parameter"));
        // Address 0 reaches every amplifier on the bus, as the editor's broadcast does.
        if (!parseAddress(positional.at(1), 0, inv.address))
            return false;
        SetRequest& set = inv.set;
        set.parameter = positional.at(2).toLower();
        const QList<const Parameter*> rows = rowsOf(set.parameter);
        const SetAction* action = nullptr;
        for (const SetAction& a : setActions)
            if (set.parameter == QLatin1String(a.word))
                action = &a;
        if (rows.isEmpty() && !action)
            return fail(QStringLiteral("unknown parameter: %1").arg(positional.at(2)));
        const bool perChannel = action ? action->perChannel : rows[0]->scope != ParameterScope::Amplifier;
        const bool perBand = !rows.isEmpty() && rows[0]->scope == ParameterScope::Band;
        const qsizetype expected = 3 + (perChannel ? 1 : 0) + (perBand ? 1 : 0) + rows.size();
        if (positional.size() != expected)
            return fail(QStringLiteral("wrong number of values for %1").arg(set.parameter));
        qsizetype next = 3;
        if (perChannel) {
            set.channel = channelFromText(positional.at(next++));
            if (set.channel == 0)
                return fail(QStringLiteral("invalid channel: %1 (A to D or 1 to 4)").arg(positional.at(next - 1)));
        }
        if (perBand) {
            const auto band = boundedInteger(positional.at(next++), 1, bandCount);
            if (!band)
                return fail(QStringLiteral("invalid band: %1 (1 to 15)").arg(positional.at(next - 1)));
            set.band = *band;
        }
        for (const Parameter* row : rows) {
            const QString& text = positional.at(next++);
            if (!valueFits(text, *row) || !listTakes(*row, set, text))
                return fail(QStringLiteral("invalid value for %1: %2").arg(set.parameter, text));
            set.values << (row->form == TextForm::Word ? text.toLower() : text);
        }
        return true;
    }

    bool parseStatus()
    {
        for (qsizetype i = 1; i < positional.size(); ++i) {
            int address = 0;
            if (!parseAddress(positional.at(i), 1, address))
                return false;
            inv.addresses << address;
        }
        // Given addresses make a table of their own, which is never saved.
        if (!inv.addresses.isEmpty() && !inv.listPath.isEmpty())
            return fail(QStringLiteral("status takes addresses or --list, not both"));
        return true;
    }

    bool parsePreset()
    {
        inv.action = positional.value(1);
        if (inv.action != u"save" && inv.action != u"load")
            return fail(QStringLiteral("preset needs save or load"));
        if (!expectCount(4) || !parseAddress(positional.at(2), 1, inv.address))
            return false;
        inv.presetPath = positional.at(3);
        if (inv.presetPath.isEmpty())
            return fail(QStringLiteral("preset %1 needs a file name").arg(inv.action));
        return true;
    }

    bool parseSlotNumber(const QString& text)
    {
        const auto slot = boundedInteger(text, 1, 16);
        if (!slot)
            return fail(QStringLiteral("invalid slot: %1 (1 to 16)").arg(text));
        inv.slot = *slot;
        return true;
    }

    bool parseSlot()
    {
        inv.action = positional.value(1);
        // Store, recall and clear may go to every amplifier (0); a name is
        // asked of one.
        if (inv.action == u"name")
            return expectCount(4) && parseAddress(positional.at(2), 1, inv.address) && parseSlotNumber(positional.at(3));
        if (inv.action == u"store") {
            if (!expectCount(5) || !parseAddress(positional.at(2), 0, inv.address) || !parseSlotNumber(positional.at(3)))
                return false;
            inv.slotName = positional.at(4);
            return true;
        }
        if (inv.action == u"recall")
            return expectCount(4) && parseAddress(positional.at(2), 0, inv.address) && parseSlotNumber(positional.at(3));
        if (inv.action == u"clear")
            return expectCount(3) && parseAddress(positional.at(2), 0, inv.address);
        return fail(QStringLiteral("slot needs name, store, recall or clear"));
    }

    // Options that belong to one command only.
    bool checkCommandOptions()
    {
        const QString& c = inv.command;
        if (!inv.listPath.isEmpty() && c != u"search" && c != u"status" && c != u"log" && c != u"show")
            return fail(QStringLiteral("--list belongs to search, status, log and show receive"));
        if (inv.listenMs && c != u"status")
            return fail(QStringLiteral("--listen belongs to status"));
        if (inv.watchSeconds && c != u"status")
            return fail(QStringLiteral("--watch belongs to status"));
        if (inv.watchSeconds && inv.listenMs)
            return fail(QStringLiteral("--watch takes reports between its polls; --listen is for one poll"));
        if (inv.count && c != u"monitor" && !(c == u"status" && inv.watchSeconds))
            return fail(QStringLiteral("--count belongs to monitor and status --watch"));
        if ((!inv.since.isEmpty() || !inv.until.isEmpty() || inv.logAddress || !inv.kind.isEmpty() || inv.csv)
            && c != u"log")
            return fail(QStringLiteral("--since, --until, --address, --kind and --csv belong to log"));
        if (inv.csv && inv.json)
            return fail(QStringLiteral("log prints --json or --csv, not both"));
        if (inv.toAll && !(c == u"preset" && positional.value(1) == u"load"))
            return fail(QStringLiteral("--all belongs to preset load"));
        if (!inv.copyParts.isEmpty() && c != u"copy")
            return fail(QStringLiteral("--parts belongs to copy"));
        const QString action = positional.value(1);
        if (inv.full && !(c == u"show" && action == u"send"))
            return fail(QStringLiteral("--full belongs to show send"));
        if (!inv.addresses.isEmpty() && c != u"status" && !(c == u"show" && action == u"new"))
            return fail(QStringLiteral("--amps belongs to show new"));
        if (!inv.listPath.isEmpty() && c == u"show" && action != u"receive")
            return fail(QStringLiteral("--list belongs to search, status and show receive"));
        if (inv.dryRun && !(c == u"eq" && action == u"import"))
            return fail(QStringLiteral("--dry-run belongs to eq import"));
        if (!inv.eqFormat.isEmpty() && !(c == u"eq" && action == u"export"))
            return fail(QStringLiteral("--format belongs to eq export"));
        return true;
    }

    bool parseEq()
    {
        inv.action = positional.value(1);
        if (inv.action != u"import" && inv.action != u"export")
            return fail(QStringLiteral("eq needs import or export"));
        if (!expectCount(5) || !parseAddress(positional.at(2), 1, inv.address))
            return false;
        inv.eqChannel = channelFromText(positional.at(3));
        if (inv.eqChannel == 0)
            return fail(QStringLiteral("invalid channel: %1 (A to D or 1 to 4)").arg(positional.at(3)));
        inv.eqPath = positional.at(4);
        if (inv.eqPath.isEmpty())
            return fail(QStringLiteral("eq %1 needs a file name").arg(inv.action));
        if (inv.eqFormat.isEmpty())
            inv.eqFormat = QStringLiteral("rew");
        return true;
    }

    bool parseShow()
    {
        inv.action = positional.value(1);
        static const QStringList actions{"receive", "diff", "send", "new"};
        if (!actions.contains(inv.action))
            return fail(QStringLiteral("show needs receive, diff, send or new"));
        if (positional.size() < 3 || positional.at(2).isEmpty())
            return fail(QStringLiteral("show %1 needs a file name").arg(inv.action));
        inv.showPath = positional.at(2);
        if (inv.action == u"new") {
            if (inv.addresses.isEmpty())
                return fail(QStringLiteral("show new needs --amps"));
            return expectCount(3);
        }
        for (qsizetype i = 3; i < positional.size(); ++i) {
            int address = 0;
            if (!parseAddress(positional.at(i), 1, address))
                return false;
            if (inv.addresses.contains(address))
                return fail(QStringLiteral("address %1 is given twice").arg(address));
            inv.addresses.append(address);
        }
        return true;
    }

    bool parseCopy()
    {
        if (positional.size() < 4)
            return fail(QStringLiteral("copy needs an address, a channel and the channels to copy to"));
        if (!parseAddress(positional.at(1), 1, inv.address))
            return false;
        inv.copyFrom = channelFromText(positional.at(2));
        if (inv.copyFrom == 0)
            return fail(QStringLiteral("invalid channel: %1 (A to D or 1 to 4)").arg(positional.at(2)));
        for (qsizetype i = 3; i < positional.size(); ++i) {
            const int to = channelFromText(positional.at(i));
            if (to == 0)
                return fail(QStringLiteral("invalid channel: %1 (A to D or 1 to 4)").arg(positional.at(i)));
            if (to == inv.copyFrom || inv.copyTo.contains(to))
                return fail(QStringLiteral("channel %1 is given twice").arg(positional.at(i)));
            inv.copyTo.append(to);
        }
        return true;
    }

    bool parseCommand()
    {
        if (positional.isEmpty())
            return fail(QStringLiteral("no command given"));
        inv.command = positional.first();
        if (!checkCommandOptions())
            return false;
        const QString& c = inv.command;
        if (c == u"search")
            return expectCount(1);
        if (c == u"status")
            return parseStatus();
        if (c == u"ports" || c == u"detect")
            return expectCount(1);
        if (c == u"address")
            return expectCount(3) && parseAddress(positional.at(1), 0, inv.address)
                   && parseAddress(positional.at(2), 1, inv.newAddress);
        if (c == u"set")
            return parseSet();
        if (c == u"read" || c == u"monitor")
            return expectCount(2) && parseAddress(positional.at(1), 1, inv.address);
        if (c == u"preset")
            return parsePreset();
        if (c == u"slot")
            return parseSlot();
        if (c == u"copy")
            return parseCopy();
        if (c == u"show")
            return parseShow();
        if (c == u"log")
            return expectCount(1);
        if (c == u"eq")
            return parseEq();
        return fail(QStringLiteral("unknown command: %1").arg(c));
    }
};

} // namespace

std::optional<QDateTime> parseLogTime(const QString& text, const QDateTime& now)
{
    static const QRegularExpression span(QStringLiteral("^-([0-9]{1,6})([smhd])$"));
    if (const QRegularExpressionMatch m = span.match(text); m.hasMatch()) {
        const qint64 amount = m.captured(1).toLongLong();
        const QChar unit = m.captured(2).at(0);
        const qint64 seconds = unit == u's' ? 1 : unit == u'm' ? 60 : unit == u'h' ? 3600 : 86400;
        return now.addSecs(-amount * seconds);
    }
    // Local time: no offset, no "Z".
    static const QRegularExpression local(
        QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}([T ][0-9]{2}:[0-9]{2}(:[0-9]{2}(\\.[0-9]{1,3})?)?)?$"));
    if (!local.match(text).hasMatch())
        return std::nullopt;
    QString iso = text;
    iso.replace(u' ', u'T');
    if (iso.size() == 10)
        iso += QStringLiteral("T00:00");
    const QDateTime time = QDateTime::fromString(iso, Qt::ISODateWithMs);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

int channelFromText(const QString& text)
{
    static const std::array<QString, 4> letters{"A", "B", "C", "D"};
    for (int i = 0; i < 4; ++i)
        if (text.compare(letters[static_cast<size_t>(i)], Qt::CaseInsensitive) == 0 || text == QString::number(i + 1))
            return i + 1;
    return 0;
}

ParseResult parseArguments(const QStringList& arguments)
{
    Parser p;
    if (p.parseOptions(arguments) && !p.inv.help && !p.inv.version)
        p.parseCommand();
    if (p.error.isEmpty() && (p.inv.help || p.inv.version))
        p.inv.command.clear();
    return {p.inv, p.error};
}

namespace {

// The parameters of set as the table has them, then the actions, in lines
// of the help's width.
QString setParameterHelp()
{
    QStringList entries;
    QString lastWord;
    for (const Parameter& p : ParameterTable::all()) {
        if (lastWord == QLatin1String(p.word)) {
            entries.last() += QLatin1Char(' ') + ParameterTable::valueHelp(p);
            continue;
        }
        lastWord = QLatin1String(p.word);
        QString entry = lastWord;
        if (p.scope != ParameterScope::Amplifier)
            entry += QStringLiteral(" CH");
        if (p.scope == ParameterScope::Band)
            entry += QStringLiteral(" BAND");
        entries << entry + QLatin1Char(' ') + ParameterTable::valueHelp(p);
    }
    for (const SetAction& a : setActions)
        entries << QLatin1String(a.word) + (a.perChannel ? QStringLiteral(" CH") : QString());
    constexpr qsizetype width = 80;
    const QString indent = QStringLiteral("      ");
    QString help;
    QString line = indent;
    for (const QString& entry : entries) {
        const QString separated = line == indent ? entry : QStringLiteral(" | ") + entry;
        if (line.size() + separated.size() > width) {
            help += line + QLatin1Char('\n');
            line = indent + entry;
        } else {
            line += separated;
        }
    }
    return help + line + QLatin1Char('\n');
}

} // namespace

QString usageText()
{
    return QStringLiteral(
        "usage: vx4ctl [--port PORT] [--baud BAUD] [--json] [--trace] COMMAND ...\n"
        "  ports                       list the serial ports\n"
        "  detect                      find the port and baud rate the amplifiers answer on\n"
        "  search [--list FILE]        probe the addresses 1-254 not in the device list, add the\n"
        "                              amplifiers that answer, save the list and show it\n"
        "  status [ADDR...] [--list FILE] [--listen MS]\n"
        "                              poll the amplifiers given, else every one in the device list\n"
        "                              (that list is saved afterwards); fault and temperature reports\n"
        "                              the amplifiers send by themselves override the replies' texts,\n"
        "                              --listen waits MS milliseconds after the poll for more of them\n"
        "  address OLD NEW             give amplifier OLD the address NEW (1-254)\n"
        "  set ADDR PARAM ...          send one editor command [--gain-top N]:\n"
        "%1"
        "  read ADDR                   read and show all parameters\n"
        "  show receive FILE [ADDR...] [--list FILE]\n"
        "                              read every amplifier of the device list (or those given) into\n"
        "                              the show file FILE; one that does not answer keeps its entry\n"
        "  show diff FILE [ADDR...]    what differs between the amplifiers and the show\n"
        "  show send FILE [ADDR...] [--full]\n"
        "                              send each amplifier what differs from the show (--full: its\n"
        "                              stored reply), read it back and say whether it is in sync\n"
        "  show new FILE --amps A,B,... [--channels 2|4] [--gain-top N]\n"
        "                              a show of amplifiers in their factory state, to prepare offline\n"
        "  copy ADDR CH TO... [--parts eq,crossover,limiter,levels]\n"
        "                              copy a channel's settings onto other channels (all parts\n"
        "                              unless --parts says which), sending only what differs\n"
        "  eq import ADDR CH FILE [--dry-run]\n"
        "                              bring a filter file (REW filter settings or Equalizer APO\n"
        "                              text) into a channel's 15 EQ bands, saying every value that\n"
        "                              had to change and how far the curve is from the file's;\n"
        "                              --dry-run shows the plan and sends nothing\n"
        "  eq export ADDR CH FILE [--format rew|apo]\n"
        "                              write a channel's EQ bands as filter text (rew by default)\n"
        "  monitor ADDR [--count N] [--interval MS]   show the live readings\n"
        "  status --watch SECONDS [ADDR...] [--list FILE] [--count N]\n"
        "                              poll every SECONDS until interrupted (Ctrl+C, SIGTERM) or N\n"
        "                              polls: record each change (answered or silent, a new state,\n"
        "                              a report) in the event log and print it, one line (or one\n"
        "                              JSON object) per event\n"
        "  log [--list FILE] [--since TIME] [--until TIME] [--address A] [--kind K] [--json | --csv]\n"
        "                              show the recorded events, oldest first; K is a kind or its\n"
        "                              start (state.fault, connection.) or faults, connection, edits\n"
        "  preset save ADDR FILE       save the amplifier's full state to a preset file\n"
        "  preset load ADDR FILE [--all]\n"
        "                              send a preset file to amplifier ADDR (--all: to every amplifier),\n"
        "                              then read ADDR back and show it as read does\n"
        "  slot name ADDR SLOT         show the name of a preset slot (1-16) of the amplifier\n"
        "  slot store ADDR SLOT NAME   store the amplifier's settings into a slot under NAME (at most\n"
        "                              16 bytes in code page CP1252; a longer name is refused after\n"
        "                              the settings were stored)\n"
        "  slot recall ADDR SLOT       recall a slot\n"
        "  slot clear ADDR             clear every slot\n"
        "  --version, --help\n"
        "PORT is a number as 'ports' lists it (3 or COM3) or a device path; CH is A-D or 1-4, BAND 1-15.\n"
        "FILE of search and status is the device list; by default the editor's save.txt, beside the\n"
        "editor program when that folder is writable, otherwise in ~/.local/share/vx4-editor.\n"
        "FILE of preset is a preset file as the editor saves it (*.save).\n"
        "FILE of eq is filter text; a malformed line refuses the whole file and nothing is sent.\n"
        "The event log is events.sqlite beside that device list, shared with the editor.\n"
        "TIME is local time, 2026-12-09T21:13 or 2026-12-09T21:13:05 (a date alone: its midnight),\n"
        "or a span back from now: -2h, -30m, -45s, -7d; both ends belong to the span.\n"
        "Exit codes: 0 success, 1 no answer (search: nothing on the bus answered; status: no amplifier\n"
        "answered; preset save: the file is left as it was), 2 usage error (nothing is sent; slot\n"
        "store: the name was refused), 3 serial error, 4 the device list, the preset, show or\n"
        "filter file cannot be read or saved (after a search the rows are shown all the same), 5 show diff\n"
        "or show send: an amplifier differs from the show. log: 0 events shown, 1 none matches (or\n"
        "nothing was recorded yet), 2 usage error, 4 the event log cannot be read.\n")
        .arg(setParameterHelp());
}

} // namespace Cli
