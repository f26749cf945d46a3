#include "support/name_completion.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace qartwo {
namespace {

namespace fs = std::filesystem;

TEST(CompleteName, FindsTheNamesThatContinueTheTypedPath) {
  struct Row {
    std::string typed;
    int count;
    std::string addition;
    std::string listed = "";  // the kept names, sorted, each followed by a blank
  };
  const Row rows[] = {
      {.typed = "hi", .count = 2, .addition = "st", .listed = "hist.txt history.dat "},
      {.typed = "hist.", .count = 1, .addition = "txt"},
      {.typed = "fo", .count = 1, .addition = "lder/"},  // a single folder gets its '/'
      {.typed = "folder", .count = 1, .addition = "/"},
      {.typed = "curve o", .count = 1, .addition = "ne.txt"},  // blanks belong to the name
      {.typed = "",
       .count = 4,
       .addition = "",
       .listed = "curve one.txt folder/ hist.txt history.dat "},
      {.typed = ".h", .count = 1, .addition = "idden"},  // hidden names only when typed so
      {.typed = "folder/", .count = 1, .addition = "inner.txt"},
      {.typed = "~/folder/in", .count = 1, .addition = "ner.txt"},
      {.typed = "no_such_folder/x", .count = 0, .addition = ""},
      {.typed = "x", .count = 0, .addition = ""},
  };
  const fs::path previous = fs::current_path();
  const fs::path folder = fs::temp_directory_path() / ("qartwo_names_" + std::to_string(getpid()));
  fs::create_directories(folder / "folder");
  for (const char* name :
       {"hist.txt", "history.dat", "curve one.txt", ".hidden", "folder/inner.txt"}) {
    std::ofstream(folder / name) << "x\n";
  }
  fs::current_path(folder);
  const std::string home = getenv("HOME") == nullptr ? "" : getenv("HOME");
  setenv("HOME", folder.c_str(), 1);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed + ";");
    static NameCompletion found;
    CompleteName(row.typed, found);
    EXPECT_EQ(found.count, row.count);
    EXPECT_EQ(std::string(Addition(found)) + ";", row.addition + ";");
    std::string listed;
    for (int i = 0; i < found.kept; ++i) listed += std::string(found.names[i]) + " ";
    if (row.count > 1) {
      EXPECT_EQ(listed, row.listed);
    }
  }
  setenv("HOME", home.c_str(), 1);
  fs::current_path(previous);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace qartwo
