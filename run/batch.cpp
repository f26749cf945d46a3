#include "run/batch.h"

#include <stdio.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "run/batch_index.h"
#include "run/batch_options.h"
#include "run/block_table.h"
#include "run/exit_status.h"
#include "run/hot_spot.h"
#include "run/hot_spot_inputs.h"
#include "run/hot_spot_list.h"
#include "run/hot_spot_names.h"
#include "run/hot_spot_picture.h"
#include "run/report.h"
#include "run/results_table.h"
#include "support/io/interrupt.h"
#include "support/io/output_folder.h"
#include "support/io/units.h"
#include "support/io/whole_file.h"
#include "support/text/clock.h"
#include "support/text/fixed_text.h"
#include "support/text/number_text.h"

namespace qartwo {
namespace {

constexpr int kReportUnit = 20;
constexpr int kResultsUnit = 27;
constexpr std::string_view kResultsName = "results.csv";
constexpr std::string_view kPartialName = "results.partial.csv";
constexpr std::string_view kIndexName = "index.html";

// The files of a hot spot's own, by the end of their names.
constexpr std::string_view kReportSuffix = ".report.txt";
constexpr std::string_view kBlocksSuffix = ".blocks.csv";
constexpr std::string_view kPictureSuffix = ".svg";

// Stamp level 6: date and time down to the second, as the dialogue's report has it.
constexpr int kStampLevel = 6;
constexpr std::size_t kStampLength = 80;

// Progress at a terminal: from this many seconds on, at most every tenth of a second.
constexpr double kQuietSeconds = 1.0;
constexpr double kProgressStep = 0.1;

// Buffer of results.csv's stream.
constexpr std::size_t kResultsBuffer = std::size_t{1} << 16;

// The hot spot that weighs most, by damage or by utilisation.
struct Worst {
  std::string name;
  double value = -1.0;
  double damage = 0.0;
};

// Everything a batch keeps while it runs.
struct Batch {
  BatchOptions options;
  HotSpotList list;
  long long count = 0;  // hot spots in all
  Catalogue catalogue;
  OutputFolder folder;
  std::string output;  // the folder as given, for messages
  std::array<char, kFolderNameRoom> results_temporary{};
  std::array<char, kTextLength> date_stamp{};
  HotSpotStorage storage;
  HotSpotEntry entry;
  HotSpotInputs inputs;
  HotSpotResult result;
  std::string text;  // a row, a block table, a picture
  std::array<char, kWholeFileRoom> report{};
  long long done = 0;
  long long failed = 0;
  bool every_design_life = true;  // every hot spot evaluated so far has a design life
  Worst by_damage;
  Worst by_utilisation;
  BatchIndex index;       // with --plots
  PictureFrames frames;   // with --plots
  bool progress = false;  // standard error is a terminal
  timespec started{};
  double shown_at = 0.0;  // seconds at the last progress line, 0 for none yet
};

double SecondsSince(const timespec& start) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec - start.tv_sec) +
         static_cast<double>(now.tv_nsec - start.tv_nsec) * 1e-9;
}

void ShowProgress(Batch& batch) {
  if (!batch.progress) return;
  const double seconds = SecondsSince(batch.started);
  if (seconds < kQuietSeconds || seconds - batch.shown_at < kProgressStep) return;
  batch.shown_at = seconds;
  const std::string line = "\rqartwo batch: " + std::to_string(batch.done) + " of " +
                           std::to_string(batch.count) + " hot spots";
  WriteText(kDiagnosticOutput, line);
  static_cast<void>(FlushUnit(kDiagnosticOutput));
}

void EndProgress(const Batch& batch) {
  if (batch.shown_at > 0.0) WriteText(kDiagnosticOutput, "\r\x1b[K");
}

void WriteError(std::string_view text) {
  WriteLine(kDiagnosticOutput, "qartwo batch: " + std::string(text));
}

// What a system error did to a file or folder, on standard error.
void WriteSystemError(std::string_view what, std::string_view name, int error) {
  std::string text(what);
  text += ' ';
  AppendQuoted(text, name);
  text += ": ";
  text += std::strerror(error);
  WriteError(text);
}

// The list, its header's checks and the names, before anything is written; 0 or the usage
// error's status.
int ReadHotSpots(Batch& batch) {
  const BatchOptions& options = batch.options;
  std::string problem;
  if (options.list.empty()) {
    UseHistograms(options.histograms, batch.list);
  } else if (!OpenHotSpotList(options.list, batch.list, problem)) {
    return RefuseBatch(problem);
  }
  if (!options.dff.empty() && options.design_life.empty() &&
      !HasColumn(batch.list, kDesignLifeColumn)) {
    return RefuseBatch("--dff needs a design life: give --design-life or a design_life column");
  }
  if (options.curve.empty() && !HasColumn(batch.list, kCurveColumn)) {
    return RefuseBatch("no curve: give --curve or a curve column");
  }
  if (!CheckHotSpots(batch.list, options.curve.empty(), batch.count, problem)) {
    return RefuseBatch(problem);
  }
  return kExitCompleted;
}

// The output folder and results.csv's temporary file, open on its unit with the header.
bool OpenOutputs(Batch& batch) {
  batch.output = std::string(batch.options.output);
  if (const int error = OpenOutputFolder(batch.output.c_str(), batch.folder); error != 0) {
    WriteSystemError("cannot make or open the output folder", batch.output, error);
    return false;
  }
  const int fd = CreateTemporaryFile(batch.folder, batch.results_temporary);
  FILE* stream = fd >= 0 ? fdopen(fd, "w") : nullptr;
  if (stream == nullptr || ConnectUnit(kResultsUnit, stream, Connection{}) != IoStatus::kOk) {
    const int error = errno;
    if (stream != nullptr) fclose(stream);
    if (fd >= 0) unlinkat(batch.folder.fd, batch.results_temporary.data(), 0);
    WriteSystemError("cannot write results.csv in", batch.output, error);
    return false;
  }
  setvbuf(stream, nullptr, _IOFBF, kResultsBuffer);
  WriteLine(kResultsUnit, ResultsHeader());
  return true;
}

// The report of an evaluated hot spot, as the dialogue writes it, into `report`; its length,
// or 0 when it does not fit.
std::size_t MakeReport(Batch& batch) {
  FILE* stream = fmemopen(batch.report.data(), batch.report.size(), "w");
  if (stream == nullptr || ConnectUnit(kReportUnit, stream, Connection{}) != IoStatus::kOk) {
    if (stream != nullptr) fclose(stream);
    return 0;
  }
  const HotSpotResult& result = batch.result;
  WriteReport(kReportUnit, {.date_stamp = TextView(batch.date_stamp),
                            .scf = batch.inputs.plate[1],
                            .user_curve = result.user_curve,
                            .curve_name = result.shown_name,
                            .curve = result.curve,
                            .damage = result.damage});
  const long length = ftell(stream);
  const bool whole = FlushUnit(kReportUnit) == IoStatus::kOk;
  static_cast<void>(CloseUnit(kReportUnit));
  return whole && length > 0 ? static_cast<std::size_t>(length) : 0;
}

// Writes or removes one of the hot spot's own files; a failure fails the hot spot.
void PutFile(Batch& batch, std::string_view suffix, std::span<const char> bytes, bool write) {
  const std::string name = std::string(batch.entry.name) + std::string(suffix);
  const int error =
      write ? WriteWholeFile(batch.folder, name, bytes) : RemoveFolderFile(batch.folder, name);
  if (error == 0) return;
  batch.result.status = kExitReportedFailure;
  if (!batch.result.message.empty()) batch.result.message += " | ";
  batch.result.message += " *** ERROR: the file \"" + name + "\" could not be ";
  batch.result.message += write ? "written (" : "removed (";
  batch.result.message += std::strerror(error);
  batch.result.message += ")";
}

// Writes the files the options ask for of a hot spot with status 0. A failing hot spot (also
// one whose file could not be written) leaves no file of its own, whatever the options: one
// of an earlier batch is removed, so the folder agrees with results.csv.
void WriteOwnFiles(Batch& batch) {
  const BatchOptions& options = batch.options;
  const auto writing = [&](bool asked) { return asked && batch.result.status == kExitCompleted; };
  if (writing(options.reports)) {
    const std::size_t length = MakeReport(batch);
    PutFile(batch, kReportSuffix, std::span(batch.report).first(length), true);
  }
  if (writing(options.blocks)) {
    WriteBlockTable(batch.result, batch.text);
    PutFile(batch, kBlocksSuffix, batch.text, true);
  }
  if (writing(options.plots)) {
    DrawHotSpot(batch.entry.name, batch.inputs, batch.result, batch.frames, batch.text);
    PutFile(batch, kPictureSuffix, batch.text, true);
  }
  if (batch.result.status == kExitCompleted) return;
  for (const std::string_view suffix : {kReportSuffix, kBlocksSuffix, kPictureSuffix}) {
    PutFile(batch, suffix, {}, false);
  }
}

void NoteWorst(Batch& batch) {
  const HotSpotResult& result = batch.result;
  ++batch.done;
  if (result.status != kExitCompleted) {
    ++batch.failed;
    return;
  }
  batch.every_design_life = batch.every_design_life && batch.inputs.has_design_life;
  const auto note = [&](Worst& worst, double value) {
    if (value <= worst.value) return;
    worst = {std::string(batch.entry.name), value, result.damage};
  };
  note(batch.by_damage, result.damage);
  if (batch.inputs.has_design_life) note(batch.by_utilisation, Utilisation(result, batch.inputs));
}

// Evaluates the next hot spot and writes its row; false at the end of the list, when a signal came
// (the hot spot then left out) or the list could not be read (`problem`).
bool EvaluateNext(Batch& batch, std::string& problem) {
  const NextRow read = NextHotSpot(batch.list, batch.entry, problem);
  if (read != NextRow::kRow) return false;
  std::string error;
  const bool taken = CombineInputs(batch.entry, batch.options, batch.list, batch.inputs, error);
  if (taken) {
    EvaluateHotSpot(batch.catalogue, batch.inputs, batch.storage, batch.result);
  } else {
    RefuseHotSpot(error, batch.result);
  }
  if (PendingInterrupt() != 0) return false;
  WriteOwnFiles(batch);
  batch.text.clear();
  const std::string_view& curve_cell = batch.entry.cells[kCurveColumn];
  AppendResultRow(batch.text, {.entry = batch.entry,
                               .curve = curve_cell.empty() ? batch.options.curve : curve_cell,
                               .inputs = taken ? &batch.inputs : nullptr,
                               .result = batch.result});
  WriteLine(kResultsUnit, batch.text);
  if (batch.options.plots) {
    AddIndexRow(batch.index, batch.entry.name, taken ? &batch.inputs : nullptr, batch.result);
  }
  NoteWorst(batch);
  ShowProgress(batch);
  return true;
}

// Closes results.csv's stream and gives it the name `name`; false (said why) when it could not
// be written whole.
bool CommitResults(Batch& batch, std::string_view name) {
  const bool written = CloseUnit(kResultsUnit) == IoStatus::kOk;
  const int error = written ? CommitFile(batch.folder, batch.results_temporary.data(), name) : EIO;
  if (!written) unlinkat(batch.folder.fd, batch.results_temporary.data(), 0);
  if (error == 0) return true;
  WriteSystemError("cannot write", batch.output + "/" + std::string(name), error);
  return false;
}

// index.html of a batch with --plots, or, when it cannot be written, none: an earlier one
// would disagree with the new files. False (said why) when it was not written.
bool WriteIndex(Batch& batch) {
  WriteBatchIndex(batch.index, batch.options, batch.list, batch.text);
  const int error = WriteWholeFile(batch.folder, kIndexName, batch.text);
  if (error == 0) return true;
  WriteSystemError("cannot write", batch.output + "/" + std::string(kIndexName), error);
  static_cast<void>(RemoveFolderFile(batch.folder, kIndexName));
  return false;
}

// The summary on standard output.
void WriteSummary(const Batch& batch) {
  std::string line = "qartwo batch: " + std::to_string(batch.done) + " hot spots, " +
                     std::to_string(batch.failed) + " failed; results in " + batch.output + "/" +
                     std::string(kResultsName);
  WriteLine(kConsoleOutput, line);
  const bool by_utilisation = batch.every_design_life && !batch.by_utilisation.name.empty();
  const Worst& worst = by_utilisation ? batch.by_utilisation : batch.by_damage;
  if (worst.name.empty()) return;
  line = "worst: " + worst.name + (by_utilisation ? ", utilisation " : ", damage per year ");
  AppendShortest(line, worst.value);
  if (by_utilisation) {
    line += " (damage per year ";
    AppendShortest(line, worst.damage);
    line += ")";
  }
  WriteLine(kConsoleOutput, line);
}

// Stops after a signal: the rows done as results.partial.csv, no results.csv; ends the process.
int StopBySignal(Batch& batch, int signal_number) {
  EndProgress(batch);
  CommitResults(batch, kPartialName);
  static_cast<void>(RemoveFolderFile(batch.folder, kResultsName));
  if (batch.options.plots) static_cast<void>(RemoveFolderFile(batch.folder, kIndexName));
  static_cast<void>(CloseOutputFolder(batch.folder));
  WriteError("stopped by signal " + std::to_string(signal_number) + " after " +
             std::to_string(batch.done) + " of " + std::to_string(batch.count) +
             " hot spots; their rows are in " + batch.output + "/" + std::string(kPartialName));
  static_cast<void>(CloseAllUnits());
  EndByInterrupt(signal_number);
  return 128 + signal_number;
}

int Run(Batch& batch) {
  if (const int read = ReadHotSpots(batch); read != kExitCompleted) return read;
  if (!BuildCatalogue(batch.catalogue, kDiagnosticOutput)) return kExitReportedFailure;
  BlankText(batch.date_stamp);
  DATSTR(kStampLevel, std::span(batch.date_stamp).first(kStampLength));
  if (!OpenOutputs(batch)) return kExitReportedFailure;
  if (batch.options.plots) batch.index.rows.reserve(static_cast<std::size_t>(batch.count));
  batch.progress = isatty(STDERR_FILENO) != 0;
  clock_gettime(CLOCK_MONOTONIC, &batch.started);
  std::string problem;
  while (EvaluateNext(batch, problem)) {
  }
  if (const int signal_number = PendingInterrupt(); signal_number != 0) {
    return StopBySignal(batch, signal_number);
  }
  EndProgress(batch);
  if (!problem.empty()) {  // the list changed since it was checked, or could not be read
    WriteError(problem);
    CommitResults(batch, kPartialName);
    if (batch.options.plots) static_cast<void>(RemoveFolderFile(batch.folder, kIndexName));
    static_cast<void>(CloseOutputFolder(batch.folder));
    return kExitReportedFailure;
  }
  bool written = CommitResults(batch, kResultsName);
  // An earlier results.csv would disagree with the files this batch wrote.
  if (!written) static_cast<void>(RemoveFolderFile(batch.folder, kResultsName));
  if (batch.options.plots) written = WriteIndex(batch) && written;
  written = RemoveFolderFile(batch.folder, kPartialName) == 0 && written;
  if (const int error = CloseOutputFolder(batch.folder); error != 0) {
    WriteSystemError("cannot sync the output folder", batch.output, error);
    written = false;
  }
  WriteSummary(batch);
  return written && batch.failed == 0 ? kExitCompleted : kExitReportedFailure;
}

}  // namespace

int RunBatch(std::span<const char* const> arguments) {
  DeferInterrupts();
  const auto batch = std::make_unique<Batch>();
  std::string problem;
  int status = kExitCompleted;
  if (!ReadBatchOptions(arguments, batch->options, problem)) {
    status = RefuseBatch(problem);
  } else if (batch->options.help) {
    WriteBatchUsage(kConsoleOutput);
  } else {
    status = Run(*batch);
  }
  CloseHotSpotList(batch->list);
  if (FlushUnit(kConsoleOutput) != IoStatus::kOk) {
    WriteError("cannot write to standard output");
    if (status == kExitCompleted) status = kExitReportedFailure;
  }
  if (CloseAllUnits() != IoStatus::kOk && status == kExitCompleted) status = kExitReportedFailure;
  if (const int signal_number = PendingInterrupt(); signal_number != 0) {
    EndByInterrupt(signal_number);  // came after the results were complete
  }
  return status;
}

}  // namespace qartwo
