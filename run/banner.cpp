#include "run/banner.h"

#include <array>

#include "fatigue/catalogue.h"
#include "support/fields.h"
#include "support/text.h"
#include "support/units.h"

namespace qartwo {
namespace {

// Banner lines 5 to 17; each is shown behind one blank.
constexpr std::array<std::string_view, 13> kFramedLines = {
    "          ================================================",
    "          -                                              -",
    "          -          ====  Q A R   T W O  ====           -",
    "          -                                              -",
    "          -     Computes Accumulated Damage per Year     -",
    "          -     for one Stress Cycle Histogram.          -",
    "          -     Cycle Histogram is spec  on one file and -",
    "          -     the SN-Data is specified on a separate   -",
    "          -     file.                                    -",
    "          -              Version 1.1/ 2006-01-05         -",
    "          -                                              -",
    "          -     Contact: the QAR TWO team, see README.md -",
    "          ================================================",
};
constexpr bool AllFramedLinesAre58Wide() {
  for (const std::string_view line : kFramedLines) {
    if (line.size() != 58) return false;
  }
  return true;
}
static_assert(AllFramedLinesAre58Wide());

void WriteBlankLine(int unit, int width) {
  OutputLine line;
  AppendBlanks(line, width);
  WriteLine(unit, LineText(line));
}

}  // namespace

void WriteBanner(int unit) {
  WriteBlankLine(unit, 54);
  for (int i = 0; i < 3; ++i) WriteBlankLine(unit, 59);
  for (const std::string_view text : kFramedLines) {
    OutputLine line;
    AppendText(line, " ");
    AppendText(line, text);
    WriteLine(unit, LineText(line));
  }
  for (int i = 0; i < 3; ++i) WriteBlankLine(unit, 59);
}

void CurveNameText(std::span<const int> curveNames, int curve, std::span<char> name_text,
                   int message_unit, int& error_flag) {
  const auto first = static_cast<std::size_t>(curve - 1) * kNameLength;
  if (curve < 1 || first >= curveNames.size()) {
    BlankText(name_text);
    return;
  }
  INT2CH(name_text, curveNames.subspan(first), kNameLength, message_unit, error_flag);
}

void WriteCurveList(int unit, int nCurves, std::span<const int> curveNames,
                    std::span<char> name_text, int message_unit, int& error_flag) {
  WriteBlankLine(unit, 54);
  OutputLine heading;
  AppendText(heading, "           Available SN-Curves:  (Totally ");
  AppendInteger(heading, nCurves, 4);
  AppendText(heading, " curves) ");
  WriteLine(unit, LineText(heading));
  WriteBlankLine(unit, 59);
  for (int curve = 1; curve <= nCurves; ++curve) {
    CurveNameText(curveNames, curve, name_text, message_unit, error_flag);
    OutputLine line;
    AppendInteger(line, curve, 3);
    AppendText(line, " : ");
    AppendText(line, TextView(name_text).substr(0, kShownNameLength));
    WriteLine(unit, LineText(line));
  }
  WriteBlankLine(unit, 3);
}

}  // namespace qartwo
