#!/usr/bin/env bash
# Builds Quillet and runs every test against SQLite and a private PostgreSQL
# server started for this run (unix socket only, removed afterwards).
#
#   bash scripts/test.sh              build/       warnings are errors
#   bash scripts/test.sh --sanitize   build-asan/  also AddressSanitizer + UBSan
#   bash scripts/test.sh --tsan       build-tsan/  ThreadSanitizer, the tests of
#                                                  concurrent callers only
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$root/build"
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_WERROR=ON)
# Under ThreadSanitizer only the test programs with concurrent callers are
# built and only their concurrency cases run: the rest are single-threaded.
tsan_targets=(generation_tests)
tsan_tests='Concurren|Pool|Parallel|Threads'
ctest_filter=()
build_targets=()
case "${1:-}" in
  "") ;;
  --sanitize)
    build_dir="$root/build-asan"
    options+=(-DQUILLET_SANITIZE=ON)
    ;;
  --tsan)
    build_dir="$root/build-tsan"
    options+=(-DQUILLET_TSAN=ON -DQUILLET_BUILD_BENCH=OFF)
    build_targets=(--target "${tsan_targets[@]}")
    ctest_filter=(-R "$tsan_tests")
    ;;
  *)
    echo "usage: bash scripts/test.sh [--sanitize | --tsan]" >&2
    exit 2
    ;;
esac

bash "$root/scripts/setup.sh"

# --- a private PostgreSQL cluster for this run --------------------------------
pg_bin="$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)"
pg_dir="$(mktemp -d "${TMPDIR:-/tmp}/quillet-pg.XXXXXX")"
as_postgres=()
if [[ "$(id -u)" -eq 0 ]]; then
  # The server refuses to run as root.
  chown postgres: "$pg_dir"
  as_postgres=("$(command -v runuser || echo /usr/sbin/runuser)" -u postgres --)
fi

stop_postgres() {
  if [[ -f "$pg_dir/data/postmaster.pid" ]]; then
    "${as_postgres[@]}" "$pg_bin/pg_ctl" -D "$pg_dir/data" -m immediate -w stop >/dev/null || true
  fi
  rm -rf "$pg_dir"
}
trap stop_postgres EXIT
trap 'exit 130' INT TERM

echo "test: starting PostgreSQL in $pg_dir"
if ! "${as_postgres[@]}" "$pg_bin/initdb" -D "$pg_dir/data" -U quillet -A trust -E UTF8 \
     --no-locale >"$pg_dir/initdb.log" 2>&1; then
  cat "$pg_dir/initdb.log" >&2
  exit 1
fi
if ! "${as_postgres[@]}" "$pg_bin/pg_ctl" -D "$pg_dir/data" -l "$pg_dir/server.log" -w -t 60 \
     -o "-c listen_addresses='' -k $pg_dir -c fsync=off -c max_connections=200" start >/dev/null; then
  cat "$pg_dir/server.log" >&2
  exit 1
fi
"${as_postgres[@]}" "$pg_bin/createdb" -h "$pg_dir" -U quillet quillet_test
# Read by the test suite; set before the build, whose test discovery reads it too.
export QUILLET_TEST_POSTGRES="host=$pg_dir user=quillet dbname=quillet_test"

# --- build and test -----------------------------------------------------------
cmake -S "$root" -B "$build_dir" "${options[@]}"
cmake --build "$build_dir" -j "$(nproc)" "${build_targets[@]}"
cd "$build_dir"
ctest --output-on-failure -j2 "${ctest_filter[@]}"

