#include "support/text/csv.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "support/text/number_text.h"

namespace qartwo {
namespace {

// Fields joined by "|" to compare, or the problem.
TEST(Csv, SplitsRecordsAndWritesFieldsThatReadBack) {
  struct Row {
    std::string record, fields = "";
    CsvProblem problem = CsvProblem::kNone;
  };
  const Row rows[] = {
      {.record = "a,b,c", .fields = "a|b|c"},
      {.record = " a\t, b ,", .fields = "a|b|"},  // blanks around dropped, an empty last field
      {.record = "", .fields = ""},
      {.record = ",,", .fields = "||"},
      {.record = R"( "a, ""b""" ," c ",x y)", .fields = R"(a, "b"| c |x y)"},
      {.record = "\"two\nlines\",\"\"", .fields = "two\nlines|"},
      {.record = R"("a"b,c)", .problem = CsvProblem::kTextAfterQuote},
      {.record = R"(a"b",c)", .problem = CsvProblem::kQuoteInField},
      {.record = R"(a,"b)", .problem = CsvProblem::kOpenQuote},
  };
  std::vector<std::string> fields = {"room kept from before"};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.record + ";");
    std::size_t count = 0;
    ASSERT_EQ(SplitCsvRecord(row.record, fields, count), row.problem);
    EXPECT_EQ(CsvRecordComplete(row.record), row.problem != CsvProblem::kOpenQuote);
    if (row.problem != CsvProblem::kNone) continue;
    std::string joined, written;
    for (std::size_t i = 0; i < count; ++i) {
      joined += (i > 0 ? "|" : "") + fields[i];
      if (i > 0) written += ',';
      AppendCsvField(written, fields[i]);
    }
    EXPECT_EQ(joined + ";", row.fields + ";");
    std::vector<std::string> again;  // what is written reads back as it was
    std::size_t count_again = 0;
    ASSERT_EQ(SplitCsvRecord(written, again, count_again), CsvProblem::kNone) << written;
    again.resize(count_again);
    EXPECT_EQ(again, std::vector<std::string>(fields.begin(), fields.begin() + count)) << written;
  }
}

TEST(NumberText, OneNumberOrNone) {
  struct Row {
    std::string text;
    NumberText read;
    double value = -7;  // -7: left as it was
  };
  const Row rows[] = {{" 2.5\t", NumberText::kNumber, 2.5},
                      {"3E1", NumberText::kNumber, 30},
                      {"1.5D-3", NumberText::kNumber, 1.5e-3},
                      {"-4", NumberText::kNumber, -4},
                      {" ", NumberText::kEmpty},
                      {"1,5", NumberText::kNotANumber},
                      {"40 5", NumberText::kNotANumber},
                      {"2*3", NumberText::kNotANumber},
                      {"1/", NumberText::kNotANumber},
                      {"abc", NumberText::kNotANumber},
                      {"inf", NumberText::kNotANumber},
                      {"1e999", NumberText::kOutOfRange}};
  for (const Row& row : rows) {
    double value = -7;
    EXPECT_EQ(ReadNumberText(row.text, value), row.read) << row.text << ";";
    EXPECT_EQ(value, row.value) << row.text << ";";
  }
}

TEST(NumberText, ShortestTextReadsBackAsTheSameDouble) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  struct Row {
    double value;
    std::string text;
  };
  const Row rows[] = {{0.1, "0.1"},
                      {25, "25"},
                      {1e-5, "1e-05"},
                      {1.0 / 3, "0.3333333333333333"},
                      {kInf, "inf"},
                      {-kInf, "-inf"},
                      {-std::numeric_limits<double>::quiet_NaN(), "nan"},
                      {5e-324, "5e-324"}};
  for (const Row& row : rows) {
    std::string text = "x";
    AppendShortest(text, row.value);
    EXPECT_EQ(text, "x" + row.text);
  }
}

// Rounded for pictures, significant digits for people.
TEST(NumberText, RoundedAndSignificantForms) {
  struct Row {
    double value;
    int digits;
    std::string rounded, significant;
  };
  const Row rows[] = {{12.5, 2, "12.5", "13"},
                      {3.04, 1, "3", "3"},
                      {-2.25, 1, "-2.3", "-2"},
                      {-0.04, 1, "0", "-0.04"},
                      {-0.004, 2, "0", "-0.004"},
                      {0.000116364, 5, "0.00012", "0.00011636"},
                      {1.16364e-5, 3, "0", "1.16e-05"},
                      {8593.707, 4, "8593.707", "8594"},
                      {std::numeric_limits<double>::infinity(), 4, "inf", "inf"}};
  for (const Row& row : rows) {
    std::string rounded = "x", significant = "x";
    AppendRounded(rounded, row.value, row.digits);
    AppendSignificant(significant, row.value, row.digits);
    EXPECT_EQ(rounded, "x" + row.rounded) << row.value;
    EXPECT_EQ(significant, "x" + row.significant) << row.value;
  }
}

}  // namespace
}  // namespace qartwo
