#!/bin/sh
# Usage: unpack_archive.sh SOURCE-DIR BUILD-DIR WORK-DIR
# Writes the release archive from the built Windows tree with the packaging script's own code,
# checks its checksum file and its listing, and unpacks it into WORK-DIR/unpacked for the test
# that runs the program from there.
set -eu
source=$1 tree=$2 work=$3
rm -rf "$work"
mkdir -p "$work"
python3 "$source/scripts/make_archive.py" --tree "$tree" --out "$work"
cd "$work"
set -- favpage-*-win64.zip
[ $# -eq 1 ] && [ -f "$1" ] || { echo "unpack_archive: expected one archive, found: $*" >&2; exit 1; }
sha256sum --check --strict "$1.sha256"
python3 - "$1" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as zf:
    names = sorted(zf.namelist())
    expected = sorted(["favpage.exe", "favpage.hlp", "favpage-convert.exe", "README.txt"])
    if names != expected:
        sys.exit(f"unpack_archive: the archive holds {names}, not {expected}")
    if zf.testzip() is not None:
        sys.exit("unpack_archive: a damaged member")
    readme = zf.read("README.txt")
    if b"\r\n" not in readme or b"\n" in readme.replace(b"\r\n", b""):
        sys.exit("unpack_archive: README.txt must have CR LF line ends only")
    zf.extractall("unpacked")
PY
