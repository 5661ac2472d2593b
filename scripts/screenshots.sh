#!/usr/bin/env bash
# The README's pictures: demo captures from the simulator under Xvfb, saved as PNGs of the main
# window in both views, the capture dialog, the Setup dialog, the message dialog and a live
# continuous capture.
# Usage: scripts/screenshots.sh [BUILD_DIR [OUT_DIR]]   (make screenshots builds first, then calls
# this; OUT_DIR is docs/screenshots unless given)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out="${2:-$root/docs/screenshots}"

if [ ! -x "$build/tests/orvane-screenshots" ] || [ ! -x "$build/orvane-sim" ]; then
    echo "screenshots.sh: build orvane-screenshots and the simulator first ('make build')" >&2
    exit 1
fi
if ! command -v xvfb-run >/dev/null; then
    echo "screenshots.sh: xvfb-run is missing (apt-get install xvfb xauth)" >&2
    exit 1
fi

mkdir -p "$out"
# A real X server (virtual) rather than the offscreen platform, so fonts and styles are those a
# desktop shows; the simulator listens on 127.0.0.1 only.
xvfb-run -a -s "-screen 0 1280x1024x24" \
    env QT_QPA_PLATFORM=xcb "$build/tests/orvane-screenshots" "$out"
ls -1 "$out"/*.png
