// The report of one assessment, as the dialogue and the batch write it: date stamp, SCF, the
// curve's name and listing, the damage per year and the end line.
#pragma once

#include <span>
#include <string_view>

namespace qartwo {

// What stands before the chosen curve's name on the console and in the report.
inline constexpr std::string_view kSelectedLabel = " Selected SN-Curve             : ";

// What the report shows.
struct ReportContent {
  std::string_view date_stamp;    // written without its trailing blanks
  double scf = 0.0;               // as the SCF question or cell gave it
  bool user_curve = false;        // read from an SN-curve file, else built in
  std::string_view curve_name;    // as shown after the curve's label
  std::span<const double> curve;  // the SN-curve parameter vector
  double damage = 0.0;
};

// Writes " Computed Damage per Year      : " and the damage in 15 columns, 5 decimals.
void WriteDamage(int unit, double damage);

// Writes the report's lines to `unit`.
void WriteReport(int unit, const ReportContent& report);

}  // namespace qartwo
