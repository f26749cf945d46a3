#include "support/terminal/line_editor.h"

#ifdef QARTWO_LINE_EDITING
#ifndef QARTWO_LINE_EDITING_LINKED
#include <dlfcn.h>
#endif
#include <histedit.h>
#include <langinfo.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <clocale>
#include <cstdio>
#include <span>
#include <string_view>

#include "support/io/interrupt.h"
#include "support/io/line_reader.h"
#include "support/io/units.h"
#include "support/terminal/name_completion.h"
#include "support/text/fields.h"
#include "support/text/fixed_text.h"
#endif

namespace qartwo {

#ifndef QARTWO_LINE_EDITING

bool StartLineEditor() {
  return false;
}
void StopLineEditor() {}
void CompleteFileNames(bool) {}

#else

namespace {

// The terminal's settings before editing; a signal handler may read them at any moment.
struct termios g_saved_terminal {};
volatile sig_atomic_t g_terminal_saved = 0;

// The settings in force when a signal came, to go on editing after a stop.
struct termios g_editing_terminal {};
volatile sig_atomic_t g_editing_kept = 0;

// Puts back the terminal settings from before StartLineEditor, keeping the editor's for
// ResumeTerminalAfterStop. Registered with the signal handlers: async-signal-safe.
void RestoreTerminalAfterSignal() {
  if (g_terminal_saved == 0) return;
  g_editing_kept = tcgetattr(STDIN_FILENO, &g_editing_terminal) == 0 ? 1 : 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &g_saved_terminal);
}

// Gives the terminal the editor's settings back that RestoreTerminalAfterSignal kept, for a
// run that was stopped and goes on. Async-signal-safe.
void ResumeTerminalAfterStop() {
  if (g_terminal_saved != 0 && g_editing_kept != 0) {
    tcsetattr(STDIN_FILENO, TCSANOW, &g_editing_terminal);
  }
}

// Loaded only at a terminal, so that runs without one start as fast as without libedit.
constexpr const char* kLibrary = "libedit.so.2";
constexpr int kHistorySize = 100;
constexpr std::size_t kPromptRoom = 128;
constexpr unsigned short kDefaultWidth = 80;

// The libedit functions the editor calls, found when the library is loaded.
struct EditFunctions {
  decltype(&::el_init) init = nullptr;
  decltype(&::el_end) end = nullptr;
  decltype(&::el_set) set = nullptr;
  decltype(&::el_wset) wide_set = nullptr;
  decltype(&::el_gets) gets = nullptr;
  decltype(&::el_line) line = nullptr;
  decltype(&::el_insertstr) insert = nullptr;
  decltype(&::history_init) history_init = nullptr;
  decltype(&::history_end) history_end = nullptr;
  decltype(&::history) history = nullptr;
};

struct Editor {
  void* library = nullptr;
  EditFunctions call;
  EditLine* line = nullptr;
  History* history = nullptr;
  bool complete_files = false;
  std::array<char, kPromptRoom + 1> prompt{};  // NUL-terminated for libedit
  std::array<char, kTextLength + 1> entry{};   // an answer on its way into the history
};

Editor g_editor;
NameCompletion g_found;

#ifndef QARTWO_LINE_EDITING_LINKED
template <typename Function>
bool Find(Function& function, const char* name) {
  function = reinterpret_cast<Function>(dlsym(g_editor.library, name));
  return function != nullptr;
}
#endif

// Finds libedit's functions: linked into a static program, or loaded, when the program is
// dynamic, only now that a terminal needs them (it stays loaded for the rest of the run).
bool LoadLibrary() {
#ifdef QARTWO_LINE_EDITING_LINKED
  g_editor.call = {&::el_init, &::el_end,       &::el_set,       &::el_wset,     &::el_gets,
                   &::el_line, &::el_insertstr, &::history_init, &::history_end, &::history};
  return true;
#else
  if (g_editor.library != nullptr) return true;
  g_editor.library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
  if (g_editor.library == nullptr) return false;
  EditFunctions& f = g_editor.call;
  if (Find(f.init, "el_init") && Find(f.end, "el_end") && Find(f.set, "el_set") &&
      Find(f.wide_set, "el_wset") && Find(f.gets, "el_gets") && Find(f.line, "el_line") &&
      Find(f.insert, "el_insertstr") && Find(f.history_init, "history_init") &&
      Find(f.history_end, "history_end") && Find(f.history, "history")) {
    return true;
  }
  dlclose(g_editor.library);
  g_editor.library = nullptr;
  return false;
#endif
}

char* PromptText(EditLine*) {
  return g_editor.prompt.data();
}

unsigned short TerminalWidth() {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return kDefaultWidth;
  return size.ws_col;
}

// The characters `name` takes in a listing, its control characters made visible.
std::size_t ShownSize(std::string_view name) {
  OutputLine shown;
  AppendVisible(shown, name);
  return shown.length;
}

// Lists the matching names below the line being edited, sorted down columns as shells do.
// Control characters show as the diagnostics show them, so that a name cannot drive the
// terminal.
void ListNames(const NameCompletion& found) {
  WriteLine(kConsoleOutput, "");
  if (found.count > found.kept) {
    WriteLine(kConsoleOutput, "More names match than can be listed: type more of the name.");
    return;
  }
  const std::span<const std::string_view> names(found.names.data(),
                                                static_cast<std::size_t>(found.kept));
  std::size_t widest = 0;
  for (const std::string_view name : names) widest = std::max(widest, ShownSize(name));
  const std::size_t column = widest + 2;
  const std::size_t width = std::min<std::size_t>(TerminalWidth(), kOutputLineCapacity);
  const std::size_t columns = std::max<std::size_t>(1, width / column);
  const std::size_t rows = (names.size() + columns - 1) / columns;
  for (std::size_t row = 0; row < rows; ++row) {
    OutputLine line;
    for (std::size_t i = row; i < names.size(); i += rows) {
      const std::size_t start = line.length;
      AppendVisible(line, names[i]);
      if (i + rows < names.size()) {
        AppendBlanks(line, static_cast<int>(column + start - line.length));
      }
    }
    WriteLine(kConsoleOutput, LineText(line));
  }
}

// Tab: completes the text before the cursor as a file name at the file questions, else
// inserts itself.
unsigned char CompleteAtTab(EditLine* editor, int) {
  const EditFunctions& call = g_editor.call;
  if (!g_editor.complete_files) return call.insert(editor, "\t") == 0 ? CC_REFRESH : CC_ERROR;
  const LineInfo* info = call.line(editor);
  CompleteName(
      std::string_view(info->buffer, static_cast<std::size_t>(info->cursor - info->buffer)),
      g_found);
  if (g_found.addition_length > 0) {
    g_found.addition[g_found.addition_length] = '\0';
    return call.insert(editor, g_found.addition.data()) == 0 ? CC_REFRESH : CC_ERROR;
  }
  if (g_found.count < 2) return CC_REFRESH_BEEP;
  ListNames(g_found);
  static_cast<void>(FlushUnit(kConsoleOutput));  // a failure stays recorded on the unit
  return CC_REDISPLAY;
}

// Keeps a non-empty answer for recall with the arrow keys.
void Remember(std::string_view answer) {
  if (answer.empty()) return;
  const std::size_t kept = std::min(answer.size(), kTextLength);
  std::copy_n(answer.begin(), kept, g_editor.entry.begin());
  g_editor.entry[kept] = '\0';
  HistEvent event;
  g_editor.call.history(g_editor.history, &event, H_ENTER, g_editor.entry.data());
}

// The console line source while editing is on.
IoStatus ReadEditedLine(std::string_view prompt, std::span<char> line, LineOverflow& overflow) {
  const std::size_t shown = std::min(prompt.size(), kPromptRoom);
  std::copy_n(prompt.begin(), shown, g_editor.prompt.begin());
  g_editor.prompt[shown] = '\0';
  // Raw mode before the prompt shows, so that keys typed once it is there reach the editor.
  g_editor.call.set(g_editor.line, EL_PREP_TERM, 1);
  int count = 0;
  const char* read = g_editor.call.gets(g_editor.line, &count);
  if (read == nullptr || count <= 0) {
    WriteLine(kConsoleOutput, "");  // the editor shows ^D; what follows starts a line
    return count < 0 ? IoStatus::kReadError : IoStatus::kEndOfFile;
  }
  std::string_view answer(read, static_cast<std::size_t>(count));
  if (answer.ends_with('\n')) answer.remove_suffix(1);
  overflow.stored = std::min(answer.size(), line.size());
  std::copy_n(answer.begin(), overflow.stored, line.begin());
  if (answer.size() > line.size()) {
    const std::string_view beyond = answer.substr(line.size());
    overflow.first_beyond = beyond.front();
    overflow.nonblank_beyond = beyond.find_first_not_of(' ') != std::string_view::npos;
  }
  Remember(answer);
  return IoStatus::kOk;
}

void Configure() {
  const EditFunctions& call = g_editor.call;
  EditLine* line = g_editor.line;
  HistEvent event;
  call.history(g_editor.history, &event, H_SETSIZE, kHistorySize);
  call.history(g_editor.history, &event, H_SETUNIQUE, 1);
  call.set(line, EL_EDITOR, "emacs");
  call.set(line, EL_SIGNAL, 0);  // the run's own handlers put the terminal back
  call.set(line, EL_HIST, call.history, g_editor.history);
  call.set(line, EL_PROMPT, &PromptText);
  // The wide form keeps the two names as given; the narrow one copies them and never frees.
  call.wide_set(line, EL_ADDFN, L"qartwo-complete", L"Complete a file name", &CompleteAtTab);
  call.set(line, EL_BIND, "^I", "qartwo-complete", static_cast<const char*>(nullptr));
}

// Gives the editor a character set that holds every byte a name may have: the user's locale,
// or C.UTF-8 where that is missing or is the C locale's ASCII, in which the editor would drop
// each byte from 128 on. False, with the C locale back, when neither can be had.
bool ChooseCharacterSet() {
  if (std::setlocale(LC_CTYPE, "") != nullptr &&
      std::string_view(nl_langinfo(CODESET)) != "ANSI_X3.4-1968") {
    return true;
  }
  if (std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr) return true;
  std::setlocale(LC_CTYPE, "C");
  return false;
}

}  // namespace

bool StartLineEditor() {
  if (g_editor.line != nullptr) return true;
  if (isatty(STDIN_FILENO) == 0 || isatty(STDOUT_FILENO) == 0) return false;
  // Without a character set for all bytes, answers are read plainly rather than cut.
  if (!LoadLibrary() || !ChooseCharacterSet() || tcgetattr(STDIN_FILENO, &g_saved_terminal) != 0) {
    return false;
  }
  SetTerminalSignalHooks(&RestoreTerminalAfterSignal, &ResumeTerminalAfterStop);
  std::atomic_signal_fence(std::memory_order_seq_cst);  // settings saved before the flag says so
  g_terminal_saved = 1;
  g_editor.line = g_editor.call.init("qartwo", stdin, stdout, stderr);
  g_editor.history = g_editor.call.history_init();
  if (g_editor.line == nullptr || g_editor.history == nullptr) {
    StopLineEditor();
    return false;
  }
  Configure();
  SetConsoleLineSource(&ReadEditedLine);
  return true;
}

void StopLineEditor() {
  if (g_terminal_saved == 0) return;
  SetConsoleLineSource(nullptr);
  if (g_editor.line != nullptr) g_editor.call.end(g_editor.line);
  if (g_editor.history != nullptr) g_editor.call.history_end(g_editor.history);
  g_editor.line = nullptr;
  g_editor.history = nullptr;
  g_editor.complete_files = false;
  tcsetattr(STDIN_FILENO, TCSADRAIN, &g_saved_terminal);
  g_terminal_saved = 0;
}

void CompleteFileNames(bool on) {
  g_editor.complete_files = on;
}

#endif

}  // namespace qartwo
