#!/usr/bin/env bash
# The app's private dirty memory with its window opened and closed, against the app started
# with --login-item and never opened, in one private X session (openbox and a tray) on a
# private session bus. Each app is read SETTLE_SECONDS (default 15) after its last step.
#   bench/measure-app-memory.sh [BUILD_DIR]
# Target: the closed window within 2 MB of the never-opened app.
set -euo pipefail
BUILD=${1:-build/release}
PROG="$BUILD/src/app/screens/velk"
SETTLE=${SETTLE_SECONDS:-15}
[ -x "$PROG" ] || { echo "measure-app-memory: no $PROG (build velk first)" >&2; exit 1; }

if [ -z "${VELK_MEASURE_INNER:-}" ]; then
  export VELK_MEASURE_INNER=1
  exec dbus-run-session -- xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$BUILD"
fi

WORK=$(mktemp -d)
PIDS=()
trap 'for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$WORK"' EXIT
export XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data" XDG_CACHE_HOME="$WORK/cache"
cc "$(dirname "$0")/tray-owner.c" -lX11 -o "$WORK/tray-owner"
openbox >/dev/null 2>&1 & PIDS+=($!)
"$WORK/tray-owner" & PIDS+=($!)
sleep 2

dirty_kb() { awk '$1 == "Private_Dirty:" {print $2}' "/proc/$1/smaps_rollup"; }
# Waits until a window named "VELK" of that process shows; prints its id.
window_of() {
  for _ in $(seq 60); do
    if id=$(xdotool search --all --pid "$1" --onlyvisible --name '^VELK$' 2>/dev/null | head -1) && [ -n "$id" ]; then
      echo "$id"; return 0
    fi
    sleep 0.5
  done
  return 1
}

# The host is started by the app when none answers; one for both runs.
"$BUILD/src/host/velk-widgets" >/dev/null 2>&1 & PIDS+=($!)
sleep 3

# 1. Started at login, never opened. Each app runs alone: one instance per session.
"$PROG" --login-item >/dev/null 2>&1 & LOGIN=$!; PIDS+=($LOGIN)
sleep "$SETTLE"
never=$(dirty_kb "$LOGIN")
kill "$LOGIN"; wait "$LOGIN" 2>/dev/null || true

# 2. Opened (the gallery drawn), then closed with the window manager's close.
"$PROG" >/dev/null 2>&1 & APP=$!; PIDS+=($APP)
win=$(window_of "$APP") || { echo "measure-app-memory: the window never showed" >&2; exit 1; }
sleep 5
opened=$(dirty_kb "$APP")
# openbox closes the active window on Alt+F4 (WM_DELETE_WINDOW, as a title bar's close does).
xdotool windowactivate --sync "$win" key --clearmodifiers alt+F4
sleep "$SETTLE"
closed=$(dirty_kb "$APP")
# A window only hidden keeps its X window; one let go has none left.
left=$( (xdotool search --all --pid "$APP" --name '^VELK$' 2>/dev/null || true) | wc -l)
kill "$APP"; wait "$APP" 2>/dev/null || true

printf 'private dirty: never opened %d kB, window open %d kB, window closed %d kB (%d X windows left); closed - never = %d kB\n' \
  "$never" "$opened" "$closed" "$left" "$((closed - never))"
