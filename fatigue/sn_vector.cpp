#include "fatigue/sn_vector.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace qartwo {

int WholeNumber(double value) {
  if (std::isnan(value)) return 0;
  const double rounded = std::round(value);  // halves away from zero
  if (rounded >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (rounded <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(rounded);
}

int HeaderInteger(std::span<const double> vector, int number) {
  if (number < 1 || static_cast<std::size_t>(number) > vector.size()) return 0;
  return WholeNumber(vector[static_cast<std::size_t>(number) - 1]);
}

void WriteHeader(std::span<double> vector, const VectorHeader& header) {
  const auto set = [&vector](int element, int value) {
    vector[static_cast<std::size_t>(element) - 1] = value;
  };
  set(kIStandard, header.iStandard);
  set(kIClass, header.iClass);
  set(kIEnv, header.iEnv);
  set(kNSNlin, header.nSNlin);
  set(kNParPerLin, header.nParPerLin);
  set(kNFixPar, header.nFixPar);
  set(kIFirstLin, kHeaderLength + 1);
  set(kIFirstFix, header.nSNlin * header.nParPerLin + kHeaderLength + 1);
}

long long SegmentsInside(std::size_t size, int nParPerLin, int nSNlin) {
  const long long available = static_cast<long long>(size);
  const long long count = std::min<long long>(std::max(nSNlin, 0), available);
  if (count == 0 || available < kValuesPerSegment) return 0;
  if (nParPerLin <= 0) return nParPerLin == 0 ? count : 1;
  // Segment j (from 0) lies inside while j * nParPerLin + kValuesPerSegment <= available.
  return std::min(count, (available - kValuesPerSegment) / nParPerLin + 1);
}

std::optional<std::span<const double>> ElementBlock(std::span<const double> vector, int first,
                                                    long long count) {
  if (count < 0 || first < 1) return std::nullopt;
  const long long start = static_cast<long long>(first) - 1;
  const long long length = static_cast<long long>(vector.size());
  if (start > length || count > length - start) return std::nullopt;
  return vector.subspan(static_cast<std::size_t>(start), static_cast<std::size_t>(count));
}

std::span<const double> ElementsFrom(std::span<const double> vector, int first) {
  if (first < 1 || static_cast<std::size_t>(first) - 1 > vector.size()) return {};
  return vector.subspan(static_cast<std::size_t>(first) - 1);
}

}  // namespace qartwo
