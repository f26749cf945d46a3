#include "support/io/units.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "support/io/line_reader.h"
#include "support/io/records.h"
#include "tests/testing/test_data.h"
#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

constexpr int kUnit = 31;

// The whole content of the file behind `fd`, read without moving any stream.
std::string Content(int fd) {
  return testing::ReadWholeFile("/proc/self/fd/" + std::to_string(fd));
}

// A record written after reading ends the file there; connecting another stream to the unit
// closes the former one, so that what was written reaches the file. Bad, unconnected and
// unsuited units are refused.
TEST(Units, RecordAfterReadingEndsTheFileReconnectingClosesBadUnitsAreRefused) {
  std::FILE* file = std::tmpfile();
  const int fd = dup(fileno(file));
  std::fputs("one\ntwo\nthree\n", file);
  std::rewind(file);
  ConnectUnit(kUnit, file, {.replace_on_first_write = true});
  std::array<char, 8> line{};
  ASSERT_EQ(ReadLine(kUnit, line), IoStatus::kOk);
  EXPECT_EQ(Content(fd), "one\ntwo\nthree\n");
  ASSERT_EQ(WriteLine(kUnit, "2"), IoStatus::kOk);
  EXPECT_EQ(WriteRecord(kUnit, 0, std::string_view("x")), IoStatus::kWrongAccess);
  ConnectUnit(kUnit, std::tmpfile(), Connection{});
  EXPECT_EQ(Content(fd), "one\n2\n");
  close(fd);
  EXPECT_EQ(CloseUnit(kUnit), IoStatus::kOk);
  EXPECT_EQ(CloseUnit(kUnit), IoStatus::kOk);  // not connected
  EXPECT_EQ(WriteLine(kUnit, "x"), IoStatus::kNotConnected);
  EXPECT_EQ(ReadLine(kUnit, line), IoStatus::kNotConnected);
  for (const int unit : {-1, 100}) {
    EXPECT_EQ(WriteLine(unit, "x"), IoStatus::kBadUnit) << unit;
    EXPECT_EQ(ReadLine(unit, line), IoStatus::kBadUnit) << unit;
    EXPECT_EQ(ConnectUnit(unit, stdout, Connection{}), IoStatus::kBadUnit) << unit;
  }
}

// A direct record sits at its number, padded with blanks (formatted) or zeros; a sequential
// one is framed by its length. Either read keeps what fits in the room given.
TEST(Records, SitAtTheirNumberOrKeepTheirLength) {
  const auto marker = [](std::uint32_t n) { return std::string(reinterpret_cast<char*>(&n), 4); };
  const std::string second("fi\0st\n!!", 8), zeros(8, '\0');
  struct Row {
    Access access = Access::kDirect;
    Form form = Form::kUnformatted;
    std::array<int, 4> records = {3, 1, 0, 4};  // of "third", `second`, one refused, none
    std::string file, read;                     // read: what reading "third" gives
  };
  const std::string framed = marker(5) + "third" + marker(5) + marker(8) + second + marker(8);
  // clang-format off
  const Row rows[] = {
      {.form = Form::kFormatted, .file = second + zeros + "third   ", .read = "third "},
      {.file = second + zeros + "third" + zeros.substr(5), .read = std::string("third\0", 6)},
      {.access = Access::kSequential, .records = {0, 0, 1, 0}, .file = framed, .read = "third"}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file + ";");
    std::FILE* file = std::tmpfile();
    ConnectUnit(kUnit, file, {.access = row.access, .form = row.form, .record_bytes = 8});
    const auto [third, second_record, refused, after] = row.records;
    EXPECT_EQ(WriteRecord(kUnit, third, std::string_view("third")), IoStatus::kOk);
    EXPECT_EQ(WriteRecord(kUnit, second_record, second), IoStatus::kOk);
    EXPECT_EQ(WriteRecord(kUnit, refused, std::string_view("x")), IoStatus::kBadRecord);
    EXPECT_EQ(WriteRecord(kUnit, 2, std::string_view("too long!")), IoStatus::kBadRecord);
    EXPECT_EQ(WriteLine(kUnit, "x"), IoStatus::kWrongAccess);
    ASSERT_EQ(FlushUnit(kUnit), IoStatus::kOk);
    EXPECT_EQ(Content(fileno(file)), row.file);
    std::rewind(file);
    std::array<char, 6> record{};
    std::size_t length = 0;
    ASSERT_EQ(ReadRecord(kUnit, third, record, length), IoStatus::kOk);
    EXPECT_EQ(std::string(record.data(), length), row.read);
    ASSERT_EQ(ReadRecord(kUnit, second_record, record, length), IoStatus::kOk);
    EXPECT_EQ(std::string(record.data(), length), second.substr(0, 6));
    EXPECT_EQ(ReadRecord(kUnit, after, record, length), IoStatus::kEndOfFile);
    EXPECT_EQ(CloseUnit(kUnit), IoStatus::kOk);
  }
}

}  // namespace
}  // namespace qartwo
