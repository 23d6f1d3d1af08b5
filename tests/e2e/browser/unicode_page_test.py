#!/usr/bin/env python3
"""Writes a Favorites tree whose names are in many scripts, converts it with favpage-convert.exe
under Wine, and checks what headless Chromium parses from the page: every link text is the real
name, every address the right one, every sub-folder link has its anchor.

usage: unicode_page_test.py WINE_RUN FAVPAGE_CONVERT_EXE WORK_DIR
Set FAVPAGE_SCREENSHOT=file.png to keep a screenshot of the page as Chromium shows it."""
import html.parser
import os
import shutil
import subprocess
import sys
import urllib.parse

# name (UTF-8 on disk) -> (address in [InternetShortcut], address in [InternetShortcut.W] or None)
TREE = {
    "plain.url": ("http://plain.example/", None),
    "Råd & Rätt.url": ("http://rad.example/?a=1&b=2", None),
    "本社ポータルサイト.url": ("http://portal.example/", None),
    "🔥 Deals.url": ("http://deals.example/", None),
    "Ψαℕ.url": ("http://psi.example/", None),
    "Ā.url": ("http://a-macron.example/", None),
    "A.url": ("http://a.example/", None),
    "日本/x.url": ("http://x.example/", None),
    "日本/中国/y.url": ("http://y.example/", None),
    "Unicode address.url": ("http://?aN??.example/", "http://Ψαℕ℧▶.example/"),
}


class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.links, self.names, self._href, self._text = [], set(), None, ""

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "a" and "href" in a:
            self._href, self._text = a["href"], ""
        if tag == "a" and "name" in a:
            self.names.add(a["name"])

    def handle_data(self, data):
        if self._href is not None:
            self._text += data

    def handle_endtag(self, tag):
        if tag == "a" and self._href is not None:
            self.links.append((self._text, self._href))
            self._href = None


def main():
    wine_run, exe, work = sys.argv[1:4]
    shutil.rmtree(work, ignore_errors=True)
    fav = os.path.join(work, "Fav")
    for rel, (url, wide) in TREE.items():
        path = os.path.join(fav, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        text = "[InternetShortcut]\r\nURL=%s\r\n" % url
        if wide:
            text += "[InternetShortcut.W]\r\nURL=%s\r\n" % wide.encode("utf-7").decode("ascii")
        with open(path, "wb") as f:
            f.write(text.encode("ascii", "replace"))

    # Wine sees the Unix root as drive Z:.
    win = lambda p: "Z:" + os.path.abspath(p).replace("/", "\\")
    page = os.path.join(work, "page.htm")
    run = subprocess.run([wine_run, exe, "--yes", win(fav), win(page)], capture_output=True,
                         text=True, timeout=120)
    print(run.stdout, end="")
    assert run.returncode == 0, run.stderr
    assert "found %d Shortcut files." % len(TREE) in run.stdout, run.stdout

    chromium = ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                "--disable-background-networking", "--disable-component-update", "--disable-sync",
                "--user-data-dir=" + os.path.join(work, "chromium-profile")]
    url = "file://" + os.path.abspath(page)
    dom = subprocess.run(chromium + ["--dump-dom", url], capture_output=True, text=True,
                         timeout=120, check=True).stdout
    shot = os.environ.get("FAVPAGE_SCREENSHOT")
    if shot:
        subprocess.run(chromium + ["--screenshot=" + os.path.abspath(shot),
                                   "--window-size=900,1100", url], capture_output=True, timeout=120)

    parser = Links()
    parser.feed(dom)
    files = {text: href for text, href in parser.links if not href.startswith("#")}
    folders = {text: href for text, href in parser.links if href.startswith("#")}
    failures = []
    for rel, (url, wide) in TREE.items():
        name = os.path.splitext(os.path.basename(rel))[0]
        want = urllib.parse.quote(wide, safe=":/?&=") if wide else url
        if files.get(name) != want:
            failures.append("%s: link %r, want %r" % (name, files.get(name), want))
    if len(files) != len(TREE):
        failures.append("links: %r" % sorted(files))
    for want in (win(fav) + "\\日本", win(fav) + "\\日本\\中国"):
        href = folders.get(want)
        if href is None or href[1:] not in parser.names:
            failures.append("sub-folder %s: link %r, anchors %r" % (want, href, parser.names))
    for f in failures:
        print("FAIL:", f)
    print("checks: %d ok, %d failing" % (len(TREE) + 2 - len(failures), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
