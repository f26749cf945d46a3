#!/bin/sh
# The SN-curve files of examples/curves/ in the program: each names its source, and for a
# 30-block histogram on a 50 mm plate (which a user-defined curve ignores) gives the damage of a
# calculation by hand from the published values of DNV-RP-C203 (2005-2016): block i at its
# midpoint (i - 0.5) x 10 MPa, N = 10^LogA x S^-m on the first segment ending below S.
# Arguments: the program, the project folder.
set -eu
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
# Midpoints 5 to 295 MPa with 10^(8 - i/4) cycles reach both segments of every curve.
awk 'BEGIN { print "30 10 0"; for (i = 1; i <= 30; i++) printf "%d %.17g\n", i, 10 ^ (8 - i / 4) }' >h
status=0
while read -r file logA1 m1 nBreak1 logA2 m2; do
  curve=$2/examples/curves/$file
  head -n 1 "$curve" | grep -q '^\$ Source: DNV-RP-C203, editions 2005 to 2016' ||
    { echo "$file: no source in its first line" && status=1; }
  printf 'r\nh\n\n50\nn\n%s\n' "$curve" | "$1" >console
  sed -n 's/^ Computed Damage per Year *: *//p' console | awk -v file="$file" \
    -v a1="$logA1" -v m1="$m1" -v n1="$nBreak1" -v a2="$logA2" -v m2="$m2" '{
      found = 1
      for (i = 1; i <= 30; i++) {
        s = (i - 0.5) * 10
        if (s > (n1 / 10 ^ a1) ^ (-1 / m1)) d += 10 ^ (8 - i / 4) / (10 ^ a1 * s ^ -m1)
        else d += 10 ^ (8 - i / 4) / (10 ^ a2 * s ^ -m2)
      }
      if ((d - $1) ^ 2 > (1e-5 * d) ^ 2) { printf "%s: damage %s, by hand %.5E\n", file, $1, d; exit 1 }
    }
    END { if (!found) { print file ": no damage"; exit 1 } }' || status=1
done <<EOF
b1_air.txt 15.117 4 1e7 17.146 5
b2_air.txt 14.885 4 1e7 16.856 5
b1_sea_cp.txt 14.917 4 1e6 17.146 5
b2_sea_cp.txt 14.685 4 1e6 16.856 5
EOF
exit "$status"
