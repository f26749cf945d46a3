#include "tests/e2e/run_qartwo.h"

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace qartwo::testing {

namespace fs = std::filesystem;

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void Spit(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
}

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

}  // namespace

ScratchDirectory::ScratchDirectory() {
  std::string pattern = (fs::temp_directory_path() / "qartwo_e2e_XXXXXX").string();
  path_ = mkdtemp(pattern.data());
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void ScratchDirectory::Write(const std::string& name, const std::string& content) const {
  Spit(PathOf(name), content);
}

void ScratchDirectory::CopyData(const std::string& data_name, const std::string& name) const {
  Write(name, ReadTestFile("data/" + data_name));
}

bool ScratchDirectory::Exists(const std::string& name) const {
  return fs::exists(PathOf(name));
}

std::string ScratchDirectory::Read(const std::string& name) const {
  return Slurp(PathOf(name));
}

namespace {

// Runs `launcher` followed by the program, as RunProgram describes.
ProgramRun Run(const ScratchDirectory& directory, const std::string& input,
               const std::string& launcher) {
  const std::string input_path = directory.path() + "/.console_input";
  const std::string out_path = directory.path() + "/.console_output";
  const std::string err_path = directory.path() + "/.console_errors";
  Spit(input_path, input);
  const std::string command = "cd " + Quoted(directory.path()) + " && " + launcher + QARTWO_BINARY +
                              " < " + Quoted(input_path) + " > " + Quoted(out_path) + " 2> " +
                              Quoted(err_path);
  const int raw = std::system(command.c_str());
  ProgramRun run;
  run.exit_status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.console = Slurp(out_path);
  run.diagnostics = Slurp(err_path);
  fs::remove(input_path);
  fs::remove(out_path);
  fs::remove(err_path);
  return run;
}

}  // namespace

ProgramRun RunProgram(const ScratchDirectory& directory, const std::string& input) {
  return Run(directory, input, "");
}

ProgramRun RunProgramWithTimeLimit(const ScratchDirectory& directory, const std::string& input,
                                   int seconds) {
  return Run(directory, input, "timeout " + std::to_string(seconds) + " ");
}

std::string ReadTestFile(const std::string& relative_path) {
  return Slurp(std::string(QARTWO_SOURCE_DIR) + "/tests/" + relative_path);
}

std::string CompareWithGolden(const std::string& name, const std::string& actual) {
  const std::string path = std::string(QARTWO_SOURCE_DIR) + "/tests/golden/" + name;
  const char* update = std::getenv("QARTWO_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    Spit(path, actual);
    return "";
  }
  if (!fs::exists(path)) return "golden file " + path + " is missing";
  const std::string expected = Slurp(path);
  if (expected == actual) return "";
  return "differs from " + path + "\n--- expected\n" + expected + "\n--- actual\n" + actual;
}

std::string ReportWithStampMasked(const std::string& report) {
  const std::size_t end = report.find('\n');
  if (end == std::string::npos) return "";
  static const std::regex kStamp(R"( Date : \d{4}-\d\d-\d\d \d\d:\d\d:\d\d)");
  if (!std::regex_match(report.substr(0, end), kStamp)) return "";
  return " Date : <stamp>" + report.substr(end);
}

}  // namespace qartwo::testing
