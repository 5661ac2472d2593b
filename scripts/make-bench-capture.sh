#!/usr/bin/env bash
# Writes a long capture file of simulated Sony traffic for the continuous-capture benchmarks.
# Usage: scripts/make-bench-capture.sh [PACKETS] [OUT]
#   PACKETS  about this many packets (default 10000000)
#   OUT      the capture file (default build/bench/day.pcapng)
# BUILD names the build folder (default build/); orvane-sim and orvane-cli are built there
# first when missing or out of date. The same arguments always give the same file.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
packets=${1:-10000000}
build=${BUILD:-$root/build}
out=${2:-$build/bench/day.pcapng}
jobs=${JOBS:-$(nproc)}
sample_messages=100000
# Sequence numbers start well clear of the 24-bit wrap, with room for some 15 million messages.
first_seq=1048576
max_messages=$((0xFFFFFF - first_seq))

case $packets in
    '' | *[!0-9]*) echo "make-bench-capture.sh: PACKETS must be a number" >&2; exit 2 ;;
esac

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target orvane-sim orvane-cli -j "$jobs" >/dev/null

sim() { "$build/orvane-sim" --scenario sony --seed 1 --first-seq "$first_seq" "$@"; }

# Packets per message, measured once on a short run of the same traffic, then scaled.
sample=$(mktemp --suffix=.pcapng)
trap 'rm -f "$sample"' EXIT
sim --messages "$sample_messages" --write-capture "$sample"
sample_packets=$("$build/orvane-cli" replay --format jsonl "$sample" | wc -l)
if [ "$sample_packets" -eq 0 ]; then
    echo "make-bench-capture.sh: the sample run gave no packets" >&2
    exit 1
fi
messages=$(((packets * sample_messages + sample_packets - 1) / sample_packets))
if [ "$messages" -gt "$max_messages" ]; then
    echo "make-bench-capture.sh: $packets packets need $messages messages;" \
         "at most $max_messages fit before the sequence number wraps" >&2
    exit 2
fi

mkdir -p "$(dirname "$out")"
sim --messages "$messages" --write-capture "$out"
echo "$out: $messages messages, about $packets packets" \
     "($sample_packets packets per $sample_messages messages), $(stat -c %s "$out") bytes"
