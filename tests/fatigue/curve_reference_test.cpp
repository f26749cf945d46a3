// The curve reference docs/curves.md against the built-in catalogue and the kernel.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "fatigue/catalogue.h"
#include "fatigue/damage.h"
#include "fatigue/sn_vector.h"
#include "tests/testing/test_data.h"

namespace qartwo {
namespace {

// The run-time catalogue as SNDBASE builds it.
struct Catalogue {
  int nCurves = 0, error_flag = 0;
  std::vector<int> iCurveStart = std::vector<int>(kCatalogueStartRoom);
  std::vector<double> curveValues = std::vector<double>(kCatalogueValueRoom);
  std::vector<int> curveNames = std::vector<int>(kCatalogueNameRoom * kNameLength);
  Catalogue() {
    SNDBASE(nCurves, iCurveStart, curveValues, curveNames, kNameLength, 20, error_flag);
  }
};

// The cells of a table line "| a | b |", trimmed.
std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::istringstream in(line.substr(1));
  for (std::string cell; std::getline(in, cell, '|'); cells.push_back(cell)) {
    cell.erase(0, cell.find_first_not_of(' '));
    cell.erase(cell.find_last_not_of(' ') + 1);
  }
  return cells;
}

// `value` with the decimals `cell` shows, in its form: fixed, or E notation as 1.000E+07.
std::string AsShown(double value, const std::string& cell) {
  const std::size_t e = cell.find('E'), dot = cell.find('.');
  const int decimals = dot == cell.npos ? 0 : static_cast<int>(std::min(e, cell.size()) - dot - 1);
  std::array<char, 64> text;
  const auto form = e == cell.npos ? std::chars_format::fixed : std::chars_format::scientific;
  std::string shown(text.data(),
                    std::to_chars(text.begin(), text.end(), value, form, decimals).ptr);
  if (const std::size_t at = shown.find('e'); at != shown.npos) shown[at] = 'E';
  return shown;
}

// What the number columns of a curve's row must show, nullopt for an empty cell: LogA, m, nBreak
// of two segments; SigBreak, tref, k, kHigh (a NORSOK fixed block ends with tref, k, kHigh, a
// DNV one is SigBreak); the end stress of segment 1.
std::vector<std::optional<double>> Expected(const double* v) {
  std::vector<std::optional<double>> cells(11);
  const int nSNlin = std::min(WholeNumber(v[kNSNlin - 1]), 2);
  const int nFixPar = WholeNumber(v[kNFixPar - 1]);
  const double* segments = v + kHeaderLength;
  for (int i = 0; i < 3 * nSNlin; ++i) cells[i] = segments[i];
  const int first_fixed = WholeNumber(v[kIStandard - 1]) == 1 ? 10 - nFixPar : 6;
  for (int i = 0; i < nFixPar && first_fixed + i < 10; ++i)
    cells[first_fixed + i] = v[WholeNumber(v[kIFirstFix - 1]) - 1 + i];
  cells[10] = SegmentEndStress(segments[0], segments[1], segments[2]);
  return cells;
}

// Every difference between the curve table of `doc` (its lines from "| No. |" on) and the
// catalogue: "<curve> <column>: <table cell> | <catalogue value as shown>", or the row count.
std::vector<std::string> Problems(const std::string& doc, const Catalogue& catalogue) {
  std::istringstream lines(doc.substr(std::min(doc.find("| No. |"), doc.size())));
  std::vector<std::vector<std::string>> rows;  // the header, then one per curve
  for (std::string line; std::getline(lines, line) && line.starts_with('|');)
    if (!line.starts_with("|--")) rows.push_back(Cells(line));
  std::vector<std::string> problems;
  if (std::ssize(rows) != kCatalogueCurves + 1 || rows[0].size() != 14)
    return {"rows: " + std::to_string(std::ssize(rows) - 1)};
  for (int n = 1; n <= kCatalogueCurves; ++n) {
    std::vector<std::string>& cells = rows[n];
    cells.resize(14);
    std::string name(kCatalogueNames[n - 1]);
    std::vector<std::string> want = {std::to_string(n),
                                     "`" + name.erase(name.find_last_not_of(' ') + 1) + "`"};
    const auto expected = Expected(&catalogue.curveValues[catalogue.iCurveStart[n - 1] - 1]);
    for (std::size_t c = 0; c < expected.size(); ++c)
      want.push_back(expected[c] ? AsShown(*expected[c], cells[c + 2]) : "");
    for (std::size_t c = 0; c < want.size(); ++c)
      if (cells[c] != want[c])
        problems.push_back(std::to_string(n) + " " + rows[0][c] + ": " + cells[c] + " | " +
                           want[c]);
  }
  return problems;
}

TEST(CurveReference, EveryNumberOfEveryRowIsTheCatalogueValueAsShown) {
  const Catalogue catalogue;
  ASSERT_EQ(catalogue.nCurves, kCatalogueCurves);
  EXPECT_EQ(Problems(testing::ReadSourceFile("docs/curves.md"), catalogue),
            std::vector<std::string>());
}

TEST(CurveReference, ADifferenceOnEitherSideIsFound) {
  struct Row {
    std::string from = "", to = "";  // a change to the table
    int element = 0;                 // or: curveValues element (from 1) raised by `raise`
    double raise = 0.001;
    std::string problem;
  };
  const Row rows[] = {
      {.from = "| 12.913 |", .to = "| 12.914 |", .problem = "1 LogA 1: 12.914 | 12.913"},
      {.from = "| 0.30 | 83.432 |", .to = "|  | 83.432 |", .problem = "30 kHigh:  | 0"},
      {.from = "\n| 50 |", .to = "\n\n| 50 |", .problem = "rows: 49"},
      {.element = 9, .problem = "1 LogA 1: 12.913 | 12.914"},
      {.element = 762, .raise = 0.01, .problem = "46 SigBreak: 20.00 | 20.01"}};
  const std::string doc = testing::ReadSourceFile("docs/curves.md");
  for (const Row& row : rows) {
    std::string changed = doc;
    const std::size_t at = row.from.empty() ? 0 : changed.find(row.from);
    ASSERT_NE(at, std::string::npos) << row.from;
    changed.replace(at, row.from.size(), row.to);
    Catalogue catalogue;
    if (row.element > 0) catalogue.curveValues[row.element - 1] += row.raise;
    EXPECT_THAT(Problems(changed, catalogue), ::testing::Contains(row.problem))
        << row.from << row.element << ";";
  }
}

}  // namespace
}  // namespace qartwo
