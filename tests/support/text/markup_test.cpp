#include "support/text/markup.h"

#include <gtest/gtest.h>

#include <string>

namespace qartwo {
namespace {

TEST(Markup, ShowsTextAsTheDiagnosticsDoThenEscapesIt) {
  struct Row {
    std::string text, shown;
    TextSource source = TextSource::kRaw;
    std::size_t limit = std::string::npos;
  };
  const Row rows[] = {
      {.text = "a<b>&\"c'", .shown = "a&lt;b&gt;&amp;&quot;c&#39;"},
      {.text = "\t\r\x1f\x7f \\", .shown = "\\t\\x0D\\x1F\\x7F \\\\"},
      {.text = "C:\\\\x \x01", .shown = "C:\\\\x \\x01", .source = TextSource::kVisible},
      // valid UTF-8 of 2, 3 and 4 bytes kept; a lone, cut, overlong or surrogate one and
      // U+FFFE shown byte by byte
      {.text = "\xC3\xB8\xE2\x80\xA6\xF0\x9F\x98\x80",
       .shown = "\xC3\xB8\xE2\x80\xA6\xF0\x9F\x98\x80"},
      {.text = "\xFF\xC3 \xC0\xAF\xE0\x80\xAF", .shown = "\\xFF\\xC3 \\xC0\\xAF\\xE0\\x80\\xAF"},
      {.text = "\xED\xA0\x80\xEF\xBF\xBE\xF4\x90\x80\x80",
       .shown = "\\xED\\xA0\\x80\\xEF\\xBF\\xBE\\xF4\\x90\\x80\\x80"},
      {.text = "\xC3\xB8<bc", .shown = "\xC3\xB8&lt;\xE2\x80\xA6", .limit = 2},
      {.text = "ab", .shown = "ab", .limit = 2},
  };
  for (const Row& row : rows) {
    std::string shown = "x";
    const bool cut = AppendMarkupText(shown, row.text, row.source, row.limit);
    EXPECT_EQ(shown + ";", "x" + row.shown + ";") << row.text << ";";
    EXPECT_EQ(cut, row.shown.ends_with("\xE2\x80\xA6") && row.limit != std::string::npos);
  }
}

TEST(Markup, PercentEncodesAllButUnreservedBytes) {
  std::string link = "x";
  AppendPercentEncoded(link, "aZ09-._~ #%?/:\"\xC3\xB8");
  EXPECT_EQ(link, "xaZ09-._~%20%23%25%3F%2F%3A%22%C3%B8");
}

}  // namespace
}  // namespace qartwo
