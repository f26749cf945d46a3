#include "fatigue/damage.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "fatigue/sn_vector.h"
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

// A status value no routine sets, to see that success leaves the status alone.
constexpr int kUntouched = 7;

void ExpectNear(double actual, double expected, double relative, const std::string& what) {
  EXPECT_NEAR(actual, expected, std::abs(expected) * relative) << what;
}

// The segment block of a vector the program builds.
std::span<const double> Segments(const std::vector<double>& curve) {
  return std::span<const double>(curve).subspan(kHeaderLength);
}

// NORSOK-like curves for the thickness factor: fixed blocks end in thick, k, kHigh.
std::vector<double> NorsokDAir() {
  return BuildCurve(1, {{Catalogue(12.164f), 3, Catalogue(1.0e7f)}, {Catalogue(15.606f), 5, 0}},
                    {Catalogue(52.63f), 25, Catalogue(0.20f), 0});
}
std::vector<double> NorsokTAir() {
  return BuildCurve(1, {{Catalogue(12.164f), 3, Catalogue(1.0e7f)}, {Catalogue(15.606f), 5, 0}},
                    {Catalogue(52.63f), 32, Catalogue(0.25f), Catalogue(0.30f)});
}
std::vector<double> NorsokTSeaFree() {
  return BuildCurve(1, {{Catalogue(11.764f), 3, 0}}, {32, Catalogue(0.25f), Catalogue(0.30f)});
}

const std::vector<std::string> kQAR02AFailure = {"", "  *** ERROR IN QAR02A ***"};
const std::vector<std::string> kQAR02XFailure = {"", "  *** ERROR IN QAR02A ***", "",
                                                 "  *** ERROR IN QAR02X ***",
                                                 "      Error return from QAR02A  "};
const std::vector<std::string> kQAR02XOwnFailure = {"", "  *** ERROR IN QAR02X ***"};

TEST(Cyc2fail, ChoosesTheSegmentByStress) {
  const std::vector<double> b1 = NorsokB1Air();
  const std::vector<double> dnv = DnvDAir();
  const std::vector<double> endless = BuildCurve(2, {{12, 3, 0}}, {});  // S^3 / 10^12
  struct Case {
    const char* name;
    const std::vector<double>* curve;
    double stress;
    double expected;  // 0 means exactly no damage
  };
  const Case cases[] = {
      {"B1", &b1, 93.55, 1.0003e-7},  // above S_1 = 93.541, on segment 1
      {"B1", &b1, 93.54, 9.977e-8},   // below S_1, on segment 2, although SigBreak is 93.57
      {"B1", &b1, 100.0, 1.2218e-7},
      {"B1", &b1, 50.0, 4.354e-9},
      {"B1", &b1, 0.0, 0.0},
      {"B1", &b1, -50.0, 0.0},
      {"D", &dnv, 20.0, 0.0},  // below the fatigue limit 20.007
      {"D", &dnv, 20.0068, 0.0},
      {"D", &dnv, 20.0069, 5.291e-9},
      {"D", &dnv, 20.01, 5.293e-9},
      {"no end", &endless, 1.0e-3, 1.0e-21},
      {"no end", &endless, 1.0e4, 1.0},
      {"no end", &endless, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    const int nSNlin = HeaderInteger(*c.curve, kNSNlin);
    const double result = cyc2fail(c.stress, Segments(*c.curve), 3, nSNlin);
    const std::string what = std::string(c.name) + " at " + std::to_string(c.stress);
    if (c.expected == 0.0) {
      EXPECT_EQ(result, 0.0) << what;
    } else {
      ExpectNear(result, c.expected, 2e-4, what);
    }
  }
}

TEST(Cyc2fail, StressEqualToTheEndStressBelongsToTheNextSegment) {
  const std::vector<double> b1 = NorsokB1Air();
  const double end_stress = SegmentEndStress(b1[8], b1[9], b1[10]);
  ExpectNear(end_stress, 93.5406, 1e-5, "S_1");
  // Segment 1 would give 1/nBreak = 1.0e-7 here; segment 2 gives S^5 / 10^LogA_2.
  const double on_segment_2 = std::pow(end_stress, 5) / std::pow(10.0, b1[11]);
  ExpectNear(cyc2fail(end_stress, Segments(b1), 3, 2), on_segment_2, 1e-12, "at S_1");
  EXPECT_LT(on_segment_2, 0.999e-7);
}

TEST(Cyc2fail, NeverReadsBeyondTheSegmentBlock) {
  const std::vector<double> b1 = NorsokB1Air();
  // Only segment 1 is inside the span: 50 would need segment 2, so no damage.
  const std::vector<double> first_only(b1.begin() + 8, b1.begin() + 11);
  EXPECT_EQ(cyc2fail(50.0, first_only, 3, 2), 0.0);
  ExpectNear(cyc2fail(100.0, first_only, 3, 2), 1.2218e-7, 2e-4, "segment 1 only");
  // A step of 0 repeats segment 1; a negative step or count leaves the block at once.
  ExpectNear(cyc2fail(100.0, first_only, 0, 1000000), 1.2218e-7, 2e-4, "step 0");
  EXPECT_EQ(cyc2fail(50.0, first_only, 0, 1000000), 0.0);
  EXPECT_EQ(cyc2fail(50.0, first_only, -3, 2), 0.0);
  EXPECT_EQ(cyc2fail(100.0, first_only, 3, -1), 0.0);
  EXPECT_EQ(cyc2fail(100.0, std::span<const double>(), 3, 2), 0.0);
}

TEST(QAR02A, ThicknessFactor) {
  const std::vector<double> d_air = NorsokDAir();
  const std::vector<double> t_air = NorsokTAir();
  const std::vector<double> t_sea_free = NorsokTSeaFree();
  const std::vector<double> dnv = DnvDAir();
  const std::vector<double> user = BuildCurve(2, {{12, 3, 0}}, {1, 2, 3, 4, 5});
  struct Case {
    const char* name;
    const std::vector<double>* curve;
    double thickness;
    double scf;
    double expected;
  };
  const Case cases[] = {
      {"D thick 50", &d_air, 50, 0, 1.148698},
      {"D thick 20 not credited", &d_air, 20, 0, 1.0},
      {"D thick 0 is reference", &d_air, 0, 0, 1.0},
      {"D thick negative", &d_air, -30, 0, 1.0},
      {"D SCF 12 takes kHigh 0", &d_air, 50, 12, 1.0},
      {"D SCF 10 keeps k", &d_air, 50, 10, 1.148698},
      {"T SCF 8", &t_air, 50, 8, 1.118034},
      {"T SCF 10", &t_air, 50, 10, 1.118034},
      {"T SCF 12", &t_air, 50, 12, 1.143263},
      {"T SCF 0 counts as 1", &t_air, 50, 0, 1.118034},
      {"T SCF negative", &t_air, 50, -12, 1.118034},
      {"T SEA_FREE SCF 8", &t_sea_free, 50, 8, 1.118034},
      {"T SEA_FREE SCF 12", &t_sea_free, 50, 12, 1.143263},
      {"DNV", &dnv, 50, 12, 1.0},
      {"user-defined", &user, 200, 3, 1.0},
  };
  for (const Case& c : cases) {
    int status = kUntouched;
    const std::array<double, 2> plate = {c.thickness, c.scf};
    UnitCapture capture(kUnit);
    ExpectNear(QAR02A(*c.curve, plate, kUnit, status), c.expected, 1e-6, c.name);
    EXPECT_EQ(status, kUntouched) << c.name;
    EXPECT_EQ(capture.Text(), "") << c.name;
  }
}

TEST(QAR02A, StandardRoundsToTheNearestWholeNumber) {
  std::vector<double> curve = NorsokTAir();
  const std::array<double, 2> plate = {50, 12};
  struct Case {
    double iStandard;
    double expected;  // 0 for a failure
  };
  const Case cases[] = {{1.4999, 1.143263}, {0.5, 1.143263}, {1.5, 1.0},  {2.4999, 1.0},
                        {2.5, 0},           {3, 0},          {0.4999, 0}, {-1, 0}};
  for (const Case& c : cases) {
    curve[0] = c.iStandard;
    int status = kUntouched;
    UnitCapture capture(kUnit);
    const double factor = QAR02A(curve, plate, kUnit, status);
    if (c.expected == 0) {
      EXPECT_EQ(status, -1) << "iStandard " << c.iStandard;
      EXPECT_EQ(MarkedLines(capture.Text()), Marked(kQAR02AFailure)) << "iStandard " << c.iStandard;
    } else {
      ExpectNear(factor, c.expected, 1e-6, "iStandard " + std::to_string(c.iStandard));
      EXPECT_EQ(status, kUntouched) << "iStandard " << c.iStandard;
    }
  }
}

TEST(QAR02X, SumsTheHistogramBlocksAtTheirMidpoints) {
  // One segment of slope 3 without end: a cycle of S does S^3 / 10^12.
  const std::vector<double> cubic = BuildCurve(2, {{12, 3, 0}}, {});
  const std::vector<double> cubic_norsok = BuildCurve(1, {{12, 3, 0}}, {25, Catalogue(0.2f), 0});
  const std::vector<double> b1 = NorsokB1Air();
  struct Case {
    const char* name;
    const std::vector<double>* curve;
    std::vector<double> counts;
    std::array<double, 2> plate;
    std::array<double, 4> histogram;
    double expected;
    double relative = 1e-9;
  };
  const Case cases[] = {
      {"B1 three blocks", &b1, {1.0e6, 1.0e5, 1.0e3}, {0, 0}, {1, 3, 20, 0}, 3.9600e-5, 1e-4},
      {"midpoints 10 and 30", &cubic, {1, 1}, {0, 0}, {1, 2, 20, 0}, 2.8e-8},
      {"blocks rounded", &cubic, {1, 1, 1}, {0, 0}, {1, 2.4, 20, 0}, 2.8e-8},
      {"counts weigh", &cubic, {3, 0.5}, {0, 0}, {1, 2, 20, 0}, 1.65e-8},
      {"stress scale 2", &cubic, {1, 1}, {0, 0}, {2, 2, 20, 0}, 2.24e-7},
      {"SCF 2", &cubic, {1, 1}, {0, 2}, {1, 2, 20, 0}, 2.24e-7},
      {"SCF 1e-10 counts as 1", &cubic, {1, 1}, {0, 1.0e-10}, {1, 2, 20, 0}, 2.8e-8},
      // Above the double threshold though below the single-precision one: used as given.
      {"SCF 1.00000001e-10", &cubic, {1, 1}, {0, 1.00000001e-10}, {1, 2, 20, 0}, 2.8000000840e-38},
      {"thickness factor 2^0.2", &cubic_norsok, {1, 1}, {50, 0}, {1, 2, 20, 0}, 4.244006e-8, 1e-6},
      {"more counts than blocks", &cubic, {1, 1, 1.0e9}, {0, 0}, {1, 2, 20, 0}, 2.8e-8},
      {"no blocks", &cubic, {1, 1}, {0, 0}, {1, 0, 20, 0}, 0},
      {"negative blocks", &cubic, {}, {0, 0}, {1, -3, 20, 0}, 0},
  };
  for (const Case& c : cases) {
    double damage = -1;
    int status = kUntouched;
    UnitCapture capture(kUnit);
    QAR02X(c.counts, *c.curve, c.plate, c.histogram, damage, kUnit, status);
    if (c.expected == 0) {
      EXPECT_EQ(damage, 0.0) << c.name;
    } else {
      ExpectNear(damage, c.expected, c.relative, c.name);
    }
    EXPECT_EQ(status, kUntouched) << c.name;
    EXPECT_EQ(capture.Text(), "") << c.name;
  }
}

TEST(QAR02X, UnknownStandardFailsWithFiveLinesEvenWithoutBlocks) {
  for (const double blocks : {0.0, 3.0}) {
    std::vector<double> curve = NorsokB1Air();
    curve[0] = 3;
    const std::vector<double> counts = {1.0e6, 1.0e5, 1.0e3};
    const std::array<double, 2> plate = {0, 0};
    const std::array<double, 4> histogram = {1, blocks, 20, 0};
    double damage = 42.0;
    int status = 0;
    UnitCapture capture(kUnit);
    QAR02X(counts, curve, plate, histogram, damage, kUnit, status);
    EXPECT_EQ(MarkedLines(capture.Text()), Marked(kQAR02XFailure)) << blocks << " blocks";
    EXPECT_EQ(status, -1) << blocks << " blocks";
    EXPECT_EQ(damage, 42.0) << blocks << " blocks";
  }
}

// Every vector here is allocated to its exact length, so a read beyond it shows under
// AddressSanitizer or valgrind. QAR02X's own failures have no callee to name.
TEST(QAR02X, BlocksOutsideTheirArraysFail) {
  using Edit = std::function<void(std::vector<double>&)>;
  struct Case {
    const char* name;
    std::vector<double> (*curve)();
    Edit edit;
    const std::vector<std::string>* lines;
    double blocks = 3;
  };
  const Case cases[] = {
      {"NORSOK with two fixed values", NorsokB1Air, [](auto& v) { v[5] = 2; }, &kQAR02XFailure},
      {"NORSOK fixed block past the end", NorsokB1Air, [](auto& v) { v[5] = 5; }, &kQAR02XFailure},
      {"NORSOK iFirstFix past the end", NorsokB1Air, [](auto& v) { v[7] = 100; }, &kQAR02XFailure},
      {"NORSOK iFirstFix 0", NorsokB1Air, [](auto& v) { v[7] = 0; }, &kQAR02XFailure},
      {"NORSOK vector cut inside the header", NorsokB1Air, [](auto& v) { v.resize(5); },
       &kQAR02XFailure},
      {"empty vector", NorsokB1Air, [](auto& v) { v.clear(); }, &kQAR02XFailure},
      {"nParPerLin 2", DnvDAir, [](auto& v) { v[4] = 2; }, &kQAR02XOwnFailure},
      {"negative nSNlin", DnvDAir, [](auto& v) { v[3] = -1; }, &kQAR02XOwnFailure},
      {"segment block past the end", DnvDAir, [](auto& v) { v[3] = 2; }, &kQAR02XOwnFailure},
      {"huge nSNlin", DnvDAir, [](auto& v) { v[3] = 2.0e9; }, &kQAR02XOwnFailure},
      {"iFirstLin 0", DnvDAir, [](auto& v) { v[6] = 0; }, &kQAR02XOwnFailure},
      {"iFirstLin past the end", DnvDAir, [](auto& v) { v[6] = 12; }, &kQAR02XOwnFailure},
      {"negative nFixPar", DnvDAir, [](auto& v) { v[5] = -1; }, &kQAR02XOwnFailure},
      {"DNV fixed block past the end", DnvDAir, [](auto& v) { v[7] = 13; }, &kQAR02XOwnFailure},
      {"DNV vector cut inside the header", DnvDAir, [](auto& v) { v.resize(6); },
       &kQAR02XOwnFailure},
      {"4 blocks, 3 counts", DnvDAir, [](auto&) {}, &kQAR02XOwnFailure, 4},
      {"3.5 blocks, 3 counts", DnvDAir, [](auto&) {}, &kQAR02XOwnFailure, 3.5},
      {"1e12 blocks, 3 counts", DnvDAir, [](auto&) {}, &kQAR02XOwnFailure, 1.0e12},
  };
  for (const Case& c : cases) {
    std::vector<double> curve = c.curve();
    c.edit(curve);
    curve.shrink_to_fit();
    const std::vector<double> counts = {1.0e6, 1.0e5, 1.0e3};
    const std::array<double, 2> plate = {50, 12};
    const std::array<double, 4> histogram = {1, c.blocks, 20, 0};
    double damage = 42.0;
    int status = 0;
    UnitCapture capture(kUnit);
    QAR02X(counts, curve, plate, histogram, damage, kUnit, status);
    EXPECT_EQ(MarkedLines(capture.Text()), Marked(*c.lines)) << c.name;
    EXPECT_EQ(status, -1) << c.name;
    EXPECT_EQ(damage, 42.0) << c.name;
  }
}

}  // namespace
}  // namespace qartwo
