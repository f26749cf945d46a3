#!/usr/bin/env bash
# Checks that the #include "..." lines of the program's folders run one way only:
#   support/text <- support/io <- support/terminal;  fatigue uses text and io;  run uses all.
# text includes only text; io includes text and io; terminal includes text, io and terminal;
# fatigue includes text, io and fatigue; nothing outside run/ includes run/. A source file
# directly in support/, outside the three folders, belongs to none and fails too. tests/, fuzz/
# and bench/ are not checked. Prints each offending line and exits 1; exits 0 when there is
# none.
#
# Usage: tools/check_includes.sh [ROOT]   (ROOT: the source tree, by default this one)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# The folders a file in folder $1 may include from, one prefix a line.
allowed() {
  case $1 in
    support/text) printf '%s\n' support/text/ ;;
    support/io) printf '%s\n' support/text/ support/io/ ;;
    support/terminal) printf '%s\n' support/text/ support/io/ support/terminal/ ;;
    fatigue) printf '%s\n' support/text/ support/io/ fatigue/ ;;
    run) printf '%s\n' support/text/ support/io/ support/terminal/ fatigue/ run/ ;;
  esac
}

status=0
while IFS= read -r file; do
  folder=$(dirname "$file")
  prefixes=$(allowed "$folder")
  if [ -z "$prefixes" ]; then
    echo "$file: in none of support/text, support/io, support/terminal, fatigue, run"
    status=1
    continue
  fi
  while IFS=: read -r line included; do
    ok=0
    while IFS= read -r prefix; do
      if [[ $included == "$prefix"* ]]; then ok=1; fi
    done <<<"$prefixes"
    if [ "$ok" -eq 0 ]; then
      echo "$file:$line: includes \"$included\" against the direction of the folders"
      status=1
    fi
  done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
    sed -E 's/^([0-9]+):[^"]*"([^"]*)".*/\1:\2/')
done < <(find support fatigue run -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
exit "$status"
