#include "run/hot_spot_picture.h"

#include "run/damage_plot.h"
#include "run/results_table.h"
#include "run/spectrum_plot.h"
#include "support/text/markup.h"
#include "support/text/number_text.h"

namespace qartwo {
namespace {

// Room for the names in the heading, in characters; a longer one is cut, and whole in a
// tooltip.
constexpr std::size_t kNameRoom = 60;
constexpr std::size_t kCurveNameRoom = 90;
constexpr int kDigits = 5;

constexpr std::string_view kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"900\" height=\"600\" "
    "viewBox=\"0 0 900 600\" font-family=\"DejaVu Sans, Verdana, Arial, sans-serif\" "
    "font-size=\"12\">\n";
constexpr std::string_view kStyle =
    "<style>\n"
    "text{fill:#1d1d1d}\n"
    ".background{fill:#fff}\n"
    ".frame{fill:none;stroke:#555}\n"
    ".grid{fill:none;stroke:#eee}\n"
    ".grid-major{fill:none;stroke:#ccc}\n"
    ".plot-title{font-size:14px;font-weight:bold}\n"
    ".axis-title{font-size:13px}\n"
    ".caption-name{font-size:18px;font-weight:bold}\n"
    ".caption-curve,.caption-numbers{font-size:13px}\n"
    ".verdict{font-size:16px;font-weight:bold}\n"
    ".curve{fill:none;stroke:#1f4e99;stroke-width:2.5}\n"
    ".fatigue-limit{fill:none;stroke:#1f4e99;stroke-width:2.5;stroke-dasharray:8 4}\n"
    ".spectrum{fill:none;stroke:#d35400;stroke-width:2}\n"
    ".bar,.bars-outline{fill:#7ea7d8}\n"
    ".governing,.bar.governing{fill:#d35400}\n"
    ".governing-note{fill:#a84300;font-weight:bold}\n"
    ".no-damage{font-size:14px;fill:#555}\n"
    ".pass{fill:#1a7f37}\n"
    ".fail{fill:#c62828}\n"
    "</style>\n"
    "<rect class=\"background\" width=\"900\" height=\"600\"/>\n";

constexpr PlotArea kSpectrumArea{
    .left = 92, .top = 112, .width = 340, .height = 332, .x = {}, .y = {}};
constexpr PlotArea kDamageArea{
    .left = 548, .top = 112, .width = 328, .height = 332, .x = {}, .y = {}};

// A text of the caption at (x, y) with class `kind`; `words` is markup.
void OpenText(std::string& svg, std::string_view kind, int x, int y) {
  svg += "<text class=\"" + std::string(kind) + "\" x=\"" + std::to_string(x) + "\" y=\"" +
         std::to_string(y) + "\">";
}

// `text` from a file, cut to `room` characters, with the whole text as a tooltip when cut.
void AppendName(std::string& svg, std::string_view text, TextSource source, std::size_t room) {
  std::string shown;
  if (AppendMarkupText(shown, text, source, room)) {
    svg += "<title>";
    AppendMarkupText(svg, text, source);
    svg += "</title>";
  }
  svg += shown;
}

void AppendNumber(std::string& svg, double value) {
  AppendSignificant(svg, value, kDigits);
}

void WriteHeading(std::string& svg, std::string_view name, const HotSpotInputs& inputs,
                  const HotSpotResult& result) {
  OpenText(svg, "caption-name", 24, 32);
  svg += "Hot spot ";
  AppendName(svg, name, TextSource::kRaw, kNameRoom);
  svg += "</text>\n";
  OpenText(svg, "caption-curve", 24, 56);
  svg += "SN-curve: ";
  AppendName(svg, result.shown_name, TextSource::kRaw, kCurveNameRoom);
  svg += result.user_curve ? " (user-defined)"
                           : " (built-in curve " + std::to_string(inputs.curve_number) + ")";
  svg += "</text>\n";
  if (!inputs.has_design_life) return;
  const double utilisation = Utilisation(result, inputs);
  const bool pass = utilisation <= 1.0;
  svg += pass ? "<text class=\"verdict pass\"" : "<text class=\"verdict fail\"";
  svg += " text-anchor=\"end\" x=\"876\" y=\"32\">utilisation ";
  AppendSignificant(svg, utilisation, 3);
  svg += pass ? ": pass" : ": fail";
  svg += "</text>\n";
}

void WriteNumbers(std::string& svg, const HotSpotInputs& inputs, const HotSpotResult& result) {
  OpenText(svg, "caption-numbers", 24, 528);
  svg += "SCF ";
  AppendNumber(svg, result.detail.scf);
  const ThicknessCorrection& thickness = result.detail.thickness;
  if (thickness.applies) {
    svg += " \u00B7 thickness ";
    AppendNumber(svg, thickness.thickness);
    svg += " mm: stress ranges \u00D7 ";
    AppendNumber(svg, thickness.factor);
    svg += " (exponent ";
    AppendNumber(svg, thickness.exponent);
    svg += ")";
  } else {
    svg += " \u00B7 no thickness correction on this curve";
  }
  svg += "</text>\n";
  OpenText(svg, "caption-numbers", 24, 550);
  svg += "Damage per year ";
  AppendNumber(svg, result.damage);
  svg += " \u00B7 life ";
  if (result.damage > 0.0) {
    AppendNumber(svg, 1.0 / result.damage);
    svg += " years";
  } else {
    svg += "without end (no damage)";
  }
  svg += "</text>\n";
  OpenText(svg, "caption-numbers", 24, 572);
  if (inputs.has_design_life) {
    const double utilisation = Utilisation(result, inputs);
    svg += "Design life ";
    AppendNumber(svg, inputs.design_life);
    svg += " years, DFF ";
    AppendNumber(svg, inputs.dff);
    svg += ": utilisation ";
    AppendNumber(svg, utilisation);
    svg += utilisation <= 1.0 ? ", <tspan class=\"pass\">pass</tspan>"
                              : ", <tspan class=\"fail\">fail</tspan>";
  } else {
    svg += "No design check (no design life given)";
  }
  svg += "</text>\n";
}

}  // namespace

void DrawHotSpot(std::string_view name, const HotSpotInputs& inputs, const HotSpotResult& result,
                 std::string& svg) {
  svg = kHead;
  svg += "<title>Hot spot ";
  AppendMarkupText(svg, name, TextSource::kRaw);
  svg += ": fatigue damage</title>\n";
  svg += kStyle;
  svg += "<g class=\"caption\">\n";
  WriteHeading(svg, name, inputs, result);
  WriteNumbers(svg, inputs, result);
  svg += "</g>\n";
  const double years = inputs.has_design_life ? inputs.design_life : 1.0;
  std::string x_title = "cycles per year";
  if (inputs.has_design_life) {
    x_title = "cycles in ";
    AppendNumber(x_title, years);
    x_title += " years (design life)";
  }
  DrawSpectrumPlot(svg, kSpectrumArea, result, years, x_title);
  DrawDamagePlot(svg, kDamageArea, result);
  svg += "</svg>\n";
}

}  // namespace qartwo
