#include "support/io/line_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "support/text/fixed_text.h"
#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

constexpr int kUnit = 31;

// Only a carriage return before the newline goes, also behind a full line, and a byte-order
// mark only at the very start; the rest of a long line is dropped, but what it held is told,
// and a line ends after 16 MiB (a stream without line ends cannot keep a reader busy for
// ever); the last line needs no newline. The same with the stream's own buffer and with
// buffers so small that lines, marks and line ends are split across refills.
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
                      {.line = std::string(256, 'z'), .nonblank_beyond = true, .first_beyond = 'z'},
                      {.line = "zzz"},
                      {.line = " tail"}};
  const std::string content = std::string(
                                  "\xEF\xBB\xBF"
                                  "first\r\n\nfo\rur\0th\na\rb\r\r\n\xEF\xBB\xBFx\n",
                                  31) +
                              std::string(300, 'a') + "\r\n" + full + "\r\n" + full + " \t\r\n" +
                              std::string((16 << 20) + 3, 'z') + "\n tail";
  for (const std::size_t buffer : {0, 2, 7}) {
    SCOPED_TRACE("buffer " + std::to_string(buffer));
    std::array<char, 8> room{};  // outlives the stream that uses it
    testing::UnitInput input(kUnit, content);
    if (buffer > 0) {
      ASSERT_EQ(setvbuf(input.Stream(), room.data(), _IOFBF, buffer), 0);
    }
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
}

// A character pushed back with ungetc before a read begins the line: one that differs from
// the last read (glibc keeps it apart from the buffer) and one that is the same.
TEST(ReadLine, BeginsWithACharacterPushedBack) {
  struct Row {
    char pushed;
    std::string line;
  };
  const Row rows[] = {{.pushed = 'Z', .line = "Zcd "}, {.pushed = '\n', .line = "    "}};
  for (const Row& row : rows) {
    testing::UnitInput input(kUnit, "ab\ncd\n");
    std::array<char, 4> line{};
    ASSERT_EQ(ReadLine(kUnit, line), IoStatus::kOk);
    ASSERT_EQ(ungetc(row.pushed, input.Stream()), row.pushed);
    ASSERT_EQ(ReadLine(kUnit, line), IoStatus::kOk);
    EXPECT_EQ(std::string(line.data(), line.size()) + ";", row.line + ";") << +row.pushed;
  }
}

std::string g_source_prompt;

// A console line source shows the prompt held on unit 6 itself; a line or a diagnostic
// written after the prompt shows it first, and so does a prompt beyond 128 characters.
TEST(ConsoleLineSource, ShowsThePromptHeldOnUnitSix) {
  struct Row {
    std::string prompt;
    int then = -1;  // unit that gets a line "x" after the prompt
    std::string source_shows = "", unit_six_shows = "";
  };
  const std::string wide(129, 'w');
  const Row rows[] = {{.prompt = " Q :  ", .source_shows = " Q :  "},
                      {.prompt = " Q :  ", .then = kConsoleOutput, .unit_six_shows = " Q :  x\n"},
                      {.prompt = " Q :  ", .then = kDiagnosticOutput, .unit_six_shows = " Q :  "},
                      {.prompt = wide, .unit_six_shows = wide}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.prompt.substr(0, 8) + ";" + std::to_string(row.then));
    testing::UnitCapture console(kConsoleOutput);
    testing::UnitCapture diagnostics(kDiagnosticOutput);
    testing::UnitInput input(kConsoleInput, "typed\n");
    SetConsoleLineSource([](std::string_view prompt, std::span<char> line, LineOverflow&) {
      g_source_prompt = prompt;
      line[0] = 'y';
      return IoStatus::kOk;
    });
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
