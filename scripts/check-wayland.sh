#!/usr/bin/env bash
# Runs the three programs as native Wayland clients under sway's headless
# backend, keys typed by wtype and pictures taken by grim: the game's menu, a
# whole short game played by keys alone, the name entry, the ranking, the
# settings with their name dialog, the editor adding a word, and the
# statistics' pages. Fails, naming the step, on anything a program writes to
# standard error (Qt's warnings) and whenever the window that should take the
# keys is not the focused one. The pictures go to the folder given as
# argument (build/wayland by default).
set -euo pipefail
cd "$(dirname "$0")/.."
shots=$(realpath -m "${1:-build/wayland}")
scripts/setup.sh run sway wtype grim qt6-wayland jq
scripts/build.sh Yubimaru Tangobako Seiseki program_folder >/dev/null

step="setting up"
fail() {
  echo "check-wayland: FAIL at $step: $*" >&2
  exit 1
}
trap 'fail "a command failed (line $LINENO)"' ERR

. scripts/sway-session.sh
session_end() {
  mkdir -p "$shots"
  cp "$work"/shots/*.png "$shots"/ 2>/dev/null || true
}
mkdir "$work/shots"
# A program folder the session may write: the build's, with a word list whose
# every word is read あ, so that a game is typed by A alone; six words a
# stage from level 1, and a ranking that a won game enters.
cp -r "${BUILD_DIR:-build}/bin" "$work/folder"
for level in 1 2 3 4 5; do
  for i in 0 1 2 3 4 5 6; do printf '語%s%s\tあ\t%s\n' "$level" "$i" "$level"; done
done >"$work/a.txt"
# (The file's lines end in CR LF.)
sed -i -e '/^LIST=/d' -e 's/^LEVEL=[^\r]*/LEVEL=1/' -e 's/^\([A-I]2\)=[^\r]*/\1=1/' \
  -e 's/^NUMBER=[^\r]*/NUMBER=6\r\nLIST=Aa.dat/' "$work/folder/ymconfig.ini"
session_owns "$work/shots" "$work/folder"
chmod 644 "$work/a.txt"

# The focused window: its id and title.
focused() { as_user swaymsg -t get_tree | jq -r '.. | objects | select(.focused) | "\(.id) \(.name)"'; }
is_focused() { # title [id it must not be]
  local now
  now=$(focused)
  [ "${now#* }" = "$1" ] && [ "${now%% *}" != "${2:-}" ]
}
# Waits for the window titled $1 (and other than the window $2) to take the
# keys; its id is then in window.
expect_focus() {
  wait_for is_focused "$@" || fail "the focused window is \"$(focused)\", not \"$1\""
  window=$(focused | cut -d' ' -f1)
}
shot() { as_user grim "$work/shots/$1.png"; }
type_keys() { as_user wtype "$@"; }
# Starts a program of the folder, its standard error kept for quiet(); its
# process is then in program.
start() {
  as_user_bg "$work/folder/$1" 2>"$work/$1.err" >/dev/null
  program=$pid
}
quiet() { [ ! -s "$work/$1.err" ] || fail "$1 wrote to standard error: $(head -c 2000 "$work/$1.err")"; }
ended() { ! kill -0 "$1" 2>/dev/null; }

step="starting sway"
as_user "$work/folder/Tangobako" --import "$work/a.txt" --list Aa >/dev/null
sway_session_start || fail "sway did not start"
# A keyboard that stays for the whole run, as a real seat's does: without
# one, each wtype's keyboard comes and goes with it.
as_user_bg wtype -s 600000 >/dev/null 2>&1
has_keyboard() { [ $(($(as_user swaymsg -t get_seats | jq '.[0].capabilities') & 2)) -ne 0 ]; }
wait_for has_keyboard || fail "the seat has no keyboard"

step="the game's menu"
start Yubimaru
expect_focus Yubimaru
menu=$window
shot 01-menu

step="a game typed by keys alone"
type_keys -k space # START on the menu
expect_focus Yubimaru "$menu"
screen=$window
type_keys -k space # ＳＴＡＲＴ on the game screen
for chunk in $(seq 12); do
  type_keys -d 250 aaaaa
  [ "$chunk" -ne 2 ] || shot 02-game
  ! is_focused "Default User Name " || break
done

step="the name entry after a won game"
expect_focus "Default User Name "
shot 03-name
# The name entry holds back the keys of its first half second, those meant
# for the game.
sleep 1
type_keys -M ctrl a -m ctrl WAYLAND -k Return
expect_focus Yubimaru "$menu"

step="the ranking"
type_keys -k Tab -k space # EXIT on the game screen
expect_focus Yubimaru "$screen"
type_keys -k Tab -k Tab -k space # RANKING
expect_focus RANKING
sleep 0.3
shot 04-ranking
type_keys -k Escape

step="the settings"
expect_focus Yubimaru
type_keys -M shift -k Tab -m shift -k space # CONFIG
expect_focus Config
shot 05-config
type_keys -M alt c -m alt # 変更: the default name
expect_focus "Default User Name "
shot 06-default-name
sleep 1
type_keys -M ctrl a -m ctrl TESTER -k Return
expect_focus Config
type_keys -M alt e -m alt # 設定完了
expect_focus Yubimaru
grep -q '^NAME=TESTER' "$work/folder/ymconfig.ini" || fail "the default name was not saved"
type_keys -k Tab -k Tab -k space # EXIT
wait_for ended "$program" || fail "EXIT does not end Yubimaru"
quiet Yubimaru

step="the editor adding a word"
start Tangobako
expect_focus 登録画面
# The word, Enter to its reading (which the suggestion may fill, selected),
# the reading, Enter to 変換・復元, Space to press it, Ctrl+S to save.
type_keys 波乗り -k Return
sleep 0.5
type_keys なみのり -k Return -k space
sleep 0.5
type_keys -M ctrl s -m ctrl
has_word() { as_user "$work/folder/Tangobako" --export Aa - | grep -q $'^波乗り\tなみのり\t'; }
wait_for has_word || fail "the word typed is not in the list"
shot 07-editor
as_user swaymsg kill >/dev/null
wait_for ended "$program" || fail "Tangobako does not end"
quiet Tangobako

step="the statistics"
start Seiseki
expect_focus 成績
shot 08-seiseki
type_keys -M alt 2 -m alt
sleep 0.3
shot 09-seiseki-kana
type_keys -M alt 3 -m alt
sleep 0.3
shot 10-seiseki-keys
type_keys -M alt x -m alt # 終了
wait_for ended "$program" || fail "Seiseki does not end"
quiet Seiseki

step="the end"
echo "check-wayland: passed; pictures in $shots"
