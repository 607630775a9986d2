#!/usr/bin/env bash
# Times how fast headless Chromium opens a 50,000-entry listing of every
# bundled style, side by side with the page `tree -H` writes for the same
# tree, and how long search and sorting take per keystroke and click.
#
#   bench/pages.sh [-r RUNS] [-k]
#
#   -r RUNS   openings of each page, in turns (default 5); the search and
#             sorting are timed in RUNS/2 more openings, at least 1
#   -k        keep the trees for the next run (they are rebuilt only when
#             missing)
#
# Two trees from ../shared/bench/make-tree.py, about 50,000 entries each, in
# /tmp/dirscribe-pages: "deep" (folders of a dozen files, five levels) for the
# styles with one page for the whole tree, "flat" (one folder) for the styles
# with a page per folder, whose one page is then the whole listing. Files are
# at most 64 KiB, so that the catalogue's digests take seconds, not minutes.
# Times come from bench/page_times.py: the load event, the first contentful
# paint, and "ready", the first frame drawn after the load event; the ratio is
# ready against tree -H's ready for the same tree, measured in the same run.
# The table and the folder index may take 1.2 times tree -H's time, every
# other style 1.5 times; a keystroke or a click may take 200 ms. Exits 1 when
# a page misses its limit.
# Needs ../shared/bench beside the repository, Chromium and tree (installed
# when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
bench_tools="${BENCH_TOOLS:-$repo/../shared/bench}"
runs=5 keep=0
while getopts "r:k" opt; do
  case $opt in
    r) runs=$OPTARG ;;
    k) keep=1 ;;
    *) sed -n '3,11s/^# \{0,1\}//p' "$0" >&2; exit 2 ;;
  esac
done
missing=()
command -v tree >/dev/null || missing+=(tree)
command -v chromium >/dev/null || missing+=(chromium)
if ((${#missing[@]})); then
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi
export LC_ALL=C.UTF-8

scripts/build.sh >/dev/null
program="$repo/build/program"

work=/tmp/dirscribe-pages
pages="$work/pages"
mkdir -p "$work"
make_tree() {  # name, make-tree options...
  local tree="$work/$1"
  shift
  if [ -d "$tree" ] && [ "$keep" = 1 ]; then return; fi
  rm -rf "$tree"
  python3 "$bench_tools/make-tree.py" "$tree" --seed 1 --max-size 65536 --huge 0 "$@" >&2
}
make_tree deep --files 46100
make_tree flat --files 49980 --files-per-dir 1000000
# A per-folder style's page is written into the flat tree under a name of its
# own (the filter leaves it out, tree -H runs before it is there), and removed
# at the end.
per_folder_name=_dirscribe-bench
trap 'find "$work/flat" -maxdepth 1 -name "$per_folder_name-*.html" -delete' EXIT
find "$work/flat" -maxdepth 1 -name "$per_folder_name-*.html" -delete
rm -rf "$pages"
mkdir -p "$pages"

for tree in deep flat; do
  tree -a -H . -s -D --du -o "$pages/tree-H-$tree.html" "$work/$tree" >/dev/null
done

# One listing per style, with the style's own preset.
python3 - "$program" "$work" "$pages" "$per_folder_name" >"$work/pages.tsv" <<'EOF'
import os, subprocess, sys
program, work, pages, per_folder_name = sys.argv[1:]
sys.path.insert(0, os.path.join(os.getcwd(), "tests", "browser"))
from listing import read_styles, write_project
for style in read_styles(program):
    base = style.file[:-len(".html")]
    per_folder = style.key("subfolders_in_one_file", 1) == 0
    tree = os.path.join(work, "flat" if per_folder else "deep")
    if per_folder:
        page = os.path.join(tree, "%s-%s.html" % (per_folder_name, base))
        settings = {"save": os.path.basename(page), "recursion_depth": 0}
    else:
        page = os.path.join(pages, base + ".html")
        settings = {"save": page}
    project = os.path.join(pages, base + ".txt")
    write_project(project, tree, os.path.join(program, "templates", style.file), style, **settings)
    # The tree's pictures are not real images: the thumbnail warnings are
    # counted, not shown one by one.
    made = subprocess.run([os.path.join(program, "dirscribe"), project], stderr=subprocess.PIPE,
                          text=True, errors="replace")
    lines = made.stderr.splitlines()
    unreadable = [line for line in lines if "No thumbnail for" in line]
    for line in lines:
        if "No thumbnail for" not in line:
            print(line, file=sys.stderr)
    if unreadable:
        print("%s: %d files named as pictures are no pictures (no thumbnails)"
              % (style.name, len(unreadable)), file=sys.stderr)
    if made.returncode != 0:
        sys.exit("dirscribe failed on %s" % project)
    print("\t".join([base, style.name, os.path.basename(tree), page]))
EOF

specs=("tree-H-deep=$pages/tree-H-deep.html" "tree-H-flat=$pages/tree-H-flat.html")
while IFS=$'\t' read -r base _ _ page; do specs+=("$base=$page"); done <"$work/pages.tsv"
echo "Opening ${#specs[@]} pages $runs times each..." >&2
python3 bench/page_times.py --runs "$runs" "${specs[@]}" >"$work/times.jsonl"
searched=()
while IFS=$'\t' read -r base _ _ page; do
  grep -q 'type = "search"' "$page" && searched+=("$base=$page")
done <"$work/pages.tsv"
echo "Typing and sorting in ${#searched[@]} pages..." >&2
python3 bench/page_times.py --runs "$(( runs / 2 > 0 ? runs / 2 : 1 ))" --search "photos budget" \
  "${searched[@]}" >"$work/interaction.jsonl"

python3 - "$work" <<'EOF' | tee "$work/results.md"
import json, os, subprocess, sys
work = sys.argv[1]
times = {t["name"]: t for t in map(json.loads, open(os.path.join(work, "times.jsonl")))}
acts = [json.loads(line) for line in open(os.path.join(work, "interaction.jsonl"))]
styles = [line.rstrip("\n").split("\t") for line in open(os.path.join(work, "pages.tsv"))]
def entries(tree):  # the listed entries: the per-folder styles' pages are left out
    out = subprocess.run(["find", os.path.join(work, tree), "-mindepth", "1", "-not", "-name",
                          "_dirscribe-bench-*", "-printf", "."], capture_output=True).stdout
    return len(out)
chromium = subprocess.run(["chromium", "--version"], capture_output=True, text=True).stdout.strip()
print("Chromium: %s; %s CPUs; load average %s" % (chromium, os.cpu_count(),
      open("/proc/loadavg").read().split()[0]))
print("Trees: deep %d entries, flat %d entries; medians of the openings, in ms\n"
      % (entries("deep"), entries("flat")))
print("| page | tree | MiB | load | first paint | ready | ready / tree -H | limit |")
print("|---|---|---:|---:|---:|---:|---:|---|")
failed = False
for tree in ("deep", "flat"):
    t = times["tree-H-" + tree]
    print("| tree -H | %s | %.1f | %d | %d | %d | 1.00 | |"
          % (tree, t["bytes"] / 1048576, t["load"], t["paint"], t["ready"]))
for base, name, tree, _ in styles:
    t, peer = times[base], times["tree-H-" + tree]
    ratio = t["ready"] / peer["ready"]
    limit = 1.2 if base in ("table", "folder-index") else 1.5
    verdict = "ok" if ratio <= limit else "TOO SLOW"
    failed = failed or ratio > limit
    print("| %s | %s | %.1f | %d | %d | %d | %.2f | %.1f %s |"
          % (name, tree, t["bytes"] / 1048576, t["load"], t["paint"], t["ready"], ratio, limit,
             verdict))
print("\nSearch and sorting (\"photos budget\" typed a character at a time; every sorting "
      "heading clicked twice); slowest of each run, median over the runs, in ms\n")
print("| page | rows | search texts on focus | slowest keystroke | slowest sort click | limit |")
print("|---|---:|---:|---:|---:|---|")
for a in acts:
    name = next(s[1] for s in styles if s[0] == a["name"])
    slow = max(a["keystroke"], a["sort"]) > 200
    failed = failed or slow
    print("| %s | %s | %d | %d | %d | 200 %s |" % (name, a["found"], a["prepare"], a["keystroke"],
                                                  a["sort"], "TOO SLOW" if slow else "ok"))
sys.exit(1 if failed else 0)
EOF
