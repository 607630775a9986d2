#!/usr/bin/env python3
"""Screenshots of listing pages as people see them: on a desktop and on a
phone, in the light and the dark colour scheme.

Usage: page-screenshots.py OUT_DIR [NAME=]PAGE...

For every PAGE (an HTML file) it writes OUT_DIR/NAME-desktop-light.png,
-desktop-dark.png, -phone-light.png and -phone-dark.png, NAME being given or
the page's file name without ".html".
Desktop is a 1200 by 800 window; phone a 390 by 844 touch screen at twice the
pixel density, as a recent phone. Headless Chromium, through tests/browser/cdp.py.
"""
import base64
import os
import sys
import urllib.parse

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "browser"))
from cdp import Browser, CdpError  # noqa: E402

# (name, width, height, device scale factor, mobile)
SCREENS = [("desktop", 1200, 800, 1, False), ("phone", 390, 844, 2, True)]
SCHEMES = ["light", "dark"]
TWO_FRAMES = "new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r)))"
# Waits (five seconds at most) until every picture in the window is decoded.
PICTURES_IN_VIEW = """Promise.race([new Promise((r) => setTimeout(r, 5000)), Promise.all(
  Array.from(document.images).filter((i) => { const b = i.getBoundingClientRect();
    return b.bottom > 0 && b.top < innerHeight; }).map((i) => i.decode().catch(() => null)))])"""


def named_page(argument):
    """(name, page) of a [NAME=]PAGE argument."""
    name, equals, page = argument.partition("=")
    if equals and not os.path.isfile(argument):
        return name, page
    return os.path.splitext(os.path.basename(argument))[0], argument


def main(argv):
    if len(argv) < 2:
        sys.exit(__doc__)
    out_dir, pages = argv[0], [named_page(a) for a in argv[1:]]
    os.makedirs(out_dir, exist_ok=True)
    with Browser(timeout=120) as browser:
        session = browser.new_page()
        for name, page in pages:
            url = "file://" + urllib.parse.quote(os.path.abspath(page))
            for screen, width, height, scale, mobile in SCREENS:
                browser.send("Emulation.setDeviceMetricsOverride",
                             {"width": width, "height": height, "deviceScaleFactor": scale,
                              "mobile": mobile}, session)
                for scheme in SCHEMES:
                    browser.send("Emulation.setEmulatedMedia",
                                 {"features": [{"name": "prefers-color-scheme",
                                                "value": scheme}]}, session)
                    try:
                        browser.navigate(session, url)
                        # Two frames, so that what scrolled into view is drawn;
                        # then the pictures in view (lazy ones load only now) and
                        # two frames more to draw them.
                        for wait in (TWO_FRAMES, PICTURES_IN_VIEW, TWO_FRAMES):
                            browser.evaluate(session, wait)
                        data = browser.send("Page.captureScreenshot", {"format": "png"},
                                            session)["data"]
                    except CdpError as error:
                        sys.exit("page-screenshots: %s: %s" % (page, error))
                    target = os.path.join(out_dir, "%s-%s-%s.png" % (name, screen,
                                                                     scheme))
                    with open(target, "wb") as png:
                        png.write(base64.b64decode(data))
                    print(target)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
