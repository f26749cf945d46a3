// One hot spot of a batch evaluated as the interactive run evaluates it: the same readers,
// catalogue, damage sum and diagnostics, with the result kept for the tables, the report and
// whatever else is written about it afterwards.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fatigue/catalogue.h"
#include "fatigue/damage.h"
#include "fatigue/sn_vector.h"
#include "run/histogram_file.h"
#include "support/io/units.h"

namespace qartwo {

// The built-in catalogue, built once per batch.
struct Catalogue {
  int nCurves = 0;
  std::array<int, kCatalogueStartRoom> iCurveStart{};
  std::array<double, kCatalogueValueRoom> curveValues{};
  std::array<int, static_cast<std::size_t>(kCatalogueNameRoom) * kNameLength> curveNames{};
};

// Builds `catalogue` as the dialogue does; false when it could not be built (the reason on
// `message_unit`).
[[nodiscard]] bool BuildCatalogue(Catalogue& catalogue, int message_unit);

// The inputs of one hot spot as the evaluation takes them.
struct HotSpotInputs {
  std::string histogram;                  // the file to open
  int curve_number = 0;                   // a built-in curve, 1 to 50; 0: `curve_file`
  std::string curve_file;                 // the SN-curve file to open
  std::array<double, 2> plate{0.0, 1.0};  // thickness and SCF, as answers would give them
  bool has_design_life = false;
  double design_life = 0.0;
  double dff = 1.0;
};

// Storage reused from one hot spot to the next.
struct HotSpotStorage {
  std::array<char, kTextLength> line{};
  std::array<char, kTextLength> name_line{};
  std::array<char, kTextLength> catalogue_name{};
  std::array<double, kCurveVectorLength> curve{};
  std::vector<double> counts = std::vector<double>(kMaxBlocks);
  std::vector<BlockDamage> blocks = std::vector<BlockDamage>(kMaxBlocks);
};

// What became of one hot spot. Views into the storage, valid until the next hot spot.
struct HotSpotResult {
  int status = 0;                     // the interactive run's exit status for the same inputs
  std::string message;                // what it writes on standard error, lines joined by " | "
  bool evaluated = false;             // the damage sum ran: what follows is set
  bool user_curve = false;            // known once the curve is (shown_name not empty)
  std::string_view shown_name;        // the curve's name as the console and the report show it
  std::span<const double> curve;      // the SN-curve parameter vector evaluated
  std::array<double, 4> histogram{};  // stress scale, number of blocks, width, spare
  std::span<const double> counts;     // cycles per year, block by block
  std::span<const BlockDamage> blocks;
  DamageDetail detail;  // thickness correction and SCF the sum used
  double damage = 0.0;  // per year
};

// Evaluates the hot spot `inputs` into `result`. Its diagnostics are those the dialogue writes
// for the same inputs, with a file that cannot be opened an input error (status 2) and a
// damage that is not finite a failure (status 1); nothing goes to the console.
void EvaluateHotSpot(const Catalogue& catalogue, const HotSpotInputs& inputs,
                     HotSpotStorage& storage, HotSpotResult& result);

// Evaluates into `result` a hot spot that could not be taken as given: status 2 and
// `message`'s lines.
void RefuseHotSpot(std::string_view message, HotSpotResult& result);

}  // namespace qartwo
