#!/usr/bin/env bash
# The benchmark: whole-process runs, timed side by side, median of several.
# Usage: bench/run.sh BUILD_DIR [RUNS]
set -euo pipefail
build=${1:?build folder}
runs=${2:-5}
bin=$build/bench
cli=$build/src/cli/olvenmark-cli
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

# The average vCard's size, so that the floor writes as many bytes.
"$cli" --map-all "$data/distinct-20k.csv" "$data" >/dev/null
bytes=$(find "$data" -name '*.vcf' -printf '%s\n' | awk '{ s += $1; n++ } END { print int(s / n) }')
rm -rf "$data"/Olvenmark_*

measure() { "$bin/measure" 1 "$data/work" -- "$@"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# Runs the two commands alternately, so that both see the same machine; prints
# "median-a median-b peak-rss-b".
side_by_side() {
    local a=() b=() peak=0 s k
    local split=$1; shift
    for _ in $(seq "$runs"); do
        read -r s _ < <(measure "${@:1:$split}")
        a+=("$s")
        read -r s k < <(measure "${@:$((split + 1))}")
        b+=("$s")
        [ "$k" -gt "$peak" ] && peak=$k
    done
    echo "$(printf '%s\n' "${a[@]}" | median) $(printf '%s\n' "${b[@]}" | median) $peak"
}
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

printf '\nMedian of %s whole-process runs, each pair run side by side, in %s; vCard size %s bytes.\n\n' \
    "$runs" "$data" "$bytes"
printf '| CSV | contacts | floor s | CLI s | CLI / floor | target | peak RSS MB | CSV MB | RSS limit MB |\n'
printf '|---|---|---|---|---|---|---|---|---|\n'
for row in "distinct-20k 20000 1.3" "shared-20k 20000 1.5" "distinct-100k 100000 -"; do
    set -- $row
    csv=$data/$1.csv
    read -r floor_s cli_s cli_kib < <(side_by_side 4 "$bin/floor" "$2" "$bytes" @DEST@ \
        "$cli" --map-all "$csv" @DEST@)
    csv_mb=$(awk -v b="$(stat -c %s "$csv")" 'BEGIN { printf "%.1f", b / 1048576 }')
    limit=$(awk -v c="$csv_mb" 'BEGIN { printf "%.1f", 3 * c + 40 }')
    printf '| %s | %s | %s | %s | %s | %s | %s | %s | %s |\n' "$1" "$2" "$floor_s" "$cli_s" \
        "$(ratio "$cli_s" "$floor_s")" "$3" "$(mb "$cli_kib")" "$csv_mb" "$limit"
done

# Every card in one file: the floor writes as many cards of the same size, one
# write each, into one file (a card in one file carries one more line feed).
csv=$data/distinct-100k.csv
read -r floor_s cli_s cli_kib < <(side_by_side 5 "$bin/floor" 100000 "$((bytes + 1))" @DEST@ \
    one-file "$cli" --single-file --map-all "$csv" @DEST@)
printf '\n| one file for all contacts | contacts | floor s | CLI s | CLI / floor | target | peak RSS MB |\n'
printf '|---|---|---|---|---|---|---|\n'
printf '| distinct-100k | 100000 | %s | %s | %s | 1.5 | %s |\n' "$floor_s" "$cli_s" \
    "$(ratio "$cli_s" "$floor_s")" "$(mb "$cli_kib")"

if [ -x "$bin/window_export" ]; then
    csv=$data/distinct-20k.csv
    read -r cli_s win_s win_kib < <(side_by_side 4 "$cli" --map-all "$csv" @DEST@ \
        "$bin/window_export" "$csv" @DEST@)
    printf '\n| whole export, 20,000 contacts | CLI s | window s | window / CLI | target | window peak RSS MB |\n'
    printf '|---|---|---|---|---|---|\n'
    printf '| distinct-20k | %s | %s | %s | 1.15 | %s |\n' "$cli_s" "$win_s" \
        "$(ratio "$win_s" "$cli_s")" "$(mb "$win_kib")"
    # What a process costs before and after its contacts: starting Qt and the window.
    printf 'first,last\r\nAnn,Lee\r\n' >"$data/one.csv"
    read -r cli1_s win1_s _ < <(side_by_side 4 "$cli" --map-all "$data/one.csv" @DEST@ \
        "$bin/window_export" "$data/one.csv" @DEST@)
    printf '| one contact (fixed cost) | %s | %s | %s | - | - |\n' "$cli1_s" "$win1_s" \
        "$(ratio "$win1_s" "$cli1_s")"
    echo
    "$bin/window_export" "$csv" "$data" 2>&1 >/dev/null | grep '^window:'
fi
rm -rf "$data"
