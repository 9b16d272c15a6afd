#include "response/EqFilterText.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QStringConverter>
#include <QStringDecoder>

#include <cmath>

namespace {

QString tr(const char* text) { return QCoreApplication::translate("EqFile", text); }

// The commands of a system equaliser's configuration that have nothing to
// do with one channel's bands, by their proper spelling; empty for others.
// Recognised wherever they stand, so that the user hears they were left out.
QString configurationCommand(const QString& name)
{
    static const QStringList names{
        QStringLiteral("Device"),      QStringLiteral("Channel"),  QStringLiteral("Include"),
        QStringLiteral("Copy"),        QStringLiteral("Delay"),    QStringLiteral("GraphicEQ"),
        QStringLiteral("Convolution"), QStringLiteral("Stage"),    QStringLiteral("If"),
        QStringLiteral("ElseIf"),      QStringLiteral("Else"),     QStringLiteral("EndIf"),
        QStringLiteral("Eval"),        QStringLiteral("LoudnessCorrection"),
    };
    for (const QString& command : names)
        if (name.compare(command, Qt::CaseInsensitive) == 0)
            return command;
    return {};
}

bool isShelf(const QString& code)
{
    return code == u"LS" || code == u"HS" || code == u"LSC" || code == u"HSC";
}

std::optional<double> numberOf(QString token)
{
    // A decimal comma, as some locales write it.
    if (!token.contains(u'.') && token.count(u',') == 1)
        token.replace(u',', u'.');
    bool ok = false;
    const double value = QLocale::c().toDouble(token, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Splits "100Hz", "-3dB" and "6dB" into the number and its unit.
QStringList tokensOf(const QString& text)
{
    static const QRegularExpression glued(QStringLiteral("^([-+]?[0-9.,]+)(hz|khz|db)$"),
                                          QRegularExpression::CaseInsensitiveOption);
    QStringList tokens;
    for (const QString& token : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = glued.match(token);
        if (m.hasMatch())
            tokens << m.captured(1) << m.captured(2);
        else
            tokens << token;
    }
    return tokens;
}

struct FilterParser {
    EqFileFilter& filter;
    const QStringList& tokens;
    qsizetype at = 0;
    EqTextError error{};
    bool failed = false;

    bool fail(EqTextError::Kind kind, const QString& word)
    {
        error = {kind, filter.line, word};
        failed = true;
        return false;
    }
    bool isWord(qsizetype i, const char* word) const
    {
        return i < tokens.size() && tokens.at(i).compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    // The number after a field's name, and an optional unit after it.
    bool take(const QString& field, std::optional<double>& into, const char* unit = nullptr,
              const char* thousandUnit = nullptr)
    {
        if (into)
            return fail(EqTextError::RepeatedField, field);
        const std::optional<double> value = at < tokens.size() ? numberOf(tokens.at(at)) : std::nullopt;
        if (!value)
            return fail(EqTextError::NoValue, field);
        ++at;
        into = *value;
        if (unit && isWord(at, unit)) {
            ++at;
        } else if (thousandUnit && isWord(at, thousandUnit)) {
            ++at;
            *into *= 1000.0;
        }
        return true;
    }

    bool fields()
    {
        while (at < tokens.size()) {
            const QString key = tokens.at(at++).toUpper();
            if (key == u"FC") {
                if (!take(QStringLiteral("Fc"), filter.frequencyHz, "Hz", "kHz"))
                    return false;
            } else if (key == u"GAIN") {
                if (!take(QStringLiteral("Gain"), filter.gainDb, "dB"))
                    return false;
            } else if (key == u"Q") {
                if (!take(QStringLiteral("Q"), filter.q))
                    return false;
            } else if (key == u"BW" && isWord(at, "Oct")) {
                ++at;
                if (!take(QStringLiteral("BW"), filter.bandwidthOctaves))
                    return false;
            } else {
                return fail(EqTextError::UnknownWord, tokens.at(at - 1));
            }
        }
        return true;
    }

    bool checkValues()
    {
        const auto positive = [](const std::optional<double>& v) { return !v || *v > 0; };
        if (!positive(filter.frequencyHz))
            return fail(EqTextError::BadValue, QStringLiteral("Fc"));
        if (!positive(filter.q))
            return fail(EqTextError::BadValue, QStringLiteral("Q"));
        if (!positive(filter.bandwidthOctaves))
            return fail(EqTextError::BadValue, QStringLiteral("BW"));
        if (!positive(filter.slopeDb))
            return fail(EqTextError::BadValue, QStringLiteral("dB"));
        if (filter.q && (filter.slopeDb || filter.bandwidthOctaves))
            return fail(EqTextError::RepeatedField, QStringLiteral("Q"));
        return true;
    }

    bool required()
    {
        const QString& c = filter.code;
        const bool peaking = c == u"PK" || c == u"PEQ";
        if (!filter.frequencyHz)
            return fail(EqTextError::MissingField, QStringLiteral("Fc"));
        if ((peaking || isShelf(c)) && !filter.gainDb)
            return fail(EqTextError::MissingField, QStringLiteral("Gain"));
        if (peaking && !filter.q && !filter.bandwidthOctaves)
            return fail(EqTextError::MissingField, QStringLiteral("Q"));
        if ((c == u"LPQ" || c == u"HPQ") && !filter.q)
            return fail(EqTextError::MissingField, QStringLiteral("Q"));
        return true;
    }

    // Everything after "Filter N:".
    bool parse()
    {
        if (tokens.isEmpty())
            return fail(EqTextError::NoState, QString());
        const QString state = tokens.at(at++).toUpper();
        if (state != u"ON" && state != u"OFF")
            return fail(EqTextError::NoState, tokens.at(0));
        filter.on = state == u"ON";
        if (at < tokens.size())
            filter.code = tokens.at(at++).toUpper();
        // A filter switched off is flat whatever follows.
        if (!filter.on)
            return true;
        if (filter.code.isEmpty())
            return fail(EqTextError::NoType, QString());
        if (filter.code == u"NONE")
            return true;
        // Fixed slopes written into the code: "LS6", "HS12".
        static const QRegularExpression slopeCode(QStringLiteral("^([LH]S)(6|12)$"));
        if (const QRegularExpressionMatch m = slopeCode.match(filter.code); m.hasMatch()) {
            filter.code = m.captured(1);
            filter.slopeDb = m.captured(2).toDouble();
        } else if (isShelf(filter.code) && at + 1 < tokens.size() && isWord(at + 1, "dB") && numberOf(tokens.at(at))) {
            // "LS 6dB Fc ...": a slope in dB per octave.
            filter.slopeDb = numberOf(tokens.at(at));
            at += 2;
        }
        static const QStringList known{"PK", "PEQ", "LS", "HS", "LSC", "HSC", "LP", "HP", "LPQ", "HPQ",
                                       "AP", "NO", "BP", "LP1", "HP1"};
        if (!known.contains(filter.code)) {
            // A type we do not know: what can be read is kept for the
            // comparison of curves, the rest is no fault of the file.
            fields();
            failed = false;
            return true;
        }
        return fields() && checkValues() && required();
    }
};

QString decode(const QByteArray& bytes)
{
    const std::optional<QStringConverter::Encoding> marked = QStringConverter::encodingForData(bytes);
    QStringDecoder decoder(marked.value_or(QStringConverter::Utf8));
    QString text = decoder(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace

EqTextRead readEqText(const QByteArray& bytes)
{
    static const QRegularExpression filterLine(QStringLiteral("^filter\\b\\s*([^:\\s]*)\\s*(:?)(.*)$"),
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression commandLine(QStringLiteral("^([A-Za-z][A-Za-z0-9]*)\\s*:"));
    static const QRegularExpression preampLine(QStringLiteral("^preamp\\s*:(.*)$"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QStringList lines = decode(bytes).split(u'\n');
    EqFileText text;
    bool filtersBegan = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i + 1);
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (const QRegularExpressionMatch m = filterLine.match(line); m.hasMatch()) {
            const QString numbering = m.captured(1);
            bool numbered = false;
            const int number = numbering.toInt(&numbered);
            const bool looksLikeFilter = numbering.isEmpty() || numbered;
            if (m.captured(2).isEmpty()) {
                // "Filter Settings file" is a header; "Filter 3 ON PK" is a
                // filter line that lost its colon.
                if (numbered)
                    return {std::nullopt, {EqTextError::NoColon, lineNumber, numbering}};
            } else {
                if (!looksLikeFilter || number < 0)
                    return {std::nullopt, {EqTextError::BadNumbering, lineNumber, numbering}};
                EqFileFilter filter;
                filter.line = lineNumber;
                filter.number = numbered ? number : 0;
                const QStringList tokens = tokensOf(m.captured(3));
                FilterParser parser{filter, tokens};
                if (!parser.parse())
                    return {std::nullopt, parser.error};
                text.filters.append(filter);
                filtersBegan = true;
                continue;
            }
        }
        if (const QRegularExpressionMatch m = preampLine.match(line); m.hasMatch()) {
            const QStringList tokens = tokensOf(m.captured(1));
            const std::optional<double> db = tokens.isEmpty() ? std::nullopt : numberOf(tokens.at(0));
            if (!db || tokens.size() > 2 || (tokens.size() == 2 && tokens.at(1).compare(u"dB", Qt::CaseInsensitive)))
                return {std::nullopt, {EqTextError::BadPreamp, lineNumber, m.captured(1).trimmed()}};
            // Several preamps add up, as the equaliser applies each.
            text.preampDb = text.preampDb.value_or(0) + *db;
            text.preampLine = text.preampLine ? text.preampLine : lineNumber;
            continue;
        }
        if (const QRegularExpressionMatch m = commandLine.match(line); m.hasMatch()) {
            if (const QString command = configurationCommand(m.captured(1)); !command.isEmpty()) {
                text.ignored.append({lineNumber, command});
                continue;
            }
        }
        // Before the first filter anything is header text.
        if (filtersBegan)
            return {std::nullopt, {EqTextError::Malformed, lineNumber, line.left(40)}};
    }
    if (text.filters.isEmpty())
        return {std::nullopt, {EqTextError::NoFilters, 0, QString()}};
    return {text, {}};
}

QString eqTextErrorText(const EqTextError& e)
{
    QString reason;
    switch (e.kind) {
    case EqTextError::NoFilters: return tr("the file holds no filter lines");
    case EqTextError::NoColon: reason = tr("a colon is missing after \"Filter %1\"").arg(e.word); break;
    case EqTextError::BadNumbering: reason = tr("\"%1\" is no filter number").arg(e.word); break;
    case EqTextError::NoState:
        reason = e.word.isEmpty() ? tr("ON or OFF is missing") : tr("ON or OFF expected, found \"%1\"").arg(e.word);
        break;
    case EqTextError::NoType: reason = tr("the filter type is missing"); break;
    case EqTextError::NoValue: reason = tr("%1 needs a number").arg(e.word); break;
    case EqTextError::BadValue: reason = tr("%1 must be above zero").arg(e.word); break;
    case EqTextError::UnknownWord: reason = tr("\"%1\" is not understood").arg(e.word); break;
    case EqTextError::RepeatedField: reason = tr("%1 is given twice").arg(e.word); break;
    case EqTextError::MissingField: reason = tr("%1 is missing").arg(e.word); break;
    case EqTextError::BadPreamp: reason = tr("the preamp needs a number in dB, found \"%1\"").arg(e.word); break;
    case EqTextError::Malformed: reason = tr("\"%1\" is no filter line").arg(e.word); break;
    }
    return tr("line %1: %2").arg(e.line).arg(reason);
}

namespace {

// As few decimals as the value needs, at least `least`, at most four.
QString decimalText(double value, int least)
{
    QString text = QString::number(value, 'f', 4);
    const qsizetype point = text.indexOf(u'.');
    while (text.size() - point - 1 > least && text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    if (text == u"-0")
        text = QStringLiteral("0");
    return text;
}

// The Q that makes the amplifier's second-order low-pass a Bessel one
// (1 + w^2 + w^4 below the line): 1/sqrt(3).
constexpr double besselQ = 0.57735026918962576;

} // namespace

QString eqTypeCode(EqFilterType type)
{
    switch (type) {
    case EqFilterType::ByPass: return QStringLiteral("None");
    case EqFilterType::Peaking: return QStringLiteral("PK");
    case EqFilterType::LowShelf: return QStringLiteral("LSC");
    case EqFilterType::HighShelf: return QStringLiteral("HSC");
    case EqFilterType::AllPass: return QStringLiteral("AP");
    case EqFilterType::GeneralLow:
    case EqFilterType::BesselLow: return QStringLiteral("LPQ");
    case EqFilterType::GeneralHigh:
    case EqFilterType::BesselHigh: return QStringLiteral("HPQ");
    case EqFilterType::ButterworthLow: return QStringLiteral("LP");
    case EqFilterType::ButterworthHigh: return QStringLiteral("HP");
    }
    return QStringLiteral("None");
}

QByteArray writeEqText(EqTextFormat format, const ChannelParameters& channel, const QString& origin)
{
    const bool rew = format == EqTextFormat::Rew;
    QStringList lines;
    if (rew) {
        lines << QStringLiteral("Filter Settings file") << QString() << QStringLiteral("VX-4 editor") << origin
              << QString() << QStringLiteral("Equaliser: Generic");
        if (channel.eqBypass)
            lines << QStringLiteral("Notes: EQ Bypass is on in the amplifier");
        lines << QString();
    } else {
        lines << QStringLiteral("# VX-4 editor: ") + origin;
        if (channel.eqBypass)
            lines << QStringLiteral("# EQ Bypass is on in the amplifier");
    }
    for (int b = 0; b < bandCount; ++b) {
        const EqBand& band = channel.bands[static_cast<std::size_t>(b)];
        const EqFilterType type = band.bandType;
        const QString head = rew ? QStringLiteral("Filter %1: ").arg(b + 1, 2) : QStringLiteral("Filter %1: ").arg(b + 1);
        if (type == EqFilterType::ByPass) {
            lines << head + QStringLiteral("OFF None");
            continue;
        }
        const bool bessel = type == EqFilterType::BesselLow || type == EqFilterType::BesselHigh;
        const bool withGain = type == EqFilterType::Peaking || type == EqFilterType::LowShelf
                              || type == EqFilterType::HighShelf;
        const bool withQ = withGain || bessel || type == EqFilterType::AllPass || type == EqFilterType::GeneralLow
                           || type == EqFilterType::GeneralHigh;
        const QString q = decimalText(bessel ? besselQ : band.bandQ, 2);
        const QString fc = rew ? decimalText(band.bandFrequencyHz, 1) : decimalText(band.bandFrequencyHz, 0);
        QString line = head;
        if (rew) {
            line += QStringLiteral("ON  %1 Fc %2 Hz").arg(eqTypeCode(type), -8).arg(fc, 7);
            if (withGain)
                line += QStringLiteral("  Gain %1 dB").arg(decimalText(band.bandGainDb, 1), 6);
            if (withQ)
                line += QStringLiteral("  Q %1").arg(q, 6);
        } else {
            line += QStringLiteral("ON %1 Fc %2 Hz").arg(eqTypeCode(type), fc);
            if (withGain)
                line += QStringLiteral(" Gain %1 dB").arg(decimalText(band.bandGainDb, 1));
            if (withQ)
                line += QStringLiteral(" Q %1").arg(q);
        }
        lines << line;
    }
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}
