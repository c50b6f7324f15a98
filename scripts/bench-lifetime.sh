#!/usr/bin/env bash
# Seiseki over a lifetime of games: for each count given (1000 and 100000
# unless told), a program folder filled with that many games by
# fill_history (kept in $LIFETIME_DIR, /tmp/ym-lifetime by default, so a
# later run reuses it), then
# - the window made, read, filled and painted, a game recorded by another
#   program shown, the longest the window's thread was blocked meanwhile and
#   recording a game (bench_stats on that folder, offscreen);
# - the peak memory of the Seiseki program with its window open, once it has
#   read the history (offscreen);
# - --export of every game: its time and peak memory.
# Prints one line per count for docs/figures.md.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DYM_BUILD_BENCH=ON \
  -DYM_BUILD_TESTS=OFF >&2
cmake --build "$build_dir" --target fill_history bench_stats Seiseki wordlists >&2
root=${LIFETIME_DIR:-/tmp/ym-lifetime}
export QT_QPA_PLATFORM=offscreen

# Peak resident memory (MiB) of Seiseki's window, sampled once the program
# has stopped using the processor for a second: the history read and shown.
window_peak_mib() { # folder
  local pid before after
  "$1/Seiseki" >/dev/null 2>&1 &
  pid=$!
  after=-1
  until [ "$after" = "${before:-}" ]; do
    before=$after
    sleep 1
    after=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  done
  awk '/VmHWM/ {printf "%.0f", $2 / 1024}' "/proc/$pid/status"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

echo "| games | window read, filled and painted p50 | game shown p50 / max | window blocked max | Seiseki peak memory | --export | recording p99 |"
echo "|---|---|---|---|---|---|---|"
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(1000 100000)
for n in "${counts[@]}"; do
  folder="$root/$n"
  if [ ! -e "$folder/history.sqlite" ]; then
    "$build_dir/bench/fill_history" "$folder" "$n" >&2
  fi
  cp "$build_dir/bin/Seiseki" assets/ymconfig.ini "$folder/"
  mkdir -p "$folder/Data"
  cp "$build_dir"/wordlists/*.dat "$folder/Data/"
  YM_BENCH_FOLDER="$folder" "$build_dir/bench/bench_stats" \
    --benchmark_filter='OpenWindow|UpdateAfterGame|RecordIntoHistory' \
    --benchmark_format=console >"$folder/stats.txt" 2>/dev/null
  counter() { # Google Benchmark writes 1117 as 1.117k
    grep -E "^$1/" "$folder/stats.txt" | grep -Eo " $2=[0-9.]+k?" | cut -d= -f2 |
      awk '/k$/ {print $0 * 1000; next} {print}'
  }
  peak=$(window_peak_mib "$folder")
  /usr/bin/time -f '%e %M' -o "$folder/export.time" \
    "$folder/Seiseki" --export "$folder/games.csv" >/dev/null
  read -r seconds kib <"$folder/export.time"
  rows=$(($(wc -l <"$folder/games.csv") - 1))
  printf '| %s | %.0f ms | %.0f / %.0f ms | %.0f ms | %s MiB | %s s, %.0f games/s, %.0f MiB, %.0f MB | %.1f ms |\n' \
    "$n" "$(counter OpenWindow p50_ms)" "$(counter UpdateAfterGame p50_ms)" \
    "$(counter UpdateAfterGame max_ms)" "$(counter UpdateAfterGame blocked_max_ms)" "$peak" \
    "$seconds" "$(awk -v r="$rows" -v s="$seconds" 'BEGIN {print r / s}')" \
    "$((kib / 1024))" "$(($(stat -c %s "$folder/games.csv") / 1000000))" \
    "$(counter RecordIntoHistory p99_ms)"
done
