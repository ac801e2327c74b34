# A private PostgreSQL cluster for one run of a script: unix socket only in a
# new temporary folder, fsync off, stopped and removed when the script exits.
# Source it, then call
#
#   start_private_postgres NAME    NAME names the folder (quillet-NAME-pg.XXXXXX)
#
# which sets and exports QUILLET_TEST_POSTGRES (a libpq conninfo of the
# database quillet_test) and sets pg_dir, pg_bin and as_postgres. It installs
# an EXIT trap; a script that needs its own clean-up calls stop_private_postgres
# from its trap.

stop_private_postgres() {
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
       -o "-c listen_addresses='' -k $pg_dir -c fsync=off -c max_connections=200" start >/dev/null; then
    cat "$pg_dir/server.log" >&2
    return 1
  fi
  "${as_postgres[@]}" "$pg_bin/createdb" -h "$pg_dir" -U quillet quillet_test
  export QUILLET_TEST_POSTGRES="host=$pg_dir user=quillet dbname=quillet_test"
}
