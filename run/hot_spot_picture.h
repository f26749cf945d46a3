// <hot spot>.svg: the picture of one evaluated hot spot - its load spectrum against the
// SN-curve, its damage by stress range and a caption with its numbers - in a fixed size, its
// texts as text, its plots' scales as data-* attributes.
#pragma once

#include <string>
#include <string_view>

#include "run/hot_spot.h"
#include "run/plot_area.h"
#include "run/spectrum_plot.h"

namespace qartwo {

// What drawing keeps from one picture to the next, since the hot spots of a batch often share
// their curve and scales: the frames of the two plots and the curve as last drawn.
struct PictureFrames {
  PlotFrame spectrum;
  PlotFrame damage;
  CurveMemo curve;
  std::string x_title;  // the spectrum's
};

// Writes into `svg` (replacing what it held) the picture of the hot spot `name` with `inputs`,
// evaluated into `result` with status 0: 900 x 600 px (a viewBox), the spectrum over the design
// life when there is one (else per year), and a caption with the curve, SCF, thickness,
// damage per year, life and, with a design life, the utilisation and verdict.
void DrawHotSpot(std::string_view name, const HotSpotInputs& inputs, const HotSpotResult& result,
                 PictureFrames& frames, std::string& svg);

}  // namespace qartwo
