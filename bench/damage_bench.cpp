// QAR02X on a 10000-block histogram: a catalogue curve with thickness correction, and a
// two-slope user curve without.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <vector>

#include "bench/bench_files.h"
#include "fatigue/catalogue.h"
#include "fatigue/damage.h"
#include "fatigue/sn_vector.h"

namespace qartwo::bench {
namespace {

// NORSOK D in air: two slopes and a thickness exponent, so the thickness factor is not 1.
constexpr int kCatalogueCurve = 6;
constexpr int kMessageUnit = 0;

std::vector<double> Counts() {
  std::vector<double> counts(kMaxBlocks);
  for (int i = 1; i <= kBlocks; ++i) counts[static_cast<std::size_t>(i) - 1] = BlockCount(i);
  return counts;
}

void RunQAR02X(benchmark::State& state, std::span<const double> curve,
               std::span<const double, 2> plate) {
  const std::vector<double> counts = Counts();
  const std::array<double, 4> histogram = {1.0, static_cast<double>(kBlocks), kBlockWidth, 0.0};
  double damage = 0.0;
  int status = 0;
  for (auto _ : state) {
    QAR02X(counts, curve, plate, histogram, damage, kMessageUnit, status);
    benchmark::DoNotOptimize(damage);
  }
  if (status != 0 || !(damage > 0.0)) state.SkipWithError("QAR02X did not compute a damage");
  state.counters["blocks"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlocks,
                                                benchmark::Counter::kIsRate);
}

void BM_QAR02XCatalogueCurve(benchmark::State& state) {
  int nCurves = 0;
  std::array<int, kCatalogueStartRoom> iCurveStart{};
  std::vector<double> curveValues(kCatalogueValueRoom);
  std::vector<int> curveNames(static_cast<std::size_t>(kCatalogueNameRoom) * kNameLength);
  int error_flag = 0;
  SNDBASE(nCurves, iCurveStart, curveValues, curveNames, kNameLength, kMessageUnit, error_flag);
  if (error_flag != 0 || nCurves < kCatalogueCurve) {
    state.SkipWithError("the catalogue could not be built");
    return;
  }
  const int start = iCurveStart[kCatalogueCurve - 1];
  const int length = iCurveStart[kCatalogueCurve] - start;
  std::array<double, kCurveVectorLength> curve{};
  SNCOPY(std::span<const double>(curveValues).subspan(static_cast<std::size_t>(start) - 1), curve,
         length, 1, 0);
  const std::array<double, 2> plate = {50.0, 1.0};  // thickness above Tref, no SCF
  RunQAR02X(state, curve, plate);
}
BENCHMARK(BM_QAR02XCatalogueCurve);

void BM_QAR02XTwoSlopeUserCurve(benchmark::State& state) {
  // The vector the reader builds from examples/sn_curve.txt: DNV-type, two segments
  // (LogA, m, nBreak), one fixed value.
  const std::array<double, 15> curve = {2,    1,   1,   2,    3,   1,   9,   15,
                                        12.0, 3.0, 1e7, 15.3, 5.0, 0.0, 46.4};
  const std::array<double, 2> plate = {0.0, 1.0};
  RunQAR02X(state, curve, plate);
}
BENCHMARK(BM_QAR02XTwoSlopeUserCurve);

}  // namespace
}  // namespace qartwo::bench
