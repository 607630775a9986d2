#!/usr/bin/env python3
"""Checks that the bundled styles' colours meet WCAG AA contrast in both
colour schemes.

Usage: check-contrast.py [--self-test] TEMPLATE...

For each template it reads the style sheet: the custom properties of :root
(the light scheme) and of :root inside @media (prefers-color-scheme: dark),
and every rule outside @media print. Each colour a rule gives text (color:)
must reach 4.5:1 against each colour any rule gives a background, the page's
own included, in both schemes; each border colour of a form field (a rule
naming input, button or select) must reach 3:1 against those backgrounds, so
the field can be seen. Every pairing is checked, not only those that meet on
the page, which is stricter but needs no rendering. Colours are #rgb or
#rrggbb, written directly or through var(--name); opacity below 1 is refused,
since it would change every contrast under it. Prints one line per fault and
exits 1 when there is any. --self-test checks the checker on known cases.
"""
import re
import sys

TEXT_RATIO = 4.5
FIELD_RATIO = 3.0
FIELD_SELECTOR = re.compile(r"\b(input|button|select|textarea)\b")


def channel(value):
    """The linear value of one sRGB channel, 0 to 255."""
    c = value / 255
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


def luminance(hex_colour):
    digits = hex_colour.lstrip("#")
    if len(digits) == 3:
        digits = "".join(d * 2 for d in digits)
    r, g, b = (int(digits[i:i + 2], 16) for i in (0, 2, 4))
    return 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b)


def contrast(first, second):
    """The WCAG contrast ratio of two #rgb or #rrggbb colours."""
    a, b = sorted((luminance(first), luminance(second)), reverse=True)
    return (a + 0.05) / (b + 0.05)


def blocks(css):
    """(prelude, body) of the top-level blocks of a style sheet; a body that
    holds blocks itself (an @media) stays whole, to be split again."""
    out, depth, start, prelude_start = [], 0, 0, 0
    for i, c in enumerate(css):
        if c == "{":
            if depth == 0:
                start = i + 1
                prelude = css[prelude_start:i].strip()
            depth += 1
        elif c == "}":
            depth -= 1
            if depth == 0:
                out.append((prelude, css[start:i]))
                prelude_start = i + 1
    return out


def declarations(body):
    """name -> value of a rule's declarations."""
    result = {}
    for part in body.split(";"):
        name, colon, value = part.partition(":")
        if colon:
            result[name.strip().lower()] = value.strip()
    return result


def style_sheet(html):
    match = re.search(r"<style>(.*?)</style>", html, re.S)
    if not match:
        return None
    css = re.sub(r"/\*.*?\*/", "", match.group(1), flags=re.S)
    # Data URLs (the icons) may hold anything; no colour of text is in them.
    return re.sub(r'url\("[^"]*"\)', "url()", css)


def read_rules(css):
    """(light properties, dark properties, rules), rules being (selector,
    declarations) outside print and the colour-scheme blocks."""
    light, dark, rules = {}, {}, []
    for prelude, body in blocks(css):
        if prelude.startswith("@property"):
            continue
        if prelude.startswith("@media"):
            if "print" in prelude:
                continue
            inner = blocks(body)
            if "prefers-color-scheme: dark" in prelude:
                for selector, inner_body in inner:
                    if selector == ":root":
                        dark.update(declarations(inner_body))
                    else:
                        rules.append((selector, declarations(inner_body)))
                continue
            rules.extend((selector, declarations(b)) for selector, b in inner)
            continue
        decls = declarations(body)
        if prelude == ":root":
            light.update(decls)
        rules.append((prelude, decls))
    return light, dark, rules


def resolve(value, properties):
    """The #colour a value stands for, "" for one that sets none (inherit,
    currentColor, a gradient-free none), or None for one the check cannot read."""
    value = value.strip().lower()
    for _ in range(8):
        var = re.fullmatch(r"var\((--[\w-]+)\)", value)
        if not var:
            break
        value = properties.get(var.group(1), "").strip().lower()
    if re.fullmatch(r"#[0-9a-f]{3}|#[0-9a-f]{6}", value):
        return value
    if value in ("inherit", "currentcolor", "transparent", "none", "initial", "unset"):
        return ""
    return None


def background_value(value):
    """The colour part of a background shorthand, when it has one."""
    for token in re.findall(r"var\(--[\w-]+\)|#[0-9a-fA-F]{3,6}\b|\w+", value):
        if token.startswith(("var(", "#")) or token.lower() in ("transparent", "inherit"):
            return token
    return "none"


def check(html, name):
    """Faults of one template, as lines."""
    css = style_sheet(html)
    if css is None:
        return ["%s: no <style> element" % name]
    light, dark, rules = read_rules(css)
    faults = []
    for scheme, properties in (("light", light), ("dark", {**light, **dark})):
        texts, backgrounds, fields = {}, {}, {}
        for selector, decls in rules:
            for prop, value in decls.items():
                if prop == "opacity" and value not in ("1", "1.0"):
                    faults.append("%s: %s sets opacity %s" % (name, selector, value))
                    continue
                if prop == "color":
                    target = texts
                elif prop in ("background", "background-color"):
                    target, value = backgrounds, (background_value(value) if prop == "background"
                                                  else value)
                elif prop.startswith("border") and FIELD_SELECTOR.search(selector):
                    found = re.search(r"var\(--[\w-]+\)|#[0-9a-fA-F]{3,6}\b", value)
                    if not found:
                        continue
                    target, value = fields, found.group(0)
                else:
                    continue
                colour = resolve(value, properties)
                if colour is None:
                    faults.append("%s (%s): %s { %s: %s } is no colour the check can read"
                                  % (name, scheme, selector, prop, value))
                elif colour:
                    target.setdefault(colour, "%s { %s: %s }" % (selector, prop, value))
        if not texts or not backgrounds:
            faults.append("%s (%s): no text or no background colour found" % (name, scheme))
        for kind, colours, least in (("text", texts, TEXT_RATIO),
                                     ("field edge", fields, FIELD_RATIO)):
            for colour, where in colours.items():
                for ground, ground_where in backgrounds.items():
                    ratio = contrast(colour, ground)
                    if ratio < least:
                        faults.append("%s (%s): %s %s on %s: %.2f:1, needs %.1f:1 (%s; %s)"
                                      % (name, scheme, kind, colour, ground, ratio, least, where,
                                         ground_where))
    return list(dict.fromkeys(faults))  # a scheme-free fault once


SELF_TEST_PAGE = """<style>
:root { --fg: %s; --bg: #fff; --edge: %s; }
@media (prefers-color-scheme: dark) { :root { --fg: %s; --bg: #111; } }
body { color: var(--fg); background: var(--bg); }
.tools input { border: 1px solid var(--edge); }
@media print { :root { --fg: #eee; } .x { color: #fefefe; } }
%s
</style>"""


def self_test():
    """The checker against cases whose answer is known; the exit status."""
    ratio_cases = [("#000", "#fff", 21.0), ("#fff", "#fff", 1.0), ("#777", "#fff", 4.48),
                   ("#767676", "#ffffff", 4.54), ("#595f6b", "#f3f5f8", 5.9)]
    failed = 0
    for a, b, expected in ratio_cases:
        got = contrast(a, b)
        if abs(got - expected) > 0.01 * expected:
            print("FAIL contrast(%s, %s) = %.2f, expected %.2f" % (a, b, got, expected))
            failed += 1
    # (light text, field edge, dark text, extra rule, how many faults)
    page_cases = [
        ("#1d1f23", "#767676", "#e6e6e6", "", 0),
        ("#777777", "#767676", "#e6e6e6", "", 1),     # light text 4.48:1
        ("#1d1f23", "#767676", "#555555", "", 1),     # dark text on #111
        ("#1d1f23", "#cccccc", "#e6e6e6", "", 1),     # field edge 1.6:1 on white
        ("#1d1f23", "#767676", "#e6e6e6", ".m { color: #999; }", 1),  # light only
        # dark text on a dark background in the light scheme, and the field edge on it in both
        ("#1d1f23", "#767676", "#e6e6e6", ".m { color: var(--fg); background: #444; }", 3),
        ("#1d1f23", "#767676", "#e6e6e6", ".j { opacity: 0.6; }", 1),
        ("#1d1f23", "#767676", "#e6e6e6", ".h { background: var(--bg) url() no-repeat; }", 0),
        ("#1d1f23", "#767676", "#e6e6e6", ".r { color: red; }", 2),   # unreadable value
    ]
    for light, edge, dark, extra, expected in page_cases:
        faults = check(SELF_TEST_PAGE % (light, edge, dark, extra), "case")
        if len(faults) != expected:
            print("FAIL %s/%s/%s %r: %d faults, expected %d:\n  %s"
                  % (light, edge, dark, extra, len(faults), expected, "\n  ".join(faults)))
            failed += 1
    print("%d failed" % failed if failed else "self-test passed")
    return 1 if failed else 0


def main(argv):
    if argv[:1] == ["--self-test"]:
        return self_test()
    if not argv:
        sys.exit(__doc__)
    faults = []
    for path in argv:
        with open(path, encoding="utf-8") as template:
            faults += check(template.read(), path.rsplit("/", 1)[-1])
    for fault in faults:
        print(fault)
    print("%d templates, %d faults" % (len(argv), len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
