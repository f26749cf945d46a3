#!/bin/sh
# tools/check_includes.sh on a copy of the program's folders: the copy as it is passes, and each
# row's include added to its file (or the file added, for one outside the three rooms) fails it,
# with the line named. Arguments: the project folder.
set -eu
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -R "$1/support" "$1/fatigue" "$1/run" "$scratch"
check="$1/tools/check_includes.sh"
"$check" "$scratch" || { echo "the folders as they are fail the check" && exit 1; }
status=0
while read -r file included expected; do
  cp "$scratch/$file" "$scratch/saved" 2>/dev/null || : >"$scratch/saved"
  printf '#include "%s"\n' "$included" >>"$scratch/$file"
  if "$check" "$scratch" >"$scratch/out"; then found=pass; else found=fail; fi
  if [ "$found" != "$expected" ] || { [ "$found" = fail ] && ! grep -q "^$file" "$scratch/out"; }; then
    echo "$file including $included: $found, expected $expected"
    cat "$scratch/out"
    status=1
  fi
  mv "$scratch/saved" "$scratch/$file"
  [ -s "$scratch/$file" ] || rm "$scratch/$file"
done <<ROWS
support/text/fields.h support/io/units.h fail
support/text/fields.h support/text/fixed_text.h pass
support/io/units.h support/terminal/line_editor.h fail
support/io/units.h support/text/fields.h pass
support/terminal/line_editor.h fatigue/damage.h fail
support/terminal/line_editor.h support/io/units.h pass
fatigue/damage.h support/terminal/line_editor.h fail
fatigue/damage.h run/program.h fail
fatigue/damage.h support/io/units.h pass
support/io/units.h run/program.h fail
support/stray.h support/text/fields.h fail
run/program.h support/terminal/line_editor.h pass
ROWS
exit "$status"
