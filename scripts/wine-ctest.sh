#!/usr/bin/env bash
# Runs the Windows tree's tests under Wine. Call it inside an X display (xvfb-run does that in
# scripts/test.sh). One wineserver stays up for the whole run, with Wine's own services started
# first, their output sent away: a cold server per test costs seconds each, and services started
# by a test would otherwise hold ctest's output pipe open.
set -uo pipefail
cd "$(dirname "$0")/.."
build/win/wine-run.sh --prepare
export WINEPREFIX=$PWD/build/win/wineprefix WINEDEBUG=-all
server=/usr/lib/wine/wineserver64
"$server" -k 2>/dev/null
"$server" -p
build/win/wine-run.sh wineboot </dev/null >/dev/null 2>&1
ctest --test-dir build/win --output-on-failure --timeout 180 -LE bench "$@" </dev/null
status=$?
"$server" -k 2>/dev/null
exit $status
