#include "run/hot_spot_inputs.h"

#include <charconv>

#include "support/text/fields.h"
#include "support/text/number_text.h"

namespace qartwo {
namespace {

constexpr int kLastCurve = 50;

// A value taken from a cell or an option; `cell` tells which.
struct Taken {
  std::string_view text;
  bool cell = false;
};

Taken Take(std::string_view cell, std::string_view option) {
  return cell.empty() ? Taken{option, false} : Taken{cell, true};
}

void AppendQuotedText(std::string& text, std::string_view quoted) {
  OutputLine line;
  AppendVisible(line, quoted);
  text += '"';
  text += LineText(line);
  text += '"';
}

// " *** ERROR: input error in list "x.csv" at line 3, column "scf": "abc" " and `what`.
bool CellError(const HotSpotEntry& entry, const HotSpotList& list, ListColumn column,
               std::string_view what, std::string& error) {
  error = " *** ERROR: input error in list ";
  AppendQuotedText(error, list.path);
  error += " at line " + std::to_string(entry.line) + ", column ";
  AppendQuotedText(error, kListColumnNames[column]);
  error += ": ";
  AppendQuotedText(error, entry.cells[column]);
  error += what;
  return false;
}

// Reads a number cell (or the option, checked before) into `value`; `given` tells whether
// there was one.
bool TakeNumber(const HotSpotEntry& entry, const HotSpotList& list, ListColumn column,
                std::string_view option, bool above_zero, double& value, bool& given,
                std::string& error) {
  const Taken taken = Take(entry.cells[column], option);
  const NumberText read = ReadNumberText(taken.text, value);
  given = read == NumberText::kNumber;
  if (read == NumberText::kEmpty || (given && (!above_zero || value > 0.0))) return true;
  return CellError(entry, list, column,
                   given                             ? " is not above 0"
                   : read == NumberText::kOutOfRange ? " is too large for a number"
                                                     : " is not one number",
                   error);
}

bool TakeCurve(const HotSpotEntry& entry, const HotSpotList& list, std::string_view option,
               HotSpotInputs& inputs, std::string& error) {
  const Taken taken = Take(entry.cells[kCurveColumn], option);
  inputs.curve_number = 0;
  if (!IsDigits(taken.text)) {
    inputs.curve_file = ListPath(list, taken.text, taken.cell);
    return true;
  }
  int number = 0;
  const auto read =
      std::from_chars(taken.text.data(), taken.text.data() + taken.text.size(), number);
  if (read.ec == std::errc() && number >= 1 && number <= kLastCurve) {
    inputs.curve_number = number;
    return true;
  }
  return CellError(entry, list, kCurveColumn,
                   ": there is no built-in curve of that number (1 to 50)", error);
}

}  // namespace

bool CombineInputs(const HotSpotEntry& entry, const BatchOptions& options, const HotSpotList& list,
                   HotSpotInputs& inputs, std::string& error) {
  inputs = HotSpotInputs{};
  inputs.histogram = ListPath(list, entry.cells[kHistogramColumn], entry.line > 0);
  bool given = false;
  bool dff_given = false;
  if (!TakeCurve(entry, list, options.curve, inputs, error) ||
      !TakeNumber(entry, list, kScfColumn, options.scf, false, inputs.plate[1], given, error) ||
      !TakeNumber(entry, list, kThicknessColumn, options.thickness, false, inputs.plate[0], given,
                  error) ||
      !TakeNumber(entry, list, kDesignLifeColumn, options.design_life, true, inputs.design_life,
                  inputs.has_design_life, error) ||
      !TakeNumber(entry, list, kDffColumn, options.dff, true, inputs.dff, dff_given, error)) {
    return false;
  }
  if (dff_given && !inputs.has_design_life) {
    error = " *** ERROR: input error in list ";
    AppendQuotedText(error, list.path);
    error += " at line " + std::to_string(entry.line) + ": a DFF is given but no design life";
    return false;
  }
  return true;
}

}  // namespace qartwo
