// The left plot of a hot spot's picture: the load spectrum against the SN-curve, on log-log
// axes, both as the evaluation took them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "run/hot_spot.h"
#include "run/plot_area.h"

namespace qartwo {

// A segment of an SN-curve with the stress ranges on which the damage sum chooses it: above
// `lower` (its end stress) up to `upper`.
struct UsedSegment {
  int number = 0;  // from 1
  double logA = 0.0;
  double m = 0.0;
  double lower = 0.0;
  double upper = 0.0;  // infinite for the first
  double knee = 0.0;   // cycles at `lower`, where the segment ends; 0 for one without end
};

// What the plot keeps of the last curve drawn, since the hot spots of a batch mostly share
// one: its segments as the damage sum chooses them, and its lines and legend on the last
// axes.
struct CurveMemo {
  std::vector<double> curve;  // the vector the rest was made from
  std::vector<UsedSegment> segments;
  double limit = 0.0;  // the lowest end stress: nothing at or below it is damaged; 0 for none
  bool drawn = false;
  PlotArea area;  // the axes `lines` were drawn on
  bool limit_drawn = false;
  std::string lines;  // the segments and the fatigue limit
  bool legend_spectrum = false;
  std::string legend;  // on the same axes, naming the spectrum when legend_spectrum
};

// Draws into `svg`, in the box of `area` (its scales are chosen here), the SN-curve of the
// evaluated `result` as the damage sum reads it (each segment over the stress ranges on which
// it is chosen, a horizontal fatigue limit where the last one ends) and the spectrum: a step
// line of the cycles, cumulative from the highest block down, at the stress ranges the sum
// used, blocks without cycles left out; cycles per year times `years` (the design life, or 1,
// which `x_title` names as markup). The frame comes from `frame`, the curve from `memo`, when
// they hold them.
void DrawSpectrumPlot(std::string& svg, PlotArea area, const HotSpotResult& result, double years,
                      std::string_view x_title, PlotFrame& frame, CurveMemo& memo);

}  // namespace qartwo
