// The plot areas of a picture: a box in pixels with a linear or logarithmic scale per axis, the
// mapping of values to pixels, and the frame, grid, ticks and titles of the area. The area's
// group carries its box and scales as data-* attributes, so that a reader of the SVG can map
// its coordinates back to values.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace qartwo {

// Decimals of a pixel in a picture's coordinates: a tenth is finer than a screen shows, and
// keeps the files small.
inline constexpr int kPixelDecimals = 1;

// One axis. A log scale holds decimal logarithms: min and max are whole decades.
struct Scale {
  bool log = false;
  double min = 0.0;
  double max = 1.0;
  double step = 1.0;  // a linear scale's distance between labelled ticks
};

// A plot area: its box (y downwards, as in SVG) and its two scales.
struct PlotArea {
  double left = 0.0;
  double top = 0.0;
  double width = 0.0;
  double height = 0.0;
  Scale x;
  Scale y;
};

// True when `a` and `b` have the same box and scales.
bool SameArea(const PlotArea& a, const PlotArea& b);

// A log scale over the whole decades around `low` to `high` (above 0, finite, low <= high), at
// least one decade.
Scale DecadeScale(double low, double high);

// A linear scale from 0 up to the lowest multiple of a round step (1, 2, 2.5 or 5 times a power
// of ten, 3 to 6 steps in all) at or above `high`; 0 to 1 for a `high` of 0 or below.
Scale RoundScale(double high);

// The pixel column (row) of `value` in the area, kept within its box; a value of 0 or below on
// a log scale stands at the box's low end.
double PixelX(const PlotArea& area, double value);
double PixelY(const PlotArea& area, double value);

// The same for a value already in the scale's units: its decimal logarithm on a log scale.
double ScaledPixelX(const PlotArea& area, double scaled);
double ScaledPixelY(const PlotArea& area, double scaled);

// The texts around an area.
struct AreaTitles {
  std::string_view classes;  // of the area's group, e.g. "plot spectrum-plot"
  std::string_view title;    // above the box
  std::string_view x_title;  // below the tick labels
  std::string_view y_title;  // left of the tick labels, turned upright
};

// An area's frame as last drawn: kept, so that the next picture with the same box, scales
// and titles takes its text as it is instead of making it again.
struct PlotFrame {
  bool drawn = false;
  PlotArea area;
  std::array<std::string, 4> titles;  // classes, title, x title, y title
  std::string text;
};

// Opens the area's group (its classes, box and scales as data-* attributes) and writes its
// title, grid, frame, tick labels (a log scale's decades as 10³, 10⁻²) and axis titles, from
// `frame` when it holds them. The titles must be markup already.
void OpenPlotArea(std::string& svg, const PlotArea& area, const AreaTitles& titles,
                  PlotFrame& frame);

// Closes the area's group.
void ClosePlotArea(std::string& svg);

}  // namespace qartwo
