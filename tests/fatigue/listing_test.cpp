#include "fatigue/listing.h"

#include <gtest/gtest.h>

#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "fatigue/sn_vector.h"
#include "tests/testing/sn_curves.h"
#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

constexpr int kUnit = 20;

// Only what lies inside the vector is listed (the cut ones are the front of B1, so a read past
// their end would show); SigBreak is computed from segment 1 (0 without one), never taken from
// the fixed block. The whole listing, headings included, is held by the golden reports.
TEST(Snprnt, ListsOnlyWhatTheVectorHolds) {
  const auto b1 = testing::NorsokB1Air();
  const auto seven_fixed = testing::BuildCurve(2, {{12, 3, 0}}, {1, 2, 3, 4, 5, 6, 0.3f});
  const std::string sizes = "         2         3         4;";
  const std::string segment_1 = "    12.913     3.000   1.000E+07;";
  const std::string b1_end = " Computed SigBreak:     93.541;";
  const std::string zero_end = " Computed SigBreak:      0.000;";
  struct Row {
    std::span<const double> curve;
    std::vector<std::string> lines;
  };
  const Row rows[] = {
      {.curve = seven_fixed,
       .lines = {" ;", "         1         3         7;", "    12.000     3.000   0.000E+00;",
                 "     1.000     2.000     3.000     4.000     5.000;", "     6.000     0.300;",
                 ";", zero_end, ";"}},
      {.curve = std::span(b1).first(16),  // two of the four fixed values
       .lines = {" ;", sizes, segment_1, "    16.856     5.000   0.000E+00;",
                 "    93.570    25.000;", ";", b1_end, ";"}},
      {.curve = std::span(b1).first(13), .lines = {" ;", sizes, segment_1, ";", ";", b1_end, ";"}},
      {.curve = std::span(b1).first(5),
       .lines = {" ;", "         2         3         0;", ";", ";", zero_end, ";"}}};
  for (const Row& row : rows) {
    testing::UnitCapture capture(kUnit);
    SNPRNT(row.curve, kUnit);
    std::vector<std::string> lines;  // but the headings, each closed by ";"
    std::istringstream text(capture.Text());
    for (std::string line; std::getline(text, line);)
      if (!line.starts_with('\'')) lines.push_back(line + ";");
    EXPECT_EQ(lines, row.lines) << row.curve.size() << " elements";
  }
}

}  // namespace
}  // namespace qartwo
