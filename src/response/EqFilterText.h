#pragma once

#include "protocol/AmpParameters.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Parametric filters as room-measurement programs hand them over as text:
// a measurement program's "filter settings" export (free header lines, then
// "Filter  1: ON  PK  Fc 63.0 Hz  Gain -4.5 dB  Q 4.00") and a system
// equaliser's configuration ("Preamp: -3.5 dB", "Filter: ON PK Fc 1000 Hz
// Gain -3 dB Q 1.41", "#" comments). Both share the filter line, so one
// reader takes either. Pure: no files, no widgets.

enum class EqTextFormat { Rew, Apo };

// One "Filter" line as written, before anything is brought into the
// amplifier's ranges.
struct EqFileFilter {
    int line = 0;   // 1-based line of the file
    int number = 0; // "Filter 3:" gives 3; 0 for "Filter:"
    bool on = true;
    QString code; // the type code in capitals: "PK", "LSC", "NONE"; empty after a bare OFF
    std::optional<double> frequencyHz;
    std::optional<double> gainDb;
    std::optional<double> q;
    std::optional<double> slopeDb;          // a shelf's "LS 6dB"
    std::optional<double> bandwidthOctaves; // "BW Oct 0.5" instead of a Q

    // On, and of a type other than "None".
    bool isActive() const { return on && !code.isEmpty() && code != u"NONE"; }
};

// A configuration command the amplifier has no counterpart for ("Channel:",
// "Include:"): left out, and said so.
struct EqIgnoredCommand {
    int line = 0;
    QString command; // "Channel"
};

struct EqFileText {
    std::optional<double> preampDb;
    int preampLine = 0;
    QList<EqFileFilter> filters;
    QList<EqIgnoredCommand> ignored;
};

// Why a file was refused; the line is 0 where the file as a whole is meant.
struct EqTextError {
    enum Kind {
        NoFilters,     // no "Filter" line at all (an empty file too)
        NoColon,       // "Filter 3 ON PK ..."
        BadNumbering,  // "Filter x: ..."
        NoState,       // neither ON nor OFF after the colon
        NoType,        // ON and nothing after it
        NoValue,       // a field without its number: "Fc Hz"
        BadValue,      // a number out of sense: "Fc 0 Hz", "Q -1"
        UnknownWord,   // a word that is no field: "Fc 100 dB"
        RepeatedField, // "Q 1 Q 2", or both a Q and a slope
        MissingField,  // "PK Fc 100 Hz Gain 3 dB" without Q
        BadPreamp,     // "Preamp: loud"
        Malformed,     // a line of no known form after the filters began
    };
    Kind kind = NoFilters;
    int line = 0;
    QString word; // the word or field concerned
};

struct EqTextRead {
    std::optional<EqFileText> text;
    EqTextError error;
    bool ok() const { return text.has_value(); }
};

// Reads a filter file: UTF-8 (a byte-order mark is skipped; UTF-16 with its
// mark is read too), LF or CR LF. Lines before the first filter that fit no
// form are the header; after it such a line refuses the whole file.
EqTextRead readEqText(const QByteArray& bytes);

// The words of a refusal in the interface language: "line 4: Fc needs a
// number".
QString eqTextErrorText(const EqTextError& error);

// Writes a channel's fifteen bands in either form, band by band ("OFF None"
// for a flat band), CR LF, so that reading it back gives the same bands.
// `origin` goes into the header ("amplifier 3, CHA").
QByteArray writeEqText(EqTextFormat format, const ChannelParameters& channel, const QString& origin);

// The type code a band is written with ("PK", "LSC", "LP", ...), "None" for
// "ByPass".
QString eqTypeCode(EqFilterType type);
