#!/usr/bin/env bash
# The demo: the capture-unit simulator on a free loopback port and Orvane in demo/, pointed at it.
# Usage: scripts/run.sh [BUILD_DIR]   (make run builds first, then calls this)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
demo="$root/demo"
# Sony traffic with faults to find, unless another scenario is asked for.
scenario=${ORVANE_DEMO_SCENARIO:-faults}  # sony, odetics, vdcp, noise, faults or vdcp-faults
case $scenario in
    odetics) protocol=1 ;;
    vdcp | vdcp-faults) protocol=2 ;;
    *) protocol=0 ;;
esac

for program in orvane orvane-sim; do
    if [ ! -x "$build/$program" ]; then
        echo "run.sh: $build/$program is missing; run 'make build' first" >&2
        exit 1
    fi
done
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run.sh: no display; on a headless machine try: xvfb-run -a make run" >&2
    exit 1
fi

mkdir -p "$demo"
sim_output=$(mktemp)
sim_pid=
stop_simulator() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -f "$sim_output"
}
trap stop_simulator EXIT
trap 'exit 130' INT TERM

"$build/orvane-sim" --port 0 --scenario "$scenario" >"$sim_output" &
sim_pid=$!

# The simulator names its port on its first line: "listening on 127.0.0.1:40123".
port=
for _ in $(seq 100); do
    line=$(head -n 1 "$sim_output")
    if [[ $line =~ ^listening\ on\ 127\.0\.0\.1:([0-9]+)$ ]]; then
        port=${BASH_REMATCH[1]}
        break
    fi
    if ! kill -0 "$sim_pid" 2>/dev/null; then break; fi
    sleep 0.1
done
if [ -z "$port" ]; then
    echo "run.sh: the simulator did not start" >&2
    exit 1
fi

# Point the demo's settings at the simulator and capture continuously, so the list fills live
# and each capture is kept in demo/captures, with the Latency and Verdict columns shown; the view
# and filter choices saved by earlier runs stay, only the [Setup] section is written anew.
settings="$demo/Orvane.ini"
kept=
folder=
if [ -f "$settings" ]; then
    kept=$(awk 'BEGIN { skip = 0 }
                /^[ \t]*\[/ { skip = (tolower($0) ~ /^[ \t]*\[setup\]/) }
                !skip' "$settings" | tr -d '\r')
    # A capture folder chosen in Set Up is kept.
    folder=$(awk 'BEGIN { setup = 0 }
                  /^[ \t]*\[/ { setup = (tolower($0) ~ /^[ \t]*\[setup\]/) }
                  setup && tolower($0) ~ /^[ \t]*capture folder[ \t]*=/' "$settings" | tr -d '\r')
fi
{
    printf '[Setup]\r\nIp Address=127.0.0.1\r\nPort Number= %s\r\nProtocol= %s\r\n' "$port" "$protocol"
    printf 'Continuous Capture= 1\r\nAnalysis Columns= 1\r\n'
    if [ -n "$folder" ]; then printf '%s\r\n' "$folder"; fi
    if [ -n "$kept" ]; then printf '%s\n' "$kept" | sed 's/$/\r/'; fi
} >"$settings.new"
mv "$settings.new" "$settings"

echo "Simulator ($scenario traffic) on 127.0.0.1:$port; Orvane runs in $demo."
echo "Press Capture: the list fills as the traffic arrives; Stop ends it (captures go to $demo/captures)."
cd "$demo"
"$build/orvane" "${@:2}"
