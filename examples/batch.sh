#!/bin/sh
# Many hot spots: one QAR TWO assessment per cycle histogram, several at a time, with the
# damages gathered in one CSV file. Run it with -h for its usage.
#
# Each run happens in a scratch folder of its own and reaches its files under short names: the
# histogram as ../dK/NAME (dK a link to its folder), the SN-curve file as ../c (a copy) and its
# report as ../o/NAME.report.txt (o a link to OUTDIR). A name that is long or has blanks at
# either end is linked as h, and its report written as r and copied. So reports never collide
# and no answer comes near the program's 256-character limit. A run starts no process but the
# program and creates no file but its report: creating files costs more than a small run. The
# scratch folders are in memory (/dev/shm) unless TMPDIR is set.
set -u

usage() {
  cat <<'EOF'
usage: batch.sh [-j JOBS] [-o OUTDIR] CURVE SCF THICKNESS HISTOGRAM...
       batch.sh [-j JOBS] [-o OUTDIR] CURVE -l LIST

Runs one QAR TWO assessment per histogram file, JOBS at a time (default: the number of cores).
  CURVE      a built-in curve number (1 to 50) or the path of an SN-curve file
  SCF        the answer to "Stress Concentration Factor", e.g. 1.5; "" takes the default 1.0
  THICKNESS  the answer to "Thickness" in mm; "" takes the curve's reference thickness
  LIST       a CSV file of rows histogram,scf,thickness, one per hot spot; empty fields take
             the defaults; a first row "histogram,scf,thickness" is a header
Paths are relative to the current folder. Writes OUTDIR/<histogram file name>.report.txt for
every run that wrote a report, and OUTDIR/results.csv with the columns
hot_spot,curve,scf,thickness,damage_per_year,life_years,status,message (OUTDIR defaults to
batch-results). The program is $QARTWO, else ../build/qartwo from this script, else qartwo.
Exit status: 0 every run ended with 0; 1 some did not; 2 a usage error.
EOF
}

fail_usage() {
  printf 'batch.sh: %s\n' "$1" >&2
  printf "Try 'batch.sh -h'.\n" >&2
  exit 2
}

# Runs the hot spots numbered $5... in the work folder $1 with the program $3, answering $4
# after the thickness; reports written as r are copied to the folder $2. Job n reads n.job
# (answers for histogram and report, empty when r and a link h are needed; histogram path, hot
# spot name, SCF, thickness). Each shell appends to rows.PID seven lines per job: n, name, SCF,
# thickness, the damage as shown, the status, the first line on standard error (status not 0).
run_jobs() {
  work=$1 out=$2 qartwo=$3 pick=$4
  shift 4
  console=$work/console.$$ errors=$work/errors.$$
  for n in "$@"; do
    cd "$work/$n" || exit 1
    {
      IFS= read -r hist
      IFS= read -r report
      IFS= read -r path
      IFS= read -r name
      IFS= read -r scf
      IFS= read -r thickness
    } <"../$n.job"
    [ -n "$report" ] || report=r
    damage='' message=''
    if [ -f "$path" ] && [ -r "$path" ] && { [ -n "$hist" ] || ln -s "$path" "${hist:=h}"; }; then
      "$qartwo" >"$console" 2>"$errors" <<EOF
$report
$hist
$scf
$thickness
$pick
EOF
      status=$?
      while IFS= read -r line; do
        case $line in *'Computed Damage per Year'*:*) damage=${line##*:} ;; esac
      done <"$console"
      [ "$status" -eq 0 ] || IFS= read -r message <"$errors" || :
    else
      status=2 message="batch.sh: cannot read the histogram file $path"
    fi
    if [ "$report" = r ]; then
      [ ! -s r ] || cp r "$out/$name.report.txt" || exit 1
    elif [ "$status" -ne 0 ] && [ -f "$report" ] && [ ! -s "$report" ]; then
      rm -f "$report"
    fi
    printf '%s\n' "$n" "$name" "$scf" "$thickness" "$damage" "$status" "$message" >>"$work/rows.$$"
    [ "$status" -eq 0 ] || echo "$n" >>"$work/failed"
  done
}

if [ "${1:-}" = --jobs ]; then
  shift
  run_jobs "$@"
  exit
fi

# Splits the CSV rows of the list into three lines each: histogram, scf, thickness. A quoted
# field may hold commas and doubled quotes, but no line break.
# shellcheck disable=SC2016 # an awk program, expanded by awk
list_awk='
function fields(line, f,   n, i, c, text, quoted, closed) {
  n = 0; text = ""; quoted = 0; closed = 0
  for (i = 1; i <= length(line); i++) {
    c = substr(line, i, 1)
    if (quoted) {
      if (c != "\"") text = text c
      else if (substr(line, i + 1, 1) == "\"") { text = text c; i++ }
      else { quoted = 0; closed = 1 }
    } else if (c == ",") { f[++n] = text; text = ""; closed = 0 }
    else if (closed || (c == "\"" && text != "")) return -1
    else if (c == "\"") quoted = 1
    else text = text c
  }
  f[++n] = text
  return quoted ? -1 : n
}
{ sub(/\r$/, "") }
/^[ \t]*$/ { next }
{
  split("", f)
  n = fields($0, f)
  if (!rows++ && f[1] == "histogram" && f[2] == "scf" && f[3] == "thickness" && n == 3) next
  if (n < 1 || n > 3 || f[1] == "") {
    print "batch.sh: " ENVIRON["BATCH_LIST"] ", line " NR ": not a row histogram,scf,thickness" | "cat >&2"
    exit 2
  }
  print f[1]; print f[2]; print f[3]
}'

# results.csv from the rows.* files of the shells, in the order of the hot spots: the damage with
# E before a three-digit exponent and Infinity and NaN as inf and nan; the life 1/damage, empty
# for a damage of 0; fields quoted where CSV needs it.
# shellcheck disable=SC2016 # an awk program, expanded by awk
row_awk='
function csv(s) {
  if (s ~ /[",\r\n]/) { gsub(/"/, "\"\"", s); s = "\"" s "\"" }
  return s
}
{ field[(FNR - 1) % 7] = $0 }
(FNR - 1) % 7 == 6 {
  damage = field[4]
  sub(/^ +/, "", damage)
  sub(/ +$/, "", damage)
  if (damage ~ /^-?[0-9]\.[0-9]+[-+][0-9][0-9][0-9]$/)
    damage = substr(damage, 1, length(damage) - 4) "E" substr(damage, length(damage) - 3)
  else if (damage ~ /Infinity$/) sub(/Infinity$/, "inf", damage)
  else if (damage == "NaN") damage = "nan"
  life = ""
  if (damage == "inf") life = "0.00000E+00"
  else if (damage == "nan") life = "nan"
  else if (damage != "" && damage != "-inf" && damage + 0 != 0) {
    life = sprintf("%.5E", 1 / damage)
    if (life ~ /INF/) life = "inf"
  }
  row[field[0]] = csv(field[1]) "," csv(ENVIRON["BATCH_CURVE"]) "," csv(field[2]) "," \
    csv(field[3]) "," damage "," life "," field[5] "," csv(field[6])
}
END {
  print "hot_spot,curve,scf,thickness,damage_per_year,life_years,status,message"
  for (n = 1; n <= ENVIRON["BATCH_COUNT"]; n++) {
    if (!(n in row)) { print "batch.sh: hot spot " n " has no result" | "cat >&2"; exit 1 }
    print row[n]
  }
}'

jobs='' out=batch-results
while getopts ':hj:o:' option; do
  case $option in
    h) usage; exit 0 ;;
    j) jobs=$OPTARG ;;
    o) out=$OPTARG ;;
    :) fail_usage "option -$OPTARG needs a value" ;;
    *) fail_usage "unknown option -$OPTARG" ;;
  esac
done
shift $((OPTIND - 1))
case $jobs in
  '') jobs=$(nproc 2>/dev/null) || jobs=1 ;;
  *[!0-9]* | 0*) fail_usage "JOBS must be a whole number from 1 on, not '$jobs'" ;;
esac
[ $# -ge 1 ] || fail_usage 'CURVE is missing'
curve=$1
shift
list=''
if [ "${1:-}" = -l ]; then
  [ $# -eq 2 ] || fail_usage '-l takes one LIST and nothing after it'
  list=$2
  if [ ! -f "$list" ] || [ ! -r "$list" ]; then fail_usage "cannot read the list '$list'"; fi
else
  [ $# -ge 3 ] || fail_usage 'give SCF, THICKNESS and at least one HISTOGRAM'
  scf=$1 thickness=$2
  shift 2
fi

if [ -n "${QARTWO:-}" ]; then
  qartwo=$QARTWO
elif [ -x "${0%/*}/../build/qartwo" ]; then
  qartwo=${0%/*}/../build/qartwo
else
  qartwo=$(command -v qartwo) || fail_usage 'cannot find the program qartwo: set QARTWO'
fi
case $qartwo in /*) ;; */*) qartwo=$PWD/$qartwo ;; esac

scratch=${TMPDIR:-/tmp}
[ -n "${TMPDIR:-}" ] || [ ! -d /dev/shm ] || [ ! -w /dev/shm ] || scratch=/dev/shm
work=$(mktemp -d "$scratch/qartwo-batch.XXXXXX") || exit 2
trap 'rm -rf "$work"' EXIT
trap 'exit 1' HUP INT TERM
case $work in /*) ;; *) work=$PWD/$work ;; esac

case $curve in
  '') fail_usage 'CURVE is empty' ;;
  [1-9] | [1-4][0-9] | 50) pick="y
$curve" ;;
  *[!0-9]*)
    cp -- "$curve" "$work/c" 2>/dev/null || fail_usage "cannot read the SN-curve file '$curve'"
    pick="n
../c"
    ;;
  *) fail_usage "CURVE $curve is no built-in curve (1 to 50); write ./$curve for a file" ;;
esac

mkdir -p -- "$out" || fail_usage "cannot make the folder '$out'"
results=$out/results.csv
case $out in /*) ;; *) out=$PWD/$out ;; esac
ln -s "$out" "$work/o" || exit 1

newline='
'
count=0 folders=0 folder=$newline
# True when the program takes the answer $1 as it stands: short, no blank at either end, no
# control character.
plain() {
  case $1 in ' '* | *' ' | *[[:cntrl:]]*) return 1 ;; esac
  [ ${#1} -le 250 ]
}
add_job() { # histogram, scf, thickness
  case $1$2$3 in *"$newline"*) fail_usage 'a line break in a histogram name, SCF or THICKNESS' ;; esac
  count=$((count + 1))
  case $1 in /*) path=$1 ;; *) path=$PWD/$1 ;; esac
  name=${1##*/}
  [ ${#name} -le 244 ] || fail_usage "the report name of '$name' would be too long"
  if [ "${path%/*}" != "$folder" ]; then
    folder=${path%/*} folders=$((folders + 1))
    ln -s "${folder:-/}" "$work/d$folders" || exit 1
  fi
  hist=../d$folders/$name report=../o/$name.report.txt
  plain "$hist" || hist=''
  plain "$report" || report=''
  printf '%s\n' "$hist" "$report" "$path" "$name" "$2" "$3" >"$work/$count.job"
  printf '%s\n' "$name" >>"$work/names"
}
if [ -n "$list" ]; then
  BATCH_LIST=$list awk "$list_awk" <"$list" >"$work/list" || exit 2
  while IFS= read -r hist && IFS= read -r scf && IFS= read -r thickness; do
    add_job "$hist" "$scf" "$thickness"
  done <"$work/list"
else
  for hist in "$@"; do add_job "$hist" "$scf" "$thickness"; done
fi
[ "$count" -gt 0 ] || fail_usage "no hot spots in '$list'"
same=$(sort "$work/names" | uniq -d | head -n 1)
[ -z "$same" ] || fail_usage "two histograms are named '$same': their reports would collide"

# Hand each shell a few runs, enough to spread its start over them but leave every core busy.
per=$((count / (jobs * 4)))
[ "$per" -ge 1 ] || per=1
[ "$per" -le 50 ] || per=50
(cd "$work" && seq "$count" | xargs mkdir) || exit 1
# Reports of an earlier batch must not pass for this one's.
sed 's/$/.report.txt/' "$work/names" | tr '\n' '\0' | (cd "$out" && xargs -0 rm -f --) || exit 1
seq "$count" | xargs -n "$per" -P "$jobs" sh "$0" --jobs "$work" "$out" "$qartwo" "$pick" ||
  { echo 'batch.sh: a run could not be started or recorded' >&2 && exit 1; }
BATCH_CURVE=$curve BATCH_COUNT=$count awk "$row_awk" "$work"/rows.* >"$results" || exit 1

failed=0
[ ! -f "$work/failed" ] || failed=$(($(wc -l <"$work/failed")))
echo "batch.sh: $count runs, $failed not ended with status 0; results in $results"
[ "$failed" -eq 0 ]
