#pragma once

#include "protocol/AmpParameters.h"
#include "protocol/ParameterTable.h"

#include <QList>
#include <QString>

// The steps of the user's changes to one amplifier's settings, as the
// states after each step. Undo and redo move through them; the frames that
// take the amplifier there are ParameterTable::framesToReach's. No widgets,
// no link: the editor sends and shows.
class EditHistory {
public:
    // Steps kept at most; the oldest go first.
    static constexpr int maximumSteps = 500;

    struct Step {
        QString label; // what the step did, "Vol(dB) CHB -20dB"
        AmpParameters state;
    };

    // Starts anew from a state read from the amplifier.
    void reset(const AmpParameters& state);
    // A step that took the amplifier to `state`; the steps that could be
    // redone are dropped. A state equal to the current one is no step.
    bool record(const QString& label, const AmpParameters& state);

    bool canUndo() const { return position > 0; }
    bool canRedo() const { return position + 1 < steps.size(); }
    QString undoLabel() const { return canUndo() ? steps[position].label : QString(); }
    QString redoLabel() const { return canRedo() ? steps[position + 1].label : QString(); }

    // The state the current step left.
    const AmpParameters& current() const { return steps[position].state; }
    int currentIndex() const { return position; }
    const QList<Step>& allSteps() const { return steps; }
    bool isEmpty() const { return steps.size() <= 1; }

    // Moves to another step and returns the state to take the amplifier to.
    const AmpParameters& undo();
    const AmpParameters& redo();
    const AmpParameters& jumpTo(int index);

private:
    QList<Step> steps{Step{}};
    int position = 0;
};

// What the copy of a channel takes along.
enum class ChannelPart {
    Eq,        // the fifteen bands and EQ Bypass
    Crossover, // high-pass and low-pass types and frequencies
    Limiter,   // threshold, attack, release
    Levels,    // gain, delay, volume, mute, polarity
};

// The keys of a part.
QList<ParameterKey> partKeys(ChannelPart part);

// `state` with the parts of channel `source` copied onto `targets` (0..3).
AmpParameters copyChannel(const AmpParameters& state, int source, const QList<int>& targets,
                          const QList<ChannelPart>& parts);
