// The SN-curve parameter vector: one SN-curve as doubles numbered from 1 - an eight-value
// header, the segment block (LogA, m, nBreak per segment) and the fixed block.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

namespace qartwo {

// Element numbers (from 1) of the header.
inline constexpr int kIStandard = 1;
inline constexpr int kIClass = 2;
inline constexpr int kIEnv = 3;
inline constexpr int kNSNlin = 4;
inline constexpr int kNParPerLin = 5;
inline constexpr int kNFixPar = 6;
inline constexpr int kIFirstLin = 7;
inline constexpr int kIFirstFix = 8;
inline constexpr int kHeaderLength = 8;

// Standard codes (iStandard): positions in the catalogue's list of standards. A NORSOK curve
// is thickness-corrected; a DNV curve is not. A user-defined curve carries the code its file's
// size line gives, DNV when it gives none.
inline constexpr int kStandardNorsok = 1;
inline constexpr int kStandardDnv = 2;

// Fixed values a thickness-corrected vector (iStandard 1) ends with: thick, k and kHigh.
inline constexpr int kThicknessValues = 3;

// The codes and sizes of a vector's header, as whole numbers.
struct VectorHeader {
  int iStandard = 0;
  int iClass = 0;
  int iEnv = 0;
  int nSNlin = 0;
  int nParPerLin = 0;
  int nFixPar = 0;
};

// Writes elements 1 to 8 of `vector` (at least kHeaderLength values): the values of `header`,
// then iFirstLin 9 and iFirstFix nSNlin * nParPerLin + 9, as doubles.
void WriteHeader(std::span<double> vector, const VectorHeader& header);

// Room of the working vector the main program owns.
inline constexpr std::size_t kCurveVectorLength = 30;

// A whole number stored as a double, as an integer: nearest, halves away from zero.
// Values beyond the int range saturate; NaN gives 0.
int WholeNumber(double value);

// Element `number` (from 1) of `vector`, rounded with WholeNumber; 0 when the element is
// outside the vector.
int HeaderInteger(std::span<const double> vector, int number);

// Values of each segment that the program uses: LogA, m, nBreak.
inline constexpr int kValuesPerSegment = 3;

// How many of the first nSNlin segments of a segment block of `size` values lie wholly inside
// it, segment j starting at (j-1)*nParPerLin: the segments a routine may read. Never more than
// `size`; a step of 0 repeats segment 1, a negative one leaves the block after segment 1.
long long SegmentsInside(std::size_t size, int nParPerLin, int nSNlin);

// The `count` elements of `vector` starting at element `first` (from 1); nullopt when the
// count is negative or any of them lies outside the vector. An empty block needs only
// first - 1 to lie within the vector's length.
std::optional<std::span<const double>> ElementBlock(std::span<const double> vector, int first,
                                                    long long count);

// `vector` from element `first` (from 1) to its end; empty when `first` lies outside.
std::span<const double> ElementsFrom(std::span<const double> vector, int first);

}  // namespace qartwo
