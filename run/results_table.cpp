#include "run/results_table.h"

#include "support/text/csv.h"
#include "support/text/fixed_text.h"
#include "support/text/number_text.h"

namespace qartwo {
namespace {

constexpr std::string_view kHeader =
    "hot_spot,histogram,curve,curve_name,scf,thickness,scf_used,thickness_used,"
    "thickness_factor,blocks,damage_per_year,life_years,design_life,dff,utilisation,verdict,"
    "governing_block,governing_share,status,message";

// Appends a comma and `value` when `shown`, else the comma only.
void AppendNumber(std::string& line, bool shown, double value) {
  line += ',';
  if (shown) AppendShortest(line, value);
}

void AppendField(std::string& line, std::string_view field) {
  line += ',';
  AppendCsvField(line, field);
}

void AppendEvaluation(std::string& line, const HotSpotResult& result, const HotSpotInputs* inputs) {
  const bool evaluated = result.evaluated;
  const bool corrected = evaluated && result.detail.thickness.applies;
  AppendNumber(line, evaluated, result.detail.scf);
  AppendNumber(line, corrected, result.detail.thickness.thickness);
  AppendNumber(line, corrected, result.detail.thickness.factor);
  AppendNumber(line, evaluated, result.histogram[1]);
  AppendNumber(line, evaluated, result.damage);
  AppendNumber(line, evaluated, 1.0 / result.damage);
  const bool design = inputs != nullptr && inputs->has_design_life;
  AppendNumber(line, design, design ? inputs->design_life : 0.0);
  AppendNumber(line, design, design ? inputs->dff : 0.0);
  const double utilisation = design ? Utilisation(result, *inputs) : 0.0;
  AppendNumber(line, design && evaluated, utilisation);
  AppendField(line, !design || !evaluated ? "" : utilisation <= 1.0 ? "pass" : "fail");
  const long long governing = evaluated && result.damage != 0.0 ? GoverningBlock(result) : -1;
  AppendNumber(line, governing >= 0, static_cast<double>(governing + 1));
  AppendNumber(line, governing >= 0,
               governing >= 0
                   ? result.blocks[static_cast<std::size_t>(governing)].damage / result.damage
                   : 0.0);
}

}  // namespace

std::string_view ResultsHeader() {
  return kHeader;
}

long long GoverningBlock(const HotSpotResult& result) {
  long long governing = -1;
  for (std::size_t block = 0; block < result.blocks.size(); ++block) {
    if (governing < 0 ||
        result.blocks[block].damage > result.blocks[static_cast<std::size_t>(governing)].damage) {
      governing = static_cast<long long>(block);
    }
  }
  return governing;
}

double Utilisation(const HotSpotResult& result, const HotSpotInputs& inputs) {
  return result.damage * inputs.design_life * inputs.dff;
}

void AppendResultRow(std::string& line, const ResultRow& row) {
  AppendCsvField(line, row.entry.name);
  AppendField(line, row.entry.cells[kHistogramColumn]);
  AppendField(line, row.curve);
  AppendField(line, TrimTrailingBlanks(row.result.shown_name));
  AppendNumber(line, row.inputs != nullptr, row.inputs != nullptr ? row.inputs->plate[1] : 0.0);
  AppendNumber(line, row.inputs != nullptr, row.inputs != nullptr ? row.inputs->plate[0] : 0.0);
  AppendEvaluation(line, row.result, row.inputs);
  line += ',';
  line += static_cast<char>('0' + row.result.status);
  AppendField(line, row.result.message);
}

}  // namespace qartwo
