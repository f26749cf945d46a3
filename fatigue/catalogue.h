// The built-in catalogue of 50 SN-curves: the constant tables compiled into the program, the
// build of the run-time catalogue from them, and the copy of one curve out of it.
//
// Run-time catalogue, storage owned by the caller:
//   nCurves      the number of curves built (50).
//   iCurveStart  iCurveStart[k - 1] is the element number (from 1) in curveValues at which
//                curve k starts; iCurveStart[nCurves] is one past the last curve's end. Curve
//                k (from 1) is thus curveValues[iCurveStart[k - 1] - 1] up to, not including,
//                curveValues[iCurveStart[k] - 1], and its vector length is
//                iCurveStart[k] - iCurveStart[k - 1]. After the build: 1, 19, ..., 815.
//   curveValues  the SN-curve parameter vectors one after another (814 values).
//   curveNames   one integer-array name of ldn codes per curve: curve k's name is the ldn
//                elements from curveNames[(k - 1) * ldn].
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace qartwo {

// Number of built-in curves.
inline constexpr int kCatalogueCurves = 50;
// Characters of a built-in name, and the integers per integer-array name (ldn).
inline constexpr int kNameLength = 40;
// Values of one row of the number table: nSNlin, nParPerLin, nFixPar, then the segment and
// fixed values, then zeros.
inline constexpr int kCatalogueRowLength = 13;
// Values the 50 vectors take together.
inline constexpr int kCatalogueValuesUsed = 814;

// Room the main program provides for the run-time catalogue.
inline constexpr int kCatalogueValueRoom = 3000;
inline constexpr int kCatalogueNameRoom = 100;  // names of kNameLength integers
inline constexpr int kCatalogueStartRoom = kCatalogueCurves + 1;
static_assert(kCatalogueValueRoom >= kCatalogueValuesUsed);
static_assert(kCatalogueNameRoom >= kCatalogueCurves);

// Width of the entries of the standard, class and environment lists.
inline constexpr std::size_t kListEntryLength = 10;

// The built-in names, each exactly kNameLength characters: standard word from column 1,
// class word from column 9, environment word from column 13 (15 for curves 49 and 50).
extern const std::array<std::string_view, kCatalogueCurves> kCatalogueNames;

// The built-in number table, row k for name k, as single-precision constants: the program
// widens each to double when it builds the catalogue.
extern const std::array<std::array<float, kCatalogueRowLength>, kCatalogueCurves> kCatalogueNumbers;

// The lists whose positions are the codes of a vector's header: iStandard (NORSOK, DNV,
// NS3472 and seven blank entries), iClass per standard, and iEnv (AIR, SEA_CAT, SEA_FREE).
// Every entry is kListEntryLength characters, blank-filled.
extern const std::array<std::string_view, 10> kStandardList;
extern const std::array<std::string_view, 15> kNorsokClassList;
extern const std::array<std::string_view, 1> kDnvClassList;
extern const std::array<std::string_view, 3> kEnvironmentList;

// Builds the run-time catalogue (layout above) from the constant tables. Each name goes
// through CH2INT with capacity ldn: a name longer than ldn is reported by CH2INT on
// message_unit, subtracts 1 from error_flag and leaves that name zero; the build goes on.
// When the caller's room runs short (iCurveStart, curveValues or curveNames), a message goes
// to message_unit, 1 is subtracted from error_flag, filling stops before the curve that does
// not fit and nCurves holds the number of curves built. On success error_flag is untouched
// and nCurves is 50.
void SNDBASE(int& nCurves, std::span<int> iCurveStart, std::span<double> curveValues,
             std::span<int> curveNames, int ldn, int message_unit, int& error_flag);

// Decodes name `curve` (from 1) of `curveNames` (kNameLength codes per name, as SNDBASE builds
// them) into `name_text`, blank-padded, through INT2CH (whose messages go to `message_unit`
// and `error_flag`). A curve outside the names gives a blank text.
void CurveNameText(std::span<const int> curveNames, int curve, std::span<char> name_text,
                   int message_unit, int& error_flag);

// The part of a curve name that the console and the report show: its first 23 characters.
inline constexpr std::size_t kShownNameLength = 23;

// Copies first_count * second_count consecutive values from source to destination, negated
// when sign < 0. Nothing when the product is 0 or less; never more than either span holds.
void SNCOPY(std::span<const double> source, std::span<double> destination, int first_count,
            int second_count, int sign);

}  // namespace qartwo
