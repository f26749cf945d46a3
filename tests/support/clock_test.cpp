#include "support/clock.h"

#include <gtest/gtest.h>

#include <array>
#include <ctime>
#include <string>
#include <tuple>

namespace qartwo {
namespace {

ClockReading fixed_reading;

TEST(DATSTR, CutsAfterTheLevelsFieldAndFitsTheResult) {
  const ClockReading t = {2006, 1, 5, 14, 3, 9};
  const std::string full = " Date : 2006-01-05 14:03:09";
  const std::tuple<ClockReading, int, std::size_t, std::string> cases[] = {
      {t, 1, 14, " Date : 2006  "},
      {t, 2, 15, " Date : 2006-01"},
      {t, 3, 18, " Date : 2006-01-05"},
      {t, 4, 21, " Date : 2006-01-05 14"},
      {t, 5, 24, " Date : 2006-01-05 14:03"},
      {t, 6, 30, full + "   "},
      {t, 0, 27, full},  // any other level: the full stamp
      {t, 7, 27, full},
      {t, 6, 20, " Date : 2006-01-05 1"},
      {t, 6, 0, ""},
      {{999, 12, 31, 23, 59, 59}, 6, 27, " Date : 2899-12-31 23:59:59"},  // counted from 1900
      {{1000, 1, 1, 0, 0, 0}, 6, 27, " Date : 1000-01-01 00:00:00"},
      {{12345, 100, 7, 0, 0, 0}, 6, 27, " Date : ****-**-07 00:00:00"},
  };
  for (const auto& [reading, level, length, expected] : cases) {
    fixed_reading = reading;
    SetClockSource([] { return fixed_reading; });
    std::string result(length, '#');
    DATSTR(level, result);
    SetClockSource(nullptr);
    EXPECT_EQ(result + ";", expected + ";") << "level " << level << " year " << reading.year;
  }
}

// Without a set clock the stamp shows the local wall clock.
TEST(DATSTR, ReadsTheLocalClock) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::time_t before = std::time(nullptr);
    std::string stamp(27, '#');
    DATSTR(6, stamp);
    std::tm local{};
    std::array<char, 28> expected{};
    std::strftime(expected.data(), expected.size(), " Date : %Y-%m-%d %H:%M:%S",
                  localtime_r(&before, &local));
    if (std::time(nullptr) != before) continue;  // the second turned over: try again
    EXPECT_EQ(stamp, expected.data());
    return;
  }
  FAIL() << "the clock never held still for one reading";
}

}  // namespace
}  // namespace qartwo
