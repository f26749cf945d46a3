// The points of a polyline or polygon in a picture, written as they come: each rounded to
// kPixelDecimals decimals of a pixel; a point on the pixel of the one before is left out, and
// one that goes on along the same row or column replaces the one before, so that a step line
// of thousands of equal steps stays short.
#pragma once

#include <string>

namespace qartwo {

// A point in pixels, rounded as written.
struct PixelPoint {
  double x = 0.0;
  double y = 0.0;
};

// A line under way into `svg` (the text of a points attribute).
struct PixelLine {
  std::string* svg = nullptr;
  bool has_written = false;
  PixelPoint written;  // the last point written
  bool has_held = false;
  PixelPoint held;  // the point after it, not yet written: the next may replace it
};

// Starts a line into `svg`.
PixelLine StartPixelLine(std::string& svg);

// Adds the point (x, y) to the line.
void AddPixel(PixelLine& line, double x, double y);

// Writes the point still held; the line is complete.
void EndPixelLine(PixelLine& line);

}  // namespace qartwo
