#!/usr/bin/env python3
"""Writes the seed inputs of every fuzz target into fuzz/corpus/<target>/.

The shortcut seeds hold every form of shortcut file the reader knows; the other targets get
inputs that reach each of their branches. Run it again after changing it: it writes only its own
names, so the other files there are kept: found-* (inputs that once failed, kept as regression
cases) and fuzzed-* (a minimized merge of what fuzzing reached: fuzz_TARGET -merge=1 NEW
fuzz/corpus/TARGET build/fuzz/corpus/TARGET, shortcut inputs of 4 KiB at most).
"""
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))

SHORTCUTS = {
    "classic": b"[InternetShortcut]\r\nURL=http://www.example.com/\r\n",
    "lf-only": b"[InternetShortcut]\nURL=http://lf.example/\n",
    "no-line-end": b"[InternetShortcut]\r\nURL=http://end.example/",
    "header-only": b"[InternetShortcut]",
    "no-url-key": b"[InternetShortcut]\r\nIconIndex=0\r\nIconFile=x.ico\r\n",
    "empty-url": b"[InternetShortcut]\r\nURL=\r\n",
    "url-not-second": b"[InternetShortcut]\r\nModified=20F06BA06D07BD014D\r\nURL=http://b/\r\n",
    "default-first": b"[DEFAULT]\r\nBASEURL=http://base/\r\n[InternetShortcut]\r\nURL=http://c/\r\nIDList=\r\n",
    "property-first": b"[{000214A0-0000-0000-C000-000000000046}]\r\nProp3=19,2\r\n"
                      b"[InternetShortcut]\r\nIDList=\r\nURL=http://d/\r\n",
    "bom": b"\xef\xbb\xbf[InternetShortcut]\r\nURL=http://bom/\r\n",
    "bom-not-first": b"\r\n\xef\xbb\xbf[InternetShortcut]\r\nURL=http://bom2/\r\n",
    "other-case": b"[internetSHORTCUT]\r\nurl=http://case/\r\n",
    "blanks": b"  [ InternetShortcut ]  \r\n\tURL  =  http://g/ x  \r\n",
    "quoted": b"[InternetShortcut]\r\nURL=\"http://quoted/\"\r\n",
    "double-quoted": b"[InternetShortcut]\r\nURL=\"\"h\"\"\r\n",
    "lone-quote": b"[InternetShortcut]\r\nURL=\"h\r\n",
    "first-url-wins": b"[InternetShortcut]\r\nURL=one\r\nURL=two\r\n",
    "other-section-url": b"[Other]\r\nURL=x\r\n",
    "section-ends-first": b"[InternetShortcut]\r\nIconFile=i\r\n[Other]\r\nURL=y\r\n",
    "second-section": b"[InternetShortcut]\r\n[InternetShortcut]\r\nURL=z\r\n",
    "key-without-equals": b"[InternetShortcut]\r\nURL\r\nURL=z\r\n",
    "equals-in-value": b"[InternetShortcut]\r\nURL=http://q/?a=1&b=2\r\n",
    "urls-key": b"[InternetShortcut]\r\nURLs=n\r\nURL=y\r\n",
    "ctrl-z-in-value": b"[InternetShortcut]\r\nURL=ab\x1acd\r\n",
    "ctrl-z-first": b"\x1a[InternetShortcut]\r\nURL=ab\r\n",
    "cr-in-value": b"[InternetShortcut]\r\nURL=pa\rge\r\n",
    "cr-in-header": b"[Internet\rShortcut]\r\r\nURL=cr\r\n",
    "cr-only-lines": b"[InternetShortcut]\rURL=cr-only\r",
    "crcrlf": b"[InternetShortcut]\r\r\nURL=x\r\r\n",
    "unclosed-header": b"[InternetShortcut\r\nURL=open\r\n",
    "markup": b"[InternetShortcut]\r\nURL=http://s/?a=1&b=<2>\"'<script>\r\n",
    "percent": b"[InternetShortcut]\r\nURL=%s%n%i%%\r\n",
    "nul-in-value": b"[InternetShortcut]\r\nURL=http://a/\x00evil\r\n",
    "nul-before": b"\x00\x00[InternetShortcut]\r\nURL=after-nul\r\n",
    "high-bytes": b"[InternetShortcut]\r\nURL=http://\xe9\xff\x80/\r\n",
    "tabs": b"\t[InternetShortcut]\t\r\n\tURL\t=\thttp://t/\t\r\n",
    "not-a-shortcut": b"just some text\r\nURL=x\r\n",
    "ten-bytes": b"[Internet]",
    "empty": b"",
    "ie5-full": b"[DEFAULT]\r\nBASEURL=http://www.example.org/\r\n[InternetShortcut]\r\n"
                b"URL=http://www.example.org/\r\nModified=C0F4E3A2B1CDC001F5\r\n"
                b"IconFile=http://www.example.org/favicon.ico\r\nIconIndex=1\r\n"
                b"[{000214A0-0000-0000-C000-000000000046}]\r\nProp3=19,2\r\n",
    "near-limit": b"x" * (64 * 1024 - 100) + b"\n[InternetShortcut]\nURL=in\n",
    "past-limit": b"y" * (64 * 1024 + 10) + b"\n[InternetShortcut]\nURL=late\n",
    "wide-after": b"[InternetShortcut]\r\nURL=http://?aN??/\r\n[InternetShortcut.W]\r\n"
                  b"URL=http://+A6gDsSEVIScltg-/\r\n",
    "wide-before-pair": b"[InternetShortcut.W]\r\nURL=+2D3dJQ-x+-\r\n[InternetShortcut]\r\nURL=?x+\r\n",
    "wide-malformed": b"[InternetShortcut]\r\nURL=keep\r\n[internetshortcut.w]\r\nURL=+AGEA-\r\n",
    "wide-lone-surrogate": b"[InternetShortcut]\r\nURL=keep\r\n[InternetShortcut.W]\r\nURL=+2D0-\r\n",
    "wide-no-url": b"[InternetShortcut]\r\nURL=keep\r\n[InternetShortcut.W]\r\nIconFile=i\r\n",
    "cr-padding-at-limit": b"\r" * 2000 + b"z" * (64 * 1024 - 40) + b"\n[InternetShortcut]\nURL=edge\n",
}

# More shortcut seeds, for the shortcut reader only: the text reader's seeds (and the control
# bytes they get from their order) stay as they were.
MORE_SHORTCUTS = {
    "other-sections-nul": b"[Other]\r\nURL=before\r\n[InternetShortcut]\r\nIcon\x00File=i\r\n"
                          b"[Later]\r\nURL=after\r\n",
    "wide-control": b"[InternetShortcut]\r\nURL=http://c/?x\r\n[InternetShortcut.W]\r\n"
                    b"URL=http://c/+AAkAAQ-x\x7f\r\n",
    # UTF-16 with a byte-order mark, as PowerShell's Out-File writes shortcuts.
    "utf16le": b"\xff\xfe" + "[InternetShortcut]\r\nURL=http://utf16.example/\r\n".encode("utf-16-le"),
    "utf16be": b"\xfe\xff" + "[InternetShortcut]\r\nURL=http://utf16be.example/\r\n".encode("utf-16-be"),
    "utf16le-unicode": b"\xff\xfe" + "[DEFAULT]\r\nBASEURL=x\r\n[InternetShortcut]\r\n"
                       "URL=http://\u03a8\u03b1/\U0001F525?q=\u672c\r\n".encode("utf-16-le"),
    "utf16be-wide": b"\xfe\xff" + "[InternetShortcut]\r\nURL=http://?/\r\n[InternetShortcut.W]\r\n"
                    "URL=http://+A6g-/\r\n".encode("utf-16-be"),
    # Characters holding the bytes of CR and Ctrl-Z; CR and Ctrl-Z characters.
    "utf16le-cr-ctrl-z": b"\xff\xfe" + "[InternetShortcut]\r\nURL=\u0d0a\u1a1a\u011a\r\rx\x1ay\r\n"
                         .encode("utf-16-le"),
    "utf16be-surrogates": b"\xfe\xff" + "[InternetShortcut]\r\nURL=a".encode("utf-16-be")
                          + b"\xd8\x00b\x00\xdc\x00\xd8\x3d\xdd\x25" + "\r\n".encode("utf-16-be"),
    "utf16le-odd-length": b"\xff\xfe" + "[InternetShortcut]\nURL=odd".encode("utf-16-le") + b"!",
    "utf16le-past-limit": b"\xff\xfe" + ("x" * 32750 + "\n[InternetShortcut]\nURL=in\n").encode("utf-16-le"),
    "utf16-mark-after-cr": b"\xff\r\xfe\r\n[InternetShortcut]\r\nURL=x\r\n",
}


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    for name, data in list(SHORTCUTS.items()) + list(MORE_SHORTCUTS.items()):
        write("shortcut", name, data)

    # Text mode: the first byte picks the open and the read pieces.
    texts = {k: v for k, v in SHORTCUTS.items() if len(v) < 4096}
    texts.update({"crlf-runs": b"a\r\r\r\nb\r", "only-cr": b"\r" * 40, "ctrl-z-after-cr": b"ab\r\x1a\r\n"})
    for i, (name, data) in enumerate(sorted(texts.items())):
        control = [0x00, 0x05, 0x20, 0x40, 0x61, 0x80, 0xC3, 0xE0][i % 8]
        write("text_file", name, bytes([control]) + data)

    # Names split at 0 bytes; a name starting with 0x01 traverses the list first.
    lists = {
        "case-and-ties": [b"b", b"A", b"a", b"B", b"a", b"A", b"aa", b"Aa"],
        "high-bytes": [b"\xe9t\xe9", b"ete", b"\x80", b"\xff", b"~", b"_", b"a_b", b"aab"],
        "prefixes": [b"abc", b"ab", b"a", b"", b"abcd", b"ABC"],
        "digits": [b"10", b"9", b"1", b"010", b"a1", b"a10"],
        "traverse-between": [b"m", b"c", b"\x01x", b"a", b"\x01y", b"C", b"z"],
        "markup": [b"<b>", b"&amp;", b"\"q\"", b"%s", b"[a]", b"{b}", b"|", b"`"],
    }
    for name, names in lists.items():
        write("sorted_name_list", name, b"\x00".join(names))

    # Folder walk: op bytes (see folder_walk_fuzz.cpp); a few fixed shapes and random ones.
    rng = random.Random(1)
    walks = {
        "one-shortcut": bytes([3, 4, 1, 2, 5, 0]),
        "nested": bytes([0, 3, 1, 2, 3, 0, 3, 5, 6, 3, 1, 7, 2, 1, 4, 2, 2, 0, 1, 6, 1, 1, 0, 2, 7, 1, 9, 3]),
        "loop": bytes([0, 2, 4, 4, 0, 2, 5, 5, 6, 3, 1, 2, 6, 4, 7, 7, 2]),
        "colliding-anchors": bytes([0, 2, 10, 20, 2, 0, 2, 10, 21, 2, 0, 2, 10, 22, 2, 0, 2, 10, 23]),
        "markup-names": bytes([0, 3, 5, 6, 7, 2, 7, 3, 6, 9, 5, 1, 65, 0]),
    }
    for i in range(12):
        walks["random-%02d" % i] = bytes(rng.randrange(256) for _ in range(rng.randrange(20, 200)))
    for name, data in walks.items():
        write("folder_walk", name, data)


if __name__ == "__main__":
    main()
