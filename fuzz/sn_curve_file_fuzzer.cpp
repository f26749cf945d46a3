// Fuzzes the user-defined SN-curve reader with the input as the file's content, then lists
// the curve read and takes a small histogram through the damage sum with it, as a run does.
// The buffers are allocated to their exact size so that any access outside them is caught.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fatigue/damage.h"
#include "fatigue/listing.h"
#include "fatigue/sn_vector.h"
#include "fuzz/support/fuzz_units.h"
#include "run/sn_curve_file.h"
#include "support/io/units.h"
#include "support/text/fixed_text.h"

namespace {

constexpr int kCurveFileUnit = 22;

void Check(bool promise) {
  if (!promise) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qartwo;
  if (!fuzzing::ConnectBytes(kCurveFileUnit, fuzzing::InputText(data, size)) ||
      !fuzzing::ConnectDiscard(kConsoleOutput)) {
    std::abort();
  }
  std::vector<char> line(kTextLength);
  std::vector<char> name_line(kTextLength, ' ');
  std::vector<double> curve(kCurveVectorLength);
  const SnCurveFileResult result =
      ReadSnCurveFile(kCurveFileUnit, line, curve, name_line, kConsoleOutput);

  if (result.status == InputFileStatus::kOk && result.line_kind >= SnCurveLine::kSize) {
    // A size line that was taken describes a curve that fits the vector.
    Check(result.nSNlin >= 0 && result.nFixPar >= 0 && result.nParPerLin == 3);
    Check(kHeaderLength + 3LL * result.nSNlin + result.nFixPar <=
          static_cast<long long>(kCurveVectorLength));
  }
  WriteSnCurveFileProblem(kConsoleOutput, "curve.txt", result);
  if (result.status == InputFileStatus::kOk) {
    SNPRNT(curve, kConsoleOutput);
    const std::vector<double> counts = {2e5, 4e4, 650, 30};
    // A thick plate and a high SCF take a thickness-corrected curve through kHigh.
    const std::array<double, 2> plate = {50.0, 12.0};
    const std::array<double, 4> histogram = {1.0, 4.0, 10.0, 0.0};
    double damage = 0.0;
    int error_flag = 0;
    QAR02X(counts, curve, plate, histogram, damage, kConsoleOutput, error_flag);
    // Every curve taken can be evaluated: standard code 1 or 2, and with 1 its thickness
    // values inside the vector.
    Check(error_flag == 0);
  }
  static_cast<void>(CloseAllUnits());
  return 0;
}
