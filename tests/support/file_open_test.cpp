#include "support/file_open.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

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
    previous_ = fs::current_path();
    fs::current_path(dir_);  // a relative name can only land in the test's own directory
  }
  void TearDown() override {
    CloseAllUnits();
    ConnectConsoleUnits();
    fs::current_path(previous_);
    fs::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  fs::path dir_, previous_;
};

// Rows {name, unit, status code, access code, record length, print switch, message unit,
// status, message}: refused arguments touch nothing; a failed open gives minus the system's
// error number. A failure is reported whatever the print switch, a success only with it, and
// either only to a message unit above 0.
TEST_F(FileOpenTest, MessagesTellWhyAnOpenFailed) {
  const std::string existing = Path("existing"), missing = Path("missing"), dir = Path("dir");
  std::ofstream(existing) << "kept\n";
  fs::create_directory(dir);
  const auto error = [](int code) {
    return "   31\n     ERROR CODE =" + Field(code, 5) + "  (SYSTEM PARAMETER)";
  };
  const std::string nul = Path("with") + std::string(1, '\0') + "nul";
  const std::string too_long = Path(std::string(5000, 'x'));
  const std::tuple<std::string, int, int, int, int, int, int, int, std::string> rows[] = {
      {missing, 0, 0, 20, 1, 1, kMessageUnit, kOpenBadUnit, "    0\n     ILLEGAL FILE UNIT"},
      {missing, 100, 0, 20, 1, 1, kMessageUnit, kOpenBadUnit, "  100\n     ILLEGAL FILE UNIT"},
      {missing, 12, 0, 20, 0, 0, kMessageUnit, kOpenBadRecordLength,
       "   12\n     ILLEGAL RECORD LENGTH =    0"},
      {missing, 12, 0, 20, -123456, 1, kMessageUnit, kOpenBadRecordLength,
       "   12\n     ILLEGAL RECORD LENGTH =*****"},
      {missing, 0, 0, 20, 1, 1, 0, kOpenBadUnit, ""},
      {missing, 12, 0, 20, 0, 1, 0, kOpenBadRecordLength, ""},
      {missing, 31, 2, 0, 0, 0, kMessageUnit, -ENOENT, error(ENOENT)},
      {missing, 31, 2, 0, 0, 1, 0, -ENOENT, ""},
      {existing, 31, 3, 0, 0, 0, kMessageUnit, -EEXIST, error(EEXIST)},
      {existing, 31, 2, 0, 0, 0, kMessageUnit, 0, ""},
      {existing, 31, 5, 0, 0, 1, 0, 0, ""},
      {dir, 31, 2, 0, 0, 1, kMessageUnit, -EISDIR, error(EISDIR)},
      {"          ", 31, 0, 0, 0, 1, kMessageUnit, -ENOENT, error(ENOENT)},
      {nul, 31, 0, 0, 0, 1, kMessageUnit, -EINVAL, error(EINVAL)},
      {too_long, 31, 0, 0, 0, 1, kMessageUnit, -ENAMETOOLONG, error(ENAMETOOLONG)},
  };
  for (const auto& [name, unit, status_code, access_code, record_length, print_switch, message_unit,
                    expected, message] : rows) {
    SCOPED_TRACE("[" + name.substr(0, 80) + "] unit " + std::to_string(unit) + " message unit " +
                 std::to_string(message_unit));
    UnitCapture capture(message_unit);
    int status = 1;
    OPNFIL(name, unit, status_code, access_code, 1, 0, record_length, print_switch, message_unit,
           status);
    EXPECT_EQ(status, expected);
    EXPECT_EQ(
        capture.Text(),
        message.empty() ? "" : "\n\n\n *** ERROR DURING OPENING OF FILE UNIT" + message + "\n");
    EXPECT_EQ(IsConnected(31), expected == 0);
    EXPECT_FALSE(IsConnected(12));
    CloseUnit(31);
  }
  EXPECT_EQ(ReadFile(existing), "kept\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

// The confirmation shows the name as given and the characteristics the option codes chose;
// a scratch file ignores its name.
TEST_F(FileOpenTest, OptionCodesChooseTheConnectionAndItsDescription) {
  // {unit, status, access, form and blank codes, record length} and what they give.
  const std::tuple<std::array<int, 6>, std::string, std::string, std::string, std::string,
                   std::string, std::size_t>
      rows[] = {
          {{1, 3, 0, 1, 0, 0}, "NEW    ", "SEQUENTIAL", "FORMATTED  ", "    0", "NULL", 0},
          {{99, 4, 0, 0, 1, 0}, "SCRATCH", "SEQUENTIAL", "FORMATTED  ", "    0", "ZERO", 0},
          {{31, 0, 10, 2, 0, -5}, "UNKNOWN", "SEQUENTIAL", "UNFORMATTED", "    0", "", 0},
          // Direct: the length in words, times 4 for a formatted record; code 30 is 128 words.
          {{31, 2, 20, 1, 0, 32}, "OLD    ", "DIRECT    ", "FORMATTED  ", "  128", "NULL", 128},
          {{31, 0, 20, 0, 1, 5}, "UNKNOWN", "DIRECT    ", "UNFORMATTED", "    5", "", 20},
          {{31, 5, 30, 1, 1, -5}, "UNKNOWN", "DIRECT    ", "FORMATTED  ", "  128", "ZERO", 128},
          {{31, 2, 30, 2, 0, 7}, "OLD    ", "DIRECT    ", "UNFORMATTED", "  128", "", 512},
      };
  int row = 0;
  for (const auto& [codes, status_word, access, form, length, blank, record_bytes] : rows) {
    const auto [unit, status_code, access_code, form_code, blank_code, record_length] = codes;
    const std::string name = Path("file" + std::to_string(++row));
    SCOPED_TRACE(name + " " + status_word + " " + access + " " + form);
    if (status_code == kStatusCodeOld) std::ofstream(name) << "kept\n";
    UnitCapture capture(kMessageUnit);
    int status = 1;
    OPNFIL(name + "  ", unit, status_code, access_code, form_code, blank_code, record_length, 1,
           kMessageUnit, status);
    ASSERT_EQ(status, 0);
    const std::string heading = status_code == kStatusCodeScratch
                                    ? "     A SCRATCH FILE IS OPENED ON UNIT NO."
                                    : "     FILE  " + name + "  \n     IS OPENED ON UNIT NO.";
    EXPECT_EQ(capture.Text(),
              "\n\n\n" + heading + Field(unit, 4) +
                  "\n     FILE CHARACTERISTICS :\n          STATUS =" + status_word +
                  "\n          ACCESS =" + access + "\n          FORM   =" + form +
                  "\n          LENGTH =" + length + " WORDS/BYTES PER RECORD (SECTOR)\n" +
                  (blank.empty() ? "" : "          BLANK  =" + blank + "\n"));
    EXPECT_EQ(fs::exists(name), status_code != kStatusCodeScratch);
    const Connection* connection = UnitConnection(unit);
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(connection->record_bytes, record_bytes);
    EXPECT_EQ(connection->blank, blank == "ZERO" ? BlankMode::kZero : BlankMode::kNull);
    EXPECT_EQ(connection->replace_on_first_write, access == "SEQUENTIAL");
    EXPECT_EQ(CloseUnit(unit), IoStatus::kOk);
  }
}

// OPNOLD never writes a message. Mode > 0: the file must exist; 0: opened or created;
// < 0: as the call before. A file opened but not written keeps its content; the first
// record written replaces it. Opening a unit closes its former file, also when the open fails.
TEST_F(FileOpenTest, OpnoldOpensSilentlyAndReplacesAFileOnlyWhenWriting) {
  const std::string report = Path("report"), missing = Path("missing");
  std::ofstream(report) << "old one\nold two\n";
  UnitCapture capture(kMessageUnit);
  int flag = 0;
  OPNOLD(report + std::string(200, ' '), 20, 1, flag);
  std::array<char, kTextLength> line{};
  ASSERT_EQ(ReadLine(20, line), IoStatus::kOk);  // sequential formatted
  EXPECT_EQ(std::string(line.data(), 8), "old one ");
  OPNOLD(missing, 21, -1, flag);
  EXPECT_EQ(flag, -1);
  EXPECT_FALSE(IsConnected(21));
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
