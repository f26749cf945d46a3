#include "support/units.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

constexpr int kUnit = 31;

// The whole content of the file behind `fd`, read without moving any stream.
std::string Content(int fd) {
  std::string content(4096, '\0');
  const ssize_t size = pread(fd, content.data(), content.size(), 0);
  content.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
  return content;
}

// Only a carriage return before the newline goes, also behind a full line, and a byte-order
// mark only at the very start; the rest of a long line is dropped, but what it held is told;
// the last line needs no newline.
TEST(ReadLine, SplitsBytesIntoBlankPaddedLines) {
  struct Row {
    std::string line;
    bool nonblank_beyond = false;
    char first_beyond = ' ';
  };
  const std::string full = std::string(255, 'b') + "c";
  const Row rows[] = {{.line = "first"},
                      {.line = ""},
                      {.line = std::string("fo\rur\0th", 8)},
                      {.line = "a\rb\r"},
                      {.line = "\xEF\xBB\xBFx"},
                      {.line = std::string(256, 'a'), .nonblank_beyond = true, .first_beyond = 'a'},
                      {.line = full},
                      {.line = full, .nonblank_beyond = true, .first_beyond = ' '},
                      {.line = " tail"}};
  testing::UnitInput input(kUnit, std::string("\xEF\xBB\xBF"
                                              "first\r\n\nfo\rur\0th\na\rb\r\r\n\xEF\xBB\xBFx\n",
                                              31) +
                                      std::string(300, 'a') + "\r\n" + full + "\r\n" + full +
                                      " \t\r\n tail");
  std::array<char, kTextLength> line{};
  for (const Row& row : rows) {
    line.fill('x');
    LineOverflow overflow{.nonblank_beyond = !row.nonblank_beyond, .first_beyond = 'x'};
    ASSERT_EQ(ReadLine(kUnit, line, overflow), IoStatus::kOk) << row.line;
    EXPECT_EQ(std::string(line.begin(), line.end()),
              row.line + std::string(256 - row.line.size(), ' '));
    EXPECT_EQ(overflow.nonblank_beyond, row.nonblank_beyond) << row.line;
    EXPECT_EQ(overflow.first_beyond, row.first_beyond) << row.line;
  }
  line.fill('x');
  EXPECT_EQ(ReadLine(kUnit, line), IoStatus::kEndOfFile);
  EXPECT_EQ(std::string(line.begin(), line.end()), std::string(kTextLength, ' '));
}

// A stream without line ends (a device, a corrupt file) cannot keep a reader busy for ever.
TEST(ReadLine, EndsALineAfterSixteenMebibytes) {
  constexpr std::size_t kLimit = std::size_t{16} << 20;
  testing::UnitInput input(kUnit, std::string(kLimit + 3, 'z') + "\nnext");
  std::array<char, 8> line{};
  const std::vector<std::string> expected = {"zzzzzzzz", "zzz     ", "next    "};
  for (const std::string& want : expected) {
    ASSERT_EQ(ReadLine(kUnit, line), IoStatus::kOk) << want;
    EXPECT_EQ(std::string(line.begin(), line.end()), want);
  }
}

TEST(Units, RefuseBadUnconnectedAndUnsuitedUnits) {
  std::array<char, 4> line{};
  for (const int unit : {-1, 100}) {
    EXPECT_EQ(WriteLine(unit, "x"), IoStatus::kBadUnit) << unit;
    EXPECT_EQ(ReadLine(unit, line), IoStatus::kBadUnit) << unit;
    EXPECT_EQ(ConnectUnit(unit, stdout, Connection{}), IoStatus::kBadUnit) << unit;
  }
  EXPECT_EQ(WriteLine(kUnit, "x"), IoStatus::kNotConnected);
  EXPECT_EQ(ReadLine(kUnit, line), IoStatus::kNotConnected);
  EXPECT_EQ(CloseUnit(kUnit), IoStatus::kOk);
  testing::UnitCapture capture(kUnit);
  EXPECT_EQ(WriteRecord(kUnit, 0, std::string_view("x")), IoStatus::kWrongAccess);
  EXPECT_TRUE(IsConnected(kConsoleInput) && IsConnected(kConsoleOutput) &&
              IsConnected(kDiagnosticOutput));
}

// A record written after reading ends the file there; connecting another stream to the unit
// closes the former one, so that what was written reaches the file.
TEST(WriteLine, RecordAfterReadingEndsTheFileAndReconnectingCloses) {
  std::FILE* file = std::tmpfile();
  const int fd = dup(fileno(file));
  std::fputs("one\ntwo\nthree\n", file);
  std::rewind(file);
  Connection connection;
  connection.replace_on_first_write = true;
  ConnectUnit(kUnit, file, connection);
  std::array<char, 8> line{};
  ASSERT_EQ(ReadLine(kUnit, line), IoStatus::kOk);
  EXPECT_EQ(Content(fd), "one\ntwo\nthree\n");
  ASSERT_EQ(WriteLine(kUnit, "2"), IoStatus::kOk);
  ConnectUnit(kUnit, std::tmpfile(), Connection{});
  EXPECT_EQ(Content(fd), "one\n2\n");
  CloseUnit(kUnit);
  close(fd);
}

TEST(CloseUnit, ReportsOutputThatCouldNotBeWritten) {
  ConnectUnit(kUnit, std::fopen("/dev/full", "w"), Connection{});
  EXPECT_EQ(WriteLine(kUnit, " SCF                           :       1.000"), IoStatus::kOk);
  EXPECT_EQ(CloseUnit(kUnit), IoStatus::kWriteError);
  EXPECT_FALSE(IsConnected(kUnit));
}

TEST(Records, DirectRecordsSitAtTheirNumberPadded) {
  for (const Form form : {Form::kFormatted, Form::kUnformatted}) {
    const std::string pad(3, form == Form::kFormatted ? ' ' : '\0');
    Connection connection;
    connection.access = Access::kDirect;
    connection.form = form;
    connection.record_bytes = 8;
    std::FILE* file = std::tmpfile();
    ConnectUnit(kUnit, file, connection);
    EXPECT_EQ(WriteRecord(kUnit, 3, std::string_view("third")), IoStatus::kOk);
    EXPECT_EQ(WriteRecord(kUnit, 1, std::string_view("first!!!")), IoStatus::kOk);
    EXPECT_EQ(WriteRecord(kUnit, 2, std::string_view("too long!")), IoStatus::kBadRecord);
    EXPECT_EQ(WriteRecord(kUnit, 0, std::string_view("x")), IoStatus::kBadRecord);
    EXPECT_EQ(WriteLine(kUnit, "x"), IoStatus::kWrongAccess);
    ASSERT_EQ(FlushUnit(kUnit), IoStatus::kOk);
    EXPECT_EQ(Content(fileno(file)), "first!!!" + std::string(8, '\0') + "third" + pad);
    std::array<char, 8> record{};
    std::size_t length = 0;
    ASSERT_EQ(ReadRecord(kUnit, 3, record, length), IoStatus::kOk);
    EXPECT_EQ(std::string(record.data(), length), "third" + pad);
    EXPECT_EQ(ReadRecord(kUnit, 4, record, length), IoStatus::kEndOfFile);
    EXPECT_EQ(CloseUnit(kUnit), IoStatus::kOk);
  }
}

// Each record is framed by its length; a read keeps what fits in the room given.
TEST(Records, SequentialUnformattedRecordsKeepTheirLength) {
  Connection connection;
  connection.form = Form::kUnformatted;
  std::FILE* file = std::tmpfile();
  ConnectUnit(kUnit, file, connection);
  ASSERT_EQ(WriteRecord(kUnit, 0, std::string_view("a\0b\nc", 5)), IoStatus::kOk);
  ASSERT_EQ(WriteRecord(kUnit, 0, std::string_view("second record")), IoStatus::kOk);
  EXPECT_EQ(WriteLine(kUnit, "text"), IoStatus::kWrongAccess);
  std::rewind(file);
  std::array<char, 6> record{};
  std::size_t length = 0;
  for (const std::string_view want : {std::string_view("a\0b\nc", 5), std::string_view("second")}) {
    ASSERT_EQ(ReadRecord(kUnit, 0, record, length), IoStatus::kOk);
    EXPECT_EQ(std::string_view(record.data(), length), want);
  }
  EXPECT_EQ(ReadRecord(kUnit, 0, record, length), IoStatus::kEndOfFile);
  CloseUnit(kUnit);
}

}  // namespace
}  // namespace qartwo
