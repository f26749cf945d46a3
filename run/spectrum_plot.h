// The left plot of a hot spot's picture: the load spectrum against the SN-curve, on log-log
// axes, both as the evaluation took them.
#pragma once

#include <string>

#include "run/hot_spot.h"
#include "run/plot_area.h"

namespace qartwo {

// Draws into `svg`, in the box of `area` (its scales are chosen here), the SN-curve of the
// evaluated `result` as the damage sum reads it (each segment over the stress ranges on which
// it is chosen, a horizontal fatigue limit where the last one ends) and the spectrum: a step
// line of the cycles, cumulative from the highest block down, at the stress ranges the sum
// used, blocks without cycles left out; cycles per year times `years` (the design life, or 1,
// which `x_title` names as markup).
void DrawSpectrumPlot(std::string& svg, PlotArea area, const HotSpotResult& result, double years,
                      std::string_view x_title);

}  // namespace qartwo
