#!/usr/bin/env python3
"""Checks the extension table (ext.txt) and the entry icons of a data folder.

Usage: check-ext.py [--self-test] [DATA_DIR]   (default: the data folder next
to this script). With --self-test it damages copies of DATA_DIR in known ways
and verifies that each damage is caught.

The program's own markup reader is more forgiving than XML and silently skips
what it does not understand, so a typo in ext.txt would only show up as a
missing type text in some listing. This script makes such mistakes loud: it
checks the table's structure, the exact form of every entry, the keys, and
that every icon the table names is a small, self-contained SVG file.
Exits 0 when every check passes, 1 otherwise.
"""

import os
import re
import sys
import xml.etree.ElementTree as ET

MIN_EXTENSIONS = 150
# Kinds every lookup can fall back to: "folder" and "other" are asked for by
# name, the rest are the major content types most unlisted files map to.
REQUIRED_KINDS = ("folder", "other", "text", "image", "audio", "video", "application")
MAX_ICON_BYTES = 2048
SVG_ROOT = "{http://www.w3.org/2000/svg}svg"

ENTRY_NAME = re.compile(r"_[0-9]")
# A raw entry tag as the program's lexer sees it: it ends at the first ">",
# whatever quotes are open, so a ">" inside a value would cut the tag short.
RAW_ENTRY_TAG = re.compile(r"<(_[0-9][^\s/>]*)([^>]*)>")
RAW_ATTRIBUTE = re.compile(r'\s+([A-Za-z_][\w.-]*)="([^"<>]*)"')
COMMENT = re.compile(r"<!--.*?-->", re.S)


class Checker:
    def __init__(self, out):
        self.out = out
        self.passed = 0
        self.failed = []  # titles of the failed checks

    def check(self, title, problems):
        """Records one named check; problems is a list of texts, empty when it passed."""
        if problems:
            self.failed.append(title)
            print(f"FAIL {title}", file=self.out)
            for problem in problems[:20]:
                print(f"     {problem}", file=self.out)
            if len(problems) > 20:
                print(f"     ... and {len(problems) - 20} more", file=self.out)
        else:
            self.passed += 1
            print(f"ok   {title}", file=self.out)

    def summary(self):
        print(f"{self.passed} passed, {len(self.failed)} failed", file=self.out)
        return self


def is_entry(element):
    return ENTRY_NAME.match(element.tag) is not None


def collect_entries(section):
    """Returns (entries, stray): entry elements in document order, and leaf
    elements that are not entries (which the program would skip silently)."""
    entries, stray = [], []
    for element in section.iter():
        if element is section:
            continue
        if is_entry(element):
            entries.append(element)
        elif len(element) == 0:
            stray.append(element)
    return entries, stray


def entry_problems(entries, what):
    problems = []
    for e in entries:
        label = f"{what} <{e.tag} name={e.get('name')!r}>"
        if len(e) or (e.text or "").strip():
            problems.append(f"{label}: has content; only empty entries count")
        for attribute in ("name", "icon", "type"):
            if not (e.get(attribute) or "").strip():
                problems.append(f"{label}: missing or empty '{attribute}'")
        extra = set(e.attrib) - {"name", "icon", "type"}
        if extra:
            problems.append(f"{label}: unknown attributes {sorted(extra)}")
    return problems


def extension_key_problems(key):
    if not key:
        return []  # reported with the missing attributes
    if not key.startswith(".") or len(key) < 2:
        return [f"{key!r}: an extension key is a dot followed by the extension"]
    if key != key.lower():
        return [f"{key!r}: lookups lower-case the extension, so this key never matches"]
    if "." in key[1:]:
        return [f"{key!r}: a name's extension starts at its last dot, so this key never matches"]
    if re.search(r"[\s/]", key):
        return [f"{key!r}: blank or slash in an extension"]
    return []


def duplicate_problems(entries, what):
    seen, problems = {}, []
    for e in entries:
        key = e.get("name")
        if key in seen:
            problems.append(f"{what} key {key!r} in <{seen[key]}> and again in <{e.tag}>")
        else:
            seen[key] = e.tag
    return problems


def raw_form_problems(text, expected_count):
    """Checks the entries as written, which xml.etree cannot show: the
    self-closing form, double-quoted values, no end tags."""
    text = COMMENT.sub("", text)
    problems = []
    tags = RAW_ENTRY_TAG.findall(text)
    for name, rest in tags:
        if not rest.rstrip().endswith("/"):
            problems.append(f"<{name}{rest}>: not self-closing (or a '>' inside a value)")
            continue
        body = rest.rstrip()[:-1]
        leftover = RAW_ATTRIBUTE.sub("", body).strip()
        if leftover:
            problems.append(f"<{name}{rest}>: value not in double quotes or stray text {leftover!r}")
    for end_tag in re.findall(r"</_[0-9][^>]*>", text):
        problems.append(f"{end_tag}: entries must not have end tags")
    if len(tags) != expected_count:
        problems.append(f"{len(tags)} entry tags in the text, {expected_count} entries parsed")
    return problems


def icon_problems(images_dir, icon):
    if "/" in icon or "\\" in icon or icon.startswith("."):
        return [f"{icon!r}: must be a plain file name in the images folder"]
    path = os.path.join(images_dir, icon)
    if not os.path.isfile(path):
        return [f"{icon}: missing from {images_dir}"]
    problems = []
    size = os.path.getsize(path)
    if size >= MAX_ICON_BYTES:
        problems.append(f"{icon}: {size} bytes, keep it under {MAX_ICON_BYTES}")
    try:
        root = ET.parse(path).getroot()
    except ET.ParseError as error:
        return problems + [f"{icon}: not valid XML ({error})"]
    if root.tag != SVG_ROOT:
        problems.append(f"{icon}: root element is {root.tag}, not an SVG root")
    if root.get("viewBox") != "0 0 24 24":
        problems.append(f"{icon}: viewBox is {root.get('viewBox')!r}, not '0 0 24 24'")
    for element in root.iter():
        local = element.tag.rsplit("}", 1)[-1]
        if local in ("script", "foreignObject", "image", "use"):
            problems.append(f"{icon}: contains <{local}>")
        for attribute, value in element.attrib.items():
            name = attribute.rsplit("}", 1)[-1]
            if name.lower().startswith("on"):
                problems.append(f"{icon}: event handler attribute {name}")
            external_href = name == "href" and not value.startswith("#")
            external_url = "url(" in value and "url(#" not in value
            if external_href or external_url:
                problems.append(f"{icon}: external reference {name}={value!r}")
    return problems


def check_data(data_dir, out=sys.stdout):
    """Runs every check on one data folder; returns the Checker with the results."""
    table = os.path.join(data_dir, "ext.txt")
    images_dir = os.path.join(data_dir, "images")
    checker = Checker(out)

    try:
        with open(table, encoding="utf-8") as f:
            text = f.read()
        root = ET.fromstring(text)
    except (OSError, UnicodeDecodeError, ET.ParseError) as error:
        checker.check(f"{table} reads as well-formed UTF-8 markup", [str(error)])
        return checker.summary()
    checker.check("ext.txt reads as well-formed UTF-8 markup", [])

    structure = []
    if root.tag != "ext":
        structure.append(f"root element is <{root.tag}>, not <ext>")
    sections = {}
    for name in ("extensions", "types"):
        found = root.findall(name)
        if len(found) != 1:
            structure.append(f"expected one <{name}> under the root, found {len(found)}")
        else:
            sections[name] = found[0]
    checker.check("root <ext> holds one <extensions> and one <types>", structure)
    if len(sections) != 2:
        return checker.summary()

    extensions, stray_e = collect_entries(sections["extensions"])
    kinds, stray_k = collect_entries(sections["types"])
    checker.check(
        "no stray elements that the program would skip",
        [f"<{e.tag}> is not named _<digit>... and would be ignored" for e in stray_e + stray_k],
    )
    checker.check(
        "every entry is empty and has name, icon and type",
        entry_problems(extensions, "extension") + entry_problems(kinds, "kind"),
    )
    checker.check(
        "entries are written self-closing with quoted values",
        raw_form_problems(text, len(extensions) + len(kinds)),
    )

    checker.check(
        "extension keys are lower case and start with a dot",
        [p for e in extensions for p in extension_key_problems(e.get("name") or "")],
    )
    checker.check(
        "kind keys are lower-case words without a dot or slash",
        [
            f"{e.get('name')!r}"
            for e in kinds
            if e.get("name") and not re.fullmatch(r"[a-z][a-z0-9+-]*", e.get("name"))
        ],
    )
    checker.check(
        "no duplicate keys",
        duplicate_problems(extensions, "extension") + duplicate_problems(kinds, "kind"),
    )
    checker.check(
        f"at least {MIN_EXTENSIONS} extensions",
        [] if len(extensions) >= MIN_EXTENSIONS else [f"only {len(extensions)} extensions"],
    )
    kind_names = {e.get("name") for e in kinds}
    checker.check(
        "fallback kinds present: " + ", ".join(REQUIRED_KINDS),
        [f"kind {k!r} missing" for k in REQUIRED_KINDS if k not in kind_names],
    )

    icons = sorted({e.get("icon") for e in extensions + kinds if e.get("icon")})
    problems = []
    for icon in icons:
        problems += icon_problems(images_dir, icon)
    checker.check(f"all {len(icons)} icons exist and are small self-contained SVG files", problems)

    print(f"{len(extensions)} extensions, {len(kinds)} kinds, {len(icons)} icons", file=out)
    return checker.summary()


# Self-test: each case damages a copy of the data folder in one way and names
# the check that must catch it, so a checker that silently passes bad tables
# is found. (file, pattern, replacement, part of the title of the check that
# must fail, or None when every check must still pass.) A pattern of None
# replaces the whole file.
E = re.escape
BAD_SVG = '<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 24 24"><script>x</script></svg>'
SELF_TEST_CASES = [
    ("ext.txt", E('name=".pdf"'), 'name=".PDF"', "extension keys are lower case"),
    ("ext.txt", E('name=".tar"'), 'name=".tar.gz"', "extension keys are lower case"),
    ("ext.txt", E('name=".tar"'), 'name="tar"', "extension keys are lower case"),
    ("ext.txt", E('name=".docx"'), 'name=".pdf"', "no duplicate keys"),
    ("ext.txt", E('name="audio"'), 'name="video"', "no duplicate keys"),
    ("ext.txt", r'(<(_\d+)\s+name="\.pdf"[^>]*?)\s*/>', r"\1></\2>", "self-closing"),
    ("ext.txt", E('type="PDF document"'), 'type="PDF &gt; document"', None),
    ("ext.txt", E('type="PDF document"'), 'type="PDF > document"', "self-closing"),
    ("ext.txt", E('type="PDF document"'), "type='PDF document'", "self-closing"),
    ("ext.txt", E('type="PDF document"'), 'type=""', "name, icon and type"),
    ("ext.txt", E('icon="pdf.svg"'), "", "name, icon and type"),
    ("ext.txt", r'<_\d+(\s+name="other")', r"<x2\1", "fallback kinds"),
    ("ext.txt", r'<_\d+(\s+name="folder")', r"<a1\1", "no stray elements"),
    ("ext.txt", r"(?s)<types>(.*)</types>", r"<kinds>\1</kinds>", "one <extensions> and one <types>"),
    ("ext.txt", E("<ext>"), "<ext", "well-formed"),
    ("ext.txt", E('icon="pdf.svg"'), 'icon="missing.svg"', "icons exist"),
    ("ext.txt", E('icon="pdf.svg"'), 'icon="../ext.txt"', "icons exist"),
    ("images/pdf.svg", E("<svg "), '<svg onload="x" ', "icons exist"),
    ("images/pdf.svg", E('viewBox="0 0 24 24"'), 'viewBox="0 0 48 48"', "icons exist"),
    ("images/pdf.svg", None, BAD_SVG, "icons exist"),
    ("images/pdf.svg", None, "<html/>", "icons exist"),
    ("images/pdf.svg", None, "<svg", "icons exist"),
]


def self_test(data_dir):
    import io
    import shutil
    import tempfile

    failures = 0
    with tempfile.TemporaryDirectory() as temp:
        copy = os.path.join(temp, "data")
        for number, (name, old, new, expected) in enumerate(SELF_TEST_CASES, 1):
            shutil.rmtree(copy, ignore_errors=True)
            shutil.copytree(data_dir, copy)
            path = os.path.join(copy, name)
            with open(path, encoding="utf-8") as f:
                text = f.read()
            if old is None:
                text = new
            else:
                text, count = re.subn(old, new, text, count=1)
                if count == 0:
                    print(f"FAIL case {number}: {old!r} not found in {name}")
                    failures += 1
                    continue
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
            report = io.StringIO()
            result = check_data(copy, report)
            caught = [t for t in result.failed if expected and expected in t]
            ok = bool(caught) if expected else not result.failed
            label = f"case {number}: {name}: {old!r} -> {new[:60]!r}"
            if ok:
                print(f"ok   {label}")
            else:
                failures += 1
                want = f"check '{expected}' to fail" if expected else "every check to pass"
                print(f"FAIL {label}: expected {want}, failed: {result.failed}")
                print(report.getvalue())
    print(f"{len(SELF_TEST_CASES) - failures} passed, {failures} failed")
    return 1 if failures else 0


def main(argv):
    args = argv[1:]
    testing = "--self-test" in args
    args = [a for a in args if a != "--self-test"]
    here = os.path.dirname(os.path.abspath(__file__))
    data_dir = args[0] if args else os.path.join(here, "..", "data")
    if testing:
        return self_test(data_dir)
    return 1 if check_data(data_dir).failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
