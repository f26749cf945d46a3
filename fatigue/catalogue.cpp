#include "fatigue/catalogue.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "fatigue/sn_vector.h"
#include "fatigue/words.h"
#include "support/io/console_text.h"
#include "support/io/units.h"
#include "support/text/fields.h"
#include "support/text/fixed_text.h"

namespace qartwo {

// clang-format off
constexpr std::array<std::string_view, kCatalogueCurves> kCatalogueNames = {
    "NORSOK  B1  AIR                         ",  // 1
    "NORSOK  B2  AIR                         ",  // 2
    "NORSOK  C   AIR                         ",  // 3
    "NORSOK  C1  AIR                         ",  // 4
    "NORSOK  C2  AIR                         ",  // 5
    "NORSOK  D   AIR                         ",  // 6
    "NORSOK  E   AIR                         ",  // 7
    "NORSOK  F   AIR                         ",  // 8
    "NORSOK  F1  AIR                         ",  // 9
    "NORSOK  F3  AIR                         ",  // 10
    "NORSOK  G   AIR                         ",  // 11
    "NORSOK  W1  AIR                         ",  // 12
    "NORSOK  W2  AIR                         ",  // 13
    "NORSOK  W3  AIR                         ",  // 14
    "NORSOK  T   AIR                         ",  // 15
    "NORSOK  B1  SEA_CAT                     ",  // 16
    "NORSOK  B2  SEA_CAT                     ",  // 17
    "NORSOK  C   SEA_CAT                     ",  // 18
    "NORSOK  C1  SEA_CAT                     ",  // 19
    "NORSOK  C2  SEA_CAT                     ",  // 20
    "NORSOK  D   SEA_CAT                     ",  // 21
    "NORSOK  E   SEA_CAT                     ",  // 22
    "NORSOK  F   SEA_CAT                     ",  // 23
    "NORSOK  F1  SEA_CAT                     ",  // 24
    "NORSOK  F3  SEA_CAT                     ",  // 25
    "NORSOK  G   SEA_CAT                     ",  // 26
    "NORSOK  W1  SEA_CAT                     ",  // 27
    "NORSOK  W2  SEA_CAT                     ",  // 28
    "NORSOK  W3  SEA_CAT                     ",  // 29
    "NORSOK  T   SEA_CAT                     ",  // 30
    "NORSOK  B1  SEA_FREE                    ",  // 31
    "NORSOK  B2  SEA_FREE                    ",  // 32
    "NORSOK  C   SEA_FREE                    ",  // 33
    "NORSOK  C1  SEA_FREE                    ",  // 34
    "NORSOK  C2  SEA_FREE                    ",  // 35
    "NORSOK  D   SEA_FREE                    ",  // 36
    "NORSOK  E   SEA_FREE                    ",  // 37
    "NORSOK  F   SEA_FREE                    ",  // 38
    "NORSOK  F1  SEA_FREE                    ",  // 39
    "NORSOK  F3  SEA_FREE                    ",  // 40
    "NORSOK  G   SEA_FREE                    ",  // 41
    "NORSOK  W1  SEA_FREE                    ",  // 42
    "NORSOK  W2  SEA_FREE                    ",  // 43
    "NORSOK  W3  SEA_FREE                    ",  // 44
    "NORSOK  T   SEA_FREE                    ",  // 45
    "DNV     D   AIR                         ",  // 46
    "DNV     D   SEA_CAT                     ",  // 47
    "DNV     D   SEA_FREE                    ",  // 48
    "NORSOK  E     BP_SCH                    ",  // 49
    "NORSOK  E     BP_SVI                    ",  // 50
};

// nSNlin, nParPerLin, nFixPar; LogA, m, nBreak per segment; the fixed block; zeros.
constexpr std::array<std::array<float, kCatalogueRowLength>, kCatalogueCurves> kCatalogueNumbers = {{
    {2.0f, 3.0f, 4.0f, 12.913f, 3.0f, 1.0e7f, 16.856f, 5.0f, 0.0f, 93.57f, 25.0f, 0.0f, 0.0f},  // 1
    {2.0f, 3.0f, 4.0f, 12.739f, 3.0f, 1.0e7f, 16.566f, 5.0f, 0.0f, 81.87f, 25.0f, 0.0f, 0.0f},  // 2
    {2.0f, 3.0f, 4.0f, 12.592f, 3.0f, 1.0e7f, 16.32f, 5.0f, 0.0f, 73.1f, 25.0f, 0.15f, 0.0f},  // 3
    {2.0f, 3.0f, 4.0f, 12.449f, 3.0f, 1.0e7f, 16.081f, 5.0f, 0.0f, 65.5f, 25.0f, 0.15f, 0.0f},  // 4
    {2.0f, 3.0f, 4.0f, 12.301f, 3.0f, 1.0e7f, 15.835f, 5.0f, 0.0f, 58.48f, 25.0f, 0.15f, 0.0f},  // 5
    {2.0f, 3.0f, 4.0f, 12.164f, 3.0f, 1.0e7f, 15.606f, 5.0f, 0.0f, 52.63f, 25.0f, 0.2f, 0.0f},  // 6
    {2.0f, 3.0f, 4.0f, 12.01f, 3.0f, 1.0e7f, 15.35f, 5.0f, 0.0f, 46.78f, 25.0f, 0.2f, 0.0f},  // 7
    {2.0f, 3.0f, 4.0f, 11.855f, 3.0f, 1.0e7f, 15.091f, 5.0f, 0.0f, 41.52f, 25.0f, 0.25f, 0.0f},  // 8
    {2.0f, 3.0f, 4.0f, 11.699f, 3.0f, 1.0e7f, 14.832f, 5.0f, 0.0f, 36.84f, 25.0f, 0.25f, 0.0f},  // 9
    {2.0f, 3.0f, 4.0f, 11.546f, 3.0f, 1.0e7f, 14.576f, 5.0f, 0.0f, 32.75f, 25.0f, 0.25f, 0.0f},  // 10
    {2.0f, 3.0f, 4.0f, 11.398f, 3.0f, 1.0e7f, 14.33f, 5.0f, 0.0f, 29.24f, 25.0f, 0.25f, 0.0f},  // 11
    {2.0f, 3.0f, 4.0f, 11.261f, 3.0f, 1.0e7f, 14.101f, 5.0f, 0.0f, 26.32f, 25.0f, 0.25f, 0.0f},  // 12
    {2.0f, 3.0f, 4.0f, 11.107f, 3.0f, 1.0e7f, 13.845f, 5.0f, 0.0f, 23.39f, 25.0f, 0.25f, 0.0f},  // 13
    {2.0f, 3.0f, 4.0f, 10.97f, 3.0f, 1.0e7f, 13.617f, 5.0f, 0.0f, 21.05f, 25.0f, 0.25f, 0.0f},  // 14
    {2.0f, 3.0f, 4.0f, 12.164f, 3.0f, 1.0e7f, 15.606f, 5.0f, 0.0f, 52.63f, 32.0f, 0.25f, 0.3f},  // 15
    {2.0f, 3.0f, 4.0f, 12.513f, 3.0f, 1.0e6f, 16.856f, 5.0f, 0.0f, 93.57f, 25.0f, 0.0f, 0.0f},  // 16
    {2.0f, 3.0f, 4.0f, 12.339f, 3.0f, 1.0e6f, 16.566f, 5.0f, 0.0f, 81.87f, 25.0f, 0.0f, 0.0f},  // 17
    {2.0f, 3.0f, 4.0f, 12.192f, 3.0f, 1.0e6f, 16.32f, 5.0f, 0.0f, 73.1f, 25.0f, 0.15f, 0.0f},  // 18
    {2.0f, 3.0f, 4.0f, 12.049f, 3.0f, 1.0e6f, 16.081f, 5.0f, 0.0f, 65.5f, 25.0f, 0.15f, 0.0f},  // 19
    {2.0f, 3.0f, 4.0f, 11.901f, 3.0f, 1.0e6f, 15.835f, 5.0f, 0.0f, 58.48f, 25.0f, 0.15f, 0.0f},  // 20
    {2.0f, 3.0f, 4.0f, 11.764f, 3.0f, 1.0e6f, 15.606f, 5.0f, 0.0f, 52.63f, 25.0f, 0.2f, 0.0f},  // 21
    {2.0f, 3.0f, 4.0f, 11.61f, 3.0f, 1.0e6f, 15.35f, 5.0f, 0.0f, 46.78f, 25.0f, 0.2f, 0.0f},  // 22
    {2.0f, 3.0f, 4.0f, 11.455f, 3.0f, 1.0e6f, 15.091f, 5.0f, 0.0f, 41.52f, 25.0f, 0.25f, 0.0f},  // 23
    {2.0f, 3.0f, 4.0f, 11.299f, 3.0f, 1.0e6f, 14.832f, 5.0f, 0.0f, 36.84f, 25.0f, 0.25f, 0.0f},  // 24
    {2.0f, 3.0f, 4.0f, 11.146f, 3.0f, 1.0e6f, 14.576f, 5.0f, 0.0f, 32.75f, 25.0f, 0.25f, 0.0f},  // 25
    {2.0f, 3.0f, 4.0f, 10.998f, 3.0f, 1.0e6f, 14.33f, 5.0f, 0.0f, 29.24f, 25.0f, 0.25f, 0.0f},  // 26
    {2.0f, 3.0f, 4.0f, 10.861f, 3.0f, 1.0e6f, 14.101f, 5.0f, 0.0f, 26.32f, 25.0f, 0.25f, 0.0f},  // 27
    {2.0f, 3.0f, 4.0f, 10.707f, 3.0f, 1.0e6f, 13.845f, 5.0f, 0.0f, 23.39f, 25.0f, 0.25f, 0.0f},  // 28
    {2.0f, 3.0f, 4.0f, 10.57f, 3.0f, 1.0e6f, 13.617f, 5.0f, 0.0f, 21.05f, 25.0f, 0.25f, 0.0f},  // 29
    {2.0f, 3.0f, 4.0f, 11.764f, 3.0f, 1.0e6f, 15.606f, 5.0f, 0.0f, 52.63f, 32.0f, 0.25f, 0.3f},  // 30
    {1.0f, 3.0f, 3.0f, 12.436f, 3.0f, 0.0f, 25.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 31
    {1.0f, 3.0f, 3.0f, 12.262f, 3.0f, 0.0f, 25.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 32
    {1.0f, 3.0f, 3.0f, 12.115f, 3.0f, 0.0f, 25.0f, 0.15f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 33
    {1.0f, 3.0f, 3.0f, 11.972f, 3.0f, 0.0f, 25.0f, 0.15f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 34
    {1.0f, 3.0f, 3.0f, 11.824f, 3.0f, 0.0f, 25.0f, 0.15f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 35
    {1.0f, 3.0f, 3.0f, 11.687f, 3.0f, 0.0f, 25.0f, 0.2f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 36
    {1.0f, 3.0f, 3.0f, 11.533f, 3.0f, 0.0f, 25.0f, 0.2f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 37
    {1.0f, 3.0f, 3.0f, 11.378f, 3.0f, 0.0f, 25.0f, 0.25f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 38
    {1.0f, 3.0f, 3.0f, 11.222f, 3.0f, 0.0f, 25.0f, 0.25f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 39
    {1.0f, 3.0f, 3.0f, 11.068f, 3.0f, 0.0f, 25.0f, 0.25f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 40
    {1.0f, 3.0f, 3.0f, 10.921f, 3.0f, 0.0f, 25.0f, 0.25f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 41
    {1.0f, 3.0f, 3.0f, 10.784f, 3.0f, 0.0f, 25.0f, 0.25f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 42
    {1.0f, 3.0f, 3.0f, 10.63f, 3.0f, 0.0f, 25.0f, 0.25f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 43
    {1.0f, 3.0f, 3.0f, 10.493f, 3.0f, 0.0f, 25.0f, 0.25f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 44
    {1.0f, 3.0f, 3.0f, 11.687f, 3.0f, 0.0f, 32.0f, 0.25f, 0.3f, 0.0f, 0.0f, 0.0f, 0.0f},  // 45
    {1.0f, 3.0f, 1.0f, 12.18f, 3.0f, 1.89e8f, 20.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 46
    {1.0f, 3.0f, 1.0f, 12.18f, 3.0f, 1.89e8f, 20.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 47
    {1.0f, 3.0f, 1.0f, 12.18f, 3.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 48
    {1.0f, 3.0f, 3.0f, 12.017f, 3.0f, 0.0f, 17.5f, 0.2f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 49
    {1.0f, 3.0f, 3.0f, 12.017f, 3.0f, 0.0f, 19.05f, 0.2f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // 50
}};

constexpr std::array<std::string_view, 10> kStandardList = {
    "NORSOK    ", "DNV       ", "NS3472    ", "          ", "          ",
    "          ", "          ", "          ", "          ", "          ",
};

constexpr std::array<std::string_view, 15> kNorsokClassList = {
    "B1        ", "B2        ", "C         ", "C1        ", "C2        ",
    "D         ", "E         ", "F         ", "F1        ", "F3        ",
    "G         ", "W1        ", "W2        ", "W3        ", "T         ",
};

constexpr std::array<std::string_view, 1> kDnvClassList = {"D         "};

constexpr std::array<std::string_view, 3> kEnvironmentList = {
    "AIR       ", "SEA_CAT   ", "SEA_FREE  ",
};
// clang-format on

namespace {

// Every table text has the width its readers assume.
template <std::size_t N>
constexpr bool AllOfLength(const std::array<std::string_view, N>& texts, std::size_t length) {
  for (const std::string_view text : texts) {
    if (text.size() != length) return false;
  }
  return true;
}
static_assert(AllOfLength(kCatalogueNames, kNameLength));
static_assert(AllOfLength(kStandardList, kListEntryLength));
static_assert(AllOfLength(kNorsokClassList, kListEntryLength));
static_assert(AllOfLength(kDnvClassList, kListEntryLength));
static_assert(AllOfLength(kEnvironmentList, kListEntryLength));

// Values row `row` contributes after the header: its segment block and fixed block.
constexpr int RowValueCount(const std::array<float, kCatalogueRowLength>& row) {
  return static_cast<int>(row[0]) * static_cast<int>(row[1]) + static_cast<int>(row[2]);
}

// Every row's vector fits in the row and in the working vector, and the vectors together
// take exactly the values the catalogue is known to need.
constexpr bool RowsFit() {
  int total = 0;
  for (const auto& row : kCatalogueNumbers) {
    const int count = RowValueCount(row);
    if (count < 0 || count > kCatalogueRowLength - 3) return false;
    if (kHeaderLength + count > static_cast<int>(kCurveVectorLength)) return false;
    total += kHeaderLength + count;
  }
  return total == kCatalogueValuesUsed;
}
static_assert(RowsFit());

// Work area for the words of one name: the codes come from the first three words, and
// wider slots than any word of a name needs. WRDSPL blanks every slot it is given for each
// of the names, so the area holds no more slots than that.
constexpr int kWordSlots = 3;
constexpr int kWordSlotWidth = 80;
static_assert(kWordSlotWidth >= kNameLength);

enum class ShortRoom { kNone, kStartTable, kValues, kNames };

// What ran short, as the message names it.
std::string_view ShortRoomText(ShortRoom what) {
  switch (what) {
    case ShortRoom::kStartTable:
      return "curve start table";
    case ShortRoom::kValues:
      return "curve values";
    case ShortRoom::kNames:
      return "curve names";
    case ShortRoom::kNone:
      break;
  }
  return "";
}

// Reports room that ran short before curve `curve` (from 1) could be built.
void ReportShortRoom(int message_unit, ShortRoom what, int curve) {
  OutputLine line;
  AppendText(line, "      Catalogue room too small for the ");
  AppendText(line, ShortRoomText(what));
  AppendText(line, " at curve");
  AppendInteger(line, curve, 4);
  WriteLine(message_unit, "");
  WriteLine(message_unit, "  *** ERROR IN SNDBASE ***");
  WriteLine(message_unit, LineText(line));
}

// The word of slot `index` (from 0) of the work area.
std::string_view Word(const std::array<char, kWordSlots * kWordSlotWidth>& slots, int index) {
  return {slots.data() + static_cast<std::size_t>(index) * kWordSlotWidth, kWordSlotWidth};
}

// Position of `word` in `list` (from 1), letters compared without regard to case; 0 if absent.
template <std::size_t N>
int FindInList(std::string_view word, const std::array<std::string_view, N>& list) {
  return LSTIDX(word, list, static_cast<int>(N), 0);
}

// The header of curve `curve` (from 0): its codes from the words of its name (a word missing
// from its list gives 0), its sizes from its row, truncated toward zero.
VectorHeader CurveHeader(int curve, std::span<const double> row) {
  std::array<char, kWordSlots * kWordSlotWidth> slots;
  int nWords = 0;
  WRDSPL(kCatalogueNames[curve], slots, kWordSlotWidth, nWords, kWordSlots);
  VectorHeader header{.iStandard = FindInList(Word(slots, 0), kStandardList),
                      .nSNlin = static_cast<int>(row[0]),
                      .nParPerLin = static_cast<int>(row[1]),
                      .nFixPar = static_cast<int>(row[2])};
  if (header.iStandard == kStandardNorsok) {
    header.iClass = FindInList(Word(slots, 1), kNorsokClassList);
    header.iEnv = FindInList(Word(slots, 2), kEnvironmentList);
  } else if (header.iStandard == kStandardDnv) {
    header.iClass = FindInList(Word(slots, 1), kDnvClassList);
    header.iEnv = FindInList(Word(slots, 2), kEnvironmentList);
  }
  return header;
}

// What would run short if curve `curve` (from 0), starting at element `start` (from 1) and
// `length` values long, were built into the caller's storage.
ShortRoom RoomShortFor(int curve, std::size_t start, std::size_t length,
                       std::span<const int> iCurveStart, std::span<const double> curveValues,
                       std::span<const int> curveNames, int ldn) {
  const std::size_t name_end =
      ldn > 0 ? static_cast<std::size_t>(curve + 1) * static_cast<std::size_t>(ldn) : 0;
  if (iCurveStart.size() < static_cast<std::size_t>(curve) + 2) return ShortRoom::kStartTable;
  if (curveValues.size() < start - 1 + length) return ShortRoom::kValues;
  if (curveNames.size() < name_end) return ShortRoom::kNames;
  return ShortRoom::kNone;
}

}  // namespace

void SNDBASE(int& nCurves, std::span<int> iCurveStart, std::span<double> curveValues,
             std::span<int> curveNames, int ldn, int message_unit, int& error_flag) {
  nCurves = 0;
  if (iCurveStart.empty()) {
    ReportShortRoom(message_unit, ShortRoom::kStartTable, 1);
    --error_flag;
    return;
  }
  iCurveStart[0] = 1;
  for (int curve = 0; curve < kCatalogueCurves; ++curve) {
    std::array<double, kCatalogueRowLength> row;
    std::transform(kCatalogueNumbers[curve].begin(), kCatalogueNumbers[curve].end(), row.begin(),
                   [](float value) { return static_cast<double>(value); });
    const VectorHeader header = CurveHeader(curve, row);
    const int count = header.nSNlin * header.nParPerLin + header.nFixPar;
    const std::size_t start = static_cast<std::size_t>(iCurveStart[curve]);  // from 1
    const std::size_t length = static_cast<std::size_t>(kHeaderLength + count);
    if (const ShortRoom short_room =
            RoomShortFor(curve, start, length, iCurveStart, curveValues, curveNames, ldn);
        short_room != ShortRoom::kNone) {
      ReportShortRoom(message_unit, short_room, curve + 1);
      --error_flag;
      return;
    }
    const std::span<double> vector = curveValues.subspan(start - 1, length);
    WriteHeader(vector, header);
    SNCOPY(std::span<const double>(row).subspan(3), vector.subspan(kHeaderLength), count, 1, 0);
    iCurveStart[curve + 1] = static_cast<int>(start + length);

    const std::array<std::string_view, 1> texts = {kCatalogueNames[curve]};
    const std::span<int> name_codes =
        ldn > 0
            ? curveNames.subspan(static_cast<std::size_t>(curve) * static_cast<std::size_t>(ldn),
                                 static_cast<std::size_t>(ldn))
            : std::span<int>();
    CH2INT(texts, name_codes, ldn, 1, message_unit, error_flag);
    nCurves = curve + 1;
  }
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

void SNCOPY(std::span<const double> source, std::span<double> destination, int first_count,
            int second_count, int sign) {
  const long long product = static_cast<long long>(first_count) * second_count;
  if (product <= 0) return;
  const std::size_t count =
      std::min({static_cast<std::size_t>(product), source.size(), destination.size()});
  for (std::size_t j = 0; j < count; ++j) {
    destination[j] = sign < 0 ? -source[j] : source[j];
  }
}

}  // namespace qartwo
