#!/usr/bin/env bash
# Sets up this machine, builds every tree and runs every test: the native unit tests, the same
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows tests under Wine
# inside a virtual X screen. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

bash scripts/setup.sh

echo "== native build and tests"
bash scripts/build.sh native
ctest --test-dir build/native --output-on-failure --timeout 300 -j2 -LE bench

echo "== native tests with AddressSanitizer and UndefinedBehaviorSanitizer"
bash scripts/build.sh native-san
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/native-san --output-on-failure --timeout 300 -j2 -LE bench

echo "== the threads that read ahead, under ThreadSanitizer"
bash scripts/build.sh native-tsan engine_tests
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/native-tsan --output-on-failure --timeout 300 -R ReadAhead

echo "== Windows build and tests under Wine"
bash scripts/build.sh win
status=0
xvfb-run -a -s "-screen 0 1024x768x24" bash scripts/wine-ctest.sh || status=$?

echo "== all tests done in $((SECONDS - start)) s"
exit $status
