#include "response/ResponseCurve.h"
#include "response/ResponseMath.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>

namespace {

// A plot as wide as the curve buffer: the widest the graphs draw.
constexpr int width = 1920;

std::array<EqBandSetting, 15> peakingBands()
{
    std::array<EqBandSetting, 15> bands;
    for (std::size_t k = 0; k < bands.size(); ++k) {
        const double f0 = std::round(std::pow(10.0, 1.3 + 3.0 * double(k) / 14.0));
        bands[k] = {EqType::peaking, f0, k % 2 ? 6.0 : -4.5, 1.4};
    }
    return bands;
}

void eqCurvePeaking15(benchmark::State& state)
{
    const auto bands = peakingBands();
    ResponseCurves curves(width);
    std::vector<double> out;
    for (auto _ : state) {
        curves.eqCurveDb(bands, false, out);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(eqCurvePeaking15)->Unit(benchmark::kMicrosecond);

// The straightforward per-column sum, as a yardstick for the curve above.
void eqCurvePeaking15PerBandSum(benchmark::State& state)
{
    const auto bands = peakingBands();
    std::vector<double> out(width);
    for (auto _ : state) {
        for (int p = 0; p < width; ++p) {
            const double f = frequencyAtOffset(p, width);
            double sum = 0.0;
            for (const EqBandSetting& band : bands)
                sum += eqBandResponseDb(band.type, f, band.frequencyHz, band.gainDb, band.q);
            out[std::size_t(p)] = sum;
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(eqCurvePeaking15PerBandSum)->Unit(benchmark::kMicrosecond);

void crossoverCurveBessel48(benchmark::State& state)
{
    const CrossoverSetting setting{CrossoverType::bessel48, 80, CrossoverType::bessel48, 5000};
    ResponseCurves curves(width);
    std::vector<double> out;
    for (auto _ : state) {
        curves.crossoverCurveDb(setting, out);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(crossoverCurveBessel48)->Unit(benchmark::kMicrosecond);

} // namespace
