#!/usr/bin/env bash
# qartwo batch against the tools it replaces, on 1000 hot spots (copies of the 4-block example
# histogram, built-in curve 6, SCF 1.5, thickness 40). Every process is started from this
# script (fork and exec; a dialogue's answers come from a file; no pipeline), every measured
# batch writes into an empty output folder, and the two sides of a ratio alternate, pair by
# pair, so that a machine that speeds up or slows down moves both alike.
#
# Usage: bench/batch.sh QARTWO [PAIRS] [RUN_PAIRS]
#   QARTWO     the program to measure (a Release build, e.g. build-release/qartwo)
#   PAIRS      pairs of the results-only and the --plots case, 40 by default
#   RUN_PAIRS  pairs of the case with 1000 separate runs, 7 by default (each takes seconds)
#
# Four figures:
#   1. results only: the batch's wall time over that of one `cat` of the same 1000 files;
#   2. --reports --blocks: 1000 separate interactive runs (each writing its report into an
#      empty folder) over one batch;
#   3. --plots over --reports: a batch writing a picture per hot spot and index.html over one
#      writing a report per hot spot; at 1 or below the pictures add no more time than the
#      reports do;
#   4. peak resident memory of a batch of 100,000 hot spots from a list (results only), from
#      /usr/bin/time -v.
# The files lie in a scratch folder under TMPDIR (default /tmp). Needs bash 5 (EPOCHREALTIME)
# and GNU time.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 3 ]; then
  echo "usage: $0 QARTWO [PAIRS] [RUN_PAIRS]" >&2
  exit 2
fi
qartwo=$(realpath "$1")
pairs=${2:-40}
run_pairs=${3:-7}
examples=$(realpath "$(dirname "$0")/../examples")
if [ ! -x "$qartwo" ]; then
  echo "$0: $1 is not an executable program" >&2
  exit 2
fi
if [ ! -x /usr/bin/time ]; then
  echo "$0: /usr/bin/time is missing (Debian package time)" >&2
  exit 2
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/qartwo_batch_bench_XXXXXX")
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"

# 1000 histograms, the answers of one interactive run per histogram, and a list of 100,000
# hot spots that name the 1000 files a hundred times over.
mkdir hist answers
histograms=()
for ((i = 0; i < 1000; ++i)); do
  name=$(printf 'h%04d.txt' "$i")
  cp "$examples/histogram.txt" "hist/$name"
  histograms+=("hist/$name")
  printf '%s\n' "reports/$name.report.txt" "hist/$name" 1.5 40 y 6 >"answers/$name"
done
awk 'BEGIN {
  print "name,histogram"
  for (i = 0; i < 100000; ++i) printf "s%d,hist/h%04d.txt\n", i, i % 1000
}' >list_100000.csv

# Microseconds of wall time of the command "$@"; the output folders are emptied first (untimed).
elapsed=0
time_one() {
  rm -rf out reports
  mkdir reports
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1
  local end=$EPOCHREALTIME
  elapsed=$((${end/./} - ${start/./}))
}

# The 1000 interactive runs, one process each.
separate_runs() {
  local name
  for name in answers/*; do
    "$qartwo" <"$name" || return 1
  done
}

# Prints the p-th quantile (0..1, nearest rank) of the numbers on standard input.
quantile() {
  sort -g | awk -v p="$1" '{ v[NR] = $1 } END {
    r = int(p * (NR - 1) + 0.5) + 1; print v[r] }'
}

# Alternates the commands $3... (up to "--") and the commands after it, $1 pairs, and prints
# the median of the first's time over the second's with label $2, and both medians.
ratios=()
compare() {
  local count=$1 label=$2
  shift 2
  local first=() second=() times_a=() times_b=() pair
  while [ "$1" != -- ]; do
    first+=("$1")
    shift
  done
  shift
  second=("$@")
  ratios=()
  for ((pair = 0; pair < 2; ++pair)); do # warm-up: page cache
    time_one "${first[@]}"
    time_one "${second[@]}"
  done
  for ((pair = 0; pair < count; ++pair)); do
    time_one "${first[@]}"
    local a=$elapsed
    time_one "${second[@]}"
    times_a+=("$a")
    times_b+=("$elapsed")
    ratios+=("$(awk -v a="$a" -v b="$elapsed" 'BEGIN { printf "%.4f", a / b }')")
  done
  printf '%s (%d pairs)\n' "$label" "$count"
  printf '  ratio: median %s, quartiles %s .. %s, range %s .. %s\n' \
    "$(printf '%s\n' "${ratios[@]}" | quantile 0.5)" \
    "$(printf '%s\n' "${ratios[@]}" | quantile 0.25)" \
    "$(printf '%s\n' "${ratios[@]}" | quantile 0.75)" \
    "$(printf '%s\n' "${ratios[@]}" | quantile 0)" \
    "$(printf '%s\n' "${ratios[@]}" | quantile 1)"
  printf '  median wall time: %s us and %s us\n' \
    "$(printf '%s\n' "${times_a[@]}" | quantile 0.5)" \
    "$(printf '%s\n' "${times_b[@]}" | quantile 0.5)"
}

batch=("$qartwo" batch --curve 6 --scf 1.5 --thickness 40 -o out)
"${batch[@]}" "${histograms[@]}" >/dev/null # fails the script when the batch fails
compare "$pairs" "1. results only: batch / cat of the same 1000 files" \
  "${batch[@]}" "${histograms[@]}" -- cat "${histograms[@]}"
compare "$run_pairs" "2. --reports --blocks: 1000 separate runs / batch" \
  separate_runs -- "${batch[@]}" --reports --blocks "${histograms[@]}"
compare "$pairs" "3. --plots / --reports: batch with pictures / batch with reports" \
  "${batch[@]}" --plots "${histograms[@]}" -- "${batch[@]}" --reports "${histograms[@]}"

rm -rf out
/usr/bin/time -v -o time.txt "${batch[@]}" --list list_100000.csv >/dev/null
printf '4. batch of 100000 hot spots from a list: peak resident memory %s kB\n' \
  "$(awk -F': ' '/Maximum resident set size/ { print $2 }' time.txt)"
