// Readable listing of an SN-curve parameter vector: sizes, segment values, fixed block and the
// end stress of segment 1. Headings start with an apostrophe, so the listing reads back as
// comments in the input files.
#pragma once

#include <span>

namespace qartwo {

// Lists `curve` on `unit`: takes nSNlin, nParPerLin, nFixPar, iFirstLin and iFirstFix from
// its header and calls SNLIST with the vector from iFirstLin and from iFirstFix on (empty when
// an element number lies outside). Reports no failure.
void SNPRNT(std::span<const double> curve, int unit);

// Writes the listing of `nSNlin` segments of `segments` (segment j at (j-1)*nParPerLin; LogA,
// m, nBreak) and `nFixPar` values of `fixed` to `unit`, ending with the computed end stress of
// segment 1. Only segments and values inside the spans are listed; the headings and the size
// line are written in full. Reports no failure.
void SNLIST(std::span<const double> segments, int nParPerLin, int nSNlin,
            std::span<const double> fixed, int nFixPar, int unit);

}  // namespace qartwo
