#!/usr/bin/env python3
"""Writes a Favorites tree as Internet Explorer left it, turns it into a bookmarks file with
favpage-convert --bookmarks, has Firefox import that file into a fresh profile, and checks what
Firefox stored in places.sqlite: every folder and every link, with its parent, place, title,
address and dates, and nothing else. Prints the imported tree.

usage: firefox_import_test.py FAVPAGE_CONVERT FIREFOX WORK_DIR"""
import os
import shutil
import signal
import sqlite3
import subprocess
import sys
import time

# The tree, in the order the file must hold it: in each folder its sub-folders, then its links,
# each in favpage's name order (of the file names, letters without regard to case; bytes past
# ASCII first). A folder is (name, [children]); a link is (name, address, [InternetShortcut.W] address
# or None). The dates are made up from each entry's place in this list.
TREE = ("Favorites", [
    ("日本語のサイト", [
        ("東京の天気", "http://weather.example.jp/tokyo", None),
    ]),
    ("Links", [
        ("Customize Links", "http://go.microsoft.com/fwlink/?LinkId=68640&clcid=0x0409", None),
        ("Free Hotmail", "http://go.microsoft.com/fwlink/?LinkId=54729", None),
        ("Windows Marketplace", "http://go.microsoft.com/fwlink/?LinkId=30857", None),
        ("Windows Media", "http://www.windowsmedia.com/", None),
        ("Windows", "http://www.microsoft.com/windows/", None),  # "Windows.url": '.' after ' '
    ]),
    ("Microsoft Websites", [
        ("IE Add-on site", "http://www.ieaddons.com/", None),
        ("IE site on Microsoft.com", "http://www.microsoft.com/ie/", None),
        ("Microsoft At Home", "http://www.microsoft.com/athome/", None),
    ]),
    ("Reisen & Urlaub", [
        ("Übersicht Ferienhäuser", "http://ferien.example.de/?land=it&typ=haus", None),
        ("Bahn", "http://www.bahn.example/", None),
    ]),
    ("Work", [
        ("Projects", [
            ("Archive 2009", []),
            ("Roadmap <draft>", "http://intranet.example/roadmap", None),
        ]),
    ]),
    ("Ψαℕ Unicode address", "http://?aN.example/", "http://example.com/Ψαℕ"),
    ("Firefox Add-ons", "https://addons.mozilla.org/", None),
    ("MSN", "http://www.msn.com/", None),
    ("Radio Station Guide", "http://www.windowsmedia.com/radioui/home.aspx", None),
    ("Tips & Tricks", "http://tips.example/?a=1&b=2", None),
])
# Files that are no shortcuts: left out of the bookmarks.
OTHER_FILES = ["desktop.ini", "Links/desktop.ini", "Work/readme.txt"]
BASE_TIME = 1200000000


def is_folder(item):
    return isinstance(item[1], list)


def shortcut_text(url, wide):
    # The form browsers since the late 1990s write, with a section before [InternetShortcut].
    text = "[DEFAULT]\r\nBASEURL=%s\r\n[InternetShortcut]\r\nURL=%s\r\nIDList=\r\n" % (url, url)
    if wide:
        text += "[InternetShortcut.W]\r\nURL=%s\r\n" % wide.encode("utf-7").decode("ascii")
    return text.encode("ascii", "replace")


def expected_address(url, wide):
    # A Unicode address is written percent-encoded, as Firefox keeps it.
    if not wide:
        return url
    return "".join(c if ord(c) < 128 else "".join("%%%02X" % b for b in c.encode()) for c in wide)


def make_tree(folder, item, entries):
    """Creates the tree; returns, in TREE's order, (path, expected node) of every entry."""
    path = os.path.join(folder, item[0])
    if is_folder(item):
        os.makedirs(path)
        node = {"kind": "folder", "title": item[0], "children": []}
        entries.append((path, node))
        for child in item[1]:
            node["children"].append(make_tree(path, child, entries))
        return node
    name, url, wide = item
    with open(path + ".url", "wb") as f:
        f.write(shortcut_text(url, wide))
    node = {"kind": "link", "title": name, "url": expected_address(url, wide)}
    entries.append((path + ".url", node))
    return node


def wait_for(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return
        time.sleep(0.2)
    raise SystemExit("FAIL: timed out waiting for " + what)


def open_copy(profile, copy):
    """Copies places.sqlite with its write-ahead log to `copy` and opens the copy. Firefox holds
    its database locked while it runs, so it is read from a copy; once Firefox has ended, the
    copy holds all it wrote."""
    shutil.rmtree(copy, ignore_errors=True)
    os.makedirs(copy)
    for name in ("places.sqlite", "places.sqlite-wal"):
        if os.path.exists(os.path.join(profile, name)):
            shutil.copy(os.path.join(profile, name), copy)
    return sqlite3.connect(os.path.join(copy, "places.sqlite"))


def links_stored(profile, copy, count):
    """True once places.sqlite, as the running Firefox has written it so far, holds `count`
    links."""
    if not os.path.exists(os.path.join(profile, "places.sqlite")):
        return False
    try:
        db = open_copy(profile, copy)
        try:
            return db.execute("SELECT count(*) FROM moz_bookmarks WHERE type = 1").fetchone()[0] >= count
        finally:
            db.close()
    except (sqlite3.Error, OSError):
        return False  # not made yet, or caught in the middle of a write


def read_tree(db, folder_id):
    """The stored tree below a folder, children in their stored order."""
    rows = db.execute(
        "SELECT b.id, b.type, b.position, b.title, p.url, b.dateAdded, b.lastModified "
        "FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk "
        "WHERE b.parent = ? ORDER BY b.position", (folder_id,)).fetchall()
    children = []
    for i, (id_, kind, position, title, url, added, modified) in enumerate(rows):
        node = {"title": title, "dates": (added, modified), "position": position}
        if kind == 2:
            node.update(kind="folder", children=read_tree(db, id_))
        else:
            node.update(kind="link" if kind == 1 else "type %d" % kind, url=url)
        children.append(node)
    return children


def show(node, depth=0):
    line = "  " * depth + ("[%s]" % node["title"] if node["kind"] == "folder" else
                           "%s -> %s" % (node["title"], node.get("url")))
    print(line)
    for child in node.get("children", []):
        show(child, depth + 1)


def compare(want, got, where, failures):
    here = where + "/" + want["title"]
    if got["kind"] != want["kind"] or got["title"] != want["title"]:
        failures.append("%s: found %s %r" % (here, got["kind"], got["title"]))
        return
    # Firefox dates a folder's last change by the last item it put into it: only the date it
    # was made is the file's.
    dates = got["dates"] if want["kind"] == "link" else got["dates"][:1]
    if dates != want["dates"][:len(dates)]:
        failures.append("%s: dates %r, want %r" % (here, got["dates"], want["dates"]))
    if want["kind"] == "link":
        if got["url"] != want["url"]:
            failures.append("%s: address %r, want %r" % (here, got["url"], want["url"]))
        return
    if [c["title"] for c in got["children"]] != [c["title"] for c in want["children"]]:
        failures.append("%s: holds %r, want %r" % (
            here, [c["title"] for c in got["children"]], [c["title"] for c in want["children"]]))
        return
    for w, g in zip(want["children"], got["children"]):
        compare(w, g, here, failures)


def main():
    convert, firefox, work = sys.argv[1:4]
    work = os.path.abspath(work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    entries = []
    want = make_tree(work, TREE, entries)
    root = os.path.join(work, TREE[0])
    for rel in OTHER_FILES:
        with open(os.path.join(root, rel), "w") as f:
            f.write("[.ShellClassInfo]\r\nLocalizedResourceName=@shell32.dll,-12693\r\n")
    # Fixed dates, files first: making a file changes its folder's time.
    for i, (path, node) in reversed(list(enumerate(entries))):
        os.utime(path, (BASE_TIME + i, BASE_TIME + i))
        node["dates"] = ((BASE_TIME + i) * 1000000,) * 2

    bookmarks = os.path.join(work, "bookmarks.html")
    run = subprocess.run([convert, "--bookmarks", root, bookmarks], capture_output=True,
                         text=True, timeout=60)
    print(run.stdout, end="")
    links = sum(1 for _, node in entries if node["kind"] == "link")
    assert run.returncode == 0, run.stderr
    assert "found %d Shortcut files." % links in run.stdout, run.stdout

    profile = os.path.join(work, "profile")
    home = os.path.join(work, "home")
    os.makedirs(profile)
    os.makedirs(home)
    prefs = {
        "browser.places.importBookmarksHTML": True,
        "browser.bookmarks.file": bookmarks,
        "browser.shell.checkDefaultBrowser": False,
        "datareporting.policy.dataSubmissionEnabled": False,
        "toolkit.telemetry.reportingpolicy.firstRun": False,
        "app.update.enabled": False,
        "app.update.auto": False,
        "extensions.update.enabled": False,
        "browser.startup.homepage_override.mstone": "ignore",
        "browser.aboutwelcome.enabled": False,
        "network.captive-portal-service.enabled": False,
        "network.connectivity-service.enabled": False,
        "browser.safebrowsing.update.enabled": False,
    }
    with open(os.path.join(profile, "user.js"), "w") as f:
        for key, value in prefs.items():
            v = ("true" if value else "false") if isinstance(value, bool) else '"%s"' % value
            f.write('user_pref("%s", %s);\n' % (key, v))
    env = dict(os.environ, HOME=home, MOZ_HEADLESS="1", MOZ_CRASHREPORTER_DISABLE="1",
               XDG_CACHE_HOME=os.path.join(home, "cache"))
    log = open(os.path.join(work, "firefox.log"), "w")
    firefox_run = subprocess.Popen([firefox, "--headless", "--profile", profile, "--no-remote",
                                    "about:blank"], env=env, stdout=log, stderr=log,
                                   start_new_session=True)
    copy = os.path.join(work, "places-copy")
    try:
        wait_for(lambda: links_stored(profile, copy, links) or firefox_run.poll() is not None,
                 240, "Firefox to import the bookmarks")
    finally:
        # Firefox and the processes it started are one process group.
        try:
            os.killpg(firefox_run.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        firefox_run.wait()
        log.close()

    db = open_copy(profile, copy)
    menu = db.execute("SELECT id FROM moz_bookmarks WHERE guid = 'menu________'").fetchone()[0]
    top = read_tree(db, menu)
    failures = []
    if len(top) != 1:
        failures.append("bookmarks menu holds %r, want the one folder %r" %
                        ([n["title"] for n in top], TREE[0]))
    if top:
        print("Firefox's bookmarks menu:")
        show(top[0], 1)
        compare(want, top[0], "", failures)
    for f in failures:
        print("FAIL:", f)
    print("checks: %d folders and links, %d failing" % (len(entries), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
