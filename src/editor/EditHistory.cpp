#include "editor/EditHistory.h"

#include <algorithm>
#include <tuple>

void EditHistory::reset(const AmpParameters& state)
{
    steps = {Step{QString(), state}};
    position = 0;
}

bool EditHistory::record(const QString& label, const AmpParameters& state)
{
    if (ParameterTable::differences(current(), state).isEmpty())
        return false;
    steps.erase(steps.begin() + position + 1, steps.end());
    steps.append({label, state});
    if (steps.size() > maximumSteps + 1)
        steps.removeFirst();
    position = static_cast<int>(steps.size()) - 1;
    return true;
}

const AmpParameters& EditHistory::undo()
{
    if (canUndo())
        --position;
    return current();
}

const AmpParameters& EditHistory::redo()
{
    if (canRedo())
        ++position;
    return current();
}

const AmpParameters& EditHistory::jumpTo(int index)
{
    position = std::clamp(index, 0, static_cast<int>(steps.size()) - 1);
    return current();
}

bool isSetting(ParameterKey key) { return key != ParameterKey::PowerState && key != ParameterKey::KnobLock; }

AmpParameters withSettingsOf(const AmpParameters& base, const AmpParameters& settings)
{
    AmpParameters result = base;
    for (const ParameterPath& path : ParameterTable::paths(channelCountMax)) {
        if (!isSetting(path.key))
            continue;
        if (const std::optional<double> v = ParameterTable::value(settings, path))
            ParameterTable::setValue(result, path, *v);
    }
    return result;
}

QList<ParameterPath> settingDifferences(const AmpParameters& a, const AmpParameters& b)
{
    QList<ParameterPath> result;
    for (const ParameterPath& path : ParameterTable::differences(a, b))
        if (isSetting(path.key))
            result.append(path);
    return result;
}

QList<ParameterPath> StepGrouper::identity(QList<ParameterPath> paths)
{
    // A band's frequency and gain move together: they are one value here.
    for (ParameterPath& path : paths)
        if (path.key == ParameterKey::BandGainDb)
            path.key = ParameterKey::BandFrequencyHz;
    std::sort(paths.begin(), paths.end(), [](const ParameterPath& a, const ParameterPath& b) {
        return std::tuple(static_cast<int>(a.key), a.channel, a.band) < std::tuple(static_cast<int>(b.key), b.channel, b.band);
    });
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    return paths;
}

void StepGrouper::changed(const AmpParameters& state, qint64 nowMs)
{
    const AmpParameters& before = pendingState ? *pendingState : history.current();
    const QList<ParameterPath> paths = identity(settingDifferences(before, state));
    if (paths.isEmpty())
        return;
    // Another value, or the same one after a pause, starts a step of its
    // own; while the mouse is held everything is one step.
    if (pendingState && !held && (paths != pendingPaths || nowMs - lastChangeMs > pauseMs))
        commit();
    pendingState = state;
    pendingPaths = paths;
    lastChangeMs = nowMs;
}

void StepGrouper::pressed()
{
    commit();
    held = true;
}

void StepGrouper::released()
{
    held = false;
    commit();
}

void StepGrouper::tick(qint64 nowMs)
{
    if (pendingState && !held && nowMs - lastChangeMs > pauseMs)
        commit();
}

bool StepGrouper::commit()
{
    if (!pendingState)
        return false;
    const AmpParameters state = *pendingState;
    pendingState.reset();
    const QList<ParameterPath> changed = settingDifferences(history.current(), state);
    if (changed.isEmpty())
        return false; // back where it started
    return history.record(labeller ? labeller(changed, state) : QString(), state);
}

QList<ParameterKey> partKeys(ChannelPart part)
{
    using K = ParameterKey;
    switch (part) {
    case ChannelPart::Eq:
        return {K::EqBypass, K::BandType, K::BandFrequencyHz, K::BandGainDb, K::BandQ};
    case ChannelPart::Crossover:
        return {K::HpType, K::LpType, K::HpFrequencyHz, K::LpFrequencyHz};
    case ChannelPart::Limiter:
        return {K::LimiterThreshold, K::AttackMs, K::ReleaseMs};
    case ChannelPart::Levels:
        return {K::GainDb, K::DelayUs, K::VolumeDb, K::Mute, K::Invert};
    }
    return {};
}

AmpParameters copyChannel(const AmpParameters& state, int source, const QList<int>& targets,
                          const QList<ChannelPart>& parts)
{
    AmpParameters result = state;
    if (source < 0 || source >= channelCountMax)
        return result;
    for (int target : targets) {
        if (target == source || target < 0 || target >= std::min(state.channelCount, channelCountMax))
            continue;
        for (ChannelPart part : parts) {
            for (ParameterKey key : partKeys(part)) {
                const bool perBand = ParameterTable::of(key).scope == ParameterScope::Band;
                for (int b = 0; b < (perBand ? bandCount : 1); ++b) {
                    const std::optional<double> v = ParameterTable::value(state, {key, source, b});
                    if (v)
                        ParameterTable::setValue(result, {key, target, b}, *v);
                }
            }
        }
    }
    return result;
}
