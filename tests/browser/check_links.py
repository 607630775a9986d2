#!/usr/bin/env python3
"""Checks in headless Chromium that every bundled style links every entry of a
tree of hostile names, under each url_escape setting.

Usage: check_links.py PROGRAM_DIR   (the folder of dirscribe, templates.txt
and templates/)

For every style of templates.txt and url_escape 0, 1 and 2 it lists a fresh
tree with the style's preset, loads every page the run wrote in Chromium and
asks the page for each <a href> and <img src>, as written and as the browser
resolves it. Each resolved link must be a file: URL (a "#..." link resolves to
the page itself) whose percent-decoded path exists; in a style with one page
per folder a folder link must lead to that folder's page (a linked folder,
which the program never enters, to the folder itself); and every entry the
preset lists must be linked from some page. One line per failure, then
"N passed, M failed" over the style and setting cases; exit 1 on any failure.
"""
import os
import sys
import tempfile
import urllib.parse

from cdp import CdpError
from listing import (Tally, file_url, listed_entries, make_tree, read_styles, run_program, show,
                     start_check, tree_entries, write_project)

# Names that work under every url_escape setting: markup characters, quotes,
# non-ASCII text and names that read as a URL scheme. (kind, name, link target)
EVERY_SETTING = [
    ("file", "two  blanks.txt", None),
    ("file", "a&b.txt", None),
    ("file", "a&amp;b.txt", None),
    ("file", "<b>bold<b>.txt", None),
    ("file", "<img src=x onerror=alert(1)>", None),
    ("file", '"double" quotes.txt', None),
    ("file", "it's `quoted`.txt", None),
    ("file", "semi;colon=.txt", None),
    ("file", "-leading-dash.txt", None),
    ("file", "javascript:alert(document.domain)", None),
    ("file", "mailto:x", None),
    ("file", "é.txt", None),
    ("file", "中文.txt", None),
    ("file", "\U0001F600 smile.txt", None),
    ("file", "x&y é.jpg", None),
    ("dir", "javascript:x", None),
    ("file", "javascript:x/inside.txt", None),
    ("dir", "dossier é", None),
    ("file", "dossier é/photo ü.png", None),
    ("dir", "dossier é/中 & <x>", None),
    ("file", "dossier é/中 & <x>/deep.txt", None),
    ("link", "folder link", "../outside"),
    ("link", "dangling link", "missing/target"),
]
# Names only percent-encoding (url_escape 2) can carry. Under 0 and 1 a name
# goes into the link as it is or markup-escaped, and a URL cannot hold "#",
# "?", "%", "\", control characters, bytes that are not UTF-8 or a leading or
# trailing blank as plain text: that is why every bundled preset uses 2.
PERCENT_ONLY = [
    ("file", "#hash.txt", None),
    ("file", "what?.txt", None),
    ("file", "%41.txt", None),
    ("file", "%", None),
    ("file", "back\\slash.txt", None),
    ("file", " leading blank.txt", None),
    ("file", "trailing blank ", None),
    ("file", "cr\rname.txt", None),
    ("file", "lf\nname.txt", None),
    ("file", "tab\tname.txt", None),
    ("file", b"latin-1 \xe9\xff.bin", None),
    ("dir", "odd #?% dir", None),
    ("file", "odd #?% dir/x\\y\n.txt", None),
]

# Every <a href> and <img src> of the page: attribute as written, resolved URL.
LINKS_SCRIPT = """Array.from(document.querySelectorAll("a[href], img[src]"), (e) =>
  e.localName === "a" ? ["a href", e.getAttribute("href"), e.href]
                      : ["img src", e.getAttribute("src"), e.src])"""


def check_link(url, tree, program_dir, per_folder, save):
    """What is wrong with a resolved link, or None; then the entry it links
    (a folder for a link to the folder's page) or None."""
    parts = urllib.parse.urlsplit(url)
    if parts.scheme != "file":
        return "resolves to %s, not a file: URL" % show(url), None
    if parts.netloc or parts.query:
        return "resolves to %s, not a local path" % show(url), None
    path = urllib.parse.unquote_to_bytes(parts.path).rstrip(b"/") or b"/"
    inside = os.path.commonpath([path, tree]) == tree
    where = show(os.path.relpath(path, tree) if inside else path)
    if not os.path.lexists(path):
        return "leads to %s, which does not exist" % where, None
    if not inside and os.path.commonpath([path, program_dir]) != program_dir:
        return "leads to %s, out of the tree and the program folder" % where, None
    if per_folder and inside and os.path.isdir(path) and not os.path.islink(path):
        return "links the folder %s, not its page" % where, None
    if per_folder and os.path.basename(path) == save:
        return None, os.path.dirname(path)
    return None, path


def check_case(browser, page_session, program_dir, style, setting, work):
    """Problems of one style under one url_escape setting."""
    root = os.path.join(work, "tree")
    entries = EVERY_SETTING + (PERCENT_ONLY if setting == 2 else [])
    make_tree(root, entries)
    os.mkdir(os.path.join(work, "outside"))
    open(os.path.join(work, "outside", "inside the link.txt"), "w").close()
    tree = os.fsencode(root)
    files, folders = tree_entries(tree)
    project = os.path.join(work, "project.txt")
    write_project(project, root, os.path.join(program_dir, "templates", style.file), style,
                  url_escape=setting)
    failed = run_program(program_dir, project)
    if failed:
        return [failed]

    save = os.fsencode(style.keys.get("save", "index.html"))
    per_folder = style.key("subfolders_in_one_file", 1) == 0
    pages = [tree] + (sorted(f for f in folders if not os.path.islink(f)) if per_folder else [])
    problems, linked = [], set()
    program = os.fsencode(program_dir)
    for folder in pages:
        page = os.path.join(folder, save)
        name = show(os.path.relpath(page, tree))
        if not os.path.isfile(page):
            problems.append("page %s was not written" % name)
            continue
        try:
            browser.navigate(page_session, file_url(page))
            links = browser.evaluate(page_session, LINKS_SCRIPT)
        except CdpError as error:
            problems.append("page %s: %s" % (name, error))
            continue
        for element, written, url in links:
            problem, entry = check_link(url, tree, program, per_folder, save)
            if problem:
                problems.append("page %s: %s=%r %s" % (name, element, show(written), problem))
            elif entry:
                linked.add(entry)

    for entry in sorted(listed_entries(style, files, folders) - linked):
        problems.append("no page links %s" % show(os.path.relpath(entry, tree)))
    return problems


def main():
    program_dir, browser = start_check(__doc__)
    if browser is None:
        return 1
    styles = read_styles(program_dir)
    tally = Tally()
    with browser, tempfile.TemporaryDirectory(prefix="dirscribe-links-") as work:
        page_session = browser.new_page()
        for number, style in enumerate(styles):
            for setting in (0, 1, 2):
                case_work = os.path.join(work, "%d-%d" % (number, setting))
                os.mkdir(case_work)
                problems = check_case(browser, page_session, program_dir, style, setting,
                                      case_work)
                tally.case("%s url_escape=%d" % (style.name, setting), problems)
    return tally.finish()


if __name__ == "__main__":
    sys.exit(main())
