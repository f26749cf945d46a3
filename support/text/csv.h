// Fields of comma-separated values: splitting one record into its fields, and writing a field
// so that such a reader gets it back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qartwo {

// Why a record could not be split.
enum class CsvProblem {
  kNone,
  kTextAfterQuote,  // something other than blanks between a closing quote and the comma
  kQuoteInField,    // a quote inside a field that does not start with one
  kOpenQuote,       // a quoted field without its closing quote
};

// Short English text for a problem, e.g. "a quoted field is not closed".
std::string_view CsvProblemText(CsvProblem problem);

// Splits `record` (its line end dropped; line breaks inside quoted fields kept) at its commas
// into fields[0..count). Blanks (space, tab) around a field are dropped; a quoted field is what
// stands between its quotes, "" standing for one quote, blanks included. `fields` grows as
// needed and its strings keep their room from record to record.
[[nodiscard]] CsvProblem SplitCsvRecord(std::string_view record, std::vector<std::string>& fields,
                                        std::size_t& count);

// True when `record` ends outside a quoted field (it holds an even number of quotes): a record
// that is not complete at its line end goes on on the next line.
bool CsvRecordComplete(std::string_view record);

// Appends `field` to `line`, quoted (with its quotes doubled) when it holds a comma, a quote, a
// line break or a carriage return, or begins or ends with a blank, so that SplitCsvRecord and
// other readers get it back as it is.
void AppendCsvField(std::string& line, std::string_view field);

}  // namespace qartwo
