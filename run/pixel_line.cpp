#include "run/pixel_line.h"

#include <cmath>

#include "run/plot_area.h"
#include "support/text/number_text.h"

namespace qartwo {
namespace {

constexpr double kPerPixel = 10.0;  // 10^kPixelDecimals

double Rounded(double value) {
  return std::round(value * kPerPixel) / kPerPixel;
}

void Write(PixelLine& line, PixelPoint point) {
  if (line.has_written) *line.svg += ' ';
  AppendRounded(*line.svg, point.x, kPixelDecimals);
  *line.svg += ',';
  AppendRounded(*line.svg, point.y, kPixelDecimals);
  line.written = point;
  line.has_written = true;
}

}  // namespace

PixelLine StartPixelLine(std::string& svg) {
  PixelLine line;
  line.svg = &svg;
  return line;
}

void AddPixel(PixelLine& line, double x, double y) {
  const PixelPoint point{Rounded(x), Rounded(y)};
  if (line.has_held) {
    const PixelPoint held = line.held;
    if (held.x == point.x && held.y == point.y) return;
    const bool same_column = line.has_written && line.written.x == held.x && held.x == point.x;
    const bool same_row = line.has_written && line.written.y == held.y && held.y == point.y;
    if (!same_column && !same_row) Write(line, held);
  }
  line.held = point;
  line.has_held = true;
}

void EndPixelLine(PixelLine& line) {
  if (line.has_held) Write(line, line.held);
  line.has_held = false;
}

}  // namespace qartwo
