#include "run/sn_curve_file.h"

#include <algorithm>
#include <array>

#include "fatigue/sn_vector.h"
#include "run/input_diagnostic.h"
#include "support/text/fields.h"

namespace qartwo {
namespace {

constexpr std::string_view kFileKind = "SN-curve";

// A LogA beyond -kLogALimit..kLogALimit is refused (the diagnostic says so in words).
constexpr double kLogALimit = 300.0;

constexpr std::array<ExpectedValue, 3> kSizeValues = {{
    {"nSNlin", FreeFormKind::kInteger},
    {"nParPerLin", FreeFormKind::kInteger},
    {"nFixPar", FreeFormKind::kInteger},
}};

constexpr std::array<ExpectedValue, kValuesPerSegment> kSegmentValues = {{
    {"LogA", FreeFormKind::kReal},
    {"m", FreeFormKind::kReal},
    {"nBreak", FreeFormKind::kReal},
}};

void TakeName(std::string_view text, std::span<char> name_line, int console_unit) {
  const std::size_t kept = std::min(text.size(), name_line.size());
  std::copy_n(text.begin(), kept, name_line.begin());
  std::fill(name_line.begin() + static_cast<std::ptrdiff_t>(kept), name_line.end(), ' ');
  WriteLine(console_unit, "");
  OutputLine shown;
  AppendText(shown, kUserDefinedLabel);
  AppendText(shown, TrimTrailingBlanks({name_line.data(), name_line.size()}));
  WriteLine(console_unit, LineText(shown));
}

// Checks the size line against the file format and the room of the vector; the sum is
// taken in long long so that no count can wrap it.
SnCurveRefusal CheckSize(SnCurveFileResult& result, std::size_t room) {
  if (result.nSNlin < 0 || result.nParPerLin < 0 || result.nFixPar < 0) {
    return SnCurveRefusal::kNegativeCount;
  }
  if (result.nParPerLin != kValuesPerSegment) return SnCurveRefusal::kValuesPerSegment;
  result.needed_values =
      kHeaderLength + static_cast<long long>(kValuesPerSegment) * result.nSNlin + result.nFixPar;
  result.vector_room = room;
  if (result.needed_values > static_cast<long long>(room)) return SnCurveRefusal::kTooManyValues;
  return SnCurveRefusal::kNone;
}

void SetHeader(std::span<double> curve, const SnCurveFileResult& result) {
  // A user-defined curve counts as a DNV curve, which is never thickness-corrected.
  WriteHeader(curve, {.iStandard = kStandardDnv,
                      .iClass = 1,
                      .iEnv = 1,
                      .nSNlin = result.nSNlin,
                      .nParPerLin = result.nParPerLin,
                      .nFixPar = result.nFixPar});
}

// Reads the size line; the problem found, or kNone with `result.refusal` saying whether the
// size fits the file format and the vector.
InputProblem ReadSize(std::string_view text, SnCurveFileResult& result, std::size_t room) {
  const std::array<FreeFormTarget, 3> targets = {IntegerTarget(result.nSNlin),
                                                 IntegerTarget(result.nParPerLin),
                                                 IntegerTarget(result.nFixPar)};
  // nFixPar may be left out: no fixed values.
  if (const InputProblem problem = ReadResultValues(text, result, targets, 0b011);
      problem != InputProblem::kNone) {
    return problem;
  }
  result.refusal = CheckSize(result, room);
  // A curve without segments would do no damage at any stress.
  if (result.refusal != SnCurveRefusal::kNegativeCount && result.nSNlin == 0) {
    result.refusal = SnCurveRefusal::kNone;
    result.value_index = 0;
    return InputProblem::kNotAboveZero;
  }
  return InputProblem::kNone;
}

// Reads the line of the next segment into the vector (the size check keeps it inside).
InputProblem ReadSegment(std::string_view text, SnCurveFileResult& result,
                         std::span<double> curve) {
  ++result.segment;
  std::array<double, kValuesPerSegment> values{};
  const std::array<FreeFormTarget, kValuesPerSegment> targets = {
      RealTarget(values[0]), RealTarget(values[1]), RealTarget(values[2])};
  if (const InputProblem problem = ReadResultValues(text, result, targets, 0b111);
      problem != InputProblem::kNone) {
    return problem;
  }
  // Beyond this 10^LogA is no usable number (infinite, or near the smallest doubles).
  if (!(values[0] >= -kLogALimit && values[0] <= kLogALimit)) {
    result.value_index = 0;
    return InputProblem::kOutOfRange;
  }
  // A slope of 0 or below has no end stress and makes no sense as an SN-curve.
  if (values[1] <= 0.0) {
    result.value_index = 1;
    return InputProblem::kNotAboveZero;
  }
  const std::size_t first =
      static_cast<std::size_t>(kHeaderLength + kValuesPerSegment * (result.segment - 1));
  std::copy(values.begin(), values.end(), curve.begin() + static_cast<std::ptrdiff_t>(first));
  return InputProblem::kNone;
}

// Reads the fixed-parameter line into the elements from element 8's number on.
InputProblem ReadFixed(std::string_view text, SnCurveFileResult& result, std::span<double> curve,
                       std::size_t room) {
  const int first_fix = HeaderInteger(curve, kIFirstFix);
  std::array<FreeFormTarget, kCurveVectorLength> targets{};
  std::size_t count = 0;
  for (int i = 0; i < result.nFixPar; ++i) {
    const long long element = static_cast<long long>(first_fix) + i;
    if (element < 1 || element > static_cast<long long>(room)) break;  // kept out by the size check
    targets[count++] = RealTarget(curve[static_cast<std::size_t>(element) - 1]);
  }
  if (count == 0) return InputProblem::kNone;  // nFixPar 0: the line is taken, nothing read
  // Fixed values left out stay 0.
  return ReadResultValues(text, result, std::span<const FreeFormTarget>(targets.data(), count), 0);
}

// At the end of the file: only the fixed-parameter line may be missing.
void CheckComplete(SnCurveFileResult& result) {
  const bool complete =
      (result.line_kind == SnCurveLine::kSize || result.line_kind == SnCurveLine::kSegment) &&
      result.segment >= result.nSNlin;
  if (result.status != InputFileStatus::kOk || complete) return;
  result.status = InputFileStatus::kInputError;
  result.problem = InputProblem::kEndsEarly;
}

}  // namespace

SnCurveFileResult ReadSnCurveFile(int unit, std::span<char> line, std::span<double> curve,
                                  std::span<char> name_line, int console_unit) {
  SnCurveFileResult result;
  const std::size_t room = std::min(curve.size(), kCurveVectorLength);
  while (NextDataLine(unit, line, result.position, result.status, result.io_status)) {
    const std::string_view text = InputLineText(line);
    if (result.position.data_line == 1) {
      result.line_kind = SnCurveLine::kName;
      TakeName(text, name_line, console_unit);
      continue;
    }
    if (result.position.data_line == 2) {
      result.line_kind = SnCurveLine::kSize;
      if (const InputProblem problem = ReadSize(text, result, room);
          problem != InputProblem::kNone) {
        return StopAtLine(result, InputFileStatus::kInputError, problem, line);
      }
      if (result.refusal != SnCurveRefusal::kNone) {
        return StopAtLine(result, InputFileStatus::kRefused, InputProblem::kNone, line);
      }
      SetHeader(curve, result);
      continue;
    }
    if (result.segment < result.nSNlin) {
      result.line_kind = SnCurveLine::kSegment;
      if (const InputProblem problem = ReadSegment(text, result, curve);
          problem != InputProblem::kNone) {
        return StopAtLine(result, InputFileStatus::kInputError, problem, line);
      }
      continue;
    }
    // The fixed-parameter line, placed by element 8; nothing after it is read.
    result.line_kind = SnCurveLine::kFixed;
    if (const InputProblem problem = ReadFixed(text, result, curve, room);
        problem != InputProblem::kNone) {
      return StopAtLine(result, InputFileStatus::kInputError, problem, line);
    }
    return result;
  }
  CheckComplete(result);
  return result;
}

namespace {

// What a data line of the file should hold, e.g. "line of segment 2: LogA (real), ...".
void AppendExpectedLine(OutputLine& expected, SnCurveLine kind, const SnCurveFileResult& result) {
  switch (kind) {
    case SnCurveLine::kNone:
    case SnCurveLine::kName:
      AppendText(expected, "curve name line: the curve's name");
      return;
    case SnCurveLine::kSize:
      AppendText(expected, "size line: ");
      AppendExpectedValues(expected, kSizeValues);
      return;
    case SnCurveLine::kSegment:
      AppendText(expected, "line of segment ");
      AppendCount(expected, result.segment);
      AppendText(expected, ": ");
      AppendExpectedValues(expected, kSegmentValues);
      return;
    case SnCurveLine::kFixed:
      AppendText(expected, "fixed-parameter line: nFixPar = ");
      AppendCount(expected, result.nFixPar);
      AppendText(expected, " values (real)");
      return;
  }
}

// The file ended early: after which line, and which line is missing.
void AppendMissingLine(OutputLine& what, OutputLine& expected, const SnCurveFileResult& result) {
  OutputLine last;
  AppendExpectedLine(last, result.line_kind, result);
  const std::string_view last_text = LineText(last);
  AppendEarlyEnd(what, last_text.substr(0, last_text.find(':')), result.position);
  SnCurveFileResult missing = result;
  missing.segment = result.segment + 1;
  switch (result.line_kind) {
    case SnCurveLine::kNone:
      AppendText(what, "the curve name line is missing");
      AppendExpectedLine(expected, SnCurveLine::kName, result);
      return;
    case SnCurveLine::kName:
      AppendText(what, "the size line is missing");
      AppendExpectedLine(expected, SnCurveLine::kSize, result);
      return;
    default:
      AppendText(what, "segment ");
      AppendCount(what, missing.segment);
      AppendText(what, " of ");
      AppendCount(what, result.nSNlin);
      AppendText(what, " is missing");
      AppendExpectedLine(expected, SnCurveLine::kSegment, missing);
      return;
  }
}

void AppendInputError(OutputLine& what, OutputLine& expected, const SnCurveFileResult& result) {
  if (result.problem == InputProblem::kEndsEarly) {
    AppendMissingLine(what, expected, result);
    return;
  }
  AppendExpectedLine(expected, result.line_kind, result);
  if (result.line_kind == SnCurveLine::kSize) {
    AppendLineProblem(what, result.problem, result.value, kSizeValues, result.value_index);
    return;
  }
  if (result.problem == InputProblem::kOutOfRange) {
    AppendText(what, "value 1 (LogA) lies outside -300 to 300");
    return;
  }
  if (result.line_kind == SnCurveLine::kSegment) {
    AppendLineProblem(what, result.problem, result.value, kSegmentValues, result.value_index);
    return;
  }
  if (result.problem != InputProblem::kValue) {
    AppendLineProblem(what, result.problem, result.value, {}, 0);
    return;
  }
  OutputLine name;
  AppendText(name, "fixed parameter ");
  AppendCount(name, static_cast<long long>(result.value.target) + 1);
  AppendValueProblem(what, result.value, {LineText(name), FreeFormKind::kReal}, result.nFixPar);
}

void AppendRefusal(OutputLine& what, OutputLine& expected, const SnCurveFileResult& result) {
  switch (result.refusal) {
    case SnCurveRefusal::kNegativeCount:
      AppendText(what, "a negative count: nSNlin ");
      AppendCount(what, result.nSNlin);
      AppendText(what, ", nParPerLin ");
      AppendCount(what, result.nParPerLin);
      AppendText(what, ", nFixPar ");
      AppendCount(what, result.nFixPar);
      AppendText(expected, "nSNlin, nParPerLin and nFixPar of 0 or more");
      return;
    case SnCurveRefusal::kValuesPerSegment:
      AppendText(what, "nParPerLin is ");
      AppendCount(what, result.nParPerLin);
      AppendText(expected,
                 "nParPerLin 3: a segment line holds exactly three values (LogA, m, nBreak)");
      return;
    case SnCurveRefusal::kTooManyValues:
    case SnCurveRefusal::kNone:
      AppendText(what, "the curve needs 8 + 3 x nSNlin + nFixPar = ");
      AppendCount(what, result.needed_values);
      AppendText(what, " values");
      AppendText(expected, "at most ");
      AppendCount(expected, static_cast<long long>(result.vector_room));
      AppendText(expected, " values, the room of the SN-curve vector");
      return;
  }
}

}  // namespace

void WriteSnCurveFileProblem(int unit, std::string_view file_name,
                             const SnCurveFileResult& result) {
  OutputLine what;
  OutputLine expected;
  if (result.status == InputFileStatus::kInputError) AppendInputError(what, expected, result);
  if (result.status == InputFileStatus::kRefused) AppendRefusal(what, expected, result);
  // A size line that cannot be read is often the second line of a file without a name line.
  const bool unread_size = result.status == InputFileStatus::kInputError &&
                           result.line_kind == SnCurveLine::kSize &&
                           result.problem == InputProblem::kValue;
  WriteReaderProblem(unit, kFileKind, file_name, result, what, expected,
                     unread_size ? "the first data line is the curve's name, so the name line may "
                                   "be missing (a blank line or a comment is no name)"
                                 : "");
}

void WriteSnCurveFileNote(int unit, std::string_view file_name, const SnCurveFileResult& result) {
  WriteSurplusNote(unit, kFileKind, file_name, result.surplus);
}

}  // namespace qartwo
