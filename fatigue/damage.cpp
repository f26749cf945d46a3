#include "fatigue/damage.h"

#include <cmath>
#include <cstddef>
#include <optional>
#include <string_view>

#include "fatigue/sn_vector.h"
#include "support/io/units.h"

namespace qartwo {
namespace {

// At or below these a plate thickness or SCF counts as not given. The thickness factor
// compares with 1.0e-10 as a single-precision constant, the damage sum with the double
// 1.0e-10; an SCF between the two counts as 1.0 in one and as given in the other.
constexpr double kPlateThreshold = static_cast<double>(1.0e-10f);
constexpr double kScfThreshold = 1.0e-10;

// Above this SCF the thickness exponent kHigh replaces k.
constexpr double kHighScf = 10.0;

void WriteErrorHeader(int unit, std::string_view routine_line) {
  WriteLine(unit, "");
  WriteLine(unit, routine_line);
}

void FailQAR02X(int unit, int& status) {
  WriteErrorHeader(unit, "  *** ERROR IN QAR02X ***");
  status = -1;
}

// S_j = (nBreak_j / A_j)^(-1/m_j), 0 for a segment without end.
double EndStress(double a, double m, double nBreak) {
  if (nBreak <= 0.0) return 0.0;
  return std::pow(nBreak / a, -1.0 / m);
}

}  // namespace

double SegmentEndStress(double logA, double m, double nBreak) {
  if (nBreak <= 0.0) return 0.0;
  return EndStress(std::pow(10.0, logA), m, nBreak);
}

double cyc2fail(double stress_range, std::span<const double> segments, int nParPerLin, int nSNlin) {
  const long long inside = SegmentsInside(segments.size(), nParPerLin, nSNlin);
  for (long long j = 0; j < inside; ++j) {
    const double* segment = segments.data() + j * nParPerLin;
    const double m = segment[1];
    // A_j serves the end stress and the damage alike: one power per segment and call.
    const double a = std::pow(10.0, segment[0]);
    if (stress_range > EndStress(a, m, segment[2])) {
      return 1.0 / (a * std::pow(stress_range, -m));
    }
  }
  return 0.0;
}

ThicknessCorrection ThicknessCorrectionOf(std::span<const double> curve,
                                          std::span<const double, 2> plate, int unit, int& status) {
  const int iStandard = HeaderInteger(curve, kIStandard);
  if (iStandard == kStandardDnv) return {};
  std::optional<std::span<const double>> fixed;
  if (iStandard == kStandardNorsok) {
    const int nFixPar = HeaderInteger(curve, kNFixPar);
    if (nFixPar >= kThicknessValues) {
      fixed = ElementBlock(curve, HeaderInteger(curve, kIFirstFix), nFixPar);
    }
  }
  if (!fixed) {
    WriteErrorHeader(unit, "  *** ERROR IN QAR02A ***");
    status = -1;
    return {.factor = 0.0};
  }
  const std::span<const double> last = fixed->last(static_cast<std::size_t>(kThicknessValues));
  const double tref = last[0];
  const double k = last[1];
  const double kHigh = last[2];
  double t = plate[0] > kPlateThreshold ? plate[0] : tref;
  if (t < tref) t = tref;  // thinner plates are not credited
  const double scf = plate[1] > kPlateThreshold ? plate[1] : 1.0;
  // kHigh replaces k above SCF 10 where a curve has one (class T); 0 means it has none. The
  // correction never vanishes at a high SCF, which would understate the damage.
  const double exponent = scf > kHighScf && kHigh != 0.0 ? kHigh : k;
  return {.applies = true,
          .thickness = t,
          .exponent = exponent,
          .factor = std::pow(t / tref, exponent)};
}

double ScfUsed(std::span<const double, 2> plate) {
  return plate[1] > kScfThreshold ? plate[1] : 1.0;
}

double QAR02A(std::span<const double> curve, std::span<const double, 2> plate, int unit,
              int& status) {
  return ThicknessCorrectionOf(curve, plate, unit, status).factor;
}

void QAR02X(std::span<const double> counts, std::span<const double> curve,
            std::span<const double, 2> plate, std::span<const double, 4> histogram, double& damage,
            int unit, int& status, DamageDetail* detail) {
  const double scale = histogram[0];
  const int nBlk = WholeNumber(histogram[1]);
  const double width = histogram[2];
  const double scf = ScfUsed(plate);
  const int nSNlin = HeaderInteger(curve, kNSNlin);
  const int nParPerLin = HeaderInteger(curve, kNParPerLin);
  const int iFirstLin = HeaderInteger(curve, kIFirstLin);

  int local_status = 0;
  const ThicknessCorrection correction = ThicknessCorrectionOf(curve, plate, unit, local_status);
  const double factor = correction.factor;
  if (local_status != 0) {
    FailQAR02X(unit, status);
    WriteLine(unit, "      Error return from QAR02A  ");
    return;
  }

  // Every block the header describes must lie inside the vector, and every histogram block
  // needs its count; otherwise the sum would read beyond the arrays it was given.
  std::optional<std::span<const double>> segments;
  if (nSNlin >= 0 && nParPerLin >= kValuesPerSegment) {
    segments = ElementBlock(curve, iFirstLin, static_cast<long long>(nSNlin) * nParPerLin);
  }
  const bool fixed_inside =
      ElementBlock(curve, HeaderInteger(curve, kIFirstFix), HeaderInteger(curve, kNFixPar))
          .has_value();
  const bool counts_enough = nBlk <= 0 || static_cast<std::size_t>(nBlk) <= counts.size();
  if (!segments || !fixed_inside || !counts_enough) {
    FailQAR02X(unit, status);
    return;
  }

  const std::span<BlockDamage> blocks =
      detail != nullptr ? detail->blocks : std::span<BlockDamage>();
  double sum = 0.0;
  for (int i = 1; i <= nBlk; ++i) {
    const std::size_t block = static_cast<std::size_t>(i) - 1;
    const double stress = (width * static_cast<double>(i - 1) + 0.5 * width) * factor * scale * scf;
    const double per_cycle = cyc2fail(stress, *segments, nParPerLin, nSNlin);
    const double term = counts[block] * per_cycle;
    if (block < blocks.size()) blocks[block] = {stress, per_cycle, term};
    sum += term;
  }
  damage = sum;
  if (detail != nullptr) {
    detail->thickness = correction;
    detail->scf = scf;
  }
}

}  // namespace qartwo
