#!/usr/bin/env bash
# Makes the seed corpus of every fuzz target again: simulator traffic captured on loopback and
# hand-made packets, settings files and list cells. Needs orvane-sim and orvane-cli in BUILD.
#
#   fuzz/make-corpus.sh [BUILD]      (default: build)
#
# Inputs a fuzz run found and that were kept as regression cases (finding-*) are left alone.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
sim=$build/orvane-sim
cli=$build/orvane-cli
corpus=fuzz/corpus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for target in fuzz_receive fuzz_decode fuzz_settings fuzz_log; do
    mkdir -p "$corpus/$target"
    find "$corpus/$target" -type f ! -name 'finding-*' -delete
done

# Raw capture-unit bytes of one simulator scenario, as orvane-cli capture saves them.
capture() {  # scenario seed messages file
    local out=$work/$1.sim-out
    "$sim" --port 0 --scenario "$1" --seed "$2" --rate fast --messages "$3" --connections 1 \
        >"$out" 2>&1 &
    local pid=$! port=""
    for _ in $(seq 50); do
        # The first whole line names the port.
        if [ -f "$out" ] && [ "$(wc -l <"$out")" -ge 1 ]; then
            port=$(head -n 1 "$out" | grep -o '[0-9]*$')
            break
        fi
        sleep 0.1
    done
    if ! "$cli" capture --address 127.0.0.1 --port "$port" --seconds 20 --save-raw "$4" \
        --out /dev/null; then
        kill "$pid" 2>/dev/null
        return 1
    fi
    wait "$pid" || true
}

# fuzz_receive reads its settings from the input's end: a raw stream is followed by the split
# seed (8 bytes), the longest read (2), the read pattern (1), the view of the filtered fill, six
# filter boxes, the earlier capture switch, the trace switch and, last, the kind of input
# (even: raw).
byte() { printf "\\x$(printf %02X "$1")"; }
raw_trailer() {  # pattern debug
    printf '\x5A\x17\x33\x91\x02\xC4\x7E\x10\x00\x40'
    byte "$1"
    printf '\x01\x01\x01\x00\x01\x01\x00\x00'
    byte "$2"
    printf '\x00'
}

for scenario in sony odetics vdcp noise; do
    capture "$scenario" 7 60 "$work/$scenario.raw"
done
pattern=0
for scenario in sony odetics vdcp noise; do
    for debug in 0 1; do
        { cat "$work/$scenario.raw"; raw_trailer $pattern $debug; } \
            >"$corpus/fuzz_receive/sim-$scenario-reads$pattern"
        pattern=$(((pattern + 1) % 4))
    done
done

# Hand-made streams: bytes before the first marker, a sequence gap, a message holding a second
# run of five zeros, and a header cut across two messages' worth of bytes.
msg() {  # sequence (three bytes) entries
    printf '\x00\x00\x00\x00\x00'
    printf "$1"
    printf "$2"
}
{ printf 'garbage\xFF\x01'; msg '\x00\x00\x01' '\x80\x01\x20\x80\x02\x01\x80\x03\x21';
  msg '\x00\x00\x02' '\xC0\x05\x10\xC0\x06\x01\xC0\x07\x11'; raw_trailer 2 1; } \
    >"$corpus/fuzz_receive/hand-garbage-first"
{ msg '\x00\x00\x05' '\x80\x01\x61\x80\x01\x0C\x80\x02\x03\x80\x02\x70';
  msg '\x00\x00\x07' '\xC0\x09\x74\xC0\x09\x04\xC0\x0A\x00\xC0\x0A\x00\xC0\x0A\x00\xC0\x0B\x01\xC0\x0B\x79';
  msg '\x00\x00\x08' '\x80\x10\x20\x80\x10\x01\x80\x11\x21'; raw_trailer 0 1; } \
    >"$corpus/fuzz_receive/hand-sequence-gap"
{ msg '\x00\x01\x00' '\x80\x01\x02\x00\x00\x00\x00\x00\x00\x80\x02\x04';
  msg '\x00\x01\x01' '\x80\x03\x02\x80\x03\x02\x80\x03\x10\x80\x04\x01\x80\x04\xED'; raw_trailer 3 1; } \
    >"$corpus/fuzz_receive/hand-zero-run"
{ msg '\xFF\xFF\xFE' '\x80\x01\x20\x80\x01\x00\x80\x02\x20';
  msg '\xFF\xFF\xFF' '\x80\x01\x20\x80\x01\x00\x00\x00\x00';
  msg '\x00\x00\x00' '\xC0\x01\x10\xC0\x01\x01'; raw_trailer 1 0; } \
    >"$corpus/fuzz_receive/hand-last-sequence"

# Well-formed messages built by the target itself: the pool of entries comes first, then the
# message settings (split seed, stray bytes before the first marker, longest read, messages a
# read, read pattern, gaps, first sequence number, entries a message, message count, "big" when
# 0) and the common settings.
messages_trailer() {  # pattern count-byte entries big gaps garbage
    printf '\x11\x22\x33\x44\x55\x66\x77\x88'
    byte "$6"
    printf '\x00\x7F\x31'
    byte "$1"
    byte "$5"
    printf '\x00\x10\x00'
    byte "$3"
    byte "$2"
    byte "$4"
    printf '\x00\x01\x01\x01\x01\x01\x01\x00\x00\x01'
}
# Entries of a controller polling Current Time Sense and the deck answering with time data.
printf '\x80\x01\x61\x80\x01\x0C\x80\x02\x03\x80\x02\x70\xC0\x05\x74\xC0\x05\x04\xC0\x06\x10\xC0\x06\x20\xC0\x06\x30\xC0\x07\x01\xC0\x07\xD9\x40\x08\x00\x00\x09\x33' \
    >"$work/pool"
{ cat "$work/pool"; messages_trailer 2 110 33 0 1 0; } >"$corpus/fuzz_receive/messages-full-store"
{ cat "$work/pool"; messages_trailer 0 20 16 1 1 9; } >"$corpus/fuzz_receive/messages-one-byte"
{ cat "$work/pool"; messages_trailer 3 30 5 1 0 3; } >"$corpus/fuzz_receive/messages-gaps"
{ cat "$work/pool"; messages_trailer 1 39 12 1 1 20; } >"$corpus/fuzz_receive/messages-garbage-first"

# fuzz_decode: the packet texts the simulator's traffic gives, one per line, and hand-made
# texts that stress the field rules.
for scenario in sony odetics vdcp noise; do
    protocol=$scenario
    [ "$scenario" = noise ] && protocol=sony
    # Short runs of packets decode faster, and the fuzzer joins them where it helps.
    "$cli" replay --protocol "$protocol" "$work/$scenario.raw" |
        awk -F '\t' 'NR > 2 { print $4 }' | head -n 48 |
        split -l 16 -d -a 1 - "$corpus/fuzz_decode/sim-$scenario-"
done
printf '20 01 21 \n61 20 05 86 \n71 20 00 00 00 00 00 91 \n61 0C 03 70 \n74 04 00 00 00 01 79 \n' \
    >"$corpus/fuzz_decode/hand-status-sense-then-data"
printf '\n \n20\n20 \nG1 ZZ\n2001\n20  01\n 20 01 21\n40 10 01 02 03 04 55 \nFF FF FF FF\n' \
    >"$corpus/fuzz_decode/hand-odd-fields"
{ printf '02 FF 10 01'; for _ in $(seq 300); do printf ' 41'; done; printf ' 00 \n'; } \
    >"$corpus/fuzz_decode/hand-300-fields"
printf '04 \n05 \n05 04 \n02 02 10 01 EF \n02 03 30 05 00 C8 \n02 0A 20 24 41 42 43 44 45 46 47 48 00 \n' \
    >"$corpus/fuzz_decode/hand-vdcp"

# fuzz_settings: section, key, value and a second section and key, each ended by a backslash
# and one more character, then the file as it lies on disk.
settings() {  # name section key value other-section other-key file-content
    printf '%s\\n%s\\n%s\\n%s\\n%s\\n' "$2" "$3" "$4" "$5" "$6" >"$corpus/fuzz_settings/$1"
    printf "$7" >>"$corpus/fuzz_settings/$1"
}
settings plain Setup 'Ip Address' 127.0.0.1 SetUp Protocol \
    '[Settings]\r\nPacket View= 1\r\nByte View= 0\r\n[Setup]\r\nIp Address=127.0.0.9\r\nPort Number= 23\r\nProtocol= 2\r\n[Form]\r\nwidth= 800\r\nheight= 600\r\n'
settings new-section Form width ' 1024' Form height '[Settings]\r\nTime Sense= 1\r\n'
settings lf-only settings 'time reply' '  &H1F  ' Settings 'Status Sense' '[Settings]\nTime Reply=0\nStatus Sense=1\n'
settings lone-cr Setup 'Port Number' '1e3' Setup 'Ip Address' '[Setup]\r\nIp Address=1.2.3.4\r'
settings bom-comments Form height '-2.5' Settings 'Display Acks' '\xEF\xBB\xBF; a comment\r\n[Form]\r\n# another\r\nheight=7\r\n\r\n[Settings]\r\nDisplay Acks = 1 \r\n'
settings repeated-section Setup Protocol '2.5' Setup Protocol '[Setup]\r\nA=1\r\n[Other]\r\nB=2\r\n[setup]\r\nprotocol=1\r\n'
settings empty-file Setup Protocol '3.5' X Y ''

# fuzz_log: cells first (each ended by a backslash and one more character), the list's
# operations and the date from the input's end.
printf '00001\\n0002.441\\nCtrl\\n00 11 11 \\nDevice Type Request\\n1A\\n00002\\nVTR\\nclip\tname\r\n\\n\x92\x00tail\\n\x01\x01\x02\x03\x01\x02\x03\x02\x01\x00\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D' \
    >"$corpus/fuzz_log/cells"
printf 'Event\\nTime\\n\\n\\n\x00\x00\x00\x00\x05\x05\x05\x01\x01' >"$corpus/fuzz_log/short"
echo "seed corpus written to $corpus"
