#!/usr/bin/env bash
# Installs what favpage needs to build, run and test on Debian (run as root). Installs only what
# is missing, so a second run costs a few seconds.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest libgtest-dev          # native build and unit tests
  mingw-w64 g++-mingw-w64-x86-64-posix                   # the Windows program
  wine64 fonts-wine                                      # running it here
  xvfb xauth                                             # windows without a screen (tests)
  python3 chromium                                       # the page as a browser reads it (tests)
                                                         # python3 also writes the release archive
  firefox-esr                                            # the bookmarks file imported (tests)
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  if [[ $(id -u) -ne 0 ]]; then
    echo "setup: missing packages: ${missing[*]}; run this as root (or install them)" >&2
    exit 1
  fi
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
