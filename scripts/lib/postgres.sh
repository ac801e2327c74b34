# A private PostgreSQL cluster for one run of a script: unix socket only in a
# new temporary folder, fsync off, stopped and removed when the script exits.
# Source it, then call
#
#   start_private_postgres NAME    NAME names the folder (quillet-NAME-pg.XXXXXX)
#
# which sets and exports QUILLET_TEST_POSTGRES (a libpq conninfo of the
# database quillet_test) and sets pg_dir, pg_bin and as_postgres. The server
# runs with fsync off unless QUILLET_PG_FSYNC=on (a load run that measures
# commits as a production server makes them). It installs
# an EXIT trap; a script that needs its own clean-up calls stop_private_postgres
# from its trap.
#
#   start_private_pgbouncer        after start_private_postgres
#
# puts a PgBouncer in transaction pooling in front of that server (unix socket
# only, in $pg_dir/pgbouncer; any database name is passed through) and sets
# and exports QUILLET_TEST_POOLED, the conninfo of quillet_test through it.
# stop_private_postgres stops it first.

stop_private_pgbouncer() {
  local pidfile="${pg_dir:-}/pgbouncer/pgbouncer.pid"
  if [[ -n "${pg_dir:-}" && -f "$pidfile" ]]; then
    local pid
    pid="$(cat "$pidfile")"
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
  fi
}

stop_private_postgres() {
  stop_private_pgbouncer
  if [[ -n "${pg_dir:-}" && -f "$pg_dir/data/postmaster.pid" ]]; then
    "${as_postgres[@]}" "$pg_bin/pg_ctl" -D "$pg_dir/data" -m immediate -w stop >/dev/null || true
  fi
  if [[ -n "${pg_dir:-}" ]]; then rm -rf "$pg_dir"; fi
}

start_private_postgres() {
  local name="$1"
  pg_bin="$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)"
  pg_dir="$(mktemp -d "${TMPDIR:-/tmp}/quillet-$name-pg.XXXXXX")"
  as_postgres=()
  if [[ "$(id -u)" -eq 0 ]]; then
    # The server refuses to run as root.
    chown postgres: "$pg_dir"
    as_postgres=("$(command -v runuser || echo /usr/sbin/runuser)" -u postgres --)
  fi
  trap stop_private_postgres EXIT
  trap 'exit 130' INT TERM

  echo "$name: starting PostgreSQL in $pg_dir"
  if ! "${as_postgres[@]}" "$pg_bin/initdb" -D "$pg_dir/data" -U quillet -A trust -E UTF8 \
       --no-locale >"$pg_dir/initdb.log" 2>&1; then
    cat "$pg_dir/initdb.log" >&2
    return 1
  fi
  if ! "${as_postgres[@]}" "$pg_bin/pg_ctl" -D "$pg_dir/data" -l "$pg_dir/server.log" -w -t 60 \
       -o "-c listen_addresses='' -k $pg_dir -c fsync=${QUILLET_PG_FSYNC:-off} -c max_connections=200" start >/dev/null; then
    cat "$pg_dir/server.log" >&2
    return 1
  fi
  "${as_postgres[@]}" "$pg_bin/createdb" -h "$pg_dir" -U quillet quillet_test
  export QUILLET_TEST_POSTGRES="host=$pg_dir user=quillet dbname=quillet_test"
}

start_private_pgbouncer() {
  local dir="$pg_dir/pgbouncer" port=6432
  mkdir -p "$dir"
  # Every client logs in as the server's own user, trusted on the socket as
  # the server trusts it. Server sessions are shared per transaction: nothing
  # a client leaves on one (a named statement, a SET) may be relied on by its
  # next transaction. The tests make and drop a database each, so any name is
  # passed through ("*"); idle server sessions end soon, so that the pool of
  # a dropped database empties.
  printf '"quillet" ""\n' >"$dir/userlist.txt"
  cat >"$dir/pgbouncer.ini" <<EOF
[databases]
* = host=$pg_dir user=quillet

[pgbouncer]
listen_addr =
listen_port = $port
unix_socket_dir = $dir
auth_type = trust
auth_file = $dir/userlist.txt
pool_mode = transaction
server_reset_query = DISCARD ALL
max_client_conn = 1000
default_pool_size = 20
max_user_connections = 150
server_idle_timeout = 10
logfile = $dir/pgbouncer.log
pidfile = $dir/pgbouncer.pid
EOF
  if [[ ${#as_postgres[@]} -gt 0 ]]; then chown -R postgres: "$dir"; fi
  echo "starting PgBouncer (transaction pooling) in $dir"
  if ! "${as_postgres[@]}" /usr/sbin/pgbouncer -d "$dir/pgbouncer.ini" >"$dir/start.log" 2>&1; then
    cat "$dir/start.log" "$dir/pgbouncer.log" >&2 2>/dev/null
    return 1
  fi
  for _ in $(seq 100); do
    [[ -S "$dir/.s.PGSQL.$port" ]] && break
    sleep 0.1
  done
  if [[ ! -S "$dir/.s.PGSQL.$port" ]]; then
    cat "$dir/pgbouncer.log" >&2
    return 1
  fi
  export QUILLET_TEST_POOLED="host=$dir port=$port user=quillet dbname=quillet_test"
}
