#!/bin/sh
# examples/batch.sh end to end: hot spots from a list and from the command line, one of them
# failing; every CSV row against a single run of the program with the same answers.
# Arguments: the program, the project folder.
set -eu
export QARTWO="$1"
batch=$2/examples/batch.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
cp "$2/tests/data/example_histogram.txt" 'spot, one.txt'
cp 'spot, one.txt' spot3.txt
printf '2 20 0\n1 1E6\n2 1E305\n' >'huge "2".txt'

# damage,life,status,message of a single run on curve 6: histogram $1, SCF $2, thickness $3.
single() {
  status=0
  printf 'r\n%s\n%s\n%s\ny\n6\n' "$1" "$2" "$3" | "$QARTWO" >out 2>err || status=$?
  damage=$(sed -n 's/^ Computed Damage per Year *: *//p' out | sed 's/\([-+][0-9]\{3\}\)$/E\1/')
  life=$(awk -v d="$damage" 'BEGIN { if (d != "" && d + 0 != 0) printf "%.5E", 1 / d }')
  message=''
  [ "$status" -eq 0 ] || message=$(head -n 1 err)
  case $message in *[\",]*) message=\"$(printf '%s' "$message" | sed 's/"/""/g')\" ;; esac
  echo "$damage,$life,$status,$message"
}
fail() {
  echo "batch_test: $1" >&2
  exit 1
}

header=hot_spot,curve,scf,thickness,damage_per_year,life_years,status,message
printf 'histogram,scf,thickness\n"spot, one.txt",1.5,\n"huge ""2"".txt",,40\nspot3.txt,abc\n' >list
expected="$header
\"spot, one.txt\",6,1.5,,$(single 'spot, one.txt' 1.5 '')
\"huge \"\"2\"\".txt\",6,,40,$(single 'huge "2".txt' '' 40)
spot3.txt,6,abc,,$(single spot3.txt abc '')"
mkdir list_results
echo 'an earlier batch' >list_results/spot3.txt.report.txt
status=0
"$batch" -o list_results 6 -l list >/dev/null || status=$?
[ "$status" -eq 1 ] || fail "a failing hot spot: status $status, not 1"
printf '%s\n' "$expected" >expected.csv
diff expected.csv list_results/results.csv || fail 'from a list: the results above'
[ ! -e list_results/spot3.txt.report.txt ] || fail 'a report of a failed run, or of an earlier batch'

"$batch" -j 1 6 2 '' 'spot, one.txt' spot3.txt >/dev/null || fail "no failure: status $?"
printf '%s\n' "$header" "\"spot, one.txt\",6,2,,$(single 'spot, one.txt' 2 '')" \
  "spot3.txt,6,2,,$(single spot3.txt 2 '')" >expected.csv
diff expected.csv batch-results/results.csv || fail 'from the command line: the results above'
tail -n +2 r >expected.txt # the report of the last single run, without its date stamp
tail -n +2 batch-results/spot3.txt.report.txt | diff expected.txt - || fail 'a report differs'

status=0
"$batch" 51 1 1 spot3.txt 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "curve 51: status $status, not 2"
