#!/bin/sh
# Usage: wine-prefix-dpi.sh WINE-RUN PIXELS-PER-INCH
# Sets the screen resolution that Wine reports (HKCU "Control Panel\Desktop" LogPixels) in the
# prefix that WINE-RUN (the tree's wine-run.sh) uses, FAVPAGE_WINEPREFIX, creating it first if
# it is new. Programs started in that prefix afterwards see the screen at that resolution.
set -eu
run=$1 dpi=$2
: "${FAVPAGE_WINEPREFIX:?set FAVPAGE_WINEPREFIX to the prefix to change}"
"$run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
  </dev/null >/dev/null 2>&1
# The change is on disk once the prefix's own server has ended.
server=/usr/lib/wine/wineserver64
[ -x "$server" ] || server=$(command -v wineserver64 || command -v wineserver)
WINEPREFIX=$FAVPAGE_WINEPREFIX "$server" -w
"$run" reg query 'HKCU\Control Panel\Desktop' /v LogPixels </dev/null 2>/dev/null | tr -d '\r' |
  grep -qi "LogPixels.*REG_DWORD.*0x$(printf '%x' "$dpi")\$"
