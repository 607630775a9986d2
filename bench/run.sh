#!/usr/bin/env bash
# Times Dirscribe against the peer tools on one synthetic tree and prints the
# ratios to `find`, measured in the same run.
#
#   bench/run.sh [-f FILES] [-r RUNS] [-t TOOLS] [-k]
#
#   -f FILES  files in the synthetic tree (default 200000)
#   -r RUNS   timed runs per tool (default 7)
#   -t TOOLS  only these, comma-separated: peers' names (find, du-a, ls-lRA,
#             tree-H, py-index) and ours (table, table-sizes, per-folder);
#             find is always timed, as the ratios need it
#   -k        keep the tree for the next run (it is rebuilt only when missing)
#
# BENCH_WORK names the scratch folder (default /tmp/dirscribe-bench), so that
# two worktrees on one machine do not time each other's trees.
#
# Our three configurations, all with the detailed-table style:
#   table       one file for the whole tree, no recursive sizes (recursive_options 4,
#               each folder's contents after its parent, as the style lays them out)
#   table-sizes the same with folder sizes of whole subtrees (recursive_options 5)
#   per-folder  one file per folder, whole tree (subfolders_in_one_file 0, depth -1)
# Needs ../shared/bench beside the repository (make-tree.py, peers.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
bench_tools="${BENCH_TOOLS:-$repo/../shared/bench}"
files=200000 runs=7 keep=0 tools=""
while getopts "f:r:t:k" opt; do
  case $opt in
    f) files=$OPTARG ;;
    r) runs=$OPTARG ;;
    t) tools=$OPTARG ;;
    k) keep=1 ;;
    *) sed -n '3,22s/^# \{0,1\}//p' "$0" >&2; exit 2 ;;
  esac
done
style="${BENCH_STYLE:-templates/table.html}"

BUILD_DIR=build-release scripts/build.sh -DCMAKE_BUILD_TYPE=Release -DDIRSCRIBE_TESTS=OFF >/dev/null
program="$repo/build-release/program/dirscribe"

work="${BENCH_WORK:-/tmp/dirscribe-bench}"
tree="$work/tree-$files"
mkdir -p "$work"
if [ ! -d "$tree" ] || [ "$keep" = 0 ]; then
  rm -rf "$tree"
  python3 "$bench_tools/make-tree.py" "$tree" --files "$files" --seed 1
fi

# One project per configuration; the listing goes outside the tree except for
# the per-folder pages, which must sit in their folders (under a name that
# make-tree never uses and that the filter leaves out).
write_project() {  # name save one_file recursive_options
  cat >"$work/$1.txt" <<PROJECT
<project>
<path>$tree</path>
<save>$2</save>
<format_file>$style</format_file>
<subfolders_in_one_file>$3</subfolders_in_one_file>
<recursion_depth>-1</recursion_depth>
<recursive_options>$4</recursive_options>
<url_escape>2</url_escape>
<order_files>1</order_files>
<size_units>0</size_units>
<date_format>%Y-%m-%d %H:%M</date_format>
<filter>
<str_files_include>*</str_files_include>
<str_files_skip>_dirscribe.html</str_files_skip>
</filter>
</project>
PROJECT
}
write_project table "$work/table.html" 1 4
write_project table-sizes "$work/table-sizes.html" 1 5
write_project per-folder "_dirscribe.html" 0 4

out="$work/peers-$files"
rm -rf "$out"
only=()
[ -n "$tools" ] && only=(-t "find,$tools")
"$bench_tools/peers.sh" -r "$runs" -o "$out" "${only[@]}" \
  -c "table=$program $work/table.txt" \
  -c "table-sizes=$program $work/table-sizes.txt" \
  -c "per-folder=$program $work/per-folder.txt" \
  "$tree"
find "$tree" -name _dirscribe.html -delete

if [ -n "$tools" ] && [[ ",$tools," != *,table,* ]]; then
  echo
  echo "Results: $out/results/results.md"
  exit 0
fi
echo
echo "Links of the table listing:"
# Links are relative to the page, which lies beside the tree, not in it: they
# start with the way from the page's folder to the tree.
link_prefix=$(python3 -c 'import os, sys; print(os.path.relpath(sys.argv[1], sys.argv[2]) + "/")' \
  "$tree" "$(dirname "$work/table.html")")
python3 "$bench_tools/check-links.py" "$tree" "$work/table.html" --prefix "$link_prefix" | tail -3
echo
echo "Results: $out/results/results.md"
