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

InputProblem ReadHeader(std::string_view text, HistogramFileResult& result) {
  int blocks = 0;
  double width = 0.0;
  double spare = 0.0;  // stays 0 when left out
  const std::array<FreeFormTarget, 3> targets = {IntegerTarget(blocks), RealTarget(width),
                                                 RealTarget(spare)};
  if (const InputProblem problem = ReadResultValues(text, result, targets, 0b001);
      problem != InputProblem::kNone) {
    return problem;
  }
  if (blocks < 0) {
    result.value_index = 0;
    return InputProblem::kBelowZero;
  }
  result.value_index = 1;
  // No blocks need no width; blocks of no width would all stand at stress 0.
  if (blocks >= 1 && (result.value.no_value & 0b010) != 0) return InputProblem::kNotGiven;
  if (blocks >= 1 && width <= 0.0) return InputProblem::kNotAboveZero;
  result.number_of_blocks = blocks;
  result.block_width = width;
  result.spare_value = spare;
  return InputProblem::kNone;
}

InputProblem ReadBlock(std::string_view text, HistogramFileResult& result, double& cycles) {
  double leading = 0.0;  // read for its syntax only: a block's stress follows from its place
  const std::array<FreeFormTarget, 2> targets = {RealTarget(leading), RealTarget(cycles)};
  if (const InputProblem problem = ReadResultValues(text, result, targets, 0b10);
      problem != InputProblem::kNone) {
    return problem;
  }
  if (cycles < 0.0) {
    result.value_index = 1;
    return InputProblem::kBelowZero;
  }
  return InputProblem::kNone;
}

}  // namespace

HistogramFileResult ReadHistogramFile(int unit, std::span<char> line,
                                      std::span<double> block_counts) {
  HistogramFileResult result;
  while (NextDataLine(unit, line, result.position, result.status, result.io_status)) {
    const std::string_view text = InputLineText(line);
    if (result.position.data_line == 1) {
      if (const InputProblem problem = ReadHeader(text, result); problem != InputProblem::kNone) {
        return StopAtLine(result, InputFileStatus::kInputError, problem, line);
      }
      continue;
    }
    // A block beyond the counts is refused before its values are looked at, so the
    // histogram is never cut short without a word.
    if (static_cast<std::size_t>(result.block_lines) >= block_counts.size()) {
      result.block_room = block_counts.size();
      return StopAtLine(result, InputFileStatus::kRefused, InputProblem::kNone, line);
    }
    double cycles = 0.0;
    if (const InputProblem problem = ReadBlock(text, result, cycles);
        problem != InputProblem::kNone) {
      return StopAtLine(result, InputFileStatus::kInputError, problem, line);
    }
    block_counts[static_cast<std::size_t>(result.block_lines)] = cycles;
    ++result.block_lines;
  }
  if (result.status == InputFileStatus::kOk && result.position.data_line == 0) {
    result.status = InputFileStatus::kInputError;
    result.problem = InputProblem::kEndsEarly;
  }
  return result;
}

void WriteHistogramFileProblem(int unit, std::string_view file_name,
                               const HistogramFileResult& result) {
  OutputLine what;
  OutputLine expected;
  const bool at_end = result.problem == InputProblem::kEndsEarly;
  if (result.status == InputFileStatus::kInputError) {
    const bool header = at_end || result.position.data_line == 1;
    const std::span<const ExpectedValue> values =
        header ? std::span<const ExpectedValue>(kHeaderValues)
               : std::span<const ExpectedValue>(kBlockValues);
    if (at_end) {
      AppendEarlyEnd(what, "", result.position);
      AppendText(what, "the header line is missing");
    }
    AppendLineProblem(what, result.problem, result.value, values, result.value_index);
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
  WriteReaderProblem(unit, kFileKind, file_name, result, what, expected);
}

void WriteHistogramFileNote(int unit, std::string_view file_name,
                            const HistogramFileResult& result) {
  WriteSurplusNote(unit, kFileKind, file_name, result.surplus);
}

}  // namespace qartwo
