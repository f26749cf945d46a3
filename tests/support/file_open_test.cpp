#include "support/file_open.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/units.h"
#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

namespace fs = std::filesystem;
using testing::UnitCapture;

constexpr int kMessageUnit = kConsoleOutput;

// `value` right-aligned in `width` characters.
std::string Field(int value, std::size_t width) {
  const std::string text = std::to_string(value);
  return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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
    fs::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

// Refused arguments touch nothing; the message goes only to a message unit above 0.
TEST_F(FileOpenTest, RefusedUnitOrRecordLengthOpensNothing) {
  struct Row {
    int unit, record_length, status;
    std::string message;
  };
  const Row rows[] = {
      {0, 1, kOpenBadUnit, "    0\n     ILLEGAL FILE UNIT\n"},
      {100, 1, kOpenBadUnit, "  100\n     ILLEGAL FILE UNIT\n"},
      {12, 0, kOpenBadRecordLength, "   12\n     ILLEGAL RECORD LENGTH =    0\n"},
      {12, -123456, kOpenBadRecordLength, "   12\n     ILLEGAL RECORD LENGTH =*****\n"},
  };
  for (const Row& row : rows) {
    for (const int message_unit : {kMessageUnit, 0}) {
      UnitCapture capture(message_unit);
      int status = 0;
      OPNFIL(Path("refused"), row.unit, 0, 20, 1, 0, row.record_length, 1, message_unit, status);
      EXPECT_EQ(status, row.status) << row.unit << " " << row.record_length;
      EXPECT_EQ(capture.Text(), message_unit > 0
                                    ? "\n\n\n *** ERROR DURING OPENING OF FILE UNIT" + row.message
                                    : "")
          << row.unit << " " << row.record_length << " message unit " << message_unit;
      EXPECT_TRUE(fs::is_empty(dir_));
    }
  }
}

// The confirmation shows the name as given and the characteristics the option codes chose;
// a scratch file ignores its name. Opening never cuts an existing file.
TEST_F(FileOpenTest, OptionCodesChooseTheConnectionAndItsDescription) {
  struct Row {
    int unit, status_code, access_code, form_code, blank_code, record_length;
    std::string status, access, form, length, blank;
    std::size_t record_bytes;
  };
  const Row rows[] = {
      {1, 3, 0, 1, 0, 0, "NEW    ", "SEQUENTIAL", "FORMATTED  ", "    0", "NULL", 0},
      {99, 4, 0, 0, 1, 0, "SCRATCH", "SEQUENTIAL", "FORMATTED  ", "    0", "ZERO", 0},
      {31, 0, 10, 2, 0, -5, "UNKNOWN", "SEQUENTIAL", "UNFORMATTED", "    0", "", 0},
      // Direct: the length in words, times 4 for a formatted record; code 30 is 128 words.
      {31, 2, 20, 1, 0, 32, "OLD    ", "DIRECT    ", "FORMATTED  ", "  128", "NULL", 128},
      {31, 0, 20, 0, 1, 5, "UNKNOWN", "DIRECT    ", "UNFORMATTED", "    5", "", 20},
      {31, 5, 30, 1, 1, -5, "UNKNOWN", "DIRECT    ", "FORMATTED  ", "  128", "ZERO", 128},
      {31, 2, 30, 2, 0, 7, "OLD    ", "DIRECT    ", "UNFORMATTED", "  128", "", 512},
  };
  for (const Row& row : rows) {
    const std::string name = Path("file" + std::to_string(&row - rows));
    const std::string label = name + " status " + row.status + " access " + row.access;
    if (row.status_code == kStatusCodeOld) std::ofstream(name) << "kept\n";
    UnitCapture capture(kMessageUnit);
    int status = 1;
    OPNFIL(name + "  ", row.unit, row.status_code, row.access_code, row.form_code, row.blank_code,
           row.record_length, 1, kMessageUnit, status);
    ASSERT_EQ(status, 0) << label;
    const std::string heading = row.status_code == kStatusCodeScratch
                                    ? "     A SCRATCH FILE IS OPENED ON UNIT NO."
                                    : "     FILE  " + name + "  \n     IS OPENED ON UNIT NO.";
    EXPECT_EQ(capture.Text(),
              "\n\n\n" + heading + Field(row.unit, 4) +
                  "\n     FILE CHARACTERISTICS :\n          STATUS =" + row.status +
                  "\n          ACCESS =" + row.access + "\n          FORM   =" + row.form +
                  "\n          LENGTH =" + row.length + " WORDS/BYTES PER RECORD (SECTOR)\n" +
                  (row.blank.empty() ? "" : "          BLANK  =" + row.blank + "\n"))
        << label;
    EXPECT_EQ(ReadFile(name), row.status_code == kStatusCodeOld ? "kept\n" : "") << label;
    EXPECT_EQ(fs::exists(name), row.status_code != kStatusCodeScratch) << label;
    const Connection* connection = UnitConnection(row.unit);
    ASSERT_NE(connection, nullptr) << label;
    EXPECT_EQ(connection->record_bytes, row.record_bytes) << label;
    EXPECT_EQ(connection->replace_on_first_write, row.access == "SEQUENTIAL") << label;
    EXPECT_EQ(CloseUnit(row.unit), IoStatus::kOk) << label;
  }
}

// OLD needs the file, NEW needs it absent, other codes take either; a name that opens no
// file fails with the system's error number. Failures are reported whatever the print
// switch, to a message unit above 0; a success is confirmed only with the print switch.
TEST_F(FileOpenTest, FailedOpenGivesTheSystemErrorNumber) {
  const std::string existing = Path("existing"), missing = Path("missing");
  std::ofstream(existing) << "kept\n";
  fs::create_directory(Path("dir"));
  struct Row {
    std::string name;
    int status_code, print_switch, message_unit, status;
  };
  const Row rows[] = {
      {existing, 2, 0, kMessageUnit, 0},
      {existing, 5, 1, 0, 0},
      {missing, 2, 1, kMessageUnit, -ENOENT},
      {missing, 2, 1, 0, -ENOENT},
      {existing, 3, 0, kMessageUnit, -EEXIST},
      {Path("dir"), 2, 1, kMessageUnit, -EISDIR},
      {"          ", 0, 1, kMessageUnit, -ENOENT},
      {Path("with") + std::string(1, '\0') + "nul", 0, 1, kMessageUnit, -EINVAL},
      {Path(std::string(5000, 'x')), 0, 1, kMessageUnit, -ENAMETOOLONG},
  };
  for (const Row& row : rows) {
    const std::string label = "[" + row.name.substr(0, 80) + "] status code " +
                              std::to_string(row.status_code) + " message unit " +
                              std::to_string(row.message_unit);
    UnitCapture capture(row.message_unit);
    int status = 1;
    OPNFIL(row.name, 31, row.status_code, 0, 1, 0, 0, row.print_switch, row.message_unit, status);
    EXPECT_EQ(status, row.status) << label;
    EXPECT_EQ(capture.Text(), row.status == 0 || row.message_unit == 0
                                  ? ""
                                  : "\n\n\n *** ERROR DURING OPENING OF FILE UNIT   31\n"
                                    "     ERROR CODE =" +
                                        Field(-row.status, 5) + "  (SYSTEM PARAMETER)\n")
        << label;
    EXPECT_EQ(IsConnected(31), row.status == 0) << label;
    CloseUnit(31);
  }
  EXPECT_EQ(ReadFile(existing), "kept\n");
  EXPECT_FALSE(fs::exists(missing));
}

// OPNOLD never writes a message. Mode > 0: the file must exist; 0: opened or created;
// < 0: as the call before. A file opened but not written keeps its content; the first
// record written replaces it. Opening a unit closes its former file, also when the open fails.
TEST_F(FileOpenTest, OpnoldOpensSilentlyAndReplacesAFileOnlyWhenWriting) {
  const std::string report = Path("report"), missing = Path("missing");
  std::ofstream(report) << "old one\nold two\n";
  UnitCapture capture(kMessageUnit);
  int flag = 0;
  std::string padded = report;
  padded.resize(kTextLength, ' ');
  OPNOLD(padded, 20, 1, flag);
  std::array<char, kTextLength> line{};
  ASSERT_EQ(ReadLine(20, line), IoStatus::kOk);  // sequential formatted
  EXPECT_EQ(std::string(line.data(), 8), "old one ");
  OPNOLD(missing, 21, -1, flag);
  EXPECT_EQ(flag, -1);
  EXPECT_FALSE(IsConnected(21));
  EXPECT_FALSE(fs::exists(missing));
  OPNOLD(missing, 21, 0, flag);  // created; the flag is only ever set
  EXPECT_EQ(flag, -1);
  EXPECT_TRUE(IsConnected(21));
  flag = 0;
  OPNOLD(report, 20, 0, flag);
  EXPECT_EQ(ReadFile(report), "old one\nold two\n");
  ASSERT_EQ(WriteLine(20, "new"), IoStatus::kOk);
  OPNOLD(Path("absent"), 20, 1, flag);
  EXPECT_FALSE(IsConnected(20));
  EXPECT_EQ(ReadFile(report), "new\n");
  EXPECT_EQ(flag, -1);
  flag = 0;
  OPNOLD(report, 100, 1, flag);
  EXPECT_EQ(flag, -1);
  EXPECT_EQ(capture.Text(), "");
}

// A file that must exist is only read, so a read-only one still opens; a file that may be
// created is to be written, so a read-only one is refused. Checked in a child process without
// root's right to write anything.
TEST_F(FileOpenTest, ReadOnlyFileOpensOnlyWhenItMustExist) {
  const std::string readable = Path("readonly"), unreadable = Path("secret");
  std::ofstream(readable) << "read-only line\n";
  std::ofstream(unreadable) << "x\n";
  fs::permissions(dir_, fs::perms::owner_all | fs::perms::others_exec);
  fs::permissions(readable, fs::perms::owner_read | fs::perms::others_read);
  fs::permissions(unreadable, fs::perms::none);
  const pid_t child = fork();
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(99);
    int flag = 0;
    OPNOLD(readable, 21, 1, flag);
    std::array<char, 14> line{};
    if (flag != 0 || ReadLine(21, line) != IoStatus::kOk) _exit(1);
    if (std::string(line.data(), line.size()) != "read-only line") _exit(2);
    OPNOLD(readable, 22, 0, flag);
    if (flag != -1 || IsConnected(22)) _exit(3);
    int status = 0;
    OPNFIL(unreadable, 24, 2, 0, 1, 0, 0, 0, -1, status);
    _exit(status == -EACCES ? 0 : 4);
  }
  int wait_status = -1;
  ASSERT_EQ(waitpid(child, &wait_status, 0), child);
  EXPECT_TRUE(WIFEXITED(wait_status));
  EXPECT_EQ(WEXITSTATUS(wait_status), 0);
  EXPECT_EQ(ReadFile(readable), "read-only line\n");
}

}  // namespace
}  // namespace qartwo
