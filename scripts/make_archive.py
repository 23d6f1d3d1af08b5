#!/usr/bin/env python3
"""Writes the Windows release archive from a built Windows tree.

    make_archive.py --tree build/win --out dist

gives OUT/favpage-<version>-win64.zip, whose one folder favpage-<version>/ holds favpage.exe,
favpage.hlp, favpage-convert.exe and README.txt (so "Extract here" makes one folder, not four
files among the user's downloads), and OUT/favpage-<version>-win64.zip.sha256 in the form
`sha256sum -c` reads. The version is the one the tree was configured with (its
release/favpage_version.h, written from CMakeLists.txt), so the archive's name always matches
the programs' version resources. The two text files get CR LF line ends: Notepad before
Windows 10 shows a file with bare LF ends as one long line.
"""
import argparse
import hashlib
import os
import re
import sys
import time
import zipfile

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Name in the archive's folder, path in the built tree (None: made here), and whether it is text
# to be given CR LF line ends.
CONTENTS = [
    ("favpage.exe", "favpage.exe", False),
    ("favpage.hlp", "favpage.hlp", True),
    ("favpage-convert.exe", os.path.join("tools", "favpage-convert.exe"), False),
    ("README.txt", None, True),
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


def crlf(data):
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def readme(version):
    with open(os.path.join(SOURCE, "release", "README.txt"), encoding="ascii") as f:
        return f.read().replace("@VERSION@", version).encode("ascii")


def member(folder, name, date_time, text):
    info = zipfile.ZipInfo(f"{folder}/{name}", date_time=date_time)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = (0o644 if text else 0o755) << 16
    return info


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tree", required=True, help="the built Windows tree (build/win)")
    parser.add_argument("--out", required=True, help="folder for the archive and its checksum")
    args = parser.parse_args()

    version = tree_version(args.tree)
    name = f"favpage-{version}-win64.zip"
    for _, built, _ in CONTENTS:
        if built and not os.path.isfile(os.path.join(args.tree, built)):
            sys.exit(f"make_archive: {os.path.join(args.tree, built)} is missing; "
                     "build the Windows tree first")
    os.makedirs(args.out, exist_ok=True)
    archive = os.path.join(args.out, name)
    partial = archive + ".partial"
    folder = f"favpage-{version}"
    with zipfile.ZipFile(partial, "w", compression=zipfile.ZIP_DEFLATED, compresslevel=9) as zf:
        # The folder and the readme are dated like the program they come with.
        program_time = time.localtime(os.path.getmtime(os.path.join(args.tree, "favpage.exe")))
        directory = zipfile.ZipInfo(folder + "/", date_time=program_time[:6])
        directory.external_attr = (0o40755 << 16) | 0x10   # a folder for Unix and for Windows
        zf.writestr(directory, b"")
        for entry, built, text in CONTENTS:
            if built is None:
                data, date = readme(version), program_time
            else:
                path = os.path.join(args.tree, built)
                with open(path, "rb") as f:
                    data = f.read()
                date = time.localtime(os.path.getmtime(path))
            zf.writestr(member(folder, entry, date[:6], text), crlf(data) if text else data)
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
