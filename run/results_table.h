// results.csv of a batch: one row per hot spot, the inputs as the evaluation used them, the
// damage, life and design check, the governing block, the status and the diagnostics.
#pragma once

#include <string>
#include <string_view>

#include "run/hot_spot.h"
#include "run/hot_spot_list.h"

namespace qartwo {

// The header row, without its line end.
std::string_view ResultsHeader();

// One hot spot's row as results.csv shows it.
struct ResultRow {
  const HotSpotEntry& entry;
  std::string_view curve;       // the curve as given: its cell, else --curve
  const HotSpotInputs* inputs;  // nullptr when the cells could not be taken
  const HotSpotResult& result;
};

// Appends the row, without its line end, to `line`: numbers in their shortest form that reads
// back as the same double (inf, -inf, nan), fields quoted where CSV needs it, and the columns a
// hot spot did not get to (a curve that is not thickness-corrected, no design life, a damage
// of 0) empty.
void AppendResultRow(std::string& line, const ResultRow& row);

// The first block with the largest damage (from 0); -1 when there is none.
long long GoverningBlock(const HotSpotResult& result);

// Damage per year x design life x DFF.
double Utilisation(const HotSpotResult& result, const HotSpotInputs& inputs);

}  // namespace qartwo
