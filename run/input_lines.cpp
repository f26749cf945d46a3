#include "run/input_lines.h"

#include <algorithm>

namespace qartwo {

bool IsCommentMark(char c) {
  return c == '$' || c == '#' || c == '!' || c == '\'';
}

InputLineKind ClassifyInputLine(std::string_view line) {
  if (!line.empty() && IsCommentMark(line.front())) return InputLineKind::kComment;
  if (line.find_first_not_of(' ') == std::string_view::npos) return InputLineKind::kBlank;
  return InputLineKind::kData;
}

std::string_view InputLineText(std::span<const char> line) {
  return {line.data(), std::min(line.size(), kInputLineLength)};
}

namespace {

bool EndsToken(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == '/';
}

}  // namespace

bool ValueCutAtLineEnd(std::string_view line, const LineOverflow& overflow,
                       const FreeFormResult& read) {
  if (line.size() < kInputLineLength || read.end != kInputLineLength) return false;
  return !EndsToken(line[kInputLineLength - 1]) && !EndsToken(overflow.first_beyond);
}

InputProblem ReadLineValues(std::string_view text, const LineOverflow& overflow,
                            std::span<const FreeFormTarget> targets, FreeFormResult& read) {
  // The padding after the line's own characters holds no value; the free-form reader need
  // not scan it. Positions in `read` stay positions in the line.
  ReadFreeForm(text.substr(0, std::min(text.size(), overflow.stored)), targets, read);
  if (ValueCutAtLineEnd(text, overflow, read)) return InputProblem::kCutValue;
  return read.status == FreeFormStatus::kOk ? InputProblem::kNone : InputProblem::kValue;
}

void NoteSurplusValues(std::string_view text, const InputLinePosition& position,
                       const FreeFormResult& read, std::size_t values_read,
                       SurplusValues& surplus) {
  const std::string_view stored = text.substr(0, std::min(text.size(), position.overflow.stored));
  if (ClassifyFreeFormItem(stored, read.next) != FreeFormItem::kValue) return;
  const std::string_view shown = TrimTrailingBlanks(stored);
  surplus.line_number = position.line_number;
  surplus.values_read = static_cast<int>(values_read);
  surplus.length = std::min(shown.size(), surplus.text.size());
  std::copy_n(shown.begin(), surplus.length, surplus.text.begin());
}

IoStatus ReadDataLine(int unit, std::span<char> line, InputLinePosition& position) {
  const std::span<char> text = line.first(std::min(line.size(), kInputLineLength));
  std::fill(line.begin() + static_cast<std::ptrdiff_t>(text.size()), line.end(), ' ');
  for (;;) {
    // ReadLine pads with blanks and leaves the text blank when nothing was read.
    const IoStatus status = ReadLine(unit, text, position.overflow);
    if (status != IoStatus::kOk) {
      std::fill(text.begin(), text.end(), ' ');
      return status;
    }
    ++position.line_number;
    if (ClassifyInputLine(InputLineText(text)) == InputLineKind::kData) {
      ++position.data_line;
      position.data_line_number = position.line_number;
      return IoStatus::kOk;
    }
  }
}

bool NextDataLine(int unit, std::span<char> line, InputLinePosition& position,
                  InputFileStatus& status, IoStatus& io_status) {
  const IoStatus io = ReadDataLine(unit, line, position);
  if (io == IoStatus::kOk) return true;
  if (io != IoStatus::kEndOfFile) {
    status = InputFileStatus::kUnitError;
    io_status = io;
  }
  return false;
}

}  // namespace qartwo
