# Wine and a virtual display for the tests; sourced by test.sh and wine-run.sh.
#
#   wine_env_vars   export WINEPREFIX (build/wineprefix of this tree) and friends
#   xvfb_start      start an Xvfb on a free display and export DISPLAY
#   wine_start      create the prefix once, start one persistent wineserver
#   wine_stop       end the wineserver and everything under it
#   xvfb_stop       end the Xvfb that xvfb_start started
#   can_run_32bit   whether 32-bit programs run here (else PEXOR_NO_32BIT says why)
#
# Facts this relies on: /usr/bin/wine picks the 32-bit loader and Debian's
# wineserver wrapper forces -p0, so the 64-bit programs are called directly.
# Wine's services inherit the stdio of the wine process that starts them; the
# server and wineboot therefore run with stdio on /dev/null, or they would
# keep the pipes of ctest (or of anyone reading our output) open.

# The tree this script belongs to, whatever the caller's directory.
PEXOR_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WINE64=/usr/lib/wine/wine64
WINESERVER64=/usr/lib/wine/wineserver64
PEXOR_WINE_LOGS=$PEXOR_ROOT/build/logs

wine_env_vars() {
  # This tree's own prefix, never the user's ~/.wine (so WINEPREFIX from the
  # caller's environment is ignored); PEXOR_WINEPREFIX picks another one.
  export WINEPREFIX="${PEXOR_WINEPREFIX:-$PEXOR_ROOT/build/wineprefix}"
  export WINEARCH=win64
  # Wine takes the Windows locale and the code page of Unix file names from
  # the Unix locale: a fixed UTF-8 one makes "ärger.dir" a valid file name
  # and system texts the same on every machine.
  export LC_ALL=C.UTF-8
  export WINEDEBUG=-all
  # No Mono or Gecko install prompts.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINE64 WINESERVER64
}

# Closes every descriptor above 2 in the current (sub)shell: a pipe or lock
# on fd 3 and up would be kept open by a daemon just like stdout.
close_inherited_fds() {
  local fd
  for fd in /proc/$BASHPID/fd/*; do
    fd=${fd##*/}
    if [ "$fd" -gt 2 ] 2>/dev/null; then eval "exec $fd>&-"; fi
  done
}

# Runs a command with stdio on /dev/null and no other inherited descriptor.
wine_detached() {
  ( close_inherited_fds; exec "$@" ) </dev/null >/dev/null 2>&1
}

# Starts Xvfb on a display it picks itself, so a run never collides with a
# display someone else has open. Sets DISPLAY and PEXOR_XVFB_PID.
xvfb_start() {
  local dir number=""
  mkdir -p "$PEXOR_WINE_LOGS"
  dir=$(mktemp -d)
  mkfifo "$dir/displayfd"
  # Xvfb writes the display number to fd 3 once it accepts connections.
  ( close_inherited_fds
    exec Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$dir/displayfd"
  ) </dev/null >"$PEXOR_WINE_LOGS/xvfb.log" 2>&1 &
  PEXOR_XVFB_PID=$!
  read -r -t 30 number <"$dir/displayfd" || true
  rm -rf "$dir"
  if [ -z "$number" ] || ! xdpyinfo -display ":$number" >/dev/null 2>&1; then
    echo "xvfb: could not start a virtual display (see $PEXOR_WINE_LOGS/xvfb.log)" >&2
    xvfb_stop
    return 1
  fi
  export DISPLAY=":$number"
}

xvfb_stop() {
  if [ -n "${PEXOR_XVFB_PID:-}" ]; then
    kill "$PEXOR_XVFB_PID" 2>/dev/null || true
    wait "$PEXOR_XVFB_PID" 2>/dev/null || true
    PEXOR_XVFB_PID=
  fi
}

# Starts the wineserver for WINEPREFIX if none runs yet (returns 0 either
# way); PEXOR_WINE_STARTED tells whether this call started it.
wine_server_up() {
  mkdir -p "$WINEPREFIX"
  local rc=0
  wine_detached "$WINESERVER64" -p60 || rc=$?
  case $rc in
    0) PEXOR_WINE_STARTED=1 ;;
    2) PEXOR_WINE_STARTED=0 ;;  # the server's way of saying "already running"
    *) echo "wine: wineserver did not start (exit $rc)" >&2; return 1 ;;
  esac
}

# Brings the prefix up for tests: creates it on first use (a stamp file marks
# a finished one), then boots it so that the services are already running,
# with stdio on /dev/null, before any test program starts. Needs DISPLAY set:
# the desktop process started here serves every later window.
wine_start() {
  wine_env_vars
  local stamp="$WINEPREFIX/.pexor-prefix-ready"
  # A prefix made before wine32 was installed has no syswow64, and 32-bit
  # programs started in it never show a window: make it again. Only a prefix
  # of ours (it has the stamp) is removed.
  if [ -e "$stamp" ] && [ -x /usr/lib/wine/wine ] && [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    echo "wine: $WINEPREFIX predates wine32; creating it again"
    wine_stop
    rm -rf "$WINEPREFIX"
  fi
  # wineboot starts what the Run key names: a Pexor that registered itself
  # there in an earlier run would hold the single-instance mutex during the
  # tests. The server reads user.reg when it starts.
  if [ -f "$WINEPREFIX/user.reg" ]; then sed -i '/^"Pexor"=/d' "$WINEPREFIX/user.reg"; fi
  wine_server_up || return 1
  if [ ! -e "$stamp" ]; then
    echo "wine: creating the prefix $WINEPREFIX (once, takes a few seconds)"
    wine_detached "$WINE64" wineboot -i || { echo "wine: wineboot -i failed" >&2; return 1; }
    # Without a window manager, managed windows make every hide wait 2 s.
    wine_detached "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f ||
      { echo "wine: could not set Managed=N" >&2; return 1; }
    # Without these, "MS Sans Serif" falls back to a wider font.
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    touch "$stamp"
  else
    wine_detached "$WINE64" wineboot || { echo "wine: wineboot failed" >&2; return 1; }
  fi
  # Remember the display the desktop process uses, for wine-run.sh callers
  # that come without DISPLAY.
  echo "${DISPLAY:-}" >"$WINEPREFIX/.pexor-display"
}

wine_stop() {
  wine_env_vars
  "$WINESERVER64" -k >/dev/null 2>&1 || true
  "$WINESERVER64" -w >/dev/null 2>&1 || true
  rm -f "$WINEPREFIX/.pexor-display"
}

# Runs a 91-byte static i386 Linux program that only calls exit(0): a kernel
# without 32-bit support refuses it ("Exec format error"), and then no 32-bit
# Windows program can run under Wine either. PEXOR_NO_32BIT=reason skips the
# probe and treats the machine as one without 32-bit support.
can_run_32bit() {
  [ -z "${PEXOR_NO_32BIT:-}" ] || return 1
  local probe=$PEXOR_ROOT/build/.probe-i386 out
  mkdir -p "$PEXOR_ROOT/build"
  # ELF header, one loadable segment at 0x08048000, then
  # xor ebx,ebx; xor eax,eax; inc eax; int 0x80.
  printf '%b' '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08' \
    '\x34\0\0\0\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0' \
    '\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x5b\0\0\0\x5b\0\0\0\x05\0\0\0\0\x10\0\0' \
    '\x31\xdb\x31\xc0\x40\xcd\x80' >"$probe"
  chmod +x "$probe"
  if ! out=$("$probe" 2>&1); then
    PEXOR_NO_32BIT="this machine cannot run 32-bit programs ($(sed 's/.*: //' <<<"${out:-exit status not 0}" | head -n 1))"
    return 1
  fi
  if [ ! -x /usr/lib/wine/wine ]; then
    PEXOR_NO_32BIT="wine32 is not installed"
    return 1
  fi
  # Where the kernel refuses 32-bit code, scripts/emulate-i386.sh can hand it
  # to qemu instead: right, but some 50 times slower (a start of pexor.exe
  # takes about a minute), too slow for the tests' time limits. Such runs are
  # for checks by hand unless PEXOR_EMULATED_32BIT=1 asks for them.
  if [ -z "${PEXOR_EMULATED_32BIT:-}" ] &&
     grep -qs '^interpreter .*qemu-i386' /proc/sys/fs/binfmt_misc/qemu-i386; then
    PEXOR_NO_32BIT="32-bit programs run here only through qemu's emulation (scripts/emulate-i386.sh)"
    return 1
  fi
}
