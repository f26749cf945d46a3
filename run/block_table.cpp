#include "run/block_table.h"

#include "support/text/number_text.h"

namespace qartwo {

void WriteBlockTable(const HotSpotResult& result, std::string& table) {
  table =
      "block,stress_from,stress_to,stress_range,cycles_per_year,cycles_to_failure,"
      "damage_per_year,share\n";
  const double width = result.histogram[2];
  for (std::size_t block = 0; block < result.blocks.size(); ++block) {
    const BlockDamage& taken = result.blocks[block];
    table += std::to_string(block + 1);
    for (const double value :
         {width * static_cast<double>(block), width * static_cast<double>(block + 1),
          taken.stress_range, result.counts[block], 1.0 / taken.damage_per_cycle, taken.damage}) {
      table += ',';
      AppendShortest(table, value);
    }
    table += ',';
    if (result.damage != 0.0) AppendShortest(table, taken.damage / result.damage);
    table += '\n';
  }
}

}  // namespace qartwo
