#include "fatigue/sn_vector.h"

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

}  // namespace qartwo
