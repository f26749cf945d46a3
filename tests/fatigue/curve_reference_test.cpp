// The curve reference docs/curves.md against the built-in catalogue and the kernel.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <sstream>
#include <string>
#include <vector>

#include "fatigue/catalogue.h"
#include "fatigue/damage.h"
#include "fatigue/sn_vector.h"
#include "tests/testing/test_data.h"

namespace qartwo {
namespace {

// `value` with `decimals` (shortest form when < 0), in E notation as 1.000E+07 when asked. A
// catalogue constant is marked unless the catalogue holds exactly the float of that text.
std::string Shown(double value, int decimals, bool e_notation = false, bool constant = true) {
  std::array<char, 64> text;
  const auto form = e_notation ? std::chars_format::scientific : std::chars_format::fixed;
  const auto end = decimals < 0 ? std::to_chars(text.begin(), text.end(), value)
                                : std::to_chars(text.begin(), text.end(), value, form, decimals);
  std::string shown(text.data(), end.ptr);
  std::replace(shown.begin(), shown.end(), 'e', 'E');
  if (!constant || double(std::stof(shown)) == value) return shown;
  return shown + " held as " + Shown(value, -1, false, false);
}

// The start of the row of curve n, named `name` and held in `v`, as the table must show it:
// number, name, LogA, m, nBreak of up to two segments, SigBreak, tref, k, kHigh (a NORSOK
// fixed block ends with tref, k, kHigh, a DNV one is SigBreak; an empty cell for a value not
// held), the end stress of segment 1.
std::string ExpectedRow(int n, std::string name, const double* v) {
  std::array<std::string, 11> cells;
  const double* segments = v + kHeaderLength;
  for (int i = 0; i < 3 * std::min(WholeNumber(v[kNSNlin - 1]), 2); i += 3) {
    cells[i] = Shown(segments[i], 3);
    cells[i + 1] = Shown(segments[i + 1], -1);
    cells[i + 2] = Shown(segments[i + 2], segments[i + 2] == 0 ? -1 : 3, true);
  }
  const int nFixPar = WholeNumber(v[kNFixPar - 1]);
  const int first = WholeNumber(v[kIStandard - 1]) == kStandardNorsok ? 10 - nFixPar : 6;
  for (int i = 0; i < nFixPar && first + i < 10; ++i)
    cells[first + i] = Shown(v[WholeNumber(v[kIFirstFix - 1]) - 1 + i], 2);
  cells[10] = Shown(SegmentEndStress(segments[0], segments[1], segments[2]), 3, false, false);
  std::string row =
      "| " + std::to_string(n) + " | `" + name.erase(name.find_last_not_of(' ') + 1) + "`";
  for (const std::string& cell : cells) row += " | " + cell;
  return row + " |";
}

// Every row against the catalogue as SNDBASE builds it (the name as read back from its codes),
// and after the last one no further row: a change on either side fails.
TEST(CurveReference, EveryNumberOfEveryRowIsTheCatalogueValueAsShown) {
  int nCurves = 0, error_flag = 0;
  std::vector<int> starts(kCatalogueStartRoom), names(kCatalogueNameRoom * kNameLength);
  std::vector<double> values(kCatalogueValueRoom);
  SNDBASE(nCurves, starts, values, names, kNameLength, 20, error_flag);
  ASSERT_EQ(nCurves, kCatalogueCurves);
  const std::string doc = testing::ReadSourceFile("docs/curves.md");
  std::istringstream table(doc.substr(std::min(doc.find("| 1 |"), doc.size())));
  std::string line, name(kNameLength, '#');
  for (int n = 1; n <= kCatalogueCurves + 1; ++n) {
    std::getline(table, line);
    CurveNameText(names, n, name, 20, error_flag);
    const std::string row =
        n > kCatalogueCurves ? "" : ExpectedRow(n, name, &values[starts[n - 1] - 1]);
    EXPECT_EQ(line.substr(0, std::max(row.size(), std::size_t(1))) + ";", row + ";") << "row " << n;
  }
}

}  // namespace
}  // namespace qartwo
