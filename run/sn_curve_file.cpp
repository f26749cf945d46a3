#include "run/sn_curve_file.h"

#include <algorithm>
#include <array>

#include "fatigue/sn_vector.h"
#include "run/input_diagnostic.h"
#include "support/fields.h"

namespace qartwo {
namespace {

constexpr std::string_view kFileKind = "SN-curve";
constexpr std::string_view kNameLabel = " User Defined SN-Curve         : ";

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

SnCurveFileResult& Stop(SnCurveFileResult& result, InputFileStatus status,
                        std::span<const char> line) {
  result.status = status;
  result.line_text = TrimTrailingBlanks(InputLineText(line));
  return result;
}

void TakeName(std::string_view text, std::span<char> name_line, int console_unit) {
  const std::size_t kept = std::min(text.size(), name_line.size());
  std::copy_n(text.begin(), kept, name_line.begin());
  std::fill(name_line.begin() + static_cast<std::ptrdiff_t>(kept), name_line.end(), ' ');
  WriteLine(console_unit, "");
  OutputLine shown;
  AppendText(shown, kNameLabel);
  AppendText(shown, TrimTrailingBlanks({name_line.data(), name_line.size()}));
  WriteLine(console_unit, LineText(shown));
}

// Checks the size line against the file format and the room of the vector; the sum is
// taken in long long so that no count can wrap it.
SnCurveRefusal CheckSize(SnCurveFileResult& result, std::size_t room) {
  if (result.n_sn_lin < 0 || result.n_par_per_lin < 0 || result.n_fix_par < 0) {
    return SnCurveRefusal::kNegativeCount;
  }
  if (result.n_par_per_lin != kValuesPerSegment) return SnCurveRefusal::kValuesPerSegment;
  result.needed_values = kHeaderLength +
                         static_cast<long long>(kValuesPerSegment) * result.n_sn_lin +
                         result.n_fix_par;
  result.vector_room = room;
  if (result.needed_values > static_cast<long long>(room)) return SnCurveRefusal::kTooManyValues;
  return SnCurveRefusal::kNone;
}

void SetHeader(std::span<double> curve, const SnCurveFileResult& result) {
  const auto set = [&curve](int element, double value) {
    curve[static_cast<std::size_t>(element) - 1] = value;
  };
  set(kIStandard, 2.0);  // no thickness correction for a user-defined curve
  set(kIClass, 1.0);
  set(kIEnv, 1.0);
  set(kNSNlin, result.n_sn_lin);
  set(kNParPerLin, result.n_par_per_lin);
  set(kNFixPar, result.n_fix_par);
  set(kIFirstLin, kHeaderLength + 1);
  set(kIFirstFix, result.n_sn_lin * result.n_par_per_lin + kHeaderLength + 1);
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
      const std::array<FreeFormTarget, 3> targets = {IntegerTarget(result.n_sn_lin),
                                                     IntegerTarget(result.n_par_per_lin),
                                                     IntegerTarget(result.n_fix_par)};
      result.value = ReadFreeForm(text, targets);
      if (result.value.status != FreeFormStatus::kOk) {
        return Stop(result, InputFileStatus::kInputError, line);
      }
      result.refusal = CheckSize(result, room);
      if (result.refusal != SnCurveRefusal::kNone) {
        return Stop(result, InputFileStatus::kRefused, line);
      }
      SetHeader(curve, result);
      continue;
    }

    if (result.segment < result.n_sn_lin) {
      result.line_kind = SnCurveLine::kSegment;
      ++result.segment;
      std::array<double, kValuesPerSegment> values{};
      const std::array<FreeFormTarget, kValuesPerSegment> targets = {
          RealTarget(values[0]), RealTarget(values[1]), RealTarget(values[2])};
      result.value = ReadFreeForm(text, targets);
      if (result.value.status != FreeFormStatus::kOk) {
        return Stop(result, InputFileStatus::kInputError, line);
      }
      // The size check keeps every segment inside the vector.
      const std::size_t first =
          static_cast<std::size_t>(kHeaderLength + kValuesPerSegment * (result.segment - 1));
      std::copy(values.begin(), values.end(), curve.begin() + static_cast<std::ptrdiff_t>(first));
      continue;
    }

    // The fixed-parameter line, placed by element 8; nothing after it is read.
    result.line_kind = SnCurveLine::kFixed;
    const int first_fix = HeaderInteger(curve, kIFirstFix);
    std::array<FreeFormTarget, kCurveVectorLength> targets{};
    std::size_t count = 0;
    for (int i = 0; i < result.n_fix_par; ++i) {
      const long long element = static_cast<long long>(first_fix) + i;
      if (element < 1 || element > static_cast<long long>(room)) {
        break;  // kept out by the size check
      }
      targets[count++] = RealTarget(curve[static_cast<std::size_t>(element) - 1]);
    }
    if (count == 0) return result;  // nFixPar 0: the line is taken, nothing is read from it
    result.value = ReadFreeForm(text, std::span<const FreeFormTarget>(targets.data(), count));
    if (result.value.status != FreeFormStatus::kOk) {
      return Stop(result, InputFileStatus::kInputError, line);
    }
    return result;
  }
  return result;
}

void WriteSnCurveFileProblem(int unit, std::string_view file_name,
                             const SnCurveFileResult& result) {
  OutputLine what;
  OutputLine expected;
  if (result.status == InputFileStatus::kInputError) {
    const std::size_t failing = static_cast<std::size_t>(result.value.target);
    switch (result.line_kind) {
      case SnCurveLine::kSize:
        AppendValueProblem(what, result.value, kSizeValues[std::min<std::size_t>(failing, 2)], 3);
        AppendText(expected, "size line: ");
        AppendExpectedValues(expected, kSizeValues);
        break;
      case SnCurveLine::kSegment:
        AppendValueProblem(what, result.value, kSegmentValues[std::min<std::size_t>(failing, 2)],
                           kValuesPerSegment);
        AppendText(expected, "line of segment ");
        AppendCount(expected, result.segment);
        AppendText(expected, ": ");
        AppendExpectedValues(expected, kSegmentValues);
        break;
      default: {
        OutputLine name;
        AppendText(name, "fixed parameter ");
        AppendCount(name, static_cast<long long>(failing) + 1);
        AppendValueProblem(what, result.value, {LineText(name), FreeFormKind::kReal},
                           result.n_fix_par);
        AppendText(expected, "fixed-parameter line: nFixPar = ");
        AppendCount(expected, result.n_fix_par);
        AppendText(expected, " values (real)");
        break;
      }
    }
  } else if (result.status == InputFileStatus::kRefused) {
    switch (result.refusal) {
      case SnCurveRefusal::kNegativeCount:
        AppendText(what, "a negative count: nSNlin ");
        AppendCount(what, result.n_sn_lin);
        AppendText(what, ", nParPerLin ");
        AppendCount(what, result.n_par_per_lin);
        AppendText(what, ", nFixPar ");
        AppendCount(what, result.n_fix_par);
        AppendText(expected, "nSNlin, nParPerLin and nFixPar of 0 or more");
        break;
      case SnCurveRefusal::kValuesPerSegment:
        AppendText(what, "nParPerLin is ");
        AppendCount(what, result.n_par_per_lin);
        AppendText(expected,
                   "nParPerLin 3: a segment line holds exactly three values (LogA, m, nBreak)");
        break;
      case SnCurveRefusal::kTooManyValues:
      case SnCurveRefusal::kNone:
        AppendText(what, "the curve needs 8 + 3 x nSNlin + nFixPar = ");
        AppendCount(what, result.needed_values);
        AppendText(what, " values");
        AppendText(expected, "at most ");
        AppendCount(expected, static_cast<long long>(result.vector_room));
        AppendText(expected, " values, the room of the SN-curve vector");
        break;
    }
  }
  WriteInputFileProblem(
      unit, {kFileKind, file_name, result.status, result.position.line_number, result.line_text,
             LineText(what), LineText(expected), result.io_status});
}

}  // namespace qartwo
