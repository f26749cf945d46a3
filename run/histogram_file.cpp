#include "run/histogram_file.h"

#include <array>

#include "run/input_diagnostic.h"

namespace qartwo {
namespace {

constexpr std::array<ExpectedValue, 3> kHeaderValues = {{
    {"number of blocks", FreeFormKind::kInteger},
    {"block width", FreeFormKind::kReal},
    {"spare header value", FreeFormKind::kReal},
}};

constexpr std::array<ExpectedValue, 2> kBlockValues = {{
    {"leading value", FreeFormKind::kReal},
    {"number of cycles", FreeFormKind::kReal},
}};

constexpr std::string_view kFileKind = "cycle histogram";

HistogramFileResult& Stop(HistogramFileResult& result, InputFileStatus status,
                          std::span<const char> line) {
  result.status = status;
  result.line_text = TrimTrailingBlanks(InputLineText(line));
  return result;
}

}  // namespace

HistogramFileResult ReadHistogramFile(int unit, std::span<char> line,
                                      std::span<double> block_counts) {
  HistogramFileResult result;
  while (NextDataLine(unit, line, result.position, result.status, result.io_status)) {
    const std::string_view text = InputLineText(line);

    if (result.position.data_line == 1) {
      int blocks = 0;
      double width = 0.0;
      double spare = 0.0;
      const std::array<FreeFormTarget, 3> targets = {IntegerTarget(blocks), RealTarget(width),
                                                     RealTarget(spare)};
      result.value = ReadFreeForm(text, targets);
      if (result.value.status != FreeFormStatus::kOk) {
        return Stop(result, InputFileStatus::kInputError, line);
      }
      result.number_of_blocks = blocks;
      result.block_width = width;
      result.spare_value = spare;
      continue;
    }

    // A block beyond the counts is refused before its values are looked at, so the
    // histogram is never cut short without a word.
    if (static_cast<std::size_t>(result.block_lines) >= block_counts.size()) {
      result.block_room = block_counts.size();
      result.value = {};
      return Stop(result, InputFileStatus::kRefused, line);
    }
    double leading = 0.0;  // read for its syntax only: a block's stress follows from its place
    double cycles = 0.0;
    const std::array<FreeFormTarget, 2> targets = {RealTarget(leading), RealTarget(cycles)};
    result.value = ReadFreeForm(text, targets);
    if (result.value.status != FreeFormStatus::kOk) {
      return Stop(result, InputFileStatus::kInputError, line);
    }
    block_counts[static_cast<std::size_t>(result.block_lines)] = cycles;
    ++result.block_lines;
  }
  return result;
}

void WriteHistogramFileProblem(int unit, std::string_view file_name,
                               const HistogramFileResult& result) {
  OutputLine what;
  OutputLine expected;
  if (result.status == InputFileStatus::kInputError) {
    const bool header = result.position.data_line == 1;
    const std::span<const ExpectedValue> values =
        header ? std::span<const ExpectedValue>(kHeaderValues)
               : std::span<const ExpectedValue>(kBlockValues);
    const std::size_t failing = static_cast<std::size_t>(result.value.target);
    AppendValueProblem(what, result.value, values[failing < values.size() ? failing : 0],
                       static_cast<int>(values.size()));
    AppendText(expected, header ? "header line: " : "block line: ");
    AppendExpectedValues(expected, values);
  } else if (result.status == InputFileStatus::kRefused) {
    AppendText(what, "more than ");
    AppendCount(what, static_cast<long long>(result.block_room));
    AppendText(what, " block lines");
    AppendText(expected, "at most ");
    AppendCount(expected, static_cast<long long>(result.block_room));
    AppendText(expected, " blocks, the room of the block counts");
  }
  WriteInputFileProblem(
      unit, {kFileKind, file_name, result.status, result.position.line_number, result.line_text,
             LineText(what), LineText(expected), result.io_status});
}

}  // namespace qartwo
