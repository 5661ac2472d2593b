#!/usr/bin/env bash
# Runs the fuzz targets of a fuzz build, one after the other, each for a bounded time.
#
#   fuzz/run.sh fuzz BUILD SECONDS    fuzz every target; new inputs collect in BUILD/corpus/<target>
#   fuzz/run.sh check BUILD SECONDS   every seed input of fuzz/corpus/<target> once, then a short
#                                     run from the seeds alone (what `make test` does)
#
# A finding stops the script with the input's file under BUILD/findings/<target>/; copy it into
# fuzz/corpus/<target>/ once the fault is mended, so it stays a regression case.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:?mode: fuzz or check}
build=${2:?fuzz build folder}
seconds=${3:?seconds per target}

# Options of one target: the receive stream needs inputs large enough to fill the block store.
target_options() {
    case $1 in
        fuzz_receive) echo "-max_len=400000 -timeout=60 -rss_limit_mb=4096" ;;
        *) echo "-max_len=8192 -timeout=30" ;;
    esac
}

status=0
for source in fuzz/fuzz_*.cpp; do
    target=$(basename "$source" .cpp)
    program=$build/fuzz/$target
    seeds=fuzz/corpus/$target
    findings=$build/findings/$target
    mkdir -p "$findings"
    read -r -a options <<<"$(target_options "$target")"
    options+=("-artifact_prefix=$findings/" "-print_final_stats=1")

    if [ "$mode" = check ]; then
        echo "== $target: $(find "$seeds" -type f | wc -l) seed inputs"
        find "$seeds" -type f -print0 | xargs -0 -r "$program" "${options[@]}" >"$findings/seeds.log" 2>&1 ||
            { tail -n 40 "$findings/seeds.log"; echo "$target: a seed input fails" >&2; exit 1; }
        work=$build/check-corpus/$target
        rm -rf "$work"
    else
        work=$build/corpus/$target
    fi
    mkdir -p "$work"
    echo "== $target: fuzzing for $seconds s"
    if ! "$program" "${options[@]}" -max_total_time="$seconds" "$work" "$seeds" >"$findings/run.log" 2>&1; then
        tail -n 60 "$findings/run.log"
        echo "$target: finding kept in $findings/" >&2
        status=1
        [ "$mode" = check ] && exit 1
    fi
    grep -E '^stat::number_of_executed_units|^Done' "$findings/run.log" | tr '\n' ' '
    echo
done
exit $status
