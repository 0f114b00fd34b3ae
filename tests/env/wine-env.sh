# Sourced by every script that runs the project's programs under Wine.
# Usage: . tests/env/wine-env.sh BUILD_DIR
kavo_build=$(cd "${1:?build dir}" && pwd)
kavo_env_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

export WINEPREFIX="$kavo_build/wineprefix"
# No Mono/Gecko installer prompts; no desktop menu entries written on the Linux side.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEDEBUG=-all
# ANSI code page 932 inside Wine. The glibc locale itself, built into the build folder, lets
# Wine also make files with Japanese names.
if [ ! -d "$kavo_build/locale/ja_JP.UTF-8" ]; then
  mkdir -p "$kavo_build/locale"
  localedef -i ja_JP -f UTF-8 "$kavo_build/locale/ja_JP.UTF-8" >/dev/null 2>&1 || true
fi
export LOCPATH="$kavo_build/locale"
{ export LC_ALL=ja_JP.UTF-8; } 2>/dev/null
export TZ=Asia/Tokyo
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY no_proxy

kavo_wine_start() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  # One persistent server for the whole run: later processes start in well under a second.
  wineserver -p 2>/dev/null || true   # already running: keep that one
  wine cmd /c exit 0 >/dev/null 2>&1 || true
  # The run's one desktop process, started here so that it holds no test's output open.
  local holder="$kavo_build/bin/kavo-desktop-holder.exe"
  # A second holder in the same prefix does no harm.
  if [ -f "$holder" ]; then
    (cd / && wine "$holder" </dev/null >/dev/null 2>&1 &)
    sleep 1
  fi
}

kavo_wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
}

# The embedded web browser of every program in this prefix becomes the project's scripted
# double (Wine's own has no HTML engine): 32-bit machine-wide class registration, which Wine
# honours, unlike a per-user one. Run from / so no reg.exe of ours shadows Wine's.
kavo_register_scripted_browser() {
  local dll="$kavo_build/bin/KavoScriptedBrowser.dll"
  [ -f "$dll" ] || { echo "missing $dll" >&2; return 1; }
  local key='HKLM\Software\Classes\CLSID\{8856F961-340A-11D0-A96B-00C04FD705A2}\InprocServer32'
  (cd / && wine reg add "$key" /ve /d "$(winepath -w "$dll")" /f /reg:32 >/dev/null 2>&1 &&
     wine reg add "$key" /v ThreadingModel /d Apartment /f /reg:32 >/dev/null 2>&1)
}
