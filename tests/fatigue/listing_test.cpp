#include "fatigue/listing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "fatigue/sn_vector.h"
#include "tests/testing/sn_curves.h"
#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

using testing::BuildCurve;
using testing::NorsokB1Air;

constexpr int kUnit = 20;

// The lines of the listing of `curve`, each closed by ";"; heading lines only if `headings`.
std::vector<std::string> Listing(std::span<const double> curve, bool headings = false) {
  testing::UnitCapture capture(kUnit);
  SNPRNT(curve, kUnit);
  std::vector<std::string> lines;
  std::istringstream text(capture.Text());
  for (std::string line; std::getline(text, line);) {
    if (headings || !line.starts_with('\'')) lines.push_back(line + ";");
  }
  return lines;
}

TEST(Snprnt, ListsNorsokB1AirInFifteenLines) {
  const std::string title = "'" + std::string(40, ' '),
                    heading = "'  LogA        m         nBreak  ;";
  // clang-format off
  const std::vector<std::string> expected = {
      " ;", "'    nSNlin  nParPerLin  nFixPar ;", "         2         3         4;",
      title + " Line Segment  1;", heading, "    12.913     3.000   1.000E+07;",
      title + " Line Segment  2;", heading, "    16.856     5.000   0.000E+00;",
      title + " Fixed Parameters;", "'  SigBreak    thick     k     .....  ;",
      "    93.570    25.000     0.000     0.000;", ";", " Computed SigBreak:     93.541;", ";"};
  // clang-format on
  EXPECT_EQ(Listing(NorsokB1Air(), true), expected);
}

// Headings left out. Only what lies inside the vector is listed (the cut ones are the front
// of B1, so a read past their end would show); SigBreak is computed from segment 1 (0
// without one), never taken from the fixed block.
TEST(Snprnt, ListsOnlyWhatTheVectorHolds) {
  const std::vector<double> b1 = NorsokB1Air(), dnv = testing::DnvDAir(),
                            seven_fixed = BuildCurve(2, {{12, 3, 0}}, {1, 2, 3, 4, 5, 6, 0.3f});
  const std::string sizes = "         2         3         4;";
  const std::string segment_1 = "    12.913     3.000   1.000E+07;";
  const std::string b1_end = " Computed SigBreak:     93.541;";
  const std::string zero_end = " Computed SigBreak:      0.000;";
  const std::vector<std::pair<std::span<const double>, std::vector<std::string>>> rows = {
      {dnv,
       {" ;", "         1         3         1;", "    12.180     3.000   1.890E+08;", "    20.000;",
        ";", " Computed SigBreak:     20.007;", ";"}},
      {seven_fixed,
       {" ;", "         1         3         7;", "    12.000     3.000   0.000E+00;",
        "     1.000     2.000     3.000     4.000     5.000;", "     6.000     0.300;", ";",
        zero_end, ";"}},
      {std::span(b1).first(16),  // two of the four fixed values
       {" ;", sizes, segment_1, "    16.856     5.000   0.000E+00;", "    93.570    25.000;", ";",
        b1_end, ";"}},
      {std::span(b1).first(13), {" ;", sizes, segment_1, ";", ";", b1_end, ";"}},
      {std::span(b1).first(5), {" ;", "         2         3         0;", ";", ";", zero_end, ";"}}};
  for (const auto& [curve, expected] : rows) {
    EXPECT_EQ(Listing(curve), expected) << curve.size() << " elements";
  }
}

// A step below 3 or a huge segment count never lists more segments than the values given.
TEST(Snprnt, SegmentCountsBeyondTheVectorStopAtItsEnd) {
  const std::tuple<int, int, long> rows[] = {
      {3, 2000000000, 3}, {1, 5, 5}, {0, 2000000000, 10}, {-3, 7, 1}, {3, -4, 0}};
  for (const auto& [nParPerLin, nSNlin, segments] : rows) {
    std::vector<double> curve = NorsokB1Air();
    curve[kNParPerLin - 1] = nParPerLin;
    curve[kNSNlin - 1] = nSNlin;
    EXPECT_EQ(std::ranges::count(Listing(curve, true), "'  LogA        m         nBreak  ;"),
              segments)
        << "nParPerLin " << nParPerLin << ", nSNlin " << nSNlin;
  }
}

}  // namespace
}  // namespace qartwo
