#!/usr/bin/env python3
"""Writes the Windows release archive from a built Windows tree.

    make_archive.py --tree build/win --out dist

gives OUT/favpage-<version>-win64.zip (favpage.exe, favpage.hlp, favpage-convert.exe and
README.txt, at the archive's top level) and OUT/favpage-<version>-win64.zip.sha256 in the form
`sha256sum -c` reads. The version is the one the tree was configured with (its
release/favpage_version.h, written from CMakeLists.txt), so the archive's name always matches
the programs' version resources.
"""
import argparse
import hashlib
import os
import re
import sys
import time
import zipfile

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Name in the archive, path in the built tree (None: made here).
CONTENTS = [
    ("favpage.exe", "favpage.exe"),
    ("favpage.hlp", "favpage.hlp"),
    ("favpage-convert.exe", os.path.join("tools", "favpage-convert.exe")),
    ("README.txt", None),
]


def tree_version(tree):
    header = os.path.join(tree, "release", "favpage_version.h")
    if not os.path.isfile(header):
        sys.exit(f"make_archive: {header} is missing; configure the Windows tree first")
    with open(header, encoding="ascii") as f:
        found = re.search(r'#define FAVPAGE_VERSION_TEXT "([^"]+)"', f.read())
    if not found:
        sys.exit(f"make_archive: no version in {header}")
    return found.group(1)


def readme(version):
    # Plain text for Windows users: CR LF line ends, so every editor shows the lines.
    with open(os.path.join(SOURCE, "release", "README.txt"), encoding="ascii") as f:
        text = f.read().replace("@VERSION@", version)
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("ascii")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tree", required=True, help="the built Windows tree (build/win)")
    parser.add_argument("--out", required=True, help="folder for the archive and its checksum")
    args = parser.parse_args()

    version = tree_version(args.tree)
    name = f"favpage-{version}-win64.zip"
    for _, built in CONTENTS:
        if built and not os.path.isfile(os.path.join(args.tree, built)):
            sys.exit(f"make_archive: {os.path.join(args.tree, built)} is missing; "
                     "build the Windows tree first")
    os.makedirs(args.out, exist_ok=True)
    archive = os.path.join(args.out, name)
    partial = archive + ".partial"
    with zipfile.ZipFile(partial, "w", compression=zipfile.ZIP_DEFLATED, compresslevel=9) as zf:
        # The readme is dated like the program it comes with.
        program_time = time.localtime(os.path.getmtime(os.path.join(args.tree, "favpage.exe")))
        for entry, built in CONTENTS:
            if built is None:
                info = zipfile.ZipInfo(entry, date_time=program_time[:6])
                info.compress_type = zipfile.ZIP_DEFLATED
                info.external_attr = 0o644 << 16
                zf.writestr(info, readme(version))
                continue
            zf.write(os.path.join(args.tree, built), entry)
    os.replace(partial, archive)

    digest = hashlib.sha256()
    with open(archive, "rb") as f:
        for block in iter(lambda: f.read(1 << 16), b""):
            digest.update(block)
    with open(archive + ".sha256", "w", encoding="ascii", newline="\n") as f:
        f.write(f"{digest.hexdigest()}  {name}\n")
    print(f"{archive} ({os.path.getsize(archive)} bytes)")
    print(f"{archive}.sha256")


if __name__ == "__main__":
    main()
