#include "run/hot_spot.h"

#include <stdio.h>

#include <cmath>
#include <cstdlib>

#include "run/exit_status.h"
#include "run/input_files.h"
#include "support/io/file_open.h"
#include "support/text/fixed_text.h"

namespace qartwo {
namespace {

constexpr int kHistogramUnit = 21;
constexpr int kCurveFileUnit = 22;
// The hot spot's diagnostics, kept in memory for its message.
constexpr int kMessageUnit = 25;
// Never connected: what the dialogue shows on the console is not shown in a batch.
constexpr int kSilentUnit = 26;

// Joins the lines of `text` that are not empty with " | ".
void JoinLines(std::string_view text, std::string& joined) {
  joined.clear();
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    if (end > 0) {
      if (!joined.empty()) joined += " | ";
      joined += text.substr(0, end);
    }
    text.remove_prefix(std::min(end + 1, text.size()));
  }
}

int OpenInput(std::string_view path, int unit, std::string_view what) {
  const int error = OpenInputFile(path, unit);
  if (error == 0) return kExitCompleted;
  WriteFileRefusal(kMessageUnit, path, what, OpenErrorText(error));
  return kExitInputError;
}

// Copies built-in curve `number` into the vector, as the dialogue's choice does.
void TakeCatalogueCurve(const Catalogue& catalogue, int number, HotSpotStorage& storage,
                        HotSpotResult& result) {
  const auto at = static_cast<std::size_t>(number);
  const int start = catalogue.iCurveStart[at - 1];
  SNCOPY(
      std::span<const double>(catalogue.curveValues).subspan(static_cast<std::size_t>(start) - 1),
      storage.curve, catalogue.iCurveStart[at] - start, 1, 0);
  int ignored_flag = 0;
  CurveNameText(catalogue.curveNames, number, storage.catalogue_name, kSilentUnit, ignored_flag);
  result.shown_name = TextView(storage.catalogue_name).substr(0, kShownNameLength);
}

// The steps of the dialogue from the file questions on; the exit status.
int Evaluate(const Catalogue& catalogue, const HotSpotInputs& inputs, HotSpotStorage& storage,
             HotSpotResult& result) {
  if (const int opened = OpenInput(inputs.histogram, kHistogramUnit, "the cycle histogram file");
      opened != kExitCompleted) {
    return opened;
  }
  storage.curve.fill(0.0);
  result.user_curve = inputs.curve_number == 0;
  if (!result.user_curve) {
    TakeCatalogueCurve(catalogue, inputs.curve_number, storage, result);
  } else if (const int opened = OpenInput(inputs.curve_file, kCurveFileUnit, "the SN-curve file");
             opened != kExitCompleted) {
    return opened;
  }
  if (const int read =
          ReadHistogramInput(kHistogramUnit, inputs.histogram, storage.line, storage.counts,
                             result.histogram, kMessageUnit, kSilentUnit);
      read != kExitCompleted) {
    return read;
  }
  if (result.user_curve) {
    BlankText(storage.name_line);
    if (const int read =
            ReadCurveInput(kCurveFileUnit, inputs.curve_file, storage.line, storage.curve,
                           storage.name_line, kMessageUnit, kSilentUnit);
        read != kExitCompleted) {
      return read;
    }
    result.shown_name = TrimTrailingBlanks(TextView(storage.name_line));
  }
  int evaluation_flag = 0;
  result.detail.blocks = storage.blocks;
  QAR02X(storage.counts, storage.curve, inputs.plate, result.histogram, result.damage, kMessageUnit,
         evaluation_flag, &result.detail);
  if (evaluation_flag != 0) return kExitReportedFailure;
  const auto blocks = static_cast<std::size_t>(std::max(WholeNumber(result.histogram[1]), 0));
  result.evaluated = true;
  result.curve = storage.curve;
  result.counts = std::span<const double>(storage.counts).first(blocks);
  result.blocks = std::span<const BlockDamage>(storage.blocks).first(blocks);
  if (std::isfinite(result.damage)) return kExitCompleted;
  WriteDamageNotFinite(kMessageUnit);
  return kExitReportedFailure;
}

}  // namespace

bool BuildCatalogue(Catalogue& catalogue, int message_unit) {
  int error_flag = 0;
  SNDBASE(catalogue.nCurves, catalogue.iCurveStart, catalogue.curveValues, catalogue.curveNames,
          kNameLength, message_unit, error_flag);
  if (error_flag == 0) return true;
  WriteLine(message_unit, " *** ERROR: the built-in SN-curve catalogue could not be built");
  return false;
}

void EvaluateHotSpot(const Catalogue& catalogue, const HotSpotInputs& inputs,
                     HotSpotStorage& storage, HotSpotResult& result) {
  result = HotSpotResult{};
  char* text = nullptr;
  std::size_t size = 0;
  FILE* messages = open_memstream(&text, &size);
  if (messages != nullptr) ConnectUnit(kMessageUnit, messages, Connection{});
  result.status = Evaluate(catalogue, inputs, storage, result);
  static_cast<void>(CloseUnit(kHistogramUnit));
  static_cast<void>(CloseUnit(kCurveFileUnit));
  static_cast<void>(CloseUnit(kMessageUnit));  // the text is complete
  JoinLines(std::string_view(text, text != nullptr ? size : 0), result.message);
  std::free(text);
}

void RefuseHotSpot(std::string_view message, HotSpotResult& result) {
  result = HotSpotResult{};
  result.status = kExitInputError;
  JoinLines(message, result.message);
}

}  // namespace qartwo
