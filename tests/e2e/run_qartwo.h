// Runs the built qartwo program in a temporary directory with given console input, and
// compares what it wrote with golden files under tests/golden/.
#pragma once

#include <string>

namespace qartwo::testing {

struct ProgramRun {
  int exit_status = -1;
  std::string console;      // standard output
  std::string diagnostics;  // standard error
};

// A fresh temporary directory, removed with everything in it when the object goes.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& path() const { return path_; }
  std::string PathOf(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const std::string& content) const;
  // Copies tests/data/<data_name> into the directory as `name`.
  void CopyData(const std::string& data_name, const std::string& name) const;
  bool Exists(const std::string& name) const;
  std::string Read(const std::string& name) const;

 private:
  std::string path_;
};

// Runs qartwo in `directory` with `input` on its standard input.
ProgramRun RunProgram(const ScratchDirectory& directory, const std::string& input);

// As RunProgram, but a run still going after `seconds` is stopped and has exit status 124
// (which the program itself never returns), so that a run that spins fails a test instead of
// hanging it.
ProgramRun RunProgramWithTimeLimit(const ScratchDirectory& directory, const std::string& input,
                                   int seconds);

// The content of tests/<relative_path>.
std::string ReadTestFile(const std::string& relative_path);

// Compares `actual` with tests/golden/<name>; with QARTWO_UPDATE_GOLDEN=1 in the environment
// the golden file is written instead. Returns an empty string on a match, else a message.
std::string CompareWithGolden(const std::string& name, const std::string& actual);

// The report with its first line checked as a date stamp and replaced by " Date : <stamp>";
// an empty string when the first line is not a stamp of the form " Date : YYYY-MM-DD hh:mm:ss".
std::string ReportWithStampMasked(const std::string& report);

}  // namespace qartwo::testing
