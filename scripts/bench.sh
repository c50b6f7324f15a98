#!/usr/bin/env bash
# Measures the figures the project watches and prints them as the table that
# docs/figures.md keeps:
# judge time per key (alone, and with the game's record of each key),
# word-list file operations against a plain copy,
# recording a game in the history and reading its statistics, the
# start-up time of the programs to their first window (with and without a
# 32767-word list in Data; the statistics with and without 10,000 games), the
# statistics window filled, the practice list and the window's update after a
# game, the editor's list at 32767 words, its suggested reading (and that
# starting any of the programs does not load MeCab), its import and export of
# 10000 lines on the command line, the evenness of the falling word's steps
# and the time from a key to the screen, and the game's CPU share and
# resident memory while a word falls for 10 s
# (under Xvfb, on a display number that is free).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test >&2
build_dir=${BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DYM_BUILD_BENCH=ON \
  -DYM_BUILD_TESTS=OFF >&2
cmake --build "$build_dir" -j"$(nproc)" >&2

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# ---- Library benchmarks ----------------------------------------------------
"$build_dir/bench/bench_judge" --benchmark_format=console >"$work/judge.txt" 2>/dev/null
"$build_dir/bench/bench_files" --benchmark_format=console >"$work/files.txt" 2>/dev/null
QT_QPA_PLATFORM=offscreen "$build_dir/bench/bench_editor" --benchmark_format=console \
  >"$work/editor.txt" 2>/dev/null
editor_ms() { grep -E "^$1/" "$work/editor.txt" | awk '{print $2}'; }
QT_QPA_PLATFORM=offscreen "$build_dir/bench/bench_reading" --benchmark_format=console \
  >"$work/reading.txt" 2>/dev/null
reading_ms() { grep -E "^$1/" "$work/reading.txt" | awk '{print $2}'; }
reading() { grep -Eo "$1=[0-9.]+" "$work/reading.txt" | cut -d= -f2; }
"$build_dir/bench/bench_history" --benchmark_format=console >"$work/history.txt" 2>/dev/null
"$build_dir/bench/bench_import" --benchmark_format=console >"$work/import.txt" 2>/dev/null
import_ms() { grep -E "^$1/" "$work/import.txt" | awk '{print $2}'; }
history_ms() { # benchmark, counter
  printf '%.1f' "$(grep -E "^$1/" "$work/history.txt" | grep -Eo "$2=[0-9.]+" | cut -d= -f2)"
}
judge_ns=$(grep -E '^JudgeKeys' "$work/judge.txt" | grep -Eo 'ns_per_key=[0-9.]+' | cut -d= -f2)
record_ns=$(grep -E '^JudgeAndRecordKeys' "$work/judge.txt" | grep -Eo 'ns_per_key=[0-9.]+' | cut -d= -f2)
take_us=$(grep -E '^JudgeAndRecordKeys' "$work/judge.txt" | grep -Eo 'us_to_take=[0-9.]+' | cut -d= -f2)
file_row() { # name in the benchmark, label
  local line ms ratio
  line=$(grep -E "^$1/" "$work/files.txt")
  ms=$(awk '{print $2}' <<<"$line")
  ratio=$(grep -Eo 'x_copy=[0-9.]+' <<<"$line" | cut -d= -f2)
  printf '| %s | %s ms (%.2fx a plain copy) | under 3x |\n' "$2" "$ms" "$ratio"
}

# ---- The programs under a virtual display ------------------------------------
# Xvfb picks a free display number and writes it to the file; -noreset keeps
# it from resetting, and refusing connections, each time its last client goes.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>"$work/Xvfb.err" &
xvfb_pid=$!
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done

# The play screen in-process: the falling word's steps and key to screen.
"$build_dir/bench/bench_play" 2>/dev/null >"$work/play.txt"
play() { grep -Eo "$1=[0-9.]+" "$work/play.txt" | cut -d= -f2; }
# The statistics window in-process: filled, the practice list, the update.
"$build_dir/bench/bench_stats" --benchmark_format=console >"$work/stats.txt" 2>/dev/null
stats_ms() { # benchmark, counter
  printf '%.1f' "$(grep -E "^$1/" "$work/stats.txt" | grep -Eo "$2=[0-9.]+" | cut -d= -f2)"
}

# A program folder of its own: the default settings and the shipped lists.
prog="$work/bin"
mkdir -p "$prog/Data"
cp "$build_dir/bin/Yubimaru" "$build_dir/bin/Tangobako" "$build_dir/bin/Seiseki" "$prog/"
cp assets/ymconfig.ini "$prog/"
cp "$build_dir"/wordlists/*.dat "$prog/Data/"

now_ms() { date +%s%3N; }
# Stops the run, with what the program said, when it ended before its window.
ended_early() { # program, process id
  kill -0 "$2" 2>/dev/null && return
  echo "$1 ended before its window showed:" >&2
  cat "$work/$1.err" >&2
  kill -0 "$xvfb_pid" 2>/dev/null || echo "Xvfb had ended:" >&2
  cat "$work/Xvfb.err" >&2
  exit 1
}
# Milliseconds from starting a program until a window with the title shows.
startup_ms() { # program, window title
  local start pid
  start=$(now_ms)
  "$prog/$1" >/dev/null 2>"$work/$1.err" &
  pid=$!
  until xwininfo -root -tree 2>/dev/null | grep -q "\"$2\": (\"$1\""; do
    ended_early "$1" "$pid"
    sleep 0.005
  done
  echo $(($(now_ms) - start))
  grep -q libmecab "/proc/$pid/maps" && touch "$work/mecab_at_start"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
game_start_small=$(for _ in 1 2 3 4 5; do startup_ms Yubimaru Yubimaru; done | median)
# A 32767-word list beside the shipped ones (the game only lists the lists
# at start-up; the editor opens the current one, which stays a shipped list).
awk 'BEGIN {
  printf "6554,6554,6553,6553,6553\r\n"
  n[1] = 6554; n[2] = 6554; n[3] = 6553; n[4] = 6553; n[5] = 6553
  for (level = 1; level <= 5; level++)
    for (i = 0; i < n[level]; i++)
      printf "%03d%03d%03d,%X,%d\r\n", 1 + i % 46, 1 + (i * 7) % 46, 1 + (i * 13) % 46, 34975 + i % 90, level
}' >"$prog/Data/Big.dat"
game_start=$(for _ in 1 2 3 4 5; do startup_ms Yubimaru Yubimaru; done | median)
editor_start_small=$(for _ in 1 2 3 4 5; do startup_ms Tangobako 登録画面; done | median)
# The editor with the 32767-word list as the one it opens.
mv "$prog/Data/Nomal.dat" "$work/Nomal.dat"
cp "$prog/Data/Big.dat" "$prog/Data/Nomal.dat"
editor_start=$(for _ in 1 2 3 4 5; do startup_ms Tangobako 登録画面; done | median)
mv "$work/Nomal.dat" "$prog/Data/Nomal.dat"
# The statistics before the first game, then with 10,000 games recorded.
stats_start_empty=$(for _ in 1 2 3 4 5; do startup_ms Seiseki 成績; done | median)
"$build_dir/bench/bench_stats" --make-history="$prog"
stats_start=$(for _ in 1 2 3 4 5; do startup_ms Seiseki 成績; done | median)

# Play: START on the menu, START on the play screen, wait out the countdown,
# then watch the process for 10 s while the first word falls.
"$prog/Yubimaru" >/dev/null 2>"$work/Yubimaru.err" &
game_pid=$!
window=""
until window=$(xdotool search --onlyvisible --name '^Yubimaru$' 2>/dev/null | head -1) && [ -n "$window" ]; do
  ended_early Yubimaru "$game_pid"
  sleep 0.05
done
sleep 0.5
xdotool mousemove --window "$window" 396 236 click 1 # menu START
sleep 1
window=$(xdotool search --onlyvisible --name '^Yubimaru$' | head -1)
xdotool mousemove --window "$window" 104 80 click 1 # play screen START
sleep 7                                             # countdown
ticks() { awk '{print $14 + $15}' "/proc/$game_pid/stat"; }
before=$(ticks)
sleep 10
after=$(ticks)
hz=$(getconf CLK_TCK)
cpu=$(awk -v t=$((after - before)) -v hz="$hz" 'BEGIN {printf "%.2f", 100 * t / hz / 10}')
rss=$(awk '/VmRSS/ {printf "%.1f", $2 / 1024}' "/proc/$game_pid/status")
kill "$game_pid"

echo
echo "Measured on: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores, $(date +%Y-%m-%d)"
echo
echo "| figure | measured | aim |"
echo "|---|---|---|"
printf '| judge, per key | %s ns | under 1 µs |\n' "$judge_ns"
printf '| judge and the game'"'"'s record of the key, per key | %s ns (taking the record of those 10 words after the game: %.0f µs) | under 1 µs |\n' \
  "$record_ns" "$take_us"
file_row ConvertList "ConvertWordFile, 32767 records"
file_row SaveList "SaveWordFile, 32767 records"
file_row DeleteRecord "DeleteWordRecord, 32767 records"
file_row LoadGame "game's word loading (draw, load, shuffle), 32767 records"
printf '| Yubimaru start-up to the menu, 32767-word list in Data | %s ms (%.2fx without it) | under 300 ms |\n' \
  "$game_start" "$(awk -v a="$game_start" -v b="$game_start_small" 'BEGIN {print a / b}')"
printf '| Tangobako start-up to its window, opening a 32767-word list | %s ms (%.2fx with the shipped Nomal) | under 300 ms |\n' \
  "$editor_start" "$(awk -v a="$editor_start" -v b="$editor_start_small" 'BEGIN {print a / b}')"
shipped_x() { grep -E "^$1/" "$work/editor.txt" | grep -Eo 'x_shipped=[0-9.]+' | cut -d= -f2; }
printf '| Tangobako registration screen filled, 32767 words in one level | %s ms (%.2fx the shipped Nomal); after another list %s ms (%.2fx) | within 1.2x |\n' \
  "$(editor_ms OpenFull)" "$(shipped_x OpenFull)" "$(editor_ms OpenFullCold)" "$(shipped_x OpenFullCold)"
printf '| Tangobako level switch to those 32767 words (▲) | %s ms | under 30 ms |\n' \
  "$(editor_ms SwitchToFullLevel)"
printf '| Tangobako re-display of those 32767 words (再表示) | %s ms | under 30 ms |\n' \
  "$(editor_ms RedisplayFullLevel)"
printf '| Tangobako suggested reading, Enter in the word field to the suggestion shown | first of the run %s ms, later %s ms | under 5 ms |\n' \
  "$(reading first_suggestion_ms)" "$(reading_ms LeaveWordField)"
printf '| Tangobako first key of the first word, which loads MeCab | %s ms (loading it again: %s ms) | under a 60 Hz frame |\n' \
  "$(reading first_key_ms)" "$(reading_ms FirstKeyLoading)"
printf '| Tangobako --import, 10000 lines | with readings and levels %s ms; words alone (readings from MeCab, levels from keys) %s ms | under 2000 ms |\n' \
  "$(import_ms ImportWithReadings)" "$(import_ms ImportSuggestingReadings)"
printf '| Tangobako --export of those 10000 words | %s ms | under 2000 ms |\n' "$(import_ms ExportList)"
mecab_at_start=no
[ "$(reading mecab_loaded_at_start)" = 0 ] && [ ! -e "$work/mecab_at_start" ] || mecab_at_start=yes
printf '| MeCab loaded when any of the programs shows its window | %s | no (the first word typed loads it) |\n' \
  "$mecab_at_start"
printf '| falling word, spread of its on-screen steps at level 3 | sd %s ms of mean %s ms (%s) | even |\n' \
  "$(play step_sd_ms)" "$(play step_mean_ms)" "$(play step_cv)"
printf '| key to screen, %s keys | p50 %s ms, p99 %s ms (%.2fx a 60 Hz frame) | p99 under 2 ms |\n' \
  "$(play keys)" "$(play key_p50_ms)" "$(play key_p99_ms)" \
  "$(awk -v p="$(play key_p99_ms)" 'BEGIN {print p / (1000 / 60)}')"
printf '| recording a game of 50 words (300 kana) in the open history | p50 %s ms, p99 %s ms (opening and closing too: p99 %s ms) | p99 under 20 ms |\n' \
  "$(history_ms WriteGameOpen p50_ms)" "$(history_ms WriteGameOpen p99_ms)" \
  "$(history_ms OpenAndWriteGame p99_ms)"
printf '| opening the history and reading the statistics'"'"' first screen, 10000 games | p50 %s ms, p99 %s ms | under 300 ms |\n' \
  "$(history_ms OpenOverview p50_ms)" "$(history_ms OpenOverview p99_ms)"
printf '| Seiseki start-up to its window, 10000 games recorded | %s ms (%.2fx with no games) | under 300 ms |\n' \
  "$stats_start" "$(awk -v a="$stats_start" -v b="$stats_start_empty" 'BEGIN {print a / b}')"
printf '| Seiseki window made, filled and painted, 10000 games | p50 %s ms, p99 %s ms | under 300 ms |\n' \
  "$(stats_ms OpenWindow p50_ms)" "$(stats_ms OpenWindow p99_ms)"
printf '| practice list written from the shipped lists, 10000 games | p50 %s ms, p99 %s ms | under 1 s |\n' \
  "$(stats_ms MakePracticeListOnce p50_ms)" "$(stats_ms MakePracticeListOnce p99_ms)"
printf '| practice list after 25 misses on one kana (し, しゃ, つ, ぬ, りょ): that kana'"'"'s share of its kana against the shipped Nomal list'"'"'s | at least %sx | at least 5x |\n' \
  "$(stats_ms TargetShare min_ratio)"
printf '| Seiseki showing a game another program recorded | p50 %s ms, max %s ms | within 1 s |\n' \
  "$(stats_ms UpdateAfterGame p50_ms)" "$(stats_ms UpdateAfterGame max_ms)"
printf '| Yubimaru CPU while a word falls, 10 s | %s %% of a core | under 1 %% |\n' "$cpu"
printf '| Yubimaru resident memory while playing | %s MiB | under 80 MiB |\n' "$rss"
