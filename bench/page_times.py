#!/usr/bin/env python3
"""Times how long headless Chromium takes to open HTML pages, side by side.

Usage: page_times.py [--runs N] [--search TEXT] NAME=PAGE...

Each page is opened RUNS times (default 5) in a fresh tab, the pages taking
turns so that a slow spell of the shared machine falls on all of them alike.
For every opening the page's own clock gives, in milliseconds from the start
of the navigation:
  load   the load event (the whole document parsed and its scripts run);
  paint  the first contentful paint;
  ready  the first frame after the load event has been drawn (styles and
         layout of the whole page done).
With --search, a page with a search box then gets TEXT typed into it one
character at a time, and every sorting heading clicked twice (up, then down);
each keystroke and click is timed from the input event to the end of the
frame that shows the page's answer (the search filters once per frame, in the
frame's animation callbacks):
  prepare     the focus on the box (the search texts are made then);
  keystroke   the slowest keystroke of the run, and keystrokes all of them;
  sort        the slowest click, and sorts all of them.
Prints one JSON object per page on standard output: {"name", "page", "bytes",
"load", "paint", "ready"} and with --search "prepare", "keystroke" and "sort",
each time the median of the runs (the lists from the last run).
"""
import argparse
import json
import os
import statistics
import sys
import urllib.parse

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "browser"))
from cdp import Browser, CdpError  # noqa: E402

# Read in the page once the load event has come: the navigation timings, the
# first contentful paint and the moment the next frame after load is drawn.
TIMES_SCRIPT = """new Promise((done) => requestAnimationFrame(() => setTimeout(() => {
  const nav = performance.getEntriesByType("navigation")[0];
  const paint = performance.getEntriesByName("first-contentful-paint")[0];
  done({ load: nav.loadEventStart, paint: paint ? paint.startTime : null,
         ready: performance.now() });
}, 0)))"""


# Types TEXT into the search box a character at a time and clicks every
# sorting heading twice, timing each until the frame after the answer.
INTERACT_SCRIPT = """(async (text) => {
  // The end of the next frame: a task queued from its animation callbacks
  // runs once that frame's style, layout and paint are done.
  const frame = () => new Promise((done) => requestAnimationFrame(() => setTimeout(done, 0)));
  const box = document.querySelector("input[type=search]");
  if (!box) return null;
  // Wait for the page to fall idle: what it prepares in idle moments after
  // loading is done before anyone could type.
  for (let calm = 0; calm < 30; ) {
    const left = await new Promise((done) => requestIdleCallback((d) => done(d.timeRemaining())));
    calm = left > 40 ? calm + 1 : 0;
  }
  await frame();
  let start = performance.now();
  box.focus();
  await frame();
  const prepare = performance.now() - start;
  const keystrokes = [];
  for (let i = 1; i <= text.length; i++) {
    start = performance.now();
    box.value = text.slice(0, i);
    box.dispatchEvent(new Event("input", { bubbles: true }));
    await frame();
    keystrokes.push(performance.now() - start);
  }
  box.value = "";
  box.dispatchEvent(new Event("input", { bubbles: true }));
  await frame();
  const sorts = [];
  for (const button of document.querySelectorAll("thead button")) {
    for (let i = 0; i < 2; i++) {
      start = performance.now();
      button.click();
      await frame();
      sorts.push(performance.now() - start);
    }
  }
  return { prepare, keystrokes, sorts, shown: document.querySelector(".count").textContent };
})(%s)"""


def open_once(browser, url, search=None):
    """The times of one opening of `url` in a new tab (and of the search and
    sorting when `search` is given)."""
    target = browser.send("Target.createTarget", {"url": "about:blank"})["targetId"]
    try:
        session = browser.send("Target.attachToTarget",
                               {"targetId": target, "flatten": True})["sessionId"]
        browser.send("Page.enable", session=session)
        browser.navigate(session, url)
        times = browser.evaluate(session, TIMES_SCRIPT)
        if search:
            times["interaction"] = browser.evaluate(session, INTERACT_SCRIPT % json.dumps(search))
        return times
    finally:
        browser.send("Target.closeTarget", {"targetId": target})


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--search", metavar="TEXT")
    parser.add_argument("pages", nargs="+", metavar="NAME=PAGE")
    args = parser.parse_args()
    pages = []
    for spec in args.pages:
        name, _, path = spec.partition("=")
        if not path or not os.path.isfile(path):
            parser.error("not a NAME=PAGE of an existing file: %s" % spec)
        pages.append((name, os.path.abspath(path)))
    times = {name: [] for name, _ in pages}
    with Browser(timeout=300) as browser:
        for _ in range(args.runs):
            for name, path in pages:
                url = "file://" + urllib.parse.quote(path)
                try:
                    times[name].append(open_once(browser, url, args.search))
                except CdpError as error:
                    sys.exit("page_times: %s: %s" % (path, error))
    for name, path in pages:
        runs = times[name]
        median = lambda values: round(statistics.median(values))
        result = {"name": name, "page": path, "bytes": os.path.getsize(path)}
        for key in ("load", "paint", "ready"):
            result[key] = median(r[key] for r in runs if r[key] is not None)
        interactions = [r["interaction"] for r in runs if r.get("interaction")]
        if interactions:
            last = interactions[-1]
            result["prepare"] = median(i["prepare"] for i in interactions)
            result["keystroke"] = median(max(i["keystrokes"]) for i in interactions)
            result["sort"] = median(max(i["sorts"]) for i in interactions)
            result["keystrokes"] = [round(t) for t in last["keystrokes"]]
            result["sorts"] = [round(t) for t in last["sorts"]]
            result["found"] = last["shown"]
        print(json.dumps(result), flush=True)


if __name__ == "__main__":
    main()
