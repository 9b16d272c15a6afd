#pragma once

#include "protocol/AmpParameters.h"
#include "protocol/ParameterTable.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

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

// The amplifier's settings: every parameter but the operating states (power
// and knob lock), which are no step of the history.
bool isSetting(ParameterKey key);
// `base` with the settings of `settings`.
AmpParameters withSettingsOf(const AmpParameters& base, const AmpParameters& settings);
// The settings that differ.
QList<ParameterPath> settingDifferences(const AmpParameters& a, const AmpParameters& b);

// Gathers the user's changes into steps of a history: changes of the same
// values with no pause over a second between them are one step, and so is
// everything between a press of the mouse and its release.
class StepGrouper {
public:
    static constexpr qint64 pauseMs = 1000;
    // The words of a step from the values it changed and the state after it.
    using Labeller = std::function<QString(const QList<ParameterPath>& changed, const AmpParameters& after)>;

    StepGrouper(EditHistory& history, Labeller labeller) : history(history), labeller(std::move(labeller)) {}

    // A change the user made, leaving `state`, at `nowMs`.
    void changed(const AmpParameters& state, qint64 nowMs);
    // The mouse went down: what was pending is a step of its own, and what
    // follows until the release is one step.
    void pressed();
    void released();
    // A pause: the pending step is closed once a second has passed since its
    // last change, unless the mouse is held.
    void tick(qint64 nowMs);
    // Closes the pending step; returns whether it was recorded.
    bool commit();
    bool hasPending() const { return pendingState.has_value(); }
    // After a read or a step recorded otherwise: nothing pending.
    void forget() { pendingState.reset(); }

private:
    // What the values of a change are: key, channel and band of each.
    static QList<ParameterPath> identity(QList<ParameterPath> paths);

    EditHistory& history;
    Labeller labeller;
    std::optional<AmpParameters> pendingState;
    QList<ParameterPath> pendingPaths;
    qint64 lastChangeMs = 0;
    bool held = false;
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
