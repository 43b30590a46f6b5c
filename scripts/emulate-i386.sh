#!/usr/bin/env bash
# For machines whose kernel refuses 32-bit programs ("Exec format error"):
# "on" lets qemu run every 32-bit Linux program, and so Wine's 32-bit half and
# the i686 pexor.exe, through binfmt_misc; "off" takes that back. Needs root.
# The test tiers skip such an emulated i686 unless PEXOR_EMULATED_32BIT=1.
set -euo pipefail
entry=/proc/sys/fs/binfmt_misc/qemu-i386
case "${1:-}" in
  on)
    bash "$(dirname "$0")/setup.sh"
    command -v qemu-i386-static >/dev/null || apt-get install -y -q --no-install-recommends qemu-user-static
    [ -e /proc/sys/fs/binfmt_misc/register ] || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    [ -e "$entry" ] || printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
      >/proc/sys/fs/binfmt_misc/register
    echo "32-bit programs now run through qemu-i386-static" ;;
  off)
    [ ! -e "$entry" ] || echo -1 >"$entry"
    echo "32-bit programs are no longer emulated" ;;
  *) echo "usage: $0 on|off" >&2; exit 2 ;;
esac
