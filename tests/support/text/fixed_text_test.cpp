#include "support/text/fixed_text.h"

#include <gtest/gtest.h>

#include <string>

namespace qartwo {
namespace {

// The tail probes only shorten the scan: with the last non-blank character at every position
// of texts of every length the result is that position. Only code 32 is a blank.
TEST(LENTRM, FindsTheLastNonBlankAtEveryPosition) {
  for (std::size_t length = 0; length <= 300; ++length) {
    ASSERT_EQ(LENTRM(std::string(length, ' ')), 0) << "length " << length;
    for (std::size_t last = 0; last < length; ++last) {
      for (const char c : {'x', '\t', '\0'}) {
        std::string text(length, ' ');
        text[last] = c;
        ASSERT_EQ(LENTRM(text), static_cast<int>(last) + 1)
            << "length " << length << " code " << +c;
      }
    }
  }
}

}  // namespace
}  // namespace qartwo
