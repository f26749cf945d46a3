#include "run/spectrum_plot.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "fatigue/damage.h"
#include "fatigue/sn_vector.h"
#include "run/pixel_line.h"
#include "support/text/number_text.h"

namespace qartwo {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// At most this many decades of stress range below the highest, and of cycles beyond the
// spectrum's first: beyond them a curve's far end is cut.
constexpr double kMostStressDecades = 8.0;
constexpr double kMostCycleDecades = 12.0;
constexpr double kMargin = 1.1;      // around the stress ranges: keeps the steps off the frame
constexpr double kLegendGap = 10.0;  // above the box
constexpr double kLegendStep = 110.0;

// The segment block of a curve vector, as the damage sum steps through it.
struct Segments {
  std::span<const double> values;
  int nParPerLin = 0;
  int nSNlin = 0;
  long long inside = 0;
};

Segments SegmentsOf(std::span<const double> curve) {
  Segments segments{.values = ElementsFrom(curve, HeaderInteger(curve, kIFirstLin)),
                    .nParPerLin = HeaderInteger(curve, kNParPerLin),
                    .nSNlin = HeaderInteger(curve, kNSNlin)};
  segments.inside = SegmentsInside(segments.values.size(), segments.nParPerLin, segments.nSNlin);
  return segments;
}

// The segments that the damage sum can choose, from high stresses down: the first whose end
// stress lies below a stress range is chosen, so a segment covers the ranges from its end
// stress up to the lowest end stress before it. Below the lowest nothing is damaged.
void ReadSegments(std::span<const double> curve, CurveMemo& memo) {
  memo.curve.assign(curve.begin(), curve.end());
  memo.segments.clear();
  memo.drawn = false;
  const Segments segments = SegmentsOf(curve);
  double upper = kInfinity;
  for (long long j = 0; j < segments.inside && upper > 0.0; ++j) {
    const double* values = segments.values.data() + j * segments.nParPerLin;
    const double lower = SegmentEndStress(values[0], values[1], values[2]);
    if (!(lower < upper) || !(values[1] > 0.0)) continue;  // never chosen, or no usable slope
    const double knee =
        lower > 0.0 ? std::pow(10.0, values[0] - values[1] * std::log10(lower)) : 0.0;
    memo.segments.push_back({static_cast<int>(j + 1), values[0], values[1], lower, upper, knee});
    upper = lower;
  }
  memo.limit = std::isfinite(upper) ? upper : 0.0;
}

// log10 of the cycles to failure at `stress` on the segment chosen there; infinite where
// nothing is damaged.
double LogCyclesAt(const CurveMemo& memo, double stress) {
  for (const UsedSegment& segment : memo.segments) {
    if (stress > segment.lower) return segment.logA - segment.m * std::log10(stress);
  }
  return kInfinity;
}

struct Range {
  double low = kInfinity;
  double high = 0.0;
  void Take(double value) {
    if (!(value > 0.0) || !std::isfinite(value)) return;
    low = std::min(low, value);
    high = std::max(high, value);
  }
};

// The scales: stress ranges of the blocks with cycles and the segments' ends; cycles of the
// spectrum, of the knees, of the curve at the highest stress range shown, and a decade beyond
// the spectrum's end and the last knee.
void ChooseScales(PlotArea& area, const CurveMemo& memo, const HotSpotResult& result,
                  double years) {
  Range stress, cycles;
  double total = 0.0;
  for (std::size_t block = result.blocks.size(); block-- > 0;) {
    if (!(result.counts[block] > 0.0)) continue;
    // Steps kept off the frame: a little room around the highest and lowest stress range and
    // before the first step's end.
    stress.Take(result.blocks[block].stress_range * kMargin);
    stress.Take(result.blocks[block].stress_range / kMargin);
    if (total == 0.0) cycles.Take(result.counts[block] * years / 2.0);
    total += result.counts[block] * years;
  }
  cycles.Take(total);
  double knee = 0.0;
  for (const UsedSegment& segment : memo.segments) {
    stress.Take(segment.lower);
    if (!(segment.knee > 0.0)) continue;  // a segment without end has no knee
    knee = segment.knee;
    cycles.Take(knee);
  }
  // A decade beyond the spectrum's end and the last knee: room for the fatigue limit's line.
  cycles.Take(10.0 * std::max(total, knee));
  if (stress.high == 0.0) stress = {.low = 10.0, .high = 1000.0};
  area.y = DecadeScale(stress.low, stress.high);
  area.y.min = std::max(area.y.min, area.y.max - kMostStressDecades);
  cycles.Take(std::pow(10.0, LogCyclesAt(memo, std::pow(10.0, area.y.max))));
  if (cycles.high == 0.0) cycles = {.low = 1e3, .high = 1e8};
  area.x = DecadeScale(cycles.low, cycles.high);
  const double spectrum_end = total > 0.0 ? std::ceil(std::log10(total)) : area.x.min + 1.0;
  if (area.x.max - area.x.min > kMostCycleDecades) {
    area.x.max = std::max(area.x.min + kMostCycleDecades, spectrum_end);
  }
}

// One segment as a line of two points in log-log space, cut to the box: log N = LogA - m log S.
void DrawSegment(std::string& svg, const PlotArea& area, const UsedSegment& segment) {
  double low = std::max(area.y.min, (segment.logA - area.x.max) / segment.m);
  if (segment.lower > 0.0) low = std::max(low, std::log10(segment.lower));
  double high = std::min(area.y.max, (segment.logA - area.x.min) / segment.m);
  if (std::isfinite(segment.upper)) high = std::min(high, std::log10(segment.upper));
  if (!(low < high)) return;
  svg += "<polyline class=\"curve\" data-segment=\"";
  AppendRounded(svg, segment.number, 0);
  svg += "\" points=\"";
  PixelLine line = StartPixelLine(svg);
  for (const double log_stress : {high, low}) {
    AddPixel(line, ScaledPixelX(area, segment.logA - segment.m * log_stress),
             ScaledPixelY(area, log_stress));
  }
  EndPixelLine(line);
  svg += "\"/>\n";
}

// The fatigue limit: from the knee of the last segment to the box's right edge; false when it
// lies outside the box.
bool DrawLimit(std::string& svg, const PlotArea& area, const UsedSegment& last, double limit) {
  const double log_limit = std::log10(limit);
  const double log_knee = last.logA - last.m * log_limit;
  if (log_limit < area.y.min || log_limit > area.y.max || log_knee >= area.x.max) return false;
  svg +=
      "<style>.fatigue-limit{stroke:#1f4e99;stroke-width:2.5;stroke-dasharray:8 4}</style>\n"
      "<polyline class=\"fatigue-limit\" data-stress=\"";
  AppendShortest(svg, limit);
  svg += "\" points=\"";
  PixelLine line = StartPixelLine(svg);
  AddPixel(line, ScaledPixelX(area, log_knee), ScaledPixelY(area, log_limit));
  AddPixel(line, area.left + area.width, ScaledPixelY(area, log_limit));
  EndPixelLine(line);
  svg += "\"/>\n";
  return true;
}

// False when no block has cycles: nothing drawn.
bool DrawSpectrum(std::string& svg, const PlotArea& area, const HotSpotResult& result,
                  double years) {
  PixelLine line = StartPixelLine(svg);
  double cycles = 0.0;
  double x = area.left;
  for (std::size_t block = result.blocks.size(); block-- > 0;) {
    if (!(result.counts[block] > 0.0)) continue;
    if (!line.has_held) svg += "<polyline class=\"spectrum\" points=\"";
    const double y = PixelY(area, result.blocks[block].stress_range);
    AddPixel(line, x, y);
    cycles += result.counts[block] * years;
    x = PixelX(area, cycles);  // where this step ends and the next begins
    AddPixel(line, x, y);
  }
  if (!line.has_held) return false;
  AddPixel(line, x, area.top + area.height);
  EndPixelLine(line);
  svg += "\"/>\n";
  return true;
}

// A row above the box naming the lines drawn: the curve, the spectrum (when a block has
// cycles) and the fatigue limit (when there is one).
void DrawLegend(std::string& svg, const PlotArea& area, bool spectrum, bool limit) {
  struct Entry {
    std::string_view kind;
    std::string_view text;
    bool shown;
  };
  const Entry entries[] = {{"curve", "SN-curve", true},
                           {"spectrum", "spectrum", spectrum},
                           {"fatigue-limit", "fatigue limit", limit}};
  const double y = area.top - kLegendGap;
  double x = area.left;
  for (const Entry& entry : entries) {
    if (!entry.shown) continue;
    svg += "<path class=\"";
    svg += entry.kind;
    svg += "\" d=\"M";
    AppendRounded(svg, x, kPixelDecimals);
    svg += ' ';
    AppendRounded(svg, y - 4.0, kPixelDecimals);
    svg += "h22\"/><text x=\"";
    AppendRounded(svg, x + 28.0, kPixelDecimals);
    svg += "\" y=\"";
    AppendRounded(svg, y, kPixelDecimals);
    svg += "\">";
    svg += entry.text;
    svg += "</text>\n";
    x += kLegendStep;
  }
}

}  // namespace

void DrawSpectrumPlot(std::string& svg, PlotArea area, const HotSpotResult& result, double years,
                      std::string_view x_title, PlotFrame& frame, CurveMemo& memo) {
  if (!std::equal(result.curve.begin(), result.curve.end(), memo.curve.begin(), memo.curve.end())) {
    ReadSegments(result.curve, memo);
  }
  ChooseScales(area, memo, result, years);
  OpenPlotArea(svg, area,
               {.classes = "plot spectrum-plot",
                .title = "Spectrum against SN-curve",
                .x_title = x_title,
                .y_title = "stress range (MPa)"},
               frame);
  if (!memo.drawn || !SameArea(memo.area, area)) {
    memo.lines.clear();
    for (const UsedSegment& segment : memo.segments) DrawSegment(memo.lines, area, segment);
    memo.limit_drawn =
        memo.limit > 0.0 && DrawLimit(memo.lines, area, memo.segments.back(), memo.limit);
    memo.area = area;
    memo.drawn = true;
    memo.legend.clear();  // drawn again below for the new axes
  }
  svg += memo.lines;
  const bool spectrum = DrawSpectrum(svg, area, result, years);
  if (memo.legend.empty() || memo.legend_spectrum != spectrum) {
    memo.legend.clear();
    DrawLegend(memo.legend, area, spectrum, memo.limit_drawn);
    memo.legend_spectrum = spectrum;
  }
  svg += memo.legend;
  ClosePlotArea(svg);
}

}  // namespace qartwo
