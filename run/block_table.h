// <hot spot>.blocks.csv: one row per block of a hot spot's histogram, as the damage sum took it.
#pragma once

#include <string>

#include "run/hot_spot.h"

namespace qartwo {

// Writes the block table of an evaluated hot spot into `table` (replacing what it held): the
// header block,stress_from,stress_to,stress_range,cycles_per_year,cycles_to_failure,
// damage_per_year,share, then a row per block: its bounds in the histogram, the stress range
// the sum used, its cycles, the cycles to failure there (inf where the curve gives no damage),
// its damage and its share of the hot spot's damage (empty when that is 0).
void WriteBlockTable(const HotSpotResult& result, std::string& table);

}  // namespace qartwo
