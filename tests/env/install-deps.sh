#!/usr/bin/env bash
# Installs the cross compiler, Wine and the test tools on a fresh Debian 12 machine, and
# makes 32-bit Wine work where the kernel runs no 32-bit code (qemu-i386 through binfmt).
# --gallery adds what the run command's page gallery needs (Chromium, ImageMagick); the
# tests do without them.
set -euo pipefail
[ "$(id -u)" = 0 ] || SUDO=sudo
SUDO=${SUDO:-}

pkgs=(g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-tools
      wine wine32:i386 wine64 xvfb xauth googletest cmake ninja-build python3 gcc
      fonts-ipafont-gothic locales openssl osslsigncode)
[ "${1:-}" = --gallery ] && pkgs+=(chromium imagemagick)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO dpkg --add-architecture i386
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The first URI of a configured source that serves the release itself: the backports come
# from the same mirror the machine already uses (one-line and deb822 forms).
debian_mirror() {
  local codename=$1
  {
    [ -f /etc/apt/sources.list ] && awk -v s="$codename" '
      $1 == "deb" { i = 2; if ($2 ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }
                    if ($(i + 1) == s) print $i }' /etc/apt/sources.list
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      awk -v s="$codename" '
        function flush() { if (deb && uri != "" && suites ~ ("(^| )" s "( |$)")) print uri; deb = 0; uri = ""; suites = "" }
        /^[ \t]*$/ { flush(); next }
        /^Types:/ { deb = ($0 ~ /(: | )deb( |$)/) }
        /^URIs:/ { uri = $2 }
        /^Suites:/ { sub(/^Suites:[ \t]*/, ""); suites = $0 }
        END { flush() }' "$f"
    done
  } | head -n 1
}

# A kernel booted without 32-bit emulation refuses Wine's 32-bit loader (exec format error):
# run i386 code through qemu-user instead. Bookworm's qemu 7 crashes Wine as soon as two
# threads run and ignores MAP_FIXED_NOREPLACE (50 s per process start); the backported
# qemu 10 does neither.
if grep -qs enabled /proc/sys/fs/binfmt_misc/qemu-i386 || ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  if ! dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null | grep -q '^1:1[0-9]'; then
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    mirror=$(debian_mirror "$codename")
    [ -n "$mirror" ] || { echo "no Debian source for $codename is configured" >&2; exit 1; }
    echo "deb $mirror $codename-backports main" | $SUDO tee /etc/apt/sources.list.d/kavo-backports.list >/dev/null
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends -t "$codename-backports" qemu-user-static
  fi
  if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
    $SUDO mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  fi
  # The F flag pins the interpreter file opened at registration: register again after an upgrade.
  if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    echo -1 | $SUDO tee /proc/sys/fs/binfmt_misc/qemu-i386 >/dev/null
  fi
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
    | $SUDO tee /proc/sys/fs/binfmt_misc/register >/dev/null
  /usr/lib/wine/wine --version >/dev/null
fi
