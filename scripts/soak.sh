#!/usr/bin/env bash
# Soak: worker processes of the built quillet tool issue serial numbers of one
# rule, singles and batches, for a bounded time on SQLite and then on a private
# PostgreSQL server, while the run kills workers with -9, terminates their
# server sessions (pg_terminate_backend) and restarts the server once. Then it
# proves from what the workers were told and what the database holds:
#
#   - no serial number was handed out twice;
#   - every handed-out number lies on the rule's grid (start + i x step) below
#     the stored running number;
#   - every number below the stored one that no worker was told lies in a run
#     that one request without an answer (killed, or failed with its session)
#     can have taken: no gap is left unexplained;
#   - the stored number = start + (numbers taken) x step.
#
#   bash scripts/soak.sh [SECONDS] [WORKERS]    per backend; default 60 s, 6 workers
#
# QUILLET_BIN=PATH runs that quillet instead of building build/apps/quillet.
#
# Not part of CI. Everything runs on this machine: SQLite in a temporary
# folder, PostgreSQL on a unix socket only, both removed afterwards.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
workers="${2:-6}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ && "$workers" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: bash scripts/soak.sh [SECONDS] [WORKERS]" >&2
  exit 2
fi
build_dir="$root/build"
quillet="${QUILLET_BIN:-$build_dir/apps/quillet}"
item="LW-DL-100"
start=7
step=3

bash "$root/scripts/setup.sh"
if [[ -z "${QUILLET_BIN:-}" ]]; then
  if [[ ! -f "$build_dir/CMakeCache.txt" ]]; then
    cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$build_dir" -j "$(nproc)" --target quillet_cli >/dev/null
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/quillet-soak.XXXXXX")"
pg_bin="$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)"
pg_dir="$(mktemp -d "${TMPDIR:-/tmp}/quillet-soak-pg.XXXXXX")"
as_postgres=()
if [[ "$(id -u)" -eq 0 ]]; then
  as_postgres=("$(command -v runuser || echo /usr/sbin/runuser)" -u postgres --)
fi
worker_pids=()

cleanup() {
  for pid in "${worker_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for file in "$work"/*.pid; do
    [[ -f "$file" ]] && kill -9 "$(cat "$file")" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  if [[ -f "$pg_dir/data/postmaster.pid" ]]; then
    "${as_postgres[@]}" "$pg_bin/pg_ctl" -D "$pg_dir/data" -m immediate -w stop >/dev/null || true
  fi
  if [[ -n "${SOAK_KEEP:-}" ]]; then echo "soak: kept $work"; else rm -rf "$work"; fi
  rm -rf "$pg_dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

now() { date +%s; }

# --- workers ------------------------------------------------------------------
# Each appends to its log one line per request: "ok SERIAL..." when it was told
# its serial numbers, "lost K" when a request for K numbers got no answer.

issue_worker() {
  local db="$1" deadline="$2" log="$3" pidfile="$4" out="$4.out"
  set +e
  while (($(now) < deadline)); do
    local count=$((RANDOM % 4 + 1))
    "$quillet" issue "$item" --db "$db" --save --count "$count" >"$out" 2>>"$log.err" &
    echo $! >"$pidfile"
    wait $!
    local status=$?
    local serials
    serials="$(grep -o 'S[0-9]\{9\}' "$out" | tr '\n' ' ')"
    if ((status == 0)) && [[ $(wc -w <<<"$serials") -eq $count ]]; then
      echo "ok $serials" >>"$log"
    else
      echo "lost $count" >>"$log"
    fi
  done
}

rpc_request() {
  local count="$1"
  local values="<data count='$count'><row name='cinvcode' value='$item' itype='' bHave='true'/></data>"
  if ((count == 1)); then
    printf '{"method":"getSNumber","args":{"cinvcode":"%s","DomValue":"%s","bSave":true}}\n' \
      "$item" "$values"
  else
    printf '{"method":"getSNbatch","args":{"cinvcode":"%s","DomValue":"%s","bSave":true}}\n' \
      "$item" "$values"
  fi
}

# One `quillet rpc` session at a time, asked request after request; a killed
# session is replaced by a new one.
rpc_worker() {
  local db="$1" deadline="$2" log="$3" pidfile="$4"
  set +e
  while (($(now) < deadline)); do
    coproc RPC { exec "$quillet" rpc --db "$db" 2>>"$log.err"; }
    local session=$RPC_PID to=${RPC[1]} from=${RPC[0]} answer
    echo "$session" >"$pidfile"
    if printf '{"method":"init"}\n' >&"$to" && read -r answer <&"$from"; then
      while (($(now) < deadline)); do
        local count=$((RANDOM % 4 + 1))
        if ! rpc_request "$count" >&"$to" 2>/dev/null || ! read -r answer <&"$from"; then
          echo "lost $count" >>"$log"
          break
        fi
        local serials
        serials="$(grep -o 'S[0-9]\{9\}' <<<"$answer" | tr '\n' ' ')"
        if [[ $(wc -w <<<"$serials") -eq $count ]]; then
          echo "ok $serials" >>"$log"
        else
          echo "lost $count" >>"$log"
        fi
      done
    fi
    exec {to}>&- {from}<&-
    kill -9 "$session" 2>/dev/null
    wait "$session" 2>/dev/null
  done
}

# --- one backend ----------------------------------------------------------------

start_postgres() {
  # The server refuses to run as root.
  if [[ ${#as_postgres[@]} -gt 0 ]]; then chown postgres: "$pg_dir"; fi
  if ! "${as_postgres[@]}" "$pg_bin/initdb" -D "$pg_dir/data" -U quillet -A trust -E UTF8 \
    --no-locale >"$pg_dir/initdb.log" 2>&1; then
    cat "$pg_dir/initdb.log" >&2
    exit 1
  fi
  pg_ctl_start
  "${as_postgres[@]}" "$pg_bin/createdb" -h "$pg_dir" -U quillet soak
}

pg_ctl_start() {
  if ! "${as_postgres[@]}" "$pg_bin/pg_ctl" -D "$pg_dir/data" -l "$pg_dir/server.log" -w -t 60 \
    -o "-c listen_addresses='' -k $pg_dir -c max_connections=100" start >/dev/null; then
    tail -n 20 "$pg_dir/server.log" >&2
    exit 1
  fi
}

terminate_sessions() {
  "${as_postgres[@]}" "$pg_bin/psql" -h "$pg_dir" -U quillet -d postgres -tAc \
    "select count(*) from (select pg_terminate_backend(pid) from pg_stat_activity
      where datname = 'soak' and pid <> pg_backend_pid()) as ended" 2>/dev/null || echo 0
}

# Runs the workers on `db` for `seconds` with the faults of `backend`, then
# checks the numbers and prints the figures.
soak() {
  local backend="$1" db="$2"
  "$quillet" init --db "$db" --demo >/dev/null
  "$quillet" rule save "item:$item" --name Soak --db "$db" text=S \
    "number,width=9,step=$step,start=$start" >/dev/null
  "$quillet" number set "item:$item" "$start" --db "$db" >/dev/null  # a demo header keeps its own

  local began deadline
  began=$(now)
  deadline=$((began + seconds))
  worker_pids=()
  for ((i = 0; i < workers; i++)); do
    # The shell's own words about killed processes and closed pipes go to the log.
    if ((i % 2 == 0)); then
      issue_worker "$db" "$deadline" "$work/$backend-$i.log" "$work/$backend-$i.pid" \
        2>>"$work/$backend-$i.log.err" &
    else
      rpc_worker "$db" "$deadline" "$work/$backend-$i.log" "$work/$backend-$i.pid" \
        2>>"$work/$backend-$i.log.err" &
    fi
    worker_pids+=($!)
  done

  local kills=0 terminated=0 restarts=0 tick=0
  while (($(now) < deadline)); do
    sleep 0.5
    tick=$((tick + 1))
    if ((tick % 3 == 0)); then
      local victim="$work/$backend-$((RANDOM % workers)).pid"
      if [[ -f "$victim" ]] && kill -9 "$(cat "$victim")" 2>/dev/null; then kills=$((kills + 1)); fi
    fi
    if [[ "$backend" == postgresql ]]; then
      if ((tick % 4 == 0)); then terminated=$((terminated + $(terminate_sessions))); fi
      if ((restarts == 0 && $(now) >= began + seconds / 2)); then
        "${as_postgres[@]}" "$pg_bin/pg_ctl" -D "$pg_dir/data" -m immediate -w stop >/dev/null
        pg_ctl_start
        restarts=1
      fi
    fi
  done
  wait "${worker_pids[@]}" 2>/dev/null || true
  worker_pids=()

  local stored
  stored="$("$quillet" number get "item:$item" --db "$db" --json | grep -o '"next_number":"\?[0-9]*' |
    grep -o '[0-9]*$')"
  cat "$work/$backend"-*.log | awk '/^ok/ { for (i = 2; i <= NF; i++) print substr($i, 2) + 0 }' |
    sort -n >"$work/$backend.told"
  cat "$work/$backend"-*.log | awk -v start="$start" -v step="$step" -v stored="$stored" \
    -v backend="$backend" -v kills="$kills" -v terminated="$terminated" -v restarts="$restarts" \
    -v seconds="$seconds" -v workers="$workers" -v told_file="$work/$backend.told" '
    /^ok/ { answered++; told += NF - 1 }
    /^lost/ { unanswered++; unanswered_numbers += $2 }
    END {
      while ((getline n < told_file) > 0) {
        if (n in seen) duplicates++
        seen[n] = 1
        if (n < start || (n - start) % step != 0 || n >= stored) {
          stray++
          printf "soak %s: %d was told but lies off the grid below %d\n", backend, n, stored
        }
      }
      taken = (stored - start) / step
      for (n = start; n < stored; n += step) {
        if (n in seen) { in_run = 0; continue }
        missing++
        if (!in_run) runs++
        in_run = 1
      }
      ok = duplicates == 0 && stray == 0 && (stored - start) % step == 0 &&
           missing <= unanswered_numbers && runs <= unanswered && stored == start + taken * step
      printf "soak %s: %d s, %d workers, %d kills -9, %d sessions terminated, %d restarts\n",
        backend, seconds, workers, kills, terminated, restarts
      printf "soak %s: %d requests answered (%d numbers), %d without an answer (at most %d numbers)\n",
        backend, answered, told, unanswered, unanswered_numbers
      printf "soak %s: stored %d = start %d + %d taken x step %d; %d told, %d duplicates, %d off the grid\n",
        backend, stored, start, taken, step, told, duplicates + 0, stray + 0
      printf "soak %s: %d numbers taken but not told, in %d runs: %s\n", backend, missing + 0,
        runs + 0, ok ? "each within a request without an answer" : "NOT EXPLAINED"
      exit ok ? 0 : 1
    }'
}

echo "soak: $seconds s per backend, $workers workers, item $item, start $start, step $step"
soak sqlite "sqlite:$work/soak.db"
start_postgres
soak postgresql "postgresql:host=$pg_dir user=quillet dbname=soak"
