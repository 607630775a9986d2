#!/usr/bin/env python3
"""Checks in headless Chromium that every thumbnail the Gallery style shows
loads as a picture, and that each tile still links its original.

Usage: check_thumbnails.py PROGRAM_DIR

Lists a tree of pictures with hostile names (written here as PNG, and as JPEG
through vipsthumbnail's library when its `vips` command is there), a damaged
one and a text file named .jpg, with the Gallery style's preset (thumbnails
on, one page per folder), once into the listed folders and once into an
output_dir mirror. On every page each image whose address lies in
.thumbnails must decode in the browser to a picture of at most 640 pixels a
side, each picture of the folder must have one, and the tile around it must
link the original picture. One line per failure, then "N passed, M failed".
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import urllib.parse
import zlib

from cdp import CdpError
from listing import Tally, file_url, read_styles, run_program, show, start_check, write_project

PICTURES = ["plain.png", "a & b <c>.png", "#1 ?x=y.png", "caf\u00e9 \u00fcber.png", "%41%2F.png",
            "'quote\".png", "javascript:alert(1).png", "sub folder/inner & more.png"]
JPEGS = ["photo.jpg", "sub folder/#deep.JPG"]
BROKEN = ["letter.jpg", "cut.png"]

# Every tile's thumbnail, decoded in the page's own context (lazy images that
# are out of view are loaded all the same), with the link around it.
PAGE_SCRIPT = """(async () => {
  const found = [];
  for (const img of document.querySelectorAll("img")) {
    const src = img.getAttribute("src") || "";
    if (!src.includes(".thumbnails/")) continue;
    const probe = new Image();
    probe.src = img.src;
    let size = null;
    try { await probe.decode(); size = [probe.naturalWidth, probe.naturalHeight]; } catch (e) {}
    const tile = img.closest("a");
    found.push([src, img.src, size, tile ? tile.href : null]);
  }
  return found;
})()"""


def png(width, height, seed):
    """An RGB PNG of a colour gradient across its width."""
    row = b"\0" + b"".join(bytes(((x * 255 // width + seed * 40) % 256, (seed * 70) % 256, 128))
                            for x in range(width))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(row * height)) + chunk(b"IEND", b""))


def make_pictures(tree):
    """The tree of pictures; the relative names of those that get a thumbnail."""
    os.makedirs(os.path.join(tree, "sub folder"))
    expected = set()
    for number, name in enumerate(PICTURES):
        with open(os.path.join(tree, name), "wb") as out:
            out.write(png(900 + number * 10, 600, number))
        expected.add(name)
    vips = shutil.which("vips")
    for name in JPEGS if vips else []:
        source = os.path.join(tree, "source.png")
        with open(source, "wb") as out:
            out.write(png(1200, 800, 5))
        subprocess.run([vips, "copy", source, os.path.join(tree, name)], check=True)
        os.remove(source)
        expected.add(name)
    with open(os.path.join(tree, "letter.jpg"), "w") as out:
        out.write("Dear diary,\n")
    with open(os.path.join(tree, "cut.png"), "wb") as out:
        out.write(png(800, 800, 1)[:300])
    return expected


def check_layout(browser, session, program_dir, gallery, work, mirror):
    tree = os.path.join(work, "photos & <more>")
    expected = make_pictures(tree)
    project = os.path.join(work, "project.txt")
    overrides = {"recursion_depth": -1}
    pages_root = tree
    if mirror:
        pages_root = os.path.join(work, "pages")
        overrides["output_dir"] = pages_root
    write_project(project, tree, os.path.join(program_dir, "templates", gallery.file), gallery,
                  **overrides)
    failed = run_program(program_dir, project)
    if failed:
        return [failed]
    problems = []
    if mirror and any(".thumbnails" in folders for _, folders, _ in os.walk(tree)):
        problems.append("the listed tree holds a .thumbnails folder")
    shown = set()
    for folder, _, names in os.walk(pages_root):
        if "index.html" not in names:
            continue
        below = os.path.relpath(folder, pages_root)
        below = "" if below == "." else below
        page = os.path.join(folder, "index.html")
        try:
            browser.navigate(session, file_url(page))
            tiles = browser.evaluate(session, PAGE_SCRIPT)
        except CdpError as error:
            problems.append("page %s: %s" % (show(page), error))
            continue
        for src, url, size, link in tiles:
            if not size:
                problems.append("page %s: thumbnail %s does not load" % (show(below), src))
                continue
            if max(size) > 640 or min(size) < 1:
                problems.append("page %s: thumbnail %s is %dx%d" % (show(below), src, *size))
            original = urllib.parse.unquote(urllib.parse.urlsplit(link or "").path)
            name = os.path.relpath(original, tree) if link else None
            if name not in expected:
                problems.append("page %s: thumbnail %s is in a tile linking %s, no picture"
                                % (show(below), src, show(str(link))))
            shown.add(name)
    for name in sorted(expected - shown):
        problems.append("%s shows no thumbnail" % show(name))
    for name in BROKEN:
        if name in shown:
            problems.append("%s, which is no picture, shows a thumbnail" % name)
    return problems


def main():
    program_dir, browser = start_check(__doc__)
    if browser is None:
        return 1
    gallery = next(s for s in read_styles(program_dir) if s.name == "Gallery")
    tally = Tally()
    with browser, tempfile.TemporaryDirectory(prefix="dirscribe-thumbnails-") as work:
        session = browser.new_page()
        for mirror in (False, True):
            case_work = os.path.join(work, "mirror" if mirror else "beside")
            os.mkdir(case_work)
            title = "thumbnails in an output_dir mirror" if mirror else "thumbnails beside each page"
            tally.case(title, check_layout(browser, session, program_dir, gallery, case_work, mirror))
    return tally.finish()


if __name__ == "__main__":
    sys.exit(main())
