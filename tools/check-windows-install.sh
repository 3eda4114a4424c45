#!/usr/bin/env bash
# Checks the Windows installer under Wine in a prefix of its own: a silent install leaves
# the program, its song service with the demo catalogue, the Start-menu entry and the
# uninstaller, and no service address unless one is given (/SERVICE=); a silent uninstall
# removes them and keeps the user's files.
#   tools/check-windows-install.sh SETUP_EXE
set -euo pipefail
setup=$(realpath "${1:?usage: check-windows-install.sh SETUP_EXE}")
work=$(mktemp -d)
export WINEPREFIX=$work/wine WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
trap 'wineserver -k 2> /dev/null || true; rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }
# Waits up to 60 s for a test on a path to come true: the uninstaller works from a copy of
# itself and returns before it is done.
await() { for _ in $(seq 300); do test "$@" && return 0; sleep 0.2; done; return 1; }

mkdir -p "$WINEPREFIX"
timeout 300 wine cmd /c exit > /dev/null 2>&1
unix() { winepath -u "$(wine cmd /c echo "$1" 2> /dev/null | tr -d '\r')" 2> /dev/null; }
program=$(unix '%ProgramFiles%')/Tunora
menu=$(unix '%ProgramData%')/Microsoft/Windows/Start\ Menu/Programs/Tunora.lnk
settings=$(unix '%APPDATA%')/Tunora/program\ parameter.ini

echo "-- install /S"
timeout 120 wine "$setup" /S || fail "the installer failed"
for file in tunora.exe tunora-song-service.exe catalogue/index.txt uninstall.exe Resource/Resu.rdb \
            Resource/skin.png plugins/js_rilu.txt; do
  [ -s "$program/$file" ] || fail "$file is not installed"
done
[ -f "$menu" ] || fail "no Start-menu entry"
! grep -q '^service address' "$settings" 2> /dev/null || fail "an address was set, not the local service"

echo "-- install /S /SERVICE=192.168.1.20:8725 (a service on another computer)"
timeout 120 wine "$setup" /S /SERVICE=192.168.1.20:8725 || fail "the installer failed"
grep -q '^service address=192.168.1.20:8725' "$settings" 2> /dev/null || fail "the service address is not in the settings"

echo "-- uninstall /S"
timeout 120 wine "$program/uninstall.exe" /S || fail "the uninstaller failed"
await ! -e "$program" || fail "the program folder is left"
[ ! -e "$menu" ] || fail "the Start-menu entry is left"
[ -f "$settings" ] || fail "the user's settings are gone"

[ "$failed" = 0 ] && echo "PASS"
exit "$failed"
