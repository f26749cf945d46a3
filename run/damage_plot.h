// The right plot of a hot spot's picture: each block's share of the damage over the stress
// range the damage sum used for it.
#pragma once

#include <string>

#include "run/hot_spot.h"
#include "run/plot_area.h"

namespace qartwo {

// Hot spots of up to this many blocks get a bar per block; more get one filled outline.
inline constexpr std::size_t kMostBars = 200;

// Draws into `svg`, in the box of `area` (its scales are chosen here), a bar per block of the
// evaluated `result` that does damage (x: its stress range used, one block wide; y: its share
// of the damage in %), or beyond kMostBars blocks one outline of them all; the governing block
// (GoverningBlock) marked and named above the box. A damage of 0 draws no bar and says so.
// The frame comes from `frame` when that holds it.
void DrawDamagePlot(std::string& svg, PlotArea area, const HotSpotResult& result, PlotFrame& frame);

}  // namespace qartwo
