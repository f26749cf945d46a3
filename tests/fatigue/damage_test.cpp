#include "fatigue/damage.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <span>
#include <string>
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
  struct Row {
    std::span<const double> segments;
    int nSNlin;
    double stress, damage;
  };
  const Row rows[] = {{.segments = b1_segments, .nSNlin = 2, .stress = 93.55, .damage = 1.0003e-7},
                      {.segments = b1_segments, .nSNlin = 2, .stress = 93.54, .damage = 9.977e-8},
                      {.segments = b1_segments, .nSNlin = 2, .stress = 50, .damage = 4.354e-9},
                      {.segments = b1_segments, .nSNlin = 2, .stress = 0, .damage = 0},
                      {.segments = b1_segments.first(3), .nSNlin = 2, .stress = 50, .damage = 0},
                      {.segments = dnv_segments, .nSNlin = 1, .stress = 20, .damage = 0},
                      {.segments = dnv_segments, .nSNlin = 1, .stress = 20.01, .damage = 5.293e-9}};
  for (const Row& row : rows) {
    EXPECT_NEAR(cyc2fail(row.stress, row.segments, 3, row.nSNlin), row.damage, row.damage * 2e-4)
        << "stress " << row.stress << ", " << row.segments.size() << " values";
  }
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
  struct Row {
    int curve;
    double t, scf = 0, factor;  // plate thickness t
  };
  // clang-format off
  const Row rows[] = {
      {.curve = 0, .t = 50, .factor = 1.148698},  {.curve = 0, .t = 20, .factor = 1},
      {.curve = 0, .t = 0, .factor = 1},
      {.curve = 0, .t = 50, .scf = 12, .factor = 1.148698},
      {.curve = 1, .t = 50, .scf = 10, .factor = 1.118034},
      {.curve = 1, .t = 50, .scf = 12, .factor = 1.143263},
      {.curve = 2, .t = 1.00000001e-10, .factor = 1},
      {.curve = 3, .t = 50, .scf = 12, .factor = 1}, {.curve = 4, .t = 50, .scf = 12, .factor = 1}};
  // clang-format on
  for (const Row& row : rows) {
    int status = kUntouched;
    UnitCapture capture(kUnit);
    EXPECT_NEAR(QAR02A(curves[row.curve], std::array{row.t, row.scf}, kUnit, status), row.factor,
                1e-6)
        << "curve " << row.curve << ", thickness " << row.t << ", SCF " << row.scf;
    EXPECT_EQ(status, kUntouched);
    EXPECT_EQ(capture.Text(), "");
  }
}

TEST(QAR02X, SumsTheBlocksAtTheirMidpoints) {
  const std::vector<double> b1 = testing::NorsokB1Air();
  const std::vector<double> cubic = BuildCurve(2, {{12, 3, 0}}, {});  // S^3 / 10^12 per cycle
  const std::vector<double> cubic_norsok = BuildCurve(1, {{12, 3, 0}}, {25, 0.2f, 0});
  // Blocks of width 20: midpoints 10 and 30; counts past the blocks unused; 2.5 blocks are 3;
  // stress scale times SCF; an SCF of 1e-10 is 1 while 1.00000001e-10 is above the double
  // threshold (though not above the single-precision one); the thickness factor 2^0.2 on the
  // stresses.
  struct Row {
    const std::vector<double>* curve = nullptr;
    std::vector<double> counts;
    double thickness = 0, scf = 0, scale = 1, blocks = 2, damage;
  };
  const Row rows[] = {
      {.curve = &b1, .counts = {1.0e6, 1.0e5, 1.0e3}, .blocks = 3, .damage = 3.96004e-5},
      {.curve = &cubic, .counts = {1, 1}, .damage = 2.8e-8},
      {.curve = &cubic, .counts = {3, 0.5, 1e9}, .damage = 1.65e-8},
      {.curve = &cubic, .counts = {1, 1, 1}, .blocks = 2.5, .damage = 1.53e-7},
      {.curve = &cubic, .counts = {1, 1}, .scf = 3, .scale = 2, .damage = 6.048e-6},
      {.curve = &cubic, .counts = {1, 1}, .scf = 1.0e-10, .damage = 2.8e-8},
      {.curve = &cubic, .counts = {1, 1}, .scf = 1.00000001e-10, .damage = 2.80000008e-38},
      {.curve = &cubic_norsok, .counts = {1, 1}, .thickness = 50, .damage = 4.244006e-8},
      {.curve = &cubic, .counts = {}, .blocks = -3, .damage = 0}};
  for (const Row& row : rows) {
    double damage = -1;
    int status = kUntouched;
    UnitCapture capture(kUnit);
    QAR02X(row.counts, *row.curve, std::array{row.thickness, row.scf},
           std::array{row.scale, row.blocks, 20.0, 0.0}, damage, kUnit, status);
    EXPECT_NEAR(damage, row.damage, row.damage * 1e-6)
        << "thickness " << row.thickness << ", SCF " << row.scf << ", scale " << row.scale
        << ", blocks " << row.blocks;
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
  struct Row {
    const std::vector<double>* base;
    int element;  // element number to set, 0: cut the vector to `value` elements
    double value, blocks = 3;
  };
  const Row rows[] = {{.base = &b1, .element = kIStandard, .value = 2.5},
                      {.base = &b1, .element = kIStandard, .value = 3, .blocks = 0},
                      {.base = &b1, .element = kNFixPar, .value = 2},
                      {.base = &b1, .element = kNFixPar, .value = 5},
                      {.base = &b1, .element = kIFirstFix, .value = 0},
                      {.base = &dnv, .element = kNParPerLin, .value = 2},
                      {.base = &dnv, .element = kNSNlin, .value = 2},
                      {.base = &dnv, .element = kIFirstLin, .value = 0},
                      {.base = &dnv, .element = kNFixPar, .value = -1},
                      {.base = &dnv, .element = kIFirstFix, .value = 13},
                      {.base = &dnv, .element = 0, .value = 6},
                      {.base = &dnv, .element = kIStandard, .value = 2, .blocks = 4}};
  for (const Row& row : rows) {
    const auto [base, element, value, blocks] = row;
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
