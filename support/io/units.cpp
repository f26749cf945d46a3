#include "support/io/units.h"

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <array>

#include "support/io/unit_table.h"

namespace qartwo {

using unit_table::LastOperation;
using unit_table::UnitSlot;

namespace {

// Indexed by unit number.
std::array<UnitSlot, kLastUnit + 1> g_units;
bool g_console_connected = false;

// A console read through a line source shows the prompt itself, so the prompt written to
// unit 6 waits here instead of reaching the stream.
bool g_holding_prompts = false;
std::array<char, kHeldPromptRoom> g_held_prompt{};
std::size_t g_held_length = 0;

void EnsureConsole() {
  if (!g_console_connected) ConnectConsoleUnits();
}

// Keeps `text` back as (the rest of) the next console prompt; false when it is no prompt
// text to hold (a line end in it, not holding, no room left).
bool HoldPrompt(int unit, std::string_view text) {
  if (unit != kConsoleOutput || !g_holding_prompts) return false;
  if (text.find('\n') != std::string_view::npos) return false;
  if (text.size() > kHeldPromptRoom - g_held_length) return false;
  std::copy(text.begin(), text.end(), g_held_prompt.begin() + g_held_length);
  g_held_length += text.size();
  return true;
}

// Writes the held prompt text, when there is any, to unit 6's stream ahead of other output.
IoStatus ReleaseHeldPrompt() {
  const std::size_t length = g_held_length;
  g_held_length = 0;
  UnitSlot& console = g_units[kConsoleOutput];
  if (length == 0 || console.stream == nullptr) return IoStatus::kOk;
  if (std::fwrite(g_held_prompt.data(), 1, length, console.stream) != length) {
    return unit_table::Failed(console);
  }
  return IoStatus::kOk;
}

IoStatus WriteUnitText(int unit, std::string_view text, bool end_line) {
  if (!end_line && HoldPrompt(unit, text)) return IoStatus::kOk;
  UnitSlot* slot = nullptr;
  if (const IoStatus found = unit_table::FindSequential(unit, Form::kFormatted, slot);
      found != IoStatus::kOk) {
    return found;
  }
  // A diagnostic follows what the console already shows, also on a shared terminal.
  if (unit == kDiagnosticOutput) static_cast<void>(FlushUnit(kConsoleOutput));
  unit_table::PrepareFor(*slot, LastOperation::kWrite);
  if (unit_table::CutBeforeWrite(*slot) != IoStatus::kOk) return unit_table::Failed(*slot);
  if (unit == kConsoleOutput && ReleaseHeldPrompt() != IoStatus::kOk) return IoStatus::kWriteError;
  if (unit_table::WriteBytes(*slot, text.data(), text.size()) != IoStatus::kOk)
    return IoStatus::kWriteError;
  if (end_line && std::fputc('\n', slot->stream) == EOF) return unit_table::Failed(*slot);
  return IoStatus::kOk;
}

}  // namespace

namespace unit_table {

UnitSlot* SlotFor(int unit) {
  EnsureConsole();
  if (unit < kDiagnosticOutput || unit > kLastUnit) return nullptr;
  return &g_units[static_cast<std::size_t>(unit)];
}

// C streams need a positioning call between reading and writing on the same stream.
void PrepareFor(UnitSlot& slot, LastOperation next) {
  if (slot.last != LastOperation::kNone && slot.last != next) {
    std::fflush(slot.stream);
    fseeko(slot.stream, 0, SEEK_CUR);  // fails harmlessly on pipes and terminals
  }
  slot.last = next;
  if (next == LastOperation::kRead && slot.connection.replace_on_first_write) {
    slot.truncate_pending = true;
  }
}

// A sequential record written makes itself the last one of the file.
IoStatus CutBeforeWrite(UnitSlot& slot) {
  if (!slot.truncate_pending) return IoStatus::kOk;
  slot.truncate_pending = false;
  const int fd = fileno(slot.stream);
  struct stat status {};
  // Only a regular file has content to replace; devices and pipes are written as they are.
  if (fd < 0 || fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return IoStatus::kOk;
  if (std::fflush(slot.stream) != 0) return IoStatus::kWriteError;
  const off_t position = ftello(slot.stream);
  if (position < 0 || ftruncate(fd, position) != 0) return IoStatus::kWriteError;
  return IoStatus::kOk;
}

IoStatus Failed(UnitSlot& slot) {
  slot.failed = true;
  return IoStatus::kWriteError;
}

IoStatus FindSequential(int unit, Form form, UnitSlot*& slot) {
  slot = SlotFor(unit);
  if (slot == nullptr) return IoStatus::kBadUnit;
  if (slot->stream == nullptr) return IoStatus::kNotConnected;
  if (slot->connection.access != Access::kSequential || slot->connection.form != form) {
    return IoStatus::kWrongAccess;
  }
  return IoStatus::kOk;
}

IoStatus WriteBytes(UnitSlot& slot, const void* data, std::size_t size) {
  if (size > 0 && std::fwrite(data, 1, size, slot.stream) != size) return Failed(slot);
  return IoStatus::kOk;
}

}  // namespace unit_table

std::string_view IoStatusText(IoStatus status) {
  switch (status) {
    case IoStatus::kOk:
      return "ok";
    case IoStatus::kEndOfFile:
      return "end of file";
    case IoStatus::kBadUnit:
      return "unit number outside 0 to 99";
    case IoStatus::kNotConnected:
      return "unit not connected";
    case IoStatus::kWrongAccess:
      return "operation does not suit the unit's connection";
    case IoStatus::kBadRecord:
      return "bad record number or record length";
    case IoStatus::kReadError:
      return "read error";
    case IoStatus::kWriteError:
      return "write error";
  }
  return "unknown unit status";
}

IoStatus ConnectUnit(int unit, std::FILE* stream, const Connection& connection) {
  if (unit < kDiagnosticOutput || unit > kLastUnit) return IoStatus::kBadUnit;
  EnsureConsole();
  static_cast<void>(CloseUnit(unit));  // a former stream's lost output was its writer's to see
  UnitSlot& slot = g_units[static_cast<std::size_t>(unit)];
  slot.stream = stream;
  slot.connection = connection;
  slot.truncate_pending =
      connection.replace_on_first_write && connection.access == Access::kSequential;
  slot.last = LastOperation::kNone;
  slot.failed = false;
  slot.at_start = true;
  slot.read_error = 0;
  return IoStatus::kOk;
}

void ConnectConsoleUnits() {
  g_console_connected = true;
  Connection console;
  console.owns_stream = false;
  ConnectUnit(kConsoleInput, stdin, console);
  ConnectUnit(kConsoleOutput, stdout, console);
  ConnectUnit(kDiagnosticOutput, stderr, console);
}

bool IsConnected(int unit) {
  const UnitSlot* slot = unit_table::SlotFor(unit);
  return slot != nullptr && slot->stream != nullptr;
}

const Connection* UnitConnection(int unit) {
  const UnitSlot* slot = unit_table::SlotFor(unit);
  return slot != nullptr && slot->stream != nullptr ? &slot->connection : nullptr;
}

int UnitDescriptor(int unit) {
  const UnitSlot* slot = unit_table::SlotFor(unit);
  return slot != nullptr && slot->stream != nullptr ? fileno(slot->stream) : -1;
}

void WriteEmptyLines(int unit, int count) {
  for (int i = 0; i < count; ++i) WriteLine(unit, "");
}

IoStatus WriteText(int unit, std::string_view text) {
  return WriteUnitText(unit, text, false);
}

IoStatus WriteLine(int unit, std::string_view text) {
  return WriteUnitText(unit, text, true);
}

IoStatus FlushUnit(int unit) {
  UnitSlot* slot = unit_table::SlotFor(unit);
  if (slot == nullptr) return IoStatus::kBadUnit;
  if (slot->stream == nullptr) return IoStatus::kNotConnected;
  if (unit == kConsoleOutput) ReleaseHeldPrompt();
  if (std::fflush(slot->stream) != 0 || std::ferror(slot->stream)) slot->failed = true;
  return slot->failed ? IoStatus::kWriteError : IoStatus::kOk;
}

IoStatus CloseUnit(int unit) {
  UnitSlot* slot = unit_table::SlotFor(unit);
  if (slot == nullptr) return IoStatus::kBadUnit;
  if (slot->stream == nullptr) return IoStatus::kOk;
  if (unit == kConsoleOutput) ReleaseHeldPrompt();
  bool failed = slot->failed;
  if (std::fflush(slot->stream) != 0) failed = true;
  // Read-only streams may carry a read error; only output problems matter here.
  if (slot->last == LastOperation::kWrite && std::ferror(slot->stream)) failed = true;
  if (slot->connection.owns_stream && std::fclose(slot->stream) != 0) failed = true;
  *slot = UnitSlot{};
  return failed ? IoStatus::kWriteError : IoStatus::kOk;
}

std::FILE* DetachUnit(int unit) {
  UnitSlot* slot = unit_table::SlotFor(unit);
  if (slot == nullptr) return nullptr;
  std::FILE* stream = slot->stream;
  *slot = UnitSlot{};
  return stream;
}

void HoldConsolePrompts(bool on) {
  EnsureConsole();
  ReleaseHeldPrompt();
  g_holding_prompts = on;
}

std::string_view TakeHeldPrompt(std::span<char> room) {
  const std::size_t length = std::min(g_held_length, room.size());
  std::copy_n(g_held_prompt.begin(), length, room.begin());
  g_held_length = 0;
  return {room.data(), length};
}

IoStatus CloseAllUnits() {
  IoStatus first = IoStatus::kOk;
  for (int unit = kDiagnosticOutput; unit <= kLastUnit; ++unit) {
    const IoStatus closed = CloseUnit(unit);
    if (first == IoStatus::kOk) first = closed;
  }
  return first;
}

}  // namespace qartwo
