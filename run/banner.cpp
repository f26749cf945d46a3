#include "run/banner.h"

#include <algorithm>
#include <array>
#include <initializer_list>

#include "fatigue/catalogue.h"
#include "run/version.h"
#include "support/io/units.h"
#include "support/text/fields.h"
#include "support/text/fixed_text.h"

namespace qartwo {
namespace {

constexpr std::size_t kFramedLineWidth = 58;
constexpr std::string_view kVersionLead = "          -              Version ";
static_assert(kVersionLead.size() + kVersionNumber.size() + 2 + kVersionDate.size() <
                  kFramedLineWidth - 1,
              "the version and its date do not fit the banner's frame");

// The framed line of the version and its date, blank-filled up to the frame's right edge.
constexpr std::array<char, kFramedLineWidth> FramedVersionLine() {
  std::array<char, kFramedLineWidth> line{};
  line.fill(' ');
  auto at = line.begin();
  for (const std::string_view part :
       {kVersionLead, kVersionNumber, std::string_view("/ "), kVersionDate}) {
    at = std::copy(part.begin(), part.end(), at);
  }
  line.back() = '-';
  return line;
}
constexpr std::array<char, kFramedLineWidth> kFramedVersionLine = FramedVersionLine();

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
    std::string_view(kFramedVersionLine.data(), kFramedVersionLine.size()),
    "          -                                              -",
    "          -     Contact: the QAR TWO team, see README.md -",
    "          ================================================",
};
constexpr bool AllFramedLinesAre58Wide() {
  for (const std::string_view line : kFramedLines) {
    if (line.size() != kFramedLineWidth) return false;
  }
  return true;
}
static_assert(AllFramedLinesAre58Wide());

// The widths of the blank lines around the banner and the curve list: the first line of
// each is shorter than the frame's lines, and the list ends with a short one.
constexpr int kShortBlankWidth = 54;
constexpr int kFrameBlankWidth = 59;
constexpr int kListEndBlankWidth = 3;
constexpr int kFrameBlankLines = 3;  // above and below the frame

// Field widths of the curve list: the number of curves, and each curve's number.
constexpr int kCurveCountWidth = 4;
constexpr int kCurveNumberWidth = 3;

void WriteBlankLine(int unit, int width) {
  OutputLine line;
  AppendBlanks(line, width);
  WriteLine(unit, LineText(line));
}

}  // namespace

void WriteBanner(int unit) {
  WriteBlankLine(unit, kShortBlankWidth);
  for (int i = 0; i < kFrameBlankLines; ++i) WriteBlankLine(unit, kFrameBlankWidth);
  for (const std::string_view text : kFramedLines) {
    OutputLine line;
    AppendText(line, " ");
    AppendText(line, text);
    WriteLine(unit, LineText(line));
  }
  for (int i = 0; i < kFrameBlankLines; ++i) WriteBlankLine(unit, kFrameBlankWidth);
}

void WriteCurveList(int unit, int nCurves, std::span<const int> curveNames,
                    std::span<char> name_text, int message_unit, int& error_flag) {
  WriteBlankLine(unit, kShortBlankWidth);
  OutputLine heading;
  AppendText(heading, "           Available SN-Curves:  (Totally ");
  AppendInteger(heading, nCurves, kCurveCountWidth);
  AppendText(heading, " curves) ");
  WriteLine(unit, LineText(heading));
  WriteBlankLine(unit, kFrameBlankWidth);
  for (int curve = 1; curve <= nCurves; ++curve) {
    CurveNameText(curveNames, curve, name_text, message_unit, error_flag);
    OutputLine line;
    AppendInteger(line, curve, kCurveNumberWidth);
    AppendText(line, " : ");
    AppendText(line, TextView(name_text).substr(0, kShownNameLength));
    WriteLine(unit, LineText(line));
  }
  WriteBlankLine(unit, kListEndBlankWidth);
}

}  // namespace qartwo
