// Test helpers: SN-curve parameter vectors built by hand. Decimals are written as float
// literals, which widen to double as the built-in catalogue holds them.
#pragma once

#include <array>
#include <vector>

namespace qartwo::testing {

using Segment = std::array<double, 3>;  // LogA, m, nBreak

// A vector with the header the program builds: iClass and iEnv 1, three values per segment,
// iFirstLin 9, iFirstFix right after the segment block.
inline std::vector<double> BuildCurve(double iStandard, const std::vector<Segment>& segments,
                                      const std::vector<double>& fixed) {
  const double nSNlin = static_cast<double>(segments.size());
  std::vector<double> curve = {iStandard, 1, 1, nSNlin, 3, double(fixed.size()), 9, 9 + 3 * nSNlin};
  for (const Segment& segment : segments) curve.insert(curve.end(), segment.begin(), segment.end());
  curve.insert(curve.end(), fixed.begin(), fixed.end());
  return curve;
}

// NORSOK B1 in air: two segments; fixed block SigBreak, thick, k, kHigh.
inline std::vector<double> NorsokB1Air() {
  return BuildCurve(1, {{12.913f, 3, 1.0e7f}, {16.856f, 5, 0}}, {93.57f, 25, 0, 0});
}

// DNV D in air: one segment ending in the fatigue limit; fixed block SigBreak.
inline std::vector<double> DnvDAir() {
  return BuildCurve(2, {{12.18f, 3, 1.89e8f}}, {20});
}

}  // namespace qartwo::testing
