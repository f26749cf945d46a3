#include "run/assessment.h"

#include <array>

#include "fatigue/catalogue.h"
#include "fatigue/damage.h"
#include "fatigue/listing.h"
#include "fatigue/sn_vector.h"
#include "run/banner.h"
#include "run/histogram_file.h"
#include "run/questions.h"
#include "run/sn_curve_file.h"
#include "support/clock.h"
#include "support/fields.h"
#include "support/text.h"
#include "support/units.h"

namespace qartwo {
namespace {

constexpr int kReportUnit = 20;
constexpr int kHistogramUnit = 21;
constexpr int kCurveFileUnit = 22;

constexpr int kExitCompleted = 0;
constexpr int kExitReportedFailure = 1;
constexpr int kExitInputError = 2;

constexpr std::string_view kReportPrompt = "Give output file for misc print   :  ";
constexpr std::string_view kHistogramPrompt = "Cycle Histogram file              :  ";
constexpr std::string_view kScfPrompt = "Stress Concentration Factor /1.0/ :  ";
constexpr std::string_view kThicknessPrompt = "Thickness (def is Tref on SN-curv):  ";
constexpr std::string_view kChoicePrompt = "Use the predefined SN-Curves? /y/ :  ";
constexpr std::string_view kCurveNumberPrompt = "Specify SN-Curve number           :  ";
constexpr std::string_view kCurveFilePrompt = "Give file containing SN Curve     :  ";

constexpr std::string_view kSelectedLabel = " Selected SN-Curve             : ";
constexpr std::string_view kUserDefinedLabel = " User Defined SN-Curve         : ";
constexpr std::string_view kDamageLabel = " Computed Damage per Year      : ";

// Stamp level 6: date and time down to the second, into the first 80 characters.
constexpr int kStampLevel = 6;
constexpr std::size_t kStampLength = 80;

// Everything a run keeps, fixed in size and zero at start.
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

  double scf = 1.0;
  double thickness = 0.0;
  std::array<double, 2> plate{};
  int curve_number = 0;
  bool user_curve = false;
  std::array<double, kCurveVectorLength> curve{};

  std::array<double, kMaxBlocks> block_counts{};
  std::array<double, 4> histogram{};
  double damage = 0.0;
};
static_assert(kStampLength <= kTextLength);

RunStorage g_storage;

int StatusFor(AnswerStatus status) {
  return status == AnswerStatus::kOk ? kExitCompleted : kExitInputError;
}

// The name of the chosen catalogue curve as shown on the console and in the report.
std::string_view ShownCatalogueName(RunStorage& run, int& error_flag) {
  CurveNameText(run.curveNames, run.curve_number, run.catalogue_name, kReportUnit, error_flag);
  return TextView(run.catalogue_name).substr(0, kShownNameLength);
}

void WriteLabelled(int unit, std::string_view label, std::string_view text) {
  OutputLine line;
  AppendText(line, label);
  AppendText(line, text);
  WriteLine(unit, LineText(line));
}

void WriteDamage(int unit, double damage) {
  OutputLine line;
  AppendText(line, kDamageLabel);
  AppendScientific(line, damage, 15, 5);
  WriteLine(unit, LineText(line));
}

void WriteReport(RunStorage& run) {
  const std::string_view stamp = TextView(run.date_stamp);
  WriteLine(kReportUnit, stamp.substr(0, static_cast<std::size_t>(LENTRM(stamp))));
  OutputLine scf;
  AppendText(scf, " SCF                           :");
  AppendFixed(scf, run.scf, 12, 3);
  WriteLine(kReportUnit, LineText(scf));
  WriteLine(kReportUnit, "");
  if (run.user_curve) {
    const std::string_view name = TextView(run.curve_name_line);
    WriteLabelled(kReportUnit, kUserDefinedLabel,
                  name.substr(0, static_cast<std::size_t>(LENTRM(name))));
  } else {
    int ignored_flag = 0;
    WriteLabelled(kReportUnit, kSelectedLabel, ShownCatalogueName(run, ignored_flag));
  }
  SNPRNT(run.curve, kReportUnit);
  WriteDamage(kReportUnit, run.damage);
  WriteLine(kReportUnit, " ");
  WriteLine(kReportUnit, " --------------- e o f ----------------");
}

// Reads the histogram and checks its block count; kExitCompleted when the run can go on.
int ReadHistogram(RunStorage& run, int& number_of_blocks, double& block_width, double& spare) {
  const HistogramFileResult read = ReadHistogramFile(kHistogramUnit, run.answer, run.block_counts);
  if (read.status != InputFileStatus::kOk) {
    WriteHistogramFileProblem(kDiagnosticOutput, TextView(run.histogram_name), read);
    return read.status == InputFileStatus::kInputError ? kExitInputError : kExitReportedFailure;
  }
  if (read.block_lines != read.number_of_blocks) {
    WriteLine(kConsoleOutput, " *** ERROR. Number of blocks mismatch ");
    return kExitReportedFailure;
  }
  number_of_blocks = read.number_of_blocks;
  block_width = read.block_width;
  spare = read.spare_value;
  return kExitCompleted;
}

int ReadUserCurve(RunStorage& run) {
  const SnCurveFileResult read =
      ReadSnCurveFile(kCurveFileUnit, run.answer, run.curve, run.curve_name_line, kConsoleOutput);
  if (read.status == InputFileStatus::kOk) return kExitCompleted;
  WriteSnCurveFileProblem(kDiagnosticOutput, TextView(run.curve_file_name), read);
  return read.status == InputFileStatus::kInputError ? kExitInputError : kExitReportedFailure;
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
  AnswerStatus asked =
      AskFile(kReportPrompt, " Cannot Open file :", run.report_name, kReportUnit, 0);
  if (asked == AnswerStatus::kOk) {
    asked = AskFile(kHistogramPrompt, " Nonexisting file :", run.histogram_name, kHistogramUnit, 1);
  }
  if (asked == AnswerStatus::kOk) {
    asked = AskReal(kScfPrompt, "the stress concentration factor as a number", 1.0, run.answer,
                    run.scf);
  }
  if (asked == AnswerStatus::kOk) {
    asked = AskReal(kThicknessPrompt, "the plate thickness as a number", 0.0, run.answer,
                    run.thickness);
  }
  if (asked != AnswerStatus::kOk) return StatusFor(asked);
  run.plate = {run.thickness, run.scf};

  WriteCurveList(kConsoleOutput, run.nCurves, run.curveNames, run.catalogue_name, kReportUnit,
                 error_flag);
  asked = AskLine(kChoicePrompt, run.answer);
  if (asked != AnswerStatus::kOk) return StatusFor(asked);
  run.user_curve = run.answer[0] == 'n';
  if (run.user_curve) {
    asked =
        AskFile(kCurveFilePrompt, " Nonexisting file :", run.curve_file_name, kCurveFileUnit, 1);
    if (asked != AnswerStatus::kOk) return StatusFor(asked);
  } else {
    asked = AskCurveNumber(kCurveNumberPrompt, run.nCurves, run.answer, run.curve_number);
    if (asked != AnswerStatus::kOk) return StatusFor(asked);
    const int start = run.iCurveStart[static_cast<std::size_t>(run.curve_number) - 1];
    const int length = run.iCurveStart[static_cast<std::size_t>(run.curve_number)] - start;
    SNCOPY(std::span<const double>(run.curveValues).subspan(static_cast<std::size_t>(start) - 1),
           run.curve, length, 1, 0);
    WriteLine(kConsoleOutput, "");
    WriteLabelled(kConsoleOutput, kSelectedLabel, ShownCatalogueName(run, error_flag));
  }

  int number_of_blocks = 0;
  double block_width = 0.0;
  double spare = 0.0;
  if (const int histogram = ReadHistogram(run, number_of_blocks, block_width, spare);
      histogram != kExitCompleted) {
    return histogram;
  }
  if (run.user_curve) {
    if (const int curve = ReadUserCurve(run); curve != kExitCompleted) return curve;
  }
  run.histogram = {1.0, static_cast<double>(number_of_blocks), block_width, spare};

  int evaluation_flag = 0;
  QAR02X(run.block_counts, run.curve, run.plate, run.histogram, run.damage, kReportUnit,
         evaluation_flag);
  if (evaluation_flag != 0) return kExitReportedFailure;

  WriteDamage(kConsoleOutput, run.damage);
  WriteReport(run);
  return kExitCompleted;
}

}  // namespace

int RunAssessment() {
  g_storage = RunStorage{};
  int status = Assess(g_storage);
  // Whatever the report received must reach its file; a report cut short is no success.
  if (CloseUnit(kReportUnit) != IoStatus::kOk) {
    const std::string_view name = TextView(g_storage.report_name);
    OutputLine line;
    AppendText(line, " *** ERROR: the report file \"");
    AppendText(line, name.substr(0, static_cast<std::size_t>(LENTRM(name))));
    AppendText(line, "\" could not be written completely");
    WriteLine(kDiagnosticOutput, LineText(line));
    status = kExitReportedFailure;
  }
  if (CloseAllUnits() != IoStatus::kOk && status == kExitCompleted) {
    status = kExitReportedFailure;
  }
  return status;
}

}  // namespace qartwo
