// The console texts shown before the curve is chosen: the program banner and the list of
// built-in curves.
#pragma once

#include <span>
#include <string_view>

namespace qartwo {

// Writes the twenty banner lines to `unit`.
void WriteBanner(int unit);

// Writes the curve list to `unit`: a heading with the number of curves, one line per curve
// ("  1 : " and the first 23 characters of its name) and a closing line of three blanks.
// Each name is decoded from `curveNames` (kNameLength codes per curve) into `name_text`;
// decoding failures go to `message_unit` and `error_flag` and the list goes on.
void WriteCurveList(int unit, int nCurves, std::span<const int> curveNames,
                    std::span<char> name_text, int message_unit, int& error_flag);

}  // namespace qartwo
