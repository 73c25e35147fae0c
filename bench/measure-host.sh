#!/usr/bin/env bash
# The desktop host against a plain Qt program showing as many tiles, in one session: resident
# memory, private dirty memory, the cost of each extra widget, the first paint; then the host's
# idle CPU and wakeups. Runs on a private X server and session bus with a throwaway config.
#   bench/measure-host.sh [BUILD_DIR] [SECONDS] [COUNT]
# COUNT widgets are placed, cycling through the bundle's kinds (default 18); the peer program
# (velk_peer_windows, bench/peer_windows.cpp) shows COUNT windows of the same sizes, each with
# an "HH:mm" text. The cost of an extra widget is taken by placing the same kinds twice over.
# Memory is read SETTLE_SECONDS (default 10) after start; the idle figures over SECONDS.
# Targets: resident memory at most 1.3 times the peer's, each extra widget under 0.15 MB, the
# first paint at most 1.5 times the peer's; under 0.2 % of one core idle.
set -euo pipefail
BUILD=${1:-build/release}
SECONDS_IDLE=${2:-60}
COUNT=${3:-18}
SETTLE=${SETTLE_SECONDS:-10}
PROG="$BUILD/src/host/velk-widgets"
PEER="$BUILD/bench/velk_peer_windows"
[ -x "$PROG" ] || { echo "measure-host: no $PROG (build velk-widgets first)" >&2; exit 1; }
[ -x "$PEER" ] || { echo "measure-host: no $PEER (build velk_peer_windows first)" >&2; exit 1; }

if [ -z "${VELK_MEASURE_INNER:-}" ]; then
  export VELK_MEASURE_INNER=1
  exec dbus-run-session -- xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$BUILD" "$SECONDS_IDLE" "$COUNT"
fi

HOME_DIR=$(mktemp -d)
PID=
trap '[ -n "$PID" ] && kill "$PID" 2>/dev/null; rm -rf "$HOME_DIR"' EXIT
export XDG_CONFIG_HOME="$HOME_DIR/config" XDG_DATA_HOME="$HOME_DIR/data" XDG_CACHE_HOME="$HOME_DIR/cache"

mapfile -t LIST < <("$PROG" list)
[ ${#LIST[@]} -gt 0 ] || { echo "measure-host: the plug-in offers no widgets" >&2; exit 1; }
size_of() { case "$1" in small) echo 160x160 ;; medium) echo 344x160 ;; *) echo 344x344 ;; esac; }

# Places widgets COUNT at a time (the same kinds each time); fills SIZES for the peer.
SIZES=()
place() {
  for ((i = 0; i < COUNT; i++)); do
    IFS=$'\t' read -r kind _ family <<<"${LIST[$((i % ${#LIST[@]}))]}"
    "$PROG" add "$kind" >/dev/null
    SIZES+=(--size "$(size_of "$family")")
  done
}

kb() { awk -v k="$2" '$1 == k":" {print $2}' "/proc/$1/smaps_rollup"; }
# Resident memory by kind of mapping, "HEAP ANON FILES SHARED" in kB: the malloc heap (the
# main arena), other anonymous memory (further arenas, thread stacks), files mapped from disk
# (libraries, fonts, data) and shared memory (window images handed to the X server).
split_kb() {
  awk '/^[0-9a-f]+-[0-9a-f]+ /{n = $6; k = (n == "[heap]") ? 1 : (n == "" || n ~ /^\[/) ? 2 : (n ~ /^\// && n !~ /^\/(SYSV|memfd)/) ? 3 : 4}
       /^Rss:/{s[k] += $2} END{printf "%d %d %d %d", s[1], s[2], s[3], s[4]}' "/proc/$1/smaps"
}
# Starts a program, takes its first-paint line from OUT, waits SETTLE seconds; sets PID,
# FIRST_MS, RSS_KB, DIRTY_KB.
run() {
  local out="$HOME_DIR/out.$RANDOM" started
  started=$(date +%s%N)
  "$@" >"$out" 2>&1 & PID=$!
  sleep "$SETTLE"
  local at
  at=$(awk '/^first paint at /{print $4; exit}' "$out")
  FIRST_MS=$([ -n "$at" ] && awk -v a="$at" -v s="$started" 'BEGIN{printf "%.0f", (a - s) / 1e6}' || echo "?")
  RSS_KB=$(kb "$PID" Rss)
  DIRTY_KB=$(kb "$PID" Private_Dirty)
  SPLIT_KB=$(split_kb "$PID")
}
stop() { kill "$PID"; wait "$PID" 2>/dev/null || true; PID=; }
mb() { awk -v k="$1" 'BEGIN{printf "%.1f", k / 1024}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN{if (b > 0) printf "%.2f", a / b; else print "?"}'; }

place
export VELK_HOST_FIRST_PAINT=1
run "$PROG"; stop
H_FIRST=$FIRST_MS H_RSS=$RSS_KB H_DIRTY=$DIRTY_KB H_SPLIT=$SPLIT_KB
run "$PEER" "${SIZES[@]}" "$COUNT"; stop
P_FIRST=$FIRST_MS P_RSS=$RSS_KB P_DIRTY=$DIRTY_KB P_SPLIT=$SPLIT_KB

# Twice as many: what each extra widget (and each extra window) costs.
place
run "$PROG"; stop
H_EXTRA=$(awk -v a="$RSS_KB" -v b="$H_RSS" -v n="$COUNT" 'BEGIN{printf "%.3f", (a - b) / n / 1024}')
run "$PEER" "${SIZES[@]}" "$((2 * COUNT))"; stop
P_EXTRA=$(awk -v a="$RSS_KB" -v b="$P_RSS" -v n="$COUNT" 'BEGIN{printf "%.3f", (a - b) / n / 1024}')

printf '%-26s %12s %12s %8s\n' "" "host" "Qt peer" "ratio"
printf '%-26s %12s %12s %8s\n' "widgets / windows" "$COUNT" "$COUNT" ""
printf '%-26s %9s MB %9s MB %8s\n' "resident memory" "$(mb "$H_RSS")" "$(mb "$P_RSS")" "$(ratio "$H_RSS" "$P_RSS")"
printf '%-26s %9s MB %9s MB %8s\n' "private dirty" "$(mb "$H_DIRTY")" "$(mb "$P_DIRTY")" "$(ratio "$H_DIRTY" "$P_DIRTY")"
read -r HH HA HF HS <<<"$H_SPLIT"
read -r PH PA PF PS <<<"$P_SPLIT"
printf '%-26s %9s MB %9s MB\n' "  malloc heap" "$(mb "$HH")" "$(mb "$PH")"
printf '%-26s %9s MB %9s MB\n' "  other anonymous" "$(mb "$HA")" "$(mb "$PA")"
printf '%-26s %9s MB %9s MB\n' "  mapped files" "$(mb "$HF")" "$(mb "$PF")"
printf '%-26s %9s MB %9s MB\n' "  shared memory" "$(mb "$HS")" "$(mb "$PS")"
printf '%-26s %9s MB %9s MB %8s\n' "per extra widget" "$H_EXTRA" "$P_EXTRA" "$(ratio "$H_EXTRA" "$P_EXTRA")"
printf '%-26s %9s ms %9s ms %8s\n' "first paint" "$H_FIRST" "$P_FIRST" "$(ratio "$H_FIRST" "$P_FIRST")"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"

# Idle: the host with COUNT widgets again (the file now holds twice as many: start afresh).
[ "$SECONDS_IDLE" -gt 0 ] || exit 0
rm -rf "$XDG_CONFIG_HOME"
SIZES=()
place
unset VELK_HOST_FIRST_PAINT
"$PROG" >/dev/null 2>&1 & PID=$!
sleep "$SETTLE" # start-up and the first timelines are not idle

ticks() { awk '{print $14 + $15}' "/proc/$PID/stat"; }
# Context switches per thread, "TID COUNT" lines, each thread sampled every second and its
# last count kept, so a thread that ends during the measurement still counts.
switches() {
  for f in /proc/$PID/task/*/status; do
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
echo "host idle over ${SECONDS_IDLE} s, $COUNT widgets:"
echo "  resident memory:    $(mb "$(kb "$PID" Rss)") MB"
awk -v d=$((t1 - t0)) -v hz="$HZ" -v s="$SECONDS_IDLE" 'BEGIN{printf "  idle CPU:           %.3f %% of one core\n", 100 * d / hz / s}'
awk -v d="$WAKEUPS" -v s="$SECONDS_IDLE" 'BEGIN{printf "  wakeups per second: %.2f\n", d / s}'
