#include "support/terminal/name_completion.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/testing/temporary_directory.h"

namespace qartwo {
namespace {

namespace fs = std::filesystem;

// A single folder gets its '/'; hidden names only when typed so; "~/" is no home folder, as
// for the open, and a folder that cannot be read has no names.
TEST(CompleteName, FindsTheNamesThatContinueTheTypedPath) {
  struct Row {
    std::string typed;
    int count;
    std::string addition = "", listed = "";  // listed: the kept names sorted, each and a blank
  };
  // clang-format off
  const Row rows[] = {
      {.typed = "hi", .count = 2, .addition = "st", .listed = "hist.txt history.dat "},
      {.typed = "", .count = 4, .listed = "curve one.txt folder/ hist.txt history.dat "},
      {.typed = "fo", .count = 1, .addition = "lder/", .listed = "folder/ "},
      {.typed = ".h", .count = 1, .addition = "idden", .listed = ".hidden "},
      {.typed = "folder/in", .count = 1, .addition = "ner", .listed = "inner "},
      {.typed = "~/folder/in", .count = 0}};  // no folder "~" here; $HOME is not looked at
  // clang-format on
  const testing::TemporaryDirectory folder("qartwo_names_");
  fs::create_directories(folder.path() / "folder");
  for (const char* name : {"hist.txt", "history.dat", "curve one.txt", ".hidden", "folder/inner"})
    std::ofstream(folder.path() / name) << "x\n";
  const fs::path previous = fs::current_path();
  fs::current_path(folder.path());
  const std::string home = getenv("HOME") == nullptr ? "" : getenv("HOME");
  setenv("HOME", folder.path().c_str(), 1);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed + ";");
    static NameCompletion found;
    CompleteName(row.typed, found);
    EXPECT_EQ(found.count, row.count);
    EXPECT_EQ(std::string(Addition(found)) + ";", row.addition + ";");
    std::string listed;
    for (int i = 0; i < found.kept; ++i) listed += std::string(found.names[i]) + " ";
    EXPECT_EQ(listed, row.listed);
  }
  setenv("HOME", home.c_str(), 1);
  fs::current_path(previous);
}

}  // namespace
}  // namespace qartwo
