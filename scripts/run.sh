#!/usr/bin/env bash
# Runs Orvane from the build folder given as $1.
set -euo pipefail
build=${1:-build}
exec "$build/orvane-cli" "$@"
