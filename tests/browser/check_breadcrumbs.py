#!/usr/bin/env python3
"""Checks in headless Chromium that the pages every bundled style publishes
through link_base name the listing and not the machine it was made on, and
that their breadcrumbs lead to pages of the run.

Usage: check_breadcrumbs.py PROGRAM_DIR

For every style of templates.txt it lists a tree that lies in a folder whose
path needs escaping in every way, with the style's preset, link_base set and
every folder level listed, and loads each page the run wrote. The page as
written and as the browser shows it after its scripts ran (markup, title,
text) must not hold the path of the folder the tree lies in, as it is,
HTML-escaped, URL-escaped or JSON-escaped. Every breadcrumb link must lead to
a page of the run (one page per folder) or to a folder heading of the page
itself, and a folder's breadcrumbs must link each folder above it. One line
per failure, then "N passed, M failed".
"""
import html
import json
import os
import sys
import tempfile
import urllib.parse

from cdp import CdpError
from listing import (Tally, file_url, make_tree, read_styles, run_program, show, start_check,
                     write_project)

BASE = "https://files.example.org/pub/"
# The folder the tree lies in: what no page may name.
PRIVATE = "home & <me> \u00e9 \"q\""
ENTRIES = [
    ("file", "a.txt", None),
    ("dir", "Sub & <x>", None),
    ("file", "Sub & <x>/b.txt", None),
    ("dir", "Sub & <x>/caf\u00e9 #2", None),
    ("file", "Sub & <x>/caf\u00e9 #2/c.txt", None),
]

# What the page shows once its scripts ran, and its breadcrumbs: for each
# element of class "crumbs", the folder it names and its links as written and
# as resolved, with whether an in-page link finds its target.
PAGE_SCRIPT = """(() => {
  const crumbs = Array.from(document.querySelectorAll(".crumbs"), (list) => [
    list.dataset.folder ?? "",
    Array.from(list.querySelectorAll("a"), (a) => [a.getAttribute("href"), a.href,
      a.hash ? !!document.getElementById(decodeURIComponent(a.hash.slice(1))) : false])]);
  return [document.documentElement.outerHTML, document.title, document.body.innerText, crumbs];
})()"""


def forms_of(path):
    """A path as a page could hold it: as it is, HTML-escaped (each way a
    serializer writes it), URL-escaped (strictly, and as links keep "/") and
    JSON-escaped."""
    forms = {path, html.escape(path), html.escape(path, quote=False),
             html.escape(path).replace("&#x27;", "'"),
             urllib.parse.quote(path), urllib.parse.quote(path, safe=""),
             json.dumps(path)[1:-1], json.dumps(path, ensure_ascii=False)[1:-1],
             json.dumps(path)[1:-1].replace("/", "\\/")}
    forms.add("".join("&#%d;" % ord(c) if ord(c) > 127 else c for c in html.escape(path)))
    return forms


def check_crumbs(crumbs, page, pages, per_folder, top):
    """What is wrong with one page's breadcrumbs; the top page of a listing
    may go without, its heading being the title."""
    problems = []
    if not crumbs:
        return ["no breadcrumbs"] if per_folder and not top else []
    for folder, links in crumbs:
        depth = len(folder.split("/")) if folder else 0
        if len(links) != depth:
            problems.append("breadcrumbs of %r link %d folders above it, not %d"
                            % (folder, len(links), depth))
        for written, url, found in links:
            parts = urllib.parse.urlsplit(url)
            path = os.path.normpath(urllib.parse.unquote_to_bytes(parts.path))
            if parts.scheme != "file":
                problems.append("breadcrumb %r of %r resolves to %s, not a file: URL"
                                % (written, folder, show(url)))
            elif per_folder and path not in pages:
                problems.append("breadcrumb %r of %r leads to %s, no page of the run"
                                % (written, folder, show(path)))
            elif not per_folder and (path != page or not parts.fragment or not found):
                problems.append("breadcrumb %r of %r finds no heading on the page"
                                % (written, folder))
    return problems


def check_style(browser, session, program_dir, style, work):
    top = os.path.join(work, PRIVATE)
    tree = os.path.join(top, "Listed")
    make_tree(tree, ENTRIES)
    per_folder = style.key("subfolders_in_one_file", 1) == 0
    project = os.path.join(work, "project.txt")
    write_project(project, tree, os.path.join(program_dir, "templates", style.file), style,
                  link_base=BASE, recursion_depth=-1)
    failed = run_program(program_dir, project)
    if failed:
        return [failed]
    save = os.fsencode(style.keys.get("save", "index.html"))
    pages = set()
    for folder, _, names in os.walk(os.fsencode(tree)):
        if save in names:
            pages.add(os.path.normpath(os.path.join(folder, save)))
    if not pages:
        return ["no page was written"]
    problems = []
    private = forms_of(top)
    for page in sorted(pages):
        name = show(os.path.relpath(page, os.fsencode(tree)))
        with open(page, encoding="utf-8") as written:
            texts = [("the file", written.read())]
        try:
            browser.navigate(session, file_url(page))
            shown, title, text, crumbs = browser.evaluate(session, PAGE_SCRIPT)
        except CdpError as error:
            problems.append("page %s: %s" % (name, error))
            continue
        texts += [("the shown page", shown), ("the title", title), ("the text", text)]
        for where, content in texts:
            for form in sorted(private):
                if form in content:
                    problems.append("page %s: %s holds %s" % (name, where, show(form)))
        problems += ["page %s: %s" % (name, p)
                     for p in check_crumbs(crumbs, page, pages, per_folder,
                                               os.path.dirname(page) == os.fsencode(tree))]
    return problems


def main():
    program_dir, browser = start_check(__doc__)
    if browser is None:
        return 1
    tally = Tally()
    with browser, tempfile.TemporaryDirectory(prefix="dirscribe-crumbs-") as work:
        session = browser.new_page()
        for number, style in enumerate(read_styles(program_dir)):
            case_work = os.path.join(work, str(number))
            os.mkdir(case_work)
            tally.case(style.name, check_style(browser, session, program_dir, style, case_work))
    return tally.finish()


if __name__ == "__main__":
    sys.exit(main())
