#!/usr/bin/env bash
# Compares the throughput of the md5, sha1 and sha256 template variables with
# md5sum, sha1sum and sha256sum on the same files (warm cache, best of RUNS runs each).
#
#   bench/digests.sh [-n FILES] [-m MIB] [-r RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
count=8 mib=64 runs=5
while getopts "n:m:r:" opt; do
  case $opt in
    n) count=$OPTARG ;;
    m) mib=$OPTARG ;;
    r) runs=$OPTARG ;;
    *) sed -n '3,6s/^# \{0,1\}//p' "$0" >&2; exit 2 ;;
  esac
done

BUILD_DIR=build-release scripts/build.sh -DCMAKE_BUILD_TYPE=Release -DDIRSCRIBE_TESTS=OFF >/dev/null
program="$repo/build-release/program/dirscribe"
work=/tmp/dirscribe-digests
data="$work/data"
mkdir -p "$data"
for i in $(seq 1 "$count"); do
  file="$data/part-$i.bin"
  [ -f "$file" ] && [ "$(stat -c %s "$file")" = $((mib * 1048576)) ] && continue
  head -c $((mib * 1048576)) /dev/urandom >"$file"
done
for variable in md5 sha1 sha256; do
  printf '<!--#for var="files"--><!--#echo var="%s"--> <!--#echoe var="name"-->\n<!--#endfor-->' \
    "$variable" >"$work/$variable.html"
  cat >"$work/$variable.txt" <<PROJECT
<project><path>$data</path><save>$work/$variable.out</save>
<format_file>$work/$variable.html</format_file><order_files>1</order_files></project>
PROJECT
done

best() {  # command... ; prints the fastest wall time of RUNS runs, in seconds
  local fastest=""
  "$@" >/dev/null  # warm the cache
  for _ in $(seq 1 "$runs"); do
    local start end took
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    took=$(echo "$end - $start" | bc -l)
    if [ -z "$fastest" ] || [ "$(echo "$took < $fastest" | bc -l)" = 1 ]; then fastest=$took; fi
  done
  printf '%.3f' "$fastest"
}

total=$((count * mib))
echo "| digest | tool | best s | MiB/s | ours / tool |"
echo "|---|---|---:|---:|---:|"
for variable in md5 sha1 sha256; do
  tool="${variable}sum"
  theirs=$(best "$tool" "$data"/part-*.bin)
  ours=$(best "$program" "$work/$variable.txt")
  echo "| $variable | $tool | $theirs | $(echo "$total / $theirs" | bc) | |"
  echo "| $variable | dirscribe | $ours | $(echo "$total / $ours" | bc) | $(echo "scale=2; $theirs / $ours" | bc) |"
  # The listing must hold the same digests as the reference tool.
  # (md5 and sha1 in upper case, sha256 as sha256sum prints it).
  fold=toupper; [ "$variable" = sha256 ] && fold=""
  diff <(cd "$data" && "$tool" part-*.bin | awk "{print $fold(\$1) \" \" \$2}") "$work/$variable.out" >/dev/null \
    || { echo "digests.sh: $variable differs from $tool" >&2; exit 1; }
done
