#!/usr/bin/env bash
# The one test command: installs what is missing, builds the four trees and
# runs every tier (the release archives with their checks, native, Win32
# under Wine for the i686 and the x86_64 build, end to end on the i686 exe
# taken out of its archive, short fuzz runs). Full outputs go to build/logs/;
# the console gets summaries and failures. The last line of output is
# "N passed, M failed" (", K skipped" when a tier could not run here); the exit
# code is 0 only when nothing failed.
set -uo pipefail  # no -e: one failing tier must not keep the others from running

cd "$(dirname "${BASH_SOURCE[0]}")/.."
ROOT=$PWD
export PEXOR_ROOT=$ROOT
LOGS=$ROOT/build/logs
JOBS=${PEXOR_JOBS:-2}
FUZZ_SECONDS=${PEXOR_FUZZ_SECONDS:-20}
# Guards against hangs only; no test relies on them.
CTEST_TIMEOUT=${PEXOR_CTEST_TIMEOUT:-300}
E2E_TIMEOUT=${PEXOR_E2E_TIMEOUT:-600}
started=$(date +%s)
mkdir -p "$LOGS"

# Two runs in one tree would share build directories and the Wine prefix.
exec 8>"$ROOT/build/.test-lock"
if ! flock -n 8; then
  echo "test: another run is using this tree; waiting for it"
  flock 8
fi

source "$ROOT/scripts/wine-env.sh"

# ---------------------------------------------------------------- counting
TIERS=(build release native win32-i686 win32-x86_64 e2e fuzz)
declare -A PASSED FAILED SKIPPED NOTES
for t in "${TIERS[@]}"; do PASSED[$t]=0; FAILED[$t]=0; SKIPPED[$t]=0; NOTES[$t]=""; done
pass() { PASSED[$1]=$(( PASSED[$1] + ${2:-1} )); }
fail() { FAILED[$1]=$(( FAILED[$1] + ${2:-1} )); }
skip() { SKIPPED[$1]=$(( SKIPPED[$1] + 1 )); note "$1" "skipped: $2"; }
note() { NOTES[$1]="${NOTES[$1]:+${NOTES[$1]}; }$2"; }
say() { printf '%s\n' "$*"; }
# Prints the last lines of a log, indented, under a heading.
show() { say "  --- $2 (full log: ${1#$ROOT/})"; tail -n "${3:-40}" "$1" | awk '{ print "  | " $0 }'; }

# Stops Wine and Xvfb whatever happens; also on Ctrl+C and SIGTERM.
WINE_UP=0
cleanup() {
  if [ "$WINE_UP" = 1 ]; then wine_stop; WINE_UP=0; fi
  xvfb_stop
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
# Bash skips its own INT trap when the child it waited for handled Ctrl+C and
# exited with 130 itself; so a child's 130 or 143 ends the run here too.
stop_if_interrupted() {
  case $1 in 130|143) say "test: interrupted"; exit "$1" ;; esac
}

# ------------------------------------------------------------------- setup
if ! bash "$ROOT/scripts/setup.sh"; then
  say "setup failed: cannot build or test"
  say "0 passed, 1 failed"
  exit 1
fi

# ------------------------------------------------------------------- build
declare -A BUILT  # tree -> 1 when its programs were built (warnings or not)

# Configures (again: cheap, and applies the options) and builds one tree.
# Compiler warnings from our own sources fail the build. An object that
# warned is deleted before the next build so that its warnings show again
# instead of hiding behind an up-to-date object.
build_tree() {
  local name=$1; shift
  local dir=$ROOT/build/$name log=$LOGS/build-$name.log t0=$(date +%s)
  local warned=$dir/.pexor-warned ok=1
  : >"$log"
  # A tree configured with other options or toolchain files keeps their
  # compilers in its cache: start it afresh then.
  local config
  config=$( { printf '%s\n' "$@"; cat "$ROOT"/cmake/*.cmake; } | sha1sum)
  if [ -f "$dir/CMakeCache.txt" ] && [ "$(cat "$dir/.pexor-config" 2>/dev/null)" != "$config" ]; then
    rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
  fi
  mkdir -p "$dir" && echo "$config" >"$dir/.pexor-config"
  if ! "$@" -S "$ROOT" -B "$dir" -G Ninja >>"$log" 2>&1; then
    # A tree configured some other way (generator, compiler): start afresh.
    if [ -f "$dir/CMakeCache.txt" ]; then
      rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
      "$@" -S "$ROOT" -B "$dir" -G Ninja >>"$log" 2>&1 || ok=0
    else
      ok=0
    fi
  fi
  if [ "$ok" = 1 ]; then
    [ -f "$warned" ] && (cd "$dir" && xargs -r rm -f <"$warned")
    NINJA_STATUS='[%f/%t] ' ninja -C "$dir" -j"$JOBS" >>"$log" 2>&1
    local rc=$?
    stop_if_interrupted $rc
    [ $rc -eq 0 ] || ok=0
  fi
  # Ninja prints "[i/n] Building CXX object OBJ" before the compiler's
  # output for OBJ; a warning line starts with the path of one of our files.
  awk -v root="$ROOT/" '
    /^\[[0-9]+\/[0-9]+\] / { obj = ($2 == "Building") ? $NF : ""; next }
    {
      line = $0
      if (index(line, root) == 1) line = substr(line, length(root) + 1)
      sub(/^(\.\.\/)+/, "", line)
      if (line ~ /^(src|tests|fuzz|res|cmake)\/[^:]*:[0-9]+(:[0-9]+)?: warning:/) {
        print line > "/dev/stderr"
        if (obj != "") print obj
      }
    }' "$log" 2>"$log.warnings" | sort -u >"$warned"
  local nwarn
  nwarn=$(wc -l <"$log.warnings")
  [ -s "$warned" ] || rm -f "$warned"
  local secs=$(( $(date +%s) - t0 ))
  if [ "$ok" = 1 ] && [ "$nwarn" -eq 0 ]; then
    say "build $name: ok (${secs} s)"
    BUILT[$name]=1; pass build
  else
    if [ "$ok" = 1 ]; then
      say "build $name: FAILED, $nwarn warning(s) in our sources"
      head -n 40 "$log.warnings" | awk '{ print "  | " $0 }'
    else
      say "build $name: FAILED"
      show "$log" "build output, last lines"
      [ "$nwarn" -gt 0 ] && say "  ($nwarn warning(s) in our sources as well)"
    fi
    BUILT[$name]=$ok; fail build
    if [ "$ok" = 1 ]; then note build "$name: warnings"; else note build "$name: failed"; fi
  fi
  rm -f "$log.warnings"
}

say "== build"
build_tree native cmake -DCMAKE_CXX_COMPILER=g++
build_tree fuzz env CXX=clang++ cmake -DPEXOR_FUZZ=ON
build_tree win64 cmake -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" -DPEXOR_TESTS=ON
build_tree win32 cmake -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" -DPEXOR_TESTS=ON

# The product may import only Windows' own DLLs.
ALLOWED_DLLS=" kernel32 user32 gdi32 shell32 comctl32 comdlg32 advapi32 msvcrt version "
check_imports() {
  local tree=$1 arch=$2 exe=$ROOT/build/$1/pexor.exe
  if [ "${BUILT[$tree]}" != 1 ]; then
    say "imports $tree: not checked (build failed)"; return
  fi
  local dlls bad="" dll base
  dlls=$("$arch-w64-mingw32-objdump" -p "$exe" 2>/dev/null | sed -n 's/^[[:space:]]*DLL Name: *//p')
  if [ -z "$dlls" ]; then
    say "imports $tree: FAILED, no import table read from ${exe#$ROOT/}"
    fail build; note build "imports of $tree unreadable"; return
  fi
  for dll in $dlls; do
    base=$(tr '[:upper:]' '[:lower:]' <<<"${dll%.[dD][lL][lL]}")
    [[ "$ALLOWED_DLLS" == *" $base "* ]] || bad+=" $dll"
  done
  local size
  size=$(stat -c %s "$exe")
  if [ -z "$bad" ]; then
    say "imports $tree: ok, pexor.exe ($arch) is $size bytes, imports $(echo $dlls)"
    pass build
  else
    say "imports $tree: FAILED, pexor.exe ($arch) imports$bad"
    fail build; note build "$tree imports$bad"
  fi
}
check_imports win64 x86_64
check_imports win32 i686

# Layers point one way: no include from a lower folder of src/ to a higher one.
if bash "$ROOT/scripts/check-layers.sh" >"$LOGS/layers.log" 2>&1; then
  say "layers: ok"; pass build
else
  say "layers: FAILED, includes that point up"; show "$LOGS/layers.log" "wrong includes"
  fail build; note build "layers"
fi

# ----------------------------------------------------------------- release
# Runs a check of the release tier with its output in build/logs/NAME.log;
# 0 when it passed.
release_check() {
  local name=$1 what=$2 log=$LOGS/$1.log t0=$(date +%s) rc
  shift 2
  "$@" </dev/null >"$log" 2>&1
  rc=$?
  stop_if_interrupted $rc
  if [ $rc -eq 0 ]; then
    say "$name: ok, $what ($(( $(date +%s) - t0 )) s)"; pass release
  else
    say "$name: FAILED"; show "$log" "output, last lines"; fail release; note release "$name"
  fi
  return $rc
}

say "== release"
# The archives a user downloads, made as scripts/release.sh makes them: the
# end-to-end tests run the exe out of one of them.
RELEASED=0
release_check release "archives in dist/" env PEXOR_JOBS="$JOBS" bash "$ROOT/scripts/release.sh" && RELEASED=1
release_check liesmich "LIESMICH.TXT names every key and message" python3 "$ROOT/tests/release/liesmich.py"
release_check reproducible "two releases of HEAD are the same bytes" bash "$ROOT/tests/release/reproducible.sh"

# ------------------------------------------------------------------- ctest
# Runs ctest in a tree and counts from its "N tests failed out of M" line.
# Returns 2 when the tree has no tests at all.
run_ctest() {
  local tier=$1 dir=$2; shift 2
  local log=$LOGS/ctest-$tier.log t0=$(date +%s)
  ctest --test-dir "$dir" --output-on-failure --timeout "$CTEST_TIMEOUT" "$@" \
        </dev/null >"$log" 2>&1
  local rc=$? secs=$(( $(date +%s) - t0 ))
  local line failed total
  stop_if_interrupted $rc
  line=$(grep -E '[0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    # No tests at all, and no error either (a test program that cannot list
    # its tests is an error, not an empty tier).
    if [ $rc -eq 0 ] && grep -q 'No tests were found' "$log" && ! grep -qi 'error' "$log"; then
      return 2
    fi
    say "$tier: FAILED, ctest gave no summary (exit $rc)"
    show "$log" "ctest output, last lines"
    fail "$tier"; return 1
  fi
  failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  pass "$tier" $(( total - failed )); fail "$tier" "$failed"
  # A test program that could not list its tests adds none: count it here.
  if grep -q '^CMake Error' "$log"; then
    fail "$tier"; note "$tier" "test discovery failed"; rc=1
  fi
  if [ "$failed" -gt 0 ] || [ "$rc" -ne 0 ]; then
    say "$tier: $failed of $total tests FAILED (${secs} s)"
    # Everything but the lines of passing tests: the failures' output and the list.
    grep -vE '^ *Start +[0-9]+: |Test +#[0-9]+: .* Passed ' "$log" | head -n 300 | awk '{ print "  | " $0 }'
    say "  (full log: ${log#$ROOT/})"
    if [ "$failed" -eq 0 ]; then fail "$tier"; note "$tier" "ctest exit $rc"; fi
  else
    say "$tier: $total tests passed (${secs} s)"
  fi
  return 0
}

say "== native tests"
if [ "${BUILT[native]}" = 1 ]; then
  run_ctest native "$ROOT/build/native" -j"$JOBS"
  if [ $? = 2 ]; then
    say "native: FAILED, build/native has no tests"; fail native; note native "no tests found"
  fi
else
  say "native: not run (build failed)"; note native "not run"
fi

# ------------------------------------------------------------- Wine tiers
# The shipped exe is the i686 one; a machine that cannot run 32-bit programs
# skips its tiers (never counted as passed) and runs the x86_64 exe end to end.
RUN32=1
can_run_32bit || RUN32=0
[ $RUN32 = 1 ] || say "32-bit: $PEXOR_NO_32BIT; the i686 tiers are skipped"

say "== Win32 tests under Wine"
if [ "${BUILT[win64]}" = 1 ] || [ "${BUILT[win32]}" = 1 ]; then
  wine_env_vars
  wine_stop  # a server left from earlier may be bound to a display that is gone
  t0=$(date +%s)
  if xvfb_start && WINE_UP=1 && wine_start; then
    say "wine: display $DISPLAY, prefix ready ($(( $(date +%s) - t0 )) s)"
  else
    say "win32: FAILED, could not start Xvfb and Wine"
    fail win32-x86_64; note win32-x86_64 "no Wine"; WINE_UP=0
  fi
fi
for tree in win32:i686 win64:x86_64; do
  arch=${tree#*:} tree=${tree%:*}
  tier=win32-$arch
  if [ "$arch" = i686 ] && [ $RUN32 = 0 ]; then
    say "$tier: skipped, $PEXOR_NO_32BIT"; skip "$tier" "no 32-bit"
  elif [ "${BUILT[$tree]}" != 1 ]; then
    say "$tier: not run (build failed)"; note "$tier" "not run"
  elif [ "$WINE_UP" = 1 ]; then
    # One at a time: the tests own windows, focus and named objects.
    run_ctest "$tier" "$ROOT/build/$tree" -j1
    if [ $? = 2 ]; then say "$tier: FAILED, no tests found"; fail "$tier"; fi
  fi
done

say "== end-to-end tests"
shopt -s nullglob
e2e_scripts=("$ROOT"/tests/e2e/*.sh)
shopt -u nullglob
e2e_tree=win32 e2e_archive=pexor-VERSION.zip
if [ $RUN32 = 0 ]; then
  e2e_tree=win64 e2e_archive=pexor-VERSION-x64.zip; skip e2e "i686 exe cannot run, the x86_64 one ran"
fi
e2e_archive=${e2e_archive/VERSION/$(cat "$ROOT/build/release-i686/pexor-version.txt" 2>/dev/null)}
if [ ${#e2e_scripts[@]} -eq 0 ]; then
  say "e2e: none yet"; note e2e "none yet"
elif [ "$WINE_UP" != 1 ] || [ "${BUILT[$e2e_tree]}" != 1 ] || [ "$RELEASED" != 1 ]; then
  say "e2e: not run (no build, no release or no Wine)"; note e2e "not run"
elif ! { rm -rf "$ROOT/build/e2e-exe" &&
         python3 -m zipfile -e "$ROOT/dist/$e2e_archive" "$ROOT/build/e2e-exe"; } >"$LOGS/e2e-unpack.log" 2>&1; then
  say "e2e: FAILED, dist/$e2e_archive could not be unpacked"; show "$LOGS/e2e-unpack.log" "unzip"; fail e2e
else
  # What the scripts may use besides DISPLAY and the WINE* variables: the
  # pexor.exe a user gets, out of its archive, and the build tree under test
  # with tests/win32/recorder.exe.
  export PEXOR_EXE=$ROOT/build/e2e-exe/pexor.exe PEXOR_EXE_DIR=$ROOT/build/$e2e_tree
  say "e2e: the $([ $e2e_tree = win32 ] && echo i686 || echo x86_64) pexor.exe of dist/$e2e_archive"
  for script in "${e2e_scripts[@]}"; do
    name=$(basename "$script" .sh)
    log=$LOGS/e2e-$name.log
    # Each script gets an empty folder for its screenshots and files.
    export PEXOR_E2E_DIR=$ROOT/build/e2e/$name
    rm -rf "$PEXOR_E2E_DIR"; mkdir -p "$PEXOR_E2E_DIR"
    t0=$(date +%s)
    ( cd "$ROOT" && exec timeout --foreground -k 10 "$E2E_TIMEOUT" bash "$script" ) </dev/null >"$log" 2>&1
    rc=$?
    stop_if_interrupted $rc
    if [ $rc -eq 0 ]; then
      say "e2e $name: passed ($(( $(date +%s) - t0 )) s)"; pass e2e
    else
      say "e2e $name: FAILED (exit $rc$([ $rc = 124 ] && echo ', hung'))"
      show "$log" "script output, last lines"
      fail e2e
      # Whatever it left running must not disturb the next script.
      wine_stop; wine_start >/dev/null || { WINE_UP=0; say "e2e: Wine did not restart"; break; }
    fi
  done
fi

if [ "$WINE_UP" = 1 ]; then wine_stop; WINE_UP=0; fi
xvfb_stop

# -------------------------------------------------------------------- fuzz
say "== fuzz (${FUZZ_SECONDS} s per target)"
shopt -s nullglob
fuzz_sources=("$ROOT"/fuzz/fuzz_*.cpp)
shopt -u nullglob
if [ "${BUILT[fuzz]}" != 1 ]; then
  say "fuzz: not run (build failed)"; note fuzz "not run"
elif [ ${#fuzz_sources[@]} -eq 0 ]; then
  say "fuzz: no targets"; note fuzz "no targets"
else
  note fuzz "${#fuzz_sources[@]} target(s), ${FUZZ_SECONDS} s each"
  for source in "${fuzz_sources[@]}"; do
    name=$(basename "$source" .cpp)
    exe=$ROOT/build/fuzz/fuzz/$name
    log=$LOGS/fuzz-$name.log
    corpus=$ROOT/build/fuzz-corpus/$name
    mkdir -p "$corpus"
    # New inputs go to the first folder; the checked-in seeds are only read.
    seeds=()
    [ -d "$ROOT/fuzz/corpus/$name" ] && seeds=("$ROOT/fuzz/corpus/$name")
    timeout --foreground -k 10 $(( FUZZ_SECONDS + 120 )) "$exe" -max_total_time="$FUZZ_SECONDS" -timeout=60 \
      -artifact_prefix="$LOGS/$name-" "$corpus" "${seeds[@]}" </dev/null >"$log" 2>&1
    rc=$?
    stop_if_interrupted $rc
    runs=$(sed -nE 's/^Done ([0-9]+) runs in ([0-9]+) second.*/\1 runs in \2 s/p' "$log" | tail -n 1)
    if [ $rc -eq 0 ] && [ -n "$runs" ]; then
      say "fuzz $name: passed, $runs"; pass fuzz
    else
      say "fuzz $name: FAILED (exit $rc)"
      show "$log" "fuzzer output, last lines" 60
      fail fuzz
    fi
  done
fi

# ----------------------------------------------------------------- summary
total_pass=0; total_fail=0; total_skip=0
say "== summary"
printf '%-12s %6s %6s %7s\n' tier passed failed skipped
for t in "${TIERS[@]}"; do
  printf '%-12s %6d %6d %7d%s\n' "$t" "${PASSED[$t]}" "${FAILED[$t]}" "${SKIPPED[$t]}" "${NOTES[$t]:+  (${NOTES[$t]})}"
  total_pass=$(( total_pass + PASSED[$t] )); total_fail=$(( total_fail + FAILED[$t] ))
  total_skip=$(( total_skip + SKIPPED[$t] ))
done
elapsed=$(( $(date +%s) - started ))
say "total time: $(( elapsed / 60 )) min $(( elapsed % 60 )) s; logs in build/logs/"
trap - EXIT
cleanup
say "$total_pass passed, $total_fail failed$([ $total_skip -gt 0 ] && echo ", $total_skip skipped")"
[ "$total_fail" -eq 0 ]
