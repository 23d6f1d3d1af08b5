#!/usr/bin/env bash
# Sets up this machine, builds favpage.exe and starts it under Wine on your display. Only the
# program is built (its help file is put beside it when the tree is configured); the tests are
# built by scripts/test.sh. Settings are kept in your own Wine prefix (~/.wine unless WINEPREFIX
# says otherwise), as on Windows.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh win favpage
if [[ -z ${DISPLAY:-} ]]; then
  echo "run: no display (DISPLAY is not set); start it from a desktop session or under xvfb-run" >&2
  exit 1
fi
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec /usr/lib/wine/wine64 build/win/favpage.exe
