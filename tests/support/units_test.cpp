#include "support/units.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/testing/test_data.h"
#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

constexpr int kUnit = 31;

// The whole content of the file behind `fd`, read without moving any stream.
std::string Content(int fd) {
  return testing::ReadWholeFile("/proc/self/fd/" + std::to_string(fd));
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
  static_cast<void>(CloseUnit(kUnit));
  close(fd);
}

TEST(CloseUnit, ReportsOutputThatCouldNotBeWritten) {
  ConnectUnit(kUnit, std::fopen("/dev/full", "w"), Connection{});
  EXPECT_EQ(WriteLine(kUnit, " SCF                           :       1.000"), IoStatus::kOk);
  EXPECT_EQ(CloseUnit(kUnit), IoStatus::kWriteError);
  EXPECT_FALSE(IsConnected(kUnit));
}

// A direct record sits at its number, padded with blanks (formatted) or zeros; a sequential
// one is framed by its length. Either read keeps what fits in the room given.
TEST(Records, SitAtTheirNumberOrKeepTheirLength) {
  const auto marker = [](std::uint32_t n) { return std::string(reinterpret_cast<char*>(&n), 4); };
  const std::string second("fi\0st\n!!", 8);
  struct Row {
    Access access = Access::kDirect;
    Form form = Form::kUnformatted;
    std::size_t record_bytes = 8;
    int third = 3, second = 1, refused = 0, after = 4;  // record numbers
    std::string file, read_third;
  };
  const std::string sequential = marker(5) + "third" + marker(5) + marker(8) + second + marker(8);
  // clang-format off
  const Row rows[] = {
      {.form = Form::kFormatted, .file = second + std::string(8, '\0') + "third   ",
       .read_third = "third "},
      {.file = second + std::string(8, '\0') + std::string("third\0\0\0", 8),
       .read_third = std::string("third\0", 6)},
      {.access = Access::kSequential, .record_bytes = 0, .third = 0, .second = 0, .refused = 1,
       .after = 0, .file = sequential, .read_third = "third"}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file + ";");
    Connection connection;
    connection.access = row.access;
    connection.form = row.form;
    connection.record_bytes = row.record_bytes;
    std::FILE* file = std::tmpfile();
    ConnectUnit(kUnit, file, connection);
    EXPECT_EQ(WriteRecord(kUnit, row.third, std::string_view("third")), IoStatus::kOk);
    EXPECT_EQ(WriteRecord(kUnit, row.second, second), IoStatus::kOk);
    EXPECT_EQ(WriteRecord(kUnit, row.refused, std::string_view("x")), IoStatus::kBadRecord);
    EXPECT_EQ(WriteRecord(kUnit, 2, std::string_view("too long!")), IoStatus::kBadRecord);
    EXPECT_EQ(WriteLine(kUnit, "x"), IoStatus::kWrongAccess);
    ASSERT_EQ(FlushUnit(kUnit), IoStatus::kOk);
    EXPECT_EQ(Content(fileno(file)), row.file);
    std::rewind(file);
    std::array<char, 6> record{};
    std::size_t length = 0;
    ASSERT_EQ(ReadRecord(kUnit, row.third, record, length), IoStatus::kOk);
    EXPECT_EQ(std::string(record.data(), length), row.read_third);
    ASSERT_EQ(ReadRecord(kUnit, row.second, record, length), IoStatus::kOk);
    EXPECT_EQ(std::string(record.data(), length), second.substr(0, 6));
    EXPECT_EQ(ReadRecord(kUnit, row.after, record, length), IoStatus::kEndOfFile);
    EXPECT_EQ(CloseUnit(kUnit), IoStatus::kOk);
  }
}

std::string g_source_prompt;

IoStatus RecordingSource(std::string_view prompt, std::span<char> line, LineOverflow&) {
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
