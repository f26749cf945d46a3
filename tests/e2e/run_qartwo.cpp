#include "tests/e2e/run_qartwo.h"

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/testing/test_data.h"

namespace qartwo::testing {

namespace fs = std::filesystem;

ScratchDirectory::ScratchDirectory() {
  std::string pattern = (fs::temp_directory_path() / "qartwo_e2e_XXXXXX").string();
  path_ = mkdtemp(pattern.data());
  Write("hist.txt", ReadTestFile("data/example_histogram.txt"));
  Write("curve.txt", ReadTestFile("data/example_sn_curve.txt"));
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void ScratchDirectory::Write(const std::string& name, const std::string& content) const {
  std::ofstream(name.starts_with('/') ? name : PathOf(name), std::ios::binary) << content;
}

std::string ScratchDirectory::Read(const std::string& name) const {
  std::ifstream file(name.starts_with('/') ? name : PathOf(name), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

int ScratchDirectory::Entries() const {
  return static_cast<int>(std::distance(fs::directory_iterator(path_), fs::directory_iterator()));
}

ProgramRun ScratchDirectory::Run(const std::string& input) const {
  const std::string io = path_ + ".io";  // outside the directory, so not among its entries
  Write(io + "0", input);
  const std::string command = "cd '" + path_ + "' && ulimit -f 50000 && timeout 30 " +
                              QARTWO_BINARY + " <'" + io + "0' >'" + io + "1' 2>'" + io + "2'";
  const int raw = std::system(command.c_str());
  ProgramRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Read(io + "1"), Read(io + "2")};
  for (const char* n : {"0", "1", "2"}) fs::remove(io + n);
  return run;
}

std::string DamageLine(const std::string& console) {
  const std::size_t at = console.rfind(" Computed Damage per Year");
  return at == std::string::npos ? "" : console.substr(at, console.find('\n', at) - at);
}

}  // namespace qartwo::testing
