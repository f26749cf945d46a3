// Runs the built qartwo program in a temporary directory with given console input.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/testing/temporary_directory.h"
#include "tests/testing/test_data.h"

namespace qartwo::testing {

struct ProgramRun {
  int exit_status = -1;     // 124: stopped after the time limit (the program never returns it)
  std::string console;      // standard output
  std::string diagnostics;  // standard error
};

// A fresh temporary directory holding the worked example as hist.txt and curve.txt, removed
// with everything in it when the object goes. Names are inside it unless absolute.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    Write("hist.txt", ReadTestFile("data/example_histogram.txt"));
    Write("curve.txt", ReadTestFile("data/example_sn_curve.txt"));
  }

  std::string PathOf(const std::string& name) const {
    return name.starts_with('/') ? name : path_ + "/" + name;
  }
  void Write(const std::string& name, const std::string& content) const {
    std::ofstream(PathOf(name), std::ios::binary) << content;
  }
  std::string Read(const std::string& name) const {  // empty when missing
    return ReadWholeFile(PathOf(name));
  }
  int Entries() const {  // files and folders in the directory
    const std::filesystem::directory_iterator entries(path_);
    return static_cast<int>(std::distance(begin(entries), end(entries)));
  }

  // Runs qartwo here with `input` on its standard input, after the shell command `shell`
  // (e.g. "ulimit -f 1"), with the shell words `after` behind its own redirections: arguments
  // (e.g. "--help") or more redirections (e.g. ">&-"), and the words `wrapper` before it (a
  // program that starts it, e.g. strace). A run still going after 30 s, or writing a file
  // beyond 25 MB, is stopped so that a run that spins fails a test.
  ProgramRun Run(const std::string& input, const std::string& shell = "",
                 const std::string& after = "", const std::string& wrapper = "") const {
    const std::string io = path_ + ".io";  // outside the directory, so not among its entries
    Write(io + "0", input);
    const std::string command = "cd '" + path_ + "' && ulimit -f 50000 && " +
                                (shell.empty() ? "" : shell + " && ") + "timeout 30 " + wrapper +
                                " " + QARTWO_BINARY + " <'" + io + "0' >'" + io + "1' 2>'" + io +
                                "2' " + after;
    const int raw = std::system(command.c_str());
    ProgramRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Read(io + "1"), Read(io + "2")};
    for (const char* n : {"0", "1", "2"}) std::filesystem::remove(io + n);
    return run;
  }

 private:
  TemporaryDirectory directory_{"qartwo_e2e_"};
  std::string path_ = directory_.path().string();
};

// The console's last " Computed Damage per Year" line, empty when there is none.
inline std::string DamageLine(const std::string& console) {
  const std::size_t at = console.rfind(" Computed Damage per Year");
  return at == std::string::npos ? "" : console.substr(at, console.find('\n', at) - at);
}

}  // namespace qartwo::testing
