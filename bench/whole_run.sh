#!/usr/bin/env bash
# Whole-process cost of qartwo against `cat` of the same input files, as a script that runs
# the program once per hot spot sees it: every process is started from this script (fork and
# exec), qartwo with its answers on standard input, and `cat` of the histogram and SN-curve
# files started the same way. The two alternate, pair by pair, so that a machine that speeds
# up or slows down during the measurement moves both sides of a ratio alike.
#
# Usage: [REPLACE=1] [INSTRUCTIONS=1] bench/whole_run.sh QARTWO [PAIRS]
#   QARTWO  the program to measure (a Release build, e.g. build-release/qartwo)
#   PAIRS   alternating pairs per case, 40 by default (at least 30 for a stable median)
#
# Two cases: a 10000-block histogram with the two-segment user curve of examples/, and the
# 4-block worked example. For each it prints the median of qartwo's wall time over cat's,
# the quartiles and extremes of the ratio, the medians of both times, and qartwo's peak
# resident memory from /usr/bin/time -v; with INSTRUCTIONS=1 also the instructions of one
# qartwo and one cat process as valgrind's callgrind counts them (user space). Needs
# bash 5 (EPOCHREALTIME) and GNU time, and valgrind for INSTRUCTIONS=1.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 QARTWO [PAIRS]" >&2
  exit 2
fi
qartwo=$(realpath "$1")
pairs=${2:-40}
examples=$(realpath "$(dirname "$0")/../examples")
if [ ! -x "$qartwo" ]; then
  echo "$0: $1 is not an executable program" >&2
  exit 2
fi
if [ ! -x /usr/bin/time ]; then
  echo "$0: /usr/bin/time is missing (Debian package time)" >&2
  exit 2
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/qartwo_whole_run_XXXXXX")
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"

# The worked example and its answers (report, histogram, SCF, thickness, user curve, file).
cp "$examples/histogram.txt" histogram.txt
cp "$examples/sn_curve.txt" sn_curve.txt
printf '%s\n' report.txt histogram.txt 1.5 40 n sn_curve.txt >answers.txt

# 10000 blocks of width 0.05 (stress ranges up to 500): many small ranges, few large ones.
awk 'BEGIN {
  print "10000, 0.05, 0.0"
  for (i = 1; i <= 10000; ++i) printf "%d  %.6g\n", i, int(1e7 * exp(-i / 800) + 0.5) + 1
}' >histogram_10000.txt
printf '%s\n' report.txt histogram_10000.txt 1.5 40 n sn_curve.txt >answers_10000.txt

# Microseconds of wall time of one command run with answers file $1 on standard input. The
# report of the run before is removed first (untimed), so that each run writes a new report,
# as the runs of a batch over many hot spots do; REPLACE=1 keeps it, so that each run replaces
# an old report instead.
elapsed=0
time_one() {
  local answers=$1
  shift
  if [ "${REPLACE:-0}" != 1 ]; then rm -f report.txt; fi
  local start=$EPOCHREALTIME
  "$@" <"$answers" >/dev/null 2>&1
  local end=$EPOCHREALTIME
  elapsed=$((${end/./} - ${start/./}))
}

# Prints the p-th quantile (0..1, nearest rank) of the numbers on standard input.
quantile() {
  sort -g | awk -v p="$1" '{ v[NR] = $1 } END {
    r = int(p * (NR - 1) + 0.5) + 1; print v[r] }'
}

# Measures one case: $1 label, $2 answers file, $3 histogram, $4 SN-curve file.
measure() {
  local label=$1 answers=$2 histogram=$3 curve=$4
  local ratios=() program_times=() cat_times=() pair status
  "$qartwo" <"$answers" >/dev/null 2>&1 || status=$?
  if [ "${status:-0}" -ne 0 ]; then
    echo "$0: qartwo ended with status $status on $label" >&2
    exit 1
  fi
  for ((pair = 0; pair < 3; ++pair)); do # warm-up: page cache and dynamic loader caches
    time_one "$answers" "$qartwo"
    time_one "$answers" cat "$histogram" "$curve"
  done
  for ((pair = 0; pair < pairs; ++pair)); do
    time_one "$answers" "$qartwo"
    program_times+=("$elapsed")
    local program=$elapsed
    time_one "$answers" cat "$histogram" "$curve"
    cat_times+=("$elapsed")
    ratios+=("$(awk -v a="$program" -v b="$elapsed" 'BEGIN { printf "%.4f", a / b }')")
  done
  local peak=0 kb run
  for ((run = 0; run < 5; ++run)); do
    /usr/bin/time -v -o time.txt "$qartwo" <"$answers" >/dev/null 2>&1
    kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' time.txt)
    if [ "$kb" -gt "$peak" ]; then peak=$kb; fi
  done
  printf '%s (%d pairs)\n' "$label" "$pairs"
  printf '  qartwo / cat: median %s, quartiles %s .. %s, range %s .. %s\n' \
    "$(printf '%s\n' "${ratios[@]}" | quantile 0.5)" \
    "$(printf '%s\n' "${ratios[@]}" | quantile 0.25)" \
    "$(printf '%s\n' "${ratios[@]}" | quantile 0.75)" \
    "$(printf '%s\n' "${ratios[@]}" | quantile 0)" \
    "$(printf '%s\n' "${ratios[@]}" | quantile 1)"
  printf '  median wall time: qartwo %s us, cat %s us\n' \
    "$(printf '%s\n' "${program_times[@]}" | quantile 0.5)" \
    "$(printf '%s\n' "${cat_times[@]}" | quantile 0.5)"
  printf '  qartwo peak resident memory: %s kB\n' "$peak"
  if [ "${INSTRUCTIONS:-0}" = 1 ]; then
    valgrind --tool=callgrind --callgrind-out-file=qartwo.callgrind "$qartwo" <"$answers" \
      >/dev/null 2>&1
    valgrind --tool=callgrind --callgrind-out-file=cat.callgrind cat "$histogram" "$curve" \
      >/dev/null 2>&1
    printf '  instructions (callgrind): qartwo %s, cat %s\n' \
      "$(awk '/^summary:/ { print $2 }' qartwo.callgrind)" \
      "$(awk '/^summary:/ { print $2 }' cat.callgrind)"
  fi
}

measure "10000-block histogram, two-segment user curve" answers_10000.txt \
  histogram_10000.txt sn_curve.txt
measure "4-block worked example" answers.txt histogram.txt sn_curve.txt
