#!/usr/bin/env python3
"""Writes a Favorites tree whose names are in many scripts, converts it, serves the page the way
most web servers do (Python's http.server: text/html with no charset) and checks what headless
Chromium parses from it: every link text is the real name, every address the right one, every
sub-folder link has its anchor. The page must say its encoding in a META line right after
<head>, before any byte above 127, and its bytes must be in that encoding.

favpage-convert.exe under Wine converts the tree three times, as systems whose code page is
1252 (Western), 932 (Japanese: Shift_JIS) and 65001 (UTF-8); the native favpage-convert once,
where one name and one address are not UTF-8 but code page 1252 text.

usage: unicode_page_test.py WORK_DIR PROGRAM...   (PROGRAM: favpage-convert, or the Wine
launcher and favpage-convert.exe, whose paths then take the form Z:\\...)
Set FAVPAGE_SCREENSHOT=file.png to keep a screenshot of the (first) page as Chromium shows it."""
import functools
import html.parser
import http.server
import os
import shutil
import subprocess
import sys
import threading
import urllib.request


def classic(url, wide=None):
    text = "[InternetShortcut]\r\nURL=%s\r\n" % url
    if wide:
        text += "[InternetShortcut.W]\r\nURL=%s\r\n" % wide.encode("utf-7").decode("ascii")
    return text.encode("ascii", "replace")


def utf16(url, codec):
    return ("\ufeff[InternetShortcut]\r\nURL=%s\r\n" % url).encode(codec)


# path below the root (UTF-8 on disk; bytes where it must be exactly those) -> (file contents,
# link text, address as the page holds it, or None where only a 1252 system reads it so)
TREE = {
    "plain.url": (classic("http://plain.example/"), "plain", "http://plain.example/"),
    "Råd & Rätt.url": (classic("http://rad.example/?a=1&b=2"), "Råd & Rätt",
                       "http://rad.example/?a=1&b=2"),
    "本社ポータルサイト.url": (classic("http://portal.example/"), "本社ポータルサイト",
                               "http://portal.example/"),
    "🔥 Deals.url": (classic("http://deals.example/"), "🔥 Deals", "http://deals.example/"),
    "Ψαℕ.url": (classic("http://psi.example/"), "Ψαℕ", "http://psi.example/"),
    "Ā.url": (classic("http://a-macron.example/"), "Ā", "http://a-macron.example/"),
    "A.url": (classic("http://a.example/"), "A", "http://a.example/"),
    "日本/x.url": (classic("http://x.example/"), "x", "http://x.example/"),
    "日本/中国/y.url": (classic("http://y.example/"), "y", "http://y.example/"),
    "Unicode address.url": (classic("http://?aN??.example/", "http://Ψαℕ℧▶.example/"),
                            "Unicode address", "http://%CE%A8%CE%B1%E2%84%95%E2%84%A7%E2%96%B6.example/"),
    # Control characters in a decoded address are percent-encoded.
    "control.url": (classic("http://c/?x", "http://c/\t\x01x"), "control", "http://c/%09%01x"),
    # UTF-16 files with byte-order marks, as PowerShell's Out-File writes them.
    "UTF-16 LE.url": (utf16("http://utf16.example/Ψ", "utf-16-le"), "UTF-16 LE",
                      "http://utf16.example/%CE%A8"),
    "UTF-16 BE.url": (utf16("http://utf16be.example/", "utf-16-be"), "UTF-16 BE",
                      "http://utf16be.example/"),
    # Code page 1252 text: its name on POSIX (on Windows every name is Unicode) and its address.
    b"Caf\xe9 \x80.url": (b"[InternetShortcut]\r\nURL=http://cafe.example/caf\xe9\r\n",
                          "Café €", None),
}
CAFE_ADDRESS = "http://cafe.example/café"

# Wine takes the Windows code page from the locale's name; a copy of C.UTF-8 under each name
# lets it read the UTF-8 names on disk as well.
WINE_SYSTEMS = [(None, "windows-1252"), ("ja_JP.UTF-8", "shift_jis"), ("hi_IN.UTF-8", "utf-8")]
CODECS = {"windows-1252": "cp1252", "shift_jis": "cp932", "utf-8": "utf-8"}


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


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def check_page(page_bytes, label, dom, root_in_page, separator, cafe_address, failures):
    """Appends what is wrong with one page and Chromium's DOM of it to `failures`."""
    head = (b'<html>\r\n<head>\r\n<META HTTP-EQUIV="Content-Type" '
            b'CONTENT="text/html; charset=' + label.encode() + b'">\r\n<TITLE>')
    if not page_bytes.startswith(head):
        failures.append("%s: the page does not begin with its declaration: %r"
                        % (label, page_bytes[:120]))
    try:
        page_bytes.decode(CODECS[label])
    except UnicodeDecodeError as e:
        failures.append("%s: the bytes are not %s: %s" % (label, label, e))

    parser = Links()
    parser.feed(dom)
    files = {text: href for text, href in parser.links if not href.startswith("#")}
    folders = {text: href for text, href in parser.links if href.startswith("#")}
    for rel, (_, name, href) in TREE.items():
        want = cafe_address if href is None else href
        got = files.get(name)
        if name not in files or (want is not None and got != want):
            failures.append("%s: %s: link %r, want %r" % (label, name, got, want))
    if len(files) != len(TREE):
        failures.append("%s: links: %r" % (label, sorted(files)))
    for rel in ("日本", "日本/中国"):
        want = root_in_page + separator + rel.replace("/", separator)
        href = folders.get(want)
        if href is None or href[1:] not in parser.names:
            failures.append("%s: sub-folder %s: link %r, anchors %r"
                            % (label, want, href, parser.names))


def main():
    work = os.path.abspath(sys.argv[1])
    program = sys.argv[2:]
    wine = program[0].endswith("wine-run.sh")
    shutil.rmtree(work, ignore_errors=True)
    fav = os.path.join(work, "Fav")
    for rel, (contents, _, _) in TREE.items():
        if isinstance(rel, bytes) and wine:
            rel = rel.decode("cp1252")  # Wine reads names on disk as UTF-8 only
        path = os.path.join(fav.encode(), rel if isinstance(rel, bytes) else rel.encode())
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(contents)

    # Wine sees the Unix root as drive Z:.
    native = (lambda p: "Z:" + p.replace("/", "\\")) if wine else (lambda p: p)
    separator = "\\" if wine else "/"
    runs = []  # (page file name, declared label, environment, address of the 1252 file)
    if wine:
        locales = os.path.join(work, "locales")
        for loc, label in WINE_SYSTEMS:
            env = dict(os.environ, LC_ALL="C.UTF-8")
            if loc:
                shutil.copytree("/usr/lib/locale/C.utf8", os.path.join(locales, loc))
                env.update(LOCPATH=locales, LC_ALL=loc)
            # Other systems read the 1252 bytes as their own text.
            runs.append(("page-%s.htm" % label, label, env, CAFE_ADDRESS if not loc else None))
    else:
        runs.append(("page.htm", "utf-8", dict(os.environ), CAFE_ADDRESS))

    failures = []
    for page_name, label, env, cafe in runs:
        page = os.path.join(work, page_name)
        run = subprocess.run(program + ["--yes", native(fav), native(page)], capture_output=True,
                             env=env, timeout=120)
        out = run.stdout.decode("utf-8", "replace")
        print(out, end="")
        if run.returncode != 0 or "found %d Shortcut files." % len(TREE) not in out:
            failures.append("%s: exit %d, %r %r" % (label, run.returncode, out, run.stderr))
    if any(not os.path.exists(os.path.join(work, page_name)) for page_name, *_ in runs):
        for f in failures:
            print("FAIL:", f)
        return 1

    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(QuietHandler, directory=work))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = "http://127.0.0.1:%d/" % server.server_address[1]
    chromium = ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                "--disable-background-networking", "--disable-component-update", "--disable-sync",
                "--user-data-dir=" + os.path.join(work, "chromium-profile")]
    try:
        for i, (page_name, label, _, cafe) in enumerate(runs):
            url = base + page_name
            with urllib.request.urlopen(url) as response:
                content_type = response.headers["Content-Type"]
            if content_type != "text/html":
                failures.append("%s: the server sent %r, not a bare text/html"
                                % (label, content_type))
            dom = subprocess.run(chromium + ["--dump-dom", url], capture_output=True, text=True,
                                 timeout=120, check=True).stdout
            shot = os.environ.get("FAVPAGE_SCREENSHOT")
            if shot and i == 0:
                subprocess.run(chromium + ["--screenshot=" + os.path.abspath(shot),
                                           "--window-size=900,1100", url],
                               capture_output=True, timeout=120)
            with open(os.path.join(work, page_name), "rb") as f:
                page_bytes = f.read()
            check_page(page_bytes, label, dom, native(fav), separator, cafe, failures)
    finally:
        server.shutdown()

    for f in failures:
        print("FAIL:", f)
    print("pages: %d, failing checks: %d" % (len(runs), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
