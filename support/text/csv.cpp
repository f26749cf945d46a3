#include "support/text/csv.h"

#include <algorithm>

namespace qartwo {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  return pos;
}

// Reads the quoted field whose opening quote stands at `pos` into `field`; the position after
// its closing quote, or npos when it has none.
std::size_t ReadQuoted(std::string_view record, std::size_t pos, std::string& field) {
  for (++pos; pos < record.size(); ++pos) {
    if (record[pos] != '"') {
      field += record[pos];
    } else if (pos + 1 < record.size() && record[pos + 1] == '"') {
      field += '"';
      ++pos;
    } else {
      return pos + 1;
    }
  }
  return std::string_view::npos;
}

// Reads the field at `pos` into `field`; the position of the comma or end after it.
CsvProblem ReadField(std::string_view record, std::size_t& pos, std::string& field) {
  field.clear();
  pos = SkipBlanks(record, pos);
  if (pos < record.size() && record[pos] == '"') {
    pos = ReadQuoted(record, pos, field);
    if (pos == std::string_view::npos) return CsvProblem::kOpenQuote;
    pos = SkipBlanks(record, pos);
    return pos == record.size() || record[pos] == ',' ? CsvProblem::kNone
                                                      : CsvProblem::kTextAfterQuote;
  }
  const std::size_t end = std::min(record.find(',', pos), record.size());
  std::string_view text = record.substr(pos, end - pos);
  if (text.find('"') != std::string_view::npos) return CsvProblem::kQuoteInField;
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  field.assign(text);
  pos = end;
  return CsvProblem::kNone;
}

}  // namespace

std::string_view CsvProblemText(CsvProblem problem) {
  switch (problem) {
    case CsvProblem::kNone:
      return "no problem";
    case CsvProblem::kTextAfterQuote:
      return "text after the closing quote of a field";
    case CsvProblem::kQuoteInField:
      return "a quote inside a field that is not quoted";
    case CsvProblem::kOpenQuote:
      return "a quoted field is not closed";
  }
  return "unknown problem";
}

CsvProblem SplitCsvRecord(std::string_view record, std::vector<std::string>& fields,
                          std::size_t& count) {
  count = 0;
  for (std::size_t pos = 0;; ++pos) {  // past the comma
    if (fields.size() <= count) fields.emplace_back();
    if (const CsvProblem problem = ReadField(record, pos, fields[count]);
        problem != CsvProblem::kNone) {
      return problem;
    }
    ++count;
    if (pos >= record.size()) return CsvProblem::kNone;
  }
}

bool CsvRecordComplete(std::string_view record) {
  return std::count(record.begin(), record.end(), '"') % 2 == 0;
}

void AppendCsvField(std::string& line, std::string_view field) {
  const bool quoted = field.find_first_of(",\"\r\n") != std::string_view::npos ||
                      (!field.empty() && (IsBlank(field.front()) || IsBlank(field.back())));
  if (!quoted) {
    line += field;
    return;
  }
  line += '"';
  for (const char c : field) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

}  // namespace qartwo
