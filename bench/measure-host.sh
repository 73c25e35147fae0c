#!/usr/bin/env bash
# The desktop host against a plain Qt Widgets program showing as many windows, in one private X
# session with a session bus and a throwaway config: first paint, CPU to start up, idle CPU over
# a minute that holds a refresh, the seconds with a wake, memory and threads, for 18, 53 and
# 100 widgets, medians of three runs. bench/README.md says what each figure is.
#   bench/measure-host.sh [BUILD_DIR]      (default build/release)
# Environment: COUNTS="18 53 100", RUNS=3, IDLE_SECONDS=60, SETTLE_SECONDS=5, STEADY_MINUTES=0.
set -euo pipefail
BUILD=${1:-build/release}
HERE=$(cd "$(dirname "$0")" && pwd)
if [ -z "${VELK_MEASURE_INNER:-}" ]; then
  export VELK_MEASURE_INNER=1
  exec dbus-run-session -- xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$BUILD"
fi
exec python3 "$HERE/host_measure.py" "$BUILD"
