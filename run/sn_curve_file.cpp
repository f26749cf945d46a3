#include "run/sn_curve_file.h"

#include <algorithm>
#include <array>
#include <cstdint>

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

// The last three fixed values of a thickness-corrected curve.
constexpr std::array<std::string_view, kThicknessValues> kCorrectionNames = {"thick", "k", "kHigh"};

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
  WriteHeader(curve, {.iStandard = result.iStandard,
                      .iClass = 1,
                      .iEnv = 1,
                      .nSNlin = result.nSNlin,
                      .nParPerLin = result.nParPerLin,
                      .nFixPar = result.nFixPar});
}

// The standard code after the three counts of the size line `text`: it counts only when
// written as 1 or 2, nothing else (not 1.0, 01 or 1*1), and not cut at column 256; any other
// number stays a surplus number, and a word there is a description.
void TakeStandardCode(std::string_view text, SnCurveFileResult& result) {
  // The size line is the first line read for values: it is noted when a number follows them.
  if (result.surplus.line_number == 0) return;
  const std::size_t at = result.value.next;
  const std::string_view stored =
      text.substr(0, std::min(text.size(), result.position.overflow.stored));
  int code = 0;
  const std::array<FreeFormTarget, 1> target = {IntegerTarget(code)};
  FreeFormResult read = ReadFreeForm(stored.substr(at), target);
  const std::string_view written = stored.substr(at, read.end);
  read.end += at;
  read.next += at;
  if ((written != "1" && written != "2") ||
      ValueCutAtLineEnd(text, result.position.overflow, read)) {
    return;
  }
  result.iStandard = code;
  // The note is then for a number after the code.
  result.surplus = {};
  NoteSurplusValues(text, result.position, read, kSizeValues.size() + 1, result.surplus);
}

// A size value that the file format allows but a curve cannot use: an input error, which
// takes the place of a refusal for a size too large.
InputProblem SizeProblem(SnCurveFileResult& result, int value_index, InputProblem problem) {
  result.refusal = SnCurveRefusal::kNone;
  result.value_index = value_index;
  return problem;
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
  TakeStandardCode(text, result);
  result.refusal = CheckSize(result, room);
  if (result.refusal == SnCurveRefusal::kNegativeCount) return InputProblem::kNone;
  // A curve without segments would do no damage at any stress.
  if (result.nSNlin == 0) return SizeProblem(result, 0, InputProblem::kNotAboveZero);
  // The thickness correction takes thick, k and kHigh from the end of the fixed block.
  if (result.iStandard == kStandardNorsok && result.nFixPar < kThicknessValues) {
    return SizeProblem(result, 2, InputProblem::kOutOfRange);
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

// thick above 0, k and kHigh 0 or above, from the last three of the fixed values `targets`:
// a reference thickness of 0 divides by it, and a negative exponent would lower the stresses
// of a thick plate.
InputProblem CheckCorrection(std::span<const FreeFormTarget> targets, SnCurveFileResult& result) {
  const std::size_t first = targets.size() - kThicknessValues;
  result.value_index = static_cast<int>(first);
  if (!(*targets[first].real > 0.0)) return InputProblem::kNotAboveZero;
  for (std::size_t i = first + 1; i < targets.size(); ++i) {
    result.value_index = static_cast<int>(i);
    if (!(*targets[i].real >= 0.0)) return InputProblem::kBelowZero;
  }
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
  // Fixed values left out stay 0, except those of the thickness correction (the size check
  // leaves them inside).
  const bool corrected = result.iStandard == kStandardNorsok && count >= kThicknessValues;
  const std::span<const FreeFormTarget> taken(targets.data(), count);
  const std::uint64_t needed = corrected ? std::uint64_t{0b111} << (count - kThicknessValues) : 0;
  const InputProblem problem = ReadResultValues(text, result, taken, needed);
  if (problem != InputProblem::kNone || !corrected) return problem;
  return CheckCorrection(taken, result);
}

// At the end of the file: only the fixed-parameter line may be missing, and not when the
// thickness correction takes its values from it.
void CheckComplete(SnCurveFileResult& result) {
  const bool complete =
      (result.line_kind == SnCurveLine::kSize || result.line_kind == SnCurveLine::kSegment) &&
      result.segment >= result.nSNlin && result.iStandard != kStandardNorsok;
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
      if (result.iStandard == kStandardNorsok) {
        AppendText(expected, ", the last three thick (above 0), k and kHigh (0 or above)");
      }
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
      if (result.segment >= result.nSNlin) {
        AppendText(what,
                   "the fixed-parameter line is missing; standard code 1 takes thick, k "
                   "and kHigh from it");
        AppendExpectedLine(expected, SnCurveLine::kFixed, result);
        return;
      }
      AppendText(what, "segment ");
      AppendCount(what, missing.segment);
      AppendText(what, " of ");
      AppendCount(what, result.nSNlin);
      AppendText(what, " is missing");
      AppendExpectedLine(expected, SnCurveLine::kSegment, missing);
      return;
  }
}

// A problem of the fixed-parameter line other than a value of the wrong kind: a value cut at
// column 256, or one of thick, k and kHigh out of range or left out.
void AppendFixedProblem(OutputLine& what, const SnCurveFileResult& result) {
  std::array<ExpectedValue, kCurveVectorLength> values{};
  const int index = std::clamp(result.value_index, 0, static_cast<int>(values.size()) - 1);
  const int correction = index - (result.nFixPar - kThicknessValues);
  if (correction >= 0 && correction < kThicknessValues) {
    values[static_cast<std::size_t>(index)] = {
        kCorrectionNames[static_cast<std::size_t>(correction)], FreeFormKind::kReal};
  }
  AppendLineProblem(what, result.problem, result.value,
                    std::span(values).first(static_cast<std::size_t>(index) + 1), index);
}

void AppendInputError(OutputLine& what, OutputLine& expected, const SnCurveFileResult& result) {
  if (result.problem == InputProblem::kEndsEarly) {
    AppendMissingLine(what, expected, result);
    return;
  }
  AppendExpectedLine(expected, result.line_kind, result);
  if (result.line_kind == SnCurveLine::kSize && result.problem == InputProblem::kOutOfRange) {
    AppendText(what, "value 3 (nFixPar) is ");
    AppendCount(what, result.nFixPar);
    AppendText(what,
               ", but standard code 1 takes thick, k and kHigh from the last three "
               "fixed values");
    return;
  }
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
    AppendFixedProblem(what, result);
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
