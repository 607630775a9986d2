#!/usr/bin/env python3
"""Checks that no C++ function under a folder is longer than a limit.

Usage: check-function-length.py SRC_DIR [MAX_LINES]   (default 80)

A function is a brace block, outside any other function, whose opening brace
follows a closing parenthesis (and perhaps const, noexcept, override, a
trailing return type): free functions, member functions defined in a class
or out of it, constructors. Lambdas and local blocks count as part of the
function around them. Its length is the number of lines from the line of its
opening brace to the line of its closing one. Prints one line per function
over the limit and a closing count; exits 1 when there is any.
"""
import pathlib
import re
import sys

SOURCE_SUFFIXES = {".h", ".cpp", ".hpp", ".cc"}
NOT_CODE = re.compile(
    r'//[^\n]*|/\*.*?\*/|R"([^(\s]*)\(.*?\)\1"|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'',
    re.DOTALL)
# What may stand between a function's parameter list and its body.
AFTER_PARAMETERS = re.compile(
    r"\)\s*(?:(?:const|noexcept|override|final|mutable|&|&&)\s*|->\s*[\w:<>,\s*&]+)*$")
CONTROL = re.compile(r"(?:^|[^\w])(?:if|for|while|switch|catch)\s*\($")
NAME_BEFORE = re.compile(r"([~\w:]+(?:\s*<[^<>]*>)?|operator\s*\S+)\s*\($")


def is_function_head(head):
    """Whether the code before an opening brace ends a function's signature."""
    head = head.strip()
    match = AFTER_PARAMETERS.search(head)
    if not match:
        return False
    # Find the parenthesis that opens the parameter list.
    depth = 0
    for index in range(match.start(), -1, -1):
        if head[index] == ")":
            depth += 1
        elif head[index] == "(":
            depth -= 1
            if depth == 0:
                before = head[:index + 1]
                if CONTROL.search(before) or before.rstrip("(").rstrip().endswith(("=", "return", ",")):
                    return False
                return bool(NAME_BEFORE.search(before))
    return False


def long_functions(src, limit):
    """Yields (path, line, length) for every function longer than `limit`."""
    for path in sorted(src.rglob("*")):
        if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        code = NOT_CODE.sub(lambda m: " " * 0 + "\n" * m.group(0).count("\n"), text)
        code = re.sub(r"^\s*#.*$", "", code, flags=re.MULTILINE)
        stack = []  # (is_function, opening line)
        statement_start = 0
        for index, char in enumerate(code):
            if char == "{":
                inside_function = any(kind for kind, _ in stack)
                head = code[statement_start:index]
                function = not inside_function and is_function_head(head)
                stack.append((function, code.count("\n", 0, index) + 1))
                statement_start = index + 1
            elif char == "}":
                if stack:
                    function, opened = stack.pop()
                    closed = code.count("\n", 0, index) + 1
                    if function and closed - opened + 1 > limit:
                        yield path.relative_to(src.parent), opened, closed - opened + 1
                statement_start = index + 1
            elif char == ";":
                statement_start = index + 1


def main(argv):
    if len(argv) not in (2, 3):
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    limit = int(argv[2]) if len(argv) == 3 else 80
    found = list(long_functions(pathlib.Path(argv[1]), limit))
    for path, line, length in found:
        print(f"{path}:{line}: function of {length} lines (at most {limit})")
    print(f"{len(found)} function(s) over {limit} lines")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
