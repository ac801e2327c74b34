#!/usr/bin/env bash
# Failover: a primary PostgreSQL server with a synchronous streaming standby,
# both on loopback, the demo company with two rules that keep a journal, two
# `quillet serve` instances and two `quillet rpc` sessions issuing singles and
# batches with saving through a connection string that names both servers
# (target_session_attrs=read-write). Mid-load the standby falls behind (the
# primary's WAL sender is stopped for a second, as a slow network would), every
# process of the primary is killed with SIGKILL and the standby is promoted.
# Then it proves from what the clients were told and what the new primary
# holds:
#
#   - every client (each service, each rpc session) issued again after the
#     promotion, in the process it started in: none was restarted;
#   - no serial number was told twice;
#   - every serial number told is in the new primary's journal, and its
#     running number lies below the rule's stored one. A number whose commit
#     was never acknowledged may be missing from what the clients were told
#     (a gap), never told again.
#
#   bash scripts/failover.sh [--async] [SECONDS]   load time, default 24 (kill at a third)
#
# --async runs the same with asynchronous replication, to show what it does:
# commits the standby had not received were acknowledged all the same, and
# their serial numbers are issued again after the promotion (the run fails).
#
# QUILLET_BIN=PATH runs that quillet instead of building build/apps/quillet.
# Not part of CI. Everything listens on 127.0.0.1 only, in a temporary folder
# removed afterwards (FAILOVER_KEEP=1 keeps it).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
replication=synchronous
if [[ "${1:-}" == --async ]]; then
  replication=asynchronous
  shift
fi
seconds="${1:-24}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]] || ((seconds < 9)); then
  echo "usage: bash scripts/failover.sh [--async] [SECONDS]   (9 or more)" >&2
  exit 2
fi
build_dir="$root/build"
quillet="${QUILLET_BIN:-$build_dir/apps/quillet}"
items=(LW-DL-100 LW-CL-200)  # their rules: text=A and text=B, then 9 digits

bash "$root/scripts/setup.sh" >/dev/null
if [[ -z "${QUILLET_BIN:-}" ]]; then
  if [[ ! -f "$build_dir/CMakeCache.txt" ]]; then
    cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$build_dir" -j "$(nproc)" --target quillet_cli >/dev/null
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/quillet-failover.XXXXXX")"
pg_bin="$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)"
as_postgres=()
if [[ "$(id -u)" -eq 0 ]]; then
  # The server refuses to run as root.
  chown postgres: "$work"
  as_postgres=("$(command -v runuser || echo /usr/sbin/runuser)" -u postgres --)
fi
pids=()  # services, rpc sessions and load loops started here

cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  for data in "$work/primary" "$work/standby"; do
    if [[ -f "$data/postmaster.pid" ]]; then
      "${as_postgres[@]}" "$pg_bin/pg_ctl" -D "$data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
  done
  if [[ -n "${FAILOVER_KEEP:-}" ]]; then echo "failover: kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

now() { date +%s.%N; }
elapsed_since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }

# A loopback port nothing listens on, below the range the kernel hands out
# to outgoing connections.
free_port() {
  local port
  for _ in $(seq 200); do
    port=$((16384 + RANDOM % 16384))
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
      echo "$port"
      return 0
    fi
  done
  return 1
}

# The processes whose parent is $1.
children_of() {
  local stat line rest parent
  for stat in /proc/[0-9]*/stat; do
    read -r line 2>/dev/null <"$stat" || continue
    rest="${line##*) }"
    read -r _ parent _ <<<"$rest"
    if [[ "$parent" == "$1" ]]; then
      rest="${stat#/proc/}"
      echo "${rest%/stat}"
    fi
  done
}

psql_at() {
  local port="$1"
  shift
  "${as_postgres[@]}" "$pg_bin/psql" -h 127.0.0.1 -p "$port" -U quillet -d postgres -tAqc "$@"
}

start_cluster() {
  local data="$1" port="$2"
  if ! "${as_postgres[@]}" "$pg_bin/pg_ctl" -D "$data" -l "$data.log" -w -t 60 \
    -o "-c listen_addresses=127.0.0.1 -p $port -k $work" start >/dev/null; then
    tail -n 20 "$data.log" >&2
    exit 1
  fi
}

# --- a primary and its synchronous standby -------------------------------------
primary_port="$(free_port)"
standby_port="$(free_port)"
while [[ "$standby_port" == "$primary_port" ]]; do standby_port="$(free_port)"; done

echo "failover: primary on 127.0.0.1:$primary_port, standby on 127.0.0.1:$standby_port ($work)"
if ! "${as_postgres[@]}" "$pg_bin/initdb" -D "$work/primary" -U quillet -A trust -E UTF8 \
  --no-locale >"$work/initdb.log" 2>&1; then
  cat "$work/initdb.log" >&2
  exit 1
fi
# A commit is acknowledged once the standby has flushed it: what a client was
# told survives the loss of the primary. fsync stays off, as in the other
# private servers: the processes are killed, not the machine, and what
# counts is what the standby received.
standbys="'FIRST 1 (standby1)'"
[[ "$replication" == asynchronous ]] && standbys="''"
"${as_postgres[@]}" tee -a "$work/primary/postgresql.conf" >/dev/null <<EOF
synchronous_commit = on
synchronous_standby_names = $standbys
fsync = off
max_connections = 100
EOF
start_cluster "$work/primary" "$primary_port"

"${as_postgres[@]}" "$pg_bin/pg_basebackup" -h 127.0.0.1 -p "$primary_port" -U quillet \
  -D "$work/standby" -R -X stream -c fast
# The standby names itself to the primary; once promoted it has no standby
# of its own, so it must not wait for one.
"${as_postgres[@]}" tee -a "$work/standby/postgresql.auto.conf" >/dev/null <<EOF
primary_conninfo = 'host=127.0.0.1 port=$primary_port user=quillet application_name=standby1'
synchronous_standby_names = ''
EOF
start_cluster "$work/standby" "$standby_port"
for _ in $(seq 100); do
  state="$(psql_at "$primary_port" \
    "select sync_state from pg_stat_replication where application_name = 'standby1'")"
  [[ "$state" == sync || ("$replication" == asynchronous && "$state" == async) ]] && break
  sleep 0.1
done
if [[ "$state" != sync && "$state" != async ]]; then
  echo "failover: the standby did not connect" >&2
  exit 1
fi
echo "failover: the standby replicates ($state)"
psql_at "$primary_port" "create database erp" >/dev/null

db="postgresql:host=127.0.0.1,127.0.0.1 port=$primary_port,$standby_port user=quillet dbname=erp"
db+=" target_session_attrs=read-write connect_timeout=3"
echo "failover: --db '$db'"

"$quillet" init --db "$db" --demo >/dev/null
"$quillet" rule save "item:${items[0]}" --name FailoverA --db "$db" text=A \
  number,width=9,step=1,start=1,journal=yes >/dev/null
"$quillet" rule save "item:${items[1]}" --name FailoverB --db "$db" text=B \
  number,width=9,step=1,start=1,journal=yes >/dev/null

# --- clients ----------------------------------------------------------------------
# Every load loop appends one line per request to its log:
#   ok TIME CLIENT SERIAL...    the client was told these serial numbers
#   lost COUNT CLIENT           the request got no serial numbers

# The serial numbers in an answer: a JSON list over HTTP, the sn attributes
# of a batch's document (quotes escaped) or a plain result over rpc.
serials_in() { grep -o '\b[AB][0-9]\{9\}\b' | tr '\n' ' '; }

http_load() {
  local client="$1" port="$2" deadline="$3" log="$4"
  set +e
  while (($(date +%s) < deadline)); do
    local count=$((RANDOM % 4 + 1)) item="${items[RANDOM % 2]}" answer serials
    answer="$(curl -s -m 10 -X POST "http://127.0.0.1:$port/v1/items/$item/serials" \
      -H "Content-Type: application/json" \
      -d "{\"count\":$count,\"save\":true}")"
    serials="$(serials_in <<<"$answer")"
    if [[ $(wc -w <<<"$serials") -eq $count ]]; then
      echo "ok $(now) $client $serials" >>"$log"
    else
      echo "lost $count $client" >>"$log"
      sleep 0.2
    fi
  done
}

rpc_request() {
  local item="$1" count="$2"
  local values="<data count='$count'><row name='cinvcode' value='$item' itype='' bHave='true'/></data>"
  local method=getSNbatch
  ((count == 1)) && method=getSNumber
  printf '{"method":"%s","args":{"cinvcode":"%s","DomValue":"%s","bSave":true}}\n' \
    "$method" "$item" "$values"
}

# One session for the whole run: it is never restarted, so its answers after
# the promotion show that it found the new primary by itself.
rpc_load() {
  local client="$1" deadline="$2" log="$3"
  set +e
  coproc RPC { exec "$quillet" rpc --db "$db" 2>>"$log.err"; }
  local to=${RPC[1]} from=${RPC[0]} answer
  echo "$RPC_PID" >"$work/$client.pid"
  printf '{"method":"init"}\n' 1>&"$to" && read -r -t 15 answer <&"$from"
  while (($(date +%s) < deadline)); do
    local count=$((RANDOM % 4 + 1)) item="${items[RANDOM % 2]}" serials
    if ! rpc_request "$item" "$count" 1>&"$to" 2>/dev/null || ! read -r -t 15 answer <&"$from"; then
      echo "died $client" >>"$log"
      return
    fi
    serials="$(serials_in <<<"$answer")"
    if [[ $(wc -w <<<"$serials") -eq $count ]]; then
      echo "ok $(now) $client $serials" >>"$log"
    else
      echo "lost $count $client" >>"$log"
      sleep 0.2
    fi
  done
  exec {to}>&-
  wait "$RPC_PID"
}

serve_ports=()
for i in 1 2; do
  "$quillet" serve --db "$db" --listen 127.0.0.1:0 --threads 4 2>"$work/serve-$i.log" &
  pids+=($!)
  echo $! >"$work/serve-$i.pid"
  port=""
  for _ in $(seq 100); do
    port="$(grep -o 'listening on http://127.0.0.1:[0-9]*' "$work/serve-$i.log" | grep -o '[0-9]*$')" \
      && break
    sleep 0.1
  done
  if [[ -z "$port" ]]; then
    cat "$work/serve-$i.log" >&2
    exit 1
  fi
  serve_ports+=("$port")
done

began="$(now)"
deadline=$(($(date +%s) + seconds))
for i in 1 2; do
  for j in 1 2; do
    http_load "serve-$i" "${serve_ports[i - 1]}" "$deadline" "$work/load-serve-$i-$j.log" &
    pids+=($!)
  done
  rpc_load "rpc-$i" "$deadline" "$work/load-rpc-$i.log" 2>/dev/null &
  pids+=($!)
done
echo "failover: 2 services (ports ${serve_ports[*]}), 2 rpc sessions, $seconds s of load"

# --- the failure ----------------------------------------------------------------
sleep $((seconds / 3 - 1))
# The primary stops sending its WAL for a second before it dies. With
# synchronous replication the commits of that second wait for the standby
# and are never acknowledged; with asynchronous replication they are
# acknowledged, and lost with the primary.
primary_pid="$(head -n 1 "$work/primary/postmaster.pid")"
sender=""
for pid in $(children_of "$primary_pid"); do
  if tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q walsender; then sender="$pid"; fi
done
if [[ -z "$sender" ]]; then
  echo "failover: the primary has no WAL sender" >&2
  exit 1
fi
kill -STOP "$sender"
sleep 1
# Every process of the server at once, as when its machine stops.
mapfile -t server_processes < <(children_of "$primary_pid")
kill -9 "$primary_pid" "${server_processes[@]}"
killed_at="$(now)"
kills=1
echo "failover: killed the primary (SIGKILL) at $(elapsed_since "$began") s," \
  "its standby 1 s behind"
sleep 2
"${as_postgres[@]}" "$pg_bin/pg_ctl" -D "$work/standby" -w -t 60 promote >/dev/null
promoted_at="$(now)"
promotions=1
echo "failover: promoted the standby at $(elapsed_since "$began") s"

for pid in "${pids[@]:2}"; do wait "$pid" 2>/dev/null || true; done

# --- what was told, what the new primary holds --------------------------------------
cat "$work"/load-*.log >"$work/told.log"
awk '/^ok/ { for (i = 4; i <= NF; i++) print $i }' "$work/told.log" | sort >"$work/told"
"$quillet" journal --json --db "$db" | grep -o '"serial_number":"[^"]*"' | cut -d'"' -f4 |
  sort >"$work/journal"
issued=$(wc -l <"$work/told")
duplicates=$(uniq -d "$work/told" | wc -l)
journal_repeats=$(uniq -d "$work/journal" | wc -l)
unjournaled=$(comm -23 "$work/told" "$work/journal" | wc -l)
untold=$(comm -13 "$work/told" "$work/journal" | wc -l)

beyond=0
for item in "${items[@]}"; do
  letter=A
  [[ "$item" == "${items[1]}" ]] && letter=B
  next="$("$quillet" number get "item:$item" --json --db "$db" | grep -o '"next_number":"[0-9]*' |
    grep -o '[0-9]*$')"
  beyond=$((beyond + $(awk -v letter="$letter" -v next_number="$next" \
    'substr($1, 1, 1) == letter && substr($1, 2) + 0 >= next_number + 0 { n++ } END { print n + 0 }' \
    "$work/told")))
done

recovered=0
clients=0
for client in serve-1 serve-2 rpc-1 rpc-2; do
  clients=$((clients + 1))
  # Times stay text: awk would print them as numbers in six digits.
  last="$(awk -v c="$client" '$1 == "ok" && $3 == c { t = $2 } END { print t == "" ? 0 : t }' \
    "$work/told.log")"
  alive=yes
  if [[ "$client" == serve-* ]] && ! kill -0 "$(cat "$work/$client.pid")" 2>/dev/null; then
    alive=no
  fi
  if grep -q "^died $client" "$work/told.log"; then alive=no; fi
  if [[ "$alive" == yes ]] && awk -v a="$last" -v b="$promoted_at" 'BEGIN { exit !(a > b) }'; then
    recovered=$((recovered + 1))
  else
    echo "failover: $client did not issue again after the promotion (alive: $alive)" >&2
  fi
done
answered=$(grep -c '^ok' "$work/told.log" || true)
failed=$(grep -c '^lost' "$work/told.log" || true)
failed_numbers=$(awk '$1 == "lost" { n += $2 } END { print n + 0 }' "$work/told.log")
first_after="$(awk -v p="$promoted_at" '$1 == "ok" && $2 > p && (!t || $2 < t) { t = $2 }
  END { print t }' "$work/told.log")"
outage="$(awk -v a="$killed_at" -v b="${first_after:-$killed_at}" 'BEGIN { printf "%.1f", b - a }')"

echo "failover: $kills kill (SIGKILL of the primary), $promotions promotion"
echo "failover: $answered requests answered ($issued serial numbers issued)," \
  "$failed failed during the change (asking for $failed_numbers)"
echo "failover: first serial number $outage s after the kill"
echo "failover: $duplicates duplicates among the answers; $journal_repeats repeated in the journal"
echo "failover: $unjournaled told but missing from the new primary's journal," \
  "$beyond at or past the stored running number"
echo "failover: $untold journaled but never told: taken by requests that failed (at most $failed_numbers)"
echo "failover: $recovered of $clients clients recovered by themselves (2 services, 2 rpc sessions)"
if ((duplicates == 0 && journal_repeats == 0 && unjournaled == 0 && beyond == 0 &&
  untold <= failed_numbers && recovered == clients && issued > 0)); then
  echo "failover: passed"
else
  echo "failover: FAILED" >&2
  exit 1
fi
