#!/usr/bin/env python3
"""Writes the parts that several bundled styles share into their templates.

Usage: embed-page-parts.py [--check] [DATA_DIR]   (default: the data folder
next to this script)

A listing must work without any file outside the page (from file://, over
HTTP, after being moved), so every template carries what it needs itself.
Where styles share a part, its one source lives in DATA_DIR and this script
copies it into every template that marks its place with the part's two marker
comments:

- the entry icons, from DATA_DIR/images/*.svg, as CSS rules: an element of
  class "ic" shows, through its ::before box, the icon whose file name is one
  of its other classes (class="ic pdf.svg" shows pdf.svg) and file.svg when
  none matches. The template's own rules give that box its size and place,
  with background longhands only, since the shorthand would reset the image;
- the page's own icon, DATA_DIR/images/folder.svg, which also keeps the
  browser from asking a web server for /favicon.ico;
- the table tools (search and sorting), from DATA_DIR/sources/table-tools.js;
- the breadcrumbs, from DATA_DIR/sources/breadcrumbs.js.

With --check it changes nothing and exits 1 when a template's part differs
from its source, naming both (a CTest runs it so); otherwise it rewrites the
parts that differ.
"""
import os
import re
import sys

ICONS_BEGIN = "/* Entry icons, written by scripts/embed-page-parts.py from the images folder. */"
ICONS_END = "/* End of entry icons. */"
TOOLS_BEGIN = ("/* Table tools, written by scripts/embed-page-parts.py from "
               "data/sources/table-tools.js. */")
TOOLS_END = "/* End of table tools. */"
CRUMBS_BEGIN = ("/* Breadcrumbs, written by scripts/embed-page-parts.py from "
                "data/sources/breadcrumbs.js. */")
CRUMBS_END = "/* End of breadcrumbs. */"
PAGE_ICON_BEGIN = ("<!-- Page icon, written by scripts/embed-page-parts.py from "
                   "images/folder.svg. -->")
PAGE_ICON_END = "<!-- End of page icon. -->"
PAGE_ICON = "folder.svg"
FALLBACK_ICON = "file.svg"
# Characters a data: URL may not hold as they are inside url("..."): the
# quote, and what would end or escape the URL or start its fragment.
URL_ESCAPES = {"%": "%25", "#": "%23", "<": "%3C", ">": "%3E", '"': "'", "\n": " "}


def data_url(svg_text):
    """The SVG as a data: URL that may stand in double quotes, in CSS and in
    HTML; ValueError when the file cannot be written so (its double quotes
    become single ones, and "&" would start a reference in HTML)."""
    if "'" in svg_text or "&" in svg_text:
        raise ValueError("holds a single quote or an ampersand")
    if any(ord(c) > 126 or (ord(c) < 32 and c != "\n") for c in svg_text):
        raise ValueError("holds a character beyond printable ASCII")
    text = re.sub(r">\s+<", "><", svg_text.strip())
    return "data:image/svg+xml," + "".join(URL_ESCAPES.get(c, c) for c in text)


def read_svg(images_dir, name):
    with open(os.path.join(images_dir, name), encoding="ascii", errors="replace") as svg:
        try:
            return data_url(svg.read())
        except ValueError as error:
            raise ValueError("images/%s %s" % (name, error)) from error


def class_selector(file_name):
    """The CSS selector of a class that is the icon's file name."""
    return "." + re.sub(r"([^A-Za-z0-9_-])", r"\\\1", file_name)


def icons_part(data_dir):
    images_dir = os.path.join(data_dir, "images")
    names = sorted(n for n in os.listdir(images_dir)
                   if n.endswith(".svg") and os.path.isfile(os.path.join(images_dir, n)))
    if FALLBACK_ICON not in names:
        raise ValueError("%s is missing from %s" % (FALLBACK_ICON, images_dir))
    lines = [ICONS_BEGIN]
    for name in [FALLBACK_ICON] + [n for n in names if n != FALLBACK_ICON]:
        selector = (".ic::before" if name == FALLBACK_ICON
                    else ".ic%s::before" % class_selector(name))
        lines.append('%s { background-image: url("%s"); }' % (selector, read_svg(images_dir, name)))
    lines.append(ICONS_END)
    return "\n".join(lines)


def page_icon_part(data_dir):
    url = read_svg(os.path.join(data_dir, "images"), PAGE_ICON)
    return '%s\n<link rel="icon" href="%s">\n%s' % (PAGE_ICON_BEGIN, url, PAGE_ICON_END)


def script_part(data_dir, name, begin, end):
    with open(os.path.join(data_dir, "sources", name), encoding="utf-8") as source:
        text = source.read().rstrip("\n")
    if "</script" in text.lower():
        raise ValueError("sources/%s holds </script" % name)
    return "%s\n%s\n%s" % (begin, text, end)


def tools_part(data_dir):
    return script_part(data_dir, "table-tools.js", TOOLS_BEGIN, TOOLS_END)


def crumbs_part(data_dir):
    return script_part(data_dir, "breadcrumbs.js", CRUMBS_BEGIN, CRUMBS_END)


# (begin marker, end marker, maker of the whole part, its source for messages)
PARTS = [(ICONS_BEGIN, ICONS_END, icons_part, "images/*.svg"),
         (PAGE_ICON_BEGIN, PAGE_ICON_END, page_icon_part, "images/" + PAGE_ICON),
         (TOOLS_BEGIN, TOOLS_END, tools_part, "sources/table-tools.js"),
         (CRUMBS_BEGIN, CRUMBS_END, crumbs_part, "sources/breadcrumbs.js")]


def replace_part(text, begin, end, part):
    """`text` with the part between `begin` and `end` replaced, or None when
    it does not mark that part."""
    start = text.find(begin)
    stop = text.find(end, start)
    if start < 0 or stop < 0:
        return None
    return text[:start] + part + text[stop + len(end):]


def main(argv):
    check = "--check" in argv
    rest = [a for a in argv if a != "--check"]
    if len(rest) > 1 or any(a.startswith("-") for a in rest):
        sys.exit(__doc__)
    data_dir = rest[0] if rest else os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                  "..", "data")
    try:
        parts = [(begin, end, make(data_dir), source) for begin, end, make, source in PARTS]
    except (OSError, ValueError) as error:
        print("embed-page-parts: %s" % error)
        return 1
    templates_dir = os.path.join(data_dir, "templates")
    stale = 0
    used = set()
    for name in sorted(os.listdir(templates_dir)):
        if not name.endswith(".html"):
            continue
        path = os.path.join(templates_dir, name)
        with open(path, encoding="utf-8", newline="") as template:
            text = original = template.read()
        for begin, end, part, source in parts:
            updated = replace_part(text, begin, end, part)
            if updated is None:
                continue
            used.add(source)
            if updated != text and check:
                print("embed-page-parts: templates/%s differs from %s; run "
                      "scripts/embed-page-parts.py" % (name, source))
            text = updated
        if text == original:
            continue
        stale += 1
        if not check:
            with open(path, "w", encoding="utf-8", newline="") as template:
                template.write(text)
            print("embed-page-parts: wrote templates/%s" % name)
    unused = [source for _, _, _, source in parts if source not in used]
    if unused:
        print("embed-page-parts: no template marks the place of %s" % ", ".join(unused))
        return 1
    return 1 if check and stale else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
