#include "support/file_open.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/units.h"
#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

namespace fs = std::filesystem;
using testing::UnitCapture;

constexpr int kMessageUnit = kConsoleOutput;
constexpr int kFileUnit = 31;

// A number right-aligned in `width` characters, for message texts holding system error codes.
std::string Field(int value, int width) {
  std::string text = std::to_string(value);
  return std::string(text.size() < static_cast<std::size_t>(width) ? width - text.size() : 0, ' ') +
         text;
}

std::string ErrorCodeMessage(int unit, int error) {
  return "\n\n\n *** ERROR DURING OPENING OF FILE UNIT" + Field(unit, 5) +
         "\n     ERROR CODE =" + Field(error, 5) + "  (SYSTEM PARAMETER)\n";
}

class FileOpenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "qartwo_open_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    CloseAllUnits();
    ConnectConsoleUnits();
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  static void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
  }
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
  }
  bool DirectoryEmpty() const { return fs::is_empty(dir_); }

  fs::path dir_;
};

// Runs `body` in a child process without root's right to write anything, and returns the
// child's exit status (the body's result), or -1 when the child did not end normally.
int RunUnprivileged(const std::function<int()>& body) {
  const pid_t child = fork();
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(99);
    _exit(body());
  }
  int wait_status = 0;
  if (child < 0 || waitpid(child, &wait_status, 0) != child || !WIFEXITED(wait_status)) {
    return -1;
  }
  return WEXITSTATUS(wait_status);
}

TEST_F(FileOpenTest, UnitOutsideOneToNinetyNineIsRefusedWithoutOpening) {
  struct Row {
    int unit;
    std::string header_number;
  };
  for (const Row& row : {Row{0, "    0"}, Row{100, "  100"}, Row{-7, "   -7"}}) {
    const std::string name = Path("refused" + std::to_string(row.unit));
    UnitCapture capture(kMessageUnit);
    int status = 12345;
    OPNFIL(name, row.unit, 1, 0, 1, 0, 0, 1, kMessageUnit, status);
    EXPECT_EQ(status, kOpenBadUnit) << row.unit;
    EXPECT_EQ(capture.Text() + ";", "\n\n\n *** ERROR DURING OPENING OF FILE UNIT" +
                                        row.header_number + "\n     ILLEGAL FILE UNIT\n;")
        << row.unit;
    EXPECT_FALSE(fs::exists(name)) << row.unit;
  }
}

TEST_F(FileOpenTest, UnitsOneAndNinetyNineAreAccepted) {
  for (int unit : {1, 99}) {
    int status = 12345;
    OPNFIL(Path("unit" + std::to_string(unit)), unit, 3, 0, 1, 0, 0, 0, -1, status);
    EXPECT_EQ(status, 0) << unit;
    EXPECT_TRUE(IsConnected(unit)) << unit;
  }
}

TEST_F(FileOpenTest, DirectRecordLengthMustBePositive) {
  struct Row {
    int length;
    std::string shown;
  };
  for (const Row& row : {Row{0, "    0"}, Row{-5, "   -5"}, Row{-123456, "*****"}}) {
    const std::string name = Path("badlength");
    UnitCapture capture(kMessageUnit);
    int status = 0;
    OPNFIL(name, 12, 1, 20, 1, 0, row.length, 1, kMessageUnit, status);
    EXPECT_EQ(status, kOpenBadRecordLength) << row.length;
    EXPECT_EQ(capture.Text() + ";",
              "\n\n\n *** ERROR DURING OPENING OF FILE UNIT   12"
              "\n     ILLEGAL RECORD LENGTH =" +
                  row.shown + "\n;")
        << row.length;
    EXPECT_FALSE(fs::exists(name));
    EXPECT_FALSE(IsConnected(12));
  }
  // The record length is not looked at for the other access codes.
  int status = 1;
  OPNFIL(Path("sequential"), 12, 1, 0, 1, 0, -5, 0, kMessageUnit, status);
  EXPECT_EQ(status, 0);
  OPNFIL(Path("fixed"), 13, 1, 30, 1, 0, -5, 0, kMessageUnit, status);
  EXPECT_EQ(status, 0);
}

TEST_F(FileOpenTest, NamedConfirmationShowsTheNameAtItsFullLength) {
  const std::string name = Path("report.txt");
  UnitCapture capture(kMessageUnit);
  int status = 1;
  OPNFIL(name + "   ", kFileUnit, 3, 0, 1, 0, 0, 1, kMessageUnit, status);
  ASSERT_EQ(status, 0);
  EXPECT_TRUE(fs::exists(name));  // the blanks are not part of the name opened
  EXPECT_EQ(capture.Text() + ";", "\n\n\n     FILE  " + name +
                                      "   \n"
                                      "     IS OPENED ON UNIT NO.  31\n"
                                      "     FILE CHARACTERISTICS :\n"
                                      "          STATUS =NEW    \n"
                                      "          ACCESS =SEQUENTIAL\n"
                                      "          FORM   =FORMATTED  \n"
                                      "          LENGTH =    0 WORDS/BYTES PER RECORD (SECTOR)\n"
                                      "          BLANK  =NULL\n;");
}

TEST_F(FileOpenTest, ScratchFileIgnoresTheNameAndSaysSo) {
  UnitCapture capture(kMessageUnit);
  int status = 1;
  OPNFIL(Path("not-created"), 7, 4, 0, 0, 1, 0, 1, kMessageUnit, status);
  ASSERT_EQ(status, 0);
  EXPECT_TRUE(DirectoryEmpty());
  EXPECT_EQ(capture.Text() + ";",
            "\n\n\n     A SCRATCH FILE IS OPENED ON UNIT NO.   7\n"
            "     FILE CHARACTERISTICS :\n"
            "          STATUS =SCRATCH\n"
            "          ACCESS =SEQUENTIAL\n"
            "          FORM   =FORMATTED  \n"
            "          LENGTH =    0 WORDS/BYTES PER RECORD (SECTOR)\n"
            "          BLANK  =ZERO\n;");
  EXPECT_EQ(WriteLine(7, "scratch record"), IoStatus::kOk);
  EXPECT_EQ(CloseUnit(7), IoStatus::kOk);
}

TEST_F(FileOpenTest, OptionCodesGiveTheKeywordsAndRecordLength) {
  struct Row {
    int access_code, form_code, blank_code, record_length;
    std::string characteristics;  // the block's lines after the status line
    Access access;
    Form form;
    BlankMode blank;
    std::size_t record_bytes;
  };
  const std::string kSequential = "          ACCESS =SEQUENTIAL\n";
  const std::string kDirect = "          ACCESS =DIRECT    \n";
  const std::string kFormatted = "          FORM   =FORMATTED  \n";
  const std::string kUnformatted = "          FORM   =UNFORMATTED\n";
  auto length = [](const std::string& field) {
    return "          LENGTH =" + field + " WORDS/BYTES PER RECORD (SECTOR)\n";
  };
  const std::string kNull = "          BLANK  =NULL\n";
  const std::string kZero = "          BLANK  =ZERO\n";
  const std::vector<Row> rows = {
      // Direct, length in words: times 4 for a formatted file.
      {20, 1, 0, 32, kDirect + kFormatted + length("  128") + kNull, Access::kDirect,
       Form::kFormatted, BlankMode::kNull, 128},
      {20, 2, 1, 32, kDirect + kUnformatted + length("   32"), Access::kDirect, Form::kUnformatted,
       BlankMode::kNull, 128},
      {20, 0, 1, 5, kDirect + kUnformatted + length("    5"), Access::kDirect, Form::kUnformatted,
       BlankMode::kNull, 20},
      {20, 1, 1, 25000, kDirect + kFormatted + length("*****") + kZero, Access::kDirect,
       Form::kFormatted, BlankMode::kZero, 100000},
      // Access code 30: 128 whatever the form and the length argument.
      {30, 1, 1, 7, kDirect + kFormatted + length("  128") + kZero, Access::kDirect,
       Form::kFormatted, BlankMode::kZero, 128},
      {30, 2, 0, 7, kDirect + kUnformatted + length("  128"), Access::kDirect, Form::kUnformatted,
       BlankMode::kNull, 512},
      {30, 9, 1, 0, kDirect + kUnformatted + length("  128"), Access::kDirect, Form::kUnformatted,
       BlankMode::kNull, 512},
      // Sequential: length 0; an unknown form code keeps it formatted.
      {0, 0, 1, 32, kSequential + kFormatted + length("    0") + kZero, Access::kSequential,
       Form::kFormatted, BlankMode::kZero, 0},
      {10, 9, 0, 0, kSequential + kFormatted + length("    0") + kNull, Access::kSequential,
       Form::kFormatted, BlankMode::kNull, 0},
      {0, 2, 1, 0, kSequential + kUnformatted + length("    0"), Access::kSequential,
       Form::kUnformatted, BlankMode::kNull, 0},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    std::ostringstream label;
    label << "access " << row.access_code << " form " << row.form_code << " blank "
          << row.blank_code << " length " << row.record_length;
    const std::string name = Path("options" + std::to_string(i));
    UnitCapture capture(kMessageUnit);
    int status = 1;
    OPNFIL(name, kFileUnit, 0, row.access_code, row.form_code, row.blank_code, row.record_length, 1,
           kMessageUnit, status);
    ASSERT_EQ(status, 0) << label.str();
    EXPECT_EQ(capture.Text() + ";", "\n\n\n     FILE  " + name +
                                        "\n     IS OPENED ON UNIT NO.  31\n"
                                        "     FILE CHARACTERISTICS :\n"
                                        "          STATUS =UNKNOWN\n" +
                                        row.characteristics + ";")
        << label.str();
    const Connection* connection = UnitConnection(kFileUnit);
    ASSERT_NE(connection, nullptr) << label.str();
    EXPECT_EQ(connection->access, row.access) << label.str();
    EXPECT_EQ(connection->form, row.form) << label.str();
    EXPECT_EQ(connection->blank, row.blank) << label.str();
    EXPECT_EQ(connection->record_bytes, row.record_bytes) << label.str();
    EXPECT_EQ(connection->replace_on_first_write, row.access == Access::kSequential) << label.str();
    EXPECT_TRUE(connection->owns_stream) << label.str();
  }
}

TEST_F(FileOpenTest, StatusKeywordsDecideWhetherTheFileMayOrMustExist) {
  const std::string existing = Path("existing");
  WriteFile(existing, "kept\n");
  const std::string missing = Path("missing");
  struct Row {
    int status_code;
    const std::string* name;
    int expected_status;
  };
  const std::vector<Row> rows = {
      {2, &existing, 0}, {2, &missing, -ENOENT}, {3, &existing, -EEXIST},
      {5, &existing, 0}, {-1, &existing, 0},
  };
  for (const Row& row : rows) {
    UnitCapture capture(kMessageUnit);
    int status = 1;
    OPNFIL(*row.name, kFileUnit, row.status_code, 0, 1, 0, 0, 0, kMessageUnit, status);
    EXPECT_EQ(status, row.expected_status) << row.status_code << " " << *row.name;
    EXPECT_EQ(capture.Text(),
              row.expected_status == 0 ? "" : ErrorCodeMessage(kFileUnit, -row.expected_status))
        << row.status_code << " " << *row.name;
    EXPECT_EQ(IsConnected(kFileUnit), row.expected_status == 0);
    CloseUnit(kFileUnit);
  }
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_EQ(ReadFile(existing), "kept\n");

  int status = 1;
  OPNFIL(missing, kFileUnit, 3, 0, 1, 0, 0, 0, kMessageUnit, status);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(fs::exists(missing));
}

TEST_F(FileOpenTest, PrintSwitchGovernsOnlyTheConfirmation) {
  const std::string good = Path("good");
  const std::string bad = Path("absent");
  struct Row {
    int print_switch, message_unit;
    bool succeeds;
    std::string expected;
  };
  const std::string failure = ErrorCodeMessage(kFileUnit, ENOENT);
  const std::vector<Row> rows = {
      {1, 0, true, ""},
      {1, 0, false, ""},
      {1, -1, false, ""},
      {0, kMessageUnit, true, ""},
      {0, kMessageUnit, false, failure},
      {-2, kMessageUnit, false, failure},
      {1, kMessageUnit, false, failure},
      {1, kMessageUnit, true, "\n\n\n     FILE  " + good + "\n     IS OPENED ON UNIT NO.  31\n"},
  };
  for (const Row& row : rows) {
    UnitCapture capture(kMessageUnit);
    int status = 1;
    OPNFIL(row.succeeds ? good : bad, kFileUnit, 2 - static_cast<int>(row.succeeds), 0, 1, 0, 0,
           row.print_switch, row.message_unit, status);
    EXPECT_EQ(status == 0, row.succeeds);
    // The confirmation row is checked up to the start of the characteristics block.
    EXPECT_EQ(capture.Text().substr(0, row.expected.size()) + ";", row.expected + ";")
        << "print " << row.print_switch << " message unit " << row.message_unit;
    if (row.expected.empty()) {
      EXPECT_EQ(capture.Text(), "");
    }
  }
  // Unit refusals are silent without a message unit too.
  UnitCapture capture(kMessageUnit);
  int status = 0;
  OPNFIL(good, 0, 1, 0, 1, 0, 0, 1, 0, status);
  OPNFIL(good, 12, 1, 20, 1, 0, 0, 1, -1, status);
  EXPECT_EQ(status, kOpenBadRecordLength);
  EXPECT_EQ(capture.Text(), "");
}

TEST_F(FileOpenTest, ReopeningAUnitClosesItsFormerFile) {
  const std::string first = Path("first");
  int status = 1;
  OPNFIL(first, kFileUnit, 0, 0, 1, 0, 0, 0, -1, status);
  ASSERT_EQ(status, 0);
  ASSERT_EQ(WriteLine(kFileUnit, "first line"), IoStatus::kOk);
  OPNFIL(Path("second"), kFileUnit, 0, 0, 1, 0, 0, 0, -1, status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(ReadFile(first), "first line\n");
  // A failed open leaves the unit without a file.
  OPNFIL(Path("absent"), kFileUnit, 2, 0, 1, 0, 0, 0, -1, status);
  EXPECT_EQ(status, -ENOENT);
  EXPECT_FALSE(IsConnected(kFileUnit));
}

TEST_F(FileOpenTest, ExistingSequentialFileKeepsItsContentUntilTheFirstWrite) {
  const std::string name = Path("report");
  WriteFile(name, "old line one\nold line two\n");
  int flag = 0;
  OPNOLD(name, 20, 0, flag);
  ASSERT_EQ(flag, 0);
  ASSERT_EQ(CloseUnit(20), IoStatus::kOk);
  EXPECT_EQ(ReadFile(name), "old line one\nold line two\n");

  OPNOLD(name, 20, 0, flag);
  ASSERT_EQ(flag, 0);
  ASSERT_EQ(WriteLine(20, "new"), IoStatus::kOk);
  ASSERT_EQ(CloseUnit(20), IoStatus::kOk);
  EXPECT_EQ(ReadFile(name), "new\n");
}

TEST_F(FileOpenTest, DirectRecordsAreWrittenAndReadByNumber) {
  const std::string name = Path("direct");
  int status = 1;
  // Formatted, 2 words: 8 characters per record.
  OPNFIL(name, kFileUnit, 3, 20, 1, 0, 2, 0, -1, status);
  ASSERT_EQ(status, 0);
  const std::string third = "abc";
  const std::string first = "12345678";
  ASSERT_EQ(WriteRecord(kFileUnit, 3, third), IoStatus::kOk);
  ASSERT_EQ(WriteRecord(kFileUnit, 1, first), IoStatus::kOk);
  ASSERT_EQ(CloseUnit(kFileUnit), IoStatus::kOk);
  EXPECT_EQ(fs::file_size(name), 24u);

  OPNFIL(name, kFileUnit, 2, 20, 1, 0, 2, 0, -1, status);
  ASSERT_EQ(status, 0);
  std::array<char, 16> buffer{};
  std::size_t length = 0;
  ASSERT_EQ(ReadRecord(kFileUnit, 3, buffer, length), IoStatus::kOk);
  EXPECT_EQ(std::string(buffer.data(), length) + ";", "abc     ;");
  ASSERT_EQ(ReadRecord(kFileUnit, 1, buffer, length), IoStatus::kOk);
  EXPECT_EQ(std::string(buffer.data(), length), "12345678");
  EXPECT_EQ(ReadRecord(kFileUnit, 4, buffer, length), IoStatus::kEndOfFile);

  // Unformatted, 1 word: 4 bytes per record, padded with zero bytes.
  const std::string raw = Path("raw");
  OPNFIL(raw, kFileUnit + 1, 3, 20, 2, 0, 1, 0, -1, status);
  ASSERT_EQ(status, 0);
  ASSERT_EQ(WriteRecord(kFileUnit + 1, 2, std::string("\x01\x02", 2)), IoStatus::kOk);
  ASSERT_EQ(ReadRecord(kFileUnit + 1, 2, buffer, length), IoStatus::kOk);
  EXPECT_EQ(std::string(buffer.data(), length), std::string("\x01\x02\0\0", 4));
  ASSERT_EQ(CloseUnit(kFileUnit + 1), IoStatus::kOk);
  EXPECT_EQ(fs::file_size(raw), 8u);
}

TEST_F(FileOpenTest, NamesThatOpenNothingFail) {
  const std::string directory = Path("subdir");
  fs::create_directory(directory);
  struct Row {
    std::string name;
    int status_code;
    int expected_status;
  };
  const std::vector<Row> rows = {
      {directory, 0, -EISDIR},
      {directory, 2, -EISDIR},
      {"", 0, -ENOENT},
      {"          ", 0, -ENOENT},
      {"", 3, -ENOENT},
      {Path("with") + std::string(1, '\0') + "nul", 0, -EINVAL},
      {Path(std::string(5000, 'x')), 0, -ENAMETOOLONG},
  };
  for (const Row& row : rows) {
    UnitCapture capture(kMessageUnit);
    int status = 0;
    OPNFIL(row.name, kFileUnit, row.status_code, 0, 1, 0, 0, 1, kMessageUnit, status);
    EXPECT_EQ(status, row.expected_status) << "[" << row.name.substr(0, 80) << "]";
    EXPECT_EQ(capture.Text(), ErrorCodeMessage(kFileUnit, -row.expected_status));
    EXPECT_FALSE(IsConnected(kFileUnit));
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(FileOpenTest, AllBlankNameCreatesNothingInTheWorkingDirectory) {
  const fs::path previous = fs::current_path();
  fs::current_path(dir_);
  int flag = 0;
  OPNOLD(std::string(256, ' '), 20, 0, flag);
  OPNOLD("", 21, 0, flag);
  fs::current_path(previous);
  EXPECT_EQ(flag, -1);
  EXPECT_FALSE(IsConnected(20));
  EXPECT_FALSE(IsConnected(21));
  EXPECT_TRUE(DirectoryEmpty());
}

TEST_F(FileOpenTest, OpnoldIsSilentAndOnlyEverSetsItsFlag) {
  const std::string missing = Path("histogram");
  UnitCapture capture(kMessageUnit);
  int flag = 0;
  OPNOLD(missing, 21, 1, flag);
  EXPECT_EQ(flag, -1);
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_FALSE(IsConnected(21));

  // Mode 0 creates the file; the flag set by the earlier failure stays.
  OPNOLD(missing, 21, 0, flag);
  EXPECT_EQ(flag, -1);
  EXPECT_TRUE(fs::exists(missing));
  EXPECT_TRUE(IsConnected(21));

  flag = 0;
  OPNOLD(missing, 22, 1, flag);
  EXPECT_EQ(flag, 0);
  OPNOLD(missing, 100, 1, flag);
  EXPECT_EQ(flag, -1);
  EXPECT_EQ(capture.Text(), "");
}

TEST_F(FileOpenTest, OpnoldCutsTrailingBlanksAndOpensASequentialTextFile) {
  const std::string name = Path("curve.sn");
  WriteFile(name, "first line\n");
  std::string padded = name;
  padded.resize(kTextLength, ' ');
  int flag = 0;
  OPNOLD(padded, 22, 1, flag);
  ASSERT_EQ(flag, 0);
  const Connection* connection = UnitConnection(22);
  ASSERT_NE(connection, nullptr);
  EXPECT_EQ(connection->access, Access::kSequential);
  EXPECT_EQ(connection->form, Form::kFormatted);
  EXPECT_EQ(connection->blank, BlankMode::kNull);
  std::array<char, kTextLength> line{};
  ASSERT_EQ(ReadLine(22, line), IoStatus::kOk);
  EXPECT_EQ(std::string(line.data(), 10), "first line");

  // A negative mode repeats the previous choice: here "must exist".
  OPNOLD(Path("nowhere"), 23, -1, flag);
  EXPECT_EQ(flag, -1);
  EXPECT_FALSE(fs::exists(Path("nowhere")));
}

TEST_F(FileOpenTest, ReadOnlyFileOpensOnlyWhenItMustExistAndUnreadableFileFails) {
  const std::string readable = Path("readonly");
  const std::string unreadable = Path("secret");
  WriteFile(readable, "line of a read-only file\n");
  WriteFile(unreadable, "x\n");
  fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  fs::permissions(readable, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(unreadable, fs::perms::none);

  // Checked in a child without the right to write everything, as an ordinary user runs it.
  EXPECT_EQ(RunUnprivileged([&] {
              int flag = 0;
              OPNOLD(readable, 21, 1, flag);
              if (flag != 0) return 1;
              std::array<char, 40> line{};
              if (ReadLine(21, line) != IoStatus::kOk) return 2;
              if (std::string(line.data(), 24) != "line of a read-only file") return 3;
              OPNOLD(readable, 22, 0, flag);  // opened or created, so to be written: refused
              if (flag != -1 || IsConnected(22)) return 4;
              int status = 0;
              OPNFIL(readable, 23, 3, 0, 1, 0, 0, 0, -1, status);
              if (status != -EEXIST) return 5;
              OPNFIL(unreadable, 24, 2, 0, 1, 0, 0, 0, -1, status);
              if (status != -EACCES) return 6;
              return 0;
            }),
            0);
  EXPECT_EQ(ReadFile(readable), "line of a read-only file\n");
}

}  // namespace
}  // namespace qartwo
