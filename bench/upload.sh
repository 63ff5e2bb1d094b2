#!/usr/bin/env bash
# The upload benchmark: 1,000 strict cards into a fresh address book on a
# Radicale on this computer, straight and through a proxy that holds every
# chunk 25 ms each way (a 50 ms round trip, a hosted server from a home line),
# by olvenmark-cli and by vdirsyncer syncing the same cards. Medians of RUNS.
# Usage: bench/upload.sh BUILD_DIR [RUNS] [CONTACTS]
set -euo pipefail
build=${1:?build folder}
runs=${2:-1}
contacts=${3:-1000}
cli=$build/src/cli/olvenmark-cli
here=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${BENCH_DIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
    BENCH_DIR=/dev/shm/olvenmark-bench-upload
fi
data=${BENCH_DIR:-$build/bench-upload}
rm -rf "$data"
mkdir -p "$data/home"
export HOME=$data/home
unset XDG_DATA_HOME
export OLVENMARK_CARDDAV_PASSWORD=bench-Pa55

free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
server=$(free_port)
proxy=$(free_port)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done' EXIT

printf 'ann:%s\n' "$OLVENMARK_CARDDAV_PASSWORD" >"$data/users"
cat >"$data/radicale.conf" <<EOF
[server]
hosts = 127.0.0.1:$server
[auth]
type = htpasswd
htpasswd_encryption = plain
htpasswd_filename = $data/users
[storage]
filesystem_folder = $data/store
[logging]
level = warning
EOF
radicale --config "$data/radicale.conf" 2>"$data/radicale.log" &
pids+=($!)
python3 "$here/tests/carddav/delay_proxy.py" "$proxy" "$server" 25 "$data/in-flight" &
pids+=($!)
for _ in $(seq 100); do
    curl -s -o /dev/null "http://127.0.0.1:$server/" && break
    sleep 0.1
done

{
    printf 'First Name,Last Name,E-mail Address,Mobile Phone,Company\r\n'
    for ((i = 0; i < contacts; i++)); do
        printf 'Ann%d,Lee%d,ann%d@example.org,+44 7700 9%05d,Firm %d\r\n' "$i" "$i" "$i" "$i" "$((i % 37))"
    done
} >"$data/contacts.csv"
# The same strict cards in a folder, for vdirsyncer.
mkdir -p "$data/strict"
"$cli" --map-auto --strict "$data/contacts.csv" "$data/strict" >/dev/null
cards=$(find "$data/strict" -mindepth 1 -maxdepth 1 -type d)

# A new, empty address book; prints its URL as seen through port $1. (Called
# in a subshell: the name comes from the clock.)
new_book() {
    local book
    book=$(date +%s%N)
    curl -s -o /dev/null -u "ann:$OLVENMARK_CARDDAV_PASSWORD" -X MKCOL \
        -H 'Content-Type: application/xml' "http://127.0.0.1:$server/ann/b$book/" \
        --data '<mkcol xmlns="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav"><set><prop><resourcetype><collection/><c:addressbook/></resourcetype></prop></set></mkcol>'
    echo "http://127.0.0.1:$1/ann/b$book/"
}
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>>"$data/output.log"
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}
# olvenmark-cli into a new book through port $1, with --connections $2 (default 4).
olvenmark() {
    seconds "$cli" --map-auto --carddav "$(new_book "$1")" --user ann --connections "${2:-4}" \
        "$data/contacts.csv"
}
vdirsyncer_sync() {
    local url status
    url=$(new_book "$1")
    status=$data/vdirsyncer-$(basename "$url")
    mkdir -p "$status"
    cat >"$status/config" <<EOF
[general]
status_path = "$status/status"
[pair up]
a = "cards"
b = "book"
collections = null
[storage cards]
type = "filesystem"
path = "$cards"
fileext = ".vcf"
[storage book]
type = "carddav"
url = "$url"
username = "ann"
password = "$OLVENMARK_CARDDAV_PASSWORD"
EOF
    vdirsyncer -c "$status/config" discover up >/dev/null 2>>"$data/output.log" </dev/null
    seconds vdirsyncer -c "$status/config" sync
}
median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.1f", v[int((NR + 1) / 2)] }'; }
measure() {
    local i
    for ((i = 0; i < runs; i++)); do "$@"; done | median
}

printf 'Upload of %d contacts into Radicale (median of %d):\n' "$contacts" "$runs"
printf '  %-34s %8s %8s\n' "" "0 ms" "50 ms"
near=$(measure olvenmark "$server")
far=$(measure olvenmark "$proxy")
inflight=$(cat "$data/in-flight" 2>/dev/null || echo 0)
printf '  %-34s %7ss %7ss   (%s requests in flight at most)\n' "olvenmark-cli, 4 connections" \
    "$near" "$far" "$inflight"
printf '  %-34s %7ss %7ss\n' "olvenmark-cli, 1 connection" \
    "$(measure olvenmark "$server" 1)" "$(measure olvenmark "$proxy" 1)"
printf '  %-34s %7ss %7ss\n' "vdirsyncer sync" \
    "$(measure vdirsyncer_sync "$server")" "$(measure vdirsyncer_sync "$proxy")"
# Every run must have put every card there, or its figure says nothing.
for folder in "$data"/store/collection-root/ann/*/; do
    held=$(find "$folder" -maxdepth 1 -name '*.vcf' | wc -l)
    if [ "$held" -ne "$contacts" ]; then
        echo "  warning: $(basename "$folder") holds $held cards, not $contacts (see $data/output.log)"
    fi
done
