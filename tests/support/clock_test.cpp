#include "support/clock.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

namespace qartwo {
namespace {

ClockReading fixed_reading;

ClockReading FixedClock() {
  return fixed_reading;
}

TEST(DATSTR, CutsAfterTheLevelsFieldAndFitsTheResult) {
  const ClockReading t = {2006, 1, 5, 14, 3, 9};
  const std::string full = " Date : 2006-01-05 14:03:09";
  struct Case {
    ClockReading reading;
    int level;
    std::size_t length;
    std::string expected;
  };
  const Case cases[] = {
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
  for (const Case& c : cases) {
    fixed_reading = c.reading;
    SetClockSource(FixedClock);
    std::string result(c.length, '#');
    DATSTR(c.level, result);
    SetClockSource(nullptr);
    EXPECT_EQ(result + ";", c.expected + ";") << "level " << c.level << " year " << c.reading.year;
  }
}

// Without a set clock DATTIM reads the local wall clock.
TEST(DATTIM, ReadsTheLocalClock) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::time_t before = std::time(nullptr);
    std::vector<int> v(6);
    DATTIM(v[0], v[1], v[2], v[3], v[4], v[5]);
    if (std::time(nullptr) != before) continue;  // the second turned over: try again
    std::tm t{};
    ASSERT_NE(localtime_r(&before, &t), nullptr);
    EXPECT_EQ(v, (std::vector<int>{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min,
                                   t.tm_sec}));
    return;
  }
  FAIL() << "the clock never held still for one reading";
}

}  // namespace
}  // namespace qartwo
