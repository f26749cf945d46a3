// index.html built in this process: a long message cut at a character's start, the chart of at
// most 30 hot spots, and a page that runs no script and fetches nothing.
#include "run/batch_index.h"

#include <gtest/gtest.h>

#include <string>

#include "run/exit_status.h"

namespace qartwo {
namespace {

TEST(BatchIndex, CutsLongMessagesAndChartsTheWorst30) {
  BatchIndex index;
  HotSpotResult result;
  result.message = std::string(kIndexMessageRoom - 1, 'x') + "\xC3\xB8 rest";  // ø across the cut
  result.status = kExitInputError;
  AddIndexRow(index, "failed", nullptr, result);
  EXPECT_EQ(index.rows[0].message + ";", std::string(kIndexMessageRoom - 1, 'x') + "\u2026;");
  result = HotSpotResult{};
  for (int i = 1; i <= 31; ++i) {
    result.damage = i * 1e-5;
    AddIndexRow(index, "spot " + std::to_string(i), nullptr, result);
  }
  std::string html;
  WriteBatchIndex(index, BatchOptions{}, HotSpotList{}, html);
  EXPECT_EQ(index.rows.front().name, "spot 31");  // by damage: no design life
  EXPECT_EQ(index.rows.back().name, "failed");
  const std::string chart = html.substr(html.find("<svg"), html.find("</svg>") - html.find("<svg"));
  EXPECT_NE(chart.find(">spot 2<"), std::string::npos);
  EXPECT_EQ(chart.find(">spot 1<"), std::string::npos);  // the 31st
  for (const char* absent : {"<script", "http", " src="}) {
    EXPECT_EQ(html.find(absent), std::string::npos) << absent;
  }
}

}  // namespace
}  // namespace qartwo
