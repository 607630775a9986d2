#!/usr/bin/env bash
# Builds Dirscribe and saves pictures of the wizard window, as the interface
# description (data/sources/ui.xml) lays it out, into docs/screenshots/: the
# main window and each of its five pages, at 100% and at 200% scale (the
# "@2x" files). Runs on Qt's offscreen platform, so no display is needed.
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
"$build_dir/tests/ui_screenshots" "$build_dir/program" "$out"
scaled=$(mktemp -d -p "$runtime")
QT_SCALE_FACTOR=2 "$build_dir/tests/ui_screenshots" "$build_dir/program" "$scaled" >/dev/null
for picture in "$scaled"/*.png; do
  name=$(basename "$picture" .png)
  cp "$picture" "$out/$name@2x.png"
  echo "$out/$name@2x.png"
done
