// The cycle histogram reader on a 10000-block file, opened afresh each iteration as the
// program opens it. `per_line` is the CPU time per line of the file (header and blocks).
#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "bench/bench_files.h"
#include "run/histogram_file.h"
#include "run/input_lines.h"
#include "support/io/file_open.h"
#include "support/io/units.h"

namespace qartwo::bench {
namespace {

constexpr int kHistogramUnit = 21;
constexpr int kMustExist = 1;

void BM_ReadHistogramFile10000Blocks(benchmark::State& state) {
  static const ScratchDirectory directory;
  const std::filesystem::path file = directory.path() / kLargeHistogramName;
  if (directory.path().empty() || !WriteFile(file, LargeHistogramText())) {
    state.SkipWithError("the histogram file could not be written");
    return;
  }
  const std::string name = file.string();
  std::array<char, kInputLineLength> line{};
  std::vector<double> counts(kMaxBlocks);
  for (auto _ : state) {
    int error_flag = 0;
    OPNOLD(name, kHistogramUnit, kMustExist, error_flag);
    const HistogramFileResult result = ReadHistogramFile(kHistogramUnit, line, counts);
    static_cast<void>(CloseUnit(kHistogramUnit));
    if (error_flag != 0 || result.status != InputFileStatus::kOk || result.block_lines != kBlocks) {
      state.SkipWithError("the histogram file was not read whole");
      break;
    }
    benchmark::DoNotOptimize(counts.data());
  }
  state.counters["blocks"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlocks,
                                                benchmark::Counter::kIsRate);
  state.counters["per_line"] = benchmark::Counter(
      kBlocks + 1, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReadHistogramFile10000Blocks);

}  // namespace
}  // namespace qartwo::bench
