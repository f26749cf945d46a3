#include "run/damage_plot.h"

#include <algorithm>

#include "run/pixel_line.h"
#include "run/results_table.h"
#include "support/text/number_text.h"

namespace qartwo {
namespace {

constexpr double kPercent = 100.0;
constexpr double kGapFromPixels = 4.0;  // bars this wide or wider get a gap between them
constexpr double kGap = 0.15;           // of a bar's width
constexpr double kNoteGap = 10.0;       // the governing block's note, above the box

void AppendRect(std::string& svg, double x, double y, double width, double height) {
  svg += " x=\"";
  AppendRounded(svg, x, kPixelDecimals);
  svg += "\" y=\"";
  AppendRounded(svg, y, kPixelDecimals);
  svg += "\" width=\"";
  AppendRounded(svg, width, kPixelDecimals);
  svg += "\" height=\"";
  AppendRounded(svg, height, kPixelDecimals);
  svg += '"';
}

// The block's share of the damage in %, and its stress range in MPa, for people.
void AppendBlockText(std::string& svg, const HotSpotResult& result, std::size_t block) {
  svg += "block ";
  AppendRounded(svg, static_cast<double>(block + 1), 0);
  svg += " at ";
  AppendSignificant(svg, result.blocks[block].stress_range, 4);
  svg += " MPa: ";
  AppendSignificant(svg, result.blocks[block].damage / result.damage * kPercent, 3);
  svg += " %";
}

// A bar's left and right pixel: one block wide around its stress range. Block 1 stands at half
// a block's width, so that is the width of each.
std::pair<double, double> BarEdges(const PlotArea& area, const HotSpotResult& result,
                                   std::size_t block) {
  const double half = result.blocks[0].stress_range;
  const double stress = result.blocks[block].stress_range;
  return {PixelX(area, stress - half), PixelX(area, stress + half)};
}

void DrawBars(std::string& svg, const PlotArea& area, const HotSpotResult& result,
              long long governing) {
  const double bottom = area.top + area.height;
  for (std::size_t block = 0; block < result.blocks.size(); ++block) {
    if (!(result.blocks[block].damage > 0.0)) continue;
    auto [left, right] = BarEdges(area, result, block);
    if (right - left >= kGapFromPixels) {
      const double gap = (right - left) * kGap / 2.0;
      left += gap;
      right -= gap;
    }
    const double top = PixelY(area, result.blocks[block].damage / result.damage * kPercent);
    svg += static_cast<long long>(block) == governing ? "<rect class=\"bar governing\""
                                                      : "<rect class=\"bar\"";
    AppendRect(svg, left, top, right - left, bottom - top);
    svg += "/>\n";
  }
}

// All blocks as one polygon: along the bars' tops from the first block to the last that does
// damage, equal steps merged.
void DrawOutline(std::string& svg, const PlotArea& area, const HotSpotResult& result,
                 std::size_t end) {
  const double bottom = area.top + area.height;
  svg += "<style>.bars-outline{fill:#7ea7d8}</style>\n<polygon class=\"bars-outline\" points=\"";
  PixelLine line = StartPixelLine(svg);
  AddPixel(line, BarEdges(area, result, 0).first, bottom);
  for (std::size_t block = 0; block < end; ++block) {
    const auto [left, right] = BarEdges(area, result, block);
    const double top = PixelY(area, result.blocks[block].damage / result.damage * kPercent);
    AddPixel(line, left, top);
    AddPixel(line, right, top);
  }
  AddPixel(line, BarEdges(area, result, end - 1).second, bottom);
  EndPixelLine(line);
  svg += "\"/>\n";
  const long long governing = GoverningBlock(result);
  const auto [left, right] = BarEdges(area, result, static_cast<std::size_t>(governing));
  const double top = PixelY(
      area, result.blocks[static_cast<std::size_t>(governing)].damage / result.damage * kPercent);
  svg += "<rect class=\"governing\"";
  AppendRect(svg, left, top, std::max(right - left, 1.0), bottom - top);
  svg += "/>\n";
}

void WriteGoverningNote(std::string& svg, const PlotArea& area, const HotSpotResult& result,
                        long long governing) {
  svg += "<text class=\"governing-note\" x=\"";
  AppendRounded(svg, area.left, kPixelDecimals);
  svg += "\" y=\"";
  AppendRounded(svg, area.top - kNoteGap, kPixelDecimals);
  svg += "\">governing: ";
  AppendBlockText(svg, result, static_cast<std::size_t>(governing));
  svg += "</text>\n";
}

void WriteNoDamage(std::string& svg, const PlotArea& area) {
  svg += "<style>.no-damage{font-size:14px;fill:#555}</style>\n";
  svg += "<text class=\"no-damage\" text-anchor=\"middle\" x=\"";
  AppendRounded(svg, area.left + area.width / 2.0, kPixelDecimals);
  svg += "\" y=\"";
  AppendRounded(svg, area.top + area.height / 2.0, kPixelDecimals);
  svg += "\">Damage per year 0:</text>\n";
  svg += "<text class=\"no-damage\" text-anchor=\"middle\" x=\"";
  AppendRounded(svg, area.left + area.width / 2.0, kPixelDecimals);
  svg += "\" y=\"";
  AppendRounded(svg, area.top + area.height / 2.0 + 18.0, kPixelDecimals);
  svg += "\">no block does damage, no bars</text>\n";
}

}  // namespace

void DrawDamagePlot(std::string& svg, PlotArea area, const HotSpotResult& result,
                    PlotFrame& frame) {
  // The last block that does damage; the blocks' highest stress range when none does.
  std::size_t end = 0;
  double top_share = 0.0;
  for (std::size_t block = 0; block < result.blocks.size(); ++block) {
    if (!(result.blocks[block].damage > 0.0) || result.damage == 0.0) continue;
    end = block + 1;
    top_share = std::max(top_share, result.blocks[block].damage / result.damage * kPercent);
  }
  const bool damaged = end > 0;
  const std::size_t last = damaged ? end - 1 : result.blocks.size() - 1;
  const double high = result.blocks.empty()
                          ? 0.0
                          : result.blocks[last].stress_range + result.blocks[0].stress_range;
  area.x = RoundScale(high);
  area.y = RoundScale(damaged ? top_share : kPercent);
  OpenPlotArea(svg, area,
               {.classes = "plot damage-plot",
                .title = "Damage by stress range",
                .x_title = "stress range used (MPa)",
                .y_title = "share of the damage (%)"},
               frame);
  if (!damaged) {
    WriteNoDamage(svg, area);
  } else {
    const long long governing = GoverningBlock(result);
    if (result.blocks.size() <= kMostBars) {
      DrawBars(svg, area, result, governing);
    } else {
      DrawOutline(svg, area, result, end);
    }
    WriteGoverningNote(svg, area, result, governing);
  }
  ClosePlotArea(svg);
}

}  // namespace qartwo
