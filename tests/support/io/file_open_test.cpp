#include "support/io/file_open.h"

#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/io/line_reader.h"
#include "support/io/units.h"
#include "tests/testing/temporary_directory.h"
#include "tests/testing/test_data.h"
#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

namespace fs = std::filesystem;
using testing::UnitCapture;

constexpr int kMessageUnit = kConsoleOutput;

// `value` right-aligned in `width` characters.
std::string Field(int value, std::size_t width) {
  return std::string(width - std::to_string(value).size(), ' ') + std::to_string(value);
}

// A relative name can only land in the test's own directory.
class FileOpenTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::current_path(dir_.path()); }
  void TearDown() override {
    static_cast<void>(CloseAllUnits());
    ConnectConsoleUnits();
    fs::current_path(previous_);
  }
  testing::TemporaryDirectory dir_{"qartwo_open_"};
  fs::path previous_ = fs::current_path();
};

// Refused arguments touch nothing; a failed open gives minus the system's error number. A
// failure is reported whatever the print switch, a success only with it, and either only to
// a message unit above 0. Names are relative to the test's directory.
TEST_F(FileOpenTest, MessagesTellWhyAnOpenFailed) {
  std::ofstream("existing") << "kept\n";
  fs::create_directory("dir");
  const std::string bad_unit = "     ILLEGAL FILE UNIT",
                    bad_length = "     ILLEGAL RECORD LENGTH =";
  const auto error = [](int code) {
    return "     ERROR CODE =" + Field(code, 5) + "  (SYSTEM PARAMETER)";
  };
  struct Row {
    std::string name = "missing";
    int unit = 31, status_code = 0, access_code = 0, record_length = 0, print_switch = 1;
    int message_unit = kMessageUnit, status;
    std::string message = "";  // after the line naming the unit
  };
  // clang-format off
  const Row rows[] = {
      {.unit = 0, .status = kOpenBadUnit, .message = bad_unit},
      {.unit = 100, .status = kOpenBadUnit, .message = bad_unit},
      {.unit = 12, .access_code = 20, .print_switch = 0, .status = kOpenBadRecordLength,
       .message = bad_length + "    0"},
      {.unit = 0, .message_unit = 0, .status = kOpenBadUnit},
      {.unit = 12, .access_code = 20, .message_unit = 0, .status = kOpenBadRecordLength},
      {.status_code = 2, .print_switch = 0, .status = -ENOENT, .message = error(ENOENT)},
      {.status_code = 2, .message_unit = 0, .status = -ENOENT},
      {.name = "existing", .status_code = 3, .status = -EEXIST, .message = error(EEXIST)},
      {.name = "existing", .status_code = 2, .print_switch = 0, .status = 0},
      {.name = "existing", .status_code = 5, .message_unit = 0, .status = 0},
      {.name = "dir", .status_code = 2, .status = -EISDIR, .message = error(EISDIR)},
      {.name = "          ", .status = -ENOENT, .message = error(ENOENT)},
      {.name = std::string("with\0nul", 8), .status = -EINVAL, .message = error(EINVAL)},
      {.name = std::string(5000, 'x'), .status = -ENAMETOOLONG, .message = error(ENAMETOOLONG)}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE("[" + row.name.substr(0, 80) + "] unit " + std::to_string(row.unit) +
                 " message unit " + std::to_string(row.message_unit));
    UnitCapture capture(row.message_unit);
    int status = 1;
    OPNFIL(row.name, row.unit, row.status_code, row.access_code, 1, 0, row.record_length,
           row.print_switch, row.message_unit, status);
    EXPECT_EQ(status, row.status);
    EXPECT_EQ(capture.Text(), row.message.empty()
                                  ? ""
                                  : "\n\n\n *** ERROR DURING OPENING OF FILE UNIT" +
                                        Field(row.unit, 5) + "\n" + row.message + "\n");
    EXPECT_EQ(IsConnected(31), row.status == 0);
    EXPECT_FALSE(IsConnected(12));
    static_cast<void>(CloseUnit(31));
  }
  EXPECT_EQ(testing::ReadWholeFile("existing"), "kept\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 2);
}

// The confirmation shows the name as given and the characteristics the option codes chose;
// a scratch file ignores its name.
TEST_F(FileOpenTest, OptionCodesChooseTheConnectionAndItsDescription) {
  struct Row {
    int unit = 31, status_code = 0, access_code = 0, form_code = 0, blank_code = 0, words = 0;
    // What they give: the words and length shown, the record length in bytes.
    std::string status = "UNKNOWN", access = "DIRECT    ", form = "FORMATTED  ", blank = "NULL";
    int length = 128, bytes = 128;
  };
  // Direct: the length in words, times 4 for a formatted record; code 30 is 128 words.
  // clang-format off
  const Row rows[] = {
      {.unit = 1, .status_code = 3, .access_code = 10, .form_code = 2, .words = -5,
       .status = "NEW    ", .access = "SEQUENTIAL", .form = "UNFORMATTED", .blank = "", .length = 0,
       .bytes = 0},
      {.unit = 99, .status_code = 4, .blank_code = 1, .status = "SCRATCH", .access = "SEQUENTIAL",
       .blank = "ZERO", .length = 0, .bytes = 0},
      {.status_code = 2, .access_code = 20, .form_code = 1, .words = 32, .status = "OLD    "},
      {.access_code = 20, .blank_code = 1, .words = 5, .form = "UNFORMATTED", .blank = "",
       .length = 5, .bytes = 20},
      {.status_code = 5, .access_code = 30, .form_code = 1, .blank_code = 1, .words = -5,
       .blank = "ZERO"}};
  // clang-format on
  for (const Row& row : rows) {
    const std::string name = "file" + std::to_string(&row - rows);
    SCOPED_TRACE(name + " " + row.status + " " + row.access + " " + row.form);
    if (row.status_code == kStatusCodeOld) std::ofstream(name) << "kept\n";
    UnitCapture capture(kMessageUnit);
    int status = 1;
    OPNFIL(name + "  ", row.unit, row.status_code, row.access_code, row.form_code, row.blank_code,
           row.words, 1, kMessageUnit, status);
    ASSERT_EQ(status, 0);
    const std::string heading = row.status_code == kStatusCodeScratch
                                    ? "     A SCRATCH FILE IS OPENED ON UNIT NO."
                                    : "     FILE  " + name + "  \n     IS OPENED ON UNIT NO.";
    EXPECT_EQ(capture.Text(),
              "\n\n\n" + heading + Field(row.unit, 4) +
                  "\n     FILE CHARACTERISTICS :\n          STATUS =" + row.status +
                  "\n          ACCESS =" + row.access + "\n          FORM   =" + row.form +
                  "\n          LENGTH =" + Field(row.length, 5) +
                  " WORDS/BYTES PER RECORD (SECTOR)\n" +
                  (row.blank.empty() ? "" : "          BLANK  =" + row.blank + "\n"));
    EXPECT_EQ(fs::exists(name), row.status_code != kStatusCodeScratch);
    const Connection* connection = UnitConnection(row.unit);
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(connection->record_bytes, static_cast<std::size_t>(row.bytes));
    EXPECT_EQ(connection->blank, row.blank == "ZERO" ? BlankMode::kZero : BlankMode::kNull);
    EXPECT_EQ(connection->replace_on_first_write, row.access == "SEQUENTIAL");
    EXPECT_EQ(CloseUnit(row.unit), IoStatus::kOk);
  }
}

// OPNOLD never writes a message. Mode > 0: the file must exist; 0: opened or created;
// < 0: as the call before; the error flag is only ever set. Opening a unit closes its former
// file, also when the open fails. (Files opened for the dialogue are checked by its runs.)
TEST_F(FileOpenTest, OpnoldRepeatsTheModeBeforeAndClosesTheFormerFile) {
  std::ofstream("report") << "old one\nold two\n";
  UnitCapture capture(kMessageUnit);
  int flag = 0;
  OPNOLD("report" + std::string(200, ' '), 20, 0, flag);
  ASSERT_EQ(WriteLine(20, "new"), IoStatus::kOk);
  OPNOLD("missing", 20, 1, flag);
  EXPECT_FALSE(IsConnected(20));
  EXPECT_EQ(testing::ReadWholeFile("report"), "new\n");
  EXPECT_EQ(flag, -1);
  flag = 0;
  OPNOLD("missing", 21, -1, flag);
  EXPECT_EQ(flag, -1);
  EXPECT_FALSE(IsConnected(21));
  OPNOLD("missing", 21, 0, flag);
  EXPECT_EQ(flag, -1);
  EXPECT_TRUE(IsConnected(21));
  flag = 0;
  OPNOLD("report", 100, 1, flag);
  EXPECT_EQ(flag, -1);
  EXPECT_EQ(capture.Text(), "");
}

// A file that must exist is only read, so a read-only one still opens; a file that may be
// created is to be written, so a read-only one is refused, and a write-only one opens (it is
// only written). Checked without root's right to read and write anything (a file system user
// of its own: root gives that right up for it).
TEST_F(FileOpenTest, AFileOpensWhenItsPermissionsAllowWhatItIsFor) {
  struct Row {
    fs::perms perms;
    int mode;  // OPNOLD's: 1 read, 0 write
    int flag;
    std::string after;  // the file's content after a line "new" is written to it
  };
  const Row rows[] = {{fs::perms{0444}, 1, 0, "old\n"},
                      {fs::perms{0444}, 0, -1, "old\n"},
                      {fs::perms{0222}, 0, 0, "new\n"},
                      {fs::perms{0222}, 1, -1, "old\n"}};
  fs::permissions(dir_.path(), fs::perms{0711});  // the group: root's still, when root runs
  for (const Row& row : rows) {
    SCOPED_TRACE("perms " + std::to_string(static_cast<int>(row.perms)) + " mode " +
                 std::to_string(row.mode));
    const std::string name = "file" + std::to_string(&row - rows);
    std::ofstream(name) << "old\n";
    fs::permissions(name, row.perms);
    const int former = setfsuid(geteuid() == 0 ? 65534 : geteuid());  // 65534: nobody
    int flag = 0;
    OPNOLD(name, 21, row.mode, flag);
    std::array<char, 3> line{};
    const IoStatus io = row.mode == 1 ? ReadLine(21, line) : WriteLine(21, "new");
    const IoStatus closed = CloseUnit(21);
    setfsuid(former);
    EXPECT_EQ(flag, row.flag);
    EXPECT_EQ(io == IoStatus::kOk && closed == IoStatus::kOk, row.flag == 0);
    EXPECT_EQ(testing::ReadWholeFile(name), row.after);
  }
}

}  // namespace
}  // namespace qartwo
