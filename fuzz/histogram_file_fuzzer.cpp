// Fuzzes the cycle histogram reader with the input as the file's content. The block counts
// have room for a few blocks only, so that the refusal of a longer histogram is reached often;
// the line buffer and the counts are allocated to their exact size so that any access outside
// them is caught.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/support/fuzz_units.h"
#include "run/histogram_file.h"
#include "support/io/units.h"
#include "support/text/fixed_text.h"

namespace {

constexpr int kHistogramUnit = 21;
constexpr std::size_t kBlockRoom = 8;

void Check(bool promise) {
  if (!promise) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qartwo;
  if (!fuzzing::ConnectBytes(kHistogramUnit, fuzzing::InputText(data, size)) ||
      !fuzzing::ConnectDiscard(kConsoleOutput)) {
    std::abort();
  }
  std::vector<char> line(kTextLength);
  std::vector<double> block_counts(kBlockRoom);
  const HistogramFileResult result = ReadHistogramFile(kHistogramUnit, line, block_counts);

  Check(result.block_lines >= 0 && static_cast<std::size_t>(result.block_lines) <= kBlockRoom);
  if (result.status == InputFileStatus::kRefused) {
    Check(static_cast<std::size_t>(result.block_lines) == kBlockRoom);
  }
  // A stop points at the failing line; a file without a header line has none, and may have
  // no line at all.
  if (result.status != InputFileStatus::kOk && result.problem != InputProblem::kEndsEarly) {
    Check(result.position.line_number > 0);
  }
  WriteHistogramFileProblem(kConsoleOutput, "histogram.txt", result);
  static_cast<void>(CloseAllUnits());
  return 0;
}
