#include "editor/EditHistory.h"

#include <algorithm>

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
