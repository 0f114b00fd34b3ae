# Sourced by every script that runs the project's programs under Wine.
# Usage: . tests/env/wine-env.sh BUILD_DIR
kavo_build=$(cd "${1:?build dir}" && pwd)
kavo_env_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

export WINEPREFIX="$kavo_build/wineprefix"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
{ export LC_ALL=ja_JP.UTF-8; } 2>/dev/null   # ANSI code page 932 inside Wine; no glibc locale is needed
export TZ=Asia/Tokyo
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY no_proxy

# Under qemu-i386, Wine's 32-bit loader needs the reservation shim (see qemu-mmap-shim.c).
# $LIB picks the 32-bit copy for 32-bit processes and a no-op for the 64-bit ones.
if grep -qs enabled /proc/sys/fs/binfmt_misc/qemu-i386; then
  shim="$kavo_build/qemu-shim"
  if [ ! -f "$shim/lib/i386-linux-gnu/qemushim.so" ]; then
    mkdir -p "$shim/lib/i386-linux-gnu" "$shim/lib/x86_64-linux-gnu"
    gcc -m32 -O2 -fPIC -shared -nostdlib -o "$shim/lib/i386-linux-gnu/qemushim.so" "$kavo_env_dir/qemu-mmap-shim.c"
    gcc -O2 -fPIC -shared -nostdlib -o "$shim/lib/x86_64-linux-gnu/qemushim.so" "$kavo_env_dir/noop-shim.c"
  fi
  export LD_PRELOAD="$shim/\$LIB/qemushim.so"
fi

kavo_wine_start() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  # One persistent server for the whole run: later processes start in well under a second.
  wineserver -p
  wine cmd /c exit 0 >/dev/null 2>&1 || true
}

kavo_wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
}
