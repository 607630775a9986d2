#!/usr/bin/env python3
"""Checks the files that tie Dirscribe into the Linux desktop, as installed.

Usage: check-desktop-files.py [--self-test] SHARE_DIR APP_ID SOURCE_DIR FILES_URL [PROGRAM]

SHARE_DIR is an installed "share" folder (or the build's staged copy of one,
build/packaging/share). The checks: every file is there; the desktop entry
passes desktop-file-validate and the AppStream metadata appstreamcli validate;
the entry, the metadata and the icon all carry the identity APP_ID; the icon
is a square, self-contained SVG; the screenshot the metadata names is a
committed PNG under SOURCE_DIR, reached through FILES_URL (where the
repository's files are published); the manual page has no formatting warnings
and names every project key of SOURCE_DIR/README.md and, given the executable
PROGRAM, every option its --help lists.

Prints one line per check and a closing count; exits 1 when any check fails.
With --self-test it damages copies of SHARE_DIR in known ways and verifies
that each damage is caught by the check meant to catch it.
"""

import gzip
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
MAX_ICON_BYTES = 8192


def installed_files(share, app_id):
    """The files an install puts under share/, by what they are."""
    return {
        "desktop entry": f"applications/{app_id}.desktop",
        "AppStream metadata": f"metainfo/{app_id}.metainfo.xml",
        "icon": f"icons/hicolor/scalable/apps/{app_id}.svg",
        "manual page": "man/man1/dirscribe.1.gz",
        "bash completion": "bash-completion/completions/dirscribe",
        "copyright": "doc/dirscribe/copyright",
    }


def tool_problems(command):
    """What a validator printed, one problem per line; nothing when it is content."""
    try:
        run = subprocess.run(command, capture_output=True, text=True, check=False)
    except FileNotFoundError:
        return [f"{command[0]} is not installed (scripts/install-deps.sh installs it)"]
    output = [line for line in (run.stdout + run.stderr).splitlines() if line.strip()]
    if run.returncode != 0:
        return output or [f"{command[0]} exited with {run.returncode}"]
    # appstreamcli ends a clean run with a success line; anything else is a finding.
    return [line for line in output if not line.startswith("✔ Validation was successful")]


def desktop_keys(path):
    keys = {}
    with open(path, encoding="utf-8") as entry:
        for line in entry:
            name, equals, value = line.rstrip("\n").partition("=")
            if equals and not name.startswith("#"):
                keys.setdefault(name, value)
    return keys


def identity_problems(paths, app_id):
    problems = []
    keys = desktop_keys(paths["desktop entry"])
    if keys.get("Icon") != app_id:
        problems.append(f"desktop entry: Icon={keys.get('Icon')}, expected {app_id}")
    if keys.get("Exec", "").split(" ")[0] != "dirscribe":
        problems.append(f"desktop entry: Exec={keys.get('Exec')} does not run dirscribe")
    metadata = ET.parse(paths["AppStream metadata"]).getroot()
    if metadata.findtext("id") != app_id:
        problems.append(f"metadata: id {metadata.findtext('id')}, expected {app_id}")
    launchable = metadata.findtext("launchable")
    if launchable != f"{app_id}.desktop":
        problems.append(f"metadata: launchable {launchable}, expected {app_id}.desktop")
    return problems


def icon_problems(path):
    problems = []
    if os.path.getsize(path) > MAX_ICON_BYTES:
        problems.append(f"{os.path.getsize(path)} bytes, keep it under {MAX_ICON_BYTES}")
    root = ET.parse(path).getroot()
    if root.tag != SVG + "svg":
        return problems + [f"root element {root.tag}, not an SVG root"]
    box = (root.get("viewBox") or "").split()
    if len(box) != 4 or box[2] != box[3]:
        problems.append(f"viewBox {root.get('viewBox')!r} is not square")
    for element in root.iter():
        if element.tag.rsplit("}", 1)[-1] in ("script", "foreignObject", "image"):
            problems.append(f"contains <{element.tag.rsplit('}', 1)[-1]}>")
        for name, value in element.attrib.items():
            if name.rsplit("}", 1)[-1] == "href" and not value.startswith("#"):
                problems.append(f"external reference {value!r}")
    return problems


def screenshot_problems(metadata_path, source_dir, files_url):
    images = [image.text or "" for image in ET.parse(metadata_path).getroot().iter("image")]
    if not images:
        return ["the metadata names no screenshot"]
    problems = []
    base = files_url.rstrip("/") + "/"
    for url in images:
        if not url.startswith(base):
            problems.append(f"{url} is not under {base}")
            continue
        committed = os.path.join(source_dir, url[len(base):])
        if not os.path.isfile(committed):
            problems.append(f"{url}: no file {committed}")
            continue
        with open(committed, "rb") as picture:
            if picture.read(8) != PNG_SIGNATURE:
                problems.append(f"{committed} is not a PNG picture")
    return problems


def readme_project_keys(readme_path):
    """The keys of the project table and of the filter block in the README."""
    with open(readme_path, encoding="utf-8") as readme:
        text = readme.read()
    section = text.split("### The project file", 1)[1].split("\n### ", 1)[0]
    keys = set()
    for line in section.splitlines():
        if line.startswith("| `"):
            keys.update(re.findall(r"`([a-z][a-z_]*)`", line.split("|")[1]))
    filter_block = section.split("The `<filter>` block holds:", 1)[1]
    keys.update(re.findall(r"`([a-z][a-z_]*)`", filter_block))
    return keys


def help_options(program):
    run = subprocess.run([program, "--help"], capture_output=True, text=True, check=False)
    return set(re.findall(r"(?<![\w-])(--?[a-z][a-z-]*)", run.stdout))


def manual_problems(path, source_dir, program):
    run = subprocess.run(["man", "--warnings", "-l", path], capture_output=True, text=True,
                         env=dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8"), check=False)
    problems = [f"man: {line}" for line in run.stderr.splitlines()]
    if run.returncode != 0 or not run.stdout.strip():
        problems.append(f"man could not format the page (exit {run.returncode})")
    with gzip.open(path, "rt", encoding="utf-8") as page:
        source = page.read()
    words = set(re.findall(r"[a-z][a-z_]*", source))
    for key in sorted(readme_project_keys(os.path.join(source_dir, "README.md"))):
        if key not in words:
            problems.append(f"the project key {key} is not described")
    if program:
        # Options are written with escaped hyphens in the page's source.
        for option in sorted(help_options(program)):
            if option.replace("-", "\\-") not in source:
                problems.append(f"the option {option} of --help is not described")
    return problems


def run_checks(share, app_id, source_dir, files_url, program, out=sys.stdout):
    """Runs every check, printing one line each; returns the titles of those that failed."""
    paths = {what: os.path.join(share, name) for what, name in installed_files(share, app_id).items()}
    missing = [f"{what}: no {path}" for what, path in paths.items() if not os.path.isfile(path)]
    checks = [("every file is installed", lambda: missing)]
    if not missing:
        checks += [
            ("the desktop entry is valid",
             lambda: tool_problems(["desktop-file-validate", paths["desktop entry"]])),
            ("the AppStream metadata is valid",
             lambda: tool_problems(["appstreamcli", "validate", "--no-net", "--no-color",
                                    paths["AppStream metadata"]])),
            ("entry, metadata and icon name one identity",
             lambda: identity_problems(paths, app_id)),
            ("the icon is a square, self-contained SVG", lambda: icon_problems(paths["icon"])),
            ("the screenshot is a committed picture",
             lambda: screenshot_problems(paths["AppStream metadata"], source_dir, files_url)),
            ("the manual page formats cleanly and covers the keys and options",
             lambda: manual_problems(paths["manual page"], source_dir, program)),
        ]
    failed = []
    for title, check in checks:
        problems = check()
        print(f"{'FAIL' if problems else 'ok  '} {title}", file=out)
        for problem in problems:
            print(f"     {problem}", file=out)
        if problems:
            failed.append(title)
    print(f"{len(checks) - len(failed)} passed, {len(failed)} failed", file=out)
    return failed


# Damages the self-test makes to a copy of the share folder: the file (below
# share/, "{id}" for the identity), the text replaced in it (None: the whole
# file), its replacement, and the check that must then fail.
DAMAGES = [
    ("applications/{id}.desktop", "Type=Application", "Type=Program",
     "the desktop entry is valid"),
    ("applications/{id}.desktop", "Icon={id}", "Icon=dirscribe",
     "entry, metadata and icon name one identity"),
    ("applications/{id}.desktop", "Exec=dirscribe", "Exec=other",
     "entry, metadata and icon name one identity"),
    ("metainfo/{id}.metainfo.xml", "folder trees</summary>", "folder trees.</summary>",
     "the AppStream metadata is valid"),
    ("metainfo/{id}.metainfo.xml", "<launchable type=\"desktop-id\">{id}",
     "<launchable type=\"desktop-id\">other", "entry, metadata and icon name one identity"),
    ("metainfo/{id}.metainfo.xml", "main-window.png", "missing.png",
     "the screenshot is a committed picture"),
    ("metainfo/{id}.metainfo.xml", "main-window.png", "../README.md",
     "the screenshot is a committed picture"),
    ("icons/hicolor/scalable/apps/{id}.svg", "viewBox=\"0 0 128 128\"",
     "viewBox=\"0 0 128 96\"", "the icon is a square, self-contained SVG"),
    ("icons/hicolor/scalable/apps/{id}.svg", "<title>",
     "<image href=\"https://example.org/a.png\"/><title>",
     "the icon is a square, self-contained SVG"),
    ("man/man1/dirscribe.1.gz", ".SH NAME", ".SH NAME\n.BOGUS",
     "the manual page formats cleanly and covers the keys and options"),
    ("man/man1/dirscribe.1.gz", "recursion_depth", "recursion depth",
     "the manual page formats cleanly and covers the keys and options"),
    ("man/man1/dirscribe.1.gz", "\\-\\-version", "\\-\\-ver",
     "the manual page formats cleanly and covers the keys and options"),
    ("bash-completion/completions/dirscribe", None, None, "every file is installed"),
]


def damage(path, old, new):
    """Replaces every `old` by `new` in the file at `path` (gzip-compressed when
    it ends in .gz), or removes the file when `old` is None. False when `old` is
    absent."""
    if old is None:
        os.remove(path)
        return True
    opener = gzip.open if path.endswith(".gz") else open
    with opener(path, "rt", encoding="utf-8") as file:
        text = file.read()
    if old not in text:
        return False
    with opener(path, "wt", encoding="utf-8") as file:
        file.write(text.replace(old, new))
    return True


def self_test(share, app_id, source_dir, files_url, program):
    """Checks that the undamaged share folder passes and each damage is caught."""
    import io
    import shutil
    import tempfile

    failures = []
    if run_checks(share, app_id, source_dir, files_url, program, io.StringIO()):
        failures.append("the undamaged files do not pass")
    for name, old, new, expected in DAMAGES:
        name = name.replace("{id}", app_id)
        if old is not None:
            old, new = old.replace("{id}", app_id), new.replace("{id}", app_id)
        with tempfile.TemporaryDirectory() as temporary:
            copy = os.path.join(temporary, "share")
            shutil.copytree(share, copy)
            if not damage(os.path.join(copy, name), old, new):
                failures.append(f"{name}: no {old!r} to damage")
                continue
            failed = run_checks(copy, app_id, source_dir, files_url, program, io.StringIO())
            if failed != [expected]:
                failures.append(f"{name}: {old!r} -> {new!r} failed {failed}, expected [{expected!r}]")
    for failure in failures:
        print(f"FAIL {failure}")
    cases = len(DAMAGES) + 1
    print(f"{cases - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


def main(argv):
    arguments = [argument for argument in argv[1:] if argument != "--self-test"]
    if len(arguments) not in (4, 5):
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    share, app_id, source_dir, files_url = arguments[:4]
    program = arguments[4] if len(arguments) == 5 else ""
    if "--self-test" in argv:
        return self_test(share, app_id, source_dir, files_url, program)
    return 1 if run_checks(share, app_id, source_dir, files_url, program) else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
