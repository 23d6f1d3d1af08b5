#!/bin/sh
# Usage: unpack_archive.sh SOURCE-DIR BUILD-DIR WORK-DIR
# Writes the release archive from the built Windows tree with the packaging script's own code,
# checks its checksum file, its listing and its text files' line ends, and unpacks it into
# WORK-DIR/unpacked (which then holds the archive's one folder) for the test that runs the
# program from there.
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
archive = sys.argv[1]
folder = archive[:-len("-win64.zip")] + "/"
with zipfile.ZipFile(archive) as zf:
    # One folder holds everything: unpacking never scatters files among others.
    names = sorted(zf.namelist())
    expected = sorted([folder] + [folder + name for name in
                                  ("favpage.exe", "favpage.hlp", "favpage-convert.exe", "README.txt")])
    if names != expected:
        sys.exit(f"unpack_archive: the archive holds {names}, not {expected}")
    if not zf.getinfo(folder).is_dir():
        sys.exit(f"unpack_archive: {folder} is not a folder")
    if zf.testzip() is not None:
        sys.exit("unpack_archive: a damaged member")
    # Notepad before Windows 10 shows a text without CR LF line ends as one line.
    for name in ("README.txt", "favpage.hlp"):
        text = zf.read(folder + name)
        rest = text.replace(b"\r\n", b"")
        if b"\r\n" not in text or b"\n" in rest or b"\r" in rest:
            sys.exit(f"unpack_archive: {name} must have CR LF line ends only")
    zf.extractall("unpacked")
PY
