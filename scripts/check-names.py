#!/usr/bin/env python3
"""Checks that no C++ name or file name under a folder carries an old prefix.

Usage: check-names.py SRC_DIR

The code names things by what they are (`tagged_value`, `phrase_table`,
`template_parser`), never by a prefix that needs a glossary. A file name, or
an identifier outside comments and string literals, that starts with one of
the retired prefixes (qx, dsc, win_, in any case) is an error. Public names
the user sees live in strings and data files and are not checked here.
Prints one line per offence and a closing count; exits 1 when there is any.
"""
import pathlib
import re
import sys

RETIRED = re.compile(r"^(qx|dsc|win_)", re.IGNORECASE)
IDENTIFIER = re.compile(r"[A-Za-z_][A-Za-z0-9_]*")
SOURCE_SUFFIXES = {".h", ".cpp", ".hpp", ".cc", ".in"}
# Comments, string and character literals (raw strings included), dropped
# before identifiers are read.
NOT_CODE = re.compile(
    r'//[^\n]*|/\*.*?\*/|R"([^(\s]*)\(.*?\)\1"|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'',
    re.DOTALL)


def offences(src):
    """Yields (path, line, name) for every retired name under `src`."""
    for path in sorted(src.rglob("*")):
        relative = path.relative_to(src.parent)
        if RETIRED.match(path.name):
            yield relative, 0, path.name
        if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        code = NOT_CODE.sub(lambda m: "\n" * m.group(0).count("\n"), text)
        for match in IDENTIFIER.finditer(code):
            if RETIRED.match(match.group(0)):
                yield relative, code.count("\n", 0, match.start()) + 1, match.group(0)


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    found = list(offences(pathlib.Path(argv[1])))
    for path, line, name in found:
        print(f"{path}:{line}: retired prefix in `{name}`")
    print(f"{len(found)} name(s) with a retired prefix")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
