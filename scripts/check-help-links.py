#!/usr/bin/env python3
"""Checks the links of the help pages.

Usage: check-help-links.py [--self-test] [DATA_DIR]   (default: the data folder
next to this script).

The pages are data/help.html, data/support.html and every .html file under
data/help. Every local href and src (anything but http:, https:, mailto: and
the like) must name a file that exists, relative to the page that holds it;
a link with a #fragment must also find that fragment as an id (or an <a name>)
in the target page. Each broken link is printed as
"page: line N: link: reason". Exits 1 when any link is broken, 0 otherwise.

Each page is also checked for being well-formed enough: every element that
needs an end tag (html, head, body, main, nav, div, table, ul, ol, dl, pre,
p, a, code and the like) is closed, in order; no block (a list, a table, a
pre) is opened inside a paragraph, where a browser would cut the paragraph
short; ids are unique; and the page has a title. Such problems are printed
the same way and count as failures.

With --self-test it builds a temporary folder with one good link, one link to
a missing file and one link to a missing fragment, and checks that exactly
the two broken ones are reported; then a page with a list inside a paragraph
and an element never closed, and checks that exactly those two are reported.
"""

import html.parser
import os
import sys
import tempfile
import urllib.parse

# Schemes that leave the local pages; not followed.
EXTERNAL_SCHEMES = ("http", "https", "mailto", "ftp", "tel", "data", "javascript")
# Elements that never have an end tag.
VOID_ELEMENTS = {
    "area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta",
    "source", "track", "wbr",
}
# Elements whose end tag may be left out; their balance is not checked.
OPTIONAL_END = {"li", "dt", "dd", "tr", "td", "th", "thead", "tbody", "tfoot", "option"}
# Elements that end an open paragraph when they start.
BLOCK_ELEMENTS = {
    "address", "article", "aside", "blockquote", "details", "div", "dl", "fieldset",
    "figure", "footer", "form", "h1", "h2", "h3", "h4", "h5", "h6", "header", "hr",
    "main", "nav", "ol", "p", "pre", "section", "table", "ul",
}
# Attributes that hold a link, by element.
LINK_ATTRIBUTES = {"href", "src"}


class Page(html.parser.HTMLParser):
    """One parsed page: its links with their lines, its ids, and the problems
    of its structure."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links = []  # (line, attribute value)
        self.ids = set()
        self.problems = []  # (line, text)
        self.stack = []  # (tag, line) of open elements that need an end tag
        self.title_seen = False
        self._in_title = False
        self._title_text = ""

    def handle_starttag(self, tag, attrs):
        line = self.getpos()[0]
        for name, value in attrs:
            if name in LINK_ATTRIBUTES and value is not None:
                self.links.append((line, value))
            if name == "id" or (tag == "a" and name == "name"):
                if value in self.ids and name == "id":
                    self.problems.append((line, f'id "{value}" is used twice'))
                self.ids.add(value)
        if tag == "title":
            self._in_title = True
        if tag in BLOCK_ELEMENTS:
            for open_tag, open_line in reversed(self.stack):
                if open_tag == "p":
                    self.problems.append(
                        (line, f"<{tag}> inside the paragraph of line {open_line}"))
                    break
                if open_tag in BLOCK_ELEMENTS:
                    break
        if tag in VOID_ELEMENTS:
            return
        if tag in OPTIONAL_END:
            # An open optional element is closed by the next one of its kind
            # or by its parent's end; keep it off the stack.
            return
        self.stack.append((tag, line))

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        if tag not in VOID_ELEMENTS and tag not in OPTIONAL_END and self.stack:
            self.stack.pop()

    def handle_endtag(self, tag):
        line = self.getpos()[0]
        if tag == "title":
            self._in_title = False
            self.title_seen = bool(self._title_text.strip())
        if tag in VOID_ELEMENTS or tag in OPTIONAL_END:
            return
        if not self.stack:
            self.problems.append((line, f"</{tag}> closes nothing"))
            return
        open_tag, open_line = self.stack[-1]
        if open_tag == tag:
            self.stack.pop()
            return
        if any(t == tag for t, _ in self.stack):
            self.problems.append(
                (line, f"</{tag}> while <{open_tag}> of line {open_line} is still open"))
            while self.stack and self.stack[-1][0] != tag:
                self.stack.pop()
            self.stack.pop()
        else:
            self.problems.append((line, f"</{tag}> closes nothing"))

    def handle_data(self, data):
        if self._in_title:
            self._title_text += data

    def finish(self):
        self.close()
        for tag, line in self.stack:
            self.problems.append((line, f"<{tag}> is never closed"))
        if not self.title_seen:
            self.problems.append((1, "the page has no title"))


def parse_page(path):
    page = Page()
    with open(path, encoding="utf-8") as stream:
        page.feed(stream.read())
    page.finish()
    return page


def help_pages(data_dir):
    """The pages to check, as paths, in a stable order."""
    pages = []
    for name in ("help.html", "support.html"):
        path = os.path.join(data_dir, name)
        if os.path.isfile(path):
            pages.append(path)
    help_dir = os.path.join(data_dir, "help")
    for root, folders, files in os.walk(help_dir):
        folders.sort()
        for name in sorted(files):
            if name.endswith(".html"):
                pages.append(os.path.join(root, name))
    return pages


def is_external(link):
    scheme = urllib.parse.urlsplit(link).scheme.lower()
    return scheme in EXTERNAL_SCHEMES or link.startswith("//")


def check(data_dir, out):
    """Prints every broken link and structure problem; returns their number."""
    pages = help_pages(data_dir)
    if not pages:
        print(f"{data_dir}: no help pages found", file=out)
        return 1
    parsed = {}

    def page_of(path):
        key = os.path.realpath(path)
        if key not in parsed:
            parsed[key] = parse_page(path)
        return parsed[key]

    broken = 0
    for path in pages:
        shown = os.path.relpath(path, data_dir)
        page = page_of(path)
        for line, text in page.problems:
            print(f"{shown}: line {line}: {text}", file=out)
            broken += 1
        for line, link in page.links:
            if is_external(link):
                continue
            parts = urllib.parse.urlsplit(link)
            if parts.scheme:
                print(f"{shown}: line {line}: {link}: unknown scheme", file=out)
                broken += 1
                continue
            target_path = urllib.parse.unquote(parts.path)
            if target_path == "":
                target = path
            elif target_path.startswith("/"):
                print(f"{shown}: line {line}: {link}: absolute path, not relative", file=out)
                broken += 1
                continue
            else:
                target = os.path.normpath(os.path.join(os.path.dirname(path), target_path))
            if not os.path.isfile(target):
                print(f"{shown}: line {line}: {link}: no such file", file=out)
                broken += 1
                continue
            fragment = urllib.parse.unquote(parts.fragment)
            if fragment and target.endswith((".html", ".htm")):
                if fragment not in page_of(target).ids:
                    print(f"{shown}: line {line}: {link}: no id \"{fragment}\" in "
                          f"{os.path.relpath(target, data_dir)}", file=out)
                    broken += 1
    print(f"{len(pages)} pages checked, {broken} problem(s)", file=out)
    return broken


def self_test():
    """A folder with one good link, one to a missing file and one to a missing
    fragment: exactly the two broken ones must be reported."""
    import io

    head = '<!DOCTYPE html><html lang="en"><head><meta charset="utf-8"><title>t</title></head>'
    with tempfile.TemporaryDirectory() as folder:
        os.makedirs(os.path.join(folder, "help"))
        with open(os.path.join(folder, "help.html"), "w", encoding="utf-8") as page:
            page.write(head + '<body><main>\n'
                       '<a href="help/a.html#here">good</a>\n'
                       '<a href="help/missing.html">missing file</a>\n'
                       '<a href="help/a.html#nowhere">missing fragment</a>\n'
                       '<a href="https://example.org/x.html">external</a>\n'
                       '</main></body></html>\n')
        with open(os.path.join(folder, "help", "a.html"), "w", encoding="utf-8") as page:
            page.write(head + '<body><main><h1 id="here">A</h1>'
                       '<a href="../help.html">back</a></main></body></html>\n')
        report = io.StringIO()
        found = check(folder, report)
    failed = compare("links", found, report.getvalue(), [
        "help.html: line 3: help/missing.html: no such file",
        'help.html: line 4: help/a.html#nowhere: no id "nowhere" in help/a.html',
    ])

    # The structure checks: a list inside a paragraph and a div never closed.
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "help.html"), "w", encoding="utf-8") as page:
            page.write(head + '<body><main>\n'
                       '<p>Text\n'
                       '<ul><li>item</li></ul></p>\n'
                       '<div class="note">\n'
                       '</main></body></html>\n')
        report = io.StringIO()
        found = check(folder, report)
    failed += compare("structure", found, report.getvalue(), [
        "help.html: line 3: <ul> inside the paragraph of line 2",
        "help.html: line 5: </main> while <div> of line 4 is still open",
    ])
    return 1 if failed else 0


def compare(part, found, report, expected):
    """0 when `report` lists exactly the `expected` problems, else 1 (printed)."""
    lines = [line for line in report.splitlines() if ": line " in line]
    if found == len(expected) and lines == expected:
        print(f"self-test {part}: passed, exactly the {len(expected)} planted problems found")
        return 0
    print(f"self-test {part}: FAILED; expected:")
    for line in expected:
        print(f"  {line}")
    print(f"got {found} problem(s):")
    for line in report.splitlines():
        print(f"  {line}")
    return 1


def main(argv):
    args = argv[1:]
    if "--self-test" in args:
        return self_test()
    if len(args) > 1 or any(a.startswith("-") for a in args):
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    data_dir = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                 os.pardir, "data")
    data_dir = os.path.normpath(data_dir)
    return 1 if check(data_dir, sys.stdout) else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
