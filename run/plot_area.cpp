#include "run/plot_area.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "support/text/number_text.h"

namespace qartwo {
namespace {

constexpr int kFewestSteps = 4;
constexpr int kMostSteps = 8;
constexpr std::array<double, 4> kRoundSteps = {1.0, 2.0, 2.5, 5.0};
// Minor grid lines (2 to 9 times a decade) from this many pixels per decade on.
constexpr double kMinorGridDecade = 80.0;
// Room a decade's label needs along each axis; closer decades are labelled every second, third..
constexpr double kLabelRoomX = 36.0;
constexpr double kLabelRoomY = 20.0;
constexpr double kTickLabelGapX = 18.0;  // below the box, to the labels' baseline
constexpr double kTickLabelGapY = 6.0;   // left of the box
constexpr double kTitleGap = 30.0;       // above the box, leaving a line for a note
constexpr double kXTitleGap = 40.0;
constexpr double kYTitleGap = 52.0;
constexpr int kLabelDigits = 6;

// "⁰¹²³⁴⁵⁶⁷⁸⁹" and "⁻", one UTF-8 character each.
constexpr std::array<std::string_view, 10> kSuperscripts = {"\u2070", "\u00B9", "\u00B2", "\u00B3",
                                                            "\u2074", "\u2075", "\u2076", "\u2077",
                                                            "\u2078", "\u2079"};
constexpr std::string_view kSuperscriptMinus = "\u207B";

double Fraction(const Scale& scale, double value) {
  double at = value;
  if (scale.log) at = value > 0.0 ? std::log10(value) : scale.min;
  const double fraction = (at - scale.min) / (scale.max - scale.min);
  return std::isnan(fraction) ? 0.0 : std::clamp(fraction, 0.0, 1.0);
}

void AppendAttribute(std::string& svg, std::string_view name, double value) {
  svg += ' ';
  svg += name;
  svg += "=\"";
  AppendRounded(svg, value, 2);
  svg += '"';
}

// 10 with the exponent `decade` raised: 10³, 10⁻².
void AppendDecade(std::string& svg, int decade) {
  svg += "10";
  if (decade < 0) svg += kSuperscriptMinus;
  const std::string digits = std::to_string(std::abs(decade));
  for (const char digit : digits) svg += kSuperscripts[static_cast<std::size_t>(digit - '0')];
}

// The values of the scale's grid lines: every decade and, where there is room, 2 to 9 times
// each; or every step. Calls `line(value, major)`; `labelled` tells which major ones get a label.
template <typename Line>
void ForEachGridLine(const Scale& scale, double pixels, Line line) {
  if (!scale.log) {
    const auto steps = static_cast<int>(std::lround((scale.max - scale.min) / scale.step));
    for (int i = 0; i <= steps; ++i) line(scale.min + scale.step * i, true);
    return;
  }
  const double per_decade = pixels / (scale.max - scale.min);
  for (auto decade = static_cast<int>(scale.min); decade <= static_cast<int>(scale.max); ++decade) {
    line(std::pow(10.0, decade), true);
    if (per_decade < kMinorGridDecade || decade == static_cast<int>(scale.max)) continue;
    for (int times = 2; times <= 9; ++times) line(times * std::pow(10.0, decade), false);
  }
}

void AppendScaleData(std::string& svg, std::string_view axis, const Scale& scale) {
  const std::string prefix = "data-" + std::string(axis) + (scale.log ? "-log" : "");
  AppendAttribute(svg, prefix + "-min", scale.min);
  AppendAttribute(svg, prefix + "-max", scale.max);
}

void AppendGrid(std::string& svg, const PlotArea& area) {
  const double right = area.left + area.width;
  const double bottom = area.top + area.height;
  for (const bool major : {false, true}) {
    std::string path;
    ForEachGridLine(area.x, area.width, [&](double value, bool is_major) {
      if (is_major != major) return;
      path += 'M';
      AppendRounded(path, PixelX(area, value), 2);
      path += ' ';
      AppendRounded(path, area.top, 2);
      path += 'V';
      AppendRounded(path, bottom, 2);
    });
    ForEachGridLine(area.y, area.height, [&](double value, bool is_major) {
      if (is_major != major) return;
      path += 'M';
      AppendRounded(path, area.left, 2);
      path += ' ';
      AppendRounded(path, PixelY(area, value), 2);
      path += 'H';
      AppendRounded(path, right, 2);
    });
    if (path.empty()) continue;
    svg += major ? "<path class=\"grid-major\" d=\"" : "<path class=\"grid\" d=\"";
    svg += path;
    svg += "\"/>\n";
  }
}

// The labels of one axis' major grid lines, each decade of a crowded log scale only every
// second (third, ...) one.
void AppendTickLabels(std::string& svg, const PlotArea& area, bool horizontal) {
  const Scale& scale = horizontal ? area.x : area.y;
  const double pixels = horizontal ? area.width : area.height;
  const double room = horizontal ? kLabelRoomX : kLabelRoomY;
  const long every =
      scale.log ? std::max(1L, std::lround(std::ceil(room / (pixels / (scale.max - scale.min)))))
                : 1L;
  svg += horizontal ? "<g class=\"ticks x-ticks\" text-anchor=\"middle\">\n"
                    : "<g class=\"ticks y-ticks\" text-anchor=\"end\">\n";
  long index = 0;
  ForEachGridLine(scale, pixels, [&](double value, bool major) {
    if (!major || index++ % every != 0) return;
    svg += "<text";
    AppendAttribute(svg, "x", horizontal ? PixelX(area, value) : area.left - kTickLabelGapY);
    AppendAttribute(svg, "y",
                    horizontal ? area.top + area.height + kTickLabelGapX : PixelY(area, value) + 4);
    svg += '>';
    if (scale.log) {
      AppendDecade(svg, static_cast<int>(std::lround(std::log10(value))));
    } else {
      AppendSignificant(svg, value, kLabelDigits);
    }
    svg += "</text>\n";
  });
  svg += "</g>\n";
}

void AppendTitles(std::string& svg, const PlotArea& area, const AreaTitles& titles) {
  svg += "<text class=\"plot-title\"";
  AppendAttribute(svg, "x", area.left);
  AppendAttribute(svg, "y", area.top - kTitleGap);
  svg += '>';
  svg += titles.title;
  svg += "</text>\n<text class=\"axis-title\" text-anchor=\"middle\"";
  AppendAttribute(svg, "x", area.left + area.width / 2);
  AppendAttribute(svg, "y", area.top + area.height + kXTitleGap);
  svg += '>';
  svg += titles.x_title;
  const double x = area.left - kYTitleGap;
  const double y = area.top + area.height / 2;
  svg += "</text>\n<text class=\"axis-title\" text-anchor=\"middle\" transform=\"rotate(-90 ";
  AppendRounded(svg, x, 2);
  svg += ' ';
  AppendRounded(svg, y, 2);
  svg += ")\"";
  AppendAttribute(svg, "x", x);
  AppendAttribute(svg, "y", y);
  svg += '>';
  svg += titles.y_title;
  svg += "</text>\n";
}

}  // namespace

Scale DecadeScale(double low, double high) {
  Scale scale{.log = true, .min = std::floor(std::log10(low)), .max = std::ceil(std::log10(high))};
  if (scale.max <= scale.min) scale.max = scale.min + 1.0;
  return scale;
}

Scale RoundScale(double high) {
  if (!(high > 0.0) || !std::isfinite(high)) return {.min = 0.0, .max = 1.0, .step = 0.2};
  Scale best{.min = 0.0, .max = HUGE_VAL, .step = 1.0};
  const double lowest = std::floor(std::log10(high / kMostSteps));
  for (const double exponent : {lowest, lowest + 1.0}) {
    for (const double times : kRoundSteps) {
      const double step = times * std::pow(10.0, exponent);
      const double steps = std::ceil(high / step * (1.0 - 1e-12));
      if (steps >= kFewestSteps && steps <= kMostSteps && steps * step < best.max)
        best = {.max = steps * step, .step = step};
    }
  }
  return best;
}

double PixelX(const PlotArea& area, double value) {
  return area.left + Fraction(area.x, value) * area.width;
}

double PixelY(const PlotArea& area, double value) {
  return area.top + (1.0 - Fraction(area.y, value)) * area.height;
}

void OpenPlotArea(std::string& svg, const PlotArea& area, const AreaTitles& titles) {
  svg += "<g class=\"";
  svg += titles.classes;
  svg += '"';
  AppendAttribute(svg, "data-left", area.left);
  AppendAttribute(svg, "data-top", area.top);
  AppendAttribute(svg, "data-width", area.width);
  AppendAttribute(svg, "data-height", area.height);
  AppendScaleData(svg, "x", area.x);
  AppendScaleData(svg, "y", area.y);
  svg += ">\n";
  AppendTitles(svg, area, titles);
  AppendGrid(svg, area);
  svg += "<rect class=\"frame\"";
  AppendAttribute(svg, "x", area.left);
  AppendAttribute(svg, "y", area.top);
  AppendAttribute(svg, "width", area.width);
  AppendAttribute(svg, "height", area.height);
  svg += "/>\n";
  AppendTickLabels(svg, area, true);
  AppendTickLabels(svg, area, false);
}

void ClosePlotArea(std::string& svg) {
  svg += "</g>\n";
}

}  // namespace qartwo
