#!/usr/bin/env bash
# The benchmark: whole processes, the commands of each line run in turn (one
# warm-up round, then RUNS counted rounds), medians. With an older build beside
# the new one, both run side by side against the same floor.
# Usage: bench/run.sh BUILD_DIR [RUNS] [OLD_BUILD_DIR]
set -euo pipefail
build=${1:?build folder}
runs=${2:-4}
old_build=${3:-}
bin=$build/bench
cli=$build/src/cli/olvenmark-cli
old_cli=${old_build:+$old_build/src/cli/olvenmark-cli}
# A memory file system keeps the disk's own noise (journal, discard) out of
# the figures; BENCH_DIR chooses another place.
if [ -z "${BENCH_DIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
    BENCH_DIR=/dev/shm/olvenmark-bench
fi
data=${BENCH_DIR:-$build/bench-data}
rm -rf "$data"
mkdir -p "$data"
export HOME=$data/home
export QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='*=false'
mkdir -p "$HOME"

"$bin/make_csv" 20000 0 "$data/distinct-20k.csv"
"$bin/make_csv" 20000 144 "$data/shared-20k.csv"
"$bin/make_csv" 100000 0 "$data/distinct-100k.csv"
"$bin/make_csv" 100000 144 "$data/shared-100k.csv"

# The average vCard's size, so that the floor writes as many bytes.
"$cli" --map-all "$data/distinct-20k.csv" "$data" >/dev/null
bytes=$(find "$data" -name '*.vcf' -printf '%s\n' | awk '{ s += $1; n++ } END { print int(s / n) }')
rm -rf "$data"/Olvenmark_*

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# Runs the commands, separated by "::", in turn: a warm-up round, then $runs
# counted ones. Prints each command's median seconds, then each one's peak
# resident memory in KiB.
interleaved() {
    local commands=() current=() i round s k
    for arg in "$@" ::; do
        if [ "$arg" = :: ]; then
            commands+=("$(printf '%q ' "${current[@]}")")
            current=()
        else
            current+=("$arg")
        fi
    done
    local n=${#commands[@]}
    local -a times peaks
    for ((i = 0; i < n; i++)); do times[i]=""; peaks[i]=0; done
    for ((round = 0; round <= runs; round++)); do
        for ((i = 0; i < n; i++)); do
            read -r s k < <(eval "\"$bin/measure\" 1 \"$data/work\" -- ${commands[i]}")
            if [ "$round" -gt 0 ]; then
                times[i]+="$s "
                [ "$k" -gt "${peaks[i]}" ] && peaks[i]=$k
            fi
        done
    done
    for ((i = 0; i < n; i++)); do printf '%s ' "$(tr ' ' '\n' <<<"${times[i]}" | grep . | median)"; done
    for ((i = 0; i < n; i++)); do printf '%s ' "${peaks[i]}"; done
    echo
}
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

printf '\nMedians of %s rounds (after one warm-up), the commands of a line run in turn, in %s;\n' \
    "$runs" "$data"
printf 'vCard size %s bytes. The floor: as many files of that size, each with one exclusive\n' \
    "$bytes"
printf 'create, one write and one close; for one file, the CSV read and its rows found, then as\n'
printf 'many cards of that size written into one file through a buffer of one mebibyte.\n\n'
if [ -n "$old_cli" ]; then
    printf '| work | floor s | old CLI s | new CLI s | old / floor | new / floor | target | old peak MB | new peak MB |\n'
    printf '|---|---|---|---|---|---|---|---|---|\n'
else
    printf '| work | floor s | CLI s | CLI / floor | target | peak MB |\n'
    printf '|---|---|---|---|---|---|\n'
fi
# One line of the table: a label, the target, the floor's arguments, then the
# CLI's arguments.
line() {
    local label=$1 target=$2 floor_args=$3
    shift 3
    local f o n ok nk
    if [ -n "$old_cli" ]; then
        read -r f o n _ ok nk < <(interleaved "$bin/floor" $floor_args :: "$old_cli" "$@" :: "$cli" "$@")
        printf '| %s | %s | %s | %s | %s | %s | %s | %s | %s |\n' "$label" "$f" "$o" "$n" \
            "$(ratio "$o" "$f")" "$(ratio "$n" "$f")" "$target" "$(mb "$ok")" "$(mb "$nk")"
    else
        read -r f n _ nk < <(interleaved "$bin/floor" $floor_args :: "$cli" "$@")
        printf '| %s | %s | %s | %s | %s | %s |\n' "$label" "$f" "$n" "$(ratio "$n" "$f")" \
            "$target" "$(mb "$nk")"
    fi
}
line "20,000 contacts, one file each, distinct names" 1.2 "20000 $bytes @DEST@" \
    --map-all "$data/distinct-20k.csv" @DEST@
line "20,000 contacts, one file each, shared names" 1.2 "20000 $bytes @DEST@" \
    --map-all "$data/shared-20k.csv" @DEST@
line "100,000 contacts, one file each, distinct names" 1.2 "100000 $bytes @DEST@" \
    --map-all "$data/distinct-100k.csv" @DEST@
line "100,000 contacts, one file each, shared names" 1.2 "100000 $bytes @DEST@" \
    --map-all "$data/shared-100k.csv" @DEST@
# A card in one file carries one more line feed; the floor reads the CSV too.
line "100,000 contacts, one file" 3.0 "100000 $((bytes + 1)) @DEST@ one-file $data/distinct-100k.csv" \
    --single-file --map-all "$data/distinct-100k.csv" @DEST@

# Strict cards against classic ones, both from the new build.
printf '\n| strict against classic cards | classic s | strict s | strict / classic | target |\n'
printf '|---|---|---|---|---|\n'
for row in "20,000 contacts, one file each|distinct-20k|" \
    "100,000 contacts, one file|distinct-100k|--single-file"; do
    IFS='|' read -r label csv extra <<<"$row"
    read -r c s _ < <(interleaved "$cli" $extra --map-all "$data/$csv.csv" @DEST@ :: \
        "$cli" $extra --strict --map-all "$data/$csv.csv" @DEST@)
    printf '| %s | %s | %s | %s | 1.10 |\n' "$label" "$c" "$s" "$(ratio "$s" "$c")"
done

if [ -x "$bin/window_export" ]; then
    csv=$data/distinct-20k.csv
    printf 'first,last\r\nAnn,Lee\r\n' >"$data/one.csv"
    # The CLI's export without its start-up: the whole run less a run of one contact.
    read -r cli_s cli1_s _ < <(interleaved "$cli" --map-all "$csv" @DEST@ :: \
        "$cli" --map-all "$data/one.csv" @DEST@)
    # The window clocks itself from choosing the file to the report.
    win_s=$(for _ in $(seq "$runs"); do
        rm -rf "$data/window"
        mkdir -p "$data/window"
        "$bin/window_export" "$csv" "$data/window" 2>/dev/null
    done | median)
    cli_export=$(awk -v a="$cli_s" -v b="$cli1_s" 'BEGIN { printf "%.3f", a - b }')
    printf '\n| export of 20,000 contacts, start-up left out | CLI s | window s | window / CLI | target |\n'
    printf '|---|---|---|---|---|\n'
    printf '| distinct-20k | %s | %s | %s | 1.05 |\n' "$cli_export" "$win_s" \
        "$(ratio "$win_s" "$cli_export")"
    echo
    "$bin/window_export" "$csv" "$data/window" 2>&1 >/dev/null | grep '^window:'
fi
rm -rf "$data"
