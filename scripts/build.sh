#!/usr/bin/env bash
# Configures and builds one tree: native (host g++), native-san (ASan+UBSan), native-tsan
# (ThreadSanitizer) or win (mingw-w64).
# With TARGETs, builds only those and what they need (scripts/run.sh builds favpage alone);
# without, everything, tests included.
set -euo pipefail
cd "$(dirname "$0")/.."
tree=${1:?usage: build.sh native|native-san|native-tsan|win [TARGET...]}
shift
case $tree in
  native)     args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  native-san) args=(-DCMAKE_BUILD_TYPE=Debug -DFAVPAGE_SANITIZE=ON) ;;
  native-tsan) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DFAVPAGE_TSAN=ON) ;;
  win)        args=(-DCMAKE_BUILD_TYPE=Release)
              # CMake reads a toolchain file only when it first configures a tree and warns
              # about it on every later run; the tree keeps it.
              [[ -f build/win/CMakeCache.txt ]] ||
                args+=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake) ;;
  *) echo "build.sh: unknown tree '$tree'" >&2; exit 2 ;;
esac
# Configure every time: areas join the build when their folder appears, which no edit of an
# existing CMakeLists.txt would tell ninja about.
cmake -S . -B "build/$tree" -G Ninja "${args[@]}" >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build "build/$tree" "${targets[@]}"
