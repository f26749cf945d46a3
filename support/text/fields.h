// Fixed-column output fields and the line they are assembled in. Every number the program
// shows goes through here: right-aligned, correctly rounded from the binary value, and a
// field full of asterisks when the value does not fit.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace qartwo {

// Each writer fills exactly field.size() characters.
//
// WriteInteger: the decimal value, right-aligned.
//   -5 in 4      => "  -5"
//   12345 in 4   => "****"
void WriteInteger(std::span<char> field, long long value);

// WriteFixed: the value with `decimals` digits after the point; the leading zero of a value
// below 1 is kept when it fits and dropped when only that makes the field fit.
//   3.0 in 10, 3     => "     3.000"
//   0.5 in 10, 3     => "     0.500"
//   0.5 in 4, 3      => ".500"
//   -1234.5 in 6, 1  => "******"
//   Infinity in 10   => "  Infinity"
void WriteFixed(std::span<char> field, double value, int decimals);

// WriteScientific: one digit before the point (nonzero unless the value is 0), `decimals`
// digits after it, then E, the exponent's sign and two digits; an exponent that needs three
// digits takes the place of the E.
//   1.0e7 in 12, 3          => "   1.000E+07"
//   0.0 in 12, 3            => "   0.000E+00"
//   1.95079e-5 in 15, 5     => "    1.95079E-05"
//   9.999995e9 in 15, 5     => "    1.00000E+10"
//   1e-100 in 15, 5         => "    1.00000-100"
void WriteScientific(std::span<char> field, double value, int decimals);

// A line of output under construction. The capacity exceeds the longest line the program
// writes (a 256-character name behind a label); text beyond it is cut.
inline constexpr std::size_t kOutputLineCapacity = 1024;

struct OutputLine {
  std::array<char, kOutputLineCapacity> chars{};
  std::size_t length = 0;
};

// Appends text, or a field of `width` characters, to the line.
void AppendText(OutputLine& line, std::string_view text);

// Appends text quoted from the user (a file name, an answer, a line of a file) with its control
// characters made visible, so that a diagnostic shows what the text really holds:
//   "a\tb"      => a\tb         (tab)
//   "x\r"       => x\x0D        (other bytes below 32, and 127, in upper-case hex)
//   C:\dir      => C:\\dir     (a backslash doubled)
// Bytes from 128 on (UTF-8 letters) are kept as they are.
void AppendVisible(OutputLine& line, std::string_view text);
void AppendBlanks(OutputLine& line, int count);
void AppendInteger(OutputLine& line, long long value, int width);
void AppendFixed(OutputLine& line, double value, int width, int decimals);
void AppendScientific(OutputLine& line, double value, int width, int decimals);

// Appends a whole number in as many characters as it takes, without padding:
//   10000 => "10000"      -3 => "-3"
void AppendCount(OutputLine& line, long long value);

// The line's text so far.
std::string_view LineText(const OutputLine& line);

}  // namespace qartwo
