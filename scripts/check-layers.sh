#!/usr/bin/env bash
# Layers point one way: a folder of src/ includes only from itself and from
# the folders below it (the README's layout table). Prints every include that
# points anywhere else and exits 1 then; test.sh runs it in the build tier.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

declare -A MAY=(
  [base]="base"
  [state]="base state"
  [interp]="base state interp"
  [tooltips]="base tooltips"
  [ui]="base state interp tooltips ui res"
)
wrong=0
for file in src/*/*.h src/*/*.cpp; do
  from=${file#src/}; from=${from%%/*}
  while read -r target; do
    to=$(realpath -m --relative-to=. "$(dirname "$file")/$target")
    to=${to#src/}; to=${to%%/*}
    if [[ " ${MAY[$from]-} " != *" $to "* ]]; then
      echo "$file includes \"$target\": $from may include only from ${MAY[$from]:-no folder}"
      wrong=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done
exit $wrong
