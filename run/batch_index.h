// index.html of a batch with --plots: the batch's inputs, a summary, a chart of the worst hot
// spots and a table of every hot spot, worst first, each evaluated one linked to its picture.
// One static page: no script, nothing fetched from elsewhere.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "run/batch_options.h"
#include "run/hot_spot.h"
#include "run/hot_spot_list.h"

namespace qartwo {

// A message is kept up to this many bytes (cut at a character's start, "…" behind).
inline constexpr std::size_t kIndexMessageRoom = 300;

// What the page keeps of one hot spot.
struct IndexRow {
  std::string name;
  std::string message;  // the diagnostics, cut to kIndexMessageRoom bytes
  double damage = 0.0;
  double utilisation = 0.0;  // with a design life
  bool has_design_life = false;
  int status = 0;
};

// The page's rows, in input order until the page is written.
struct BatchIndex {
  std::vector<IndexRow> rows;
  bool every_design_life = true;  // every hot spot with status 0 has a design life
};

// Adds the hot spot `name` with `inputs` (nullptr when its cells could not be taken) and its
// `result` to the page.
void AddIndexRow(BatchIndex& index, std::string_view name, const HotSpotInputs* inputs,
                 const HotSpotResult& result);

// Sorts the rows worst first - by utilisation when every hot spot with status 0 has a design
// life, else by damage; failed hot spots last, in input order - and writes the page of a batch
// run with `options` over `list` into `html` (replacing what it held).
void WriteBatchIndex(BatchIndex& index, const BatchOptions& options, const HotSpotList& list,
                     std::string& html);

}  // namespace qartwo
