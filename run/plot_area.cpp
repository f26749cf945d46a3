#include "run/plot_area.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "support/text/number_text.h"

namespace qartwo {
namespace {

constexpr int kFewestSteps = 3;
constexpr int kMostSteps = 6;
constexpr std::array<double, 4> kRoundSteps = {1.0, 2.0, 2.5, 5.0};
// Minor grid lines (2 and 5 times a decade) from this many pixels per decade on.
constexpr double kMinorGridDecade = 80.0;
// Up to this many decades, the minor lines of a log scale are labelled too.
constexpr double kMinorLabelDecades = 2.0;
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

// log10 of 2 and 5: the minor grid lines within a decade.
constexpr std::array<double, 2> kMinorLogs = {0.3010299956639812, 0.6989700043360189};

// Where `scaled` (a value, or its logarithm on a log scale) lies on the scale, from 0 to 1.
double Fraction(const Scale& scale, double scaled) {
  const double fraction = (scaled - scale.min) / (scale.max - scale.min);
  return std::isnan(fraction) ? 0.0 : std::clamp(fraction, 0.0, 1.0);
}

double Scaled(const Scale& scale, double value) {
  if (!scale.log) return value;
  return value > 0.0 ? std::log10(value) : scale.min;
}

double AlongX(const PlotArea& area, double scaled) {
  return area.left + Fraction(area.x, scaled) * area.width;
}

double AlongY(const PlotArea& area, double scaled) {
  return area.top + (1.0 - Fraction(area.y, scaled)) * area.height;
}

void AppendAttribute(std::string& svg, std::string_view name, double value) {
  svg += ' ';
  svg += name;
  svg += "=\"";
  AppendRounded(svg, value, kPixelDecimals);
  svg += '"';
}

// 10 with the exponent `decade` raised: 10³, 10⁻².
void AppendDecade(std::string& svg, int decade) {
  svg += "10";
  if (decade < 0) svg += kSuperscriptMinus;
  std::array<char, 12> digits{};
  const char* end = std::to_chars(digits.begin(), digits.end(), std::abs(decade)).ptr;
  for (const char* digit = digits.data(); digit != end; ++digit) {
    svg += kSuperscripts[static_cast<std::size_t>(*digit - '0')];
  }
}

// The scale's grid lines, in its own units: every decade and, where there is room, 2 and 5
// times each; or every step. Calls `line(scaled, major)`.
template <typename Line>
void ForEachGridLine(const Scale& scale, double pixels, Line line) {
  if (!scale.log) {
    const auto steps = static_cast<int>(std::lround((scale.max - scale.min) / scale.step));
    for (int i = 0; i <= steps; ++i) line(scale.min + scale.step * i, true);
    return;
  }
  const bool minor = pixels / (scale.max - scale.min) >= kMinorGridDecade;
  for (double decade = scale.min; decade <= scale.max; ++decade) {
    line(decade, true);
    if (!minor || decade == scale.max) continue;
    for (const double times : kMinorLogs) line(decade + times, false);
  }
}

void AppendScaleData(std::string& svg, char axis, const Scale& scale) {
  for (const bool max : {false, true}) {
    svg += " data-";
    svg += axis;
    svg += scale.log ? "-log" : "";
    svg += max ? "-max=\"" : "-min=\"";
    AppendShortest(svg, max ? scale.max : scale.min);
    svg += '"';
  }
}

// Appends a move and a line of the grid, opening the path of class `kind` first.
void AppendGridLine(std::string& svg, bool& open, std::string_view kind, double x, double y,
                    char towards, double to) {
  if (!open) {
    svg += "<path class=\"";
    svg += kind;
    svg += "\" d=\"";
    open = true;
  }
  svg += 'M';
  AppendRounded(svg, x, kPixelDecimals);
  svg += ' ';
  AppendRounded(svg, y, kPixelDecimals);
  svg += towards;
  AppendRounded(svg, to, kPixelDecimals);
}

// The grid inside the box; the frame draws its edges.
void AppendGrid(std::string& svg, const PlotArea& area) {
  const double right = area.left + area.width;
  const double bottom = area.top + area.height;
  for (const bool major : {false, true}) {
    const std::string_view kind = major ? "grid-major" : "grid";
    bool open = false;
    ForEachGridLine(area.x, area.width, [&](double scaled, bool is_major) {
      if (is_major != major || scaled <= area.x.min || scaled >= area.x.max) return;
      AppendGridLine(svg, open, kind, AlongX(area, scaled), area.top, 'V', bottom);
    });
    ForEachGridLine(area.y, area.height, [&](double scaled, bool is_major) {
      if (is_major != major || scaled <= area.y.min || scaled >= area.y.max) return;
      AppendGridLine(svg, open, kind, area.left, AlongY(area, scaled), 'H', right);
    });
    if (open) svg += "\"/>\n";
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
  // The labels' common coordinate goes to their group.
  svg += horizontal ? "<g class=\"x-ticks\" text-anchor=\"middle\" transform=\"translate(0 "
                    : "<g class=\"y-ticks\" text-anchor=\"end\" transform=\"translate(";
  AppendRounded(svg,
                horizontal ? area.top + area.height + kTickLabelGapX : area.left - kTickLabelGapY,
                kPixelDecimals);
  svg += horizontal ? ")\">\n" : " 4)\">\n";
  // A log scale of few decades names its minor lines too (20, 50), or it would say too little.
  const bool minor_labels = scale.log && scale.max - scale.min <= kMinorLabelDecades;
  long index = 0;
  ForEachGridLine(scale, pixels, [&](double scaled, bool major) {
    if (major ? index++ % every != 0 : !minor_labels) return;
    svg += horizontal ? "<text x=\"" : "<text y=\"";
    AppendRounded(svg, horizontal ? AlongX(area, scaled) : AlongY(area, scaled), kPixelDecimals);
    svg += "\">";
    if (scale.log && major) {
      AppendDecade(svg, static_cast<int>(std::lround(scaled)));
    } else {
      AppendSignificant(svg, scale.log ? std::pow(10.0, scaled) : scaled, kLabelDigits);
    }
    svg += "</text>";
  });
  svg += "\n</g>\n";
}

void AppendTitles(std::string& svg, const PlotArea& area, const AreaTitles& titles) {
  svg += "<text class=\"plot-title\"";
  AppendAttribute(svg, "x", area.left);
  AppendAttribute(svg, "y", area.top - kTitleGap);
  svg += '>';
  svg += titles.title;
  svg += "</text>\n<text class=\"axis-title\"";
  AppendAttribute(svg, "x", area.left + area.width / 2);
  AppendAttribute(svg, "y", area.top + area.height + kXTitleGap);
  svg += '>';
  svg += titles.x_title;
  svg += "</text>\n<text class=\"axis-title\" transform=\"translate(";
  AppendRounded(svg, area.left - kYTitleGap, kPixelDecimals);
  svg += ' ';
  AppendRounded(svg, area.top + area.height / 2, kPixelDecimals);
  svg += ")rotate(-90)\">";
  svg += titles.y_title;
  svg += "</text>\n";
}

bool SameScale(const Scale& a, const Scale& b) {
  return a.log == b.log && a.min == b.min && a.max == b.max && a.step == b.step;
}

void DrawFrame(std::string& svg, const PlotArea& area, const AreaTitles& titles) {
  svg = "<g class=\"";
  svg += titles.classes;
  svg += '"';
  AppendAttribute(svg, "data-left", area.left);
  AppendAttribute(svg, "data-top", area.top);
  AppendAttribute(svg, "data-width", area.width);
  AppendAttribute(svg, "data-height", area.height);
  AppendScaleData(svg, 'x', area.x);
  AppendScaleData(svg, 'y', area.y);
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

}  // namespace

bool SameArea(const PlotArea& a, const PlotArea& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height &&
         SameScale(a.x, b.x) && SameScale(a.y, b.y);
}

Scale DecadeScale(double low, double high) {
  Scale scale{.log = true, .min = std::floor(std::log10(low)), .max = std::ceil(std::log10(high))};
  if (scale.max <= scale.min) scale.max = scale.min + 1.0;
  return scale;
}

Scale RoundScale(double high) {
  if (!(high > 0.0) || !std::isfinite(high)) return {.min = 0.0, .max = 1.0, .step = 0.2};
  Scale best{.min = 0.0, .max = HUGE_VAL, .step = 1.0};
  const double lowest = std::pow(10.0, std::floor(std::log10(high / kMostSteps)));
  for (const double power : {lowest, lowest * 10.0}) {
    for (const double times : kRoundSteps) {
      const double step = times * power;
      const double steps = std::ceil(high / step * (1.0 - 1e-12));
      if (steps >= kFewestSteps && steps <= kMostSteps && steps * step < best.max)
        best = {.max = steps * step, .step = step};
    }
  }
  return best;
}

double PixelX(const PlotArea& area, double value) {
  return AlongX(area, Scaled(area.x, value));
}

double ScaledPixelX(const PlotArea& area, double scaled) {
  return AlongX(area, scaled);
}

double ScaledPixelY(const PlotArea& area, double scaled) {
  return AlongY(area, scaled);
}

double PixelY(const PlotArea& area, double value) {
  return AlongY(area, Scaled(area.y, value));
}

void OpenPlotArea(std::string& svg, const PlotArea& area, const AreaTitles& titles,
                  PlotFrame& frame) {
  const std::array<std::string_view, 4> texts = {titles.classes, titles.title, titles.x_title,
                                                 titles.y_title};
  const bool same = frame.drawn && SameArea(frame.area, area) &&
                    std::equal(texts.begin(), texts.end(), frame.titles.begin());
  if (!same) {
    frame.drawn = true;
    frame.area = area;
    std::copy(texts.begin(), texts.end(), frame.titles.begin());
    DrawFrame(frame.text, area, titles);
  }
  svg += frame.text;
}

void ClosePlotArea(std::string& svg) {
  svg += "</g>\n";
}

}  // namespace qartwo
