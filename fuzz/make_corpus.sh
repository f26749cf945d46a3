#!/usr/bin/env bash
# Writes the seed corpora fuzz/corpus/<target>/ from the example and test input files.
# Run from anywhere; the seeds are kept in the repository, so run it again only when the
# examples or the test data change.
set -euo pipefail
cd "$(dirname "$0")/.."

corpus=fuzz/corpus
rm -rf "$corpus"
mkdir -p "$corpus"/{free_form,histogram_file,sn_curve_file,run}

histograms=(examples/histogram.txt tests/data/*histogram*.txt)
curves=(examples/sn_curve.txt tests/data/*sn_curve*.txt)

# The reader targets take a file's content as it is.
for file in "${histograms[@]}"; do
  cp "$file" "$corpus/histogram_file/$(basename "$file")"
done
for file in "${curves[@]}"; do
  cp "$file" "$corpus/sn_curve_file/$(basename "$file")"
done
# The shipped curves, with and without a thickness correction, seed the reader alone.
for file in examples/curves/*.txt; do
  cp "$file" "$corpus/sn_curve_file/curves_$(basename "$file")"
done

# The free-form target: a byte for the number of targets, a byte for which are integers
# (bit i: target i), then the text. Each data line of the files, and each answer, is tried
# as three reals, as an integer and two reals (histogram header), as three integers (size
# line) and as one integer (curve number).
n=0
for file in "${histograms[@]}" "${curves[@]}" examples/answers*.txt; do
  while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in '$'* | '#'* | '!'* | "'"* | '') continue ;; esac
    for control in '\003\000' '\003\001' '\003\007' '\001\001'; do
      printf "$control%s" "$line" >"$corpus/free_form/line_$n"
      n=$((n + 1))
    done
  done <"$file"
done

# The whole-run target: answers, "===", the histogram file, "===", the SN-curve file. The
# run finds the histogram as "h" and the curve file as "c".
run_seed() {
  local name=$1 answers=$2 histogram=$3 curve=$4
  {
    printf '%b' "$answers"
    printf '\n===\n'
    cat "$histogram"
    printf '\n===\n'
    cat "$curve"
  } >"$corpus/run/$name"
}
for histogram in "${histograms[@]}"; do
  for curve in "${curves[@]}"; do
    stem=$(basename "$histogram" .txt)-$(basename "$curve" .txt)
    run_seed "user_$stem" 'r\nh\n\n\nn\nc' "$histogram" "$curve"
  done
  stem=$(basename "$histogram" .txt)
  run_seed "catalogue_$stem" 'r\nh\n1.5\n40\ny\n1' "$histogram" examples/sn_curve.txt
  run_seed "retries_$stem" 'missing/r\nr\nx\nh\n 2.5\n\nN\n0\n51\n\n46' "$histogram" \
    examples/sn_curve.txt
done
