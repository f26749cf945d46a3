#include "fatigue/listing.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "tests/testing/lines.h"
#include "tests/testing/sn_curves.h"
#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

using testing::BuildCurve;
using testing::Catalogue;
using testing::DnvDAir;
using testing::Marked;
using testing::MarkedLines;
using testing::NorsokB1Air;
using testing::UnitCapture;

constexpr int kUnit = 20;

const std::string kTitleIndent(40, ' ');
const std::string kSizeHeading = "'    nSNlin  nParPerLin  nFixPar ";
const std::string kValueHeading = "'  LogA        m         nBreak  ";
const std::string kFixedTitle = "'" + kTitleIndent + " Fixed Parameters";
const std::string kFixedHeading = "'  SigBreak    thick     k     .....  ";

std::string SegmentTitle(const char* number) {
  return "'" + kTitleIndent + " Line Segment" + number;
}

std::vector<std::string> Listing(std::span<const double> curve) {
  UnitCapture capture(kUnit);
  SNPRNT(curve, kUnit);
  return MarkedLines(capture.Text());
}

TEST(SNPRNT, ListsNorsokB1AirInFifteenLines) {
  const std::vector<std::string> expected = {
      " ",
      kSizeHeading,
      "         2         3         4",
      SegmentTitle("  1"),
      kValueHeading,
      "    12.913     3.000   1.000E+07",
      SegmentTitle("  2"),
      kValueHeading,
      "    16.856     5.000   0.000E+00",
      kFixedTitle,
      kFixedHeading,
      "    93.570    25.000     0.000     0.000",
      "",
      " Computed SigBreak:     93.541",
      "",
  };
  EXPECT_EQ(Listing(NorsokB1Air()), Marked(expected));
}

TEST(SNPRNT, ComputedSigBreakComesFromTheSegmentsNotTheFixedBlock) {
  const std::vector<std::string> dnv = Listing(DnvDAir());
  ASSERT_EQ(dnv.size(), 12u);
  EXPECT_EQ(dnv[5], "    12.180     3.000   1.890E+08;");
  EXPECT_EQ(dnv[8], "    20.000;");
  EXPECT_EQ(dnv[10], " Computed SigBreak:     20.007;");

  const std::vector<std::string> endless = Listing(BuildCurve(1, {{12, 3, 0}}, {25, 0.2, 0}));
  ASSERT_EQ(endless.size(), 12u);
  EXPECT_EQ(endless[10], " Computed SigBreak:      0.000;");
}

TEST(SNPRNT, FixedValuesFiveToALine) {
  struct Case {
    std::vector<double> fixed;
    std::vector<std::string> lines;  // between the fixed heading and the empty line
  };
  const Case cases[] = {
      {{}, {""}},
      {{1, 2, 3, 4, 5}, {"     1.000     2.000     3.000     4.000     5.000"}},
      {{1, 2, 3, 4, 5, 6, Catalogue(0.3f)},
       {"     1.000     2.000     3.000     4.000     5.000", "     6.000     0.300"}},
      {{-1.5, 1.0e9}, {"    -1.500**********"}},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> lines = Listing(BuildCurve(2, {{12, 3, 0}}, c.fixed));
    ASSERT_GE(lines.size(), 9u + c.lines.size()) << c.fixed.size() << " fixed values";
    const std::vector<std::string> fixed_lines(lines.begin() + 8,
                                               lines.begin() + 8 + std::ssize(c.lines));
    EXPECT_EQ(fixed_lines, Marked(c.lines)) << c.fixed.size() << " fixed values";
    EXPECT_EQ(lines.size(), 8u + c.lines.size() + 3u) << c.fixed.size() << " fixed values";
  }
}

TEST(SNPRNT, NoSegmentsListsAComputedSigBreakOfZero) {
  const std::vector<std::string> expected = {
      " ",          kSizeHeading, "         0         3         1", kFixedTitle, kFixedHeading,
      "     7.000", "",           " Computed SigBreak:      0.000", "",
  };
  EXPECT_EQ(Listing(BuildCurve(2, {}, {7})), Marked(expected));
}

TEST(SNPRNT, StopsAtTheEndOfTheVector) {
  const std::vector<double> b1 = NorsokB1Air();
  const std::string sizes = "         2         3         4";
  const std::vector<std::string> tail = {"", " Computed SigBreak:     93.541", ""};
  struct Case {
    std::size_t length;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      // Segment 2 is cut short: only segment 1 and no fixed values.
      {13,
       {" ", kSizeHeading, sizes, SegmentTitle("  1"), kValueHeading,
        "    12.913     3.000   1.000E+07", kFixedTitle, kFixedHeading, "", tail[0], tail[1],
        tail[2]}},
      // Two of the four fixed values are there.
      {16,
       {" ", kSizeHeading, sizes, SegmentTitle("  1"), kValueHeading,
        "    12.913     3.000   1.000E+07", SegmentTitle("  2"), kValueHeading,
        "    16.856     5.000   0.000E+00", kFixedTitle, kFixedHeading, "    93.570    25.000",
        tail[0], tail[1], tail[2]}},
  };
  for (const Case& c : cases) {
    const std::vector<double> cut(b1.begin(), b1.begin() + static_cast<long>(c.length));
    EXPECT_EQ(Listing(cut), Marked(c.lines)) << c.length << " elements";
  }

  // A header cut off before its element numbers lists the sizes it has and nothing else.
  const std::vector<double> header_only(b1.begin(), b1.begin() + 5);
  const std::vector<std::string> expected = {
      " ", kSizeHeading, "         2         3         0", kFixedTitle, kFixedHeading,
      "",  "",           " Computed SigBreak:      0.000", ""};
  EXPECT_EQ(Listing(header_only), Marked(expected));
}

TEST(SNLIST, CountsBeyondTheBlocksListOnlyWhatIsThere) {
  const std::vector<double> segment = {12, 3, 0, 13, 4, 0};
  const std::vector<double> fixed = {1, 2};
  struct Case {
    int nParPerLin;
    int nSNlin;
    std::size_t segment_lines;
  };
  // Each listed segment takes three lines.
  const Case cases[] = {
      {3, 2000000000, 6}, {3, -4, 0}, {1, 5, 12}, {0, 2000000000, 18}, {-3, 7, 3}};
  for (const Case& c : cases) {
    UnitCapture capture(kUnit);
    SNLIST(segment, c.nParPerLin, c.nSNlin, fixed, 1000, kUnit);
    const std::vector<std::string> lines = MarkedLines(capture.Text());
    EXPECT_EQ(lines.size(), 3 + c.segment_lines + 3 + 3)
        << "nParPerLin " << c.nParPerLin << ", nSNlin " << c.nSNlin;
    EXPECT_EQ(lines[lines.size() - 4], "     1.000     2.000;")
        << "nParPerLin " << c.nParPerLin << ", nSNlin " << c.nSNlin;
  }
}

}  // namespace
}  // namespace qartwo
