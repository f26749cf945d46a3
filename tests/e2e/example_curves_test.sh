#!/bin/sh
# The SN-curve files of examples/curves/ in the program: each names its source and table, and
# for a 30-block histogram on plates of 16, 25 and 50 mm gives the damage of a calculation by
# hand from the published values of DNV-RP-C203 (2005-2016) and, for C and C1, the thickness
# exponents of DNVGL-RP-0005:2014-06 and DNVGL-RP-C203 (2016): every stress raised by
# (t/25)^k above 25 mm (k 0: a file without a correction), block i at its midpoint
# (i - 0.5) x 10 MPa, N = 10^LogA x S^-m on the first segment ending below S.
# Arguments: the program, the project folder.
set -eu
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
# Midpoints 5 to 295 MPa with 10^(8 - i/4) cycles reach both segments of every curve.
awk 'BEGIN { print "30 10 0"; for (i = 1; i <= 30; i++) printf "%d %.17g\n", i, 10 ^ (8 - i / 4) }' >h
status=0
while read -r file k logA1 m1 nBreak1 logA2 m2; do
  curve=$2/examples/curves/$file
  source='DNV-RP-C203, editions 2005 to 2016'
  [ "$k" = 0 ] || source='DNVGL-RP-0005:2014-06 and DNVGL-RP-C203 (2016)'
  head -n 1 "$curve" | grep -qF "\$ Source: $source" ||
    { echo "$file: not the source $source in its first line" && status=1; }
  sed -n 2p "$curve" | grep -q '^\$ Table 2-[12], class ' ||
    { echo "$file: no table in its second line" && status=1; }
  for t in 16 25 50; do
    printf 'r\nh\n\n%s\nn\n%s\n' "$t" "$curve" | "$1" >console
    sed -n 's/^ Computed Damage per Year *: *//p' console | awk -v file="$file" -v t="$t" \
      -v k="$k" -v a1="$logA1" -v m1="$m1" -v n1="$nBreak1" -v a2="$logA2" -v m2="$m2" '{
        found = 1
        f = t > 25 ? (t / 25) ^ k : 1
        for (i = 1; i <= 30; i++) {
          s = (i - 0.5) * 10 * f
          if (s > (n1 / 10 ^ a1) ^ (-1 / m1)) d += 10 ^ (8 - i / 4) / (10 ^ a1 * s ^ -m1)
          else d += 10 ^ (8 - i / 4) / (10 ^ a2 * s ^ -m2)
        }
        if ((d - $1) ^ 2 > (1e-5 * d) ^ 2) {
          printf "%s at %s mm: damage %s, by hand %.5E\n", file, t, $1, d
          exit 1
        }
      }
      END { if (!found) { print file ": no damage"; exit 1 } }' || status=1
  done
done <<EOF
b1_air.txt 0 15.117 4 1e7 17.146 5
b2_air.txt 0 14.885 4 1e7 16.856 5
b1_sea_cp.txt 0 14.917 4 1e6 17.146 5
b2_sea_cp.txt 0 14.685 4 1e6 16.856 5
c_air.txt 0.05 12.592 3 1e7 16.320 5
c1_air.txt 0.10 12.449 3 1e7 16.081 5
c_sea_cp.txt 0.05 12.192 3 1e6 16.320 5
c1_sea_cp.txt 0.10 12.049 3 1e6 16.081 5
EOF
# A thickness-corrected file takes tref, k and kHigh from its line of fixed values: without it
# the run ends with an input error (status 2) that says so.
sed '$d' "$2/examples/curves/c1_air.txt" >cut.txt
run_status=0
printf 'r\nh\n\n50\nn\ncut.txt\n' | "$1" >console 2>diagnostic || run_status=$?
cat >expected <<'EOF'
 *** ERROR: input error in SN-curve file "cut.txt" at its end
     problem  : the file ends after its line of segment 2 (line 11); the fixed-parameter line is missing; standard code 1 takes thick, k and kHigh from it
     expected : fixed-parameter line: nFixPar = 4 values (real), the last three thick (above 0), k and kHigh (0 or above)
EOF
[ "$run_status" -eq 2 ] || { echo "c1_air.txt without its fixed values: status $run_status" && status=1; }
diff expected diagnostic || status=1
exit "$status"
