#include "support/text/clock.h"

#include <gtest/gtest.h>

#include <array>
#include <ctime>
#include <string>

namespace qartwo {
namespace {

ClockReading fixed_reading;

// Levels 2 to 4 differ from 5 only in where the stamp ends.
TEST(DATSTR, CutsAfterTheLevelsFieldAndFitsTheResult) {
  const std::string full = " Date : 2006-01-05 14:03:09";
  struct Row {
    ClockReading reading = {2006, 1, 5, 14, 3, 9};
    int level = 6, length = 27;
    std::string stamp;
  };
  // clang-format off
  const Row rows[] = {
      {.level = 1, .length = 14, .stamp = " Date : 2006  "},
      {.level = 5, .stamp = " Date : 2006-01-05 14:03   "},
      {.level = 0, .stamp = full},  {.level = 7, .stamp = full},  // any other level: the full stamp
      {.length = 20, .stamp = " Date : 2006-01-05 1"},
      {.reading = {999, 12, 31, 23, 59, 59}, .stamp = " Date : 2899-12-31 23:59:59"},  // from 1900
      {.reading = {1000, 1, 1, 0, 0, 0}, .stamp = " Date : 1000-01-01 00:00:00"},
      {.reading = {12345, 100, 7, 0, 0, 0}, .stamp = " Date : ****-**-07 00:00:00"}};
  // clang-format on
  for (const Row& row : rows) {
    fixed_reading = row.reading;
    SetClockSource([] { return fixed_reading; });
    std::string result(row.length, '#');
    DATSTR(row.level, result);
    SetClockSource(nullptr);
    EXPECT_EQ(result + ";", row.stamp + ";")
        << "level " << row.level << " year " << row.reading.year;
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
