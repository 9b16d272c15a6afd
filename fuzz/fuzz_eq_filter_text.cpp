// A filter file as Import EQ reads it: any bytes, read, mapped onto the
// fifteen bands, compared with the file's curve, then written in either form
// and read again. The first byte picks the interface language (bit 0) and
// the form written (bit 1); the rest is the file.
#include "FuzzSupport.h"

#include "app/UiLanguage.h"
#include "protocol/ValueMapping.h"
#include "response/EqFilterText.h"
#include "response/EqImport.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fuzz::Input input(data, size);
    const std::uint8_t selector = input.takeByte();
    setUiLanguage(selector & 1);
    const EqTextFormat format = (selector & 2) ? EqTextFormat::Apo : EqTextFormat::Rew;
    const QByteArray bytes = input.rest();

    const EqTextRead read = readEqText(bytes);
    if (!read.ok()) {
        FUZZ_CHECK(read.error.line >= 0);
        FUZZ_CHECK(!eqTextErrorText(read.error).isEmpty());
        return 0;
    }
    const EqFileText& text = *read.text;
    FUZZ_CHECK(!text.filters.isEmpty());
    int previousLine = 0;
    for (const EqFileFilter& filter : text.filters) {
        FUZZ_CHECK(filter.line > previousLine);
        previousLine = filter.line;
    }

    // Whatever the file says, the bands stay within the amplifier's ranges.
    namespace VM = ValueMapping;
    const EqImportPlan plan = planEqImport(text);
    for (const EqImportBand& band : plan.bands) {
        if (band.type == EqFilterType::ByPass)
            continue;
        FUZZ_CHECK(VM::frequencyRange.contains(band.frequencyHz));
        if (eqTypeUsesGain(band.type))
            FUZZ_CHECK(band.gainDb >= VM::eqGainRange.minimum && band.gainDb <= VM::eqGainRange.maximum);
        if (eqTypeUsesQ(band.type))
            FUZZ_CHECK(band.q >= VM::qMinimum - 1e-9 && band.q <= VM::qMaximum + 1e-9);
    }
    for (const EqAdjustment& adjustment : plan.adjustments)
        FUZZ_CHECK(!eqAdjustmentText(adjustment).isEmpty());

    AmpParameters state;
    applyEqImport(state, 0, plan);
    // A few columns: the whole graph is too slow for every input.
    const EqCurveDifference cost = compareWithFile(text, eqBandSettingsOf(state.channels[0]), 48);
    FUZZ_CHECK(std::isfinite(cost.largestDb) && cost.largestDb >= 0);
    FUZZ_CHECK(!eqCurveDifferenceText(cost).isEmpty());

    // What an export writes imports as the same bands, with nothing to say.
    const EqTextRead again = readEqText(writeEqText(format, state.channels[0], QStringLiteral("amplifier 1, CHA")));
    FUZZ_CHECK(again.ok());
    const EqImportPlan replanned = planEqImport(*again.text);
    FUZZ_CHECK(replanned.adjustments.isEmpty());
    AmpParameters reread;
    applyEqImport(reread, 1, replanned);
    FUZZ_CHECK(sameEqBands(reread.channels[1], state.channels[0]));
    return 0;
}
