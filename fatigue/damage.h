// Fatigue damage on an SN-curve parameter vector: the damage of one stress cycle, the
// thickness factor, and the yearly damage of a stress-range histogram (Palmgren-Miner sum).
#pragma once

#include <span>

namespace qartwo {

// Stress range at which a segment (LogA, m, nBreak) reaches nBreak cycles:
// (nBreak / 10^LogA)^(-1/m); 0 for nBreak 0 or less, a segment without end.
double SegmentEndStress(double logA, double m, double nBreak);

// Damage of one cycle of `stress_range` (1 / cycles to failure) on the first segment whose
// end stress lies strictly below it; 0 when none does. `segments` is the segment block: segment
// j starts at (j-1)*nParPerLin and gives LogA, m, nBreak. No failure; segments not wholly
// inside `segments` end the scan.
double cyc2fail(double stress_range, std::span<const double> segments, int nParPerLin, int nSNlin);

// The thickness correction of a curve for a plate, as the damage sum applies it.
struct ThicknessCorrection {
  bool applies = false;    // the curve is thickness-corrected (iStandard 1)
  double thickness = 0.0;  // applies: the thickness taken, the plate's but at least tref
  double exponent = 0.0;   // applies: k, or kHigh above SCF 10
  double factor = 1.0;     // on the stress ranges; 0 after a failure
};

// The thickness correction of `curve` for `plate`, of which QAR02A returns the factor; failures
// as for QAR02A.
ThicknessCorrection ThicknessCorrectionOf(std::span<const double> curve,
                                          std::span<const double, 2> plate, int unit, int& status);

// The SCF the damage sum multiplies the stress ranges by: the plate's, or 1.0 for one of
// 1.0e-10 or less.
double ScfUsed(std::span<const double, 2> plate);

// Thickness factor of `curve` for `plate` (thickness, SCF): 1.0 for iStandard 2; for
// iStandard 1 (t / tref)^e for a plate thicker than tref, where e is k, or kHigh when the SCF
// exceeds 10 and the curve has a kHigh other than 0. Any other iStandard, or an iStandard 1 vector
// whose fixed block is not three or more values inside the vector, writes the failure lines to
// `unit`, sets `status` to -1 and returns 0; on success `status` is untouched.
double QAR02A(std::span<const double> curve, std::span<const double, 2> plate, int unit,
              int& status);

// One block as the damage sum took it: its stress range (thickness factor, scale and SCF
// applied), the damage of one cycle there (cyc2fail) and the block's damage (count times that),
// the term the sum adds.
struct BlockDamage {
  double stress_range = 0.0;
  double damage_per_cycle = 0.0;
  double damage = 0.0;
};

// What the damage sum used, for a caller that shows it: `blocks` receives its first
// blocks.size() blocks; the rest is set on success.
struct DamageDetail {
  std::span<BlockDamage> blocks;
  ThicknessCorrection thickness;
  double scf = 0.0;  // ScfUsed
};

// Yearly damage of the histogram `histogram` (stress scale, number of blocks, block width,
// spare) with cycles per year `counts` on `curve` for `plate`, stored in `damage`. On failure
// (QAR02A fails; the header's blocks do not lie inside `curve`; more blocks than `counts`
// holds) writes the failure lines to `unit`, sets `status` to -1 and leaves `damage` as it
// was; on success `status` is untouched. `detail`, when given, receives what the sum used; the
// block damages added in block order give `damage` exactly.
void QAR02X(std::span<const double> counts, std::span<const double> curve,
            std::span<const double, 2> plate, std::span<const double, 4> histogram, double& damage,
            int unit, int& status, DamageDetail* detail = nullptr);

}  // namespace qartwo
