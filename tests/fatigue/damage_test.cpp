#include "fatigue/damage.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "fatigue/sn_vector.h"
#include "tests/testing/sn_curves.h"
#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

using testing::BuildCurve;
using testing::UnitCapture;

constexpr int kUnit = 20;
constexpr int kUntouched = 7;  // a status no routine sets

TEST(Cyc2fail, TakesTheFirstSegmentEndingBelowTheStress) {
  const std::vector<double> b1 = testing::NorsokB1Air(), dnv = testing::DnvDAir();
  const auto b1_segments = std::span<const double>(b1).subspan(kHeaderLength);
  const auto dnv_segments = std::span<const double>(dnv).subspan(kHeaderLength);
  // S_1 = 93.541: above it segment 1, below it segment 2, though SigBreak is 93.57. DNV D AIR
  // ends at 20.007. Last: segment 2 lies outside the block given.
  const std::tuple<std::span<const double>, int, double, double> rows[] = {
      {b1_segments, 2, 93.55, 1.0003e-7},
      {b1_segments, 2, 93.54, 9.977e-8},
      {b1_segments, 2, 100, 1.2218e-7},
      {b1_segments, 2, 50, 4.354e-9},
      {b1_segments, 2, 0, 0},
      {b1_segments, 2, -50, 0},
      {dnv_segments, 1, 20, 0},
      {dnv_segments, 1, 20.01, 5.293e-9},
      {b1_segments.first(3), 2, 50, 0}};
  for (const auto& [segments, nSNlin, stress, expected] : rows) {
    EXPECT_NEAR(cyc2fail(stress, segments, 3, nSNlin), expected, expected * 2e-4)
        << "stress " << stress << ", " << segments.size() << " values";
  }
  EXPECT_EQ(cyc2fail(50, b1_segments.first(3), -3, 2), 0);  // a negative step leaves the block
  // At exactly S_1 the stress belongs to segment 2, which gives less than segment 1's 1e-7.
  const double s1 = SegmentEndStress(b1[8], b1[9], b1[10]);
  EXPECT_NEAR(s1, 93.5406, 1e-4);
  EXPECT_DOUBLE_EQ(cyc2fail(s1, b1_segments, 3, 2), std::pow(s1, 5) / std::pow(10.0, b1[11]));
}

TEST(QAR02A, ThicknessFactor) {
  // Fixed blocks ending in thick, k, kHigh: 0 D (25, 0.2, 0), 1 T (32, 0.25, 0.3), 2 thick
  // 1e-20, 3 DNV D, 4 T with iStandard 1.5, which rounds to DNV.
  const std::vector<double> curves[] = {BuildCurve(1, {}, {52.63f, 25, 0.2f, 0}),
                                        BuildCurve(1, {}, {32, 0.25f, 0.3f}),
                                        BuildCurve(1, {}, {1e-20, 0.1, 0}), testing::DnvDAir(),
                                        BuildCurve(1.5, {}, {32, 0.25f, 0.3f})};
  // Curve 2: a thickness not above 1e-10 in single precision counts as not given. A kHigh of
  // 0 means none: D keeps k above SCF 10.
  const std::tuple<int, double, double, double> rows[] = {
      {0, 50, 0, 1.148698},  {0, 20, 0, 1},         {0, 0, 0, 1},
      {0, -30, 0, 1},        {0, 50, 12, 1.148698}, {1, 50, 8, 1.118034},
      {1, 50, 10, 1.118034}, {1, 50, 12, 1.143263}, {2, 1.00000001e-10, 0, 1},
      {3, 50, 12, 1},        {4, 50, 12, 1}};
  for (const auto& [curve, thickness, scf, expected] : rows) {
    int status = kUntouched;
    UnitCapture capture(kUnit);
    EXPECT_NEAR(QAR02A(curves[curve], std::array{thickness, scf}, kUnit, status), expected, 1e-6)
        << "curve " << curve << ", thickness " << thickness << ", SCF " << scf;
    EXPECT_EQ(status, kUntouched);
    EXPECT_EQ(capture.Text(), "");
  }
}

TEST(QAR02X, SumsTheBlocksAtTheirMidpoints) {
  const std::vector<double> b1 = testing::NorsokB1Air();
  const std::vector<double> cubic = BuildCurve(2, {{12, 3, 0}}, {});  // S^3 / 10^12 per cycle
  const std::vector<double> cubic_norsok = BuildCurve(1, {{12, 3, 0}}, {25, 0.2f, 0});
  // Curve, counts, thickness, SCF, stress scale, blocks of width 20, damage. Midpoints 10 and
  // 30; counts past the blocks unused; 2.5 blocks are 3; stress scale times SCF; an SCF of
  // 1e-10 is 1 while 1.00000001e-10 is above the double threshold (though not above the
  // single-precision one); the thickness factor 2^0.2 on the stresses.
  using Row = std::tuple<const std::vector<double>*, std::vector<double>, double, double, double,
                         double, double>;
  // clang-format off
  const Row rows[] = {
      {&b1, {1.0e6, 1.0e5, 1.0e3}, 0, 0, 1, 3, 3.96004e-5}, {&cubic, {1, 1}, 0, 0, 1, 2, 2.8e-8},
      {&cubic, {3, 0.5, 1e9}, 0, 0, 1, 2, 1.65e-8}, {&cubic, {1, 1, 1}, 0, 0, 1, 2.5, 1.53e-7},
      {&cubic, {1, 1}, 0, 3, 2, 2, 6.048e-6}, {&cubic, {1, 1}, 0, 1.0e-10, 1, 2, 2.8e-8},
      {&cubic, {1, 1}, 0, 1.00000001e-10, 1, 2, 2.80000008e-38},
      {&cubic_norsok, {1, 1}, 50, 0, 1, 2, 4.244006e-8}, {&cubic, {}, 0, 0, 1, -3, 0}};
  // clang-format on
  for (const auto& [curve, counts, thickness, scf, scale, blocks, expected] : rows) {
    double damage = -1;
    int status = kUntouched;
    UnitCapture capture(kUnit);
    QAR02X(counts, *curve, std::array{thickness, scf}, std::array{scale, blocks, 20.0, 0.0}, damage,
           kUnit, status);
    EXPECT_NEAR(damage, expected, expected * 1e-6) << "thickness " << thickness << ", SCF " << scf
                                                   << ", scale " << scale << ", blocks " << blocks;
    EXPECT_EQ(status, kUntouched);
    EXPECT_EQ(capture.Text(), "");
  }
}

// A malformed NORSOK vector fails in QAR02A, a DNV one in QAR02X itself. Vector and counts are
// the front of longer buffers, so a read past their ends would find values and pass.
TEST(QAR02X, MalformedInputFailsAndLeavesTheDamage) {
  const std::vector<double> b1 = testing::NorsokB1Air(), dnv = testing::DnvDAir();
  const std::string own = "\n  *** ERROR IN QAR02X ***\n";
  const std::string via_qar02a =
      "\n  *** ERROR IN QAR02A ***\n" + own + "      Error return from QAR02A  \n";
  // Element number to set (0: cut the vector to that many elements), value, blocks.
  const std::tuple<const std::vector<double>*, int, double, double> rows[] = {
      {&b1, kIStandard, 2.5, 3}, {&b1, kIStandard, 3, 0},  {&b1, kNFixPar, 2, 3},
      {&b1, kNFixPar, 5, 3},     {&b1, kIFirstFix, 0, 3},  {&dnv, kNParPerLin, 2, 3},
      {&dnv, kNSNlin, 2, 3},     {&dnv, kIFirstLin, 0, 3}, {&dnv, kNFixPar, -1, 3},
      {&dnv, kIFirstFix, 13, 3}, {&dnv, 0, 6, 3},          {&dnv, kIStandard, 2, 4}};
  for (const auto& [base, element, value, blocks] : rows) {
    std::vector<double> buffer = *base;
    buffer.resize(buffer.size() + 8, 1);
    const auto curve = std::span(buffer).first(element == 0 ? std::size_t(value) : base->size());
    if (element != 0) curve[element - 1] = value;
    const std::vector<double> counts = {1.0e6, 1.0e5, 1.0e3, 1};
    double damage = 42;
    int status = 0;
    UnitCapture capture(kUnit);
    QAR02X(std::span(counts).first(3), curve, std::array{50.0, 12.0},
           std::array{1.0, blocks, 20.0, 0.0}, damage, kUnit, status);
    SCOPED_TRACE(::testing::Message()
                 << "element " << element << " = " << value << ", blocks " << blocks);
    EXPECT_EQ(capture.Text(), base == &b1 ? via_qar02a : own);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(damage, 42);
  }
}

}  // namespace
}  // namespace qartwo
