#include "fatigue/damage.h"

#include <gtest/gtest.h>

#include <array>
#include <span>
#include <string>
#include <vector>

#include "fatigue/sn_vector.h"
#include "tests/testing/sn_curves.h"
#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

constexpr int kUnit = 20;
constexpr int kUntouched = 7;  // a status no routine sets

TEST(Cyc2fail, TakesTheFirstSegmentEndingBelowTheStress) {
  // The segments of B1 AIR, whose segment 1 ends at S_1 = 93.541 (though SigBreak is 93.57):
  // above it segment 1, at it segment 2 (less than segment 1's 1e-7); of DNV D AIR, which ends
  // at 20.007. Last: segment 2 lies outside the block given.
  const std::vector<double> b1 = {12.913f, 3, 1.0e7f, 16.856f, 5, 0}, dnv = {12.18f, 3, 1.89e8f};
  const double s1 = SegmentEndStress(b1[0], b1[1], b1[2]);
  struct Row {
    std::span<const double> segments;
    int nSNlin = 2;
    double stress, damage;
  };
  const Row rows[] = {{.segments = b1, .stress = 93.55, .damage = 1.0003e-7},
                      {.segments = b1, .stress = s1, .damage = 9.97698e-8},
                      {.segments = b1, .stress = 0, .damage = 0},
                      {.segments = std::span(b1).first(3), .stress = 50, .damage = 0},
                      {.segments = dnv, .nSNlin = 1, .stress = 20, .damage = 0},
                      {.segments = dnv, .nSNlin = 1, .stress = 20.01, .damage = 5.293e-9}};
  for (const Row& row : rows) {
    EXPECT_NEAR(cyc2fail(row.stress, row.segments, 3, row.nSNlin), row.damage, row.damage * 2e-4)
        << "stress " << row.stress << ", " << row.segments.size() << " values";
  }
}

// A plate thinner than tref is not credited. A kHigh of 0 means none: D keeps k above SCF 10,
// T takes kHigh. A thickness not above 1e-10 in single precision counts as not given. T with
// iStandard 1.5 rounds to DNV (as a user curve): no correction, and no thickness taken (0).
TEST(QAR02A, ThicknessFactor) {
  struct Row {
    std::vector<double> fixed;                      // ending in tref, k, kHigh
    double t, scf = 0, factor, used, standard = 1;  // plate thickness t, thickness taken
  };
  const Row rows[] = {
      {.fixed = {25, 0.2f, 0}, .t = 20, .factor = 1, .used = 25},
      {.fixed = {25, 0.2f, 0}, .t = 50, .scf = 12, .factor = 1.148698, .used = 50},
      {.fixed = {32, 0.25f, 0.3f}, .t = 50, .scf = 10, .factor = 1.118034, .used = 50},
      {.fixed = {32, 0.25f, 0.3f}, .t = 50, .scf = 12, .factor = 1.143263, .used = 50},
      {.fixed = {1e-20, 0.1, 0}, .t = 1.00000001e-10, .factor = 1, .used = 1e-20},
      {.fixed = {32, 0.25f, 0.3f}, .t = 50, .factor = 1, .used = 0, .standard = 1.5}};
  for (const Row& row : rows) {
    int status = kUntouched;
    testing::UnitCapture capture(kUnit);
    const std::vector<double> curve = testing::BuildCurve(row.standard, {}, row.fixed);
    SCOPED_TRACE(::testing::Message() << "iStandard " << row.standard << ", fixed "
                                      << ::testing::PrintToString(row.fixed) << ", thickness "
                                      << row.t << ", SCF " << row.scf);
    const double factor = QAR02A(curve, std::array{row.t, row.scf}, kUnit, status);
    EXPECT_NEAR(factor, row.factor, 1e-6);
    const ThicknessCorrection taken =
        ThicknessCorrectionOf(curve, std::array{row.t, row.scf}, kUnit, status);
    EXPECT_EQ(taken.factor, factor);
    EXPECT_EQ(taken.thickness, row.used);
    EXPECT_EQ(taken.applies, row.standard == 1);
    EXPECT_EQ(status, kUntouched);
    EXPECT_EQ(capture.Text(), "");
  }
}

// On S^3 / 10^12 per cycle, DNV or NORSOK (25, 0.2, 0), blocks of width 20: midpoints 10 and
// 30 (times scale 2 and SCF 3); counts past the blocks unused; 2.5 blocks are 3; an SCF of
// 1e-10 is 1 while 1.00000001e-10 is above the double threshold (though not above the
// single-precision one); the thickness factor 2^0.2 on the stresses. A malformed NORSOK vector
// fails in QAR02A, a DNV one in QAR02X itself, and the damage stays. Vector and counts are the
// front of longer buffers, so a read past their ends would find values and pass.
TEST(QAR02X, SumsTheBlocksAtTheirMidpointsOrFailsOnMalformedInput) {
  const std::string own = "\n  *** ERROR IN QAR02X ***\n";
  const std::string via =
      "\n  *** ERROR IN QAR02A ***\n" + own + "      Error return from QAR02A  \n";
  struct Row {  // element: set to `value`; length: the vector's; damage 42: left as it was
    std::vector<double> counts = {1, 1};
    std::string messages = "";
    int element = 0, length = 14;
    double standard = 2, value = 0, thickness = 0, scf = 0, scale = 1, blocks = 2, damage = 42;
  };
  const Row rows[] = {{.counts = {3, 0.5, 1e9}, .scf = 3, .scale = 2, .damage = 3.564e-6},
                      {.counts = {1, 1, 1}, .blocks = 2.5, .damage = 1.53e-7},
                      {.scf = 1.0e-10, .damage = 2.8e-8},
                      {.scf = 1.00000001e-10, .damage = 2.80000008e-38},
                      {.standard = 1, .thickness = 50, .damage = 4.244006e-8},
                      {.counts = {}, .blocks = -3, .damage = 0},
                      {.messages = via, .element = kIStandard, .value = 2.5, .blocks = 0},
                      {.messages = via, .element = kNFixPar, .standard = 1, .value = 2},
                      {.messages = via, .element = kNFixPar, .standard = 1, .value = 4},
                      {.messages = own, .element = kNParPerLin, .value = 2},
                      {.messages = own, .element = kNSNlin, .value = 3},
                      {.messages = own, .element = kIFirstLin, .value = 0},
                      {.messages = own, .element = kNFixPar, .value = -1},
                      {.messages = own, .length = 6},
                      {.messages = own, .blocks = 3}};
  for (const Row& row : rows) {
    std::vector<double> curve = testing::BuildCurve(row.standard, {{12, 3, 0}}, {25, 0.2f, 0}),
                        counts = row.counts;
    if (row.element > 0) curve[row.element - 1] = row.value;
    curve.resize(curve.size() + 8, 1);
    counts.resize(counts.size() + 1, 1e9);
    double damage = 42;
    int status = kUntouched;
    testing::UnitCapture capture(kUnit);
    std::array<BlockDamage, 3> blocks{};
    DamageDetail detail;
    detail.blocks = std::span(blocks).first(2);  // a third block is not shown
    QAR02X(std::span(counts).first(row.counts.size()),
           std::span(curve).first(std::size_t(row.length)), std::array{row.thickness, row.scf},
           std::array{row.scale, row.blocks, 20.0, 0.0}, damage, kUnit, status, &detail);
    SCOPED_TRACE(::testing::Message()
                 << "iStandard " << row.standard << ", element " << row.element << " = "
                 << row.value << ", " << row.length << " elements, counts "
                 << ::testing::PrintToString(row.counts) << ", thickness " << row.thickness
                 << ", SCF " << row.scf << ", scale " << row.scale << ", blocks " << row.blocks);
    EXPECT_NEAR(damage, row.damage, row.damage * 1e-6);
    EXPECT_EQ(status, row.messages.empty() ? kUntouched : -1);
    EXPECT_EQ(capture.Text(), row.messages);
    // The blocks shown are the terms of the sum, at the stress ranges it took.
    if (!row.messages.empty() || row.blocks > 2 || row.blocks < 1) continue;
    EXPECT_EQ(blocks[0].damage + blocks[1].damage, damage);
    EXPECT_EQ(blocks[0].damage, row.counts[0] * blocks[0].damage_per_cycle);
    EXPECT_NEAR(blocks[1].stress_range, 30 * row.scale * detail.scf * detail.thickness.factor,
                1e-9);
    EXPECT_EQ(blocks[2].stress_range, 0);
  }
}

}  // namespace
}  // namespace qartwo
