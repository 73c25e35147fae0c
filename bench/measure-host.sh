#!/usr/bin/env bash
# Resident memory, idle CPU and wakeups of the desktop host with widgets placed, on a private
# X server and session bus with a throwaway config.
#   bench/measure-host.sh [BUILD_DIR] [SECONDS] [COUNT]
# COUNT widgets are placed, cycling through the bundle's kinds (default: every kind, at most 18).
# Targets: under 60 MB resident with all widgets placed; under 0.2 % of one core idle with
# ten placed.
set -euo pipefail
BUILD=${1:-build/release}
SECONDS_IDLE=${2:-60}
COUNT=${3:-18}
PROG="$BUILD/src/host/velk-widgets"
[ -x "$PROG" ] || { echo "measure-host: no $PROG (build velk-widgets first)" >&2; exit 1; }

if [ -z "${VELK_MEASURE_INNER:-}" ]; then
  export VELK_MEASURE_INNER=1
  exec dbus-run-session -- xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$BUILD" "$SECONDS_IDLE" "$COUNT"
fi

HOME_DIR=$(mktemp -d)
trap 'kill "$HOST_PID" 2>/dev/null || true; rm -rf "$HOME_DIR"' EXIT
export XDG_CONFIG_HOME="$HOME_DIR/config" XDG_DATA_HOME="$HOME_DIR/data" XDG_CACHE_HOME="$HOME_DIR/cache"

mapfile -t KINDS < <("$PROG" list | cut -f1)
[ ${#KINDS[@]} -gt 0 ] || { echo "measure-host: the plug-in offers no widgets" >&2; exit 1; }
for ((i = 0; i < COUNT; i++)); do "$PROG" add "${KINDS[$((i % ${#KINDS[@]}))]}" >/dev/null; done

"$PROG" & HOST_PID=$!
sleep 10 # start-up and the first timelines are not idle

ticks() { awk '{print $14 + $15}' "/proc/$HOST_PID/stat"; }
# Context switches per thread, "TID COUNT" lines. Worker threads come and go while idle (the
# pool lets idle ones expire), so each is sampled every second and its last count kept: a
# process-wide sum taken only at both ends would lose the switches of a thread that ended.
switches() {
  for f in /proc/$HOST_PID/task/*/status; do
    awk '/^Pid:/{p=$2} /^voluntary_ctxt_switches/{v=$2} /^nonvoluntary_ctxt_switches/{n=$2} END{if (p) print p, v + n}' "$f" 2>/dev/null || true
  done
}
HZ=$(getconf CLK_TCK)
declare -A FIRST LAST
while read -r tid n; do FIRST[$tid]=$n; LAST[$tid]=$n; done < <(switches)
t0=$(ticks)
for ((i = 0; i < SECONDS_IDLE; i++)); do
  sleep 1
  while read -r tid n; do
    [ -n "${FIRST[$tid]:-}" ] || FIRST[$tid]=0 # born during the measurement
    LAST[$tid]=$n
  done < <(switches)
done
t1=$(ticks)
WAKEUPS=0
for tid in "${!LAST[@]}"; do WAKEUPS=$((WAKEUPS + LAST[$tid] - FIRST[$tid])); done
RSS_KB=$(awk '/^VmRSS/{print $2}' "/proc/$HOST_PID/status")

echo "widgets placed:     $COUNT"
echo "resident memory:    $((RSS_KB / 1024)) MB"
awk -v d=$((t1 - t0)) -v hz="$HZ" -v s="$SECONDS_IDLE" 'BEGIN{printf "idle CPU:           %.3f %% of one core\n", 100 * d / hz / s}'
awk -v d="$WAKEUPS" -v s="$SECONDS_IDLE" 'BEGIN{printf "wakeups per second: %.2f\n", d / s}'
