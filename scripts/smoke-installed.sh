#!/usr/bin/env bash
# Smoke test of the installed package; run as root with the .deb as argument.
# Installs it, then, as an ordinary user with a fresh home, starts the
# programs from their desktop entries (the lowercase commands) under Xvfb,
# changes the start level on the game's settings screen, and starts each by
# its capitalised name too; runs the statistics' command line without a
# display. Checks that the per-user folder was laid out from
# the defaults and holds the change, that nothing under the install prefix
# changed, and that reinstalling and upgrading the package leave the user's
# folder as it was.
set -euo pipefail

fail() {
  echo "smoke: FAIL: $*" >&2
  exit 1
}

defaults=/usr/share/games/yubimaru
apps=/usr/share/applications

# ---- The part run as the user, inside Xvfb --------------------------------
if [ "${1:-}" = --session ]; then
  folder=$HOME/.local/share/Yubimaru
  # The command of a desktop entry, without field codes.
  exec_line() { sed -n 's/^Exec=//p' "$apps/io.github.yubimaru.$1.desktop" | sed 's/ *%[a-zA-Z]//g'; }
  # Waits up to 10 s for a visible window matching xdotool's search arguments.
  wait_window() {
    for _ in $(seq 100); do
      xdotool search --onlyvisible "$@" 2>/dev/null | head -n1 | grep . && return 0
      sleep 0.1
    done
    return 1
  }
  # Clicks at a point given in pixels from the window's top left corner.
  click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
  # Waits up to 10 s for a process to end.
  wait_exit() {
    for _ in $(seq 100); do
      kill -0 "$1" 2>/dev/null || return 0
      sleep 0.1
    done
    return 1
  }

  [ ! -e "$folder" ] || fail "$folder exists before the first start"

  read -r -a editor <<<"$(exec_line Tangobako)"
  "${editor[@]}" &
  pid=$!
  wait_window --class '^Tangobako$' >/dev/null || fail "Tangobako shows no window"
  # The editor has already counted the current word list into MessageClass.
  without_counts() { sed '/^\[MessageClass\]/,$d' "$1"; }
  cmp <(without_counts "$defaults/ymconfig.ini") <(without_counts "$folder/ymconfig.ini") ||
    fail "ymconfig.ini is not the default"
  for dat in "$defaults"/Data/*.dat; do
    cmp "$dat" "$folder/Data/${dat##*/}" || fail "${dat##*/} is not the shipped word list"
  done
  grep -q '^LEVEL=3' "$folder/ymconfig.ini" || fail "the default level is not 3"
  kill "$pid"
  wait_exit "$pid" || fail "Tangobako does not end"

  read -r -a game <<<"$(exec_line Yubimaru)"
  "${game[@]}" &
  pid=$!
  menu=$(wait_window --name '^Yubimaru') || fail "Yubimaru shows no menu"
  click "$menu" 396 303 # CONFIG
  config=$(wait_window --name '^Config') || fail "CONFIG opens no settings screen"
  click "$config" 677 88  # LEVEL 5
  click "$config" 404 536 # 設定完了
  menu=$(wait_window --name '^Yubimaru') || fail "the menu does not come back"
  grep -q '^LEVEL=5' "$folder/ymconfig.ini" || fail "LEVEL=5 did not land in $folder/ymconfig.ini"
  click "$menu" 396 436 # EXIT
  wait_exit "$pid" || fail "EXIT does not end Yubimaru"

  read -r -a stats <<<"$(exec_line Seiseki)"
  "${stats[@]}" &
  pid=$!
  wait_window --class '^Seiseki$' >/dev/null || fail "Seiseki shows no window"
  kill "$pid"
  wait_exit "$pid" || fail "Seiseki does not end"
  # The command line needs no display: an export of the history, or, before
  # the first game, a message naming it.
  help=$(env -u DISPLAY Seiseki --help) || fail "Seiseki --help fails without a display"
  grep -q -- --export-kana <<<"$help" || fail "Seiseki --help does not list --export-kana"
  if [ -e "$folder/history.sqlite" ]; then
    csv=$(env -u DISPLAY Seiseki --export -) || fail "Seiseki --export fails"
    [ "${csv%%,*}" = started ] || fail "Seiseki --export writes no header"
  else
    ! env -u DISPLAY Seiseki --export - 2>"$HOME/export.err" >/dev/null ||
      fail "Seiseki --export succeeds without a history"
    grep -q "$folder/history.sqlite" "$HOME/export.err" || fail "Seiseki --export does not name the history"
  fi

  # The entries start the lowercase commands; the design's names start the
  # same programs, under the same window class.
  for program in Tangobako Yubimaru Seiseki; do
    command=${program,,}
    [ "$(exec_line "$program")" = "$command" ] || fail "the $program entry does not run $command"
    [ "$(readlink -f "$(command -v "$command")")" = "$(command -v "$program")" ] ||
      fail "$command is not $program"
    "$program" &
    pid=$!
    wait_window --class "^$program\$" >/dev/null || fail "$program shows no window"
    kill "$pid"
    wait_exit "$pid" || fail "$program does not end"
  done
  echo "smoke: the programs started by both names; the new level is in $folder/ymconfig.ini"
  exit 0
fi

# ---- The part run as root ---------------------------------------------------
[ "$(id -u)" -eq 0 ] || fail "run me as root"
deb=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"

# --reinstall: a package of the same version may be installed already.
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --reinstall "$deb"

# Everything under the install prefix that belongs to the package.
prefix_listing() {
  dpkg-query -L yubimaru | while read -r path; do
    [ -f "$path" ] && sha256sum "$path"
  done
  find /usr/games /usr/share/games/yubimaru -printf '%p %m %s\n' | sort
}
prefix_listing >"$work/prefix.before"

user=ymsmoke
id "$user" >/dev/null 2>&1 || useradd --system --no-create-home --home-dir /nonexistent "$user"
home=$work/home
mkdir "$home" "$work/run"
chown "$user:" "$home" "$work/run"
chmod 700 "$work/run"
install -m 755 "$0" "$work/smoke.sh"
runuser -u "$user" -- env -i HOME="$home" XDG_RUNTIME_DIR="$work/run" LANG=C.UTF-8 \
  PATH=/usr/local/bin:/usr/bin:/bin:/usr/games timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$work/smoke.sh" --session

prefix_listing >"$work/prefix.after"
diff "$work/prefix.before" "$work/prefix.after" || fail "the programs wrote into the install prefix"
dpkg --verify yubimaru || fail "installed files changed"

# Reinstalling and upgrading never touch the user's folder.
folder=$home/.local/share/Yubimaru
user_listing() { (cd "$folder" && find . -type f -exec sha256sum {} + | sort -k2); }
user_listing >"$work/user.before"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --reinstall "$deb"
dpkg-deb -R "$deb" "$work/upgrade"
sed -i 's/^Version: .*/&+smoke1/' "$work/upgrade/DEBIAN/control"
dpkg-deb -b "$work/upgrade" "$work/upgrade.deb" >/dev/null
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$work/upgrade.deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --allow-downgrades "$deb"
user_listing >"$work/user.after"
diff "$work/user.before" "$work/user.after" || fail "reinstalling or upgrading changed $folder"
grep -q '^LEVEL=5' "$folder/ymconfig.ini" || fail "the changed level is gone"
echo "smoke: passed"
