#include "run/assessment.h"

#include <array>
#include <cmath>

#include "fatigue/catalogue.h"
#include "fatigue/damage.h"
#include "fatigue/sn_vector.h"
#include "run/banner.h"
#include "run/exit_status.h"
#include "run/histogram_file.h"
#include "run/input_files.h"
#include "run/questions.h"
#include "run/report.h"
#include "support/io/console_text.h"
#include "support/io/file_identity.h"
#include "support/io/units.h"
#include "support/io/whole_file.h"
#include "support/text/clock.h"
#include "support/text/fields.h"
#include "support/text/fixed_text.h"

namespace qartwo {
namespace {

constexpr int kReportUnit = 20;
constexpr int kHistogramUnit = 21;
constexpr int kCurveFileUnit = 22;

constexpr std::string_view kReportPrompt = "Give output file for misc print   :  ";
constexpr std::string_view kHistogramPrompt = "Cycle Histogram file              :  ";
constexpr std::string_view kScfPrompt = "Stress Concentration Factor /1.0/ :  ";
constexpr std::string_view kThicknessPrompt = "Thickness (def is Tref on SN-curv):  ";
constexpr std::string_view kChoicePrompt = "Use the predefined SN-Curves? /y/ :  ";
constexpr std::string_view kCurveNumberPrompt = "Specify SN-Curve number           :  ";
constexpr std::string_view kCurveFilePrompt = "Give file containing SN Curve     :  ";

// Stamp level 6: date and time down to the second, into the first 80 characters.
constexpr int kStampLevel = 6;
constexpr std::size_t kStampLength = 80;

// The reasons a file answer is refused although the file opens.
constexpr std::string_view kIsReport = "it is the report file";
constexpr std::array<std::string_view, 3> kIsStandardStream = {
    "it is the program's standard input", "it is the program's standard output",
    "it is the program's standard error"};

// Everything a run keeps, fixed in size and zero at start, so that the process starts with
// it in zero-filled memory that costs nothing until it is used.
struct RunStorage {
  std::array<char, kTextLength> answer{};
  std::array<char, kTextLength> report_name{};
  std::array<char, kTextLength> histogram_name{};
  std::array<char, kTextLength> curve_file_name{};
  std::array<char, kTextLength> date_stamp{};
  std::array<char, kTextLength> curve_name_line{};
  std::array<char, kTextLength> catalogue_name{};

  int nCurves = 0;
  std::array<int, kCatalogueStartRoom> iCurveStart{};
  std::array<double, kCatalogueValueRoom> curveValues{};
  std::array<int, static_cast<std::size_t>(kCatalogueNameRoom) * kNameLength> curveNames{};

  double scf = 0.0;  // the SCF question sets it, to 1.0 when left blank
  double thickness = 0.0;
  std::array<double, 2> plate{};
  int curve_number = 0;
  bool user_curve = false;
  std::array<double, kCurveVectorLength> curve{};

  std::array<double, kMaxBlocks> block_counts{};
  std::array<double, 4> histogram{};
  double damage = 0.0;

  // The report file, written whole or not at all, and the files its name must not be.
  WholeFile report;
  std::array<RefusedFile, 3> standard_streams{};
  std::array<RefusedFile, 1> report_itself{};
};
static_assert(kStampLength <= kTextLength);

RunStorage g_storage;
// g_storage holds what a run left: a later run in the same process starts from a fresh copy.
// The first needs none, and so leaves untouched the pages it does not use.
bool g_storage_used = false;

int StatusFor(AnswerStatus status) {
  return status == AnswerStatus::kOk ? kExitCompleted : kExitInputError;
}

// The name of the chosen catalogue curve as shown on the console and in the report.
std::string_view ShownCatalogueName(RunStorage& run, int& error_flag) {
  CurveNameText(run.curveNames, run.curve_number, run.catalogue_name, kReportUnit, error_flag);
  return TextView(run.catalogue_name).substr(0, kShownNameLength);
}

void WriteReportFile(RunStorage& run) {
  int ignored_flag = 0;
  WriteReport(kReportUnit,
              {.date_stamp = TextView(run.date_stamp),
               .scf = run.scf,
               .user_curve = run.user_curve,
               .curve_name = run.user_curve ? TrimTrailingBlanks(TextView(run.curve_name_line))
                                            : ShownCatalogueName(run, ignored_flag),
               .curve = run.curve,
               .damage = run.damage});
}

// The report question: a file that is also one of the program's standard streams is refused,
// since the report would overwrite what the program reads or writes there.
AnswerStatus AskReportFile(RunStorage& run) {
  for (int fd = 0; fd < 3; ++fd) {
    run.standard_streams[static_cast<std::size_t>(fd)] = {
        DescriptorIdentity(fd), kIsStandardStream[static_cast<std::size_t>(fd)]};
  }
  const AnswerStatus asked = AskFile({.prompt = kReportPrompt,
                                      .failure_text = " Cannot Open file :",
                                      .what = "the report file",
                                      .unit = kReportUnit,
                                      .mode = 0,
                                      .refused = run.standard_streams},
                                     run.report_name);
  if (asked != AnswerStatus::kOk) return asked;
  NoteOpenedFile(run.report, TextView(run.report_name), kReportUnit);
  run.report_itself[0] = {DescriptorIdentity(UnitDescriptor(kReportUnit)), kIsReport};
  return AnswerStatus::kOk;
}

// An input file question: the report file is refused, as the report would overwrite it.
AnswerStatus AskInputFile(RunStorage& run, std::string_view prompt, std::string_view what, int unit,
                          std::span<char> name) {
  return AskFile({.prompt = prompt,
                  .failure_text = " Nonexisting file :",
                  .what = what,
                  .unit = unit,
                  .mode = 1,
                  .refused = run.report_itself},
                 name);
}

// The questions up to the curve list: report, histogram, SCF, thickness.
AnswerStatus AskFilesAndPlate(RunStorage& run) {
  AnswerStatus asked = AskReportFile(run);
  if (asked != AnswerStatus::kOk) return asked;
  asked = AskInputFile(run, kHistogramPrompt, "the cycle histogram file", kHistogramUnit,
                       run.histogram_name);
  if (asked != AnswerStatus::kOk) return asked;
  asked =
      AskReal(kScfPrompt, "the stress concentration factor as a number", 1.0, run.answer, run.scf);
  if (asked != AnswerStatus::kOk) return asked;
  asked =
      AskReal(kThicknessPrompt, "the plate thickness as a number", 0.0, run.answer, run.thickness);
  run.plate = {run.thickness, run.scf};
  return asked;
}

// The curve list and the choice of a catalogue curve (copied into the vector) or of an
// SN-curve file (opened, read later).
AnswerStatus AskCurve(RunStorage& run) {
  int error_flag = 0;
  WriteCurveList(kConsoleOutput, run.nCurves, run.curveNames, run.catalogue_name, kReportUnit,
                 error_flag);
  if (const AnswerStatus asked = AskLine(kChoicePrompt, run.answer); asked != AnswerStatus::kOk) {
    return asked;
  }
  run.user_curve = run.answer[0] == 'n';
  if (run.user_curve) {
    return AskInputFile(run, kCurveFilePrompt, "the SN-curve file", kCurveFileUnit,
                        run.curve_file_name);
  }
  if (const AnswerStatus asked =
          AskCurveNumber(kCurveNumberPrompt, run.nCurves, run.answer, run.curve_number);
      asked != AnswerStatus::kOk) {
    return asked;
  }
  const int start = run.iCurveStart[static_cast<std::size_t>(run.curve_number) - 1];
  const int length = run.iCurveStart[static_cast<std::size_t>(run.curve_number)] - start;
  SNCOPY(std::span<const double>(run.curveValues).subspan(static_cast<std::size_t>(start) - 1),
         run.curve, length, 1, 0);
  WriteLine(kConsoleOutput, "");
  WriteLabelled(kConsoleOutput, kSelectedLabel, ShownCatalogueName(run, error_flag));
  return AnswerStatus::kOk;
}

// Reads the histogram into the histogram record and checks its block count.
int ReadHistogram(RunStorage& run) {
  return ReadHistogramInput(kHistogramUnit, TextView(run.histogram_name), run.answer,
                            run.block_counts, run.histogram, kDiagnosticOutput, kConsoleOutput);
}

int ReadUserCurve(RunStorage& run) {
  return ReadCurveInput(kCurveFileUnit, TextView(run.curve_file_name), run.answer, run.curve,
                        run.curve_name_line, kDiagnosticOutput, kConsoleOutput);
}

// What the diagnostic says about a report file that was not written as asked.
struct ReportProblem {
  std::string_view kind;  // "ERROR" or "NOTE"
  std::string_view what;  // after the name, before the reason in brackets
  std::string_view file;  // after the reason: what became of the file
};

ReportProblem ProblemOf(WholeWriteOutcome outcome) {
  switch (outcome) {
    case WholeWriteOutcome::kWritten:
    case WholeWriteOutcome::kWrittenAnew:
      break;
    case WholeWriteOutcome::kUnchanged:
      return {"ERROR", "could not be written", "; the file is left as it was"};
    case WholeWriteOutcome::kRemoved:
      return {"ERROR", "could not be written", "; the file this run made for it is removed"};
    case WholeWriteOutcome::kNotRemoved:
      return {"ERROR", "could not be written",
              "; the file this run made for it is not removed: the name no longer refers to it, "
              "or the removal failed"};
    case WholeWriteOutcome::kIncomplete:
      return {"ERROR", "could not be written completely",
              ": it was written in place and is incomplete"};
    case WholeWriteOutcome::kNotWrittenAnew:
      return {"ERROR", "could not be written",
              ": the name no longer refers to the file opened at its question, which is left "
              "as it is"};
  }
  return {"NOTE",
          "was moved, removed or replaced while the run went on: the report is written under "
          "the name as a new file",
          ", and the file opened at its question is left as it is"};
}

// Says on standard error what became of the report file, unless it was written as asked.
void WriteReportOutcome(const RunStorage& run, const WholeWriteResult& written) {
  if (written.outcome == WholeWriteOutcome::kWritten) return;
  const ReportProblem problem = ProblemOf(written.outcome);
  OutputLine line;
  AppendText(line, " *** ");
  AppendText(line, problem.kind);
  AppendText(line, ": the report file \"");
  AppendVisible(line, TrimTrailingBlanks(TextView(run.report_name)));
  AppendText(line, "\" ");
  AppendText(line, problem.what);
  if (!written.reason.empty()) {
    AppendText(line, " (");
    AppendText(line, written.reason);
    AppendText(line, ")");
  }
  AppendText(line, problem.file);
  WriteLine(kDiagnosticOutput, LineText(line));
}

// The evaluation, the console result and the report, written whole or not at all.
int EvaluateAndReport(RunStorage& run) {
  BeginWholeWrite(run.report, kReportUnit);
  int evaluation_flag = 0;
  QAR02X(run.block_counts, run.curve, run.plate, run.histogram, run.damage, kReportUnit,
         evaluation_flag);
  if (evaluation_flag == 0) {
    WriteDamage(kConsoleOutput, run.damage);
    WriteReportFile(run);
  }
  const WholeWriteResult written = FinishWholeWrite(run.report, kReportUnit);
  WriteReportOutcome(run, written);
  if (written.outcome != WholeWriteOutcome::kWritten &&
      written.outcome != WholeWriteOutcome::kWrittenAnew) {
    return kExitReportedFailure;
  }
  if (evaluation_flag != 0) {
    WriteFileError(kDiagnosticOutput,
                   " *** ERROR: the damage could not be evaluated; see the report file ",
                   TextView(run.report_name), "");
    return kExitReportedFailure;
  }
  if (!std::isfinite(run.damage)) {
    WriteDamageNotFinite(kDiagnosticOutput);
    return kExitReportedFailure;
  }
  return kExitCompleted;
}

// The dialogue, the evaluation and the report; returns the exit status.
int Assess(RunStorage& run) {
  BlankText(run.date_stamp);
  DATSTR(kStampLevel, std::span(run.date_stamp).first(kStampLength));

  int error_flag = 0;
  SNDBASE(run.nCurves, run.iCurveStart, run.curveValues, run.curveNames, kNameLength, kReportUnit,
          error_flag);
  if (error_flag != 0) {
    WriteLine(kDiagnosticOutput, " *** ERROR: the built-in SN-curve catalogue could not be built");
    return kExitReportedFailure;
  }

  WriteBanner(kConsoleOutput);
  if (const AnswerStatus asked = AskFilesAndPlate(run); asked != AnswerStatus::kOk) {
    return StatusFor(asked);
  }
  if (const AnswerStatus asked = AskCurve(run); asked != AnswerStatus::kOk) {
    return StatusFor(asked);
  }
  if (const int read = ReadHistogram(run); read != kExitCompleted) return read;
  if (run.user_curve) {
    if (const int read = ReadUserCurve(run); read != kExitCompleted) return read;
  }
  return EvaluateAndReport(run);
}

}  // namespace

int RunAssessment() {
  if (g_storage_used) g_storage = RunStorage{};
  g_storage_used = true;
  int status = Assess(g_storage);
  // A report not completed: a file this run created goes again, an old one stays as it was.
  AbandonWholeWrite(g_storage.report, kReportUnit);
  if (FlushUnit(kConsoleOutput) != IoStatus::kOk) {
    WriteLine(kDiagnosticOutput, " *** ERROR: the console output could not be written completely");
    if (status == kExitCompleted) status = kExitReportedFailure;
  }
  if (CloseAllUnits() != IoStatus::kOk && status == kExitCompleted) {
    status = kExitReportedFailure;
  }
  return status;
}

}  // namespace qartwo
