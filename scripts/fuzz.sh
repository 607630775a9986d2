#!/usr/bin/env bash
# Builds every libFuzzer target with clang (ASan + UBSan) and runs each for
# SECONDS seconds (default 30), one after the other. Each target is seeded
# with the repository's own files of its kind (see seed_files) and keeps its
# growing corpus in build-fuzz/corpus/<target>. Inputs in
# fuzz/regressions/<target> (failures found earlier, now fixed) are replayed
# first. Exits non-zero when a target
# fails; the failing input is left as build-fuzz/<name>-crash-* .
#
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
build="${FUZZ_BUILD_DIR:-build-fuzz}"
targets=(document_reader_fuzzer template_parser_fuzzer project_loader_fuzzer)

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ is needed (scripts/install-deps.sh installs it)" >&2
  exit 1
fi
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DDIRSCRIBE_FUZZ=ON -DDIRSCRIBE_TESTS=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}"

# The files each target starts from: the program's own data of that kind.
seed_files() {
  case "$1" in
    document_reader) echo data/sources/*.xml data/templates.txt ;;
    template_parser) echo data/templates/*.html ;;
    project_loader) echo examples/sample-project.txt ;;
  esac
}

status=0
for target in "${targets[@]}"; do
  name="${target%_fuzzer}"
  binary=$(find "$build/src" -name "$target" -type f -perm -u+x | head -1)
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  if [ -d "fuzz/regressions/$name" ] && [ -n "$(ls -A "fuzz/regressions/$name")" ]; then
    echo "== $target: replaying fuzz/regressions/$name"
    "$binary" -runs=0 "fuzz/regressions/$name"/* || { status=1; continue; }
  fi
  echo "== $target: ${seconds}s"
  # shellcheck disable=SC2046  # the names hold no blanks
  cp $(seed_files "$name") "$corpus"/
  log="$build/$name.log"
  if "$binary" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
       -artifact_prefix="$build/$name-" "$corpus" >"$log" 2>&1; then
    grep -E "^stat::(number_of_executed_units|peak_rss_mb)" "$log" || true
  else
    grep -E "ERROR|SUMMARY|Test unit written" "$log" || tail -20 "$log"
    echo "fuzz.sh: $target failed; the input is in $build/$name-*" >&2
    status=1
  fi
done
exit $status
