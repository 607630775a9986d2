#!/usr/bin/env python3
"""Checks in headless Chromium that the archive catalogue's "MD5 list",
"SHA-1 list" and "SHA-256 list" links save check files that md5sum -c,
sha1sum -c and sha256sum -c accept for every file of a tree of hostile names.

Usage: check_sums.py PROGRAM_DIR   (the folder of dirscribe, templates.txt
and templates/)

The catalogue style is run with its preset (url_escape 2) over a tree whose
names hold line breaks, backslashes, bytes that are not UTF-8 and more, and
with url_escape 0 and 1 over the names the page's text keeps. Each link
is clicked once in the loaded page. The saved file must hold the very lines
md5sum (or sha1sum) writes for the tree's files, and "md5sum -c --strict" run
on it in the listed folder must pass with one OK line per file. One line per
failure, then "N passed, M failed" over the cases; exit 1 on any failure.
"""
import json
import os
import subprocess
import sys
import tempfile

from cdp import CdpError
from listing import (Tally, file_url, make_tree, read_styles, run_program, show, start_check,
                     tree_entries, write_project)

# Names whose text the page keeps under every url_escape setting: md5sum
# escapes the backslash and LF in them. (kind, name, link target)
PLAIN = [
    ("file", "plain.txt", None),
    ("file", "two  blanks &amp; 'quotes\".txt", None),
    ("file", "tab\tname.txt", None),
    ("file", "back\\slash.txt", None),
    ("file", "lf\nname.txt", None),
    ("file", " leading blank", None),
    ("file", "trailing blank ", None),
    ("file", "%41 #?.txt", None),
    ("file", "é 中文 \U0001F600.txt", None),
    ("file", "javascript:alert(1)", None),
    ("dir", "sub dir", None),
    ("file", "sub dir/nested\\\n.txt", None),
    ("dir", "sub dir/dossier é", None),
    ("file", "sub dir/dossier é/deep.txt", None),
]
# Names only the percent-encoded links of url_escape 2 carry exactly: the
# page's text turns CR into LF and cannot hold bytes that are not UTF-8.
EXACT_BYTES_ONLY = [
    ("file", "cr\rname.txt", None),
    ("file", "all\\\r\n", None),
    ("file", b"latin-1 \xe9\xff.bin", None),
    ("dir", b"bad \xfe dir", None),
    ("file", b"bad \xfe dir/x\r\xc3.txt", None),
]
# (link text, file name it saves, checking tool)
SUM_FILES = [("MD5 list", "checksums.md5", "md5sum"),
             ("SHA-1 list", "checksums.sha1", "sha1sum"),
             ("SHA-256 list", "checksums.sha256", "sha256sum")]

CLICK_SCRIPT = """(() => {
  const link = Array.from(document.querySelectorAll("a")).find((a) => a.textContent === %s);
  if (!link) return false;
  link.click();
  return true;
})()"""


def save_by_click(browser, page_session, label, downloads):
    """Clicks the link `label` once; the saved file's path, or a problem text."""
    if not browser.evaluate(page_session, CLICK_SCRIPT % json.dumps(label)):
        return None, "the page has no %r link" % label
    try:
        begun = browser.wait_event("Browser.downloadWillBegin", timeout=10)
        ended = browser.wait_event("Browser.downloadProgress", timeout=10,
                                   match=lambda p: p["guid"] == begun["guid"]
                                   and p["state"] in ("completed", "canceled"))
    except CdpError:
        return None, "one click on %r saved nothing" % label
    if ended["state"] != "completed":
        return None, "the download of %r was canceled" % label
    return os.path.join(downloads, begun["suggestedFilename"]), None


def compare_with_tool(saved, tool, root, files):
    """Lines of the saved file that differ from what the tool itself writes
    for the same files (order aside: the page keeps the listing's order)."""
    names = sorted(os.path.relpath(f, os.fsencode(root)) for f in files)
    own = subprocess.run([tool, "--"] + names, cwd=root, capture_output=True, timeout=60)
    with open(saved, "rb") as file:
        lines = set(file.read().split(b"\n")[:-1])
    expected = set(own.stdout.split(b"\n")[:-1])
    return (["the saved file lacks the line %s writes: %s" % (tool, show(line))
             for line in sorted(expected - lines)]
            + ["the saved file holds a line %s does not write: %s" % (tool, show(line))
               for line in sorted(lines - expected)])


def check_case(browser, page_session, program_dir, style, setting, work, way="in the tree"):
    """Problems of the catalogue under one url_escape setting, its page saved
    in the tree, outside it, or linking through link_base: the lists name the
    files as the listed folder holds them in every case."""
    root = os.path.join(work, "tree")
    make_tree(root, PLAIN + (EXACT_BYTES_ONLY if setting == 2 else []))
    files, _ = tree_entries(root)
    project = os.path.join(work, "project.txt")
    page = os.path.join(root, style.keys.get("save", "index.html"))
    overrides = {"url_escape": setting}
    if way == "outside":
        page = os.path.join(work, "out", "deep", "catalogue.html")
        os.makedirs(os.path.dirname(page))
        overrides["save"] = page
    elif way == "link_base":
        overrides["link_base"] = "https://files.example.org/pub/"
    write_project(project, root, os.path.join(program_dir, "templates", style.file), style,
                  **overrides)
    failed = run_program(program_dir, project)
    if failed:
        return [failed]
    downloads = os.path.join(work, "downloads")
    os.mkdir(downloads)
    browser.send("Browser.setDownloadBehavior",
                 {"behavior": "allow", "downloadPath": downloads, "eventsEnabled": True})
    browser.navigate(page_session, file_url(page))

    problems = []
    for label, expected_name, tool in SUM_FILES:
        saved, problem = save_by_click(browser, page_session, label, downloads)
        if problem:
            problems.append(problem)
            continue
        if os.path.basename(saved) != expected_name:
            problems.append("%r saved %s, not %s" % (label, os.path.basename(saved), expected_name))
        problems += compare_with_tool(saved, tool, root, files)
        check = subprocess.run([tool, "-c", "--strict", saved], cwd=root,
                               capture_output=True, timeout=60)
        # One line per file: split at LF only, as a CR in a name may be printed raw.
        lines = check.stdout.split(b"\n")[:-1]
        passed = sum(line.endswith(b": OK") for line in lines)
        said = [line for line in lines if not line.endswith(b": OK")]
        said += check.stderr.split(b"\n")[:-1]
        problems += ["%s -c: %s" % (tool, show(line)) for line in said]
        if check.returncode != 0 or passed != len(files):
            problems.append("%s -c exited with %d after %d OK lines for %d files"
                            % (tool, check.returncode, passed, len(files)))
    return problems


def main():
    program_dir, browser = start_check(__doc__)
    if browser is None:
        return 1
    style = next(s for s in read_styles(program_dir) if s.file == "checksums.html")
    tally = Tally()
    with browser, tempfile.TemporaryDirectory(prefix="dirscribe-sums-") as work:
        page_session = browser.new_page()
        cases = [(2, "in the tree"), (0, "in the tree"), (1, "in the tree"), (2, "outside"),
                 (2, "link_base")]
        for number, (setting, way) in enumerate(cases):
            case_work = os.path.join(work, "case-%d" % number)
            os.mkdir(case_work)
            try:
                problems = check_case(browser, page_session, program_dir, style, setting,
                                      case_work, way)
            except CdpError as error:
                problems = [str(error)]
            tally.case("%s url_escape=%d, %s" % (style.name, setting, way), problems)
    return tally.finish()


if __name__ == "__main__":
    sys.exit(main())
