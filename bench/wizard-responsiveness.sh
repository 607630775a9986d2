#!/usr/bin/env bash
# Builds a synthetic tree of FILES files (default 200000) and measures, while
# the wizard builds its listing offscreen, the longest gap between two events
# on the window's thread. The target is under 100 ms.
#
#   bench/wizard-responsiveness.sh [FILES]
# Needs ../shared/bench beside the repository (make-tree.py).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
bench_tools="${BENCH_TOOLS:-$repo/../shared/bench}"
files="${1:-200000}"
scripts/build.sh >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$bench_tools/make-tree.py" "$work/tree" --files "$files" --seed 1 >/dev/null
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" \
  build/tests/wizard_responsiveness "$repo/build/program" "$work/tree" "$work/listing.html"
