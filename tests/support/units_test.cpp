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

// Only a carriage return before the newline goes, also behind a full line; the rest of a long
// line is dropped; the last line needs no newline.
TEST(ReadLine, SplitsBytesIntoBlankPaddedLines) {
  const std::string full = std::string(255, 'b') + "c";
  const std::vector<std::string> expected = {
      "first", "", std::string("fo\rur\0th", 8), "a\rb\r", std::string(256, 'a'), full, " tail"};
  testing::UnitInput input(kUnit, std::string("first\r\n\nfo\rur\0th\na\rb\r\r\n", 23) +
                                      std::string(300, 'a') + "\r\n" + full + "\r\n tail");
  std::array<char, kTextLength> line{};
  for (const std::string& want : expected) {
    line.fill('x');
    ASSERT_EQ(ReadLine(kUnit, line), IoStatus::kOk) << want;
    EXPECT_EQ(std::string(line.begin(), line.end()), want + std::string(256 - want.size(), ' '));
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

std::string g_source_prompt;

IoStatus RecordingSource(std::string_view prompt, std::span<char> line) {
  g_source_prompt = prompt;
  line[0] = 'y';
  return IoStatus::kOk;
}

// A console line source shows the prompt held on unit 6 itself; a line or a diagnostic
// written after the prompt shows it first, and so does a prompt beyond 128 characters.
TEST(ConsoleLineSource, ShowsThePromptHeldOnUnitSix) {
  struct Row {
    std::string prompt;
    int then = -1;  // unit that gets a line "x" after the prompt
    std::string source_shows;
    std::string unit_six_shows = "";
  };
  const std::string wide(129, 'w');
  const Row rows[] = {
      {.prompt = " Q :  ", .source_shows = " Q :  "},
      {.prompt = " Q :  ",
       .then = kConsoleOutput,
       .source_shows = "",
       .unit_six_shows = " Q :  x\n"},
      {.prompt = " Q :  ",
       .then = kDiagnosticOutput,
       .source_shows = "",
       .unit_six_shows = " Q :  "},
      {.prompt = wide, .source_shows = "", .unit_six_shows = wide},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.prompt.substr(0, 8) + ";" + std::to_string(row.then));
    testing::UnitCapture console(kConsoleOutput);
    testing::UnitCapture diagnostics(kDiagnosticOutput);
    testing::UnitInput input(kConsoleInput, "typed\n");
    SetConsoleLineSource(RecordingSource);
    WriteText(kConsoleOutput, row.prompt);
    if (row.then >= 0) WriteLine(row.then, "x");
    std::array<char, 4> line{};
    EXPECT_EQ(ReadLine(kConsoleInput, line), IoStatus::kOk);
    SetConsoleLineSource(nullptr);
    EXPECT_EQ(g_source_prompt + ";", row.source_shows + ";");
    EXPECT_EQ(std::string(line.data(), line.size()), "y   ");
    EXPECT_EQ(console.Text() + ";", row.unit_six_shows + ";");
  }
}

}  // namespace
}  // namespace qartwo
