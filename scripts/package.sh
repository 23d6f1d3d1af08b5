#!/usr/bin/env bash
# Builds the two Windows programs and writes the release archive dist/favpage-<version>-win64.zip
# (one folder favpage-<version> holding favpage.exe, favpage.hlp, favpage-convert.exe and a
# README.txt for Windows users) with its SHA-256 checksum file beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh win favpage favpage-convert
python3 scripts/make_archive.py --tree build/win --out dist
