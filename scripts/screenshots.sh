#!/usr/bin/env bash
# The README's pictures: a demo capture from the simulator under Xvfb, saved as PNGs of the main
# window in both views, the capture dialog, the Setup dialog and the message dialog.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (make screenshots builds first, then calls this)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out="$root/docs/screenshots"

if [ ! -x "$build/tests/gui_tests" ] || [ ! -x "$build/orvane-sim" ]; then
    echo "screenshots.sh: build the GUI tests and the simulator first ('make build')" >&2
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
    env QT_QPA_PLATFORM=xcb ORVANE_SCREENSHOT_DIR="$out" \
    "$build/tests/gui_tests" --gtest_filter='CaptureScreenshots.*' --gtest_brief=1
ls -1 "$out"/*.png
