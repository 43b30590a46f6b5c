#!/usr/bin/env bash
# One commit, two releases, the same bytes: scripts/release.sh in two fresh
# clones of HEAD (committed work only), in paths of different lengths, one
# after the other, in different time zones and under different umasks.
# Exit 0 when both dist/ folders hold the same files with the same bytes.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/pexor-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT
clones=("$work/a" "$work/another/place/for/b")
zones=(UTC Pacific/Kiritimati)
masks=(022 077)
for i in 0 1; do
  git clone -q "$root" "${clones[$i]}"
  if ! ( cd "${clones[$i]}" && umask "${masks[$i]}" && TZ=${zones[$i]} bash scripts/release.sh ) \
       >"$work/release-$i.log" 2>&1; then
    cat "$work/release-$i.log"
    echo "FAIL: release.sh failed in ${clones[$i]}"; exit 1
  fi
done
echo "built at $(git -C "${clones[0]}" log -1 --format=%h):"
sed 's/^/  /' "${clones[0]}/dist/SHA256SUMS"
diff -r "${clones[0]}/dist" "${clones[1]}/dist" || { echo "FAIL: the two releases differ"; exit 1; }
echo "the same bytes in ${clones[0]#$work/} and ${clones[1]#$work/}"
