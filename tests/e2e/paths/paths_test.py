#!/usr/bin/env python3
"""favpage-convert.exe under Wine, given paths as Windows holds them: arguments outside the code
page (each beside its best-fit look-alike), names that the Win32 path rules would change (a
trailing dot or space, device names), a path past 260 characters, folder paths with wildcards,
a drive root and trailing separators; native, quoted and file paths, a UTF-8 shortcut, and
names that only Linux holds. The trees are made here, from the Linux side.

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

    def convert(folder, output, *options):
        r = subprocess.run([wine_run, exe] + list(options or ["-y"]) + [folder, output],
                           capture_output=True, stdin=subprocess.DEVNULL,
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

    # Paths as other tools hand them over, each taken as meant. The page exists already.
    fav, given = windows(work + "/fav"), work + "/given.htm"
    rows = [
        # (folder, output, options, exit code, text wanted, page replaced)
        (fav, "\\??\\" + windows(given), ["--"], 3, "not overwritten", False),
        (fav, "\\\\?\\" + windows(given), ["--"], 3, "not overwritten", False),
        ("\\??\\" + fav, windows(given), ["-y"], 0, "Searched \\??\\" + fav + "\n", True),
        ('"%s"' % fav, '"%s"' % windows(given), ["-y"], 0, "Searched " + fav + "\n", True),
        (windows(work + "/fav/A/decoy.url"), windows(given), ["-y"], 1,
         "Unable to find directory\n " + windows(work + "/fav/A/decoy.url"), False),
        (windows(work + "/fav/A/decoy.url"), windows(given), ["--"], 1,
         "Unable to find directory", False),
    ]
    for folder, output, options, wanted_code, wanted_text, replaced in rows:
        with open(given, "w") as f:
            f.write("OLD")
        code, text = convert(folder, output, *options)
        text = text.replace("\r\n", "\n")
        what = "%s %s %s: %d %r" % (options, folder, output, code, text)
        check(code == wanted_code and wanted_text in text, what)
        check('"' not in text, "no quotes shown: " + what)
        with open(given, "rb") as f:
            page_bytes = f.read()
        check((page_bytes != b"OLD") == replaced, "page replaced %s: %s" % (replaced, what))
        if replaced:
            check(("<br>\r\n" + folder.strip('"') + "<br>On ").encode() in page_bytes,
                  "the page shows the folder as meant: " + what)

    # A UTF-8 shortcut with its byte-order mark on a windows-1252 page: its address as it is.
    os.makedirs(work + "/bom")
    with open(work + "/bom/café.url", "wb") as f:
        f.write(b"\xef\xbb\xbf[InternetShortcut]\r\nURL=http://example.com/caf\xc3\xa9\r\n")
    code, text = convert(windows(work + "/bom"), windows(work + "/bom.htm"))
    check(code == 0 and 'HREF="http://example.com/caf%C3%A9">caf\xe9</A>' in page(work + "/bom.htm"),
          "UTF-8 address: %d %r" % (code, page(work + "/bom.htm")))

    # Names a folder made on Linux holds that no Win32 name can (Wine lists them as they are):
    # read through their short names, or passed over, never read as another file.
    odd = work + "/odd"
    for i, name in enumerate(["a*b.url", "a?.url", 'a"b.url', "a|b.url", "x<y.url", "a\x01b.url",
                              "a2\\b.url", "plain.url"]):
        shortcut(odd + "/" + name, "http://file%d/" % i)
    shortcut(odd + "/a2/b.url", "http://other/")
    shortcut(odd + "/d\\x/f.url", "http://in-d-backslash-x/")
    shortcut(odd + "/d/x/g.url", "http://in-d-x/")
    code, text = convert(windows(odd), windows(work + "/odd.htm"))
    body = page(work + "/odd.htm")
    check(code == 0 and "found 8 Shortcut" in text, "odd names: %d %r" % (code, text))
    for i, shown in enumerate(["a*b", "a?", "a&quot;b", "a|b", "x&lt;y"]):
        check('HREF="http://file%d/">%s</A>' % (i, shown) in body, "%s read as itself" % shown)
    check("http://file5/" not in body and "http://file6/" not in body, "unopenable names passed over")
    check(body.count("http://other/") == 1 and body.count("http://in-d-x/") == 1,
          "a2/b.url and d/x/g.url read once, as themselves")
    check("http://in-d-backslash-x/" not in body, "d\\x is not read through d/x")

    print("%d failed" % len(failures) if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
