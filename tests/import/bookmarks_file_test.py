#!/usr/bin/env python3
"""Writes a small tree with fixed dates, runs favpage-convert --bookmarks on it and checks the
file's bytes. Both builds run it against the same bytes, so the Windows program under Wine and
the native one write the same file. The names are ASCII but for the root's (in the Windows code
page, as a command line holds it there) and one name and one address in another script, which
the file must hold as UTF-8 on both.

usage: bookmarks_file_test.py WORK_DIR PROGRAM...   (PROGRAM: favpage-convert, or the Wine
launcher and favpage-convert.exe, whose paths then take the form Z:\\...)"""
import os
import shutil
import subprocess
import sys

# path below the root -> contents (None: a folder), in the order the dates are given.
TREE = [
    ("", None),
    ("Zeta & Co.url", "[InternetShortcut]\r\nURL=http://z.example/?a=1&b=<2>\r\n"),
    ("Alpha.url", "[DEFAULT]\r\nBASEURL=http://a.example/\r\n"
                  "[InternetShortcut]\r\nURL=\"http://a.example/\"\r\nIDList=\r\n"),
    ("notes.txt", "no shortcut"),
    ("News", None),
    ("News/Daily.url", "[InternetShortcut]\r\nURL=http://daily.example/\r\n"),
    ("News/Old", None),
    ("News/Old/Empty", None),
    ("Cars", None),
    ("Ψαℕ 本.url", "[InternetShortcut]\r\nURL=http://?.example/\r\n"
                   "[InternetShortcut.W]\r\nURL=http://+A6gDsSEV-.example/\r\n"),
]
ROOT = "Café"
BASE_TIME = 1300000000

EXPECTED = """<!DOCTYPE NETSCAPE-Bookmark-file-1>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks</H1>
<DL><p>
    <DT><H3 ADD_DATE="1300000000" LAST_MODIFIED="1300000000">Café</H3>
    <DL><p>
        <DT><H3 ADD_DATE="1300000008" LAST_MODIFIED="1300000008">Cars</H3>
        <DL><p>
        </DL><p>
        <DT><H3 ADD_DATE="1300000004" LAST_MODIFIED="1300000004">News</H3>
        <DL><p>
            <DT><H3 ADD_DATE="1300000006" LAST_MODIFIED="1300000006">Old</H3>
            <DL><p>
                <DT><H3 ADD_DATE="1300000007" LAST_MODIFIED="1300000007">Empty</H3>
                <DL><p>
                </DL><p>
            </DL><p>
            <DT><A HREF="http://daily.example/" ADD_DATE="1300000005" LAST_MODIFIED="1300000005">Daily</A>
        </DL><p>
        <DT><A HREF="http://%CE%A8%CE%B1%E2%84%95.example/" ADD_DATE="1300000009" LAST_MODIFIED="1300000009">Ψαℕ 本</A>
        <DT><A HREF="http://a.example/" ADD_DATE="1300000002" LAST_MODIFIED="1300000002">Alpha</A>
        <DT><A HREF="http://z.example/?a=1&amp;b=&lt;2&gt;" ADD_DATE="1300000001" LAST_MODIFIED="1300000001">Zeta &amp; Co</A>
    </DL><p>
</DL><p>
""".replace("\n", "\r\n")


def main():
    work = os.path.abspath(sys.argv[1])
    program = sys.argv[2:]
    wine = program[0].endswith("wine-run.sh")
    shutil.rmtree(work, ignore_errors=True)
    root = os.path.join(work, ROOT)
    for rel, text in TREE:
        path = os.path.join(root, rel)
        if text is None:
            os.makedirs(path.encode("utf-8"), exist_ok=True)
        else:
            with open(path.encode("utf-8"), "wb") as f:
                f.write(text.encode("ascii"))
    # Files first: making a file changes its folder's dates.
    for i, (rel, _) in reversed(list(enumerate(TREE))):
        os.utime(os.path.join(root, rel).encode("utf-8"), (BASE_TIME + i, BASE_TIME + i))

    native = lambda p: "Z:" + p.replace("/", "\\") if wine else p
    output = os.path.join(work, "bookmarks.html")
    run = subprocess.run(program + ["--bookmarks", native(root), native(output)],
                         capture_output=True, timeout=120)
    # Status texts are code-page text on Windows, as the folder given.
    stdout = run.stdout.decode("cp1252" if wine else "utf-8", "replace")
    print(stdout, end="")
    want_out = ("Starting search for URLs\nDone.  Searched %s\n and found 4 Shortcut files.\n"
                % native(root))
    failures = []
    if run.returncode != 0 or stdout.replace("\r\n", "\n") != want_out:
        failures.append("exit %d, output %r, errors %r" % (run.returncode, stdout, run.stderr))
    with open(output, "rb") as f:
        got = f.read().decode("utf-8", "replace")
    if got != EXPECTED:
        failures.append("the file differs:\n" + got)
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
