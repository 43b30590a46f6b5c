#!/usr/bin/env bash
# Builds what a Windows user downloads, from this checkout, into dist/:
#   pexor-<version>.zip      the 32-bit (i686) pexor.exe and LIESMICH.TXT
#   pexor-<version>-x64.zip  the same with the 64-bit (x86_64) pexor.exe
#   SHA256SUMS               the archives' SHA-256 sums, for sha256sum -c
# <version> is the FileVersion text of res/pexor.rc, which the About box shows.
#
# One commit gives the same bytes wherever and whenever it is built: the exe
# has no time stamp and no build path in it, and the archives hold their
# entries in a fixed order, with fixed attributes and the commit's time
# (SOURCE_DATE_EPOCH instead, when it is set). Each exe is built in a tree of
# its own, build/release-<arch>, without the tests. PEXOR_JOBS: build jobs.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
ROOT=$PWD
JOBS=${PEXOR_JOBS:-2}
DIST=$ROOT/dist
LOGS=$ROOT/build/logs

bash scripts/setup.sh

if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  epoch=$SOURCE_DATE_EPOCH
elif ! epoch=$(git log -1 --format=%ct 2>/dev/null) || [ -z "$epoch" ]; then
  echo "release: no git commit here; set SOURCE_DATE_EPOCH to the time the archive entries get" >&2
  exit 1
fi
if [ -n "$(git status --porcelain 2>/dev/null)" ]; then
  echo "release: this checkout has changes that are not committed: these archives are not those of $(git log -1 --format=%h)"
fi

# pexor.exe of one architecture (i686, x86_64) in build/release-<arch>.
build() {
  local dir=$ROOT/build/release-$1 log=$LOGS/release-$1.log
  mkdir -p "$dir" "$LOGS"
  if ! { cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$1.cmake" \
           -DPEXOR_TESTS=OFF -DCMAKE_BUILD_TYPE=MinSizeRel &&
         ninja -C "$dir" -j"$JOBS" pexor; } >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "release: the $1 build failed (full output: ${log#$ROOT/})" >&2
    exit 1
  fi
}

# ARCHIVE EXE: the exe and LIESMICH.TXT, deflated. The entries carry the
# epoch's time in UTC (the format knows no time zone; Windows shows it as
# local time) and MS-DOS attributes, so that neither the builder's clock,
# time zone nor umask gets into the archive.
pack() {
  python3 - "$1" "$epoch" "pexor.exe=$2" "LIESMICH.TXT=$ROOT/docs/LIESMICH.TXT" <<'EOF'
import sys, time, zipfile
archive, epoch, entries = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
when = time.gmtime(max(epoch, 315532800))[:6]  # the format's time begins in 1980
with zipfile.ZipFile(archive, "w") as z:
    for entry in entries:
        name, path = entry.split("=", 1)
        info = zipfile.ZipInfo(name, when)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 0     # MS-DOS
        info.external_attr = 0x20  # "archive", as a file copied on Windows has
        with open(path, "rb") as f:
            z.writestr(info, f.read(), compresslevel=9)
EOF
}

build i686
build x86_64
version=$(cat "$ROOT/build/release-i686/pexor-version.txt")
mkdir -p "$DIST"
rm -f "$DIST"/pexor-*.zip "$DIST/SHA256SUMS"
archives=("pexor-$version.zip" "pexor-$version-x64.zip")
pack "$DIST/${archives[0]}" "$ROOT/build/release-i686/pexor.exe"
pack "$DIST/${archives[1]}" "$ROOT/build/release-x86_64/pexor.exe"
(cd "$DIST" && sha256sum "${archives[@]}" >SHA256SUMS)
for arch in i686 x86_64; do
  echo "release: pexor.exe ($arch) is $(stat -c %s "$ROOT/build/release-$arch/pexor.exe") bytes"
done
(cd "$DIST" && for a in "${archives[@]}"; do echo "release: dist/$a, $(stat -c %s "$a") bytes"; done &&
  sed 's/^/release: SHA-256 /' SHA256SUMS)
