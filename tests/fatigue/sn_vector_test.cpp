#include "fatigue/sn_vector.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>

namespace qartwo {
namespace {

// Header bounds are exercised through QAR02X and SNPRNT on malformed vectors.
TEST(WholeNumber, RoundsHalvesAwayFromZeroAndSaturates) {
  struct Row {
    double value;
    int expected;
  };
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const Row rows[] = {{2.4999, 2},      {2.5, 3},          {-2.5, -3}, {-2.4999, -2},
                      {1e300, INT_MAX}, {-1e300, INT_MIN}, {kNaN, 0}};
  for (const Row& row : rows) EXPECT_EQ(WholeNumber(row.value), row.expected) << row.value;
}

}  // namespace
}  // namespace qartwo
