#include "show/ShowFile.h"

#include "app/RegularFile.h"
#include "protocol/FullStateReply.h"
#include "protocol/ParameterTable.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cmath>

namespace ShowFile {
namespace {

// Output sources by name: the four inputs, and the pair's first channel.
const QStringList& sourceNames()
{
    static const QStringList names{QString(), "a", "b", "c", "d", "bridged"};
    return names;
}

// A parameter's list names: the table's texts, or the output sources'.
QStringList listNames(const Parameter& p)
{
    if (p.key == ParameterKey::OutputSource)
        return sourceNames();
    return p.texts ? p.texts() : QStringList();
}

QString nameOf(const Parameter& p, double value)
{
    const QStringList names = listNames(p);
    const int index = static_cast<int>(value) - (p.key == ParameterKey::OutputSource ? 0 : static_cast<int>(p.minimum));
    return names.value(index);
}

void putParameters(QJsonObject& object, const AmpParameters& state, ParameterScope scope, int channel, int band)
{
    for (const Parameter& p : ParameterTable::all()) {
        if (p.scope != scope)
            continue;
        const std::optional<double> v = ParameterTable::value(state, {p.key, channel, band});
        object.insert(QLatin1String(p.name), ParameterTable::jsonValue(p, v));
        if (v && !listNames(p).isEmpty())
            object.insert(QLatin1String(p.name) + QStringLiteral("Name"), nameOf(p, *v));
    }
}

QJsonObject amplifierJson(const Amplifier& amp)
{
    const AmpParameters& state = amp.parameters;
    QJsonObject object{{"address", amp.address},
                       {"channelCount", state.channelCount},
                       {"gainTop", state.gainTop},
                       {"receivedAt", amp.receivedAt.isValid()
                                          ? QJsonValue(amp.receivedAt.toUTC().toString(Qt::ISODateWithMs))
                                          : QJsonValue(QJsonValue::Null)},
                       {"reply", QString::fromLatin1(amp.reply.toHex(' '))}};
    putParameters(object, state, ParameterScope::Amplifier, 0, 0);
    QJsonArray channels;
    for (int c = 0; c < state.channelCount; ++c) {
        QJsonObject channel;
        putParameters(channel, state, ParameterScope::Channel, c, 0);
        QJsonArray bands;
        for (int b = 0; b < bandCount; ++b) {
            QJsonObject band;
            putParameters(band, state, ParameterScope::Band, c, b);
            bands.append(band);
        }
        channel.insert(QStringLiteral("bands"), bands);
        channels.append(channel);
    }
    object.insert(QStringLiteral("channels"), channels);
    return object;
}

// Reading, with the place of the value being read for the messages.
struct Reader {
    QString error;

    bool fail(const QString& where, const QString& what)
    {
        if (error.isEmpty())
            error = where + QStringLiteral(": ") + what;
        return false;
    }

    bool integer(const QJsonObject& object, const QString& key, const QString& where, int minimum, int maximum, int& into)
    {
        const QJsonValue v = object.value(key);
        if (!v.isDouble() || v.toDouble() != std::trunc(v.toDouble()))
            return fail(where + QLatin1Char('.') + key, QStringLiteral("a whole number is wanted"));
        if (v.toDouble() < minimum || v.toDouble() > maximum)
            return fail(where + QLatin1Char('.') + key,
                        QStringLiteral("%1 is outside %2..%3").arg(v.toDouble()).arg(minimum).arg(maximum));
        into = v.toInt();
        return true;
    }

    // One parameter of the table at `path`, into `state`.
    bool parameter(const QJsonObject& object, const Parameter& p, const ParameterPath& path, const QString& where,
                   AmpParameters& state)
    {
        const QString place = where + QLatin1Char('.') + QLatin1String(p.name);
        const QJsonValue v = object.value(QLatin1String(p.name));
        const QJsonValue named = object.value(QLatin1String(p.name) + QStringLiteral("Name"));
        std::optional<double> value;
        if (v.isBool() && p.kind == ParameterKind::Flag)
            value = v.toBool() ? 1 : 0;
        else if (v.isDouble())
            value = v.toDouble();
        else if (v.isNull() && named.isUndefined())
            return true; // not known (a delay or a source before any read)
        else if (!v.isUndefined() && !v.isNull())
            return fail(place, QStringLiteral("a number is wanted"));
        if (named.isString()) {
            const qsizetype index = listNames(p).indexOf(named.toString());
            if (index < 0)
                return fail(place + QStringLiteral("Name"), QStringLiteral("\"%1\" is no entry of the list").arg(named.toString()));
            const double byName = p.key == ParameterKey::OutputSource ? double(index) : p.minimum + double(index);
            if (value && *value != byName)
                return fail(place + QStringLiteral("Name"), QStringLiteral("does not name %1").arg(*value));
            value = byName;
        }
        if (!value)
            return fail(place, QStringLiteral("missing"));
        const ParameterLimits range = ParameterTable::limits(p, state);
        if (!std::isfinite(*value) || !range.contains(*value))
            return fail(place, QStringLiteral("%1 is outside %2..%3").arg(*value).arg(range.minimum).arg(range.maximum));
        if (p.kind != ParameterKind::Decimal && *value != std::trunc(*value))
            return fail(place, QStringLiteral("a whole number is wanted"));
        ParameterTable::setValue(state, path, *value);
        if (ParameterTable::value(state, path) != value && !(p.kind == ParameterKind::Decimal))
            return fail(place, QStringLiteral("%1 is not taken here").arg(*value));
        return true;
    }

    bool parameters(const QJsonObject& object, ParameterScope scope, int channel, int band, const QString& where,
                    AmpParameters& state)
    {
        for (const Parameter& p : ParameterTable::all())
            if (p.scope == scope && !parameter(object, p, {p.key, channel, band}, where, state))
                return false;
        return true;
    }

    std::optional<Amplifier> amplifier(const QJsonObject& object, const QString& where)
    {
        Amplifier amp;
        int channels = 0;
        int gainTop = 0;
        if (!integer(object, QStringLiteral("address"), where, 1, 254, amp.address)
            || !integer(object, QStringLiteral("channelCount"), where, 2, 4, channels)
            || !integer(object, QStringLiteral("gainTop"), where, -100, 100, gainTop))
            return std::nullopt;
        if (channels != 2 && channels != 4) {
            fail(where + QStringLiteral(".channelCount"), QStringLiteral("2 or 4"));
            return std::nullopt;
        }
        AmpParameters& state = amp.parameters;
        state.address = static_cast<DeviceAddress>(amp.address);
        state.channelCount = channels;
        state.setGainTop(gainTop);
        const QJsonValue reply = object.value(QStringLiteral("reply"));
        if (!reply.isString() && !reply.isNull() && !reply.isUndefined()) {
            fail(where + QStringLiteral(".reply"), QStringLiteral("hex bytes are wanted"));
            return std::nullopt;
        }
        const QByteArray hex = reply.toString().toLatin1();
        amp.reply = QByteArray::fromHex(hex);
        if (QByteArray(hex).replace(' ', "").size() != amp.reply.size() * 2) {
            fail(where + QStringLiteral(".reply"), QStringLiteral("hex bytes are wanted"));
            return std::nullopt;
        }
        const QJsonValue at = object.value(QStringLiteral("receivedAt"));
        if (at.isString()) {
            amp.receivedAt = QDateTime::fromString(at.toString(), Qt::ISODateWithMs);
            if (!amp.receivedAt.isValid()) {
                fail(where + QStringLiteral(".receivedAt"), QStringLiteral("a time is wanted"));
                return std::nullopt;
            }
        }
        if (!parameters(object, ParameterScope::Amplifier, 0, 0, where, state))
            return std::nullopt;
        const QJsonArray list = object.value(QStringLiteral("channels")).toArray();
        if (list.size() != channels) {
            fail(where + QStringLiteral(".channels"), QStringLiteral("%1 channels are wanted").arg(channels));
            return std::nullopt;
        }
        for (int c = 0; c < channels; ++c) {
            const QString channelWhere = where + QStringLiteral(".channels[%1]").arg(c);
            const QJsonObject channel = list.at(c).toObject();
            if (!parameters(channel, ParameterScope::Channel, c, 0, channelWhere, state))
                return std::nullopt;
            const QJsonArray bands = channel.value(QStringLiteral("bands")).toArray();
            if (bands.size() != bandCount) {
                fail(channelWhere + QStringLiteral(".bands"), QStringLiteral("%1 bands are wanted").arg(bandCount));
                return std::nullopt;
            }
            for (int b = 0; b < bandCount; ++b)
                if (!parameters(bands.at(b).toObject(), ParameterScope::Band, c, b,
                                channelWhere + QStringLiteral(".bands[%1]").arg(b), state))
                    return std::nullopt;
        }
        state.loadSelectedBand();
        return amp;
    }
};

} // namespace

Amplifier* Show::amplifier(int address)
{
    for (Amplifier& amp : amplifiers)
        if (amp.address == address)
            return &amp;
    return nullptr;
}

const Amplifier* Show::amplifier(int address) const { return const_cast<Show*>(this)->amplifier(address); }

void Show::put(Amplifier amp)
{
    if (Amplifier* existing = amplifier(amp.address)) {
        *existing = std::move(amp);
        return;
    }
    amplifiers.append(std::move(amp));
}

QList<Difference> differences(const AmpParameters& amplifier, const AmpParameters& show)
{
    QList<Difference> found;
    for (const ParameterPath& path : ParameterTable::differences(amplifier, show))
        found.append({path, ParameterTable::value(amplifier, path), ParameterTable::value(show, path)});
    return found;
}

QString valueText(const ParameterPath& path, const std::optional<double>& value)
{
    if (!value)
        return QStringLiteral("-");
    const Parameter& p = ParameterTable::of(path.key);
    // Hundredths are what the wire carries of a band's gain and Q.
    const QString number = QString::number(std::round(*value * 100) / 100);
    const QString name = listNames(p).isEmpty() ? QString() : nameOf(p, *value);
    return name.isEmpty() ? number : number + QLatin1Char(' ') + name.trimmed();
}

Amplifier fromReply(int address, const QByteArray& reply, const QDateTime& receivedAt)
{
    Amplifier amp;
    amp.address = address;
    amp.reply = reply;
    amp.receivedAt = receivedAt.toUTC();
    amp.parameters.address = static_cast<DeviceAddress>(address);
    applyFullStateReply(decodeFullStateReply(reply), amp.parameters);
    return amp;
}

QByteArray encode(const Show& show)
{
    QJsonArray devices;
    for (const Device& d : show.devices)
        devices.append(QJsonObject{{"address", d.address}, {"name", d.name}});
    QJsonArray amplifiers;
    for (const Amplifier& amp : show.amplifiers)
        amplifiers.append(amplifierJson(amp));
    const QJsonObject root{{"format", format},
                           {"bus", QJsonObject{{"baud", show.baud}}},
                           {"devices", devices},
                           {"amplifiers", amplifiers}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

Decoded decode(const QByteArray& bytes)
{
    Decoded result;
    QJsonParseError parsed{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parsed);
    if (parsed.error != QJsonParseError::NoError || !document.isObject()) {
        result.error = parsed.error != QJsonParseError::NoError
            ? QStringLiteral("not a show file: %1 at byte %2").arg(parsed.errorString()).arg(parsed.offset)
            : QStringLiteral("not a show file: no JSON object");
        return result;
    }
    const QJsonObject root = document.object();
    Reader reader;
    int version = 0;
    if (!reader.integer(root, QStringLiteral("format"), QStringLiteral("show"), 1, 1 << 30, version)) {
        result.error = reader.error;
        return result;
    }
    if (version > format) {
        result.error = QStringLiteral("show.format: %1 is newer than this program reads (%2)").arg(version).arg(format);
        return result;
    }
    Show show;
    if (!reader.integer(root.value(QStringLiteral("bus")).toObject(), QStringLiteral("baud"), QStringLiteral("bus"), 1,
                        4000000, show.baud)) {
        result.error = reader.error;
        return result;
    }
    const QJsonArray devices = root.value(QStringLiteral("devices")).toArray();
    for (int i = 0; i < devices.size(); ++i) {
        const QJsonObject d = devices.at(i).toObject();
        if (!d.value(QStringLiteral("address")).isString() || !d.value(QStringLiteral("name")).isString()) {
            result.error = QStringLiteral("devices[%1]: an address and a name (texts) are wanted").arg(i);
            return result;
        }
        show.devices.append({d.value(QStringLiteral("address")).toString(), d.value(QStringLiteral("name")).toString()});
    }
    const QJsonArray amplifiers = root.value(QStringLiteral("amplifiers")).toArray();
    for (int i = 0; i < amplifiers.size(); ++i) {
        std::optional<Amplifier> amp = reader.amplifier(amplifiers.at(i).toObject(), QStringLiteral("amplifiers[%1]").arg(i));
        if (!amp) {
            result.error = reader.error;
            return result;
        }
        if (show.amplifier(amp->address)) {
            result.error = QStringLiteral("amplifiers[%1].address: %2 is there twice").arg(i).arg(amp->address);
            return result;
        }
        show.amplifiers.append(std::move(*amp));
    }
    result.show = std::move(show);
    return result;
}

Decoded read(const QString& path)
{
    const RegularFile::ReadOutcome file = RegularFile::read(path, largestFileBytes);
    if (!file.bytes) {
        Decoded result;
        result.error = QStringLiteral("%1: %2").arg(path, file.reason);
        return result;
    }
    return decode(*file.bytes);
}

QString write(const QString& path, const Show& show)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QByteArray bytes = encode(show);
    // commit() ignores a failure of its own flush: check it first.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace ShowFile
