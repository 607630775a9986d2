#!/usr/bin/env python3
"""Checks in headless Chromium that every bundled style's links work where a
listing is published: saved outside the listed folder, linked to a web
address (link_base), and written as a mirror of pages under output_dir.

Usage: check_publishing.py PROGRAM_DIR

For every style of templates.txt it lists a fresh tree three ways and loads
every page in Chromium: each <a href> and <img src>, as the browser resolves
it, must name an existing entry of the tree (through link_base, the entry at
that path), a page of the listing, the page itself ("#..."), or the program
folder; every entry the preset lists must be linked; and an output_dir run
must leave the listed tree as it was, contents and modification times, with
the tree read-only. One line per failure, then "N passed, M failed".
"""
import os
import stat
import sys
import tempfile
import urllib.parse

from cdp import CdpError
from check_links import LINKS_SCRIPT
from listing import (Tally, file_url, listed_entries, make_tree, read_styles, run_program, show,
                     start_check, tree_entries, write_project)

BASE = "https://files.example.org/pub/"
ENTRIES = [
    ("file", "a&b é.txt", None),
    ("dir", "sub folder", None),
    ("file", "sub folder/inner #1.txt", None),
    ("dir", "sub folder/deeper", None),
    ("file", "sub folder/deeper/x.txt", None),
    ("dir", "empty", None),
]


def snapshot(root):
    """Every entry below `root` with its kind, size and modification time."""
    state = {}
    for folder, subfolders, names in os.walk(root):
        for name in subfolders + names:
            path = os.path.join(folder, name)
            info = os.lstat(path)
            state[path] = (stat.S_IFMT(info.st_mode), info.st_size, info.st_mtime_ns)
    state[root] = os.lstat(root).st_mtime_ns
    return state


def set_writable(root, writable):
    for folder, _, _ in os.walk(root):
        mode = os.stat(folder).st_mode
        os.chmod(folder, mode | 0o200 if writable else mode & ~0o222)


def target_of(url, tree, pages_root, program_dir):
    """The path a resolved link names and what is wrong with it, if anything."""
    if url.startswith(BASE):
        return os.path.join(tree, urllib.parse.unquote_to_bytes(url[len(BASE):])).rstrip(b"/"), None
    parts = urllib.parse.urlsplit(url)
    if parts.scheme != "file" or parts.netloc or parts.query:
        return None, "resolves to %s, not a local file" % show(url)
    path = urllib.parse.unquote_to_bytes(parts.path).rstrip(b"/") or b"/"
    if not os.path.lexists(path):
        return None, "leads to %s, which does not exist" % show(path)
    for allowed in (tree, pages_root, program_dir):
        if os.path.commonpath([path, allowed]) == allowed:
            return path, None
    return None, "leads to %s, outside the tree, the pages and the program" % show(path)


def check_case(browser, session, program_dir, style, way, work):
    tree = os.path.join(work, "tree").encode()
    make_tree(tree, ENTRIES)
    per_folder = style.key("subfolders_in_one_file", 1) == 0
    pages_root = os.path.join(work, "pages").encode()
    save = os.fsencode(style.keys.get("save", "index.html"))
    overrides = {"url_escape": 2}
    if way == "outside":
        if per_folder:
            return None  # one page per folder goes outside through output_dir only
        overrides["save"] = os.path.join(pages_root, b"deep", b"listing.html").decode()
        os.makedirs(os.path.join(pages_root, b"deep"))
    elif way == "link_base":
        overrides["link_base"] = BASE
    else:
        overrides["output_dir"] = pages_root.decode()
    project = os.path.join(work, "project.txt")
    write_project(project, tree.decode(), os.path.join(program_dir, "templates", style.file),
                  style, **overrides)
    files, folders = tree_entries(tree)
    before = snapshot(tree)
    if way == "output_dir":
        set_writable(tree, False)
    try:
        failed = run_program(program_dir, project)
    finally:
        set_writable(tree, True)
    if failed:
        return [failed]
    problems = []
    if way == "output_dir" and snapshot(tree) != before:
        problems.append("the listed tree changed")

    # The pages the run wrote, by the folder they list.
    if way == "outside":
        pages = {tree: os.path.join(pages_root, b"deep", b"listing.html")}
    elif way == "output_dir" and per_folder:
        pages = {f: os.path.join(pages_root, os.path.relpath(f, tree), save).replace(b"/./", b"/")
                 for f in [tree] + sorted(f for f in folders if not os.path.islink(f))}
    elif way == "output_dir":
        pages = {tree: os.path.join(pages_root, save)}
    else:
        pages = {f: os.path.join(f, save)
                 for f in [tree] + (sorted(folders) if per_folder else [])}
    page_of = {os.path.normpath(p): f for f, p in pages.items()}
    linked = set()
    for folder, page in pages.items():
        name = show(os.path.relpath(page, work.encode()))
        if not os.path.isfile(page):
            problems.append("page %s was not written" % name)
            continue
        try:
            browser.navigate(session, file_url(page))
            links = browser.evaluate(session, LINKS_SCRIPT)
        except CdpError as error:
            problems.append("page %s: %s" % (name, error))
            continue
        for element, written, url in links:
            path, problem = target_of(url, tree, pages_root, os.fsencode(program_dir))
            if problem:
                problems.append("page %s: %s=%r %s" % (name, element, show(written), problem))
                continue
            path = os.path.normpath(path)
            if path in page_of:
                linked.add(page_of[path])  # a page stands for its folder
            elif per_folder and path in folders and way != "link_base":
                problems.append("page %s: %s=%r links the folder, not its page"
                                % (name, element, show(written)))
            else:
                linked.add(path)
    for entry in sorted(listed_entries(style, files, folders) - linked):
        problems.append("no page links %s" % show(os.path.relpath(entry, tree)))
    return problems


def main():
    program_dir, browser = start_check(__doc__)
    if browser is None:
        return 1
    tally = Tally()
    with browser, tempfile.TemporaryDirectory(prefix="dirscribe-publish-") as work:
        session = browser.new_page()
        for number, style in enumerate(read_styles(program_dir)):
            for way in ("outside", "link_base", "output_dir"):
                case_work = os.path.join(work, "%d-%s" % (number, way))
                os.mkdir(case_work)
                problems = check_case(browser, session, program_dir, style, way, case_work)
                if problems is not None:
                    tally.case("%s, %s" % (style.name, way), problems)
    return tally.finish()


if __name__ == "__main__":
    sys.exit(main())
