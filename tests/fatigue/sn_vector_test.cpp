#include "fatigue/sn_vector.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace qartwo {
namespace {

// Header bounds are exercised through QAR02X and SNPRNT on malformed vectors.
TEST(WholeNumber, RoundsHalvesAwayFromZeroAndSaturates) {
  struct Row {
    double value;
    int whole;
  };
  // clang-format off
  const Row rows[] = {
      {.value = 2.4999, .whole = 2},  {.value = 2.5, .whole = 3},  {.value = -2.5, .whole = -3},
      {.value = 1e300, .whole = INT_MAX}, {.value = -1e300, .whole = INT_MIN},
      {.value = std::nan(""), .whole = 0}};
  // clang-format on
  for (const Row& row : rows) EXPECT_EQ(WholeNumber(row.value), row.whole) << row.value;
}

// Never more segments than the block holds, also for a step of 0 (which repeats segment 1) or
// a huge count; a negative step leaves the block after segment 1.
TEST(SegmentsInside, CountsTheSegmentsWhollyInsideTheBlock) {
  struct Row {
    std::size_t size;
    int nParPerLin, nSNlin;
    long long inside;
  };
  const Row rows[] = {{.size = 2, .nParPerLin = 3, .nSNlin = 1, .inside = 0},
                      {.size = 10, .nParPerLin = 1, .nSNlin = 9, .inside = 8},
                      {.size = 10, .nParPerLin = 1, .nSNlin = 5, .inside = 5},
                      {.size = 10, .nParPerLin = 0, .nSNlin = 2000000000, .inside = 10},
                      {.size = 10, .nParPerLin = -3, .nSNlin = 7, .inside = 1},
                      {.size = 10, .nParPerLin = 3, .nSNlin = -4, .inside = 0}};
  for (const Row& row : rows) {
    EXPECT_EQ(SegmentsInside(row.size, row.nParPerLin, row.nSNlin), row.inside)
        << row.size << " values, step " << row.nParPerLin << ", nSNlin " << row.nSNlin;
  }
}

}  // namespace
}  // namespace qartwo
