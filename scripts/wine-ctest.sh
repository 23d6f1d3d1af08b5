#!/usr/bin/env bash
# Runs the Windows tree's tests under Wine. Call it inside an X display (xvfb-run does that in
# scripts/test.sh). One wineserver stays up for the whole run, with Wine's own services started
# first, their output sent away: a cold server per test costs seconds each, and services started
# by a test would otherwise hold ctest's output pipe open.
set -uo pipefail
cd "$(dirname "$0")/.."
# A fixed locale: Windows code page 1252, and file names on disk in UTF-8, so that names in any
# script exist for the tests (under plain C, Wine reads disk names as 8-bit text).
export LC_ALL=C.UTF-8
build/win/wine-run.sh --prepare
export WINEPREFIX=$PWD/build/win/wineprefix WINEDEBUG=-all
server=/usr/lib/wine/wineserver64
"$server" -k 2>/dev/null
"$server" -p
build/win/wine-run.sh wineboot </dev/null >/dev/null 2>&1
# One desktop for the whole run, up before the first test (see tests/wine_desktop.cpp). A try
# that found no display driver says so and ends, and the next try, a new process, may find the
# desktop up by then; after two minutes the tests run anyway.
keeper=build/win/tests/wine_desktop.exe
if [ -f "$keeper" ]; then
  deadline=$((SECONDS + 120))
  until [ $SECONDS -ge $deadline ]; do
    exec 3< <(build/win/wine-run.sh "$keeper" </dev/null 2>&1)
    line=
    while read -r -t 60 line <&3 && [ "${line%$'\r'}" != ready ] && [ "${line#no window}" = "$line" ]; do :; done
    [ "${line%$'\r'}" = ready ] && break
    echo "wine-ctest.sh: no desktop yet: ${line:-nothing}" >&2
    sleep 1
  done
fi
ctest --test-dir build/win --output-on-failure --timeout 180 -LE bench "$@" </dev/null
status=$?
"$server" -k 2>/dev/null
exit $status
