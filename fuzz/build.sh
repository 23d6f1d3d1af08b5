#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer into
# build/fuzz (build/fuzz/fuzz_<target>). The g++ trees are not touched.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  if [[ $(id -u) -ne 0 ]]; then
    echo "fuzz/build.sh: needs clang and libclang-rt-14-dev; install them as root" >&2
    exit 1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev >/dev/null
fi
CC=clang CXX=clang++ cmake -S fuzz -B build/fuzz -G Ninja >/dev/null
nice -n 10 cmake --build build/fuzz
