#!/usr/bin/env bash
# Sourced by setup.sh. Some kernels run no 32-bit programs (built or booted
# without IA-32 emulation): 32-bit Wine then fails with "Exec format error".
# On such a machine 32-bit programs run under qemu's user-mode emulation,
# registered with the kernel's binfmt_misc, with a small preloaded library
# that gives Wine what qemu lacks: page-fault signal frames that Wine can
# read (sigsegv-trapno.c) and the server's access to other processes' memory
# (ptrace-proc-mem.c).

EMUL_DIR=/usr/local/lib/quorindo-i386

runs_32bit() { /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; }

ensure_32bit_programs() {
  runs_32bit && return 0
  say "this kernel runs no 32-bit programs: running them under qemu's user-mode emulation"
  # qemu 8 or later: older ones take about a minute to start each Wine process.
  if ! dpkg --compare-versions "$(dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null || echo 0)" ge 1:8; then
    local suite
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    if [ "$suite" = bookworm ]; then
      echo "deb http://deb.debian.org/debian bookworm-backports main" |
        as_root tee /etc/apt/sources.list.d/quorindo-backports.list >/dev/null
      as_root apt-get update -qq
      as_root apt-get install -y -qq --no-install-recommends -t bookworm-backports qemu-user-static >/dev/null
    else
      as_root apt-get install -y -qq --no-install-recommends qemu-user-static >/dev/null
    fi
  fi
  dpkg-query -W -f='${Status}' gcc-multilib 2>/dev/null | grep -q 'install ok installed' ||
    as_root apt-get install -y -qq --no-install-recommends gcc-multilib >/dev/null
  local qemu
  qemu=$(readlink -f /usr/bin/qemu-i386-static)
  [ -e /proc/sys/fs/binfmt_misc/register ] ||
    as_root mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    echo -1 | as_root tee /proc/sys/fs/binfmt_misc/qemu-i386 >/dev/null
  fi
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' |
    as_root tee /proc/sys/fs/binfmt_misc/register >/dev/null
  # The fix goes into 32-bit processes only: $LIB names each one's own folder.
  local here
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  as_root mkdir -p "$EMUL_DIR/lib/i386-linux-gnu" "$EMUL_DIR/lib/x86_64-linux-gnu"
  as_root gcc -m32 -O2 -shared -fPIC "$here/sigsegv-trapno.c" "$here/ptrace-proc-mem.c" \
    -o "$EMUL_DIR/lib/i386-linux-gnu/emulation.so" -ldl
  echo | as_root gcc -x c -shared -fPIC - -o "$EMUL_DIR/lib/x86_64-linux-gnu/emulation.so"
  grep -qxF "$EMUL_DIR/\$LIB/emulation.so" /etc/ld.so.preload 2>/dev/null ||
    echo "$EMUL_DIR/\$LIB/emulation.so" | as_root tee -a /etc/ld.so.preload >/dev/null
  runs_32bit || { echo "setup: 32-bit programs still do not run" >&2; return 1; }
}
