#include "run/report.h"

#include "fatigue/listing.h"
#include "run/sn_curve_file.h"
#include "support/io/console_text.h"
#include "support/io/units.h"
#include "support/text/fields.h"
#include "support/text/fixed_text.h"

namespace qartwo {
namespace {

constexpr std::string_view kDamageLabel = " Computed Damage per Year      : ";

// Fields of the damage in scientific form and of the SCF, fixed.
constexpr int kDamageWidth = 15;
constexpr int kDamageDecimals = 5;
constexpr int kScfWidth = 12;
constexpr int kScfDecimals = 3;

}  // namespace

void WriteDamage(int unit, double damage) {
  OutputLine line;
  AppendText(line, kDamageLabel);
  AppendScientific(line, damage, kDamageWidth, kDamageDecimals);
  WriteLine(unit, LineText(line));
}

void WriteReport(int unit, const ReportContent& report) {
  WriteLine(unit, TrimTrailingBlanks(report.date_stamp));
  OutputLine scf;
  AppendText(scf, " SCF                           :");
  AppendFixed(scf, report.scf, kScfWidth, kScfDecimals);
  WriteLine(unit, LineText(scf));
  WriteLine(unit, "");
  WriteLabelled(unit, report.user_curve ? kUserDefinedLabel : kSelectedLabel, report.curve_name);
  SNPRNT(report.curve, unit);
  WriteDamage(unit, report.damage);
  WriteLine(unit, " ");
  WriteLine(unit, " --------------- e o f ----------------");
}

}  // namespace qartwo
