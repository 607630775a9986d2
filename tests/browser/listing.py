"""What the browser checks share: the style catalog, hostile trees, project
files and runs of the program. Python standard library only."""
import os
import re
import subprocess
import sys
import urllib.parse
import xml.etree.ElementTree as ET

from cdp import Browser, CdpError


class Style:
    """One style of templates.txt: its name, template file, the preset's raw
    markup and the preset's keys as texts."""

    def __init__(self, name, file, preset):
        self.name, self.file, self.preset = name, file, preset
        self.keys = {e.tag: (e.text or "").strip()
                     for e in ET.fromstring("<project>%s</project>" % preset)}

    def key(self, name, default):
        return int(self.keys.get(name, default))


def read_styles(program_dir):
    """The styles of the program folder's catalog, in catalog order."""
    with open(os.path.join(program_dir, "templates.txt"), encoding="utf-8") as catalog:
        text = catalog.read()
    styles = []
    for block in re.findall(r"<template>(.*?)</template>", text, re.S):
        field = lambda name: re.search(r"<%s>(.*?)</%s>" % (name, name), block, re.S)
        styles.append(Style(field("name").group(1).strip(), field("file").group(1).strip(),
                            field("project").group(1)))
    return styles


def markup_escape(text):
    """A project-file text: & < > as entities, bytes 128 and above as &#NNN;."""
    data = os.fsencode(text) if isinstance(text, str) else text
    out = []
    for byte in data:
        char = chr(byte)
        out.append({"&": "&amp;", "<": "&lt;", ">": "&gt;"}.get(char, char)
                   if byte < 128 else "&#%d;" % byte)
    return "".join(out)


def write_project(project, tree, template, style, **overrides):
    """Writes a project file listing `tree` with `template` and the style's
    preset, keys in `overrides` replacing the preset's."""
    preset = style.preset
    for key in overrides:
        preset = re.sub(r"<%s>.*?</%s>\s*" % (key, key), "", preset, flags=re.S)
    lines = ["<project>", "<path>%s</path>" % markup_escape(tree),
             "<format_file>%s</format_file>" % markup_escape(template), preset.strip()]
    lines += ["<%s>%s</%s>" % (key, markup_escape(str(value)), key)
              for key, value in overrides.items()]
    lines.append("</project>")
    with open(project, "w", encoding="ascii") as out:
        out.write("\n".join(lines) + "\n")


def make_tree(root, entries):
    """Creates `root` and entries given as (kind, relative name as str or
    bytes, link target): "dir", "file" (its name as content) or "link"."""
    os.makedirs(root)
    for kind, name, target in entries:
        path = os.path.join(os.fsencode(root), os.fsencode(name))
        if kind == "dir":
            os.mkdir(path)
        elif kind == "link":
            os.symlink(os.fsencode(target), path)
        else:
            with open(path, "wb") as out:
                out.write(os.fsencode(name) + b"\n")


def tree_entries(root):
    """Every entry below `root` as bytes paths, split into (files, folders);
    a link to a folder counts as a folder, as os.walk sees it, and is not entered."""
    files, folders = set(), set()
    for folder, subfolders, names in os.walk(os.fsencode(root)):
        folders.update(os.path.join(folder, n) for n in subfolders)
        files.update(os.path.join(folder, n) for n in names)
    return files, folders


def listed_entries(style, files, folders):
    """The entries the style's preset lists: files and folders by
    show_folders, and with recursive_options 2 no folder whose subtree holds
    no file."""
    shown = style.key("show_folders", 3)
    expected = set(files) if shown & 1 else set()
    if shown & 2:
        expected |= {f for f in folders if not (style.key("recursive_options", 0) & 2)
                     or any(p.startswith(f + b"/") for p in files)}
    return expected


def run_program(program_dir, project):
    """Runs the program on a project file; None on success, else what it said."""
    result = subprocess.run([os.path.join(program_dir, "dirscribe"), project],
                            stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
    if result.returncode == 0:
        return None
    said = result.stderr.decode("utf-8", "replace").strip()
    return "dirscribe exited with %d: %s" % (result.returncode, said or "(nothing said)")


def file_url(path):
    """The file: URL of a bytes path."""
    return "file://" + urllib.parse.quote(os.fsencode(path))


def show(name):
    """A bytes or str name for one output line: control characters and bytes
    that are not UTF-8 written as escapes."""
    if isinstance(name, bytes):
        name = name.decode("utf-8", "backslashreplace")
    return "".join(c if c.isprintable() or c == " " else c.encode("unicode_escape").decode()
                   for c in name)


class Tally:
    """Failure lines and the closing count of passed and failed cases."""

    def __init__(self):
        self.passed = self.failed = 0

    def case(self, title, problems):
        """Prints each problem as "FAIL title: problem" and counts the case."""
        for problem in problems:
            print("FAIL %s: %s" % (title, problem), flush=True)
        if problems:
            self.failed += 1
        else:
            self.passed += 1
            print("ok   %s" % title, flush=True)

    def finish(self):
        """Prints the closing line; the exit status."""
        print("%d passed, %d failed" % (self.passed, self.failed))
        return 1 if self.failed else 0


def start_check(usage):
    """What every check starts with: the program folder named on the command
    line (exits printing `usage` when there is none) and a headless Chromium,
    or None for it after printing why it could not start."""
    if len(sys.argv) != 2:
        sys.exit(usage)
    program_dir = os.path.realpath(sys.argv[1])
    try:
        return program_dir, Browser()
    except CdpError as error:
        print("FAIL %s" % error)
        return program_dir, None
