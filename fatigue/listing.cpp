#include "fatigue/listing.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "fatigue/damage.h"
#include "fatigue/sn_vector.h"
#include "support/io/units.h"
#include "support/text/fields.h"

namespace qartwo {
namespace {

// Field layout of the listing.
constexpr int kCountWidth = 10;
constexpr int kSegmentNumberWidth = 3;
constexpr int kFixedWidth = 10;
constexpr int kFixedDecimals = 3;
constexpr int kScientificWidth = 12;
constexpr int kScientificDecimals = 3;
constexpr int kFixedValuesPerLine = 5;
// Blanks between the apostrophe and a block title, which pushes the title to the right.
constexpr int kTitleIndent = 40;

OutputLine Title(std::string_view title) {
  OutputLine line;
  AppendText(line, "'");
  AppendBlanks(line, kTitleIndent);
  AppendText(line, title);
  return line;
}

}  // namespace

void SNPRNT(std::span<const double> curve, int unit) {
  const int nSNlin = HeaderInteger(curve, kNSNlin);
  const int nParPerLin = HeaderInteger(curve, kNParPerLin);
  const int nFixPar = HeaderInteger(curve, kNFixPar);
  const int iFirstLin = HeaderInteger(curve, kIFirstLin);
  const int iFirstFix = HeaderInteger(curve, kIFirstFix);
  SNLIST(ElementsFrom(curve, iFirstLin), nParPerLin, nSNlin, ElementsFrom(curve, iFirstFix),
         nFixPar, unit);
}

void SNLIST(std::span<const double> segments, int nParPerLin, int nSNlin,
            std::span<const double> fixed, int nFixPar, int unit) {
  WriteLine(unit, " ");
  WriteLine(unit, "'    nSNlin  nParPerLin  nFixPar ");
  OutputLine sizes;
  AppendInteger(sizes, nSNlin, kCountWidth);
  AppendInteger(sizes, nParPerLin, kCountWidth);
  AppendInteger(sizes, nFixPar, kCountWidth);
  WriteLine(unit, LineText(sizes));

  double computed_sig_break = 0.0;
  const long long listed = SegmentsInside(segments.size(), nParPerLin, nSNlin);
  for (long long j = 0; j < listed; ++j) {
    const std::span<const double> segment =
        segments.subspan(static_cast<std::size_t>(j * nParPerLin), kValuesPerSegment);
    OutputLine heading = Title(" Line Segment");
    AppendInteger(heading, j + 1, kSegmentNumberWidth);
    WriteLine(unit, LineText(heading));
    WriteLine(unit, "'  LogA        m         nBreak  ");
    OutputLine values;
    AppendFixed(values, segment[0], kFixedWidth, kFixedDecimals);
    AppendFixed(values, segment[1], kFixedWidth, kFixedDecimals);
    AppendScientific(values, segment[2], kScientificWidth, kScientificDecimals);
    WriteLine(unit, LineText(values));
    if (j == 0) computed_sig_break = SegmentEndStress(segment[0], segment[1], segment[2]);
  }

  WriteLine(unit, LineText(Title(" Fixed Parameters")));
  WriteLine(unit, "'  SigBreak    thick     k     .....  ");
  const std::size_t fixed_listed =
      nFixPar > 0 ? std::min(static_cast<std::size_t>(nFixPar), fixed.size()) : 0;
  if (fixed_listed == 0) WriteLine(unit, "");
  for (std::size_t first = 0; first < fixed_listed; first += kFixedValuesPerLine) {
    const std::size_t last = std::min(first + kFixedValuesPerLine, fixed_listed);
    OutputLine line;
    for (std::size_t i = first; i < last; ++i) {
      AppendFixed(line, fixed[i], kFixedWidth, kFixedDecimals);
    }
    WriteLine(unit, LineText(line));
  }

  WriteLine(unit, "");
  OutputLine computed;
  AppendText(computed, " Computed SigBreak: ");
  AppendFixed(computed, computed_sig_break, kFixedWidth, kFixedDecimals);
  WriteLine(unit, LineText(computed));
  WriteLine(unit, "");
}

}  // namespace qartwo
