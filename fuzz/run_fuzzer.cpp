// Fuzzes one whole run. The input is split at the separator line "===" into the console
// answers, the cycle histogram file and the SN-curve file; the files are written as "h" and
// "c" into a scratch directory of the fuzzer's own, the run works in that directory with its
// answers on unit 5 and its output thrown away, and the directory is emptied before the next
// run. Answers are kept from naming files outside the directory (see KeepInside). The
// directory lies in memory (/dev/shm) where there is one: creating and removing the files of
// every run on a disk file system cost a third of the fuzzer's time.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/support/fuzz_units.h"
#include "run/assessment.h"
#include "support/io/units.h"

namespace {

constexpr std::string_view kSeparator = "\n===\n";
constexpr const char* kHistogramName = "h";
constexpr const char* kCurveName = "c";

std::string g_directory;

void Fail(const char* what) {
  std::perror(what);
  std::abort();
}

// Removes everything the previous run left in the scratch directory (the run creates files
// only, never folders).
void EmptyDirectory(const std::string& path) {
  DIR* directory = opendir(path.c_str());
  if (directory == nullptr) Fail("opendir");
  while (const dirent* entry = readdir(directory)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    unlinkat(dirfd(directory), entry->d_name, 0);
  }
  closedir(directory);
}

void RemoveDirectory() {
  if (g_directory.empty()) return;
  EmptyDirectory(g_directory);
  rmdir(g_directory.c_str());
}

void WriteFile(const char* name, std::string_view content) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) Fail("fopen");
  if (!content.empty() && std::fwrite(content.data(), 1, content.size(), file) != content.size()) {
    Fail("fwrite");
  }
  std::fclose(file);
}

// The part of `rest` before the first separator; `rest` becomes what follows it. `more` is
// false when there was no separator (the part is then the whole rest).
std::string_view NextPart(std::string_view& rest, bool& more) {
  const std::size_t at = rest.find(kSeparator);
  more = at != std::string_view::npos;
  const std::string_view part = rest.substr(0, at);
  rest = more ? rest.substr(at + kSeparator.size()) : std::string_view();
  return part;
}

// A file-name answer could name any file of the machine, and the report is opened for writing.
// No answer may start with "/" (an absolute name) or hold ".." (a way out of the directory):
// such characters become "_". The names then reach only the scratch directory.
void KeepInside(std::vector<char>& answers) {
  bool line_start = true;
  for (std::size_t i = 0; i < answers.size(); ++i) {
    char& c = answers[i];
    if (line_start && c == '/') c = '_';
    if (c == '.' && i > 0 && answers[i - 1] == '.') c = '_';
    line_start = c == '\n';
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char in_memory[] = "/dev/shm/qartwo_fuzz_run_XXXXXX";
  char on_disk[] = "/tmp/qartwo_fuzz_run_XXXXXX";
  char* pattern = mkdtemp(in_memory) != nullptr ? in_memory : on_disk;
  if (pattern == on_disk && mkdtemp(on_disk) == nullptr) Fail("mkdtemp");
  g_directory = pattern;
  std::atexit(RemoveDirectory);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qartwo;
  std::string_view rest = fuzzing::InputText(data, size);
  // A file is written only when its part is there, so that a missing file is tried too.
  bool has_histogram = false;
  bool has_curve = false;
  const std::string_view answer_part = NextPart(rest, has_histogram);
  const std::string_view histogram = NextPart(rest, has_curve);
  bool ignored = false;
  const std::string_view curve = NextPart(rest, ignored);
  std::vector<char> answers(answer_part.begin(), answer_part.end());
  KeepInside(answers);

  EmptyDirectory(g_directory);
  const int previous = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (previous < 0 || chdir(g_directory.c_str()) != 0) Fail("chdir");
  if (has_histogram) WriteFile(kHistogramName, histogram);
  if (has_curve) WriteFile(kCurveName, curve);

  if (!fuzzing::ConnectBytes(kConsoleInput, std::string_view(answers.data(), answers.size())) ||
      !fuzzing::ConnectDiscard(kConsoleOutput) || !fuzzing::ConnectDiscard(kDiagnosticOutput)) {
    Fail("connect");
  }
  const int status = RunAssessment();
  if (status < 0 || status > 2) std::abort();
  static_cast<void>(CloseAllUnits());

  if (fchdir(previous) != 0) Fail("fchdir");
  close(previous);
  return 0;
}
