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

using testing::UnitCapture;
using testing::UnitInput;

constexpr int kUnit = 31;

std::string Trimmed(std::span<const char> line) {
  std::string text(line.begin(), line.end());
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

TEST(ReadLine, SplitsBytesIntoBlankPaddedLines) {
  const std::string content = std::string("first\r\nsecond\n\nfour\0th\nlast\r", 28) + "\n tail";
  UnitInput input(kUnit, content);
  std::array<char, kTextLength> line{};
  const std::vector<std::string> expected = {"first", "second", "", std::string("four\0th", 7),
                                             "last",  " tail"};
  for (const std::string& want : expected) {
    ASSERT_EQ(ReadLine(kUnit, line), IoStatus::kOk) << want;
    EXPECT_EQ(Trimmed(line), want);
    EXPECT_EQ(line.back(), ' ');
  }
  line.fill('x');
  EXPECT_EQ(ReadLine(kUnit, line), IoStatus::kEndOfFile);
  EXPECT_EQ(Trimmed(line), "");
}

TEST(ReadLine, CutsLongLinesAndKeepsTheNextLineIntact) {
  const std::string long_line(300, 'a');
  const std::string exactly_full = std::string(255, 'b') + "c";
  UnitInput input(kUnit, long_line + "\r\n" + exactly_full + "\r\nnext\n");
  std::array<char, kTextLength> line{};
  ASSERT_EQ(ReadLine(kUnit, line), IoStatus::kOk);
  EXPECT_EQ(Trimmed(line), std::string(256, 'a'));
  ASSERT_EQ(ReadLine(kUnit, line), IoStatus::kOk);
  EXPECT_EQ(Trimmed(line), exactly_full);  // the carriage return behind a full line goes too
  ASSERT_EQ(ReadLine(kUnit, line), IoStatus::kOk);
  EXPECT_EQ(Trimmed(line), "next");
}

TEST(ReadLine, OnlyTheLastCarriageReturnIsDropped) {
  UnitInput input(kUnit, "a\rb\r\r\n");
  std::array<char, 8> line{};
  ASSERT_EQ(ReadLine(kUnit, line), IoStatus::kOk);
  EXPECT_EQ(std::string(line.begin(), line.end()), "a\rb\r    ");
}

TEST(WriteLine, PromptsEndNoLine) {
  UnitCapture capture(kConsoleOutput);
  WriteText(kConsoleOutput, " Give file:  ");
  WriteLine(kConsoleOutput, " Cannot Open file :x");
  WriteLine(kConsoleOutput, "");
  EXPECT_EQ(capture.Text(), " Give file:   Cannot Open file :x\n\n");
}

TEST(Units, RejectBadAndUnconnectedUnits) {
  std::array<char, 4> line{};
  for (const int unit : {-1, 100, 1000}) {
    EXPECT_EQ(WriteLine(unit, "x"), IoStatus::kBadUnit) << unit;
    EXPECT_EQ(ReadLine(unit, line), IoStatus::kBadUnit) << unit;
    EXPECT_EQ(ConnectUnit(unit, stdout, Connection{}), IoStatus::kBadUnit) << unit;
  }
  EXPECT_FALSE(IsConnected(kUnit));
  EXPECT_EQ(WriteLine(kUnit, "x"), IoStatus::kNotConnected);
  EXPECT_EQ(ReadLine(kUnit, line), IoStatus::kNotConnected);
  EXPECT_EQ(CloseUnit(kUnit), IoStatus::kOk);
  EXPECT_TRUE(IsConnected(kConsoleInput));
  EXPECT_TRUE(IsConnected(kConsoleOutput));
  EXPECT_TRUE(IsConnected(kDiagnosticOutput));
}

// A temporary file on disk, read back by name so that the unit's stream is left alone.
class TempFile {
 public:
  explicit TempFile(const std::string& content) {
    const int fd = ::mkstemp(path_.data());
    ::close(fd);
    std::FILE* file = std::fopen(path_.c_str(), "w");
    std::fputs(content.c_str(), file);
    std::fclose(file);
  }
  ~TempFile() { ::unlink(path_.c_str()); }
  std::FILE* OpenForUpdate() const { return std::fopen(path_.c_str(), "r+"); }
  std::string Content() const {
    std::FILE* file = std::fopen(path_.c_str(), "r");
    std::string content;
    for (int c = std::getc(file); c != EOF; c = std::getc(file)) content += static_cast<char>(c);
    std::fclose(file);
    return content;
  }

 private:
  std::string path_ = "/tmp/qartwo_units_XXXXXX";
};

TEST(WriteLine, FirstRecordReplacesTheFormerContent) {
  TempFile file("old line one\nold line two\n");
  Connection connection;
  connection.replace_on_first_write = true;
  ASSERT_EQ(ConnectUnit(kUnit, file.OpenForUpdate(), connection), IoStatus::kOk);
  EXPECT_EQ(file.Content(), "old line one\nold line two\n");
  ASSERT_EQ(WriteLine(kUnit, "new"), IoStatus::kOk);
  ASSERT_EQ(WriteLine(kUnit, "report"), IoStatus::kOk);
  ASSERT_EQ(FlushUnit(kUnit), IoStatus::kOk);
  EXPECT_EQ(file.Content(), "new\nreport\n");
  EXPECT_EQ(CloseUnit(kUnit), IoStatus::kOk);
}

TEST(WriteLine, ARecordWrittenAfterReadingEndsTheFile) {
  TempFile file("one\ntwo\nthree\n");
  Connection connection;
  connection.replace_on_first_write = true;
  ConnectUnit(kUnit, file.OpenForUpdate(), connection);
  std::array<char, 8> line{};
  ASSERT_EQ(ReadLine(kUnit, line), IoStatus::kOk);
  ASSERT_EQ(WriteLine(kUnit, "2"), IoStatus::kOk);
  EXPECT_EQ(CloseUnit(kUnit), IoStatus::kOk);
  EXPECT_EQ(file.Content(), "one\n2\n");
}

TEST(CloseUnit, ReportsOutputThatCouldNotBeWritten) {
  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  ConnectUnit(kUnit, full, Connection{});
  EXPECT_EQ(WriteLine(kUnit, " SCF                           :       1.000"), IoStatus::kOk);
  EXPECT_EQ(CloseUnit(kUnit), IoStatus::kWriteError);
  EXPECT_FALSE(IsConnected(kUnit));
}

TEST(Records, DirectRecordsAreAddressedByNumber) {
  Connection connection;
  connection.access = Access::kDirect;
  connection.record_bytes = 8;
  ConnectUnit(kUnit, std::tmpfile(), connection);
  std::array<char, 4> line{};
  EXPECT_EQ(WriteLine(kUnit, "x"), IoStatus::kWrongAccess);
  EXPECT_EQ(ReadLine(kUnit, line), IoStatus::kWrongAccess);
  EXPECT_EQ(WriteRecord(kUnit, 3, std::string_view("third")), IoStatus::kOk);
  EXPECT_EQ(WriteRecord(kUnit, 1, std::string_view("first!!!")), IoStatus::kOk);
  EXPECT_EQ(WriteRecord(kUnit, 2, std::string_view("too long!")), IoStatus::kBadRecord);
  EXPECT_EQ(WriteRecord(kUnit, 0, std::string_view("x")), IoStatus::kBadRecord);

  std::array<char, 8> record{};
  std::size_t length = 0;
  ASSERT_EQ(ReadRecord(kUnit, 3, record, length), IoStatus::kOk);
  EXPECT_EQ(std::string(record.data(), length), "third   ");
  ASSERT_EQ(ReadRecord(kUnit, 1, record, length), IoStatus::kOk);
  EXPECT_EQ(std::string(record.data(), length), "first!!!");
  EXPECT_EQ(ReadRecord(kUnit, 4, record, length), IoStatus::kEndOfFile);
  CloseUnit(kUnit);
}

TEST(Records, SequentialUnformattedRecordsKeepTheirLength) {
  Connection connection;
  connection.form = Form::kUnformatted;
  std::FILE* file = std::tmpfile();
  ConnectUnit(kUnit, file, connection);
  const std::string binary("a\0b\nc", 5);
  ASSERT_EQ(WriteRecord(kUnit, 0, binary), IoStatus::kOk);
  ASSERT_EQ(WriteRecord(kUnit, 0, std::string_view("second record")), IoStatus::kOk);
  std::fflush(file);
  std::rewind(file);
  std::array<char, 6> record{};
  std::size_t length = 0;
  ASSERT_EQ(ReadRecord(kUnit, 0, record, length), IoStatus::kOk);
  EXPECT_EQ(std::string(record.data(), length), binary);
  ASSERT_EQ(ReadRecord(kUnit, 0, record, length), IoStatus::kOk);
  EXPECT_EQ(std::string(record.data(), length), "second");  // cut to the room given
  EXPECT_EQ(ReadRecord(kUnit, 0, record, length), IoStatus::kEndOfFile);
  EXPECT_EQ(WriteLine(kUnit, "text"), IoStatus::kWrongAccess);
  CloseUnit(kUnit);
}

TEST(ConnectUnit, ReplacesTheFormerConnection) {
  UnitCapture first(kUnit);
  WriteLine(kUnit, "to first");
  {
    UnitCapture second(kUnit);
    WriteLine(kUnit, "to second");
    EXPECT_EQ(second.Text(), "to second\n");
  }
  EXPECT_EQ(first.Text(), "to first\n");
  EXPECT_EQ(WriteLine(kUnit, "after"), IoStatus::kNotConnected);
}

}  // namespace
}  // namespace qartwo
