#include "run/hot_spot_picture.h"

#include "run/damage_plot.h"
#include "run/results_table.h"
#include "run/spectrum_plot.h"
#include "support/text/fixed_text.h"
#include "support/text/markup.h"
#include "support/text/number_text.h"

namespace qartwo {
namespace {

// Room for the names in the heading, in characters; a longer one is cut, and whole in a
// tooltip.
constexpr std::size_t kNameRoom = 64;
constexpr std::size_t kNameBesideVerdictRoom = 40;  // the verdict takes the heading's right end
constexpr std::size_t kCurveNameRoom = 90;
constexpr int kDigits = 5;

constexpr std::string_view kHead =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"900\" height=\"600\" "
    "viewBox=\"0 0 900 600\" font-family=\"DejaVu Sans,Arial,sans-serif\" "
    "font-size=\"12\">\n";
// The style of what every picture has; what only some have brings its own rules along.
constexpr std::string_view kStyle =
    "<style>path,polyline{fill:none}.grid{stroke:#eee}.grid-major{stroke:#ccc}"
    ".frame{fill:none;stroke:#555}.plot-title,.caption-name{font-weight:bold}"
    ".plot-title{font-size:14px}.caption-name{font-size:18px}"
    ".axis-title,.caption-curve,.caption-numbers{font-size:13px}.axis-title{text-anchor:middle}"
    ".curve{stroke:#1f4e99;stroke-width:2.5}.spectrum{stroke:#d35400;stroke-width:2}"
    ".bar{fill:#7ea7d8}.governing{fill:#d35400}.governing-note{font-weight:bold;fill:#a84300}"
    "</style>\n"
    "<rect width=\"900\" height=\"600\" fill=\"#fff\"/>\n";
constexpr std::string_view kVerdictStyle =
    "<style>.verdict{font-size:16px;font-weight:bold}.pass{fill:#1a7f37}.fail{fill:#c62828}"
    "</style>\n";

constexpr PlotArea kSpectrumArea{
    .left = 92, .top = 112, .width = 340, .height = 332, .x = {}, .y = {}};
constexpr PlotArea kDamageArea{
    .left = 548, .top = 112, .width = 328, .height = 332, .x = {}, .y = {}};

// A text of the caption at (x, y) with class `kind`; `words` is markup.
void OpenText(std::string& svg, std::string_view kind, int x, int y) {
  svg += "<text class=\"";
  svg += kind;
  svg += "\" x=\"";
  AppendRounded(svg, x, 0);
  svg += "\" y=\"";
  AppendRounded(svg, y, 0);
  svg += "\">";
}

// `text` from a file, cut to `room` characters, with the whole text as a tooltip when cut.
void AppendName(std::string& svg, std::string_view text, TextSource source, std::size_t room) {
  const std::size_t start = svg.size();
  if (!AppendMarkupText(svg, text, source, room)) return;
  std::string tooltip = "<title>";
  AppendMarkupText(tooltip, text, source);
  tooltip += "</title>";
  svg.insert(start, tooltip);
}

void AppendNumber(std::string& svg, double value) {
  AppendSignificant(svg, value, kDigits);
}

void WriteHeading(std::string& svg, std::string_view name, const HotSpotInputs& inputs,
                  const HotSpotResult& result) {
  OpenText(svg, "caption-name", 24, 32);
  svg += "Hot spot ";
  AppendName(svg, name, TextSource::kRaw,
             inputs.has_design_life ? kNameBesideVerdictRoom : kNameRoom);
  svg += "</text>\n";
  OpenText(svg, "caption-curve", 24, 56);
  svg += "SN-curve: ";
  AppendName(svg, TrimTrailingBlanks(result.shown_name), TextSource::kRaw, kCurveNameRoom);
  if (result.user_curve) {
    svg += " (user-defined)";
  } else {
    svg += " (built-in curve ";
    AppendRounded(svg, inputs.curve_number, 0);
    svg += ")";
  }
  svg += "</text>\n";
  if (!inputs.has_design_life) return;
  const double utilisation = Utilisation(result, inputs);
  const bool pass = utilisation <= 1.0;
  svg += kVerdictStyle;
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
  svg += "<tspan x=\"24\" dy=\"22\">Damage per year ";
  AppendNumber(svg, result.damage);
  svg += " \u00B7 life ";
  if (result.damage > 0.0) {
    AppendNumber(svg, 1.0 / result.damage);
    svg += " years";
  } else {
    svg += "without end (no damage)";
  }
  svg += "</tspan><tspan x=\"24\" dy=\"22\">";
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
    svg += "No design life, no design check";
  }
  svg += "</tspan></text>\n";
}

}  // namespace

void DrawHotSpot(std::string_view name, const HotSpotInputs& inputs, const HotSpotResult& result,
                 PictureFrames& frames, std::string& svg) {
  svg = kHead;
  svg += "<title>Hot spot ";
  AppendMarkupText(svg, name, TextSource::kRaw);
  svg += "</title>\n";
  svg += kStyle;
  svg += "<g class=\"caption\">\n";
  WriteHeading(svg, name, inputs, result);
  WriteNumbers(svg, inputs, result);
  svg += "</g>\n";
  const double years = inputs.has_design_life ? inputs.design_life : 1.0;
  frames.x_title = "cycles per year";
  if (inputs.has_design_life) {
    frames.x_title = "cycles in ";
    AppendNumber(frames.x_title, years);
    frames.x_title += " years (design life)";
  }
  DrawSpectrumPlot(svg, kSpectrumArea, result, years, frames.x_title, frames.spectrum,
                   frames.curve);
  DrawDamagePlot(svg, kDamageArea, result, frames.damage);
  svg += "</svg>\n";
}

}  // namespace qartwo
