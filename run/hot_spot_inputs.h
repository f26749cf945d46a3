// A hot spot's inputs from its cells in the list, the options and the defaults: a non-empty
// cell wins over the option, an empty one takes the option's value, else the default.
#pragma once

#include <string>

#include "run/batch_options.h"
#include "run/hot_spot.h"
#include "run/hot_spot_list.h"

namespace qartwo {

// Combines `entry`'s cells with `options` into `inputs` (paths in cells relative to the list's
// folder); false with the input error in `error` (one line) for a cell that is not one number,
// a curve number outside 1 to 50, a design life or DFF of 0 or below, or a DFF without a design
// life.
[[nodiscard]] bool CombineInputs(const HotSpotEntry& entry, const BatchOptions& options,
                                 const HotSpotList& list, HotSpotInputs& inputs,
                                 std::string& error);

}  // namespace qartwo
