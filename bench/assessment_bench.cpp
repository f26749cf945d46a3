// Whole runs of the assessment: the dialogue fed from the example answer files, the console
// output thrown away, the input files and the report in a scratch directory.
#include <benchmark/benchmark.h>
#include <stdio.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/bench_files.h"
#include "run/assessment.h"
#include "support/io/units.h"

namespace qartwo::bench {
namespace {

namespace fs = std::filesystem;

constexpr const char* kExampleHistogram = "examples/histogram.txt";

// A scratch directory holding examples/ as in the source tree and the 10000-block histogram;
// empty path when it could not be prepared.
const fs::path& RunDirectory() {
  static const ScratchDirectory directory;
  static const bool prepared = [] {
    if (directory.path().empty()) return false;
    std::error_code error;
    fs::copy(fs::path(QARTWO_SOURCE_DIR) / "examples", directory.path() / "examples", error);
    return !error && WriteFile(directory.path() / kLargeHistogramName, LargeHistogramText());
  }();
  static const fs::path none;
  return prepared ? directory.path() : none;
}

// Connects `unit` to `stream`, which the unit closes when the run ends; false on failure.
bool ConnectOwned(int unit, std::FILE* stream) {
  if (stream == nullptr) return false;
  const Connection connection;  // sequential formatted, closed with the unit
  if (ConnectUnit(unit, stream, connection) == IoStatus::kOk) return true;
  std::fclose(stream);
  return false;
}

// One run per iteration on the answers of examples/`answers_file`, with the example
// histogram's name replaced by `histogram` when that is not empty; `blocks` is its number of
// blocks, counted as a rate when it is not 0.
void BM_WholeRun(benchmark::State& state, const char* answers_file, const char* histogram,
                 int blocks) {
  const fs::path& directory = RunDirectory();
  std::string answers = ReadFile(fs::path(QARTWO_SOURCE_DIR) / "examples" / answers_file);
  if (directory.empty() || answers.empty()) {
    state.SkipWithError("the run directory or the answers could not be prepared");
    return;
  }
  if (*histogram != '\0') {
    const std::size_t at = answers.find(kExampleHistogram);
    if (at != std::string::npos)
      answers.replace(at, std::string(kExampleHistogram).size(), histogram);
  }
  const fs::path previous = fs::current_path();
  fs::current_path(directory);
  for (auto _ : state) {
    const bool connected =
        ConnectOwned(kConsoleInput, fmemopen(answers.data(), answers.size(), "r")) &&
        ConnectOwned(kConsoleOutput, std::fopen("/dev/null", "w")) &&
        ConnectOwned(kDiagnosticOutput, std::fopen("/dev/null", "w"));
    const int status = connected ? RunAssessment() : -1;
    if (status != 0) {
      state.SkipWithError("the run did not complete");
      break;
    }
  }
  static_cast<void>(CloseAllUnits());
  ConnectConsoleUnits();
  fs::current_path(previous);
  if (blocks > 0) {
    state.counters["blocks"] = benchmark::Counter(static_cast<double>(state.iterations()) * blocks,
                                                  benchmark::Counter::kIsRate);
  }
}
BENCHMARK_CAPTURE(BM_WholeRun, user_curve_example, "answers.txt", "", 0);
BENCHMARK_CAPTURE(BM_WholeRun, catalogue_curve_example, "answers_catalogue.txt", "", 0);
BENCHMARK_CAPTURE(BM_WholeRun, user_curve_10000_blocks, "answers.txt", kLargeHistogramName,
                  kBlocks);

}  // namespace
}  // namespace qartwo::bench
