#!/usr/bin/env bash
# Builds Dirscribe and saves pictures of the wizard window into
# docs/screenshots/: the main window and each of its five pages with the first
# style selected, the filter page in each time mode, the Build page idle, while
# a build runs, after a failed build and after a build of the bundled sample,
# the question before unsaved changes are dropped, and the about box, at 100%
# and at 200% scale (the "@2x" files). Runs on Qt's offscreen platform, so no display is needed.
#
# Usage: scripts/screenshots.sh [OUT_DIR]   (default: docs/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshots}"
build_dir=${BUILD_DIR:-build}

scripts/build.sh
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime"
# The sample project with absolute paths, its listing written outside the tree.
project="$runtime/sample-project.txt"
sed -e "s|<path>.*</path>|<path>$(pwd)/examples/sample</path>|" \
    -e "s|<save>.*</save>|<save>$runtime/sample-listing.html</save>|" \
    examples/sample-project.txt > "$project"
"$build_dir/tests/ui_screenshots" "$build_dir/program" "$out" "$project"
scaled=$(mktemp -d -p "$runtime")
QT_SCALE_FACTOR=2 "$build_dir/tests/ui_screenshots" "$build_dir/program" "$scaled" "$project" >/dev/null
for picture in "$scaled"/*.png; do
  name=$(basename "$picture" .png)
  cp "$picture" "$out/$name@2x.png"
  echo "$out/$name@2x.png"
done
