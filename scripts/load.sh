#!/usr/bin/env bash
# Puts `quillet serve` under load on loopback: for each backend (a SQLite file
# and a private PostgreSQL server started for this run, as scripts/test.sh
# does) it starts one service, then wrk issues serial numbers with saving at
# 1, 8 and 32 connections for a few seconds each (scripts/load.lua). Beside
# it, on the same PostgreSQL server (fsync on, as in production), pgbench runs
# the bare `update ... returning` of a counter row at the same connection
# counts: the floor that every figure of the service is a ratio to. Prints
# issues per second and the p50 and p99 latency of each level, and fails when
# any answer was not a serial number, when a serial number came twice, or
# when the stored running number moved by other than what was answered (plus
# at most the requests cut off in flight at the end of a level).
#
#   bash scripts/load.sh [BUILD_DIR]     default: a Release build in build-bench/
#   QUILLET_LOAD_SECONDS=5               seconds per level
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$root/build-bench}"
seconds="${QUILLET_LOAD_SECONDS:-5}"
levels=(1 8 32)
item=LW-DR-012

bash "$root/scripts/setup.sh"
if [[ $# -eq 0 ]]; then
  cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build_dir" -j "$(nproc)" --target quillet_cli
quillet="$build_dir/apps/quillet"

source "$root/scripts/lib/postgres.sh"
QUILLET_PG_FSYNC=on start_private_postgres load
work="$(mktemp -d "${TMPDIR:-/tmp}/quillet-load.XXXXXX")"
serve_pid=""
clean_up() {
  if [[ -n "$serve_pid" ]]; then kill -TERM "$serve_pid" 2>/dev/null && wait "$serve_pid" || true; fi
  rm -rf "$work"
  stop_private_postgres
}
trap clean_up EXIT
head -c 24 /dev/urandom | base64 >"$work/token"
token="$(cat "$work/token")"

fail() {
  echo "load: $*" >&2
  exit 1
}

# Starts the service on `db` and sets serve_pid and port.
start_service() {
  local db="$1" log="$2"
  "$quillet" serve --db "$db" --listen 127.0.0.1:0 --token-file "$work/token" \
    --threads "${levels[-1]}" 2>"$log" &
  serve_pid=$!
  for _ in $(seq 300); do
    port="$(sed -n 's|.*listening on http://127.0.0.1:\([0-9]*\).*|\1|p' "$log")"
    [[ -n "$port" ]] && return 0
    kill -0 "$serve_pid" 2>/dev/null || break
    sleep 0.1
  done
  cat "$log" >&2
  fail "quillet serve did not start"
}

stop_service() {
  kill -TERM "$serve_pid"
  wait "$serve_pid" || fail "quillet serve did not stop cleanly"
  serve_pid=""
}

next_number() {
  curl -sf "http://127.0.0.1:$port/v1/rules/item:$item/number" |
    sed -n 's/.*"next_number":"\([0-9]*\)".*/\1/p'
}

# One level: wrk for $seconds, then the checks. Prints a row of the table.
run_level() {
  local backend="$1" connections="$2" folder="$work/$1-$2" before after
  mkdir -p "$folder"
  before="$(next_number)"
  local threads=$((connections < 2 ? connections : 2))
  local result
  # wrk gives up on an answer after 2 s unless told otherwise: the service's own
  # timeouts are 10 s, and a slower answer is latency, not an error.
  result="$(wrk -t "$threads" -c "$connections" -d "${seconds}s" --timeout 10s --latency \
    -s "$root/scripts/load.lua" "http://127.0.0.1:$port" -- "$folder" "$token" "$item" |
    sed -n 's/^result //p')"
  after="$(next_number)"
  read -r requests rate p50 p99 bad_status socket_errors <<<"$result"
  local answered failed duplicates
  answered="$(cat "$folder"/serials-*.txt | grep -vc '^failed' || true)"
  failed="$(cat "$folder"/serials-*.txt | grep -c '^failed' || true)"
  duplicates="$(cat "$folder"/serials-*.txt | grep -v '^failed' | sort | uniq -d | wc -l)"
  printf '| %s | %d | %.0f | %.1f | %.1f | %d | %d |\n' \
    "$backend" "$connections" "$rate" "$p50" "$p99" "$((bad_status + failed))" "$duplicates"
  measured["$backend-$connections"]="$rate $p50 $p99"
  ((bad_status == 0 && failed == 0)) || fail "$backend, $connections connections: $((bad_status + failed)) answers were not serial numbers"
  ((socket_errors == 0)) || fail "$backend, $connections connections: $socket_errors socket errors"
  ((duplicates == 0)) || fail "$backend, $connections connections: $duplicates serial numbers came twice"
  ((answered >= requests)) || fail "$backend, $connections connections: $requests answers counted, $answered kept"
  local moved=$((after - before))
  ((moved >= answered && moved <= answered + connections)) ||
    fail "$backend, $connections connections: the running number moved by $moved for $answered answers"
}

declare -A measured floor

# The floor at `connections`: pgbench runs the bare update of one counter row
# in autocommit for $seconds; sets floor[connections] to "tps p50 p99" (ms,
# from pgbench's log of every transaction).
run_floor() {
  local connections="$1" folder="$work/pgbench-$1"
  mkdir -p "$folder"
  local threads=$((connections < 2 ? connections : 2))
  local rate
  rate="$(cd "$folder" && pgbench -n -f "$work/floor.sql" -c "$connections" -j "$threads" \
    -T "$seconds" -l "$QUILLET_TEST_POSTGRES" 2>/dev/null |
    sed -n 's/^tps = \([0-9.]*\).*/\1/p' | tail -n 1)"
  [[ -n "$rate" ]] || fail "pgbench did not run at $connections connections"
  # Column 3 of pgbench's log is the transaction's latency in microseconds.
  floor[$connections]="$rate $(cat "$folder"/pgbench_log.* | awk '{print $3}' | sort -n |
    awk '{v[NR]=$1} END {printf "%.2f %.2f", v[int(NR*0.5)+1]/1000, v[int(NR*0.99)+1]/1000}')"
}

print_side_by_side() {
  echo
  echo "| connections | service issues/s | p50 ms | p99 ms | pgbench tps | p50 ms | p99 ms | throughput ratio | p99 ratio |"
  echo "|---|---|---|---|---|---|---|---|---|"
  local connections
  for connections in "${levels[@]}"; do
    read -r rate p50 p99 <<<"${measured[postgresql-$connections]}"
    read -r floor_rate floor_p50 floor_p99 <<<"${floor[$connections]}"
    awk -v c="$connections" -v r="$rate" -v a="$p50" -v b="$p99" -v fr="$floor_rate" \
      -v fa="$floor_p50" -v fb="$floor_p99" 'BEGIN {
        printf "| %d | %.0f | %.1f | %.1f | %.0f | %.1f | %.1f | %.2fx | %.1fx |\n",
          c, r, a, b, fr, fa, fb, r / fr, b / fb }'
  done
}

run_backend() {
  local backend="$1" db="$2"
  "$quillet" init --demo --db "$db"
  "$quillet" rule save "item:$item" --name Load text=L- number,width=9 --db "$db" >/dev/null
  start_service "$db" "$work/serve-$backend.log"
  for connections in "${levels[@]}"; do run_level "$backend" "$connections"; done
  stop_service
}

echo
echo "| backend | connections | issues/s | p50 ms | p99 ms | not a serial number | duplicates |"
echo "|---|---|---|---|---|---|---|"
run_backend sqlite "sqlite:$work/load.db"
run_backend postgresql "postgresql:$QUILLET_TEST_POSTGRES"
psql -q -v ON_ERROR_STOP=1 "$QUILLET_TEST_POSTGRES" \
  -c "create table load_counter (id integer primary key, n bigint not null)" \
  -c "insert into load_counter values (1, 0)"
echo "update load_counter set n=n+1 where id=1 returning n;" >"$work/floor.sql"
for connections in "${levels[@]}"; do run_floor "$connections"; done
print_side_by_side
echo
echo "load: every answer a serial number, none twice, the running numbers moved by what was issued"
