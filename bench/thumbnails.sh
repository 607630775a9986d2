#!/usr/bin/env bash
# Times the thumbnails of the Gallery style against vipsthumbnail making the
# same thumbnails (WebP, 640 pixels, quality 75) of the same pictures on every
# processor, then a second run with nothing changed, and the peak memory of
# both runs.
#
#   bench/thumbnails.sh [-n PICTURES] [-p PROGRAM]
#
#   -n PICTURES  12-megapixel JPEGs in one folder (default 2000)
#   -p PROGRAM   the dirscribe to time (default build/program/dirscribe)
#
# The pictures (/tmp/dirscribe-thumbnails, about 4.7 MB each) are copies of
# eight photograph-like JPEGs of 4000 x 3000 pixels, made once and kept. Every
# file is read once before the timings, so both tools find them cached. The
# first run may take 1.2 times vipsthumbnail's time, the unchanged run 0.2 s
# per 1,000 pictures, and neither more than 300 MB; exits 1 when one misses.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
count=2000 program="$repo/build/program/dirscribe"
while getopts "n:p:" opt; do
  case $opt in
    n) count=$OPTARG ;;
    p) program=$OPTARG ;;
    *) sed -n '3,10s/^# \{0,1\}//p' "$0" >&2; exit 2 ;;
  esac
done
command -v vipsthumbnail >/dev/null || { echo "thumbnails.sh: needs libvips-tools" >&2; exit 2; }
[ -x "$program" ] || { echo "thumbnails.sh: no program at $program" >&2; exit 2; }

work=/tmp/dirscribe-thumbnails
bases="$work/bases" pictures="$work/pictures" theirs="$work/vipsthumbnail"
mkdir -p "$bases" "$pictures"
cores=$(nproc)

# Smooth shapes and fine grain, as a photograph has: about 4.7 MB as a JPEG.
for i in 0 1 2 3 4 5 6 7; do
  [ -f "$bases/$i.jpg" ] && continue
  for band in r g b; do
    vips gaussnoise "$work/$band-small.v" 250 188 --mean 128 --sigma 60 --seed $((i * 3 + ${#band}))
    vips resize "$work/$band-small.v" "$work/$band-big.v" 16 --kernel cubic
    vips gaussnoise "$work/$band-grain.v" 4000 3008 --mean 0 --sigma 6
    vips add "$work/$band-big.v" "$work/$band-grain.v" "$work/$band.v"
  done
  vips bandjoin "$work/r.v $work/g.v $work/b.v" "$work/rgb.v"
  vips extract_area "$work/rgb.v" "$work/area.v" 0 0 4000 3000
  vips cast "$work/area.v" "$bases/$i.jpg[Q=90]" uchar
  rm -f "$work"/*.v
done
existing=$(find "$pictures" -maxdepth 1 -name 'photo-*.jpg' | wc -l)
if [ "$existing" != "$count" ]; then
  rm -rf "$pictures" && mkdir -p "$pictures"
  for i in $(seq 1 "$count"); do cp "$bases/$((i % 8)).jpg" "$pictures/photo-$i.jpg"; done
fi
cat "$pictures"/*.jpg >/dev/null

# seconds and peak KiB of one command, as "S KIB".
measure() {
  local report="$work/time.txt"
  /usr/bin/time -f '%e %M' -o "$report" "$@" >/dev/null 2>"$work/stderr.txt" ||
    { cat "$work/stderr.txt" >&2; return 1; }
  cat "$report"
}

rm -rf "$theirs" && mkdir -p "$theirs"
read -r their_time their_kib < <(measure bash -c \
  "cd '$pictures' && ls photo-*.jpg | VIPS_CONCURRENCY=1 xargs -P $cores -n 25 \
     vipsthumbnail -s 640 -o '$theirs/%s.webp[Q=75,strip]'")

rm -rf "$pictures/.thumbnails" "$pictures/index.html"
read -r first_time first_kib < <(measure "$program" -q -s Gallery "$pictures")
made=$(find "$pictures/.thumbnails" -name '*.webp' | wc -l)
[ "$made" = "$count" ] || { echo "thumbnails.sh: $made thumbnails for $count pictures" >&2; exit 1; }
read -r second_time second_kib < <(measure "$program" -q -s Gallery "$pictures")
# What the program takes to start and write a page of nothing, for scale.
mkdir -p "$work/empty"
read -r empty_time _ < <(measure "$program" -q -s Gallery "$work/empty")

ratio=$(echo "scale=2; $first_time / $their_time" | bc)
per_thousand=$(echo "scale=3; $second_time * 1000 / $count" | bc)
peak_mb=$(( (first_kib > second_kib ? first_kib : second_kib) / 1024 ))
their_mb=$((their_kib / 1024))
echo "$count pictures of 4000 x 3000, $cores processors"
echo "| run | seconds | peak MB | limit |"
echo "|---|---:|---:|---|"
echo "| vipsthumbnail, $cores at once | $their_time | $their_mb (one process) | |"
echo "| dirscribe, first run | $first_time | $((first_kib / 1024)) | 1.2 x vipsthumbnail: $ratio x |"
echo "| dirscribe, nothing changed | $second_time | $((second_kib / 1024)) | 0.2 s per 1,000: $per_thousand s |"
echo "| dirscribe, an empty folder | $empty_time | | |"
failed=0
[ "$(echo "$ratio <= 1.2" | bc)" = 1 ] || { echo "first run over 1.2 x vipsthumbnail" >&2; failed=1; }
[ "$(echo "$per_thousand <= 0.2" | bc)" = 1 ] || { echo "unchanged run over 0.2 s per 1,000" >&2; failed=1; }
((peak_mb <= 300)) || { echo "peak memory over 300 MB" >&2; failed=1; }
exit $failed
