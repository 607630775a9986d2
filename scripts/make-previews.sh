#!/usr/bin/env bash
# Builds the listing of the bundled sample folder (examples/sample) with every
# style of data/templates.txt and saves a screenshot of each as the style's
# preview image in data/templates/. Every listing is written into a copy of the
# sample tree in a temporary folder, so the repository only gains the images.
#
# Needs headless Chromium (Debian package "chromium"); ImageMagick, when
# present, reduces the colours of the screenshots to make them smaller.
# Usage: scripts/make-previews.sh [STYLE-FILE...]   (default: every style)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

browser=$(command -v chromium || command -v chromium-browser || true)
if [[ -z "$browser" ]]; then
  echo "make-previews: headless Chromium is missing; install it with: apt-get install chromium" >&2
  exit 1
fi

scripts/build.sh
program="$repo/build/program/dirscribe"

work=$(mktemp -d "${TMPDIR:-/tmp}/dirscribe-previews.XXXXXX")
trap 'rm -rf "$work"' EXIT

# One line per style: file, image file and the preset's inner lines joined by
# a tab-free separator, taken from the catalog with a plain parse.
python3 - "$repo/data/templates.txt" "$work/styles.tsv" <<'EOF'
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
with open(sys.argv[2], "w", encoding="utf-8") as out:
    for block in re.findall(r"<template>(.*?)</template>", text, re.S):
        def field(name):
            m = re.search(r"<%s>(.*?)</%s>" % (name, name), block, re.S)
            return m.group(1).strip() if m else ""
        preset = re.search(r"<project>(.*?)</project>", block, re.S)
        lines = [l.strip() for l in (preset.group(1) if preset else "").splitlines() if l.strip()]
        out.write("\t".join([field("file"), field("image_file"), "\x1f".join(lines)]) + "\n")
EOF

# Markup escape for the path put into the project file.
escape() {
  local s=$1
  s=${s//&/&amp;}
  s=${s//</&lt;}
  s=${s//>/&gt;}
  s=${s//\"/&quot;}
  printf '%s' "$s"
}

made=0
while IFS=$'\t' read -r file image preset; do
  [[ -n "$file" && -n "$image" ]] || continue
  if [[ $# -gt 0 ]] && [[ ! " $* " == *" $file "* ]]; then continue; fi
  base=${file%.*}
  dir="$work/$base"
  mkdir -p "$dir"
  cp -a examples/sample "$dir/sample"
  {
    echo "<project>"
    echo "<path>$(escape "$dir/sample")</path>"
    echo "<format_file>$(escape "$repo/data/templates/$file")</format_file>"
    tr '\037' '\n' <<<"$preset"
    echo "</project>"
  } >"$dir/project.txt"
  # The preset's save name, or the program's default.
  save=$(sed -n 's:^<save>\(.*\)</save>$:\1:p' "$dir/project.txt" | head -n 1)
  save=${save:-index.html}
  "$program" "$dir/project.txt" </dev/null
  page="$dir/sample/$save"
  shot="$dir/shot.png"
  # The page is laid out in a 1000 by 700 window and drawn at 0.6 scale, so
  # the shot is a 600 by 420 thumbnail.
  timeout 120 "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars \
    --force-device-scale-factor=0.6 --screenshot="$shot" --window-size=1000,700 \
    "file://$page" </dev/null >/dev/null 2>&1 || true
  if [[ ! -s "$shot" ]]; then
    echo "make-previews: no screenshot of $page" >&2
    exit 1
  fi
  if convert -version 2>/dev/null | grep -q ImageMagick; then
    convert "$shot" -strip -colors 128 "PNG8:data/templates/$image"
  else
    cp "$shot" "data/templates/$image"
  fi
  echo "data/templates/$image: $(stat -c %s "data/templates/$image") bytes"
  made=$((made + 1))
done <"$work/styles.tsv"

if [[ $made -eq 0 ]]; then
  echo "make-previews: no style matched" >&2
  exit 1
fi
