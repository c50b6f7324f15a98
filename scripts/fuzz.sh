#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
#   scripts/fuzz.sh            30 s per target (what CI runs)
#   scripts/fuzz.sh 600        ten minutes per target
# Seeds come from fuzz/corpus/<target>/ (built from our shipped files); new
# inputs found during the run go to a scratch folder, not into the repository.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
build_dir=${FUZZ_BUILD_DIR:-build-fuzz}

CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DYM_FUZZ=ON -DYM_BUILD_TESTS=OFF >/dev/null
cmake --build "$build_dir" --target fuzzers -j"$(nproc)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# Writes are synced to disk; a memory-backed folder keeps the fuzzers fast.
export TMPDIR=/dev/shm
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen

status=0
for fuzzer in "$build_dir"/fuzz/fuzz_*; do
  [ -f "$fuzzer" ] && [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  mkdir -p "$scratch/$name"
  echo "== $name ($seconds s)"
  if ! "$fuzzer" -max_total_time="$seconds" -max_len=8192 -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$scratch/" "$scratch/$name" "fuzz/corpus/$name" 2>"$scratch/$name.log"; then
    status=1
    echo "$name FAILED:"
    tail -n 40 "$scratch/$name.log"
    mkdir -p fuzz-failures && cp "$scratch"/crash-* "$scratch"/leak-* "$scratch"/timeout-* fuzz-failures/ 2>/dev/null || true
  fi
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$scratch/$name.log" | sed 's/^/   /'
done
exit $status
