#!/usr/bin/env python3
"""favpage-convert.exe under Wine, given paths as Windows holds them: arguments outside the code
page (each beside its best-fit look-alike), names that the Win32 path rules would change (a
trailing dot or space, device names), a path past 260 characters, folder paths with wildcards,
a drive root and trailing separators. The trees are made here, from the Linux side.

usage: paths_test.py WINE_RUN FAVPAGE_CONVERT_EXE WORK_DIR WINEPREFIX"""
import os
import shutil
import subprocess
import sys

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAILED:", what)


def shortcut(path, url):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", newline="") as f:
        f.write("[InternetShortcut]\r\nURL=%s\r\n" % url)


def windows(path):
    return "Z:" + path.replace("/", "\\")


def main():
    wine_run, exe, work, prefix = sys.argv[1:5]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)

    def convert(folder, output):
        r = subprocess.run([wine_run, exe, "-y", folder, output], capture_output=True,
                           env=dict(os.environ, LC_ALL="C.UTF-8"), timeout=120)
        return r.returncode, r.stdout.decode("cp1252", "replace") + r.stderr.decode("cp1252", "replace")

    def page(path):
        if not os.path.exists(path):
            return ""
        with open(path, "rb") as f:
            return f.read().decode("cp1252")

    # Arguments outside the code page, each beside the look-alike an 8-bit argv would name.
    shortcut(work + "/fav/Ā/real.url", "http://macron/")
    shortcut(work + "/fav/A/decoy.url", "http://decoy/")
    os.makedirs(work + "/out/inner")
    with open(work + "/out/Apage.htm", "w") as f:
        f.write("OLD")
    code, text = convert(windows(work + "/fav/Ā"), windows(work + "/out/Āpage.htm"))
    check(code == 0 and "found 1 Shortcut" in text, "Ā arguments: %d %r" % (code, text))
    check("http://macron/" in page(work + "/out/Āpage.htm"), "the page of the real folder")
    check(open(work + "/out/Apage.htm").read() == "OLD", "the look-alike page is left alone")
    # A fullwidth backslash is a character of the name, never a separator.
    code, text = convert(windows(work + "/fav/A"), windows(work + "/out/inner/..＼..＼escaped.html"))
    check(code == 0 and os.path.exists(work + "/out/inner/..＼..＼escaped.html"),
          "fullwidth backslash: %d %r" % (code, text))
    check(not os.path.exists(work + "/escaped.html"), "nothing written two folders up")

    # Names NTFS holds that the Win32 path rules would strip or take for devices.
    names = ["a.url", "a.url.", "b.url ", "con.url", "nul.url", "com1.url", "dir./in.url"]
    for name in names:
        shortcut(work + "/ntfs/" + name, "http://x/" + name.replace(" ", "_"))
    code, text = convert(windows(work + "/ntfs"), windows(work + "/ntfs.htm"))
    check(code == 0 and "found %d Shortcut" % len(names) in text, "NTFS names: %d %r" % (code, text))
    body = page(work + "/ntfs.htm")
    for name in names:
        check(body.count('HREF="http://x/%s"' % name.replace(" ", "_")) == 1, "%r read as itself" % name)

    # A path past 260 characters.
    deep = work + "/long/" + "/".join("folder-with-a-name-of-forty-characters%02d" % i for i in range(9))
    shortcut(deep + "/deep.url", "http://deep/")
    check(len(windows(deep + "/deep.url")) > 370, "the deep path is long enough")
    code, text = convert(windows(work + "/long"), windows(work + "/long.htm"))
    check(code == 0 and "found 1 Shortcut" in text, "long path: %d %r" % (code, text))

    # Folder forms: wildcards name no folder; a drive root and trailing separators do.
    for pattern in ["fa?", "f*"]:
        code, text = convert(windows(work + "/" + pattern), windows(work + "/w.htm"))
        check(code == 1 and "Unable to find directory" in text, "%s: %d %r" % (pattern, code, text))
    drive = os.path.join(prefix, "dosdevices", "m:")
    if os.path.lexists(drive):
        os.remove(drive)
    os.symlink(work + "/fav/A", drive)
    try:
        for root in ["M:", "M:\\"]:
            code, text = convert(root, windows(work + "/root.htm"))
            check(code == 0 and "found 1 Shortcut" in text, "%s: %d %r" % (root, code, text))
    finally:
        os.remove(drive)
    for given in [windows(work + "/fav") + "\\", windows(work + "/fav") + "\\\\"]:
        code, text = convert(given, windows(work + "/trail.htm"))
        check(code == 0 and "found 2 Shortcut" in text, "%s: %d %r" % (given, code, text))
        check("fav\\\\A</A>" not in page(work + "/trail.htm").replace(given, ""),
              "no doubled separator below " + given)

    print("%d failed" % len(failures) if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
