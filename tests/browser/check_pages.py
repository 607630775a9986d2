#!/usr/bin/env python3
"""Checks in headless Chromium that every bundled style's pages stand alone
and that their search, sorting and counts work.

Usage: check_pages.py PROGRAM_DIR   (the folder of dirscribe, templates.txt
and templates/)

Each style lists a small tree with its preset. Then:
- alone: every page is opened from file://, over HTTP (a server on the
  listed folder) and, for a style with one page, after being moved to another
  folder; no request may leave the page (the Gallery's thumbnails, which show
  the listed pictures themselves, excepted), and every icon must be drawn
  from the page itself (a data: URL);
- search: in the styles with a search box, "bash copyright" shows only
  share/doc/bash/copyright, found by its folder's path; the count reads
  "1 of N ...";
- sort: a heading clicked twice puts each folder's rows in descending order,
  subfolders first;
- people's order: in the styles with a search box, "bjork" finds "Björk",
  "edith" "Édith Piaf", "sigur ros" "Sigur Rós"; a page written in the
  folder's own order, sorted by name in the browser, reads as the program's
  natural order wrote it;
- size sort: in the styles that sort by size, a click on the Size heading
  orders files by their byte counts, whatever unit and decimals the text has;
- counts: a page of one entry counts "1 entry" (or "1 file").
One line per failure, then "N passed, M failed"; exit 1 on any failure.
"""
import functools
import http.server
import json
import os
import shutil
import sys
import tempfile
import threading
import urllib.parse

from cdp import CdpError
from listing import (Tally, file_url, make_tree, read_styles, run_program, show, start_check,
                     write_project)

# (kind, name, link target); names are their own contents.
TREE = [
    ("dir", "share", None),
    ("dir", "share/doc", None),
    ("dir", "share/doc/bash", None),
    ("file", "share/doc/bash/copyright", None),
    ("file", "share/doc/bash/README", None),
    ("dir", "share/doc/zsh", None),
    ("file", "share/doc/zsh/copyright", None),
    ("dir", "bin", None),
    ("file", "bin/bash", None),
    ("file", "notes.txt", None),
    ("file", "b 10.txt", None),
    ("file", "b 9.txt", None),
    ("file", "Zeta.md", None),
]
PICTURE = "picture.png"
# A 1 by 1 transparent PNG.
PNG = bytes.fromhex("89504e470d0a1a0a0000000d4948445200000001000000010806000000"
                    "1f15c4890000000d49444154789c6360000002000154a24f5d00000000"
                    "49454e44ae426082")

SETTLE_SCRIPT = """new Promise((done) => requestAnimationFrame(() => setTimeout(done, 50)))"""

# Every element that draws an icon, and what its ::before box draws.
ICONS_SCRIPT = """Array.from(document.querySelectorAll(".ic"), (e) =>
  [e.className, getComputedStyle(e, "::before").backgroundImage.slice(0, 40)])"""

# Types into the search box and answers the rows shown, as the browser draws
# them (folder path and name), and the count.
SEARCH_SCRIPT = """(async (text) => {
  const box = document.querySelector("input[type=search]");
  if (!box) return null;
  box.value = text;
  box.dispatchEvent(new Event("input", { bubbles: true }));
  await new Promise((done) => requestAnimationFrame(() => setTimeout(done, 0)));
  const shown = [];
  let path = document.querySelector("table.listing").dataset.path || "";
  for (const row of document.querySelectorAll("table.listing tbody:not(.up) tr")) {
    if (row.classList.contains("head")) {
      path = row.dataset.folder ?? row.cells[0].firstChild.data;
      continue;
    }
    if (row.checkVisibility()) shown.push(path + "|" + row.querySelector("a").textContent);
  }
  return { shown, count: document.querySelector(".tools .count").textContent };
})(%s)"""

# Clicks the first sorting heading `times` times and answers each folder's
# names in the order shown.
SORT_SCRIPT = """(() => {
  const table = document.querySelector("table.listing");
  const button = table.querySelector("thead button");
  for (let i = 0; i < %d; i++) button.click();
  table.settle();
  const groups = [[]];
  for (const row of table.querySelectorAll("tbody:not(.up) tr")) {
    const group = groups[groups.length - 1];
    if (row.classList.contains("head")) {
      if (group.length) groups.push([]);
      continue;
    }
    group.push((row.classList.contains("d") ? "d:" : "f:") + row.querySelector("a").textContent);
  }
  return { groups, sort: button.parentNode.getAttribute("aria-sort") };
})()"""


# A music collection whose names people search without accents and expect in
# the order they read: numbers by value, accents and case second, "~" with
# the punctuation before the letters.
MUSIC = [("dir", "Disc 10", None), ("dir", "disc 2", None)] + [
    ("file", name, None) for name in (
        "Björk - Jóga.mp3", "Édith Piaf - Hymne.mp3", "edith.txt", "Sigur Rós - Hoppípolla.flac",
        "Various Artists.mp3", "track 10.mp3", "track 2.mp3", "Track 1.mp3", "file-9.txt",
        "file-10.txt", "~notes.txt", "Ωμέγα.txt", "Борис.txt", "Mø.mp3")]
SEARCHES = {
    "bjork": {"Björk - Jóga.mp3"},
    "edith": {"Édith Piaf - Hymne.mp3", "edith.txt"},
    "sigur ros": {"Sigur Rós - Hoppípolla.flac"},
    "HOPPIPOLLA": {"Sigur Rós - Hoppípolla.flac"},
    "mo.mp3": {"Mø.mp3"},
}


def pages_of(tree, style):
    """The pages a run of the style writes over `tree`."""
    save = style.keys.get("save", "index.html")
    if style.key("subfolders_in_one_file", 1):
        return [os.path.join(tree, save)]
    return [os.path.join(folder, save) for folder, _, _ in os.walk(tree)]


class quiet_handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder):
    """An HTTP server on `folder` in a thread of its own; its base URL and the
    server (shut it down when done)."""
    handler = functools.partial(quiet_handler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return "http://127.0.0.1:%d/" % server.server_address[1], server


def requests_and_icons(browser, session, url):
    """Every URL the page asked for while loading, and its icon elements that
    do not draw from a data: URL."""
    browser.take_events("Network.requestWillBeSent", session)
    browser.navigate(session, url)
    browser.evaluate(session, SETTLE_SCRIPT)
    asked = [e["request"]["url"] for e in browser.take_events("Network.requestWillBeSent", session)]
    foreign_icons = [name for name, image in browser.evaluate(session, ICONS_SCRIPT)
                     if not image.startswith('url("data:image/svg+xml')]
    return asked, foreign_icons


def check_alone(browser, session, style, tree, work):
    """Problems of the pages' standing alone."""
    problems = []
    base, server = serve(tree)
    try:
        for page in pages_of(tree, style):
            relative = os.path.relpath(page, tree)
            where = [("file", file_url(page)),
                     ("HTTP", base + urllib.parse.quote(relative))]
            if style.key("subfolders_in_one_file", 1):
                moved = os.path.join(work, "moved", os.path.basename(page))
                os.makedirs(os.path.dirname(moved), exist_ok=True)
                shutil.copy(page, moved)
                where.append(("moved", file_url(moved)))
            for how, url in where:
                asked, foreign_icons = requests_and_icons(browser, session, url)
                for other in asked:
                    if other == url or other.startswith("data:"):
                        continue
                    # The Gallery shows a listed picture as its own thumbnail.
                    if (style.file == "gallery.html" and how != "moved"
                            and urllib.parse.unquote(other).endswith("/" + PICTURE)):
                        continue
                    problems.append("%s (%s) asked for %s" % (relative, how, show(other)))
                for name in foreign_icons:
                    problems.append("%s (%s): the icon of class %r is not drawn from the page"
                                    % (relative, how, name))
    finally:
        server.shutdown()
        server.server_close()
    return problems


def check_search(browser, session, style, tree):
    """Problems of finding an entry by its folder's path, or None for a style
    without a search box."""
    found, counts, has_box = [], [], False
    for page in pages_of(tree, style):
        browser.navigate(session, file_url(page))
        result = browser.evaluate(session, SEARCH_SCRIPT % '"bash copyright"')
        if result is None:
            continue
        has_box = True
        found += result["shown"]
        if result["shown"]:
            counts.append(result["count"])
    if not has_box:
        return None
    problems = []
    if len(found) != 1 or not found[0].endswith("bash|copyright"):
        problems.append('"bash copyright" showed %s, not share/doc/bash/copyright' % found)
    for count in counts:
        if not count.startswith("1 of "):
            problems.append("the count read %r" % count)
    return problems


def check_sort(browser, session, style, tree):
    """Problems of sorting the first page's rows by name, descending."""
    page = pages_of(tree, style)[0]
    browser.navigate(session, file_url(page))
    if not browser.evaluate(session, "!!document.querySelector('thead button')"):
        return None
    result = browser.evaluate(session, SORT_SCRIPT % 2)
    problems = []
    if result["sort"] != "descending":
        problems.append("the heading says aria-sort=%r after two clicks" % result["sort"])
    # The page came in the program's natural order, subfolders first; two
    # clicks turn each kind around ("b 10" before "b 9").
    browser.navigate(session, file_url(page))
    written = browser.evaluate(session, SORT_SCRIPT % 0)["groups"]
    for group, before in zip(result["groups"], written):
        expected = [n for kind in ("d:", "f:") for n in reversed(before) if n.startswith(kind)]
        if group != expected:
            problems.append("one folder's rows read %s, not %s" % (group, expected))
    return problems


def check_peoples_order(browser, session, program_dir, style, work):
    """Problems of searching without accents and of sorting by name as the
    program does, or None for a style without a search box."""
    tree = os.path.join(work, "music")
    make_tree(tree, MUSIC)
    template = os.path.join(program_dir, "templates", style.file)
    project = os.path.join(work, "music.txt")
    write_project(project, tree, template, style)
    failed = run_program(program_dir, project)
    if failed:
        return [failed]
    page = pages_of(tree, style)[0]
    browser.navigate(session, file_url(page))
    if not browser.evaluate(session, "!!document.querySelector('input[type=search]')"):
        return None
    problems = []
    for query, expected in SEARCHES.items():
        browser.navigate(session, file_url(page))
        result = browser.evaluate(session, SEARCH_SCRIPT % json.dumps(query))
        shown = {entry.split("|")[-1] for entry in result["shown"]}
        if shown != expected:
            problems.append("%r showed %s, not %s" % (query, sorted(shown), sorted(expected)))
    natural = browser.evaluate(session, SORT_SCRIPT % 0)["groups"]
    # The same folder written in the order its folder gives, then sorted by
    # name in the browser.
    write_project(project, tree, template, style, order_files=0)
    failed = run_program(program_dir, project)
    if failed:
        return problems + [failed]
    browser.navigate(session, file_url(page))
    clicked = browser.evaluate(session, SORT_SCRIPT % 1)["groups"]
    if clicked != natural:
        problems.append("sorted by name in the page: %s; the program's order: %s" %
                        (clicked, natural))
    return problems


# Sizes whose texts ("7 B", "1,023 B", "1.1 KB", "99.9 KB", "100 KB",
# "1,023 KB", "1.5 MB") sort wrongly as text and as bare digits; each file is
# named so that name order is no size order either.
SIZES = [1572864, 7, 102349, 1024, 1047552, 13722, 1023, 1048576, 102348, 1076]

SIZE_SORT_SCRIPT = """(() => {
  const table = document.querySelector("table.listing");
  const button = table && table.querySelector("thead th[data-sort=size] button");
  if (!button) return null;
  button.click();
  table.settle();
  return Array.from(table.querySelectorAll("tbody tr:not(.head) td.name a"), (a) => a.textContent);
})()"""


def check_size_sort(browser, session, program_dir, style, work):
    """Problems of sorting a folder of files by size, ascending."""
    tree = os.path.join(work, "sizes")
    os.makedirs(tree)
    names = ["%c.bin" % (ord("a") + i) for i in range(len(SIZES))]
    for name, size in zip(names, SIZES):
        with open(os.path.join(tree, name), "wb") as out:
            out.truncate(size)
    project = os.path.join(work, "sizes.txt")
    write_project(project, tree, os.path.join(program_dir, "templates", style.file), style)
    failed = run_program(program_dir, project)
    if failed:
        return [failed]
    browser.navigate(session, file_url(pages_of(tree, style)[0]))
    shown = browser.evaluate(session, SIZE_SORT_SCRIPT)
    if shown is None:
        return None
    expected = [name for _, name in sorted(zip(SIZES, names))]
    return [] if shown == expected else ["by size the files read %s, not %s" % (shown, expected)]


def check_count_of_one(browser, session, program_dir, style, work):
    """Problems of the count of a page listing one entry."""
    tree = os.path.join(work, "one")
    make_tree(tree, [("file", "only.txt", None)])
    project = os.path.join(work, "one.txt")
    write_project(project, tree, os.path.join(program_dir, "templates", style.file), style)
    failed = run_program(program_dir, project)
    if failed:
        return [failed]
    browser.navigate(session, file_url(pages_of(tree, style)[0]))
    count = browser.evaluate(session, "(document.querySelector('.tools .count') || {}).textContent")
    if count is None:
        return None
    return [] if count in ("1 entry", "1 file") else ["the count of one entry reads %r" % count]


def main():
    program_dir, browser = start_check(__doc__)
    if browser is None:
        return 1
    tally = Tally()
    with browser, tempfile.TemporaryDirectory(prefix="dirscribe-pages-") as work:
        session = browser.new_page()
        browser.send("Network.enable", session=session)
        for number, style in enumerate(read_styles(program_dir)):
            style_work = os.path.join(work, str(number))
            tree = os.path.join(style_work, "tree")
            make_tree(tree, TREE)
            with open(os.path.join(tree, PICTURE), "wb") as picture:
                picture.write(PNG)
            project = os.path.join(style_work, "project.txt")
            write_project(project, tree, os.path.join(program_dir, "templates", style.file), style)
            failed = run_program(program_dir, project)
            if failed:
                tally.case(style.name, [failed])
                continue
            try:
                tally.case("%s: loads nothing but itself" % style.name,
                           check_alone(browser, session, style, tree, style_work))
                for what, check in (("search by path", check_search), ("sort", check_sort)):
                    problems = check(browser, session, style, tree)
                    if problems is not None:
                        tally.case("%s: %s" % (style.name, what), problems)
                problems = check_peoples_order(browser, session, program_dir, style, style_work)
                if problems is not None:
                    tally.case("%s: search and sort as people read" % style.name, problems)
                problems = check_size_sort(browser, session, program_dir, style, style_work)
                if problems is not None:
                    tally.case("%s: sort by size" % style.name, problems)
                problems = check_count_of_one(browser, session, program_dir, style, style_work)
                if problems is not None:
                    tally.case("%s: count of one entry" % style.name, problems)
            except CdpError as error:
                tally.case(style.name, [str(error)])
    return tally.finish()


if __name__ == "__main__":
    sys.exit(main())
