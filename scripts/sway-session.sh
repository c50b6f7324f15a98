# shellcheck shell=bash
# A headless sway session for the scripts that run the programs as native
# Wayland clients; sourced, not run. The session lives in a temporary folder
# ($work) that goes when the script ends, with the programs it started.
#   sway_session_start [sway config line...]
#                        starts sway on one 1280×1024 output; its clients
#                        then run through as_user and as_user_bg
# A script that needs more at its end defines session_end() before starting.

# sway refuses to run as root: then the session runs as nobody.
drop=()
[ "$(id -u)" -ne 0 ] || drop=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
work=$(mktemp -d)
pids=()
session_cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  if declare -F session_end >/dev/null; then session_end; fi
  rm -rf "$work"
}
trap session_cleanup EXIT
chmod 755 "$work"
mkdir -m 700 "$work/run" "$work/home"

# Runs a command in the session's clean environment; once sway runs, as its
# client.
session=(PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/run" LANG=C.UTF-8)
as_user() { "${drop[@]}" env -i "${session[@]}" "$@"; }
# The same in the background, its process (not a subshell's) in pid.
as_user_bg() {
  "${drop[@]}" env -i "${session[@]}" "$@" &
  pid=$!
  pids+=("$pid")
}
# Waits up to 10 s for a command to succeed.
wait_for() {
  for _ in $(seq 100); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}
# Hands a file or folder of the session to the user its clients run as.
session_owns() { [ ${#drop[@]} -eq 0 ] || chown -R nobody:nogroup "$@"; }

sway_session_start() {
  {
    echo 'xwayland disable'
    echo 'output HEADLESS-1 resolution 1280x1024'
    printf '%s\n' "$@"
  } >"$work/sway.cfg"
  chmod 644 "$work/sway.cfg"
  session_owns "$work/run" "$work/home"
  as_user_bg WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$work/sway.cfg" >"$work/sway.log" 2>&1
  has_sockets() { compgen -G "$work/run/wayland-*[0-9]" && compgen -G "$work/run/sway-ipc.*.sock"; }
  if ! wait_for has_sockets; then
    echo "sway did not start: $(tail -n 5 "$work/sway.log")" >&2
    return 1
  fi
  local display sock
  display=$(basename "$(compgen -G "$work/run/wayland-*[0-9]" | head -n1)")
  sock=$(compgen -G "$work/run/sway-ipc.*.sock" | head -n1)
  session+=(WAYLAND_DISPLAY="$display" SWAYSOCK="$sock" QT_QPA_PLATFORM=wayland)
}
