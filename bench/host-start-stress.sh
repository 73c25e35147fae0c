#!/usr/bin/env bash
# Starts the desktop host with COUNT placed widgets STARTS times over, on a private X server and
# session bus, and fails on the first start that crashes, never paints, or has a sanitizer
# report. Meant for the sanitizer build, where a race at start-up shows; a short run of it is
# a test (label "stress").
#   bench/host-start-stress.sh [BUILD_DIR] [STARTS] [COUNT]   (build/test, 50, 100)
set -euo pipefail
BUILD=${1:-build/test}
STARTS=${2:-50}
COUNT=${3:-100}
PROG="$BUILD/src/host/velk-widgets"
[ -x "$PROG" ] || { echo "host-start-stress: no $PROG" >&2; exit 1; }
if [ -z "${VELK_STRESS_INNER:-}" ]; then
  export VELK_STRESS_INNER=1
  exec dbus-run-session -- xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$BUILD" "$STARTS" "$COUNT"
fi

HOME_DIR=$(mktemp -d)
PID=
trap '[ -n "$PID" ] && kill -9 "$PID" 2>/dev/null; rm -rf "$HOME_DIR"' EXIT
export XDG_CONFIG_HOME="$HOME_DIR/config" XDG_DATA_HOME="$HOME_DIR/data" XDG_CACHE_HOME="$HOME_DIR/cache"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=0:halt_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export VELK_HOST_FIRST_PAINT=1

# The placement file, written directly (COUNT starts of `velk-widgets add` would take long
# under the sanitizers): the bundle's kinds in turn, on a grid.
mkdir -p "$XDG_CONFIG_HOME/velk"
"$PROG" list | python3 -c '
import json, sys
kinds = [line.split("\t")[0] for line in sys.stdin if line.strip()]
n = int(sys.argv[1])
widgets = [{"id": "S%03d" % i, "kind": kinds[i % len(kinds)], "x": (i % 10) * 180, "y": (i // 10) % 6 * 180}
           for i in range(n)]
json.dump({"version": 1, "widgets": widgets}, open(sys.argv[2], "w"))
' "$COUNT" "$XDG_CONFIG_HOME/velk/widgets.json"

for ((i = 1; i <= STARTS; i++)); do
  out="$HOME_DIR/start-$i.log"
  "$PROG" >"$out" 2>&1 & PID=$!
  painted=0
  # Up to two minutes for a start under the sanitizers on a busy machine.
  for ((t = 0; t < 1200; t++)); do
    if grep -qs '^first paint at ' "$out"; then painted=1; break; fi
    kill -0 "$PID" 2>/dev/null || break
    sleep 0.1
  done
  # A moment past the first paint, while the timelines of the start come in.
  [ "$painted" = 1 ] && sleep 1
  alive=0
  kill -0 "$PID" 2>/dev/null && alive=1
  kill "$PID" 2>/dev/null || true
  wait "$PID" 2>/dev/null || true
  PID=
  if [ "$painted" != 1 ] || [ "$alive" != 1 ] || grep -qE 'ERROR: AddressSanitizer|runtime error:|Segmentation fault' "$out"; then
    echo "host-start-stress: start $i of $STARTS failed (painted=$painted, running=$alive):" >&2
    tail -n 40 "$out" >&2
    exit 1
  fi
done
echo "host-start-stress: $STARTS starts with $COUNT widgets, each painted and none crashed"
