// Runs the built qartwo program in a temporary directory with given console input.
#pragma once

#include <string>

namespace qartwo::testing {

struct ProgramRun {
  int exit_status = -1;     // 124: stopped after the time limit (the program never returns it)
  std::string console;      // standard output
  std::string diagnostics;  // standard error
};

// A fresh temporary directory holding the worked example as hist.txt and curve.txt, removed
// with everything in it when the object goes.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  std::string PathOf(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const std::string& content) const;
  std::string Read(const std::string& name) const;  // empty when missing
  int Entries() const;                              // files and folders in the directory

  // Runs qartwo here with `input` on its standard input. A run still going after 30 s, or
  // writing a file beyond 25 MB, is stopped so that a run that spins fails a test.
  ProgramRun Run(const std::string& input) const;

 private:
  std::string path_;
};

// The console's last " Computed Damage per Year" line, empty when there is none.
std::string DamageLine(const std::string& console);

}  // namespace qartwo::testing
